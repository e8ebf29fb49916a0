#pragma once

// `corvane --export json`: every record of the data file as one line of JSON,
// so that a user can always get all of their data out and scripts can read it.

#include <functional>
#include <optional>
#include <ostream>
#include <set>
#include <string>
#include <vector>

#include "contactrecord.h"

#include "filesystem.h"
#include "oledate.h"

namespace corvane {

// Exit statuses of the export.
inline constexpr int kExportOk = 0;
inline constexpr int kExportDamaged = 2;
inline constexpr int kExportOutputFailed = 1;  // `out` refused the lines

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

// Writes one record (number from 1) to `out`, naming in `problems` what it
// found wrong with it.
using RecordExporter = std::function<void(const ContactRecord& record, int number,
                                          std::ostream& out, std::vector<std::string>& problems)>;

// Exports every whole slot of `dataPath` (or, with `only`, those numbered in
// it: a sub-list of the window) to `out` through `exportOne`, with
// the JSON export's promises and statuses: only reads; a missing file
// exports nothing; what is wrong with the file or a record is said on `err`
// (kExportDamaged); an output that refuses is kExportOutputFailed.
int exportRecords(FileSystem& fs, const std::string& dataPath, std::ostream& out, std::ostream& err,
                  const RecordExporter& exportOne, const std::set<int>* only = nullptr);

// A date field as a calendar date and time for an export, or nothing: 0 is
// no date, and a value that is no date is named in `problems` as well.
std::optional<DateTimeParts> exportedDate(const ContactRecord& record, Field field, int number,
                                          std::vector<std::string>& problems);

// Says on `err` that standard output refused what was written, with the
// system's reason for `errnoValue`.
void reportOutputFailure(std::ostream& err, int errnoValue);

// `text` as a JSON string literal, quotes included.
std::string jsonQuote(std::string_view text);

}  // namespace corvane
