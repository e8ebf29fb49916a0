#pragma once

// A record's fields as the windows show them.

#include <QString>
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
// user's language), or empty when there is no date or its year is 1899 or
// earlier.
QString formatRecordDate(double oleDate);

// A time stamp as "mm/dd/yy hh:nn:ss", 24-hour time; empty for no date.
QString formatStamp(double oleDate);

}  // namespace corvane
