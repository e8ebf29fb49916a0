// Every step that changes the disk is made to fail in turn, during each kind
// of change the program makes: once, twice in a row (so that the undoing
// meets a failure too), and with the disk staying broken. Afterwards the
// data file must be exactly as it was, or, where the undoing itself failed,
// the user must be told so; a change never fails silently.

#include <gtest/gtest.h>

#include <optional>

#include <functional>
#include <system_error>

#include "conversion.h"
#include "datafile.h"
#include "faultyfilesystem.h"
#include "storetestdata.h"
#include "testsupport.h"

namespace corvane {
namespace {

using test::Bytes;
using test::fileExists;
using test::readFile;
using test::savedAs;
using test::saveName;
using test::slotsOf;
using test::writeFile;
using Log = std::vector<std::string>;

const std::string kNoSpace = std::error_code(ENOSPC, std::generic_category()).message();

enum class Mode { Once, TwiceInARow, StaysBroken };

std::string nameOf(Mode mode) {
    return mode == Mode::Once ? "once" : mode == Mode::TwiceInARow ? "twice" : "broken";
}

class FaultInjectionTest : public testing::Test {
  protected:
    struct Outcome {
        int failingRuns = 0;  // runs in which a chosen step was reached
        int rollbackFailures = 0;
        int harmlessFailures = 0;  // runs where only a close after the flush failed
        Log cleanLog;              // the steps of the run without a failure
    };

    // Runs `change` once for each of its steps in each mode, failing from
    // that step on, first with only the changing steps counted, then with
    // the reads too, and checks the whole folder after each failure: the
    // data file is `before`, or `after` when only the last flush of the
    // folder failed, or the status says the undoing failed too; no other
    // file changed, and no scratch file is left where one failure met a
    // sound disk. Then runs it cleanly and checks the data file is `after`.
    Outcome failEachStepOf(const std::function<StoreStatus(DataFile&)>& change, const Bytes& before,
                           const Bytes& after) {
        Outcome outcome;
        for (bool reads : {false, true}) {
            for (Mode mode : {Mode::Once, Mode::TwiceInARow, Mode::StaysBroken}) {
                for (int n = 1;; ++n) {
                    SCOPED_TRACE("failing step " + std::to_string(n) + " " + nameOf(mode) +
                                 (reads ? " counting reads" : ""));
                    if (!runFailing(change, before, after, mode, n, reads, outcome)) {
                        break;
                    }
                }
            }
        }
        return outcome;
    }

