#pragma once

// The program's entry point: one running copy only, then the title window.

#include <QFont>
#include <functional>

class QWidget;

namespace corvane {

class AppState;

namespace basCorvane {

// Makes the main window, once the title window hands over.
using MainWindowFactory = std::function<QWidget*(AppState&)>;

// The font the windows were laid out in.
QFont programFont();

// Runs the windows until the user quits; returns the process's exit status.
// `quitWithoutAsking` is the "/m" switch. A second running copy is refused
// with "Corvane is already loaded / and running on your computer!", and a
// book another process writes with its own message; both end with status 1,
// touching no file.
int Main(int argc, char** argv, bool quitWithoutAsking, const MainWindowFactory& makeMainWindow);

}  // namespace basCorvane
}  // namespace corvane
