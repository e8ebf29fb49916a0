#include "datafile.h"

#include <gtest/gtest.h>
#include <sys/stat.h>
#include <unistd.h>

#include <filesystem>
#include <fstream>

#include "faultyfilesystem.h"
#include "storetestdata.h"
#include "testsupport.h"

namespace corvane {
namespace {

using test::Bytes;
using test::fileExists;
using test::namesIn;
using test::readFile;
using test::saveName;
using test::slotsOf;
using test::writeFile;
using Names = std::vector<std::string>;

class DataFileTest : public testing::Test {
  protected:
    std::string dataPath() const { return dir.file("Corvane.Data"); }
    std::string scratchPath() const { return dir.file("TempFile.Data"); }

    test::TempDir dir;
    DataFile store{realFileSystem(), dir.path().string()};
};

TEST(SlotCount, RoundsToTheNearestWholeSlotWithHalvesToEven) {
    EXPECT_EQ(slotCount(0, 3000), 0u);
    EXPECT_EQ(slotCount(1500, 3000), 0u);
    EXPECT_EQ(slotCount(1501, 3000), 1u);
    EXPECT_EQ(slotCount(2999, 3000), 1u);
    EXPECT_EQ(slotCount(3001, 3000), 1u);
    EXPECT_EQ(slotCount(4500, 3000), 2u);
    EXPECT_EQ(slotCount(7500, 3000), 2u);
    EXPECT_EQ(slotCount(9000, 3000), 3u);
}

TEST_F(DataFileTest, AMissingFileIsCreatedEmptyAndCountsNothing) {
    ASSERT_TRUE(store.OpenDataFile().ok());
    EXPECT_EQ(store.DataFileNumber(), 1);
    EXPECT_EQ(store.RecordCount(), 0);
    ASSERT_TRUE(store.CloseDataFile().ok());
    EXPECT_EQ(store.DataFileNumber(), 0);
    EXPECT_TRUE(fileExists(dataPath()));
    EXPECT_TRUE(readFile(dataPath()).empty());
    EXPECT_FALSE(store.damage());
}

TEST_F(DataFileTest, ReadsEachSlotByNumberAndBlankBeyondTheEnd) {
    writeFile(dataPath(), slotsOf({"Adams", "Baker", "Clark"}));
    ASSERT_TRUE(store.RefreshRecordCount().ok());
    EXPECT_EQ(store.RecordCount(), 3);
    EXPECT_EQ(store.DataFileNumber(), 0);

    ASSERT_TRUE(store.OpenDataFile().ok());
    for (int n : {3, 1, 2}) {
        ASSERT_TRUE(store.ReadRecord(n).ok());
        EXPECT_EQ(store.CurrentRecord(),
                  test::recordNamed(Names{"Adams", "Baker", "Clark"}[n - 1]));
    }
    ASSERT_TRUE(store.ReadRecord(4).ok());
    EXPECT_EQ(store.CurrentRecord(), ContactRecord());
    EXPECT_EQ(store.ReadRecord(0).error, StoreError::NoSuchRecord);
    ASSERT_TRUE(store.CloseDataFile().ok());
    EXPECT_EQ(store.ReadRecord(1).error, StoreError::NotOpen);
}

TEST_F(DataFileTest, AppendingGrowsTheFileByOneSlotAndOverwritingKeepsItsLength) {
    writeFile(dataPath(), slotsOf({"Adams", "Baker"}));
    ASSERT_TRUE(store.OpenDataFile().ok());
    store.CurrentRecord() = test::recordNamed("Clark");
    ASSERT_TRUE(store.WriteRecord(store.RecordCount() + 1).ok());
    EXPECT_EQ(readFile(dataPath()).size(), 9000u);

    store.CurrentRecord() = test::recordNamed("Bell");
    ASSERT_TRUE(store.WriteRecord(2).ok());
    // A slot two past the end would leave a hole: refused.
    EXPECT_EQ(store.WriteRecord(5).error, StoreError::NoSuchRecord);
    EXPECT_EQ(store.WriteRecord(0).error, StoreError::NoSuchRecord);
    ASSERT_TRUE(store.CloseDataFile().ok());
    EXPECT_EQ(store.RecordCount(), 3);
    EXPECT_EQ(namesIn(readFile(dataPath())), (Names{"Adams", "Bell", "Clark"}));
}

TEST_F(DataFileTest, ReadingAfterAWriteSeesTheNewRecord) {
    writeFile(dataPath(), slotsOf({"Adams", "Baker", "Clark"}));
    ASSERT_TRUE(store.OpenDataFile().ok());
    ASSERT_TRUE(store.ReadRecord(1).ok());  // fills the read-ahead
    store.CurrentRecord() = test::recordNamed("Bell");
    ASSERT_TRUE(store.WriteRecord(2).ok());
    ASSERT_TRUE(store.ReadRecord(2).ok());
    EXPECT_EQ(store.CurrentRecord().text(Field::FullName), "Bell");
    ASSERT_TRUE(store.CloseDataFile().ok());
}

TEST_F(DataFileTest, UnevenLengthsAreCountedReportedAndCopiedBeforeAnyWrite) {
    const struct {
        std::size_t length;
        int count;
    } cases[] = {{2999, 1}, {3001, 1}, {4500, 2}, {7500, 2}};
    for (const auto& c : cases) {
        SCOPED_TRACE(c.length);
        test::TempDir here;
        DataFile file(realFileSystem(), here.path().string());
        Bytes bytes = slotsOf({"Adams", "Baker", "Clark"});
        bytes.resize(c.length, 'z');
        writeFile(here.file("Corvane.Data"), bytes);

        ASSERT_TRUE(file.OpenDataFile().ok());
        EXPECT_EQ(file.RecordCount(), c.count);
        ASSERT_TRUE(file.damage());
        EXPECT_EQ(file.damage()->kind, FileDamage::Kind::UnevenLength);
        EXPECT_EQ(file.damage()->copyName, "Corvane.Data.uneven-length-copy");
        EXPECT_EQ(readFile(here.file("Corvane.Data.uneven-length-copy")), bytes);
        EXPECT_NE(file.damage()->describe().find("Corvane.Data.uneven-length-copy"),
                  std::string::npos);
        ASSERT_TRUE(file.CloseDataFile().ok());

        // Opening again finds the copy already kept and makes no other.
        ASSERT_TRUE(file.OpenDataFile().ok());
        EXPECT_EQ(file.damage()->copyName, "Corvane.Data.uneven-length-copy");
        ASSERT_TRUE(file.CloseDataFile().ok());
        EXPECT_FALSE(fileExists(here.file("Corvane.Data.uneven-length-copy-2")));
    }
}

TEST_F(DataFileTest, APartialLastSlotReadsBlankWhereItStopsAndAnAppendCompletesIt) {
    Bytes bytes = slotsOf({"Adams", "Baker"});
    bytes.resize(4500);  // Baker's slot stops after its Comments begin
    writeFile(dataPath(), bytes);
    ASSERT_TRUE(store.OpenDataFile().ok());
    ASSERT_EQ(store.RecordCount(), 2);
    ASSERT_TRUE(store.ReadRecord(2).ok());
    const ContactRecord partial = store.CurrentRecord();
    EXPECT_EQ(partial.text(Field::FullName), "Baker");
    EXPECT_EQ(partial.date(Field::Created), 0.0);

    store.CurrentRecord() = test::recordNamed("Clark");
    ASSERT_TRUE(store.WriteRecord(3).ok());
    ASSERT_TRUE(store.CloseDataFile().ok());
    const Bytes after = readFile(dataPath());
    ASSERT_EQ(after.size(), 9000u);
    EXPECT_EQ(namesIn(after), (Names{"Adams", "Baker", "Clark"}));
    // The completed slot holds what the program showed for it, not zeros.
    EXPECT_TRUE(std::equal(partial.encode().begin(), partial.encode().end(), after.begin() + 3000));
}

TEST_F(DataFileTest, AFileWithTooManySlotsIsOnlyRead) {
    writeFile(dataPath(), slotsOf({"Adams"}));
    ASSERT_EQ(::truncate(dataPath().c_str(), 32768LL * 3000), 0);  // sparse: no disk used
    ASSERT_TRUE(store.OpenDataFile().ok());
    ASSERT_TRUE(store.damage());
    EXPECT_EQ(store.damage()->kind, FileDamage::Kind::TooLarge);
    EXPECT_EQ(store.RecordCount(), 32767);
    ASSERT_TRUE(store.ReadRecord(1).ok());
    EXPECT_EQ(store.CurrentRecord().text(Field::FullName), "Adams");
    store.CurrentRecord().setText(Field::FullName, "Changed");
    EXPECT_EQ(store.WriteRecord(1).error, StoreError::ReadOnly);
    ASSERT_TRUE(store.CloseDataFile().ok());
    EXPECT_EQ(store.DeleteAndCompact(1).error, StoreError::ReadOnly);
    EXPECT_EQ(std::filesystem::file_size(dataPath()), 32768u * 3000);
    Bytes first(3000);
    std::ifstream(dataPath(), std::ios::binary).read(reinterpret_cast<char*>(first.data()), 3000);
    EXPECT_EQ(namesIn(first), (Names{"Adams"}));
    EXPECT_FALSE(fileExists(scratchPath()));
}

TEST_F(DataFileTest, NoRecordBeyondTheLargestCountIsAppended) {
    writeFile(dataPath(), {});
    ASSERT_EQ(::truncate(dataPath().c_str(), 32767LL * 3000), 0);
    ASSERT_TRUE(store.OpenDataFile().ok());
    EXPECT_FALSE(store.damage());
    EXPECT_EQ(store.RecordCount(), 32767);
    EXPECT_EQ(store.WriteRecord(32768).error, StoreError::TooLarge);
    ASSERT_TRUE(store.CloseDataFile().ok());
    EXPECT_EQ(std::filesystem::file_size(dataPath()), 32767u * 3000);
}

TEST_F(DataFileTest, DeletingMovesLaterRecordsDownOneSlot) {
    writeFile(dataPath(), slotsOf({"Adams", "Baker", "Clark"}));
    ASSERT_TRUE(store.DeleteAndCompact(2).ok());
    EXPECT_EQ(namesIn(readFile(dataPath())), (Names{"Adams", "Clark"}));
    EXPECT_EQ(readFile(dataPath()).size(), 6000u);
    EXPECT_EQ(store.RecordCount(), 2);
    EXPECT_EQ(store.DataFileNumber(), 0);
    EXPECT_FALSE(fileExists(scratchPath()));
}

TEST_F(DataFileTest, DeletingKeepsEveryOtherRecordByteForByteAndInOrder) {
    // Enough records to cross the store's read-ahead and write chunks.
    Names names;
    for (int i = 0; i < 700; ++i) {
        names.push_back("Entry " + std::to_string(i));
    }
    Bytes bytes = slotsOf(names);
    bytes[3000 * 5 + 1570] = 0xE9;  // a byte that only a byte-exact copy keeps
    writeFile(dataPath(), bytes);
    ASSERT_TRUE(store.DeleteAndCompact(300).ok());
    Bytes expected = bytes;
    expected.erase(expected.begin() + 299 * 3000, expected.begin() + 300 * 3000);
    EXPECT_EQ(readFile(dataPath()), expected);
}

TEST_F(DataFileTest, DeletingAlsoDropsEveryRecordMarkedKilled) {
    // A name typed as the marker, and a mark left by an interrupted deletion.
    writeFile(dataPath(), slotsOf({"Adams", "$Killed$", "Baker", "Clark", "  $Killed$"}));
    ASSERT_TRUE(store.DeleteAndCompact(3).ok());
    EXPECT_EQ(namesIn(readFile(dataPath())), (Names{"Adams", "Clark"}));
}

TEST_F(DataFileTest, DeletingTheOnlyRecordLeavesNoFileAtAll) {
    writeFile(dataPath(), slotsOf({"Adams"}));
    ASSERT_TRUE(store.DeleteAndCompact(1).ok());
    EXPECT_FALSE(fileExists(dataPath()));
    EXPECT_FALSE(fileExists(scratchPath()));
    EXPECT_EQ(store.RecordCount(), 0);

    ASSERT_TRUE(store.OpenDataFile().ok());
    EXPECT_EQ(store.RecordCount(), 0);
    ASSERT_TRUE(store.CloseDataFile().ok());
    EXPECT_TRUE(fileExists(dataPath()));
}

TEST_F(DataFileTest, AStaleScratchFileLeavesNothingBehind) {
    writeFile(scratchPath(), slotsOf({"Stale 1", "Stale 2", "Stale 3", "Stale 4"}));
    writeFile(dataPath(), slotsOf({"Adams", "Baker"}));
    ASSERT_TRUE(store.DeleteAndCompact(1).ok());
    EXPECT_EQ(namesIn(readFile(dataPath())), (Names{"Baker"}));
    EXPECT_FALSE(fileExists(scratchPath()));
}

TEST_F(DataFileTest, DeletingARecordThatIsNotThereChangesNothing) {
    const Bytes bytes = slotsOf({"Adams", "Baker"});
    writeFile(dataPath(), bytes);
    EXPECT_EQ(store.DeleteAndCompact(3).error, StoreError::NoSuchRecord);
    EXPECT_EQ(store.DeleteAndCompact(0).error, StoreError::NoSuchRecord);
    EXPECT_EQ(readFile(dataPath()), bytes);
    EXPECT_EQ(store.DataFileNumber(), 0);
}

TEST_F(DataFileTest, ASystemRefusalNamesTheFileAndTheReason) {
    ASSERT_EQ(::mkdir(dataPath().c_str(), 0700), 0);  // a folder where the file should be
    const StoreStatus status = store.OpenDataFile();
    EXPECT_EQ(status.error, StoreError::Io);
    EXPECT_EQ(status.fileName, dataPath());
    EXPECT_EQ(status.reason, test::systemReason(EISDIR));
    EXPECT_EQ(status.message(), dataPath() + ": " + test::systemReason(EISDIR));
    EXPECT_EQ(store.DataFileNumber(), 0);
}

TEST_F(DataFileTest, AFileThatMayOnlyBeReadIsShownButNeverWritten) {
    const Bytes bytes = slotsOf({"Adams", "Baker"});
    writeFile(dataPath(), bytes);
    test::FaultyFileSystem fs;
    DataFile readOnly(fs, dir.path().string());
    fs.failStep(1, EACCES);  // opening for writing is refused
    ASSERT_TRUE(readOnly.OpenDataFile().ok());
    ASSERT_TRUE(readOnly.damage());
    EXPECT_EQ(readOnly.damage()->kind, FileDamage::Kind::NotWritable);
    EXPECT_NE(readOnly.damage()->describe().find(test::systemReason(EACCES)), std::string::npos);
    EXPECT_EQ(readOnly.RecordCount(), 2);
    ASSERT_TRUE(readOnly.ReadRecord(2).ok());
    EXPECT_EQ(readOnly.CurrentRecord().text(Field::FullName), "Baker");
    EXPECT_EQ(readOnly.WriteRecord(3).error, StoreError::ReadOnly);
    ASSERT_TRUE(readOnly.CloseDataFile().ok());
    EXPECT_EQ(readFile(dataPath()), bytes);
}

TEST_F(DataFileTest, AFolderThatCannotBeWrittenIsReportedWhenTheFileWouldBeCreated) {
    test::FaultyFileSystem fs;
    DataFile noFolder(fs, dir.path().string());
    fs.failStep(1, EACCES);
    const StoreStatus status = noFolder.OpenDataFile();
    EXPECT_EQ(status.error, StoreError::Io);
    EXPECT_EQ(status.message(), dataPath() + ": " + test::systemReason(EACCES));
    EXPECT_EQ(noFolder.DataFileNumber(), 0);
    EXPECT_FALSE(fileExists(dataPath()));
}

}  // namespace
}  // namespace corvane

