#pragma once

// A record's fields as the windows show them.

#include <QLocale>
#include <QString>
#include <array>
#include <string_view>

#include "contactrecord.h"

namespace corvane {

// Windows-1252 bytes as text.
QString fromCp1252(std::string_view bytes);

// `text` without leading and trailing blanks (only U+0020; tabs and line
// breaks stay), as every reader of a record field trims it.
QString trimBlanks(const QString& text);

// A text field, trimmed of spaces, as text.
QString recordText(const ContactRecord& record, Field field);

// A birthday or anniversary as "MMM dd, yyyy" (month abbreviated in the
// language of the program's locale, QLocale()), or empty when there is no
// date or its year is 1899 or earlier.
QString formatRecordDate(double oleDate);
// The same in `locale`.
QString formatRecordDate(double oleDate, const QLocale& locale);

// The month abbreviations dates are shown with in `locale`: the locale's
// own short names when all twelve differ and have no blanks at their ends,
// and otherwise the English ones, so that every date shown reads back as
// the same date.
std::array<QString, 12> dateMonthNames(const QLocale& locale);

// A time stamp as "mm/dd/yy hh:nn:ss", 24-hour time, with the date and
// time separators of the program's locale ("08.12.26" in German); empty for
// no date.
QString formatStamp(double oleDate);
QString formatStamp(double oleDate, const QLocale& locale);

}  // namespace corvane
