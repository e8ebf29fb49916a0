#pragma once

// The WebDAV and CardDAV XML a sync speaks: the request bodies, and the
// multistatus answers read into one item per resource.

#include <QByteArray>
#include <QString>
#include <QStringList>
#include <vector>

namespace corvane::davXml {

struct Item {
    QString href;            // decoded path, as the server names the resource
    int status = 200;        // the resource's own status (404: removed)
    QByteArray etag;         // getetag, as sent
    QByteArray addressData;  // the card, from an addressbook-multiget
    QString displayName;
    bool isAddressBook = false;
    QStringList homeSets;  // addressbook-home-set hrefs
    QString principal;     // current-user-principal href
    QByteArray ctag;       // getctag (calendarserver)
    QByteArray syncToken;  // the collection's sync-token property
};

struct Multistatus {
    std::vector<Item> items;
    QByteArray syncToken;  // a sync-collection answer's new token
    bool valid = false;    // an XML multistatus was read
};

Multistatus parse(const QByteArray& xml);

// PROPFIND bodies.
QByteArray propfindDiscovery();  // principal, home set, resource type, name
QByteArray propfindKind();       // resource type and name only
QByteArray propfindEtags();      // getetag, and the collection's ctag and sync-token
// REPORT bodies.
QByteArray syncCollection(const QByteArray& token);
QByteArray multiget(const QStringList& hrefs);

}  // namespace corvane::davXml
