// `corvane --deleted` and `corvane --restore N`: the trash beside the book
// from the command line.

#include <QDateTime>

#include "booklock.h"
#include "consoleactions.h"
#include "datafile.h"
#include "terminaltext.h"
#include "trash.h"

namespace corvane {
namespace {

// An entry's name as the list shows it, or words for none.
std::string shownName(const ContactRecord& record) {
    const std::string name = record.text(Field::FullName);
    return name.empty() ? "(no name)" : shownOnTerminal(name);
}

std::string shownTime(std::int64_t seconds) {
    const QDateTime when = QDateTime::fromSecsSinceEpoch(seconds);
    return when.isValid() && when.date().year() >= 1970 && when.date().year() <= 9999
               ? when.toString(QStringLiteral("yyyy-MM-dd HH:mm")).toStdString()
               : std::string("????-??-?? ??:??");
}

}  // namespace

int runDeleted(std::ostream& out, std::ostream& err) {
    Trash trash(realFileSystem(), std::string(kDataFileName));
    std::vector<TrashedEntry> entries;
    std::string problem;
    if (StoreStatus read = trash.read(entries, problem); !read.ok()) {
        err << "corvane: " << shownOnTerminal(read.message()) << '\n';
        return 1;
    }
    if (!problem.empty()) {
        err << "corvane: " << shownOnTerminal(problem) << '\n';
        return 2;
    }
    // Newest first: number 1 is the entry deleted last.
    for (std::size_t n = 1; n <= entries.size(); ++n) {
        const TrashedEntry& e = entries[entries.size() - n];
        out << n << "  " << shownTime(e.deletedAt) << "  " << shownName(e.record) << '\n';
    }
    return 0;
}

int runRestore(const CommandLine& commandLine, std::ostream& out, std::ostream& err) {
    BookLock lock("");
    const BookLock::Result locked = lock.tryAcquire();
    if (locked == BookLock::Result::HeldByAnother) {
        err << "corvane: Corvane is running; close it before restoring, so that no entry is "
               "lost. Nothing was restored\n";
        return 1;
    }
    if (locked == BookLock::Result::Unguarded) {
        err << "corvane: no lock can be taken on the address book (" << lock.reason()
            << "), so another program could change it meanwhile. Nothing was restored\n";
        return 1;
    }
    Trash trash(realFileSystem(), std::string(kDataFileName));
    std::vector<TrashedEntry> entries;
    std::string problem;
    if (StoreStatus read = trash.read(entries, problem); !read.ok() || !problem.empty()) {
        err << "corvane: " << shownOnTerminal(problem.empty() ? read.message() : problem)
            << ". Nothing was restored\n";
        return problem.empty() ? 1 : 2;
    }
    const auto n = static_cast<std::size_t>(commandLine.restoreNumber);
    if (n > entries.size()) {
        err << "corvane: there is no deleted entry " << n << "; --deleted lists " << entries.size()
            << ". Nothing was restored\n";
        return 1;
    }
    const std::string name = shownName(entries[entries.size() - n].record);
    DataFile store(realFileSystem());
    int number = 0;
    const StoreStatus restored = store.RestoreFromTrash(entries.size() - n, number);
    const bool damaged = store.damage() && store.damage()->worthTelling();
    if (damaged) {
        err << "corvane: " << shownOnTerminal(store.damage()->describe()) << '\n';
    }
    for (const std::string& notice : store.takeNotices()) {
        err << "corvane: " << shownOnTerminal(notice) << '\n';
    }
    if (number == 0) {
        err << "corvane: " << shownOnTerminal(restored.message()) << ". Nothing was restored\n";
        return 1;
    }
    out << "Restored \"" << name << "\" as entry " << number << ".\n";
    if (!restored.ok()) {
        err << "corvane: " << shownOnTerminal(restored.message()) << '\n';
        return 1;
    }
    return damaged ? 2 : 0;
}

}  // namespace corvane
