// Every step that changes the disk is made to fail in turn, during each kind
// of change the program makes: once, twice in a row (so that the undoing
// meets a failure too), and with the disk staying broken. Afterwards the
// data file must be exactly as it was, or, where the undoing itself failed,
// the user must be told so; a change never fails silently.

#include <gtest/gtest.h>

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
        Log cleanLog;  // the steps of the run without a failure
    };

    // Runs `change` once for each of its steps in each mode, failing from
    // that step on, and checks the folder after each failure: the data file
    // is `before`, or `after` when only the last flush of the folder failed,
    // or the status says the undoing failed too. Then runs it cleanly and
    // checks the data file is `after`.
    Outcome failEachStepOf(const std::function<StoreStatus(DataFile&)>& change, const Bytes& before,
                           const Bytes& after) {
        Outcome outcome;
        for (Mode mode : {Mode::Once, Mode::TwiceInARow, Mode::StaysBroken}) {
            for (int n = 1;; ++n) {
                SCOPED_TRACE("failing step " + std::to_string(n) + " " + nameOf(mode));
                reset(before);
                DataFile store(fs, dir.path().string());
                if (mode == Mode::Once) {
                    fs.failStep(n);
                } else if (mode == Mode::TwiceInARow) {
                    fs.failStep(n, ENOSPC, 2);
                } else {
                    fs.breakAt(n);
                }
                const StoreStatus status = change(store);
                const bool failed = fs.failed();
                lastLog = fs.log();
                fs.failStep(0);
                if (!failed) {
                    EXPECT_TRUE(status.ok()) << status.message();
                    EXPECT_EQ(readData(), after);
                    outcome.cleanLog = lastLog;
                    break;
                }
                ++outcome.failingRuns;
                EXPECT_FALSE(status.ok()) << "a failed step was reported as success";
                EXPECT_EQ(store.DataFileNumber(), 0);
                EXPECT_NE(status.reason.find(kNoSpace), std::string::npos) << status.reason;
                if (status.error == StoreError::FolderNotFlushed) {
                    EXPECT_EQ(readData(), after);
                } else if (status.error == StoreError::RollbackFailed) {
                    ++outcome.rollbackFailures;
                    EXPECT_NE(mode, Mode::Once) << "one failure must always be undone";
                    EXPECT_NE(status.fileName.find("Corvane.Data"), std::string::npos);
                } else {
                    EXPECT_EQ(readData(), before) << status.message();
                    if (mode == Mode::Once) {
                        EXPECT_FALSE(fileExists(dir.file("TempFile.Data")));
                    }
                }
            }
        }
        return outcome;
    }

    void reset(const Bytes& before) {
        std::filesystem::remove(dir.file("TempFile.Data"));
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

// The file's bytes once record `number` of `before` is saved under `name`:
// a slot beyond the end reads as a cleared record.
Bytes savedAs(Bytes file, int number, const std::string& name) {
    const std::size_t at = static_cast<std::size_t>(number - 1) * 3000;
    while (file.size() < at + 3000) {
        file.push_back(ContactRecord::blankByteAt(file.size() % 3000));
    }
    ContactRecord record =
        ContactRecord::decode(std::span<const std::uint8_t, 3000>(file.data() + at, 3000));
    record.setText(Field::FullName, name);
    std::copy(record.encode().begin(), record.encode().end(), file.begin() + at);
    return file;
}

// How a window saves one record: open, read, change, write, close.
StoreStatus saveRecord(DataFile& store, int number, const std::string& name) {
    if (StoreStatus s = store.OpenDataFile(); !s.ok()) {
        return s;
    }
    if (StoreStatus s = store.ReadRecord(number); !s.ok()) {
        (void)store.CloseDataFile();
        return s;
    }
    store.CurrentRecord().setText(Field::FullName, name);
    StoreStatus written = store.WriteRecord(number);
    StoreStatus closed = store.CloseDataFile();
    return written.ok() ? closed : written;
}

TEST_F(FaultInjectionTest, AddingAnEntry) {
    const Outcome o = failEachStepOf([](DataFile& store) { return saveRecord(store, 3, "Clark"); },
                                     slotsOf({"Adams", "Baker"}),
                                     savedAs(slotsOf({"Adams", "Baker"}), 3, "Clark"));
    EXPECT_EQ(o.cleanLog, (Log{"open Corvane.Data", "write Corvane.Data", "sync Corvane.Data",
                               "close Corvane.Data"}));
    // write, sync; twice in a row and broken also fail the undoing's first
    // step (the cut back) after a failed write or flush.
    EXPECT_EQ(o.failingRuns, 3 * 3);
    EXPECT_EQ(o.rollbackFailures, 2 * 2);
}

TEST_F(FaultInjectionTest, EditingAnEntry) {
    const Outcome o = failEachStepOf([](DataFile& store) { return saveRecord(store, 2, "Bell"); },
                                     slotsOf({"Adams", "Baker", "Clark"}),
                                     savedAs(slotsOf({"Adams", "Baker", "Clark"}), 2, "Bell"));
    EXPECT_EQ(o.cleanLog, (Log{"open Corvane.Data", "write Corvane.Data", "sync Corvane.Data",
                               "close Corvane.Data"}));
    EXPECT_EQ(o.rollbackFailures, 4);
}

TEST_F(FaultInjectionTest, AddingTheFirstEntryCreatesTheFileAndFlushesItsFolder) {
    const Outcome o = failEachStepOf([](DataFile& store) { return saveRecord(store, 1, "Adams"); },
                                     Bytes{}, savedAs(Bytes{}, 1, "Adams"));
    EXPECT_EQ(o.cleanLog, (Log{"open Corvane.Data", "syncdir", "write Corvane.Data",
                               "sync Corvane.Data", "close Corvane.Data"}));
}

TEST_F(FaultInjectionTest, AddingToAFileWithAPartialLastSlot) {
    Bytes before = slotsOf({"Adams", "Baker"});
    before.resize(4500);
    writeFile(dir.file("Corvane.Data.uneven-length-copy"), before);  // copy already kept
    // Record 2 is the partial slot: saved, its missing half is completed blank.
    failEachStepOf([](DataFile& store) { return saveRecord(store, 2, "Clark"); }, before,
                   savedAs(before, 2, "Clark"));
}

TEST_F(FaultInjectionTest, DeletingAnEntry) {
    const Bytes before = slotsOf({"Adams", "Baker", "Clark", "$Killed$"});
    const Outcome o = failEachStepOf([](DataFile& store) { return store.DeleteAndCompact(2); },
                                     before, slotsOf({"Adams", "Clark"}));
    EXPECT_EQ(o.cleanLog, (Log{"open Corvane.Data", "write Corvane.Data", "remove TempFile.Data",
                               "open TempFile.Data", "chmod TempFile.Data", "write TempFile.Data",
                               "sync TempFile.Data", "close TempFile.Data", "close Corvane.Data",
                               "rename TempFile.Data Corvane.Data", "syncdir"}));
    EXPECT_GT(o.rollbackFailures, 0);
}

TEST_F(FaultInjectionTest, AFailedUndoOfADeletionSaysTheMarkStays) {
    const Bytes before = slotsOf({"Adams", "Baker", "Clark"});
    writeFile(dir.file("Corvane.Data"), before);
    DataFile store(fs, dir.path().string());
    fs.breakAt(4);  // the scratch file cannot be made, and nothing after works
    const StoreStatus status = store.DeleteAndCompact(2);
    EXPECT_EQ(status.error, StoreError::RollbackFailed);
    EXPECT_NE(status.reason.find("entry 2 still carries the mark"), std::string::npos)
        << status.reason;
    // What the message says is what the file holds: the entry the user meant
    // to delete is marked, every other one is untouched.
    EXPECT_EQ(test::namesIn(readFile(dir.file("Corvane.Data"))),
              (std::vector<std::string>{"Adams", "$Killed$", "Clark"}));
}

TEST_F(FaultInjectionTest, AFailedUndoOfAWriteSaysWhatTheFileMayHold) {
    writeFile(dir.file("Corvane.Data"), slotsOf({"Adams", "Baker"}));
    DataFile store(fs, dir.path().string());
    fs.failStep(2, ENOSPC, 2);  // the write and then putting the old bytes back
    const StoreStatus status = saveRecord(store, 2, "Bell");
    EXPECT_EQ(status.error, StoreError::RollbackFailed);
    EXPECT_EQ(status.reason, kNoSpace + "; putting back what was there failed too (" + kNoSpace +
                                 "), so entry 2 in the file may now be partly overwritten");
    EXPECT_EQ(fs.log()[1], "write Corvane.Data (fails)");
    EXPECT_EQ(fs.log()[2], "write Corvane.Data (fails)");
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
    int failures = 0;
    for (Mode mode : {Mode::Once, Mode::StaysBroken}) {
        for (int n = 1;; ++n) {
            SCOPED_TRACE("failing step " + std::to_string(n) + " " + nameOf(mode));
            std::filesystem::remove(dir.file("Corvane.Data"));
            DataFile store(fs, dir.path().string());
            mode == Mode::Once ? fs.failStep(n) : fs.breakAt(n);
            const ConversionResult result = ConvertOldDataFile(store, [] { return 46000.0; });
            const bool failed = fs.failed();
            fs.failStep(0);
            EXPECT_EQ(readFile(dir.file("Corvane.Dat")), old);
            // A step that fails after the new file is in place (learning its
            // count) does not undo a complete conversion.
            if (!failed || result.status.ok()) {
                ASSERT_TRUE(result.status.ok()) << result.status.message();
                break;
            }
            ++failures;
            EXPECT_FALSE(result.status.ok());
            EXPECT_FALSE(fileExists(dir.file("Corvane.Data")));
            if (mode == Mode::Once) {
                EXPECT_FALSE(fileExists(dir.file("TempFile.Data")));
            }
        }
    }
    // remove, create, chmod, three writes, flush, rename, flush the folder:
    // each fails once and with the disk staying broken, but for the last on
    // a broken disk: the new file, complete, cannot be taken away again and
    // stands.
    EXPECT_EQ(failures, 9 + 8);
    EXPECT_EQ(test::namesIn(readFile(dir.file("Corvane.Data"))),
              (std::vector<std::string>{"A", "B", "C"}));
}

}  // namespace
}  // namespace corvane
