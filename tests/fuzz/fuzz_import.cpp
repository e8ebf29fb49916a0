// Any bytes as a file to import: read as vCards or CSV, or refused. Every
// entry read is a whole slot with a label for the report; nothing crashes.

#include <string_view>

#include "fuzztarget.h"
#include "importer.h"

using namespace corvane;

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const std::string_view text(reinterpret_cast<const char*>(data), size);
    const ImportReading reading = readImport(text, 46000.5);
    FUZZ_CHECK(reading.refusal.empty() || reading.entries.empty());
    for (const ImportedEntry& entry : reading.entries) {
        FUZZ_CHECK(!entry.label.empty());
        FUZZ_CHECK(ContactRecord::decode(entry.record.encode()) == entry.record);
    }
    (void)importReport(
        reading, ImportResult{StoreStatus::success(), static_cast<int>(reading.entries.size()), 0},
        false);
    return 0;
}
