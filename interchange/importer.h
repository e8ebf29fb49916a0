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

#include <functional>
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

// What changed in the `number`th entry read (from 1), for the report.
struct EntryNote {
    int number = 0;
    std::string label;
    std::vector<std::string> changes;
};

struct ImportReading {
    std::vector<ImportedEntry> entries;  // the entries read, unless a sink took them
    int read = 0;                        // entries read
    std::vector<EntryNote> notes;        // those of them that changed
    std::vector<std::string> skipped;    // "vCard N: why"
    std::string refusal;                 // non-empty: the file is not one Corvane reads
};

// Takes each entry as soon as it is read; it is not kept after.
using EntrySink = std::function<void(const ImportedEntry&)>;

// Reads `text` as vCards or CSV, whichever it is, keeping every entry.
// `now` stamps entries that bring no creation or change date of their own.
ImportReading readImport(std::string_view text, double now);
// The same, handing each entry to `sink` instead of keeping it.
ImportReading readImport(std::string_view text, double now, const EntrySink& sink);

// The outcome of writing the entries into the book.
struct ImportResult {
    StoreStatus status;  // a failure: nothing was imported (or the reason says what stayed)
    int written = 0;
    int leftOut = 0;  // beyond the 32,767 entries a book holds
};

// Reads `text` and appends its entries to the book of `store` as they are
// read, through a BookAppend: all or nothing, whatever fails or however
// the process ends, and a refused file adds nothing. The entries beyond a
// full book are left out and counted. `dryRun` opens nothing for writing
// and says what would be written. `reading` gets what the reading found.
ImportResult importText(DataFile& store, std::string_view text, double now, bool dryRun,
                        ImportReading& reading);

// Appends `entries` already read, in the same way.
ImportResult writeImport(DataFile& store, const std::vector<ImportedEntry>& entries, bool dryRun);

// The report printed after an import, with the control characters of what
// the file held (names, values) shown as escapes.
std::string importReport(const ImportReading& reading, const ImportResult& result, bool dryRun);

}  // namespace corvane
