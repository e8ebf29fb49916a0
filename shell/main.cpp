// Corvane's entry point. Console actions (export, version, help) run without
// a display; everything else starts the windows.

#include <iostream>

#include "bascorvane.h"
#include "commandline.h"
#include "frmmain.h"

int main(int argc, char* argv[]) {
    const std::vector<std::string> args(argv + 1, argv + argc);
    const corvane::CommandLine commandLine = corvane::parseCommandLine(args);
    if (commandLine.action != corvane::CommandLine::Action::Run) {
        return corvane::runConsoleAction(commandLine, std::cout, std::cerr);
    }
    return corvane::basCorvane::Main(
        argc, argv, commandLine, [](corvane::AppState& app) { return new corvane::frmMain(app); });
}
