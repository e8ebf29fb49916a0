#include "commandline.h"

#include <QCommandLineParser>
#include <QStringList>
#include <algorithm>
#include <array>

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
constexpr std::array<OptionSpec, 9> kOptions{{
    {"export", "format", "--export needs a format: json, csv, vcard, vcard3"},
    {"import", "file", "--import needs the file to read"},
    {"folder", "dir", "--folder needs the folder that holds (or is to hold) Corvane.Data"},
    {"dry-run", nullptr, nullptr},
    {"upcoming", nullptr, nullptr},
    {"affiliations", nullptr, nullptr},
    {"documents", nullptr, nullptr},
    {"version", nullptr, nullptr},
    {"help", nullptr, nullptr},
}};

// The action options in the order the line gives them: the last one counts.
CommandLine::Action lastAction(const QCommandLineParser& parser) {
    using Action = CommandLine::Action;
    Action action = Action::Run;
    for (const QString& name : parser.optionNames()) {
        if (name == u"export") {
            action = Action::Export;
        } else if (name == u"import") {
            action = Action::Import;
        } else if (name == u"upcoming") {
            action = Action::Upcoming;
        } else if (name == u"affiliations") {
            action = Action::Affiliations;
        } else if (name == u"version" || name == u"v") {
            action = Action::Version;
        } else if (name == u"help" || name == u"h") {
            action = Action::Help;
        }
    }
    return action;
}

// The arguments that are Corvane's, after the program's name: "/m" (the
// program's old switch, which sets `quitWithoutAsking`) and Qt's options
// are taken out.
QStringList corvaneArguments(const std::vector<std::string>& args, bool& quitWithoutAsking) {
    QStringList rest{QStringLiteral("corvane")};
    for (std::size_t i = 0; i < args.size(); ++i) {
        bool takesValue = false;
        if (args[i] == "/m") {
            quitWithoutAsking = true;
        } else if (isQtOption(args[i], takesValue)) {
            i += takesValue ? 1 : 0;
        } else {
            rest << QString::fromStdString(args[i]);
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
               name.toStdString() + "'";
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
        return fail("unknown option '" + parser.positionalArguments().first().toStdString() + "'");
    }
    // The last value given counts, as the last action does.
    auto value = [&](const char* name) {
        const QStringList values = parser.values(QString::fromLatin1(name));
        return values.isEmpty() ? std::string() : values.last().toStdString();
    };
    result.action = lastAction(parser);
    if (parser.isSet(QStringLiteral("folder"))) {
        result.folder = value("folder");
        if (result.folder.empty()) {
            return fail(kOptions[2].whenMissing);
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
            return fail(kOptions[1].whenMissing);
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

}  // namespace corvane
