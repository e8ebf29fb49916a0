// Every step that changes the disk is made to fail in turn, during each kind
// of change the program makes, and the data file must afterwards be whole and
// exactly as it was before the change.

#include <gtest/gtest.h>

#include <functional>

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

class FaultInjectionTest : public testing::Test {
  protected:
    // Runs `change` once for every step it takes, failing that step, and
    // checks the files after each failure. Then runs it with no failure.
    void failEachStepOf(const std::function<StoreStatus(DataFile&)>& change, const Bytes& before) {
        int failures = 0;
        for (int n = 1;; ++n) {
            SCOPED_TRACE("failing step " + std::to_string(n));
            writeFile(dir.file("Corvane.Data"), before);
            DataFile store(fs, dir.path().string());
            fs.failStep(n);
            const StoreStatus status = change(store);
            if (!fs.failed()) {
                EXPECT_TRUE(status.ok()) << status.message();
                break;
            }
            ++failures;
            EXPECT_FALSE(status.ok());
            EXPECT_EQ(status.reason, "No space left on device");
            EXPECT_EQ(readFile(dir.file("Corvane.Data")), before);
            EXPECT_FALSE(fileExists(dir.file("TempFile.Data")));
            EXPECT_EQ(store.DataFileNumber(), 0);
        }
        EXPECT_GT(failures, 1);  // the change did touch the disk
        fs.failStep(0);
    }

    test::TempDir dir;
    test::FaultyFileSystem fs;
};

// How a window saves one record: open, read, change, write, close.
StoreStatus saveRecord(DataFile& store, int number, const std::string& name) {
    if (StoreStatus s = store.OpenDataFile(); !s.ok()) {
        return s;
    }
    (void)store.ReadRecord(number);
    store.CurrentRecord().setText(Field::FullName, name);
    StoreStatus written = store.WriteRecord(number);
    StoreStatus closed = store.CloseDataFile();
    return written.ok() ? closed : written;
}

TEST_F(FaultInjectionTest, AddingAnEntry) {
    failEachStepOf([](DataFile& store) { return saveRecord(store, 3, "Clark"); },
                   slotsOf({"Adams", "Baker"}));
    EXPECT_EQ(test::namesIn(readFile(dir.file("Corvane.Data"))),
              (std::vector<std::string>{"Adams", "Baker", "Clark"}));
}

TEST_F(FaultInjectionTest, EditingAnEntry) {
    failEachStepOf([](DataFile& store) { return saveRecord(store, 2, "Bell"); },
                   slotsOf({"Adams", "Baker", "Clark"}));
}

TEST_F(FaultInjectionTest, AddingToAFileWithAPartialLastSlot) {
    Bytes before = slotsOf({"Adams", "Baker"});
    before.resize(4500);
    writeFile(dir.file("Corvane.Data.uneven-length-copy"), before);  // copy already kept
    failEachStepOf([](DataFile& store) { return saveRecord(store, 3, "Clark"); }, before);
}

TEST_F(FaultInjectionTest, DeletingAnEntry) {
    failEachStepOf([](DataFile& store) { return store.DeleteAndCompact(2); },
                   slotsOf({"Adams", "Baker", "Clark", "$Killed$"}));
    EXPECT_EQ(test::namesIn(readFile(dir.file("Corvane.Data"))),
              (std::vector<std::string>{"Adams", "Clark"}));
}

TEST_F(FaultInjectionTest, DeletingTheLastEntry) {
    failEachStepOf([](DataFile& store) { return store.DeleteAndCompact(1); }, slotsOf({"Adams"}));
    EXPECT_FALSE(fileExists(dir.file("Corvane.Data")));
}

TEST_F(FaultInjectionTest, ConvertingTheOldFile) {
    Bytes old(3 * 2000, ' ');
    for (int i = 0; i < 3; ++i) {
        old[i * 2000] = static_cast<std::uint8_t>('A' + i);
    }
    writeFile(dir.file("Corvane.Dat"), old);
    int failures = 0;
    for (int n = 1;; ++n) {
        SCOPED_TRACE("failing step " + std::to_string(n));
        DataFile store(fs, dir.path().string());
        fs.failStep(n);
        const ConversionResult result = ConvertOldDataFile(store, [] { return 46000.0; });
        EXPECT_EQ(readFile(dir.file("Corvane.Dat")), old);
        // A step that fails after the new file is in place (learning its
        // count) does not undo a complete conversion.
        if (!fs.failed() || result.status.ok()) {
            ASSERT_TRUE(result.status.ok()) << result.status.message();
            break;
        }
        ++failures;
        EXPECT_FALSE(result.status.ok());
        EXPECT_FALSE(fileExists(dir.file("Corvane.Data")));
        EXPECT_FALSE(fileExists(dir.file("TempFile.Data")));
    }
    EXPECT_GE(failures, 5);  // create, three writes, flush, rename
    EXPECT_EQ(test::namesIn(readFile(dir.file("Corvane.Data"))),
              (std::vector<std::string>{"A", "B", "C"}));
}

}  // namespace
}  // namespace corvane
