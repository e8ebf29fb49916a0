// `corvane --import`: a book exported and imported into a new folder is
// the same book, byte for byte; a file that is no address book and a
// running copy of Corvane are refused with the data file untouched;
// --dry-run only reports.

#include <gtest/gtest.h>

#include <signal.h>
#include <sys/stat.h>

#include <QDir>
#include <filesystem>

#include "../store/storetestdata.h"
#include "booklock.h"
#include "testsupport.h"

namespace corvane {
namespace {

const std::string kProgram = CORVANE_BINARY;
using test::runProgram;

TEST(ImportCommand, AnExportedBookImportsIntoANewFolderAsTheSameBook) {
    test::TempDir dir;
    test::Bytes book = test::slotsOf({"Adams, Ruth", "Baker, Tom", "Dunmore Hardware"});
    book[2983] = 8;  // made by this version, as imported entries are
    book[3000 + 2983] = 8;
    book[6000 + 2983] = 8;
    test::writeFile(dir.file("Corvane.Data"), book);
    for (const char* format : {"vcard", "vcard3", "csv"}) {
        SCOPED_TRACE(format);
        const std::string file = dir.file(std::string("all.") + format);
        const auto exported = runProgram(kProgram, {"--export", format}, dir.path().string(), file);
        ASSERT_EQ(exported.exitStatus, 0) << exported.err;
        const std::string fresh = dir.file(std::string("new-") + format);
        const auto imported =
            runProgram(kProgram, {"--import", file, "--folder", fresh}, dir.path().string());
        EXPECT_EQ(imported.exitStatus, 0) << imported.err;
        EXPECT_EQ(imported.out, "Imported 3 entries.\n");
        EXPECT_EQ(test::readFile(fresh + "/Corvane.Data"), book);
    }
}

TEST(ImportCommand, NoAddressBookARunningCopyAndADryRunLeaveTheFileAlone) {
    test::TempDir dir;
    const test::Bytes book = test::slotsOf({"Adams"});
    test::writeFile(dir.file("Corvane.Data"), book);
    test::writeFile(dir.file("cut.vcf"), test::Bytes{'B', 'E', 'G', 'I', 'N', ':', 'V', 'C', 'A',
                                                     'R', 'D', '\r', '\n', 'F', 'N', ':', 'x'});
    const auto cut = runProgram(kProgram, {"--import", "cut.vcf"}, dir.path().string());
    EXPECT_EQ(cut.exitStatus, 1);
    EXPECT_EQ(cut.err,
              "corvane: cannot import 'cut.vcf': the file ends inside vCard 1: it is cut "
              "short; nothing was imported\n");
    const auto missing = runProgram(kProgram, {"--import", "none.vcf"}, dir.path().string());
    EXPECT_EQ(missing.exitStatus, 1);
    EXPECT_NE(missing.err.find("cannot read 'none.vcf'"), std::string::npos);

    const std::string card = "BEGIN:VCARD\r\nVERSION:3.0\r\nFN:Baker\r\nEND:VCARD\r\n";
    test::writeFile(dir.file("one.vcf"), test::Bytes(card.begin(), card.end()));
    const auto dry =
        runProgram(kProgram, {"--import", "one.vcf", "--dry-run"}, dir.path().string());
    EXPECT_EQ(dry.exitStatus, 0) << dry.err;
    EXPECT_EQ(dry.out, "Would import 1 entry (nothing was written).\n");

    BookLock running(dir.path().string());  // another process writing the book
    ASSERT_EQ(running.tryAcquire(), BookLock::Result::Acquired);
    const auto refused = runProgram(kProgram, {"--import", "one.vcf"}, dir.path().string());
    EXPECT_EQ(refused.exitStatus, 1);
    EXPECT_EQ(refused.err,
              "corvane: Corvane is running; close it before importing, so that no "
              "entry is lost. Nothing was imported\n");
    EXPECT_EQ(test::readFile(dir.file("Corvane.Data")), book);
}

const std::string kCard = "BEGIN:VCARD\r\nVERSION:3.0\r\nFN:Baker\r\nEND:VCARD\r\n";

void writeText(const std::string& path, const std::string& text) {
    test::writeFile(path, test::Bytes(text.begin(), text.end()));
}

TEST(ImportCommand, ADryRunWritesNothingNotEvenAFolderOrAJournalsWork) {
    test::TempDir dir;
    writeText(dir.file("one.vcf"), kCard);
    const auto intoNew = runProgram(
        kProgram, {"--import", "one.vcf", "--dry-run", "--folder", "new"}, dir.path().string());
    EXPECT_EQ(intoNew.exitStatus, 0) << intoNew.err;
    EXPECT_EQ(intoNew.out, "Would import 1 entry (nothing was written).\n");
    EXPECT_FALSE(std::filesystem::exists(dir.file("new")));

    // A book with a save cut short and an uneven length: nothing is settled or copied.
    const auto [journal, torn] = test::tornRewrite(test::slotsOf({"Adams"}), 1);
    test::Bytes uneven = torn;
    uneven.resize(4000, 'x');
    test::writeFile(dir.file("Corvane.Data"), uneven);
    test::writeFile(dir.file("Corvane.Data.journal"), journal);
    const test::Folder before = test::folderOf(dir.path());
    const auto dry =
        runProgram(kProgram, {"--import", "one.vcf", "--dry-run"}, dir.path().string());
    EXPECT_EQ(dry.exitStatus, 0) << dry.err;
    EXPECT_EQ(test::folderOf(dir.path()), before);
}

// Success is something imported, or a file that held no entry at all: a
// file of cards with nothing in them imports nothing, and says so.
TEST(ImportCommand, ItSucceedsOnlyWhenSomethingWasImportedOrThereWasNothing) {
    test::TempDir dir;
    const std::pair<const char*, int> cases[] = {
        {"BEGIN:VCARD\r\nVERSION:3.0\r\nUID:1\r\nEND:VCARD\r\n", 1},
        {"Name,E-mail Address\r\n", 0},
        {"BEGIN:VCARD\r\nUID:1\r\nEND:VCARD\r\nBEGIN:VCARD\r\nFN:A\r\nEND:VCARD\r\n", 0},
    };
    for (const auto& [text, status] : cases) {
        SCOPED_TRACE(text);
        writeText(dir.file("in.txt"), text);
        const auto run =
            runProgram(kProgram, {"--import", "in.txt", "--folder", "book"}, dir.path().string());
        EXPECT_EQ(run.exitStatus, status) << run.out << run.err;
    }
}

// The new book takes the data file's name: a link there, pointing at a
// book or at nothing, is refused rather than replaced or followed; and what
// the refusal quotes of the file reaches the terminal as escapes.
TEST(ImportCommand, ALinkIsNotPartedFromTheBookItNamesAndRefusalsAreEscaped) {
    test::TempDir dir;
    writeText(dir.file("one.vcf"), kCard);
    std::filesystem::create_directories(dir.file("real"));
    std::filesystem::create_directories(dir.file("linked"));
    std::filesystem::create_directories(dir.file("dangling"));
    const test::Bytes book = test::slotsOf({"Adams"});
    test::writeFile(dir.file("real/Corvane.Data"), book);
    std::filesystem::create_symlink(dir.file("real/Corvane.Data"), dir.file("linked/Corvane.Data"));
    std::filesystem::create_symlink(dir.file("nowhere"), dir.file("dangling/Corvane.Data"));
    for (const char* folder : {"linked", "dangling"}) {
        SCOPED_TRACE(folder);
        const auto run =
            runProgram(kProgram, {"--import", "one.vcf", "--folder", folder}, dir.path().string());
        EXPECT_EQ(run.exitStatus, 1);
        EXPECT_NE(run.err.find("it is a link"), std::string::npos) << run.err;
        EXPECT_TRUE(std::filesystem::is_symlink(dir.file(std::string(folder) + "/Corvane.Data")));
    }
    EXPECT_EQ(test::readFile(dir.file("real/Corvane.Data")), book);
    EXPECT_FALSE(std::filesystem::exists(dir.file("nowhere")));

    writeText(dir.file("odd.vcf"), kCard + "\x1b]0;owned\x07\r\n");
    const auto odd = runProgram(kProgram, {"--import", "odd.vcf"}, dir.path().string());
    EXPECT_EQ(odd.exitStatus, 1);
    EXPECT_EQ(odd.err.find('\x1b'), std::string::npos) << odd.err;
    EXPECT_NE(odd.err.find("\\x1b]0;owned\\x07"), std::string::npos) << odd.err;
}

TEST(ImportCommand, NoNewBookIsStartedBesideAnUnconvertedOldOne) {
    test::TempDir dir;
    writeText(dir.file("one.vcf"), kCard);
    test::writeFile(dir.file("Corvane.Dat"), test::Bytes(2000, 'A'));
    const auto refused = runProgram(kProgram, {"--import", "one.vcf"}, dir.path().string());
    EXPECT_EQ(refused.exitStatus, 1);
    EXPECT_NE(refused.err.find("has not been converted yet"), std::string::npos) << refused.err;
    EXPECT_FALSE(test::fileExists(dir.file("Corvane.Data")));
}

// The disk fills after a few of a thousand entries (a file size limit on the
// process stands in for it): the book is cut back to what it held, and
// running the import again once there is room imports each entry once.
TEST(ImportCommand, AnImportTheDiskCannotHoldIsTakenBackWhole) {
    test::TempDir dir;
    std::string cards;
    for (int i = 0; i < 1000; ++i) {
        cards +=
            "BEGIN:VCARD\r\nVERSION:3.0\r\nFN:Person " + std::to_string(i) + "\r\nEND:VCARD\r\n";
    }
    writeText(dir.file("many.vcf"), cards);
    const test::Bytes book = test::slotsOf({"Adams", "Baker"});
    test::writeFile(dir.file("Corvane.Data"), book);
    ::signal(SIGXFSZ, SIG_IGN);  // inherited: a write past the limit fails instead
    const auto full =
        runProgram("/usr/bin/prlimit", {"--fsize=24000", kProgram, "--import", "many.vcf"},
                   dir.path().string());
    ::signal(SIGXFSZ, SIG_DFL);
    EXPECT_EQ(full.exitStatus, 1);
    EXPECT_NE(full.err.find(test::systemReason(EFBIG) + "; nothing was imported"),
              std::string::npos)
        << full.err;
    EXPECT_EQ(test::readFile(dir.file("Corvane.Data")), book);

    const auto again = runProgram(kProgram, {"--import", "many.vcf"}, dir.path().string());
    EXPECT_EQ(again.exitStatus, 0) << again.err;
    EXPECT_EQ(test::readFile(dir.file("Corvane.Data")).size(), 1002u * 3000u);

    // A ragged end that the first entry completed gets its bytes back; a
    // book the import began is not left behind empty.
    test::TempDir ragged;
    writeText(ragged.file("many.vcf"), cards);
    test::Bytes uneven = test::slotsOf({"Adams"});
    uneven.resize(4000, 'x');
    test::writeFile(ragged.file("Corvane.Data"), uneven);
    test::TempDir none;
    writeText(none.file("many.vcf"), cards);
    ::signal(SIGXFSZ, SIG_IGN);
    for (const test::TempDir* folder : {&ragged, &none}) {
        const auto cut =
            runProgram("/usr/bin/prlimit", {"--fsize=7000", kProgram, "--import", "many.vcf"},
                       folder->path().string());
        EXPECT_EQ(cut.exitStatus, 1) << cut.err;
    }
    ::signal(SIGXFSZ, SIG_DFL);
    EXPECT_EQ(test::readFile(ragged.file("Corvane.Data")), uneven);
    EXPECT_FALSE(test::fileExists(none.file("Corvane.Data")));
}

TEST(ImportCommand, OnlyARegularFileOfASaneSizeIsRead) {
    test::TempDir dir;
    ASSERT_EQ(::mkfifo(dir.file("pipe").c_str(), 0600), 0);
    std::filesystem::resize_file(
        [&] {
            writeText(dir.file("huge.vcf"), kCard);
            return dir.file("huge.vcf");
        }(),
        257ull * 1024 * 1024);
    struct Case {
        std::string file;
        std::string why;
    };
    for (const Case& c :
         {Case{"/tmp", "it is a folder, not a file"}, Case{"/dev/zero", "it is not a regular file"},
          Case{"pipe", "it is not a regular file"},
          Case{"huge.vcf", "it is larger than 256 MB, more than any address book"}}) {
        SCOPED_TRACE(c.file);
        const auto refused = runProgram(kProgram, {"--import", c.file}, dir.path().string());
        EXPECT_EQ(refused.exitStatus, 1);
        EXPECT_EQ(refused.err,
                  "corvane: cannot read '" + c.file + "': " + c.why + "; nothing was imported\n");
    }
    EXPECT_FALSE(test::fileExists(dir.file("Corvane.Data")));
}

TEST(ImportCommand, ARelativeFileIsReadFromTheFolderItWasTypedIn) {
    test::TempDir dir;
    writeText(dir.file("one.vcf"), kCard);
    const auto imported =
        runProgram(kProgram, {"--import", "one.vcf", "--folder", "sub/new"}, dir.path().string());
    EXPECT_EQ(imported.exitStatus, 0) << imported.err;
    EXPECT_EQ(test::namesIn(test::readFile(dir.file("sub/new/Corvane.Data"))),
              std::vector<std::string>{"Baker"});
}

}  // namespace
}  // namespace corvane
