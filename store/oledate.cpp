#include "oledate.h"

#include <cmath>
#include <cstdint>

namespace corvane {
namespace {

// Days from 1 January 1970 to 30 December 1899, day 0 of an OLE date.
constexpr std::int64_t kOleEpochFromUnix = -25569;

// Days since 1970-01-01 of a proleptic Gregorian date (H. Hinnant's algorithm).
std::int64_t daysFromCivil(std::int64_t y, int m, int d) {
    y -= m <= 2;
    const std::int64_t era = (y >= 0 ? y : y - 399) / 400;
    const auto yoe = static_cast<unsigned>(y - era * 400);
    const unsigned doy = (153 * (m > 2 ? m - 3 : m + 9) + 2) / 5 + d - 1;
    const unsigned doe = yoe * 365 + yoe / 4 - yoe / 100 + doy;
    return era * 146097 + static_cast<std::int64_t>(doe) - 719468;
}

void civilFromDays(std::int64_t z, DateTimeParts& out) {
    z += 719468;
    const std::int64_t era = (z >= 0 ? z : z - 146096) / 146097;
    const auto doe = static_cast<unsigned>(z - era * 146097);
    const unsigned yoe = (doe - doe / 1460 + doe / 36524 - doe / 146096) / 365;
    const unsigned doy = doe - (365 * yoe + yoe / 4 - yoe / 100);
    const unsigned mp = (5 * doy + 2) / 153;
    const unsigned d = doy - (153 * mp + 2) / 5 + 1;
    const unsigned m = mp < 10 ? mp + 3 : mp - 9;
    out.year = static_cast<int>(static_cast<std::int64_t>(yoe) + era * 400 + (m <= 2));
    out.month = static_cast<int>(m);
    out.day = static_cast<int>(d);
}

}  // namespace

std::optional<DateTimeParts> oleToDateTime(double value) {
    if (!std::isfinite(value) || value <= kOleDateMin - 1.0 || value >= kOleDateMax) {
        return std::nullopt;
    }
    double whole = std::trunc(value);
    // Exact: subtracting the whole part of a double loses nothing.
    const double fraction = std::fabs(value - whole);
    // Round to the millisecond first: a stored half second is seldom exactly
    // half a second once it is a fraction of a day, and it must still round up.
    const auto millis = static_cast<std::int64_t>(std::llround(fraction * 86400000.0));
    auto seconds = (millis + 500) / 1000;
    std::int64_t day = static_cast<std::int64_t>(whole);
    if (seconds >= 86400) {  // rounded up to the next midnight
        seconds -= 86400;
        day += 1;
    }
    DateTimeParts parts;
    civilFromDays(day + kOleEpochFromUnix, parts);
    parts.hour = static_cast<int>(seconds / 3600);
    parts.minute = static_cast<int>(seconds / 60 % 60);
    parts.second = static_cast<int>(seconds % 60);
    if (parts.year > 9999) {  // the very last instant rounded past the range
        return std::nullopt;
    }
    return parts;
}

double oleFromDateTime(const DateTimeParts& parts) {
    const auto day =
        static_cast<double>(daysFromCivil(parts.year, parts.month, parts.day) - kOleEpochFromUnix);
    const double time = (parts.hour * 3600.0 + parts.minute * 60.0 + parts.second) / 86400.0;
    // Before day 0 the time still counts forward from midnight, away from zero.
    return day < 0 ? day - time : day + time;
}

char* writeIsoDateTime(const DateTimeParts& parts, char* out) {
    auto digits = [&out](int value, int width) {
        for (int i = width - 1; i >= 0; --i) {
            out[i] = static_cast<char>('0' + value % 10);
            value /= 10;
        }
        out += width;
    };
    digits(parts.year, 4);
    *out++ = '-';
    digits(parts.month, 2);
    *out++ = '-';
    digits(parts.day, 2);
    *out++ = 'T';
    digits(parts.hour, 2);
    *out++ = ':';
    digits(parts.minute, 2);
    *out++ = ':';
    digits(parts.second, 2);
    return out;
}

}  // namespace corvane
