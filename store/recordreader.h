#pragma once

// Reading every whole record of a data file without changing anything: for
// the console actions (the export, the upcoming dates, the affiliations),
// which must never create, lock, copy or change a file.

#include <functional>
#include <string>
#include <vector>

#include "contactrecord.h"
#include "filesystem.h"

namespace corvane {

// Calls `visit` with each whole record of `dataPath` and its number (from
// 1), in order, until it returns false. What is wrong with the file (a
// length that is not a whole number of records, more records than Corvane
// counts, a failed read) is appended to `problems`, in words for standard
// error. A missing file has no records and no problems. A save that a crash
// cut short, whose journal lies whole beside the file, is read as finished
// (the file itself is left for the next open to finish). Returns false when
// `visit` stopped the reading.
bool readWholeRecords(FileSystem& fs, const std::string& dataPath,
                      const std::function<bool(const ContactRecord&, int)>& visit,
                      std::vector<std::string>& problems);

}  // namespace corvane
