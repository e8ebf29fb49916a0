#pragma once

// Date texts as a user types them into the birthday and anniversary fields,
// read the way the desktop's own date conversion reads them for the user's
// regional settings.

#include <QDate>
#include <QLocale>
#include <QString>
#include <optional>

namespace corvane {

// The OLE Automation date value of `text`, or nothing when it is not a date.
// Accepted: numeric dates in the locale's order of day, month and year
// (month/day/year for the United States, day/month/year for Britain and
// Germany), separated by "/", "-", "." or blanks; ISO yyyy-mm-dd; month
// names and their abbreviations in English and in the locale's language;
// a day and month without a year, which take `today`'s year; an optional
// time of day (hh:mm or hh:mm:ss, with AM/PM). A time alone gives that time
// on 30 December 1899. Two-digit years 00 to 29 are 2000 to 2029, 30 to 99
// are 1930 to 1999. Impossible dates (31 April, 29 February 2027, month 13)
// are not dates.
std::optional<double> parseDateText(const QString& text, const QLocale& locale, QDate today);

}  // namespace corvane
