#include "syncaccount.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>
#include <QFile>
#include <QSettings>

#include "davclient.h"
#include "davxml.h"

namespace corvane {
namespace {

// PROPFIND at Depth 0 (or 1): the items the server lists; `answer` keeps
// the response for failureOf.
davXml::Multistatus propfind(DavClient& client, const QUrl& url, const char* depth,
                             DavResponse& answer, bool kindOnly = false) {
    answer = client.send({"PROPFIND",
                          url,
                          {{"Depth", depth}},
                          kindOnly ? davXml::propfindKind() : davXml::propfindDiscovery()});
    return answer.status == 207 ? davXml::parse(answer.body) : davXml::Multistatus{};
}

const QString kDiscovery = QStringLiteral("the question for the account's address books");

}  // namespace

SyncAccount readSyncAccount() {
    QSettings settings(QStringLiteral("Corvane"), QStringLiteral("Corvane"));
    settings.beginGroup(QStringLiteral("Sync"));
    return {QUrl(settings.value(QStringLiteral("Collection")).toString()),
            settings.value(QStringLiteral("User")).toString()};
}

bool writeSyncAccount(const SyncAccount& account) {
    QSettings settings(QStringLiteral("Corvane"), QStringLiteral("Corvane"));
    settings.beginGroup(QStringLiteral("Sync"));
    settings.setValue(QStringLiteral("Collection"), account.collection.toString());
    settings.setValue(QStringLiteral("User"), account.user);
    settings.sync();
    return settings.status() == QSettings::NoError;
}

QUrl discoverAddressBook(DavClient& client, const QUrl& start, const QString& name,
                         QStringList& found, QString& error) {
    if (const QString refusal = DavClient::refusalOf(start); !refusal.isEmpty()) {
        error = refusal;
        return {};
    }
    DavResponse answer;
    // A server without accounts may refuse to name a principal: whether the
    // address is a collection is asked on its own.
    davXml::Multistatus ms = propfind(client, start, "0", answer, true);
    if (answer.status == 207 && !ms.items.empty() && ms.items.front().isAddressBook) {
        found << ms.items.front().displayName + QStringLiteral("  ") + start.toString();
        return start;  // a collection, taken as it is
    }
    if (answer.status == 0 || answer.status == 401 || answer.status == 403) {
        error = failureOf(answer, start, kDiscovery);
        return {};
    }
    ms = propfind(client, start, "0", answer);
    // An account or server address: the principal, then its home set.
    QString principal = ms.items.empty() ? QString() : ms.items.front().principal;
    QStringList homes = ms.items.empty() ? QStringList() : ms.items.front().homeSets;
    if (principal.isEmpty() && homes.isEmpty()) {
        QUrl wellKnown = start;
        wellKnown.setPath(QStringLiteral("/.well-known/carddav"));
        ms = propfind(client, wellKnown, "0", answer);
        if (answer.status != 207 || ms.items.empty()) {
            // A server that answers the well-known name only at its root.
            QUrl root = start;
            root.setPath(QStringLiteral("/"));
            ms = propfind(client, root, "0", answer);
        }
        if (answer.status != 207 || ms.items.empty()) {
            error = failureOf(answer, start, kDiscovery);
            return {};
        }
        principal = ms.items.front().principal;
        homes = ms.items.front().homeSets;
    }
    if (homes.isEmpty() && !principal.isEmpty()) {
        QUrl url = start;
        url.setPath(principal);
        ms = propfind(client, url, "0", answer);
        if (answer.status == 207 && !ms.items.empty()) {
            homes = ms.items.front().homeSets;
        }
        if (homes.isEmpty()) {
            homes << principal;  // many servers keep the books under the principal
        }
    }
    QUrl chosen;
    for (const QString& home : homes) {
        QUrl url = start;
        url.setPath(home);
        ms = propfind(client, url, "1", answer);
        for (const davXml::Item& item : ms.items) {
            if (!item.isAddressBook) {
                continue;
            }
            QUrl book = start;
            book.setPath(item.href);
            found << item.displayName + QStringLiteral("  ") + book.toString();
            const bool named = !name.isEmpty() && (item.displayName == name ||
                                                   item.href.section(u'/', -2, -2) == name);
            if ((chosen.isEmpty() && name.isEmpty()) || named) {
                chosen = book;
            }
        }
    }
    if (chosen.isEmpty()) {
        error = name.isEmpty()
                    ? QStringLiteral("no address book was found at %1").arg(start.toString())
                    : QStringLiteral("no address book named '%1' was found").arg(name);
    }
    return chosen;
}

bool readPasswordFile(const QString& path, QString& password, QString& error) {
    // Judged as opened, so that the file read is the file judged; a FIFO
    // opened without waiting is refused rather than waited on.
    const QByteArray native = QFile::encodeName(path);
    const int fd = ::open(native.constData(), O_RDONLY | O_NONBLOCK | O_CLOEXEC);
    struct stat info {};
    if (fd < 0 || ::fstat(fd, &info) != 0 || !S_ISREG(info.st_mode)) {
        if (fd >= 0) {
            ::close(fd);
        }
        error = QStringLiteral("the password file %1 cannot be read").arg(path);
        return false;
    }
    if (info.st_uid != ::getuid() || (info.st_mode & (S_IRWXG | S_IRWXO)) != 0) {
        ::close(fd);
        error = QStringLiteral(
                    "the password file %1 may be read by others; make it yours alone "
                    "(chmod 600) and try again")
                    .arg(path);
        return false;
    }
    QFile file;
    if (!file.open(fd, QIODevice::ReadOnly, QFileDevice::AutoCloseHandle)) {
        ::close(fd);
        error = QStringLiteral("the password file %1 cannot be read (%2)")
                    .arg(path, file.errorString());
        return false;
    }
    password = QString::fromUtf8(file.readLine(4096)).remove(u'\n').remove(u'\r');
    return true;
}

}  // namespace corvane
