#pragma once

// What the command line asks for. The export, the two lists, the version
// and the help need no display and run before any window is made.

#include <ostream>
#include <string>
#include <string_view>
#include <vector>

namespace corvane {

inline constexpr std::string_view kExportFormats = "json, csv, vcard, vcard3";

struct CommandLine {
    enum class Action { Run, Export, Import, Upcoming, Affiliations, Version, Help, Error };
    Action action = Action::Run;
    // "/m": quitting ends the program without asking first.
    bool quitWithoutAsking = false;
    // Action::Export: "json", "csv", "vcard" (4.0) or "vcard3".
    std::string exportFormat = "json";
    // Action::Import: the file to read, and whether only to report.
    std::string importFile;
    bool dryRun = false;
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

// Parses the arguments that follow the program's own path.
CommandLine parseCommandLine(const std::vector<std::string>& args);

// The text of `corvane --help`.
std::string usageText();

// Runs an action that needs no window (Export, Version, Help, Error) in the
// current directory and returns the process's exit status. Upcoming and
// Affiliations belong to the list's logic and are run by the caller.
int runConsoleAction(const CommandLine& commandLine, std::ostream& out, std::ostream& err);

// Makes the folder the command line names (if any) the current folder, where
// every action finds the data file: created, private to the user, when it
// is missing. Returns 0, or 1 after saying on `err` why the folder cannot
// be used (a file in its place, or it cannot be made); then nothing was
// created. A folder that exists but may not be written is used (its book can
// be read), and `err` is told that nothing can be saved there. A dry run's
// missing folder is neither made nor entered: its book is empty.
int enterFolder(const CommandLine& commandLine, std::ostream& err);

// `corvane --import FILE [--dry-run]` into the book of the current folder
// (or of a dry run's missing folder): refused while another process writes
// the book, and beside an old-format book not yet converted; prints the
// report on `out`. All or nothing: a failed write takes back every entry
// of the import. Returns 0, or 1 when the file cannot be read or imported
// or a write failed (`err` says why). A dry run writes nothing at all.
int runImport(const CommandLine& commandLine, std::ostream& out, std::ostream& err);

// `status`, unless what an action wrote did not reach `out` (a full disk, a
// closed pipe): then that is said on `err` and the status is 1.
int checkedOutput(int status, std::ostream& out, std::ostream& err);

}  // namespace corvane
