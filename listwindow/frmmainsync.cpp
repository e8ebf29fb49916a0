// The window's syncs with the CardDAV account: the one the list's
// right-click menu asks for, which shows its outcome, and the quiet ones at
// start and after each change. The password comes from the desktop's secret
// store (asked for once and kept there when it has none); the talk with the
// server runs beside the window, and the list is rebuilt after it.

#include <QApplication>
#include <QInputDialog>
#include <QMenu>
#include <QThread>
#include <algorithm>
#include <utility>

#include "appstate.h"
#include "backgroundsync.h"
#include "contactgrid.h"
#include "datafile.h"
#include "frmmain.h"
#include "secretstore.h"
#include "syncaccount.h"

namespace corvane {

void frmMain::grid_ContextMenu(const QPoint& at) {
    delete m_menuGrid;
    m_menuGrid = new QMenu(this);
    m_menuGrid->setObjectName(QStringLiteral("menuGrid"));
    const SyncAccount account = readSyncAccount();
    QAction* sync = m_menuGrid->addAction(
        account.isSet()
            ? QStringLiteral("Sync with the address book on the server")
            : QStringLiteral("Sync with a server (set it up with corvane --sync-setup)"));
    sync->setEnabled(account.isSet());
    connect(sync, &QAction::triggered, this, &frmMain::syncNow);
    m_menuGrid->popup(m_grid->viewport()->mapToGlobal(at));
}

frmMain::~frmMain() {
    m_app.store.setOnChange({});
}

bool frmMain::syncRunning() const {
    return m_sync && m_sync->running();
}

bool frmMain::windowIdle() const {
    return QThread::currentThread()->loopLevel() <= 1 && !QApplication::activeModalWidget() &&
           !QApplication::activePopupWidget() && !QApplication::overrideCursor() && isEnabled() &&
           !m_loadingGrid && !m_asking && !m_ending;
}

void frmMain::startSyncing() {
    m_sync = std::make_unique<BackgroundSync>(m_app.store, [this] { return windowIdle(); });
    m_syncSoon.setSingleShot(true);
    m_syncSoon.setInterval(m_app.syncDelayMs);
    connect(&m_syncSoon, &QTimer::timeout, this, [this] {
        // The book is read only from an idle window: a command in progress
        // may hold it open.
        if (windowIdle()) {
            startSync(!std::exchange(m_syncAgainShown, false));
        } else {
            m_syncSoon.start();
        }
    });
    m_app.store.setOnChange([this] {
        // The sync's own writes ask for no sync after them.
        if (!m_sync->writing()) {
            m_syncSoon.start();
        }
    });
    startSync(true);
}

void frmMain::syncNow() {
    startSync(false);
}

void frmMain::startSync(bool quiet) {
    m_syncSoon.setInterval(m_app.syncDelayMs);  // after a quick run again
    const SyncAccount account = readSyncAccount();
    if (!account.isSet() || !m_sync) {
        return;
    }
    if (m_sync->running()) {
        m_syncAgain = true;
        m_syncAgainShown = m_syncAgainShown || !quiet;
        return;
    }
    m_syncSoon.stop();  // this sync takes in every change so far
    const QString book = account.collection.toString();
    if (!account.user.isEmpty() && m_syncPassword.isEmpty()) {
        if (quiet && m_passwordAsked) {
            return;  // the user gave none when asked; the menu asks again
        }
        m_passwordAsked = true;
        if (m_app.syncPassword) {
            m_syncPassword = m_app.syncPassword(this, account.user, book);
        } else {
            QString why;
            m_syncPassword = storedSyncPassword(account, why);
            if (m_syncPassword.isEmpty()) {
                bool given = false;
                m_syncPassword = QInputDialog::getText(
                    this, QStringLiteral("Sync"),
                    QStringLiteral("The password of %1 at\n%2:").arg(account.user, book),
                    QLineEdit::Password, {}, &given);
                if (given && !m_syncPassword.isEmpty()) {
                    // Without a secret store it is asked for once a run.
                    (void)storeSyncPassword(account, m_syncPassword, why);
                }
            }
        }
        if (m_syncPassword.isEmpty()) {
            return;
        }
    }
    m_sync->start(account.collection, account.user, m_syncPassword, m_app.now(),
                  [this, quiet](const SyncOutcome& outcome) { syncDone(outcome, quiet); });
}

void frmMain::syncDone(const SyncOutcome& outcome, bool quiet) {
    const bool shown = !quiet || std::exchange(m_syncAgainShown, false);
    const SyncSummary& done = outcome.summary;
    if (outcome.ok && done.received + done.removedHere + done.merged.size() > 0) {
        // The list is rebuilt under the user's eyes: the highlight stays on
        // the entry it was on, where the sync left that entry.
        const QString current =
            m_grid->Row() >= 1 ? m_grid->TextMatrix(m_grid->Row(), 0) : QString();
        const int top = m_grid->TopRow();
        LoadGrid();
        for (int row = 1; row < m_grid->Rows() && !current.isEmpty(); ++row) {
            if (m_grid->TextMatrix(row, 0) == current) {
                m_grid->setRow(row);
                m_grid->setTopRow(std::min(top, row));
                m_grid->selectCurrentRow();
                break;
            }
        }
        UpdateCommandButtons();
    }
    if (std::exchange(m_syncAgain, false) && outcome.ok) {
        // A change or a command came while the server was asked: the sync
        // runs again, and the outcome to show is that one's.
        m_syncAgainShown = shown;
        m_syncSoon.start(0);
        return;
    }
    if (outcome.bookChangedMeanwhile) {
        // Nothing was written: the sync runs again on the book as it is now.
        m_syncAgainShown = shown;
        m_syncSoon.start(0);
        return;
    }
    if (!outcome.ok) {
        if (outcome.error.contains(QStringLiteral("password"))) {
            m_syncPassword.clear();  // asked again by the menu
        }
        // A quiet sync tells of a failure once, until a sync goes through.
        if (!shown && outcome.error == m_lastSyncFailure) {
            return;
        }
        m_lastSyncFailure = outcome.error;
        m_app.platform.messageBox(
            this, {QStringLiteral("Sync"),
                   QStringLiteral("The sync could not be done:\n%1").arg(outcome.error),
                   MsgIcon::Exclamation, MsgButtons::Ok, 1});
        return;
    }
    m_lastSyncFailure.clear();
    // A quiet sync speaks only of entries merged field by field, whose
    // comments now hold the server's values.
    if (shown || !done.merged.isEmpty()) {
        m_app.platform.messageBox(
            this, {QStringLiteral("Sync"), done.line(), MsgIcon::Information, MsgButtons::Ok, 1});
    }
}

}  // namespace corvane
