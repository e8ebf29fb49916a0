// `corvane --import`: the importer's reading and writing, run in the book's
// folder while no other process writes the book.

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <QDateTime>
#include <cerrno>
#include <filesystem>

#include "booklock.h"
#include "consoleactions.h"
#include "datafile.h"
#include "importer.h"
#include "oledate.h"
#include "terminaltext.h"

namespace corvane {
namespace {

// No address book comes near this; a larger file is a mistake (a disk image,
// a device) and is refused before a byte of it is read.
constexpr std::uint64_t kMaxImportBytes = 256ull * 1024 * 1024;

// Reads the file to import whole, or says why not. Only a regular file is
// read, and opening one never waits (a pipe or a terminal would).
std::string readImportFile(const std::string& path, std::string& text) {
    const int fd = ::open(path.c_str(), O_RDONLY | O_NONBLOCK | O_CLOEXEC);
    if (fd < 0) {
        return systemReason(errno);
    }
    struct stat st {};
    std::string why;
    if (::fstat(fd, &st) != 0) {
        why = systemReason(errno);
    } else if (S_ISDIR(st.st_mode)) {
        why = "it is a folder, not a file";
    } else if (!S_ISREG(st.st_mode)) {
        why = "it is not a regular file";
    } else if (static_cast<std::uint64_t>(st.st_size) > kMaxImportBytes) {
        why = "it is larger than 256 MB, more than any address book";
    } else {
        text.resize(static_cast<std::size_t>(st.st_size));
        std::size_t got = 0;
        while (why.empty()) {
            if (got == text.size()) {
                text.resize(got + 65536);  // a file that grew while it was read
            }
            const ssize_t n = ::read(fd, text.data() + got, text.size() - got);
            if (n < 0 && errno == EINTR) {
                continue;
            }
            if (n < 0) {
                why = systemReason(errno);
            } else if (n == 0) {
                break;
            } else if ((got += static_cast<std::size_t>(n)) > kMaxImportBytes) {
                why = "it is larger than 256 MB, more than any address book";
            }
        }
        text.resize(got);
    }
    ::close(fd);
    return why;
}

// A book of the previous format that was never converted: an import must not
// start a new book beside it, which would hide it from the next start's offer.
bool unconvertedBookIn(const std::string& folder) {
    namespace fs = std::filesystem;
    std::error_code ec;
    const fs::path dir = folder.empty() ? fs::path(".") : fs::path(folder);
    const auto oldSize = fs::file_size(dir / kOldDataFileName, ec);
    return !ec && oldSize > 0 && !fs::exists(fs::symlink_status(dir / kDataFileName, ec));
}

}  // namespace

int runImport(const CommandLine& commandLine, std::ostream& out, std::ostream& err) {
    namespace fs = std::filesystem;
    const std::string& file = commandLine.importFile;
    const fs::path path = fs::path(commandLine.startFolder) / file;  // an absolute name stays
    std::string text;
    if (const std::string why = readImportFile(path.string(), text); !why.empty()) {
        err << "corvane: cannot read '" << shownOnTerminal(file) << "': " << why
            << "; nothing was imported\n";
        return 1;
    }
    const QDateTime now = QDateTime::currentDateTime();
    const double stamp =
        oleFromDateTime({now.date().year(), now.date().month(), now.date().day(), now.time().hour(),
                         now.time().minute(), now.time().second()});
    // A dry run's missing folder was not entered: its (empty) book is read there.
    std::string folder;
    std::error_code ec;
    const std::string named = namedBookFolder(commandLine);
    if (commandLine.dryRun && !named.empty() &&
        !fs::exists(fs::path(commandLine.startFolder) / named, ec)) {
        folder = (fs::path(commandLine.startFolder) / named).string();
    }
    if (unconvertedBookIn(folder)) {
        err << "corvane: this folder holds an address book of the previous format, "
            << kOldDataFileName
            << ", that has not been converted yet; start Corvane here and let it convert the "
               "book, then import again. Nothing was imported\n";
        return 1;
    }
    // Another process writing the book (the windows, another import, from any
    // login or terminal) would not see the new entries, and its next write
    // could undo them: the import waits for it.
    BookLock lock(folder);
    const BookLock::Result locked =
        commandLine.dryRun ? BookLock::Result::Acquired : lock.tryAcquire();
    if (locked == BookLock::Result::HeldByAnother) {
        err << "corvane: Corvane is running; close it before importing, so that no entry is "
               "lost. Nothing was imported\n";
        return 1;
    }
    if (locked == BookLock::Result::Unguarded) {
        err << "corvane: no lock can be taken on the address book (" << lock.reason()
            << "), so another program could change it meanwhile. Nothing was imported\n";
        return 1;
    }
    // The entries go into the book as they are read: no copy of them is held.
    DataFile store(realFileSystem(), folder);
    ImportReading reading;
    const ImportResult result = importText(store, text, stamp, commandLine.dryRun, reading);
    if (!reading.refusal.empty()) {
        err << "corvane: cannot import '" << shownOnTerminal(file)
            << "': " << shownOnTerminal(reading.refusal) << "; nothing was imported\n";
        return 1;
    }
    // What the opening of the book found is the user's to know, here as in the windows.
    if (store.damage() && store.damage()->worthTelling()) {
        err << "corvane: " << store.damage()->describe() << '\n';
    }
    for (const std::string& notice : store.takeNotices()) {
        err << "corvane: " << notice << '\n';
    }
    const bool entriesIn = result.status.error == StoreError::FolderNotFlushed;
    if (!result.status.ok() && !entriesIn) {
        err << "corvane: " << shownOnTerminal(result.status.message()) << '\n';
        return 1;
    }
    out << importReport(reading, result, commandLine.dryRun);
    if (entriesIn) {
        err << "corvane: " << shownOnTerminal(result.status.message()) << '\n';
        return 1;
    }
    // Success is something imported, or a file that held no card at all.
    const bool heldNothing = reading.read == 0 && reading.skipped.empty();
    return result.written > 0 || heldNothing ? 0 : 1;
}

}  // namespace corvane
