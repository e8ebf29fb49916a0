#include "commandline.h"

#include <unistd.h>

#include <QStandardPaths>
#include <cerrno>
#include <filesystem>
#include <system_error>

#include "csvexport.h"
#include "datafile.h"
#include "jsonexport.h"
#include "vcardexport.h"
#include "version.h"

namespace corvane {

namespace {

// The options Qt itself takes from the command line (as -name or --name),
// with those that take a value: they are Qt's, not errors.
bool isQtOption(const std::string& arg, bool& takesValue) {
    static const std::vector<std::string> withValue = {
        "platform",    "platformpluginpath", "platformtheme", "plugin", "qwindowgeometry",
        "qwindowicon", "qwindowtitle",       "session",       "style",  "stylesheet",
        "display",     "geometry",           "title",         "name",   "qmljsdebugger"};
    static const std::vector<std::string> alone = {"reverse", "widgetcount", "nograb",
                                                   "dograb",  "sync",        "testability"};
    if (arg.size() < 2 || arg[0] != '-') {
        return false;
    }
    std::string name = arg.substr(arg[1] == '-' ? 2 : 1);
    const auto equals = name.find('=');
    const bool valueAttached = equals != std::string::npos;
    name = name.substr(0, equals);
    for (const std::string& option : withValue) {
        if (name == option) {
            takesValue = !valueAttached;
            return true;
        }
    }
    for (const std::string& option : alone) {
        if (name == option) {
            takesValue = false;
            return true;
        }
    }
    return false;
}

}  // namespace

CommandLine parseCommandLine(const std::vector<std::string>& args) {
    CommandLine result;
    // "/m" anywhere in the command line, as the program has always read it;
    // a folder's name is no switch ("/home/me" holds "/m").
    std::string line;
    for (std::size_t i = 0; i < args.size(); ++i) {
        if (args[i] == "--folder") {
            ++i;
        } else if (!args[i].starts_with("--folder=")) {
            line += args[i] + ' ';
        }
    }
    result.quitWithoutAsking = line.find("/m") != std::string::npos;
    auto fail = [&](std::string why) {
        result.action = CommandLine::Action::Error;
        result.error = std::move(why);
        return result;
    };
    for (std::size_t i = 0; i < args.size(); ++i) {
        const std::string& arg = args[i];
        bool takesValue = false;
        if (arg == "--folder" || arg.starts_with("--folder=")) {
            if (arg == "--folder" && i + 1 >= args.size()) {
                return fail("--folder needs the folder that holds (or is to hold) Corvane.Data");
            }
            result.folder = arg == "--folder" ? args[++i] : arg.substr(9);
            if (result.folder.empty()) {
                return fail("--folder needs the folder that holds (or is to hold) Corvane.Data");
            }
            continue;
        }
        if (arg == "--documents") {
            result.documentsFolder = true;
            continue;
        }
        if (arg.find("/m") != std::string::npos) {
            continue;  // the switch, seen above
        }
        if (isQtOption(arg, takesValue)) {
            i += takesValue ? 1 : 0;  // Qt reads it when the windows start
            continue;
        }
        if (arg == "--export" || arg.starts_with("--export=")) {
            if (arg == "--export" && i + 1 >= args.size()) {
                return fail("--export needs a format: " + std::string(kExportFormats));
            }
            const std::string format = arg == "--export" ? args[++i] : arg.substr(9);
            if (format != "json" && format != "csv" && format != "vcard" && format != "vcard3") {
                return fail("unknown export format '" + format + "'; the formats are " +
                            std::string(kExportFormats));
            }
            result.action = CommandLine::Action::Export;
            result.exportFormat = format;
        } else if (arg == "--import" || arg.starts_with("--import=")) {
            if (arg == "--import" && i + 1 >= args.size()) {
                return fail("--import needs the file to read");
            }
            result.importFile = arg == "--import" ? args[++i] : arg.substr(9);
            result.action = CommandLine::Action::Import;
        } else if (arg == "--dry-run") {
            result.dryRun = true;
        } else if (arg == "--upcoming") {
            result.action = CommandLine::Action::Upcoming;
        } else if (arg == "--affiliations") {
            result.action = CommandLine::Action::Affiliations;
        } else if (arg == "--version" || arg == "-v") {
            result.action = CommandLine::Action::Version;
        } else if (arg == "--help" || arg == "-h") {
            result.action = CommandLine::Action::Help;
        } else {
            return fail("unknown option '" + arg + "'");
        }
    }
    if (result.dryRun && result.action != CommandLine::Action::Import) {
        return fail("--dry-run goes with --import");
    }
    if (!result.folder.empty() && result.documentsFolder) {
        return fail("--folder and --documents each name the book's folder; give one");
    }
    return result;
}

std::string usageText() {
    return "Usage: corvane [options]\n"
           "\n"
           "Corvane keeps its entries in Corvane.Data in the current directory.\n"
           "\n"
           "Options:\n"
           "  --folder DIR    keep the entries in DIR instead (made when missing)\n"
           "  --documents     keep them in the folder Corvane of your documents folder\n"
           "                  (what the desktop menu's entry does)\n"
           "  --export json   write every entry to standard output as JSON Lines\n"
           "                  (one object per entry; reads the data file, never changes it)\n"
           "  --export csv    ... as CSV, a header row and one row per entry\n"
           "  --export vcard  ... as vCard 4.0; --export vcard3 as vCard 3.0\n"
           "  --import FILE   add the entries of FILE (vCards, or CSV with a header row)\n"
           "                  to the address book, and report what changed to fit\n"
           "  --dry-run       with --import: only report, write nothing\n"
           "  --upcoming      list the birthdays and anniversaries of the next 30 days\n"
           "  --affiliations  list the affiliations of all entries\n"
           "  --version       print the version and exit\n"
           "  --help          print this text and exit\n"
           "  /m              quit without asking for confirmation\n"
           "\n"
           "The export and the two lists only read the data file. They exit with\n"
           "status 2, after using every whole entry, when the file is damaged.\n";
}

int enterFolder(const CommandLine& commandLine, std::ostream& err) {
    std::string folder = commandLine.folder;
    if (commandLine.documentsFolder) {
        // QStandardPaths reads the desktop's own name for the documents folder
        // (XDG_DOCUMENTS_DIR in user-dirs.dirs) and falls back to ~/Documents.
        folder = (QStandardPaths::writableLocation(QStandardPaths::DocumentsLocation) +
                  QStringLiteral("/Corvane"))
                     .toStdString();
    }
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
    switch (commandLine.action) {
        case CommandLine::Action::Export: {
            const std::string data(kDataFileName);
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
        case CommandLine::Action::Version:
            out << "Corvane " << kVersionText << '\n';
            return checkedOutput(0, out, err);
        case CommandLine::Action::Help:
            out << usageText();
            return checkedOutput(0, out, err);
        case CommandLine::Action::Error:
            err << "corvane: " << commandLine.error << "\n\n" << usageText();
            return 1;
        case CommandLine::Action::Import:
            return checkedOutput(runImport(commandLine, out, err), out, err);
        case CommandLine::Action::Run:
        case CommandLine::Action::Upcoming:
        case CommandLine::Action::Affiliations:
            break;
    }
    return 0;
}

}  // namespace corvane