    // One run of `failEachStepOf`; false when no step failed.
    bool runFailing(const std::function<StoreStatus(DataFile&)>& change, const Bytes& before,
                    const Bytes& after, Mode mode, int n, bool reads, Outcome& outcome) {
        reset(before);
        const test::Folder folderBefore = test::folderOf(dir.path());
        DataFile store(fs, dir.path().string());
        if (mode == Mode::Once) {
            fs.failStep(n);
        } else if (mode == Mode::TwiceInARow) {
            fs.failStep(n, ENOSPC, 2);
        } else {
            fs.breakAt(n);
        }
        fs.countReads(reads);
        const StoreStatus status = change(store);
        const bool failed = fs.failed();
        lastLog = fs.log();
        test::Folder expectedOthers = folderBefore;
        expectedOthers.erase("Corvane.Data");
        expectedOthers.erase("Corvane.Data.journal");
        // The trash and its scratch file: their own tests check them.
        std::erase_if(expectedOthers, [](const auto& file) {
            return file.first.starts_with("Corvane.Data.trash");
        });
        fs.failStep(0);
        fs.countReads(false);
        if (!failed) {
            EXPECT_TRUE(status.ok()) << status.message();
            EXPECT_EQ(readData(), after);
            EXPECT_EQ(recoveredData(), after);
            if (!reads) {
                outcome.cleanLog = lastLog;
            }
            return false;
        }
        ++outcome.failingRuns;
        test::Folder now = test::folderOf(dir.path());
        now.erase("Corvane.Data");
        now.erase("Corvane.Data.journal");  // what it holds shows in what the next open makes
        std::erase_if(
            now, [](const auto& file) { return file.first.starts_with("Corvane.Data.trash"); });
        if (status.ok()) {
            ++outcome.harmlessFailures;
            EXPECT_TRUE(failuresWereHarmless()) << "a failed step was reported as success\n"
                                                << logText();
            EXPECT_EQ(readData(), after);
            std::erase_if(now, [&](const auto& file) {
                return !folderBefore.contains(file.first) &&
                       file.first.starts_with("Corvane.Data.uneven-length-copy-");
            });
            EXPECT_EQ(now, expectedOthers) << "files other than the data file changed";
            EXPECT_EQ(recoveredData(), after);
            return true;
        }
        EXPECT_EQ(store.DataFileNumber(), 0);
        EXPECT_NE(status.reason.find(kNoSpace), std::string::npos) << status.reason;
        if (mode != Mode::Once) {
            now.erase("TempFile.Data");  // the clean-up met the broken disk too
        }
        EXPECT_EQ(now, expectedOthers) << "files other than the data file changed\n" << logText();
        if (status.error == StoreError::FolderNotFlushed || status.error == StoreError::Untidied) {
            EXPECT_EQ(readData(), after);
            EXPECT_EQ(recoveredData(), after);
        } else if (status.error == StoreError::RollbackFailed) {
            // The message says the next open may make the change.
            ++outcome.rollbackFailures;
            EXPECT_NE(mode, Mode::Once) << "one failure must always be undone";
            EXPECT_NE(status.fileName.find("Corvane.Data"), std::string::npos);
            const Bytes recovered = recoveredData();
            EXPECT_TRUE(recovered == before || recovered == after) << logText();
        } else {
            EXPECT_EQ(readData(), before) << status.message() << "\n" << logText();
            EXPECT_EQ(recoveredData(), before) << status.message() << "\n" << logText();
        }
        return true;
    }

    // True when every failed step of the last run is one the program may
    // rightly shrug off: closing the data file or marking the journal done
    // after its last flush (the change is on the disk), or reading
    // an earlier copy of a damaged file (at worst the damage is copied once
    // more).
    bool failuresWereHarmless() const {
        bool flushed = true;    // nothing written yet is nothing unflushed
        bool restored = false;  // a restored entry's book is in place
        for (const std::string& line : lastLog) {
            restored = restored || line == "rename TempFile.Data Corvane.Data";
            if (line.starts_with("write Corvane.Data ") || line == "write Corvane.Data") {
                flushed = false;
            } else if (line == "sync Corvane.Data") {
                flushed = true;
            } else if (line.ends_with("(fails)")) {
                const bool lateClose = line == "close Corvane.Data (fails)" && flushed;
                // Marking the journal done after the flush: should the mark
                // be missing, the next open writes the same bytes again.
                const bool lateMark =
                    flushed && line.find(" Corvane.Data.journal") != std::string::npos;
                // The trash, read, or written and flushed: closing loses nothing.
                const bool trashClose = line == "close Corvane.Data.trash (fails)";
                // Taking a restored entry out of the trash: it is in the book,
                // and the user is told it is in both.
                const bool trashAfterRestore =
                    restored && (line.find("Corvane.Data.trash") != std::string::npos ||
                                 line.starts_with("syncdir"));
                const bool copyRead = line.find(".uneven-length-copy") != std::string::npos &&
                                      !line.starts_with("write") && !line.starts_with("sync") &&
                                      !line.starts_with("chmod") &&
                                      (line.starts_with("close") || line.starts_with("read") ||
                                       line.find(" to read ") != std::string::npos);
                if (!lateClose && !lateMark && !copyRead && !trashClose && !trashAfterRestore) {
                    return false;
                }
            }
        }
        return true;
    }

