// Corvane's entry point. Console actions (export, the two lists, version,
// help) run without a display; everything else starts the windows.
//
// This file wires the windows together: the main window opens the entry
// editor, and both open the help, through hooks in the program's shared
// state, so that no window needs another's insides.

#include <filesystem>
#include <iostream>

#include "appstate.h"
#include "bascorvane.h"
#include "commandline.h"
#include "frmaddeditname.h"
#include "frmmain.h"
#include "frmmanual.h"
#include "listconsole.h"

namespace {

QWidget* makeMainWindow(corvane::AppState& app) {
    app.openEntryEditor = [&app](QWidget* owner, const QString& modeTag, corvane::ListLink& list) {
        corvane::frmAddEditName editor(app, list, modeTag, owner);
        editor.exec();
    };
    app.openHelp = [&app](QWidget* owner) {
        corvane::frmManual help(app, owner);
        help.exec();
    };
    return new corvane::frmMain(app);
}

}  // namespace

int main(int argc, char* argv[]) {
    const std::vector<std::string> args(argv + 1, argv + argc);
    corvane::CommandLine commandLine = corvane::parseCommandLine(args);
    std::error_code ignored;
    commandLine.startFolder = std::filesystem::current_path(ignored).string();
    const std::string dataFile(corvane::kDataFileName);
    // Only the actions that use the book go to its folder.
    using Action = corvane::CommandLine::Action;
    const Action action = commandLine.action;
    const bool usesBook = action == Action::Run || action == Action::Export ||
                          action == Action::Import || action == Action::Upcoming ||
                          action == Action::Affiliations;
    if (usesBook && corvane::enterFolder(commandLine, std::cerr) != 0) {
        return 1;
    }
    switch (commandLine.action) {
        case corvane::CommandLine::Action::Run:
            break;
        case corvane::CommandLine::Action::Upcoming:
            return corvane::checkedOutput(
                corvane::printUpcoming(corvane::realFileSystem(), dataFile, QDate::currentDate(),
                                       std::cout, std::cerr),
                std::cout, std::cerr);
        case corvane::CommandLine::Action::Affiliations:
            return corvane::checkedOutput(
                corvane::printAffiliations(corvane::realFileSystem(), dataFile, std::cout,
                                           std::cerr),
                std::cout, std::cerr);
        default:
            return corvane::runConsoleAction(commandLine, std::cout, std::cerr);
    }
    return corvane::basCorvane::Main(argc, argv, commandLine, makeMainWindow);
}
