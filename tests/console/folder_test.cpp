// Where the address book lives: the current folder, or the one --folder or
// --documents names. A folder that cannot be used is refused with a clear
// message before anything is created.

#include <gtest/gtest.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cstdlib>
#include <filesystem>
#include <fstream>

#include "commandline.h"
#include "testsupport.h"

namespace corvane {
namespace {

const std::string kProgram = CORVANE_BINARY;
namespace fs = std::filesystem;
using test::runProgram;

TEST(FolderOption, IsReadWithItsValueWhichIsNeverTheQuitSwitch) {
    const CommandLine c = parseCommandLine({"--folder", "/home/me/mybook", "--export", "json"});
    EXPECT_EQ(c.action, CommandLine::Action::Export) << c.error;
    EXPECT_EQ(c.folder, "/home/me/mybook");
    EXPECT_FALSE(c.quitWithoutAsking);  // "/me/mybook" holds "/m"
    EXPECT_EQ(parseCommandLine({"--folder=/media/book"}).folder, "/media/book");
    EXPECT_FALSE(parseCommandLine({"--folder=/media/book"}).quitWithoutAsking);
    EXPECT_TRUE(parseCommandLine({"--folder=/media/book", "/m"}).quitWithoutAsking);
    EXPECT_TRUE(parseCommandLine({"--documents"}).documentsFolder);
    for (const auto& wrong : std::vector<std::vector<std::string>>{
             {"--folder"}, {"--folder="}, {"--folder", "a", "--documents"}}) {
        EXPECT_EQ(parseCommandLine(wrong).action, CommandLine::Action::Error);
    }
}

TEST(FolderOption, AMissingFolderIsMadePrivateAndHoldsTheBook) {
    test::TempDir dir;
    const std::string book = dir.file("new/address book");
    const auto result =
        runProgram(kProgram, {"--folder", book, "--export", "json"}, dir.path().string());
    EXPECT_EQ(result.exitStatus, 0) << result.err;
    EXPECT_EQ(result.out, "");
    ASSERT_TRUE(fs::is_directory(book));
    EXPECT_EQ(fs::status(book).permissions() & fs::perms::all, fs::perms::owner_all);
    EXPECT_TRUE(fs::is_empty(book));  // the export only reads: no data file appears

    // A book that is there is the one read.
    test::writeFile(book + "/Corvane.Data", test::Bytes(3000, ' '));
    const auto again =
        runProgram(kProgram, {"--export", "json", "--folder=" + book}, dir.path().string());
    EXPECT_EQ(again.exitStatus, 0) << again.err;
    EXPECT_EQ(again.out.substr(0, 17), "{\"RecordNumber\":1");
}

TEST(FolderOption, AFileInItsPlaceOrOnItsWayIsRefusedAndNothingIsMade) {
    test::TempDir dir;
    const std::string file = dir.file("book");
    test::writeFile(file, test::Bytes{'k', 'e', 'e', 'p'});
    const auto inPlace =
        runProgram(kProgram, {"--folder", file, "--upcoming"}, dir.path().string());
    EXPECT_EQ(inPlace.exitStatus, 1);
    EXPECT_EQ(inPlace.err,
              "corvane: cannot keep the address book in '" + file + "': it is not a folder\n");
    const auto onItsWay =
        runProgram(kProgram, {"--folder", file + "/sub", "--upcoming"}, dir.path().string());
    EXPECT_EQ(onItsWay.exitStatus, 1);
    EXPECT_EQ(onItsWay.err, "corvane: cannot keep the address book in '" + file +
                                "/sub': " + test::systemReason(ENOTDIR) + "\n");
    EXPECT_EQ(test::readFile(file), (test::Bytes{'k', 'e', 'e', 'p'}));
    EXPECT_EQ(std::distance(fs::directory_iterator(dir.path()), {}), 1);
}

// Run as a user who may not write the folder (as root, the tests drop to
// "nobody" for this): the book is read, and the user is told that nothing
// can be saved there.
TEST(FolderOption, AFolderThatCannotBeWrittenIsUsedAndSaidSo) {
    test::TempDir dir;
    const std::string book = dir.file("book");
    fs::create_directory(book);
    test::writeFile(book + "/Corvane.Data", test::Bytes(3000, ' '));
    ::chmod(dir.path().c_str(), 0755);
    ::chmod(book.c_str(), 0555);
    ::chmod((book + "/Corvane.Data").c_str(), 0444);
    std::string program = kProgram;
    std::vector<std::string> args{"--folder", book, "--export", "json"};
    if (::geteuid() == 0) {
        ASSERT_TRUE(fs::exists("/usr/bin/setpriv"));
        args.insert(args.begin(), {"--reuid=65534", "--regid=65534", "--clear-groups", kProgram});
        program = "/usr/bin/setpriv";
    }
    const auto result = runProgram(program, args, "/");
    EXPECT_EQ(result.exitStatus, 0) << result.err;
    EXPECT_EQ(result.err, "corvane: the folder '" + book + "' cannot be written (" +
                              test::systemReason(EACCES) +
                              "); its entries can be read, but nothing can be saved there\n");
    EXPECT_EQ(result.out.substr(0, 17), "{\"RecordNumber\":1");
    EXPECT_EQ(std::distance(fs::directory_iterator(book), {}), 1);
    ::chmod(book.c_str(), 0755);
}

// The menu's entry: the folder Corvane in the documents folder the desktop
// names for the user.
TEST(FolderOption, DocumentsIsTheFolderCorvaneInTheUsersDocumentsFolder) {
    test::TempDir home;
    const std::string config = home.file("config");
    fs::create_directory(config);
    std::ofstream(config + "/user-dirs.dirs") << "XDG_DOCUMENTS_DIR=\"$HOME/Dokumente\"\n";
    const std::string oldHome = std::getenv("HOME") ? std::getenv("HOME") : "";
    const std::string oldConfig =
        std::getenv("XDG_CONFIG_HOME") ? std::getenv("XDG_CONFIG_HOME") : "";
    ::setenv("HOME", home.path().c_str(), 1);
    ::setenv("XDG_CONFIG_HOME", config.c_str(), 1);
    const auto result = runProgram(kProgram, {"--documents", "--affiliations"}, "/");
    ::setenv("HOME", oldHome.c_str(), 1);
    ::setenv("XDG_CONFIG_HOME", oldConfig.c_str(), 1);
    EXPECT_EQ(result.exitStatus, 0) << result.err;
    EXPECT_TRUE(fs::is_directory(home.file("Dokumente/Corvane")));
}

}  // namespace
}  // namespace corvane
