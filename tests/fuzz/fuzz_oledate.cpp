// Any double as an OLE date, and any calendar date and time back to one:
// no value is misread, and a date read back gives the same date.

#include <cmath>
#include <cstring>

#include "fuzztarget.h"
#include "oledate.h"

using namespace corvane;

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    if (size < sizeof(double)) {
        return 0;
    }
    double value = 0;
    std::memcpy(&value, data, sizeof value);
    const auto parts = oleToDateTime(value);
    // Below 0 whole days count toward zero, so the first day reaches down
    // to one day short of the least value.
    const bool inRange = std::isfinite(value) && value > kOleDateMin - 1 && value < kOleDateMax;
    const bool lastHalfSecond = value >= kOleDateMax - 0.5 / 86400;
    FUZZ_CHECK(parts.has_value() == (inRange && !lastHalfSecond));
    if (parts) {
        FUZZ_CHECK(parts->year >= 100 && parts->year <= 9999);
        FUZZ_CHECK(parts->month >= 1 && parts->month <= 12 && parts->day >= 1 && parts->day <= 31);
        FUZZ_CHECK(parts->hour >= 0 && parts->hour < 24 && parts->minute >= 0 &&
                   parts->minute < 60 && parts->second >= 0 && parts->second < 60);
        // Rounded to the second, the value comes back within half a second
        // of the same moment (before day 0 the time counts away from zero).
        auto moment = [](double v) {
            const double whole = std::trunc(v);
            return whole * 86400 + std::fabs(v - whole) * 86400;
        };
        const double back = oleFromDateTime(*parts);
        FUZZ_CHECK(std::fabs(moment(back) - moment(value)) <= 0.5 + 1e-3);
        const auto again = oleToDateTime(back);
        FUZZ_CHECK(again && *again == *parts);
    }
    return 0;
}
