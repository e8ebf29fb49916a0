#include "bascorvane.h"

#include <QApplication>
#include <QFont>
#include <QIcon>
#include <QPointer>

#include "appstate.h"
#include "frmtitlepage.h"
#include "instancelock.h"
#include "platform.h"

namespace corvane::basCorvane {

QFont programFont() {
    // Liberation Sans has Arial's widths, which the windows were laid out in.
    QFont font(QStringLiteral("Liberation Sans"));
    font.setPointSizeF(9);
    return font;
}

int Main(int argc, char** argv, bool quitWithoutAsking, const MainWindowFactory& makeMainWindow) {
    QApplication application(argc, argv);
    QApplication::setOrganizationName(QStringLiteral("Corvane"));
    QApplication::setApplicationName(QStringLiteral("Corvane"));
    // The desktop entry's id: the task bar finds the entry and its icon by it
    // (the Wayland app id, and the window's icon under X11).
    QGuiApplication::setDesktopFileName(QStringLiteral("org.oriel_software.Corvane"));
    QIcon icon = QIcon::fromTheme(QStringLiteral("org.oriel_software.Corvane"));
    if (icon.isNull()) {
        icon.addFile(QStringLiteral(":/icons/corvane-48.png"));
        icon.addFile(QStringLiteral(":/icons/corvane-128.png"));
    }
    QApplication::setWindowIcon(icon);
    QApplication::setFont(programFont());

    QtPlatform platform;
    InstanceLock lock;
    const InstanceLock::Result locked = lock.tryAcquire();
    if (locked == InstanceLock::Result::HeldByAnother) {
        platform.messageBox(nullptr, {QStringLiteral("Terminating..."),
                                      QStringLiteral("Corvane is already loaded\n"
                                                     "and running on your computer!"),
                                      MsgIcon::Critical, MsgButtons::Ok, 1});
        return 1;
    }
    // The book's own lock, whatever the runtime folder: held for the whole
    // run, as any change may come at any moment.
    BookLock book;
    const BookLock::Result bookLocked = book.tryAcquire();
    if (bookLocked == BookLock::Result::HeldByAnother) {
        refuseSecondWriter(platform, book);
        return 1;
    }
    if (bookLocked == BookLock::Result::Unguarded) {
        warnRunningUnlocked(platform, book);
    }
    // The printer's unit is inches by construction: every printout draws on a
    // PrinterSurface, positioned in inches and converted at the device's own
    // resolution, so there is no printer-wide unit to set here.

    AppState app(platform);
    app.QuitWithoutAsking = quitWithoutAsking;
    auto* title = new frmTitlePage(app, [&app, &makeMainWindow] {
        QWidget* main = makeMainWindow(app);
        main->show();
    });
    title->show();
    return QApplication::exec();
}

}  // namespace corvane::basCorvane
