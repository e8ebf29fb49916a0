#pragma once

// A real CardDAV server for the tests: Debian's Radicale, on 127.0.0.1 at a
// free port, over a temporary folder, with one user ("ann", password
// "secret"), started once for the test program (or the benchmarks) and
// stopped at its end.

#include <QDir>
#include <QProcess>
#include <QTcpServer>
#include <QTcpSocket>
#include <QTemporaryDir>
#include <QThread>
#include <QUrl>
#include <fstream>
#include <map>

#include "davclient.h"
#include "davxml.h"

namespace corvane::test {

class RadicaleServer {
  public:
    static RadicaleServer& shared() {
        static RadicaleServer server;
        return server;
    }
    bool running() const { return m_process.state() == QProcess::Running && m_ready; }
    QString why() const {
        return QStringLiteral("state %1, exit %2, error %3, ready %4")
            .arg(m_process.state())
            .arg(m_process.exitCode())
            .arg(m_process.errorString())
            .arg(m_ready);
    }
    QUrl url(const QString& path) const {
        return QUrl(QStringLiteral("http://127.0.0.1:%1%2").arg(m_port).arg(path));
    }
    // A new, empty address book of ann's.
    QUrl newAddressBook() {
        DavClient client(QStringLiteral("ann"), QStringLiteral("secret"));
        client.send({"MKCOL", url(QStringLiteral("/ann/")), {}, {}});
        const QUrl book = url(QStringLiteral("/ann/book%1/").arg(++m_books));
        client.send({"MKCOL",
                     book,
                     {},
                     "<?xml version=\"1.0\"?><mkcol xmlns=\"DAV:\" "
                     "xmlns:C=\"urn:ietf:params:xml:ns:carddav\"><set><prop><resourcetype>"
                     "<collection/><C:addressbook/></resourcetype><displayname>Book</displayname>"
                     "</prop></set></mkcol>"});
        return book;
    }
    ~RadicaleServer() {
        m_process.kill();
        m_process.waitForFinished(5000);
    }

  private:
    RadicaleServer() {
        {
            QTcpServer probe;
            probe.listen(QHostAddress::LocalHost, 0);
            m_port = probe.serverPort();
        }
        std::ofstream(file("users")) << "ann:secret\n";
        std::ofstream(file("rights")) << "[all]\nuser: .*\ncollection: .*\npermissions: RrWw\n";
        m_process.setProcessChannelMode(QProcess::ForwardedErrorChannel);
        m_process.start(
            QStringLiteral("/usr/bin/radicale"),
            {QStringLiteral("-C"), QStringLiteral("/dev/null"), QStringLiteral("--server-hosts"),
             QStringLiteral("127.0.0.1:%1").arg(m_port),
             QStringLiteral("--storage-filesystem-folder"), QString::fromStdString(file("store")),
             QStringLiteral("--auth-type"), QStringLiteral("htpasswd"),
             QStringLiteral("--auth-htpasswd-filename"), QString::fromStdString(file("users")),
             QStringLiteral("--auth-htpasswd-encryption"), QStringLiteral("plain"),
             QStringLiteral("--rights-type"), QStringLiteral("from_file"),
             QStringLiteral("--rights-file"), QString::fromStdString(file("rights")),
             QStringLiteral("--logging-level"), QStringLiteral("error")});
        m_process.waitForStarted(5000);
        // Ready once it takes connections: at most ten seconds.
        for (int i = 0; i < 200 && m_process.state() != QProcess::NotRunning; ++i) {
            QTcpSocket socket;
            socket.connectToHost(QHostAddress::LocalHost, m_port);
            if (socket.waitForConnected(50)) {
                m_ready = true;
                break;
            }
            QThread::msleep(50);
        }
    }
    std::string file(const char* name) const {
        return QDir(m_dir.path()).filePath(QString::fromLatin1(name)).toStdString();
    }
    QTemporaryDir m_dir;
    QProcess m_process;
    quint16 m_port = 0;
    int m_books = 0;
    bool m_ready = false;
};

// Every card of the address book `book`, by its href.
inline std::map<QString, QByteArray> cardsOf(DavClient& client, const QUrl& book) {
    const DavResponse listing =
        client.send({"PROPFIND", book, {{"Depth", "1"}}, davXml::propfindEtags()});
    QStringList hrefs;
    for (const davXml::Item& item : davXml::parse(listing.body).items) {
        if (!item.href.endsWith(u'/')) {
            hrefs << item.href;
        }
    }
    std::map<QString, QByteArray> out;
    if (hrefs.isEmpty()) {
        return out;
    }
    const DavResponse cards =
        client.send({"REPORT", book, {{"Depth", "1"}}, davXml::multiget(hrefs)});
    for (const davXml::Item& item : davXml::parse(cards.body).items) {
        out[item.href] = item.addressData;
    }
    return out;
}

}  // namespace corvane::test
