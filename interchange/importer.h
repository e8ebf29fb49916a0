#pragma once

// `corvane --import FILE`: entries from another address book, as vCards
// (2.1, 3.0 or 4.0) or CSV with a header row (Corvane's own column names, or
// those of the major web address books' exports), appended to the data file.
//
// Nothing is lost without a word: what does not fit a field (too long,
// characters outside Windows-1252, a second address beyond Corvane's
// fields, a property Corvane has no field for) is kept in the comments where
// there is room, and the report names every entry that changed, every one
// skipped and why.

#include <string>
#include <string_view>
#include <vector>

#include "contactrecord.h"
#include "datafile.h"

namespace corvane {

// One entry read from the file, with what had to change to fit it.
struct ImportedEntry {
    ContactRecord record;
    std::string label;                 // its name, for the report
    std::vector<std::string> changes;  // what was changed or dropped, in words
};

struct ImportReading {
    std::vector<ImportedEntry> entries;
    std::vector<std::string> skipped;  // "entry N: why"
    std::string refusal;               // non-empty: the file is not one Corvane reads
};

// Reads `text` as vCards or CSV, whichever it is. `now` stamps entries that
// bring no creation or change date of their own.
ImportReading readImport(std::string_view text, double now);

// The outcome of writing the entries into the book.
struct ImportResult {
    StoreStatus status;  // a failure: nothing was imported (or the reason says what stayed)
    int written = 0;
    int leftOut = 0;  // beyond the 32,767 entries a book holds
};

// Appends `entries` to the data file of `store` in one write of the whole
// new file (see DataFile::AppendRecords), as many as the book has room for.
// All or nothing: on any failure, or a crash, the book is as it was, and
// the status says so. `dryRun` opens nothing for writing and says what
// would be written.
ImportResult writeImport(DataFile& store, const std::vector<ImportedEntry>& entries, bool dryRun);

// The report printed after an import, with the control characters of what
// the file held (names, values) shown as escapes.
std::string importReport(const ImportReading& reading, const ImportResult& result, bool dryRun);

}  // namespace corvane
