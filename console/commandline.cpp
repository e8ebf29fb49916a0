#include "commandline.h"

#include <QCommandLineParser>
#include <QStringList>
#include <algorithm>
#include <array>
#include <utility>

namespace corvane {
namespace {

// The options QGuiApplication and QApplication take from the command line,
// as -name or --name; those that take a value take the next argument too
// unless it is attached with "=".
bool isQtOption(const std::string& arg, bool& takesValue) {
    static const std::array<std::string_view, 20> withValue = {
        "platform",      "platformpluginpath",
        "platformtheme", "plugin",
        "qmljsdebugger", "qwindowgeometry",
        "qwindowicon",   "qwindowtitle",
        "session",       "style",
        "stylesheet",    "display",
        "geometry",      "title",
        "name",          "icon",
        "visual",        "ncols",
        "fontengine",    "dialogs"};
    static const std::array<std::string_view, 7> alone = {
        "reverse", "widgetcount", "nograb", "dograb", "sync", "testability", "cmap"};
    if (arg.size() < 2 || arg[0] != '-') {
        return false;
    }
    if (arg == "--sync") {
        return false;  // Corvane's; Qt's X11 option is "-sync"
    }
    std::string name = arg.substr(arg[1] == '-' ? 2 : 1);
    const auto equals = name.find('=');
    const bool valueAttached = equals != std::string::npos;
    name.resize(std::min(name.size(), equals));
    if (std::find(withValue.begin(), withValue.end(), name) != withValue.end()) {
        takesValue = !valueAttached;
        return true;
    }
    takesValue = false;
    return std::find(alone.begin(), alone.end(), name) != alone.end();
}

// Corvane's options, each with what to say when its value is missing.
struct OptionSpec {
    const char* name;
    const char* valueName;  // null: no value
    const char* whenMissing;
};
constexpr std::array<OptionSpec, 16> kOptions{{
    {"export", "format", "--export needs a format: json, csv, vcard, vcard3"},
    {"import", "file", "--import needs the file to read"},
    {"folder", "dir", "--folder needs the folder that holds (or is to hold) Corvane.Data"},
    {"dry-run", nullptr, nullptr},
    {"upcoming", nullptr, nullptr},
    {"affiliations", nullptr, nullptr},
    {"deleted", nullptr, nullptr},
    {"restore", "number", "--restore needs the number --deleted gives the entry"},
    {"documents", nullptr, nullptr},
    {"sync-setup", "url",
     "--sync-setup needs the address of the server, the account or the address book"},
    {"sync", nullptr, nullptr},
    {"user", "name", "--user needs the user name"},
    {"password-file", "file", "--password-file needs the file that holds the password"},
    {"addressbook", "name", "--addressbook needs the address book's name"},
    {"version", nullptr, nullptr},
    {"help", nullptr, nullptr},
}};

// What to say when option `name` is given without its value.
std::string whenMissing(std::string_view name) {
    for (const OptionSpec& spec : kOptions) {
        if (name == spec.name) {
            return spec.whenMissing;
        }
    }
    return {};
}

// The action the line asks for. The help and the version win wherever
// they stand (asking for them never runs anything else); of the other
// actions the line may name one, as often as it likes. Error when it names
// two different ones.
CommandLine::Action chosenAction(const QCommandLineParser& parser) {
    using Action = CommandLine::Action;
    if (parser.isSet(QStringLiteral("help"))) {
        return Action::Help;
    }
    if (parser.isSet(QStringLiteral("version"))) {
        return Action::Version;
    }
    Action action = Action::Run;
    for (const auto& [name, named] :
         {std::pair{"export", Action::Export}, std::pair{"import", Action::Import},
          std::pair{"upcoming", Action::Upcoming}, std::pair{"affiliations", Action::Affiliations},
          std::pair{"deleted", Action::Deleted}, std::pair{"restore", Action::Restore},
          std::pair{"sync-setup", Action::SyncSetup}, std::pair{"sync", Action::Sync}}) {
        if (parser.isSet(QString::fromLatin1(name))) {
            if (action != Action::Run) {
                return Action::Error;
            }
            action = named;
        }
    }
    return action;
}

// The arguments that are Corvane's, after the program's name: "/m" (the
// program's old switch, which sets `quitWithoutAsking`) and Qt's options
// are taken out.
QStringList corvaneArguments(const std::vector<std::string>& args, bool& quitWithoutAsking) {
    // Each argument is carried byte for byte (Latin-1 maps every byte to one
    // character and back), so that a file or folder name that is not UTF-8
    // reaches the file system unchanged.
    QStringList rest{QStringLiteral("corvane")};
    bool valueNext = false;  // the argument is the value of one of Corvane's options
    for (std::size_t i = 0; i < args.size(); ++i) {
        bool takesValue = false;
        if (valueNext) {
            rest << QString::fromLatin1(args[i]);
            valueNext = false;
        } else if (args[i] == "/m") {
            quitWithoutAsking = true;
        } else if (isQtOption(args[i], takesValue)) {
            i += takesValue ? 1 : 0;
        } else {
            rest << QString::fromLatin1(args[i]);
            const std::string_view arg = args[i];
            valueNext = arg == "--export" || arg == "--import" || arg == "--folder" ||
                        arg == "--restore" || arg == "-export" || arg == "-import" ||
                        arg == "-folder" || arg == "-restore" || arg == "--sync-setup" ||
                        arg == "--user" || arg == "--password-file" || arg == "--addressbook";
        }
    }
    return rest;
}

// What the parser found wrong, in the program's words.
std::string parseError(const QCommandLineParser& parser) {
    for (const OptionSpec& spec : kOptions) {
        if (spec.whenMissing &&
            parser.errorText().contains(QStringLiteral("'--%1'").arg(QLatin1String(spec.name)))) {
            return spec.whenMissing;
        }
    }
    const QStringList unknown = parser.unknownOptionNames();
    if (!unknown.isEmpty()) {
        const QString& name = unknown.first();
        return "unknown option '" + std::string(name.size() == 1 ? "-" : "--") +
               name.toLatin1().toStdString() + "'";
    }
    return parser.errorText().toStdString();
}

}  // namespace

CommandLine parseCommandLine(const std::vector<std::string>& args) {
    CommandLine result;
    auto fail = [&](std::string why) {
        result.action = CommandLine::Action::Error;
        result.error = std::move(why);
        return result;
    };
    const QStringList rest = corvaneArguments(args, result.quitWithoutAsking);
    QCommandLineParser parser;
    parser.setOptionsAfterPositionalArgumentsMode(QCommandLineParser::ParseAsOptions);
    // "-export json" is "--export json", as Qt reads its own options.
    parser.setSingleDashWordOptionMode(QCommandLineParser::ParseAsLongOptions);
    for (const OptionSpec& spec : kOptions) {
        QStringList names{QString::fromLatin1(spec.name)};
        if (std::string_view(spec.name) == "version" || std::string_view(spec.name) == "help") {
            names.prepend(QString(QChar::fromLatin1(spec.name[0])));
        }
        parser.addOption(spec.valueName
                             ? QCommandLineOption(names, {}, QString::fromLatin1(spec.valueName))
                             : QCommandLineOption(names));
    }
    if (!parser.parse(rest)) {
        return fail(parseError(parser));
    }
    if (!parser.positionalArguments().isEmpty()) {
        return fail("unknown option '" +
                    parser.positionalArguments().first().toLatin1().toStdString() + "'");
    }
    // The last value given counts; its bytes are the argument's own.
    auto value = [&](const char* name) {
        const QStringList values = parser.values(QString::fromLatin1(name));
        return values.isEmpty() ? std::string() : values.last().toLatin1().toStdString();
    };
    result.action = chosenAction(parser);
    if (result.action == CommandLine::Action::Error) {
        return fail(
            "give one of --export, --import, --upcoming, --affiliations, --deleted, --restore, "
            "--sync-setup and --sync");
    }
    if (parser.isSet(QStringLiteral("folder"))) {
        result.folder = value("folder");
        if (result.folder.empty()) {
            return fail(whenMissing("folder"));
        }
    }
    result.documentsFolder = parser.isSet(QStringLiteral("documents"));
    result.dryRun = parser.isSet(QStringLiteral("dry-run"));
    if (parser.isSet(QStringLiteral("export"))) {
        result.exportFormat = value("export");
        const std::string& format = result.exportFormat;
        if (format != "json" && format != "csv" && format != "vcard" && format != "vcard3") {
            return fail("unknown export format '" + format + "'; the formats are " +
                        std::string(kExportFormats));
        }
    }
    if (parser.isSet(QStringLiteral("import"))) {
        result.importFile = value("import");
        if (result.importFile.empty()) {
            return fail(whenMissing("import"));
        }
    }
    if (parser.isSet(QStringLiteral("restore"))) {
        const std::string number = value("restore");
        const bool digits =
            !number.empty() && number.size() <= 5 &&
            std::all_of(number.begin(), number.end(), [](char c) { return c >= '0' && c <= '9'; });
        result.restoreNumber = digits ? std::stoi(number) : 0;
        if (result.restoreNumber < 1) {
            return fail("--restore needs the number --deleted gives the entry, not '" + number +
                        "'");
        }
    }
    result.syncUrl = value("sync-setup");
    if (parser.isSet(QStringLiteral("sync-setup")) && result.syncUrl.empty()) {
        return fail(whenMissing("sync-setup"));
    }
    result.syncUser = value("user");
    result.addressBook = value("addressbook");
    result.passwordFile = value("password-file");
    const bool syncing = result.action == CommandLine::Action::SyncSetup ||
                         result.action == CommandLine::Action::Sync;
    if (!syncing &&
        (parser.isSet(QStringLiteral("user")) || parser.isSet(QStringLiteral("password-file")) ||
         parser.isSet(QStringLiteral("addressbook")))) {
        return fail("--user, --password-file and --addressbook go with --sync-setup or --sync");
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
           "  --deleted       list the deleted entries kept in the trash, newest first\n"
           "  --restore N     put entry N of that list back into the address book\n"
           "  --sync-setup URL  find the CardDAV address book at URL (a server, an\n"
           "                  account or the address book itself) and keep it as the\n"
           "                  book's account; with --user NAME, --password-file FILE\n"
           "                  and --addressbook NAME (when the account has several)\n"
           "  --sync          sync the address book with that account both ways\n"
           "  --password-file FILE  the password, in a file only you may read\n"
           "  --version       print the version and exit\n"
           "  --help          print this text and exit\n"
           "  /m              quit without asking for confirmation\n"
           "\n"
           "The export and the two lists only read the data file. They exit with\n"
           "status 2, after using every whole entry, when the file is damaged.\n";
}

}  // namespace corvane
