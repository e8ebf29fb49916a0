#pragma once

// Every action of the command line that needs no window, and the one place
// that runs them: the exports, the import, the two lists, the version and
// the help. Each exits 0 on success, 1 on an error of the system (standard
// error names the file and the reason), 2 on damaged data.

#include <ostream>
#include <string>

#include "commandline.h"

namespace corvane {

// Runs `commandLine`'s action (anything but Action::Run) in the book's
// folder and returns the process's exit status.
int runConsoleAction(const CommandLine& commandLine, std::ostream& out, std::ostream& err);

// Makes the folder the command line names (if any) the current folder, where
// every action finds the data file: created, private to the user, when it
// is missing. Returns 0, or 1 after saying on `err` why the folder cannot
// be used (a file in its place, or it cannot be made); then nothing was
// created. A folder that exists but may not be written is used (its book can
// be read), and `err` is told that nothing can be saved there. A dry run's
// missing folder is neither made nor entered: its book is empty.
int enterFolder(const CommandLine& commandLine, std::ostream& err);

// The folder the command line names for the book (--folder, or the one
// --documents stands for), as given; empty when it names none.
std::string namedBookFolder(const CommandLine& commandLine);

// `corvane --import FILE [--dry-run]` into the book of the current folder
// (or of a dry run's missing folder): refused while another process writes
// the book, and beside an old-format book not yet converted; prints the
// report on `out`. All or nothing: a failed write takes back every entry
// of the import. Returns 0, or 1 when the file cannot be read or imported
// or a write failed (`err` says why). A dry run writes nothing at all.
int runImport(const CommandLine& commandLine, std::ostream& out, std::ostream& err);

// `corvane --deleted`: the trash of the current folder's book, newest
// first, one entry a line: its number, when it was deleted, its name.
// Returns 0, or 2 when the trash is damaged (nothing is listed then).
int runDeleted(std::ostream& out, std::ostream& err);

// `corvane --restore N`: puts entry N of that list back into the book (see
// DataFile::RestoreFromTrash), refused while another process writes the
// book. Returns 0; 1 when it could not; 2 when the book or the trash is
// damaged.
int runRestore(const CommandLine& commandLine, std::ostream& out, std::ostream& err);

// `corvane --sync-setup URL [--user NAME] [--password-file FILE]
// [--addressbook NAME]`: finds the address book and keeps it as the
// account. Returns 0, or 1 when none was found or the server refused.
int runSyncSetup(const CommandLine& commandLine, std::ostream& out, std::ostream& err);
// `corvane --sync`: one two-way sync with the account, refused while
// another process writes the book; prints the summary line. Returns 0; 1
// when the sync could not be done; 2 when the book or its sync state is
// damaged.
int runSync(const CommandLine& commandLine, std::ostream& out, std::ostream& err);
// `status`, unless what an action wrote did not reach `out` (a full disk, a
// closed pipe): then that is said on `err` and the status is 1.
int checkedOutput(int status, std::ostream& out, std::ostream& err);

}  // namespace corvane
