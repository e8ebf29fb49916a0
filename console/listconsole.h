#pragma once

// `corvane --upcoming` and `corvane --affiliations`: the reminder lines and
// the affiliations of the popups, one per line on standard output, for
// scripts and log-in messages, with control characters shown as escapes (a
// line is an item, and a data file cannot drive the terminal). They only
// read the data file.

#include <QDate>
#include <ostream>
#include <string>

#include "filesystem.h"

namespace corvane {

// Exit statuses: 0, or 2 when the file is damaged (every whole record is
// still used, and what is wrong goes to `err`). Whether `out` took the
// lines is the caller's to check.
int printUpcoming(FileSystem& fs, const std::string& dataPath, const QDate& today,
                  std::ostream& out, std::ostream& err);
int printAffiliations(FileSystem& fs, const std::string& dataPath, std::ostream& out,
                      std::ostream& err);

}  // namespace corvane
