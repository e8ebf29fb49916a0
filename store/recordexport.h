#pragma once

// What every export of the data file shares (JSON Lines, vCard, CSV, the
// list window's "Export this list..."): the reading of every whole record,
// the statuses, the dates and the words for an output that refuses.

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

}  // namespace corvane
