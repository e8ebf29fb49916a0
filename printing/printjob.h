#pragma once

// Starting a printout, and the busy window while it runs.

#include <QPointer>
#include <QString>
#include <memory>

#include "printersurface.h"

class QWidget;

namespace corvane {

class AppState;

// Starts a printout called `documentName` ("Corvane list", ...) for
// `owner`: on the default printer, or, when there is none, as a PDF file
// whose name the user chooses (in the documents folder, on the paper of the
// user's locale). Null when the user cancelled the file's name or the job
// could not start; the user has then been told why, where that needs
// telling.
// Label sheets are Letter paper: `letter` puts the job on Letter, on the
// printer and in a PDF alike, whatever the printer's own paper or the
// locale.
std::unique_ptr<PrinterSurface> openPrinterSurface(AppState& app, QWidget* owner,
                                                   const QString& documentName,
                                                   bool letter = false);

// While it lives, `owner` is disabled and shows the hourglass pointer;
// afterwards it is enabled with the normal pointer, however the printout
// ended.
class BusyWindow {
  public:
    explicit BusyWindow(QWidget* owner, bool leaveAlone = false);
    ~BusyWindow();
    BusyWindow(const BusyWindow&) = delete;
    BusyWindow& operator=(const BusyWindow&) = delete;

  private:
    QPointer<QWidget> m_owner;
    bool m_busy;
};

}  // namespace corvane
