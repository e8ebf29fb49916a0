#pragma once

// What the command line asks for, read once. Besides the windows, Corvane
// answers without a display: the exports, the import, the two lists, the
// version and the help.

#include <string>
#include <string_view>
#include <vector>

namespace corvane {

inline constexpr std::string_view kExportFormats = "json, csv, vcard, vcard3";

struct CommandLine {
    enum class Action {
        Run,
        Export,
        Import,
        Upcoming,
        Affiliations,
        Deleted,
        Restore,
        SyncSetup,
        Sync,
        Version,
        Help,
        Error
    };
    Action action = Action::Run;
    // "/m", as an argument of its own: quitting ends the program without
    // asking first.
    bool quitWithoutAsking = false;
    // Action::Export: "json", "csv", "vcard" (4.0) or "vcard3".
    std::string exportFormat = "json";
    // Action::Import: the file to read, and whether only to report.
    std::string importFile;
    bool dryRun = false;
    // Action::Restore: the number of the deleted entry, as --deleted lists it.
    int restoreNumber = 0;
    // Action::SyncSetup: the server, account or address book's URL, the
    // user name and the address book's name; with Action::Sync too, the
    // file that holds the password.
    std::string syncUrl;
    std::string syncUser;
    std::string addressBook;
    std::string passwordFile;
    // Action::Error: what was wrong.
    std::string error;
    // "--folder DIR": the address book lives in DIR, not the current folder.
    std::string folder;
    // "--documents": it lives in the folder Corvane of the user's documents
    // folder (what the desktop menu's entry asks for).
    bool documentsFolder = false;
    // The folder the command was typed in (set by the caller before it
    // enters the book's folder): relative names on the command line, the
    // file to import and the book's folder, are read from there.
    std::string startFolder;
};

// Parses the arguments that follow the program's own path. Qt's own
// options (-platform, -style, -display, ...) are left for Qt; every option
// of Corvane's takes its value as "--option value" or "--option=value".
// Never fails: a mistake is Action::Error with the reason in `error`.
CommandLine parseCommandLine(const std::vector<std::string>& args);

// The text of `corvane --help`.
std::string usageText();

}  // namespace corvane
