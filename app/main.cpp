// Corvane's entry point: the command line's actions, which need no
// display, or else the windows.
//
// This file wires the windows together: the main window opens the entry
// editor, and both open the help, through hooks in the program's shared
// state, so that no window needs another's insides.

#include <filesystem>
#include <iostream>

#include "appstate.h"
#include "bascorvane.h"
#include "consoleactions.h"
#include "frmaddeditname.h"
#include "frmmain.h"
#include "frmmanual.h"

namespace {

QWidget* makeMainWindow(corvane::AppState& app) {
    app.openEntryEditor = [&app](QWidget* owner, corvane::EditorMode mode,
                                 corvane::ListLink& list) {
        corvane::frmAddEditName editor(app, list, mode, owner);
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
    corvane::CommandLine commandLine =
        corvane::parseCommandLine(std::vector<std::string>(argv + 1, argv + argc));
    std::error_code ignored;
    commandLine.startFolder = std::filesystem::current_path(ignored).string();
    if (commandLine.action != corvane::CommandLine::Action::Run) {
        return corvane::runConsoleAction(commandLine, std::cout, std::cerr);
    }
    if (corvane::enterFolder(commandLine, std::cerr) != 0) {
        return 1;
    }
    return corvane::basCorvane::Main(argc, argv, commandLine.quitWithoutAsking, makeMainWindow);
}
