// `corvane --sync-setup URL` and `corvane --sync`: the book's CardDAV
// account, and one two-way sync of the book with it.

#include <QCoreApplication>
#include <QDateTime>
#include <filesystem>
#include <memory>

#include "booklock.h"
#include "consoleactions.h"
#include "datafile.h"
#include "davclient.h"
#include "oledate.h"
#include "secretstore.h"
#include "syncaccount.h"
#include "syncengine.h"
#include "terminaltext.h"

namespace corvane {
namespace {

// Qt Network and the settings need an application object; the console
// actions run without one.
std::unique_ptr<QCoreApplication> ensureApplication() {
    if (QCoreApplication::instance() != nullptr) {
        return nullptr;
    }
    static int argc = 1;
    static char name[] = "corvane";
    static char* argv[] = {name, nullptr};
    return std::make_unique<QCoreApplication>(argc, argv);
}

// The password from --password-file, else the one the secret store keeps
// for `account`; none for an account without a user name.
bool password(const CommandLine& commandLine, const SyncAccount& account, QString& out,
              std::ostream& err) {
    if (commandLine.passwordFile.empty()) {
        if (account.user.isEmpty()) {
            return true;  // a server that asks for none
        }
        QString why;
        out = storedSyncPassword(account, why);
        if (out.isEmpty()) {
            err << "corvane: no password of " << shownOnTerminal(account.user.toStdString())
                << " is kept in the desktop's secret store (" << shownOnTerminal(why.toStdString())
                << "); give it with --password-file FILE. Nothing was synced\n";
            return false;
        }
        return true;
    }
    QString error;
    // A relative name is the folder's Corvane was started in, as --import's.
    const std::filesystem::path file =
        std::filesystem::path(commandLine.startFolder) / commandLine.passwordFile;
    if (!readPasswordFile(QString::fromStdString(file.string()), out, error)) {
        err << "corvane: " << error.toStdString() << '\n';
        return false;
    }
    return true;
}

}  // namespace

int runSyncSetup(const CommandLine& commandLine, std::ostream& out, std::ostream& err) {
    const auto application = ensureApplication();
    QUrl start(QString::fromStdString(commandLine.syncUrl));
    QString user = QString::fromStdString(commandLine.syncUser);
    if (!start.password().isEmpty()) {
        err << "corvane: the address holds a password, which would be kept in the settings; "
               "give it with --password-file FILE instead. No account was kept\n";
        return 1;
    }
    if (!start.userName().isEmpty()) {
        if (user.isEmpty()) {
            user = start.userName();
        }
        start.setUserInfo({});
    }
    QString secret;
    if (!commandLine.passwordFile.empty() && !password(commandLine, {}, secret, err)) {
        return 1;
    }
    DavClient client(user, secret);
    QStringList found;
    QString error;
    const QUrl book = discoverAddressBook(
        client, start, QString::fromStdString(commandLine.addressBook), found, error);
    if (book.isEmpty()) {
        err << "corvane: " << shownOnTerminal(error.toStdString()) << ". No account was kept\n";
        return 1;
    }
    if (found.size() > 1) {
        out << "Address books of the account:\n";
        for (const QString& line : found) {
            out << "  " << shownOnTerminal(line.toStdString()) << '\n';
        }
    }
    if (!writeSyncAccount({book, user})) {
        err << "corvane: the settings cannot be written. No account was kept\n";
        return 1;
    }
    out << "The address book is synced with " << book.toString().toStdString() << '\n';
    if (!user.isEmpty() && !secret.isEmpty()) {
        QString why;
        if (storeSyncPassword({book, user}, secret, why)) {
            out << "The password is kept in the desktop's secret store\n";
        } else {
            out << "The password could not be kept in the desktop's secret store ("
                << shownOnTerminal(why.toStdString()) << "); give it to --sync with "
                << "--password-file FILE\n";
        }
    }
    return 0;
}

int runSync(const CommandLine& commandLine, std::ostream& out, std::ostream& err) {
    const auto application = ensureApplication();
    const SyncAccount account = readSyncAccount();
    if (!account.isSet()) {
        err << "corvane: no account is set up; run corvane --sync-setup URL first\n";
        return 1;
    }
    QString secret;
    if (!password(commandLine, account, secret, err)) {
        return 1;
    }
    BookLock lock("");
    const BookLock::Result locked = lock.tryAcquire();
    if (locked != BookLock::Result::Acquired) {
        err << "corvane: "
            << (locked == BookLock::Result::HeldByAnother
                    ? std::string("the address book is in use by Corvane's windows, which "
                                  "sync it themselves, or by another sync")
                    : "no lock can be taken on the address book (" + lock.reason() + ")")
            << ". Nothing was synced\n";
        return 1;
    }
    DataFile store;
    DavClient client(account.user, secret);
    const QDateTime now = QDateTime::currentDateTime();
    const double stamp =
        oleFromDateTime({now.date().year(), now.date().month(), now.date().day(), now.time().hour(),
                         now.time().minute(), now.time().second()});
    const SyncOutcome outcome = syncBook(store, client, account.collection, stamp);
    (void)store.CloseDataFile();
    if (!outcome.ok) {
        err << "corvane: the sync could not be done: "
            << shownOnTerminal(outcome.error.toStdString()) << '\n';
        return outcome.damaged ? 2 : 1;
    }
    out << outcome.summary.line().toStdString() << '\n';
    return 0;
}

}  // namespace corvane
