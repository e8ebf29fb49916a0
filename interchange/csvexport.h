#pragma once

// `corvane --export csv`: every entry as one row of comma-separated values
// (RFC 4180), for spreadsheets: UTF-8, a header row with the JSON export's
// field names, CR LF line ends, a field quoted when it holds a comma, a
// quote, a line break or blanks at its ends (quotes doubled inside).

#include <ostream>
#include <set>
#include <string>
#include <string_view>

#include "filesystem.h"

namespace corvane {

// `text` as one CSV field.
std::string csvField(std::string_view text);

// Writes the header row and every whole slot of `dataPath` to `out`, with
// the statuses and promises of exportRecords(). Dates are written as
// "YYYY-MM-DDTHH:MM:SS", no date as an empty field.
int exportCsv(FileSystem& fs, const std::string& dataPath, std::ostream& out, std::ostream& err,
              const std::set<int>* only = nullptr);

}  // namespace corvane
