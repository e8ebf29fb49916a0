// Data files and folders as they should not be, and journals left by
// something else: what the store makes of each (the table of bad inputs in
// docs/bad-inputs.md points here).

#include <gtest/gtest.h>

#include "datafile.h"
#include "faultyfilesystem.h"
#include "recordreader.h"
#include "storetestdata.h"
#include "testsupport.h"

namespace corvane {
namespace {

using test::Bytes;
using test::readFile;
using test::saveName;
using test::slotsOf;
using test::writeFile;

class BadDataFile : public testing::Test {
  protected:
    std::string data() const { return dir.file("Corvane.Data"); }
    std::string journal() const { return dir.file("Corvane.Data.journal"); }
    test::TempDir dir;
    test::FaultyFileSystem fs;
    DataFile store{fs, dir.path().string()};
};

TEST_F(BadDataFile, AnEmptyFileIsAnEmptyBookThatTheFirstSaveFills) {
    writeFile(data(), Bytes{});
    ASSERT_TRUE(store.OpenDataFile().ok());
    EXPECT_EQ(store.RecordCount(), 0);
    EXPECT_FALSE(store.damage());
    ASSERT_TRUE(store.CloseDataFile().ok());
    ASSERT_TRUE(saveName(store, 1, "Adams").ok());
    EXPECT_EQ(test::namesIn(readFile(data())), std::vector<std::string>{"Adams"});
}

TEST_F(BadDataFile, AFileThatCannotBeReadIsNamedWithTheReasonAndLeftAlone) {
    const Bytes bytes = slotsOf({"Adams"});
    writeFile(data(), bytes);
    fs.breakAt(1, EACCES);  // neither for writing nor for reading
    fs.countReads(true);
    const StoreStatus status = store.OpenDataFile();
    EXPECT_EQ(status.error, StoreError::Io);
    EXPECT_EQ(status.message(), data() + ": " + test::systemReason(EACCES));
    EXPECT_EQ(store.DataFileNumber(), 0);
    fs.failStep(0);
    EXPECT_EQ(readFile(data()), bytes);
}

// A folder that takes no new file around a file that may be written: an
// entry is still saved, in place, but a deletion (which needs a scratch
// file) is refused with the reason and changes nothing.
TEST_F(BadDataFile, AFolderThatTakesNoNewFileStillSavesButCannotDelete) {
    writeFile(data(), slotsOf({"Adams", "Baker"}));
    fs.failStep(3, EACCES);  // making the journal
    ASSERT_TRUE(saveName(store, 2, "Bell").ok());
    EXPECT_EQ(fs.log()[2], "open Corvane.Data.journal (fails)");
    EXPECT_EQ(test::namesIn(readFile(data())), (std::vector<std::string>{"Adams", "Bell"}));
    EXPECT_FALSE(test::fileExists(journal()));

    const Bytes before = readFile(data());
    fs.failStep(4, EACCES);  // making the trash, the first new file of a deletion
    const StoreStatus deleted = store.DeleteAndCompact(1);
    EXPECT_EQ(deleted.message(), dir.file("Corvane.Data.trash") + ": " +
                                     test::systemReason(EACCES) +
                                     "; the entry could not be kept in the trash, so it was not "
                                     "deleted");
    EXPECT_EQ(readFile(data()), before);
}

// The console's reading only reads: a save cut short whose journal is whole
// is read as finished, and neither file is changed.
TEST_F(BadDataFile, TheConsoleReadsASaveCutShortAsFinishedAndChangesNothing) {
    Bytes torn = test::savedAs(slotsOf({"Adams"}), 2, "Baker");
    torn.resize(4608);  // an append of Baker that a crash cut short
    const Bytes whole = test::journalFor(slotsOf({"Adams"}), 2, "Baker");
    writeFile(data(), torn);
    writeFile(journal(), whole);
    std::vector<std::string> names;
    std::vector<std::string> problems;
    ASSERT_TRUE(readWholeRecords(
        fs, data(),
        [&](const ContactRecord& r, int) {
            names.push_back(r.text(Field::FullName));
            return true;
        },
        problems));
    EXPECT_EQ(names, (std::vector<std::string>{"Adams", "Baker"}));
    EXPECT_TRUE(problems.empty()) << problems.front();
    EXPECT_EQ(readFile(data()), torn);
    EXPECT_EQ(readFile(journal()), whole);
}

}  // namespace
}  // namespace corvane
