// Deleted entries kept beside the book: a deletion and its restore give the
// book back byte for byte; a book changed since gets the entry at its end;
// the trash keeps its bounds; a trash that does not read whole is never
// trusted; and a power cut at any step never loses the entry.

#include "trash.h"

#include <gtest/gtest.h>

#include "datafile.h"
#include "powercutfilesystem.h"
#include "storetestdata.h"

namespace corvane {
namespace {

using test::Bytes;
using test::PowerCutFileSystem;
using test::slotsOf;

const std::string kData(kDataFileName);
const std::string kTrashFile(kTrashFileName);

Bytes dataOf(PowerCutFileSystem& fs) {
    const test::Disk disk = fs.currentState();
    return disk.contains(kData) ? disk.at(kData) : Bytes{};
}

TEST(Trash, ADeletionRestoredGivesTheBookBackByteForByte) {
    const std::vector<std::string> four = {"Adams", "Baker", "Clark", "Davis"};
    for (const auto& [names, number] : {std::pair{four, 1}, std::pair{four, 3}, std::pair{four, 4},
                                        std::pair{std::vector<std::string>{"Only"}, 1}}) {
        SCOPED_TRACE(number);
        const Bytes before = slotsOf(names);
        PowerCutFileSystem fs({{kData, before}});
        DataFile store(fs, "");
        ASSERT_TRUE(store.DeleteAndCompact(number).ok());
        ASSERT_NE(dataOf(fs), before);
        int restoredAs = 0;
        ASSERT_TRUE(store.RestoreFromTrash(0, restoredAs).ok());
        EXPECT_EQ(restoredAs, number);
        EXPECT_EQ(dataOf(fs), before);
        std::vector<TrashedEntry> left;
        std::string problem;
        ASSERT_TRUE(Trash(fs, kData).read(left, problem).ok());
        EXPECT_TRUE(left.empty());
    }
}

// Changed since the deletion, the book takes the entry back at its end;
// full, it keeps it in the trash.
TEST(Trash, AChangedBookGetsTheEntryAtItsEndAndAFullOneKeepsItInTheTrash) {
    PowerCutFileSystem fs({{kData, slotsOf({"Adams", "Baker", "Clark"})}});
    DataFile store(fs, "");
    ASSERT_TRUE(store.DeleteAndCompact(1).ok());
    ASSERT_TRUE(store.OpenDataFile().ok());
    store.CurrentRecord().setText(Field::FullName, "Bell");
    ASSERT_TRUE(store.WriteRecord(1).ok());
    ASSERT_TRUE(store.CloseDataFile().ok());
    int restoredAs = 0;
    ASSERT_TRUE(store.RestoreFromTrash(0, restoredAs).ok());
    EXPECT_EQ(restoredAs, 3);
    EXPECT_EQ(test::namesIn(dataOf(fs)), (std::vector<std::string>{"Bell", "Clark", "Adams"}));

    std::vector<std::string> many(kMaxRecords, "Entry");
    PowerCutFileSystem full({{kData, slotsOf(many)}});
    DataFile book(full, "");
    ASSERT_TRUE(book.DeleteAndCompact(2).ok());
    ASSERT_TRUE(book.OpenDataFile().ok());
    book.CurrentRecord().setText(Field::FullName, "New");
    ASSERT_TRUE(book.WriteRecord(kMaxRecords).ok());
    ASSERT_TRUE(book.CloseDataFile().ok());
    const StoreStatus refused = book.RestoreFromTrash(0, restoredAs);
    EXPECT_EQ(refused.error, StoreError::Full);
    std::vector<TrashedEntry> kept;
    std::string problem;
    ASSERT_TRUE(Trash(full, kData).read(kept, problem).ok());
    EXPECT_EQ(kept.size(), 1u);
}

// Every deletion drops the entries marked "$Killed$": the entry comes back
// to its place in the book the deletion left.
TEST(Trash, KilledEntriesDroppedByTheDeletionDoNotMoveTheEntryToTheEnd) {
    PowerCutFileSystem fs({{kData, slotsOf({"Alice", "$Killed$", "Carol", "$Killed$", "Eve"})}});
    DataFile store(fs, "");
    ASSERT_TRUE(store.DeleteAndCompact(3).ok());
    int restoredAs = 0;
    ASSERT_TRUE(store.RestoreFromTrash(0, restoredAs).ok());
    EXPECT_EQ(restoredAs, 2);
    EXPECT_EQ(dataOf(fs), slotsOf({"Alice", "Carol", "Eve"}));
}

// The newest 1,000, none older than 90 days.
TEST(Trash, KeepsItsBounds) {
    PowerCutFileSystem fs;
    std::int64_t now = 1'700'000'000;
    Trash trash(fs, kData, [&] { return now; });
    std::string problem;
    TrashedEntry entry;
    for (int i = 0; i < kTrashKeeps + 5; ++i) {
        entry.number = i;
        ASSERT_TRUE(trash.add(entry, problem).ok());
    }
    std::vector<TrashedEntry> kept;
    ASSERT_TRUE(trash.read(kept, problem).ok());
    ASSERT_EQ(kept.size(), static_cast<std::size_t>(kTrashKeeps));
    EXPECT_EQ(kept.front().number, 5);
    now += kTrashKeepsSeconds + 1;
    ASSERT_TRUE(trash.add(entry, problem).ok());
    ASSERT_TRUE(trash.read(kept, problem).ok());
    EXPECT_EQ(kept.size(), 1u);

    // One dated in the future does not keep the old ones behind it.
    std::int64_t later = now + 1'000'000;
    Trash skewed(fs, kData, [&] { return later; });
    ASSERT_TRUE(skewed.add(entry, problem).ok());  // the future one
    later = now;
    ASSERT_TRUE(skewed.add(entry, problem).ok());
    later = now + kTrashKeepsSeconds + 10;
    ASSERT_TRUE(skewed.add(entry, problem).ok());
    ASSERT_TRUE(skewed.read(kept, problem).ok());
    EXPECT_EQ(kept.size(), 2u);  // the future one and the newest
}

// A foreign or damaged trash is read as nothing and said; the next deletion
// sets it aside, untouched, and begins a new one. A part of an entry at the
// end (an append cut short) is cut off.
TEST(Trash, ATrashThatDoesNotReadWholeIsNeverTrusted) {
    const Bytes foreign(3040, 'x');
    PowerCutFileSystem fs({{kData, slotsOf({"Adams", "Baker"})}, {kTrashFile, foreign}});
    DataFile store(fs, "");
    int restoredAs = 0;
    EXPECT_FALSE(store.RestoreFromTrash(0, restoredAs).ok());
    ASSERT_TRUE(store.DeleteAndCompact(1).ok());
    const std::vector<std::string> notices = store.takeNotices();
    ASSERT_EQ(notices.size(), 1u);
    EXPECT_NE(notices[0].find("set aside as Corvane.Data.trash.set-aside"), std::string::npos);
    EXPECT_EQ(fs.currentState().at(kTrashFile + ".set-aside"), foreign);

    // One larger than any trash Corvane writes is not even read.
    PowerCutFileSystem huge({{kTrashFile, Bytes((kTrashKeeps + 3) * 3040, 'x')}});
    std::vector<TrashedEntry> none;
    std::string why;
    ASSERT_TRUE(Trash(huge, kData).read(none, why).ok());
    EXPECT_NE(why.find("larger than any trash"), std::string::npos) << why;

    Bytes torn = fs.currentState().at(kTrashFile);
    torn.resize(torn.size() + 100, 'x');
    PowerCutFileSystem again({{kData, dataOf(fs)}, {kTrashFile, torn}});
    DataFile book(again, "");
    ASSERT_TRUE(book.DeleteAndCompact(1).ok());
    std::vector<TrashedEntry> kept;
    std::string problem;
    ASSERT_TRUE(Trash(again, kData).read(kept, problem).ok());
    EXPECT_TRUE(problem.empty()) << problem;
    EXPECT_EQ(kept.size(), 2u);
}

// A power cut at every step of a deletion and of its restore: the entry is
// always in the book or in the trash, and the book is one of the two.
TEST(Trash, APowerCutNeverLosesTheEntry) {
    const Bytes before = slotsOf({"Adams", "Baker", "Clark"});
    const Bytes after = slotsOf({"Adams", "Clark"});
    auto trashHolds = [](const test::Disk& disk) {
        PowerCutFileSystem fs(disk);
        std::vector<TrashedEntry> kept;
        std::string problem;
        (void)Trash(fs, kData).read(kept, problem);
        return !kept.empty() && kept.back().record.text(Field::FullName) == "Baker";
    };
    for (const bool restoring : {false, true}) {
        SCOPED_TRACE(restoring ? "restoring" : "deleting");
        PowerCutFileSystem fs({{kData, before}});
        DataFile store(fs, "");
        if (restoring) {
            ASSERT_TRUE(store.DeleteAndCompact(2).ok());
        }
        int seen = 0;
        fs.beforeEachChange = [&] {
            for (const test::Disk& state : fs.statesAfterAPowerCut()) {
                const Bytes data = state.contains(kData) ? state.at(kData) : Bytes{};
                ASSERT_TRUE(data == before || data == after) << test::namesIn(data).size();
                EXPECT_TRUE(data == before || trashHolds(state));
                ++seen;
            }
        };
        int restoredAs = 0;
        ASSERT_TRUE(
            (restoring ? store.RestoreFromTrash(0, restoredAs) : store.DeleteAndCompact(2)).ok());
        EXPECT_GT(seen, 0);
    }
}

}  // namespace
}  // namespace corvane