namespace corvane {
namespace {

// The shape of the folder after the program has worked in it: what a
// damaged file leaves behind, which permissions survive, and what a link
// planted under one of the program's names can reach.
class DataFileFolder : public testing::Test {
  protected:
    std::string data() const { return dir.file("Corvane.Data"); }
    std::vector<std::string> namesInFolder() const {
        std::vector<std::string> names;
        for (const auto& e : std::filesystem::directory_iterator(dir.path())) {
            names.push_back(e.path().filename().string());
        }
        std::sort(names.begin(), names.end());
        return names;
    }
    test::TempDir dir;
    DataFile store{realFileSystem(), dir.path().string()};
};

TEST_F(DataFileFolder, AnUnevenFileGetsOneCopyHoweverOftenItIsEditedAndIsToldOfOnce) {
    Bytes bytes = slotsOf({"Adams", "Baker", "Clark"});
    bytes.resize(7600, 'z');
    writeFile(data(), bytes);
    for (int edit = 1; edit <= 4; ++edit) {
        SCOPED_TRACE(edit);
        ASSERT_TRUE(saveName(store, 1, "Adams " + std::to_string(edit)).ok());
        ASSERT_TRUE(store.OpenDataFile().ok());
        ASSERT_TRUE(store.damage());
        EXPECT_EQ(store.damage()->copyName, "Corvane.Data.uneven-length-copy");
        EXPECT_FALSE(store.damage()->worthTelling());  // told when the copy was made
        ASSERT_TRUE(store.CloseDataFile().ok());
    }
    EXPECT_EQ(namesInFolder(),
              (Names{"Corvane.Data", "Corvane.Data.journal", "Corvane.Data.uneven-length-copy"}));
    EXPECT_EQ(readFile(dir.file("Corvane.Data.uneven-length-copy")), bytes);

    // Another damage (another ragged end) is another copy, told of again.
    Bytes other = slotsOf({"Adams"});
    other.resize(3700, 'q');
    writeFile(data(), other);
    ASSERT_TRUE(store.OpenDataFile().ok());
    EXPECT_EQ(store.damage()->copyName, "Corvane.Data.uneven-length-copy-2");
    EXPECT_TRUE(store.damage()->copyMadeNow);
    EXPECT_TRUE(store.damage()->worthTelling());
    ASSERT_TRUE(store.CloseDataFile().ok());
    EXPECT_EQ(readFile(dir.file("Corvane.Data.uneven-length-copy-2")), other);
}

TEST_F(DataFileFolder, DeletingKeepsTheFilesPermissionsAndTheCopyHasThemToo) {
    writeFile(data(), slotsOf({"Adams", "Baker"}));
    ASSERT_EQ(::chmod(data().c_str(), 0600), 0);
    ASSERT_TRUE(store.DeleteAndCompact(1).ok());
    struct stat st {};
    ASSERT_EQ(::stat(data().c_str(), &st), 0);
    EXPECT_EQ(st.st_mode & 07777, 0600u);

    Bytes uneven = slotsOf({"Adams"});
    uneven.resize(3100, 'z');
    writeFile(data(), uneven);
    ASSERT_EQ(::chmod(data().c_str(), 0640), 0);
    ASSERT_TRUE(store.OpenDataFile().ok());
    ASSERT_TRUE(store.CloseDataFile().ok());
    ASSERT_EQ(::stat(dir.file("Corvane.Data.uneven-length-copy").c_str(), &st), 0);
    EXPECT_EQ(st.st_mode & 07777, 0640u);
}

// The journal holds a whole entry: it is as private as the data file, and
// between saves it holds nothing the next open would write again.
TEST_F(DataFileFolder, TheJournalIsAsPrivateAsTheFileAndHoldsNothingBetweenSaves) {
    writeFile(data(), slotsOf({"Adams", "Baker"}));
    ASSERT_EQ(::chmod(data().c_str(), 0600), 0);
    ASSERT_TRUE(saveName(store, 2, "Bell").ok());
    const std::string journal = dir.file("Corvane.Data.journal");
    struct stat st {};
    ASSERT_EQ(::stat(journal.c_str(), &st), 0);
    EXPECT_EQ(st.st_mode & 07777, 0600u);
    EXPECT_FALSE(decodeJournal(readFile(journal)));
    ASSERT_TRUE(saveName(store, 1, "Abbot").ok());
    EXPECT_FALSE(decodeJournal(readFile(journal)));
    EXPECT_EQ(namesIn(readFile(data())), (Names{"Abbot", "Bell"}));

    // The book's last entry deleted, no file of it is left but the trash,
    // which keeps what was deleted.
    ASSERT_TRUE(store.DeleteAndCompact(1).ok());
    ASSERT_TRUE(store.DeleteAndCompact(1).ok());
    EXPECT_EQ(namesInFolder(), Names{"Corvane.Data.trash"});
}

TEST_F(DataFileFolder, LinksPlantedUnderTheScratchAndCopyNamesAreNeverFollowed) {
    const test::TempDir elsewhere;
    const std::string victim = elsewhere.file("victim");
    writeFile(victim, Bytes{'k', 'e', 'e', 'p'});
    const std::string absent = elsewhere.file("absent");
    ASSERT_EQ(::symlink(victim.c_str(), dir.file("TempFile.Data").c_str()), 0);
    ASSERT_EQ(::symlink(absent.c_str(), dir.file("Corvane.Data.uneven-length-copy").c_str()), 0);

    writeFile(data(), slotsOf({"Adams", "Baker", "Clark"}));
    ASSERT_TRUE(store.DeleteAndCompact(2).ok());
    EXPECT_EQ(namesIn(readFile(data())), (Names{"Adams", "Clark"}));
    EXPECT_EQ(readFile(victim), (Bytes{'k', 'e', 'e', 'p'}));
    EXPECT_FALSE(std::filesystem::is_symlink(dir.file("TempFile.Data")));

    Bytes uneven = slotsOf({"Adams"});
    uneven.resize(3100, 'z');
    writeFile(data(), uneven);
    ASSERT_TRUE(store.OpenDataFile().ok());
    ASSERT_TRUE(store.CloseDataFile().ok());
    EXPECT_FALSE(fileExists(absent));  // nothing was written through the link
    EXPECT_EQ(store.damage()->copyName, "Corvane.Data.uneven-length-copy-2");
    EXPECT_EQ(readFile(dir.file("Corvane.Data.uneven-length-copy-2")), uneven);
}

TEST_F(DataFileFolder, ABookLeftMissingIsReadAsEmptyAndMadeByTheFirstWrite) {
    store.setCreateWhenMissing(false);
    ASSERT_TRUE(store.OpenDataFile().ok());
    EXPECT_EQ(store.RecordCount(), 0);
    EXPECT_EQ(store.DataFileNumber(), 1);
    ASSERT_TRUE(store.CloseDataFile().ok());
    ASSERT_TRUE(store.RefreshRecordCount().ok());
    EXPECT_FALSE(fileExists(data()));

    ASSERT_TRUE(saveName(store, 1, "Adams").ok());
    EXPECT_EQ(namesIn(readFile(data())), (Names{"Adams"}));
    EXPECT_EQ(store.RecordCount(), 1);
}

}  // namespace
}  // namespace corvane
