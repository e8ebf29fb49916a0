// A data file of any length and bytes, with a journal of any bytes beside
// it: opened (the journal finished or ignored), every entry read, exported,
// one entry saved and one deleted. Nothing may crash, and what the store
// says it did must be what the file then holds.

#include <sstream>

#include "datafile.h"
#include "fuzztarget.h"
#include "jsonexport.h"
#include "powercutfilesystem.h"

using namespace corvane;

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    // The first two bytes say how many of the rest are the journal.
    if (size < 2) {
        return 0;
    }
    const std::size_t journalSize = std::min<std::size_t>(size - 2, data[0] | (data[1] << 8));
    const std::uint8_t* journal = data + 2;
    const std::uint8_t* file = journal + journalSize;
    const std::size_t fileSize = size - 2 - journalSize;

    test::Disk disk{{std::string(kDataFileName), test::Bytes(file, file + fileSize)}};
    if (journalSize > 0) {
        disk[std::string(kJournalFileName)] = test::Bytes(journal, journal + journalSize);
    }
    test::PowerCutFileSystem fs(disk);
    DataFile store(fs, "");
    FUZZ_CHECK(store.OpenDataFile().ok());
    const int count = store.RecordCount();
    for (int i = 1; i <= count; ++i) {
        FUZZ_CHECK(store.ReadRecord(i).ok());
    }
    FUZZ_CHECK(store.CloseDataFile().ok());

    std::ostringstream out;
    std::ostringstream err;
    const int exported = exportJsonLines(fs, std::string(kDataFileName), out, err);
    FUZZ_CHECK(exported == kExportOk || exported == kExportDamaged);

    // A save of entry 1 (or the first entry of an empty book) lands whole.
    FUZZ_CHECK(store.OpenDataFile().ok());
    const bool writable = !store.damage() || store.damage()->kind == FileDamage::Kind::UnevenLength;
    (void)store.ReadRecord(1);
    store.CurrentRecord().setText(Field::FullName, "Fuzzed");
    const StoreStatus saved = store.WriteRecord(1);
    FUZZ_CHECK(store.CloseDataFile().ok());
    if (saved.ok()) {
        FUZZ_CHECK(store.OpenDataFile().ok());
        FUZZ_CHECK(store.ReadRecord(1).ok());
        FUZZ_CHECK(store.CurrentRecord().text(Field::FullName) == "Fuzzed");
        FUZZ_CHECK(store.CloseDataFile().ok());
        // Then deleting it leaves one entry fewer (and those marked
        // deleted by an earlier program gone too).
        const int before = store.RecordCount();
        if (store.DeleteAndCompact(1).ok()) {
            FUZZ_CHECK(store.RecordCount() < before);
            FUZZ_CHECK(!fs.currentState().contains(std::string(kScratchFileName)));
        }
    } else {
        FUZZ_CHECK(!writable || saved.error == StoreError::ReadOnly);
    }
    return 0;
}
