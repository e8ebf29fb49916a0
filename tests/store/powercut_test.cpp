// Power cuts at every step of every change the store makes. The disk in
// memory keeps only what was flushed (and of the rest any first part), and
// after each possible cut the program starts again on what is left: the
// data file it then finds must be as it was before the change or as the
// change meant it, whole, and the next deletion must work.

#include <gtest/gtest.h>

#include <functional>
#include <set>

#include "bookappend.h"
#include "conversion.h"
#include "datafile.h"
#include "powercutfilesystem.h"
#include "slotjournal.h"
#include "storetestdata.h"

namespace corvane {
namespace {

using test::Bytes;
using test::Disk;
using test::PowerCutFileSystem;
using test::savedAs;
using test::saveName;
using test::slotsOf;

const std::string kData(kDataFileName);
const std::string kJournal(kJournalFileName);
constexpr double kNow = 46000.25;

// The data file of `disk` as the program finds it at its next start, once
// the journal has finished what it holds; empty when there is none. A
// deletion then works and leaves no scratch file.
Bytes afterRestart(const Disk& disk) {
    PowerCutFileSystem fs(disk);
    DataFile store(fs, "");
    store.setCreateWhenMissing(false);
    EXPECT_TRUE(store.OpenDataFile().ok());
    EXPECT_TRUE(store.CloseDataFile().ok());
    const Disk restarted = fs.currentState();
    const Bytes data = restarted.contains(kData) ? restarted.at(kData) : Bytes{};
    if (data.size() >= ContactRecord::kSize && data.size() % ContactRecord::kSize == 0) {
        EXPECT_TRUE(store.DeleteAndCompact(1).ok());
        EXPECT_FALSE(fs.currentState().contains(std::string(kScratchFileName)));
    }
    return data;
}

struct Findings {
    std::size_t states = 0;                 // distinct folders a cut could leave
    std::map<std::size_t, std::size_t> as;  // which acceptable file each came back as
};

// Runs `steps` one after another on `disk`, cutting the power before each
// change of each step and once at the end, and checks every state a cut
// could leave: the data file the next start finds is one of `acceptable`
// (the file before the first step and after each step).
Findings cutEverywhere(const Disk& disk,
                       const std::vector<std::function<StoreStatus(DataFile&)>>& steps,
                       const std::vector<Bytes>& acceptable) {
    PowerCutFileSystem fs(disk);
    std::set<Disk> states;
    fs.beforeEachChange = [&] {
        for (Disk& state : fs.statesAfterAPowerCut()) {
            states.insert(std::move(state));
        }
    };
    DataFile store(fs, "");
    for (const auto& step : steps) {
        const StoreStatus status = step(store);
        EXPECT_TRUE(status.ok()) << status.message();
    }
    fs.beforeEachChange();
    const Disk finished = fs.currentState();
    EXPECT_EQ(finished.contains(kData) ? finished.at(kData) : Bytes{}, acceptable.back());

    Findings findings;
    findings.states = states.size();
    for (const Disk& state : states) {
        const Bytes data = afterRestart(state);
        const auto match = std::find(acceptable.begin(), acceptable.end(), data);
        EXPECT_NE(match, acceptable.end())
            << "after a power cut the data file holds " << data.size()
            << " bytes: " << ::testing::PrintToString(test::namesIn(data));
        if (match != acceptable.end()) {
            ++findings.as[static_cast<std::size_t>(match - acceptable.begin())];
        }
    }
    return findings;
}

// The simulation is harsh enough to matter: a slot written in place and
// flushed, without the journal, can be found half old and half new.
TEST(PowerCut, AnUnjournalledRewriteOfASlotCanBeTorn) {
    const Bytes before = slotsOf({"Adams", "Baker"});
    const Bytes after = slotsOf({"Adams", "Bell"});
    PowerCutFileSystem fs({{kData, before}});
    int handle = -1;
    ASSERT_EQ(fs.open(kData, OpenMode::ReadWriteCreate, handle), 0);
    ASSERT_EQ(fs.writeAt(handle, 3000, after.data() + 3000, 3000), 0);
    bool torn = false;
    for (const Disk& state : fs.statesAfterAPowerCut()) {
        torn = torn || (state.at(kData) != before && state.at(kData) != after);
    }
    EXPECT_TRUE(torn);
    ASSERT_EQ(fs.sync(handle), 0);
    for (const Disk& state : fs.statesAfterAPowerCut()) {
        EXPECT_EQ(state.at(kData), after);
    }
}

TEST(PowerCut, SavingEntries) {
    const Bytes five = slotsOf({"Adams", "Baker", "Clark", "Davis", "Evans"});
    struct Case {
        const char* what;
        Disk disk;
        int number;
        Bytes before;
    };
    Bytes ragged = slotsOf({"Adams", "Baker"});
    ragged.resize(4500);
    const Bytes spentJournal(100, 0);  // what a journal holds between saves
    for (const Case& c :
         {Case{"the first save of a book", {}, 1, {}}, Case{"a rewrite", {{kData, five}}, 2, five},
          Case{"a rewrite beside a spent journal",
               {{kData, five}, {kJournal, spentJournal}},
               2,
               five},
          Case{"an append", {{kData, five}}, 6, five},
          Case{"the last slot of a ragged file",
               {{kData, ragged}, {"Corvane.Data.uneven-length-copy", ragged}},
               2,
               ragged}}) {
        SCOPED_TRACE(c.what);
        const Bytes after = savedAs(c.before, c.number, "Saved");
        const Findings f = cutEverywhere(
            c.disk, {[&](DataFile& store) { return saveName(store, c.number, "Saved"); }},
            {c.before, after});
        // Cuts came before the write and after it: both ends were seen.
        EXPECT_GT(f.as.count(0), 0u);
        EXPECT_GT(f.as.count(1), 0u);
    }
}

// A save whose journal entry is not yet marked done on the disk, then a
// deletion that compacts the file: a cut after the deletion must never
// bring the saved entry back into the compacted file.
TEST(PowerCut, AnAppendThenADeletion) {
    std::vector<std::string> names;
    for (char c = 'A'; c < 'A' + 19; ++c) {
        names.push_back(std::string(1, c) + "name");
    }
    const Bytes before = slotsOf(names);
    const Bytes appended = savedAs(before, 20, "Tname");
    const Bytes compacted(appended.begin() + 3000, appended.end());
    const Findings f = cutEverywhere({{kData, before}},
                                     {[](DataFile& store) { return saveName(store, 20, "Tname"); },
                                      [](DataFile& store) { return store.DeleteAndCompact(1); }},
                                     {before, appended, compacted});
    EXPECT_EQ(f.as.size(), 3u);
}

TEST(PowerCut, DeletingTheOnlyEntryAndDeletingOneOfMany) {
    const Bytes one = slotsOf({"Adams"});
    cutEverywhere({{kData, one}}, {[](DataFile& store) { return store.DeleteAndCompact(1); }},
                  {one, Bytes{}});
    const Bytes four = slotsOf({"Adams", "Baker", "$Killed$", "Davis"});
    const Findings f =
        cutEverywhere({{kData, four}}, {[](DataFile& store) { return store.DeleteAndCompact(2); }},
                      {four, slotsOf({"Adams", "Davis"})});
    EXPECT_EQ(f.as.size(), 2u);
}

// Cuts during the next start's own work: finishing a save that was cut
// short, setting aside a journal another program's change made stale, and
// keeping the copy of an uneven file before the first save into it.
TEST(PowerCut, DuringRecoveryTheSettingAsideAndTheUnevenFilesCopy) {
    auto openAndClose = [](DataFile& store) {
        StoreStatus opened = store.OpenDataFile();
        return opened.ok() ? store.CloseDataFile() : opened;
    };
    const Bytes three = slotsOf({"Adams", "Baker", "Clark"});
    const auto [journal, torn] = test::tornRewrite(three, 2);
    const Bytes finished = [&] {
        PowerCutFileSystem fs({{kData, torn}, {kJournal, journal}});
        DataFile store(fs, "");
        EXPECT_TRUE(openAndClose(store).ok());
        return fs.currentState().at(kData);
    }();
    EXPECT_EQ(test::namesIn(finished), (std::vector<std::string>{"Adams", "Bell", "Clark"}));
    cutEverywhere({{kData, torn}, {kJournal, journal}}, {openAndClose}, {finished});

    const Bytes changedSince = savedAs(finished, 2, "Bellamy");
    cutEverywhere({{kData, changedSince}, {kJournal, journal}}, {openAndClose}, {changedSince});

    Bytes ragged = slotsOf({"Adams", "Baker"});
    ragged.resize(4500);
    const Findings f = cutEverywhere({{kData, ragged}},
                                     {[](DataFile& store) { return saveName(store, 1, "Saved"); }},
                                     {ragged, savedAs(ragged, 1, "Saved")});
    EXPECT_EQ(f.as.size(), 2u);
}

TEST(PowerCut, ConvertingThePreviousFormat) {
    Bytes old(20 * OldContactRecord::kSize, ' ');
    for (int i = 0; i < 20; ++i) {
        old[static_cast<std::size_t>(i) * OldContactRecord::kSize] =
            static_cast<std::uint8_t>('A' + i);
    }
    // A journal left from a book since removed must not reach the new one.
    SlotWrite stale{57000, 57000, Bytes(3000, 'x')};
    const Disk disk{{std::string(kOldDataFileName), old}, {kJournal, encodeJournal(stale)}};
    const Bytes converted = [&] {
        PowerCutFileSystem fs(disk);
        DataFile store(fs, "");
        EXPECT_TRUE(ConvertOldDataFile(store, [] { return kNow; }).status.ok());
        return fs.currentState().at(kData);
    }();
    ASSERT_EQ(converted.size(), 20u * 3000u);
    const Findings f = cutEverywhere(
        disk,
        {[](DataFile& store) { return ConvertOldDataFile(store, [] { return kNow; }).status; }},
        {Bytes{}, converted});
    EXPECT_EQ(f.as.size(), 2u);
}

// An import writes the whole new book beside the old one: a cut at any
// moment leaves the old book (its killed entry still there) or the new one
// with every imported entry, and never a first import's part.
TEST(PowerCut, AnImportAddsEveryEntryOrNone) {
    const Bytes added = slotsOf({"Imported 1", "Imported 2"});
    std::vector<ContactRecord> records;
    for (std::size_t at = 0; at < added.size(); at += ContactRecord::kSize) {
        records.push_back(ContactRecord::decode(std::span<const std::uint8_t, ContactRecord::kSize>(
            added.data() + at, ContactRecord::kSize)));
    }
    for (const Bytes& before : {slotsOf({"Adams", "$Killed$", "Clark"}), Bytes{}}) {
        Bytes after = before;
        after.insert(after.end(), added.begin(), added.end());
        const Findings f =
            cutEverywhere(before.empty() ? Disk{} : Disk{{kData, before}}, {[&](DataFile& store) {
                              BookAppend book(store);
                              StoreStatus status = book.begin();
                              for (const ContactRecord& record : records) {
                                  book.add(record);
                              }
                              return status.ok() ? book.commit() : status;
                          }},
                          {before, after});
        EXPECT_EQ(f.as.size(), 2u);
    }
}

}  // namespace
}  // namespace corvane
