// `corvane --import`: the importer's reading and writing, run in the book's
// folder while no other copy of Corvane uses it.

#include <QDateTime>
#include <fstream>
#include <iterator>

#include "commandline.h"
#include "datafile.h"
#include "importer.h"
#include "instancelock.h"
#include "oledate.h"

namespace corvane {

int runImport(const CommandLine& commandLine, std::ostream& out, std::ostream& err) {
    const std::string& file = commandLine.importFile;
    std::ifstream in(file, std::ios::binary);
    if (!in) {
        err << "corvane: cannot read '" << file << "': " << std::generic_category().message(errno)
            << "; nothing was imported\n";
        return 1;
    }
    const std::string text((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
    const QDateTime now = QDateTime::currentDateTime();
    const double stamp =
        oleFromDateTime({now.date().year(), now.date().month(), now.date().day(), now.time().hour(),
                         now.time().minute(), now.time().second()});
    const ImportReading reading = readImport(text, stamp);
    if (!reading.refusal.empty()) {
        err << "corvane: cannot import '" << file << "': " << reading.refusal
            << "; nothing was imported\n";
        return 1;
    }
    // Another copy's windows would not see the new entries, and its next
    // deletion would write the book without them: the import waits for it.
    InstanceLock lock;
    if (!commandLine.dryRun && lock.tryAcquire() == InstanceLock::Result::HeldByAnother) {
        err << "corvane: Corvane is running; close it before importing, so that no entry is "
               "lost. Nothing was imported\n";
        return 1;
    }
    DataFile store;
    const ImportResult result = writeImport(store, reading.entries, commandLine.dryRun);
    out << importReport(reading, result, commandLine.dryRun);
    if (!result.status.ok()) {
        err << "corvane: " << result.status.message() << "; " << result.written
            << " entries were imported before it\n";
        return 1;
    }
    return 0;
}

}  // namespace corvane
