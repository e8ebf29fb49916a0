#pragma once

// A CardDAV server that says what the test tells it to, on 127.0.0.1 at a
// free port: for answers no real server gives. One request a connection;
// every request is kept, so that a test can check where none went.

#include <QTcpServer>
#include <QTcpSocket>
#include <functional>

namespace corvane::test {

struct FakeAnswer {
    int status = 207;
    QByteArray body;
    QByteArray etag;  // sent as the ETag header when set
};

class FakeDavServer {
  public:
    using Answer = std::function<FakeAnswer(const QByteArray& method, const QString& path,
                                            const QByteArray& body)>;
    explicit FakeDavServer(Answer answer) : m_answer(std::move(answer)) {
        m_server.listen(QHostAddress::LocalHost);
        QObject::connect(&m_server, &QTcpServer::newConnection, [this] {
            while (QTcpSocket* socket = m_server.nextPendingConnection()) {
                QObject::connect(socket, &QTcpSocket::readyRead, socket,
                                 [this, socket] { serve(socket); });
            }
        });
    }
    QUrl url(const QString& path) const {
        return QUrl(QStringLiteral("http://127.0.0.1:%1%2").arg(m_server.serverPort()).arg(path));
    }
    void setAnswer(Answer answer) { m_answer = std::move(answer); }
    // "METHOD path" of every request so far.
    const QStringList& requests() const { return m_requests; }

  private:
    void serve(QTcpSocket* socket) {
        QByteArray& got = m_pending[socket];
        got += socket->readAll();
        const qsizetype headEnd = got.indexOf("\r\n\r\n");
        if (headEnd < 0) {
            return;
        }
        const QByteArray head = got.left(headEnd);
        qsizetype length = 0;
        for (const QByteArray& line : head.split('\n')) {
            if (line.toLower().startsWith("content-length:")) {
                length = line.mid(15).trimmed().toLongLong();
            }
        }
        if (got.size() < headEnd + 4 + length) {
            return;
        }
        const QList<QByteArray> words = head.left(head.indexOf('\r')).split(' ');
        const QString path = QUrl(QString::fromUtf8(words.value(1))).path();
        m_requests << QString::fromUtf8(words.value(0)) + u' ' + path;
        const FakeAnswer answer = m_answer(words.value(0), path, got.mid(headEnd + 4, length));
        socket->write("HTTP/1.1 " + QByteArray::number(answer.status) +
                      " Answer\r\nContent-Type: application/xml; charset=utf-8\r\n"
                      "Content-Length: " +
                      QByteArray::number(answer.body.size()) +
                      (answer.etag.isEmpty() ? QByteArray() : "\r\nETag: " + answer.etag) +
                      "\r\nConnection: close\r\n\r\n" + answer.body);
        socket->disconnectFromHost();
        m_pending.remove(socket);
    }

    QTcpServer m_server;
    Answer m_answer;
    QStringList m_requests;
    QHash<QTcpSocket*, QByteArray> m_pending;
};

// A multistatus of (href, ETag, card) responses; an empty card gives none.
inline QByteArray multistatus(const QList<std::tuple<QString, QByteArray, QByteArray>>& items) {
    QByteArray xml =
        "<?xml version=\"1.0\"?><d:multistatus xmlns:d=\"DAV:\" "
        "xmlns:c=\"urn:ietf:params:xml:ns:carddav\">";
    for (const auto& [href, etag, card] : items) {
        xml += "<d:response><d:href>" + href.toUtf8().toPercentEncoding("/:") +
               "</d:href><d:propstat><d:prop><d:getetag>" + etag + "</d:getetag>" +
               (card.isEmpty() ? QByteArray() : "<c:address-data>" + card + "</c:address-data>") +
               "</d:prop><d:status>HTTP/1.1 200 OK</d:status></d:propstat></d:response>";
    }
    return xml + "</d:multistatus>";
}

}  // namespace corvane::test
