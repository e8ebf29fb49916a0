#pragma once

// `corvane --export json`: every record of the data file as one line of JSON,
// so that a user can always get all of their data out and scripts can read it.

#include <ostream>
#include <set>
#include <string>
#include <string_view>

#include "filesystem.h"
#include "recordexport.h"

namespace corvane {

// Writes every whole slot of `dataPath` to `out` as JSON Lines: the keys
// "RecordNumber" (1-based) and the 35 field names in slot order; texts trimmed
// of spaces and decoded from Windows-1252; CreatorVersion a number; dates as
// local "YYYY-MM-DDTHH:MM:SS" rounded to the second, or null when 0.
//
// Only reads: never creates, locks or changes a file. A missing file exports
// nothing and returns kExportOk. A damaged file (length not a multiple of
// 3000, more than 32767 slots, a date that is not a finite number or lies
// outside the dates an OLE value can hold, a file that cannot be read) has
// every whole slot it can exported, what is wrong said on `err`, and returns
// kExportDamaged. When `out` refuses the lines (a full disk, a closed pipe)
// the export stops, says so on `err` and returns kExportOutputFailed.
int exportJsonLines(FileSystem& fs, const std::string& dataPath, std::ostream& out,
                    std::ostream& err, const std::set<int>* only = nullptr);

// `text` as a JSON string literal, quotes included.
std::string jsonQuote(std::string_view text);

}  // namespace corvane
