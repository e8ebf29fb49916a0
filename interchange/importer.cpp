#include "importer.h"

#include "importparts.h"

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

ImportResult writeImport(DataFile& store, const std::vector<ImportedEntry>& entries, bool dryRun) {
    ImportResult result;
    if (StoreStatus opened = store.OpenDataFile(); !opened.ok()) {
        result.status = opened;
        result.leftOut = static_cast<int>(entries.size());
        return result;
    }
    int next = store.RecordCount() + 1;
    for (const ImportedEntry& entry : entries) {
        if (next > kMaxRecords) {
            ++result.leftOut;
            continue;
        }
        if (!dryRun) {
            store.CurrentRecord() = entry.record;
            if (StoreStatus written = store.WriteRecord(next); !written.ok()) {
                result.status = written;
                result.leftOut = static_cast<int>(entries.size()) - result.written;
                (void)store.CloseDataFile();
                return result;
            }
        }
        ++next;
        ++result.written;
    }
    result.status = store.CloseDataFile();
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
            report += "  \"" + e.label + "\": " + change + "\n";
        }
    }
    for (const std::string& skipped : reading.skipped) {
        report += "  skipped " + skipped + "\n";
    }
    if (result.leftOut > 0 && result.status.ok()) {
        report += "Stopped at " + std::to_string(kMaxRecords) +
                  " entries, all a book holds: " + std::to_string(result.leftOut) +
                  (result.leftOut == 1 ? " entry was" : " entries were") + " not imported.\n";
    }
    return report;
}

}  // namespace corvane
