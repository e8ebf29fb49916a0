#include "davxml.h"

#include <QUrl>
#include <QXmlStreamReader>
#include <QXmlStreamWriter>

namespace corvane::davXml {
namespace {

constexpr auto kDav = "DAV:";
constexpr auto kCardDav = "urn:ietf:params:xml:ns:carddav";
constexpr auto kCalServer = "http://calendarserver.org/ns/";

bool is(const QXmlStreamReader& xml, const char* ns, const char* name) {
    return xml.namespaceUri() == QLatin1String(ns) && xml.name() == QLatin1String(name);
}

int statusOf(const QString& line) {
    // "HTTP/1.1 404 Not Found"
    const QStringList parts = line.split(u' ', Qt::SkipEmptyParts);
    return parts.size() >= 2 ? parts[1].toInt() : 0;
}

// The text of the element the reader stands on, its hrefs gathered where it
// holds them (principal, home set).
QString hrefInside(QXmlStreamReader& xml) {
    QString href;
    const auto depth = xml.name().toString();
    while (!xml.atEnd()) {
        xml.readNext();
        if (xml.isStartElement() && is(xml, kDav, "href")) {
            href = QUrl::fromPercentEncoding(xml.readElementText().trimmed().toUtf8());
        } else if (xml.isEndElement() && xml.name() == depth) {
            break;
        }
    }
    return href;
}

QByteArray document(const std::function<void(QXmlStreamWriter&)>& body) {
    QByteArray out;
    QXmlStreamWriter xml(&out);
    xml.writeStartDocument();
    xml.writeNamespace(QString::fromLatin1(kDav), QStringLiteral("d"));
    xml.writeNamespace(QString::fromLatin1(kCardDav), QStringLiteral("c"));
    xml.writeNamespace(QString::fromLatin1(kCalServer), QStringLiteral("cs"));
    body(xml);
    xml.writeEndDocument();
    return out;
}

// A PROPFIND asking for `props`, each a namespace and a name.
QByteArray propfindOf(std::initializer_list<std::pair<const char*, const char*>> props) {
    return document([&](QXmlStreamWriter& xml) {
        xml.writeStartElement(QString::fromLatin1(kDav), QStringLiteral("propfind"));
        xml.writeStartElement(QString::fromLatin1(kDav), QStringLiteral("prop"));
        for (const auto& [ns, name] : props) {
            xml.writeEmptyElement(QString::fromLatin1(ns), QString::fromLatin1(name));
        }
        xml.writeEndElement();
        xml.writeEndElement();
    });
}

}  // namespace

Multistatus parse(const QByteArray& text) {
    Multistatus result;
    QXmlStreamReader xml(text);
    Item item;
    bool inResponse = false;
    bool inPropstat = false;
    int propstatStatus = 200;
    Item props;
    while (!xml.atEnd()) {
        xml.readNext();
        if (xml.isStartElement()) {
            if (is(xml, kDav, "multistatus")) {
                result.valid = true;
            } else if (is(xml, kDav, "response")) {
                inResponse = true;
                item = Item{};
            } else if (!inResponse && is(xml, kDav, "sync-token")) {
                result.syncToken = xml.readElementText().trimmed().toUtf8();
            } else if (inResponse && is(xml, kDav, "propstat")) {
                props = Item{};
                propstatStatus = 200;
                inPropstat = true;
            } else if (inResponse && is(xml, kDav, "href") && item.href.isEmpty()) {
                item.href = QUrl::fromPercentEncoding(xml.readElementText().trimmed().toUtf8());
            } else if (inResponse && is(xml, kDav, "status")) {
                // A propstat's status tells of its properties; the response's
                // own, of the resource (404: removed).
                (inPropstat ? propstatStatus : item.status) = statusOf(xml.readElementText());
            } else if (is(xml, kDav, "getetag")) {
                props.etag = xml.readElementText().trimmed().toUtf8();
            } else if (is(xml, kCardDav, "address-data")) {
                props.addressData = xml.readElementText().toUtf8();
            } else if (is(xml, kDav, "displayname")) {
                props.displayName = xml.readElementText().trimmed();
            } else if (is(xml, kCardDav, "addressbook")) {
                props.isAddressBook = true;
            } else if (is(xml, kDav, "current-user-principal")) {
                props.principal = hrefInside(xml);
            } else if (is(xml, kCardDav, "addressbook-home-set")) {
                const QString home = hrefInside(xml);
                if (!home.isEmpty()) {
                    props.homeSets << home;
                }
            } else if (is(xml, kCalServer, "getctag")) {
                props.ctag = xml.readElementText().trimmed().toUtf8();
            } else if (inResponse && is(xml, kDav, "sync-token")) {
                props.syncToken = xml.readElementText().trimmed().toUtf8();
            }
        } else if (xml.isEndElement()) {
            if (is(xml, kDav, "propstat")) {
                inPropstat = false;
            }
            if (is(xml, kDav, "propstat") && propstatStatus / 100 == 2) {
                // Only the properties the server has (200) count.
                item.etag = props.etag.isEmpty() ? item.etag : props.etag;
                item.addressData =
                    props.addressData.isEmpty() ? item.addressData : props.addressData;
                item.displayName =
                    props.displayName.isEmpty() ? item.displayName : props.displayName;
                item.isAddressBook = item.isAddressBook || props.isAddressBook;
                item.principal = props.principal.isEmpty() ? item.principal : props.principal;
                item.homeSets += props.homeSets;
                item.ctag = props.ctag.isEmpty() ? item.ctag : props.ctag;
                item.syncToken = props.syncToken.isEmpty() ? item.syncToken : props.syncToken;
            } else if (is(xml, kDav, "response")) {
                inResponse = false;
                result.items.push_back(item);
            }
        }
    }
    if (xml.hasError()) {
        result.valid = false;
    }
    return result;
}

QByteArray propfindDiscovery() {
    return propfindOf({{kDav, "current-user-principal"},
                       {kCardDav, "addressbook-home-set"},
                       {kDav, "resourcetype"},
                       {kDav, "displayname"}});
}

QByteArray propfindKind() {
    return propfindOf({{kDav, "resourcetype"}, {kDav, "displayname"}});
}

QByteArray propfindEtags() {
    return propfindOf(
        {{kDav, "getetag"}, {kDav, "resourcetype"}, {kCalServer, "getctag"}, {kDav, "sync-token"}});
}

QByteArray syncCollection(const QByteArray& token) {
    return document([&](QXmlStreamWriter& xml) {
        xml.writeStartElement(QString::fromLatin1(kDav), QStringLiteral("sync-collection"));
        xml.writeTextElement(QString::fromLatin1(kDav), QStringLiteral("sync-token"),
                             QString::fromUtf8(token));
        xml.writeTextElement(QString::fromLatin1(kDav), QStringLiteral("sync-level"),
                             QStringLiteral("1"));
        xml.writeStartElement(QString::fromLatin1(kDav), QStringLiteral("prop"));
        xml.writeEmptyElement(QString::fromLatin1(kDav), QStringLiteral("getetag"));
        xml.writeEndElement();
        xml.writeEndElement();
    });
}

QByteArray multiget(const QStringList& hrefs) {
    return document([&](QXmlStreamWriter& xml) {
        xml.writeStartElement(QString::fromLatin1(kCardDav),
                              QStringLiteral("addressbook-multiget"));
        xml.writeStartElement(QString::fromLatin1(kDav), QStringLiteral("prop"));
        xml.writeEmptyElement(QString::fromLatin1(kDav), QStringLiteral("getetag"));
        xml.writeEmptyElement(QString::fromLatin1(kCardDav), QStringLiteral("address-data"));
        xml.writeEndElement();
        for (const QString& href : hrefs) {
            xml.writeTextElement(QString::fromLatin1(kDav), QStringLiteral("href"),
                                 QString::fromUtf8(QUrl::toPercentEncoding(href, "/")));
        }
        xml.writeEndElement();
    });
}

}  // namespace corvane::davXml
