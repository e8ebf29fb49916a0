// The list's right-click menu and its sync with the CardDAV account: the
// password from the desktop's secret store (asked for once and stored
// there when it has none), the sync itself, and the list rebuilt after it.

#include <qt6keychain/keychain.h>
#include <QEventLoop>
#include <QInputDialog>
#include <QMenu>

#include "appstate.h"
#include "contactgrid.h"
#include "datafile.h"
#include "davclient.h"
#include "frmmain.h"
#include "oledate.h"
#include "printjob.h"
#include "syncaccount.h"
#include "syncengine.h"

namespace corvane {
namespace {

const QString kKeychainService = QStringLiteral("Corvane");

QString keyOf(const QString& user, const QString& book) {
    return user + u'@' + book;
}

// Runs a secret-store job to its end.
void runToEnd(QKeychain::Job& job, const QString& key) {
    job.setAutoDelete(false);
    job.setKey(key);
    QEventLoop loop;
    QObject::connect(&job, &QKeychain::Job::finished, &loop, &QEventLoop::quit);
    job.start();
    loop.exec();
}

// The password the secret store keeps for the account, or empty.
QString storedPassword(const QString& key) {
    QKeychain::ReadPasswordJob job(kKeychainService);
    runToEnd(job, key);
    return job.error() == QKeychain::NoError ? job.textData() : QString();
}

void storePassword(const QString& key, const QString& password) {
    QKeychain::WritePasswordJob job(kKeychainService);
    job.setTextData(password);
    runToEnd(job, key);
}

}  // namespace

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

void frmMain::syncNow() {
    const SyncAccount account = readSyncAccount();
    if (!account.isSet()) {
        return;
    }
    const QString book = account.collection.toString();
    if (!account.user.isEmpty() && m_syncPassword.isEmpty()) {
        if (m_app.syncPassword) {
            m_syncPassword = m_app.syncPassword(this, account.user, book);
        } else {
            m_syncPassword = storedPassword(keyOf(account.user, book));
            if (m_syncPassword.isEmpty()) {
                bool given = false;
                m_syncPassword = QInputDialog::getText(
                    this, QStringLiteral("Sync"),
                    QStringLiteral("The password of %1 at\n%2:").arg(account.user, book),
                    QLineEdit::Password, {}, &given);
                if (given && !m_syncPassword.isEmpty()) {
                    storePassword(keyOf(account.user, book), m_syncPassword);
                }
            }
        }
        if (m_syncPassword.isEmpty()) {
            return;
        }
    }
    SyncOutcome outcome;
    {
        // The window waits for the server no longer than a request's
        // deadline; it takes no change meanwhile.
        const BusyWindow busy(this);
        DavClient client(account.user, m_syncPassword);
        outcome = syncBook(m_app.store, client, account.collection, m_app.now());
    }
    LoadGrid();
    UpdateCommandButtons();
    if (!outcome.ok) {
        if (outcome.error.contains(QStringLiteral("password"))) {
            m_syncPassword.clear();  // asked again next time
        }
        m_app.platform.messageBox(
            this, {QStringLiteral("Sync"),
                   QStringLiteral("The sync could not be done:\n%1").arg(outcome.error),
                   MsgIcon::Exclamation, MsgButtons::Ok, 1});
        return;
    }
    m_app.platform.messageBox(this, {QStringLiteral("Sync"), outcome.summary.line(),
                                     MsgIcon::Information, MsgButtons::Ok, 1});
}

}  // namespace corvane
