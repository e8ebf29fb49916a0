// A 3000-byte slot of any bytes: decoded, every field read, and encoded
// back byte for byte; storing a field's text again changes nothing.

#include <cmath>
#include <cstring>

#include "contactrecord.h"
#include "fuzztarget.h"
#include "jsonexport.h"
#include "oledate.h"

using namespace corvane;

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    ContactRecord::Bytes slot{};
    for (std::size_t i = 0; i < slot.size(); ++i) {
        slot[i] = i < size ? data[i] : ContactRecord::blankByteAt(i);
    }
    const ContactRecord record = ContactRecord::decode(slot);
    FUZZ_CHECK(record.encode() == slot);
    (void)record.isKilled();
    for (int f = 1; f <= kFieldCount; ++f) {
        const auto field = static_cast<Field>(f);
        const std::string text = record.text(field);
        const std::string quoted = jsonQuote(text);
        FUZZ_CHECK(quoted.size() >= 2 && quoted.front() == '"' && quoted.back() == '"');
        // The text read is stored again unchanged, and reads the same.
        ContactRecord again = record;
        again.setText(field, text);
        FUZZ_CHECK(again.text(field) == text);
        if (fieldInfo(field).kind == FieldKind::Date) {
            const double value = record.date(field);
            if (const auto parts = oleToDateTime(value)) {
                FUZZ_CHECK(parts->month >= 1 && parts->month <= 12);
                FUZZ_CHECK(parts->day >= 1 && parts->day <= 31);
                FUZZ_CHECK(parts->year >= 100 && parts->year <= 9999);
            }
        }
    }
    return 0;
}
