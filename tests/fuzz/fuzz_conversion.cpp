// A previous-format file of any length and bytes, converted: every slot,
// a ragged last one included, becomes one entry of the new file.

#include "conversion.h"
#include "fuzztarget.h"
#include "powercutfilesystem.h"

using namespace corvane;

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    test::PowerCutFileSystem fs({{std::string(kOldDataFileName), test::Bytes(data, data + size)}});
    DataFile store(fs, "");
    const ConversionResult result = ConvertOldDataFile(store, [] { return 46000.5; });
    const std::size_t slots = (size + OldContactRecord::kSize - 1) / OldContactRecord::kSize;
    FUZZ_CHECK(result.status.ok());
    FUZZ_CHECK(static_cast<std::size_t>(result.recordsConverted) == slots);
    const test::Disk disk = fs.currentState();
    FUZZ_CHECK(disk.at(std::string(kDataFileName)).size() == slots * ContactRecord::kSize);
    FUZZ_CHECK(disk.at(std::string(kOldDataFileName)) == test::Bytes(data, data + size));
    return 0;
}
