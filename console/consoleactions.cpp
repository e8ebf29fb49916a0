#include "consoleactions.h"

#include <unistd.h>

#include <QStandardPaths>
#include <cerrno>
#include <filesystem>
#include <system_error>

#include "commandline.h"
#include "csvexport.h"
#include "datafile.h"
#include "jsonexport.h"
#include "listconsole.h"
#include "terminaltext.h"
#include "vcardexport.h"
#include "version.h"

namespace corvane {

std::string namedBookFolder(const CommandLine& commandLine) {
    if (commandLine.documentsFolder) {
        // QStandardPaths reads the desktop's own name for the documents folder
        // (XDG_DOCUMENTS_DIR in user-dirs.dirs) and falls back to ~/Documents.
        return (QStandardPaths::writableLocation(QStandardPaths::DocumentsLocation) +
                QStringLiteral("/Corvane"))
            .toStdString();
    }
    return commandLine.folder;
}

int enterFolder(const CommandLine& commandLine, std::ostream& err) {
    const std::string folder = namedBookFolder(commandLine);
    if (folder.empty()) {
        return 0;
    }
    namespace fs = std::filesystem;
    auto refuse = [&](const std::string& why) {
        err << "corvane: cannot keep the address book in '" << folder << "': " << why << '\n';
        return 1;
    };
    std::error_code ec;
    const fs::file_status status = fs::status(folder, ec);
    if (status.type() == fs::file_type::not_found && commandLine.dryRun) {
        return 0;  // a dry run makes nothing: the book it would go to is empty
    }
    if (status.type() == fs::file_type::not_found) {
        if (!fs::create_directories(folder, ec) && ec) {
            return refuse(ec.message());
        }
        // The book is the user's alone, as its data file will be.
        fs::permissions(folder, fs::perms::owner_all, ec);
    } else if (ec) {
        return refuse(ec.message());
    } else if (status.type() != fs::file_type::directory) {
        return refuse("it is not a folder");
    }
    if (::chdir(folder.c_str()) != 0) {
        return refuse(std::generic_category().message(errno));
    }
    if (::access(".", W_OK) != 0) {
        err << "corvane: the folder '" << folder << "' cannot be written ("
            << std::generic_category().message(errno)
            << "); its entries can be read, but nothing can be saved there\n";
    }
    return 0;
}

// What an action wrote must have reached standard output: a full disk or a
// closed pipe is a failure of the system (status 1), never a success.
int checkedOutput(int status, std::ostream& out, std::ostream& err) {
    errno = 0;
    if (status == 1 || (out.flush() && !out.fail())) {
        return status;  // a failure already reported, or all went well
    }
    reportOutputFailure(err, errno != 0 ? errno : EIO);
    return 1;
}

int runConsoleAction(const CommandLine& commandLine, std::ostream& out, std::ostream& err) {
    using Action = CommandLine::Action;
    const Action action = commandLine.action;
    // Only the actions that use the book go to its folder.
    const bool usesBook = action == Action::Export || action == Action::Import ||
                          action == Action::Upcoming || action == Action::Affiliations ||
                          action == Action::Deleted || action == Action::Restore ||
                          action == Action::Sync;
    if (usesBook && enterFolder(commandLine, err) != 0) {
        return 1;
    }
    const std::string data(kDataFileName);
    switch (action) {
        case Action::Export: {
            const std::string& format = commandLine.exportFormat;
            const int status =
                format == "csv" ? exportCsv(realFileSystem(), data, out, err)
                : format == "vcard"
                    ? exportVCards(realFileSystem(), data, VCardVersion::V4, out, err)
                : format == "vcard3"
                    ? exportVCards(realFileSystem(), data, VCardVersion::V3, out, err)
                    : exportJsonLines(realFileSystem(), data, out, err);
            return checkedOutput(status, out, err);
        }
        case Action::Upcoming:
            return checkedOutput(
                printUpcoming(realFileSystem(), data, QDate::currentDate(), out, err), out, err);
        case Action::Affiliations:
            return checkedOutput(printAffiliations(realFileSystem(), data, out, err), out, err);
        case Action::Version:
            out << "Corvane " << kVersionText << '\n';
            return checkedOutput(0, out, err);
        case Action::Help:
            out << usageText();
            return checkedOutput(0, out, err);
        case Action::Error:
            err << "corvane: " << shownOnTerminal(commandLine.error) << "\n\n" << usageText();
            return 1;
        case Action::Import:
            return checkedOutput(runImport(commandLine, out, err), out, err);
        case Action::Deleted:
            return checkedOutput(runDeleted(out, err), out, err);
        case Action::Restore:
            return checkedOutput(runRestore(commandLine, out, err), out, err);
        case Action::SyncSetup:
            return checkedOutput(runSyncSetup(commandLine, out, err), out, err);
        case Action::Sync:
            return checkedOutput(runSync(commandLine, out, err), out, err);
        case Action::Run:
            break;
    }
    return 0;
}

}  // namespace corvane
