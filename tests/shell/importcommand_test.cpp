// `corvane --import`: a book exported and imported into a new folder is
// the same book, byte for byte; a file that is no address book and a
// running copy of Corvane are refused with the data file untouched;
// --dry-run only reports.

#include <gtest/gtest.h>

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

}  // namespace
}  // namespace corvane
