// Corvane's entry point. Console actions (export, version, help) run without
// a display; everything else starts the windows.

#include <QApplication>
#include <QMainWindow>
#include <iostream>

#include "commandline.h"

int main(int argc, char* argv[]) {
    const std::vector<std::string> args(argv + 1, argv + argc);
    const corvane::CommandLine commandLine = corvane::parseCommandLine(args);
    if (commandLine.action != corvane::CommandLine::Action::Run) {
        return corvane::runConsoleAction(commandLine, std::cout, std::cerr);
    }

    QApplication app(argc, argv);
    // Until the title and main windows exist, an empty main window stands in.
    QMainWindow window;
    window.setWindowTitle(QStringLiteral("Corvane"));
    window.resize(640, 480);
    window.show();
    return app.exec();
}
