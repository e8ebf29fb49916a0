#include "importer.h"

#include <algorithm>
#include <cerrno>

#include "bookappend.h"
#include "importparts.h"
#include "terminaltext.h"

namespace corvane {

using importing::readCsv;
using importing::readVCards;
using importing::upper;

ImportReading readImport(std::string_view text, double now) {
    std::vector<ImportedEntry> entries;
    ImportReading reading =
        readImport(text, now, [&](const ImportedEntry& entry) { entries.push_back(entry); });
    if (reading.refusal.empty()) {
        reading.entries = std::move(entries);
    }
    return reading;
}

ImportReading readImport(std::string_view text, double now, const EntrySink& sink) {
    // UTF-16 (Windows' "Unicode" text) with its byte-order mark is read as UTF-8.
    // Without the mark, text whose every other byte is 0 from the start is
    // taken for UTF-16 too.
    std::string fromWide;
    const bool marked = text.starts_with("\xFF\xFE") || text.starts_with("\xFE\xFF");
    const bool littleWide = text.size() >= 4 && text[0] != '\0' && text[1] == '\0' &&
                            text[2] != '\0' && text[3] == '\0';
    const bool bigWide = text.size() >= 4 && text[0] == '\0' && text[1] != '\0' &&
                         text[2] == '\0' && text[3] != '\0';
    if (marked || littleWide || bigWide) {
        auto utf8 =
            importing::fromUtf16(text.substr(marked ? 2 : 0), marked ? text[0] == '\xFE' : bigWide);
        if (!utf8) {
            ImportReading refused;
            refused.refusal = "it begins as UTF-16 text but is not UTF-16 throughout";
            return refused;
        }
        fromWide = std::move(*utf8);
        text = fromWide;
    }
    if (text.starts_with("\xEF\xBB\xBF")) {
        text.remove_prefix(3);  // a byte-order mark
    }
    if (text.find('\0') != std::string_view::npos) {
        ImportReading refused;
        refused.refusal = "it holds binary data, not text";
        return refused;
    }
    const auto start = text.find_first_not_of(" \t\r\n");
    if (start == std::string_view::npos) {
        ImportReading refused;
        refused.refusal = "it is empty";
        return refused;
    }
    ImportReading reading = upper(text.substr(start, 11)) == "BEGIN:VCARD"
                                ? readVCards(text, now, sink)
                                : readCsv(text, now, sink);
    if (!reading.refusal.empty()) {
        // A file refused is refused whole: not the cards before the fault.
        reading.read = 0;
        reading.notes.clear();
        reading.skipped.clear();
    }
    return reading;
}

namespace {

// The number of entries the book holds, learnt without opening it for
// writing: a dry run changes nothing, not even a journal.
int entriesInBook(DataFile& store, StoreStatus& status) {
    std::uint64_t length = 0;
    const int err = store.fileSystem().fileSize(store.path(kDataFileName), length);
    if (err != 0 && err != ENOENT) {
        status = StoreStatus::ioError(store.path(kDataFileName), err);
    }
    return static_cast<int>(
        std::min<std::uint64_t>(slotCount(length, ContactRecord::kSize), kMaxRecords));
}

// Appends what `feed` hands to its sink to the book of `store`, all or nothing.
ImportResult append(DataFile& store, bool dryRun,
                    const std::function<bool(const EntrySink&)>& feed) {
    ImportResult result;
    if (dryRun) {
        const int inBook = entriesInBook(store, result.status);
        int room = result.status.ok() ? kMaxRecords - inBook : 0;
        (void)feed([&](const ImportedEntry&) { ++(room-- > 0 ? result.written : result.leftOut); });
        return result;
    }
    std::uint64_t ignored = 0;
    const bool bookWasThere =
        store.fileSystem().fileSize(store.path(kDataFileName), ignored) != ENOENT;
    int offered = 0;
    bool opened = false;
    {
        BookAppend book(store);
        StoreStatus status = book.begin();
        const bool fed = feed([&](const ImportedEntry& entry) {
            ++offered;
            if (status.ok() && !book.add(entry.record) && book.full()) {
                ++result.leftOut;
            }
        });
        if (status.ok() && fed) {
            status = book.commit();
            result.written = book.added();
        }
        result.status = status;
        opened = book.opened();
        // Only a failure to flush the folder comes after the entries are in.
        if (status.ok() || status.error == StoreError::FolderNotFlushed || !fed) {
            return result;
        }
    }
    if (opened && !bookWasThere && store.RecordCount() == 0) {
        store.fileSystem().remove(store.path(kDataFileName));  // no new empty book either
    }
    result.status.reason += "; nothing was imported";
    result.written = 0;
    result.leftOut = offered;
    return result;
}

}  // namespace

ImportResult importText(DataFile& store, std::string_view text, double now, bool dryRun,
                        ImportReading& reading) {
    return append(store, dryRun, [&](const EntrySink& sink) {
        reading = readImport(text, now, sink);
        return reading.refusal.empty();
    });
}

ImportResult writeImport(DataFile& store, const std::vector<ImportedEntry>& entries, bool dryRun) {
    return append(store, dryRun, [&](const EntrySink& sink) {
        for (const ImportedEntry& entry : entries) {
            sink(entry);
        }
        return true;
    });
}

std::string importReport(const ImportReading& reading, const ImportResult& result, bool dryRun) {
    std::string report = std::string(dryRun ? "Would import " : "Imported ") +
                         std::to_string(result.written) +
                         (result.written == 1 ? " entry" : " entries") +
                         (dryRun ? " (nothing was written).\n" : ".\n");
    // Only the entries that went in: those beyond a full book changed nothing.
    for (const EntryNote& note : reading.notes) {
        for (const std::string& change :
             note.number <= result.written ? note.changes : std::vector<std::string>{}) {
            report += "  " + shownOnTerminal(importing::quoted(note.label)) + ": " +
                      shownOnTerminal(change) + "\n";
        }
    }
    for (const std::string& skipped : reading.skipped) {
        report += "  skipped " + shownOnTerminal(skipped) + "\n";
    }
    if (result.leftOut > 0 && result.status.ok()) {
        report += "Stopped at " + std::to_string(kMaxRecords) +
                  " entries, all a book holds: " + std::to_string(result.leftOut) +
                  (result.leftOut == 1 ? " entry was" : " entries were") + " not imported.\n";
    }
    return report;
}

}  // namespace corvane
