#pragma once

// OLE Automation dates, the date values of the data file: days since
// 30 December 1899 with the time of day as the fraction. Below 0 the whole
// days count toward zero and the fraction is still the time after midnight,
// so -1.25 is 29 December 1899, 06:00.

#include <cstddef>
#include <optional>

namespace corvane {

struct DateTimeParts {
    int year = 1899;
    int month = 12;
    int day = 30;
    int hour = 0;
    int minute = 0;
    int second = 0;
    friend bool operator==(const DateTimeParts&, const DateTimeParts&) = default;
};

// The earliest and latest values an OLE date can hold: 1 January 100 and the
// last instant of 31 December 9999.
inline constexpr double kOleDateMin = -657434.0;
inline constexpr double kOleDateMax = 2958466.0;

// `value` as a calendar date and time rounded to the nearest second (an exact
// half second rounds up). Empty when `value` is not finite, lies outside the
// range an OLE date can hold, or is in the last half second of that range
// (it would round to the year 10000).
std::optional<DateTimeParts> oleToDateTime(double value);

// The OLE value of a calendar date and time (proleptic Gregorian calendar).
double oleFromDateTime(const DateTimeParts& parts);

// The length of an ISO date and time, "YYYY-MM-DDTHH:MM:SS".
inline constexpr std::size_t kIsoDateTimeSize = 19;

// Writes `parts` as "YYYY-MM-DDTHH:MM:SS" into `out` (kIsoDateTimeSize
// bytes, no terminator) and returns the end of what it wrote. The year is
// one an OLE date can hold (100 to 9999).
char* writeIsoDateTime(const DateTimeParts& parts, char* out);

}  // namespace corvane
