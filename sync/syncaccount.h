#pragma once

// The CardDAV account of the book: found from a server or account address,
// kept in Corvane's settings (the collection's URL and the user name, never
// the password), and the password read from a file only its owner can read.

#include <QString>
#include <QStringList>
#include <QUrl>

namespace corvane {

class DavClient;

struct SyncAccount {
    QUrl collection;
    QString user;
    bool isSet() const { return collection.isValid() && !collection.isEmpty(); }
};

// The account in the settings store (group "Sync"); empty when none.
SyncAccount readSyncAccount();
bool writeSyncAccount(const SyncAccount& account);

// The address book at `start`: the collection itself when it is one, else
// the one named `name` (or the first) of the account's home, found through
// /.well-known/carddav, current-user-principal and addressbook-home-set.
// `found` lists every address book's name and URL. Empty, with `error`
// set, when there is none or the server refused.
QUrl discoverAddressBook(DavClient& client, const QUrl& start, const QString& name,
                         QStringList& found, QString& error);

// The password in `path`, its first line: refused unless the file is the
// user's own and no one else may read it.
bool readPasswordFile(const QString& path, QString& password, QString& error);

}  // namespace corvane