    // True when the first failed step of the last run came after the
    // folder's flush that completes a damaged file's copy.
    bool failedAfterTheCopy() const {
        bool copied = false;
        for (const std::string& line : lastLog) {
            if (line.ends_with("(fails)")) {
                return copied;
            }
            copied = copied || line == "syncdir";
        }
        return false;
    }

    std::string logText() const {
        std::string text;
        for (const std::string& line : lastLog) {
            text += line + "\n";
        }
        return text;
    }

    // The data file as the next start finds it, once the journal has
    // finished any write it holds; the disk is sound by then.
    Bytes recoveredData() {
        if (fileExists(dir.file("Corvane.Data"))) {
            DataFile next(realFileSystem(), dir.path().string());
            EXPECT_TRUE(next.OpenDataFile().ok());
            EXPECT_TRUE(next.CloseDataFile().ok());
        }
        return readData();
    }

    std::optional<Bytes> trashBefore;  // the trash each run starts from, if any

    void reset(const Bytes& before) {
        std::filesystem::remove(dir.file("TempFile.Data"));
        std::filesystem::remove(dir.file("Corvane.Data.journal"));
        if (trashBefore) {
            writeFile(dir.file("Corvane.Data.trash"), *trashBefore);
        }
        if (before.empty()) {
            std::filesystem::remove(dir.file("Corvane.Data"));
        } else {
            writeFile(dir.file("Corvane.Data"), before);
        }
    }
    Bytes readData() {
        return fileExists(dir.file("Corvane.Data")) ? readFile(dir.file("Corvane.Data")) : Bytes{};
    }

