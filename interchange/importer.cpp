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
    if (StoreStatus opened = store.OpenDataFile(); !opened.ok()) {
        result.status = opened;
        result.leftOut = static_cast<int>(entries.size());
        return result;
    }
    // An import only appends: on any failure the file is cut back to this,
    // and a ragged end the first entry completed gets its bytes back.
    const std::uint64_t oldLength = store.OpenLength();
    const int oldCount = store.RecordCount();
    std::vector<std::uint8_t> raggedEnd;
    const std::uint64_t lastWhole = oldLength / ContactRecord::kSize * ContactRecord::kSize;
    if (StoreStatus read = store.ReadBytes(lastWhole, oldLength - lastWhole, raggedEnd);
        !read.ok()) {
        result.status = read;
        (void)store.CloseDataFile();
        return result;
    }
    int next = oldCount + 1;
    for (const ImportedEntry& entry : entries) {
        if (next > kMaxRecords) {
            ++result.leftOut;
            continue;
        }
        store.CurrentRecord() = entry.record;
        if (StoreStatus written = store.WriteRecord(next); !written.ok()) {
            result.status = written;
            break;
        }
        ++next;
        ++result.written;
    }
    if (result.status.ok()) {
        result.status = store.CloseDataFile();
        if (result.status.ok()) {
            return result;
        }
        (void)store.OpenDataFile();  // to take the entries back
    }
    // A write refused before it began (a file that may only be read) has
    // nothing to take back.
    const bool wrote = result.written > 0 || result.status.error == StoreError::Io ||
                       result.status.error == StoreError::RollbackFailed;
    const StoreStatus cut = wrote ? store.CutBackTo(oldLength, raggedEnd) : StoreStatus::success();
    (void)store.CloseDataFile();
    if (cut.ok() && !bookWasThere && oldLength == 0) {
        store.fileSystem().remove(store.path(kDataFileName));  // no new empty book either
    }
    result.status.reason += cut.ok()
                                ? "; nothing was imported"
                                : "; taking back the entries already written failed too (" +
                                      cut.reason + "), so up to " + std::to_string(result.written) +
                                      " imported entries may remain after the book's first " +
                                      std::to_string(oldCount);
    result.leftOut = static_cast<int>(entries.size());
    result.written = 0;
    return result;
}

std::string importReport(const ImportReading& reading, const ImportResult& result, bool dryRun) {
    std::string report = std::string(dryRun ? "Would import " : "Imported ") +
                         std::to_string(result.written) +
                         (result.written == 1 ? " entry" : " entries") +
                         (dryRun ? " (nothing was written).\n" : ".\n");
    for (std::size_t i = 0; i < reading.entries.size(); ++i) {
        const ImportedEntry& e = reading.entries[i];
        for (const std::string& change : e.changes) {
            report += "  \"" + shownOnTerminal(e.label) + "\": " + shownOnTerminal(change) + "\n";
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
