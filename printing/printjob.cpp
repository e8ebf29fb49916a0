#include "printjob.h"

#include <QApplication>
#include <QDir>
#include <QFileInfo>
#include <QLocale>
#include <QStandardPaths>
#include <QWidget>

#include "appstate.h"
#include "qtprintersurface.h"

namespace corvane {
namespace {

// Letter where people measure in inches, A4 everywhere else.
QPageSize localePaper() {
    return QLocale().measurementSystem() == QLocale::ImperialUSSystem ? QPageSize(QPageSize::Letter)
                                                                      : QPageSize(QPageSize::A4);
}

QString suggestedPdfPath(const QString& documentName) {
    QString folder = QStandardPaths::writableLocation(QStandardPaths::DocumentsLocation);
    if (folder.isEmpty() || !QFileInfo(folder).isDir()) {
        folder = QDir::homePath();
    }
    return folder + u'/' + documentName + QStringLiteral(".pdf");
}

}  // namespace

std::unique_ptr<PrinterSurface> openPrinterSurface(AppState& app, QWidget* owner,
                                                   const QString& documentName, bool letter) {
    if (app.openPrinter) {
        return app.openPrinter(owner, documentName);
    }
    std::unique_ptr<QtPrinterSurface> surface;
    const QString printer = app.platform.defaultPrinterName();
    if (!printer.isEmpty()) {
        surface = QtPrinterSurface::onPrinter(
            app.platform, owner, printer, documentName,
            letter ? std::optional(QPageSize(QPageSize::Letter)) : std::nullopt);
    } else {
        QString path = app.platform.saveFileName(owner, QStringLiteral("Save the printout as PDF"),
                                                 suggestedPdfPath(documentName),
                                                 QStringLiteral("PDF files (*.pdf)"));
        if (path.isEmpty()) {
            return nullptr;  // cancelled: nothing is printed
        }
        if (QFileInfo(path).suffix().isEmpty()) {
            // The dialog asked about the name as typed; the name the file
            // gets is another, and may be taken.
            path += QStringLiteral(".pdf");
            if (QFileInfo::exists(path) &&
                app.platform.messageBox(
                    owner, {QStringLiteral("Save the printout as PDF"),
                            QStringLiteral("%1 already exists.\nDo you want to replace it?")
                                .arg(QDir::toNativeSeparators(path)),
                            MsgIcon::Question, MsgButtons::YesNo, 2}) != MsgAnswer::Yes) {
                return nullptr;  // kept: nothing is printed
            }
        }
        surface = QtPrinterSurface::toPdf(app.platform, owner, path,
                                          letter ? QPageSize(QPageSize::Letter) : localePaper(),
                                          documentName);
    }
    if (!surface->active()) {
        surface->report();
        return nullptr;
    }
    return surface;
}

BusyWindow::BusyWindow(QWidget* owner, bool leaveAlone)
    : m_owner(owner), m_busy(!leaveAlone && owner != nullptr) {
    if (m_busy) {
        m_owner->setEnabled(false);
        QApplication::setOverrideCursor(Qt::WaitCursor);
    }
}

BusyWindow::~BusyWindow() {
    if (m_busy) {
        QApplication::restoreOverrideCursor();
        if (m_owner) {
            m_owner->setEnabled(true);
        }
    }
}

}  // namespace corvane
