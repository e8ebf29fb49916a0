#include "importer.h"

#include <algorithm>
#include <cerrno>

#include "importparts.h"
#include "terminaltext.h"

namespace corvane {

using importing::readCsv;
using importing::readVCards;
using importing::upper;

ImportReading readImport(std::string_view text, double now) {
    // UTF-16 (Windows' "Unicode" text) with its byte-order mark is read as UTF-8.
    std::string fromWide;
    if (text.starts_with("\xFF\xFE") || text.starts_with("\xFE\xFF")) {
        auto utf8 = importing::fromUtf16(text.substr(2), text[0] == '\xFE');
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
    ImportReading reading =
        upper(text.substr(start, 11)) == "BEGIN:VCARD" ? readVCards(text, now) : readCsv(text, now);
    if (!reading.refusal.empty()) {
        // A file refused is refused whole: not the cards before the fault.
        reading.entries.clear();
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

}  // namespace

ImportResult writeImport(DataFile& store, const std::vector<ImportedEntry>& entries, bool dryRun) {
    ImportResult result;
    if (dryRun) {
        const int inBook = entriesInBook(store, result.status);
        const int room = result.status.ok() ? kMaxRecords - inBook : 0;
        result.written = std::min(room, static_cast<int>(entries.size()));
        result.leftOut = static_cast<int>(entries.size()) - result.written;
        return result;
    }
    std::uint64_t ignored = 0;
    const bool bookWasThere =
        store.fileSystem().fileSize(store.path(kDataFileName), ignored) != ENOENT;
    const int count = static_cast<int>(entries.size());
    result.status = store.AppendRecords(
        count, [&](int i) -> const ContactRecord& { return entries[i].record; }, result.written);
    // Only a failure to flush the folder comes after the entries are in.
    if (result.status.ok() || result.status.error == StoreError::FolderNotFlushed) {
        result.leftOut = count - result.written;
        return result;
    }
    if (!bookWasThere && store.RecordCount() == 0) {
        store.fileSystem().remove(store.path(kDataFileName));  // no new empty book either
    }
    result.status.reason += "; nothing was imported";
    result.leftOut = count;
    return result;
}

std::string importReport(const ImportReading& reading, const ImportResult& result, bool dryRun) {
    std::string report = std::string(dryRun ? "Would import " : "Imported ") +
                         std::to_string(result.written) +
                         (result.written == 1 ? " entry" : " entries") +
                         (dryRun ? " (nothing was written).\n" : ".\n");
    // Only the entries that went in: those beyond a full book changed nothing.
    const auto imported =
        std::min(reading.entries.size(), static_cast<std::size_t>(result.written));
    for (std::size_t i = 0; i < imported; ++i) {
        const ImportedEntry& e = reading.entries[i];
        for (const std::string& change : e.changes) {
            report += "  " + shownOnTerminal(importing::quoted(e.label)) + ": " +
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