    test::TempDir dir;
    test::FaultyFileSystem fs;
    Log lastLog;
};

// A save: open, record the write in the journal (looked for, made private
// from the start, written, flushed, its new name flushed with the folder),
// write and flush the slot, empty the journal (zeros over it), close both.
const Log kSaveSteps{
    "open Corvane.Data",          "open Corvane.Data.journal", "open Corvane.Data.journal",
    "write Corvane.Data.journal", "sync Corvane.Data.journal", "syncdir",
    "write Corvane.Data",         "sync Corvane.Data",         "write Corvane.Data.journal",
    "close Corvane.Data.journal", "close Corvane.Data"};

TEST_F(FaultInjectionTest, AddingAnEntry) {
    const Outcome o = failEachStepOf([](DataFile& store) { return saveName(store, 3, "Clark"); },
                                     slotsOf({"Adams", "Baker"}),
                                     savedAs(slotsOf({"Adams", "Baker"}), 3, "Clark"));
    EXPECT_EQ(o.cleanLog, kSaveSteps);
    // The eleven steps and, with the reads counted, the nineteen reads of
    // the open (the journal's among them), the slot and the write: each
    // fails in each of the three modes.
    EXPECT_EQ(o.failingRuns, 3 * (11 + 19));
    // A failed write or flush of the slot meets a failing undo twice in a
    // row and broken; a failed step of the journal's making, with the disk
    // staying broken, leaves a journal that can be neither emptied nor
    // removed: three steps, in both passes each.
    EXPECT_EQ(o.rollbackFailures, 2 * (2 * 2 + 3));
    // Marking the journal done, closing it and closing the data file, after
    // the flush, in every mode and pass.
    // And a journal that cannot be read at the open is not used: the save
    // goes on.
    EXPECT_EQ(o.harmlessFailures, 3 * 3 * 2 + 1);
}

TEST_F(FaultInjectionTest, EditingAnEntry) {
    const Outcome o = failEachStepOf([](DataFile& store) { return saveName(store, 2, "Bell"); },
                                     slotsOf({"Adams", "Baker", "Clark"}),
                                     savedAs(slotsOf({"Adams", "Baker", "Clark"}), 2, "Bell"));
    EXPECT_EQ(o.cleanLog, kSaveSteps);
    EXPECT_EQ(o.failingRuns, 3 * (11 + 19));
    EXPECT_EQ(o.rollbackFailures, 2 * (2 * 2 + 3));
}

TEST_F(FaultInjectionTest, AddingTheFirstEntryCreatesTheFileAndFlushesItsFolder) {
    const Outcome o = failEachStepOf([](DataFile& store) { return saveName(store, 1, "Adams"); },
                                     Bytes{}, savedAs(Bytes{}, 1, "Adams"));
    Log steps = kSaveSteps;
    steps.insert(steps.begin() + 1, "syncdir");
    EXPECT_EQ(o.cleanLog, steps);
}

TEST_F(FaultInjectionTest, AddingToAFileWithAPartialLastSlot) {
    Bytes before = slotsOf({"Adams", "Baker"});
    before.resize(4500);
    writeFile(dir.file("Corvane.Data.uneven-length-copy"), before);  // copy already kept
    // Record 2 is the partial slot: saved, its missing half is completed blank.
    failEachStepOf([](DataFile& store) { return saveName(store, 2, "Clark"); }, before,
                   savedAs(before, 2, "Clark"));
}

TEST_F(FaultInjectionTest, DeletingAnEntry) {
    const Bytes before = slotsOf({"Adams", "Baker", "Clark", "$Killed$"});
    const Outcome o = failEachStepOf([](DataFile& store) { return store.DeleteAndCompact(2); },
                                     before, slotsOf({"Adams", "Clark"}));
    // The data file is only read: whatever fails, there is nothing in it to
    // undo, and no failure can leave it changed. The entry is in the trash,
    // flushed, before the new book is begun.
    EXPECT_EQ(o.cleanLog,
              (Log{"open Corvane.Data", "close Corvane.Data.trash", "open Corvane.Data.trash",
                   "truncate Corvane.Data.trash", "write Corvane.Data.trash",
                   "sync Corvane.Data.trash", "close Corvane.Data.trash", "remove TempFile.Data",
                   "open TempFile.Data", "chmod TempFile.Data", "write TempFile.Data",
                   "sync TempFile.Data", "close TempFile.Data", "close Corvane.Data",
                   "rename TempFile.Data Corvane.Data", "syncdir"}));
    EXPECT_EQ(o.rollbackFailures, 0);
}

// A restore fails at each of its steps: the book is as it was with the
// entry still in the trash, or has it back.
TEST_F(FaultInjectionTest, RestoringADeletedEntry) {
    const Bytes book = slotsOf({"Adams", "Baker", "Clark"});
    writeFile(dir.file("Corvane.Data"), book);
    {
        DataFile sound(realFileSystem(), dir.path().string());
        ASSERT_TRUE(sound.DeleteAndCompact(2).ok());
    }
    trashBefore = readFile(dir.file("Corvane.Data.trash"));
    const Outcome o = failEachStepOf(
        [](DataFile& store) {
            int number = 0;
            return store.RestoreFromTrash(0, number);
        },
        slotsOf({"Adams", "Clark"}), book);
    EXPECT_GT(o.failingRuns, 0);
    EXPECT_EQ(o.rollbackFailures, 0);
}

TEST_F(FaultInjectionTest, AFailedUndoOfAWriteSaysWhatTheFileMayHold) {
    writeFile(dir.file("Corvane.Data"), slotsOf({"Adams", "Baker"}));
    DataFile store(fs, dir.path().string());
    fs.failStep(7, ENOSPC, 2);  // the write and then putting the old bytes back
    const StoreStatus status = saveName(store, 2, "Bell");
    EXPECT_EQ(status.error, StoreError::RollbackFailed);
    EXPECT_EQ(status.reason, kNoSpace + "; putting back what was there failed too (" + kNoSpace +
                                 "), so entry 2 in the file may now be partly overwritten, until "
                                 "the next opening of the file finishes the write from "
                                 "Corvane.Data.journal");
    EXPECT_EQ(fs.log()[6], "write Corvane.Data (fails)");
    EXPECT_EQ(fs.log()[7], "write Corvane.Data (fails)");
    // Here the write never reached the file, so the next opening leaves it
    // as it was.
    fs.failStep(0);
    EXPECT_EQ(test::namesIn(recoveredData()), (std::vector<std::string>{"Adams", "Baker"}));
}

TEST_F(FaultInjectionTest, DeletingTheLastEntry) {
    const Outcome o = failEachStepOf([](DataFile& store) { return store.DeleteAndCompact(1); },
                                     slotsOf({"Adams"}), Bytes{});
    EXPECT_EQ(o.cleanLog.back(), "syncdir");
    EXPECT_FALSE(fileExists(dir.file("Corvane.Data")));
}

TEST_F(FaultInjectionTest, ConvertingTheOldFile) {
    Bytes old(3 * 2000, ' ');
    for (int i = 0; i < 3; ++i) {
        old[i * 2000] = static_cast<std::uint8_t>('A' + i);
    }
    writeFile(dir.file("Corvane.Dat"), old);
    const Bytes converted = [&] {
        DataFile store(realFileSystem(), dir.path().string());
        EXPECT_TRUE(ConvertOldDataFile(store, [] { return 46000.0; }).status.ok());
        return readFile(dir.file("Corvane.Data"));
    }();
    EXPECT_EQ(test::namesIn(converted), (std::vector<std::string>{"A", "B", "C"}));
    const test::Folder otherFiles = test::folderOf(dir.path());

    int failures = 0;
    int standing = 0;  // failed steps after which the complete conversion stands
    for (bool reads : {false, true}) {
        for (Mode mode : {Mode::Once, Mode::StaysBroken}) {
            for (int n = 1;; ++n) {
                SCOPED_TRACE("failing step " + std::to_string(n) + " " + nameOf(mode) +
                             (reads ? " counting reads" : ""));
                std::filesystem::remove(dir.file("Corvane.Data"));
                DataFile store(fs, dir.path().string());
                mode == Mode::Once ? fs.failStep(n) : fs.breakAt(n);
                fs.countReads(reads);
                const ConversionResult result = ConvertOldDataFile(store, [] { return 46000.0; });
                const bool failed = fs.failed();
                lastLog = fs.log();
                fs.failStep(0);
                fs.countReads(false);
                test::Folder now = test::folderOf(dir.path());
                if (mode != Mode::Once) {
                    now.erase("TempFile.Data");  // its removal met the broken disk
                }
                if (!failed) {
                    EXPECT_TRUE(result.status.ok()) << result.status.message();
                    EXPECT_EQ(now, otherFiles);
                    break;
                }
                if (result.status.ok()) {
                    ++standing;
                    EXPECT_EQ(now, otherFiles) << logText();
                    continue;
                }
                ++failures;
                now.erase("Corvane.Data");
                test::Folder expected = otherFiles;
                expected.erase("Corvane.Data");
                EXPECT_EQ(now, expected) << "no data file may be left\n" << logText();
            }
        }
    }
    // Remove the scratch file, create it, set its permissions, three writes,
    // flush, close and rename it, flush the folder: each fails once, and all
    // but the last with the disk staying broken: the new file, complete,
    // cannot be taken away again and stands. Closing the old file and
    // learning the new count (open, close) may fail without undoing it.
    // With the reads counted, eight more steps fail the conversion (learning
    // the data file is missing, opening the old file, its permissions, its
    // length, three reads, and learning whether a journal is left) and three
    // more may fail after it (learning the new file's presence, its length,
    // and whether a journal is left to settle).
    EXPECT_EQ(failures, (10 + 9) + (18 + 17));
    EXPECT_EQ(standing, (3 + 4) + (6 + 7));
}

// A file of uneven length is copied before anything writes to it. When the
// copy cannot be made, the file is only read: the save is refused with the
// reason, the data file keeps its bytes, and no copy that is not whole is
// left under a copy's name. Here an earlier copy of another damage is in
// the way, so this one is "-copy-2".
TEST_F(FaultInjectionTest, ADamagedFileWhoseCopyFailsIsOnlyRead) {
    Bytes damaged = slotsOf({"Adams", "Baker"});
    damaged.resize(4500);
    Bytes earlier = damaged;
    earlier.resize(4000);
    int refused = 0;
    for (bool reads : {false, true}) {
        for (Mode mode : {Mode::Once, Mode::StaysBroken}) {
            for (int n = 1;; ++n) {
                SCOPED_TRACE("failing step " + std::to_string(n) + " " + nameOf(mode) +
                             (reads ? " counting reads" : ""));
                std::filesystem::remove(dir.file("Corvane.Data.uneven-length-copy-2"));
                writeFile(dir.file("Corvane.Data"), damaged);
                writeFile(dir.file("Corvane.Data.uneven-length-copy"), earlier);
                DataFile store(fs, dir.path().string());
                mode == Mode::Once ? fs.failStep(n) : fs.breakAt(n);
                fs.countReads(reads);
                const StoreStatus opened = store.OpenDataFile();
                StoreStatus saved = opened;
                if (opened.ok()) {
                    store.CurrentRecord().setText(Field::FullName, "Bell");
                    saved = store.WriteRecord(1);
                }
                const bool failed = fs.failed();
                lastLog = fs.log();
                fs.failStep(0);
                fs.countReads(false);
                (void)store.CloseDataFile();
                EXPECT_EQ(readFile(dir.file("Corvane.Data.uneven-length-copy")), earlier);
                const std::string copy2 = dir.file("Corvane.Data.uneven-length-copy-2");
                ASSERT_TRUE(failed) << "the save after the copy has steps to fail";
                if (failedAfterTheCopy()) {
                    // The steps after it (settling the journal, the save's
                    // own) are failed by the tests above.
                    if (opened.ok()) {
                        EXPECT_EQ(store.damage()->copyName, "Corvane.Data.uneven-length-copy-2");
                    }
                    EXPECT_EQ(readFile(copy2), damaged);
                    break;
                }
                EXPECT_FALSE(saved.ok()) << logText();
                EXPECT_EQ(readData(), damaged) << logText();
                if (opened.ok()) {
                    ++refused;
                    EXPECT_EQ(saved.error, StoreError::ReadOnly);
                    EXPECT_NE(saved.reason.find("No copy of it could be kept"), std::string::npos)
                        << saved.reason;
                    EXPECT_NE(saved.reason.find(kNoSpace), std::string::npos) << saved.reason;
                }
                if (mode == Mode::Once && fileExists(copy2)) {
                    // Only the folder's flush failed: the copy is whole.
                    EXPECT_EQ(readFile(copy2), damaged) << logText();
                }
            }
        }
    }
    // On a sound disk the copy is made and the save goes through.
    std::filesystem::remove(dir.file("Corvane.Data.uneven-length-copy-2"));
    writeFile(dir.file("Corvane.Data"), damaged);
    DataFile store(fs, dir.path().string());
    ASSERT_TRUE(store.OpenDataFile().ok());
    store.CurrentRecord().setText(Field::FullName, "Bell");
    EXPECT_TRUE(store.WriteRecord(1).ok());
    EXPECT_TRUE(store.CloseDataFile().ok());
    EXPECT_EQ(readFile(dir.file("Corvane.Data.uneven-length-copy-2")), damaged);
    const Bytes saved = readData();
    EXPECT_EQ(test::namesIn(saved), (std::vector<std::string>{"Bell"}));
    EXPECT_EQ(Bytes(saved.begin() + 3000, saved.end()),
              Bytes(damaged.begin() + 3000, damaged.end()));

    // Making the copy: create, set its permissions, write, flush, close,
    // flush the folder, each once and broken; with the reads, also reading
    // the data file, learning the earlier copy's length, the new name's
    // absence and the data file's permissions.
    EXPECT_EQ(refused, 2 * 6 + 2 * (6 + 4));
}

}  // namespace
}  // namespace corvane
