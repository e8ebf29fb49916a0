#pragma once

// HTTP for CardDAV: one request at a time or many in flight over kept-alive
// connections, each waited for with its own deadline. Security is decided
// here, once: HTTPS with the system's certificate checks (no way to skip
// them), plain http only to this machine's loopback address, credentials
// never sent over plain http elsewhere, and redirects followed only to the
// same scheme, host and port.

#include <QByteArray>
#include <QList>
#include <QNetworkAccessManager>
#include <QString>
#include <QUrl>
#include <atomic>
#include <utility>
#include <vector>

namespace corvane {

struct DavRequest {
    QByteArray method;  // GET, PUT, DELETE, PROPFIND, REPORT
    QUrl url;
    QList<std::pair<QByteArray, QByteArray>> headers;
    QByteArray body;
};

struct DavResponse {
    int status = 0;  // HTTP status; 0 when no answer came
    QString error;   // why no answer came (network gone, refused, timed out)
    QByteArray body;
    QByteArray etag;  // the ETag header, as sent
    QUrl url;         // where the answer came from, after redirects
};

// Why a request got no good answer, in the words the user reads: `what`
// names what was asked for (for example "the list of cards"), `url` where.
QString failureOf(const DavResponse& response, const QUrl& url, const QString& what);

class DavClient {
  public:
    DavClient(QString user, QString password);
    // Why `url` may not be used, or empty when it may: only https, or http
    // to a loopback address.
    static QString refusalOf(const QUrl& url);
    DavResponse send(const DavRequest& request);
    // Sends every request, several at a time, and returns the answers in the
    // same order.
    std::vector<DavResponse> sendAll(const std::vector<DavRequest>& requests);
    int requestsSent() const { return m_sent; }
    // Cuts short what is in flight and answers every later request with no
    // answer. May be called from any thread.
    void cancel();

    // For the tests: the connection is cut at request `number` (counted
    // from 1 over the client's life), before the request leaves or, with
    // `afterSending`, once the server has done it but before its answer
    // arrives; that request and every later one get no answer.
    void cutAt(int number, bool afterSending) {
        m_cutAt = number;
        m_cutAfterSending = afterSending;
    }

  private:
    QNetworkReply* start(const DavRequest& request);
    DavResponse sendOne(const DavRequest& request);
    DavResponse finish(QNetworkReply* reply) const;

    QNetworkAccessManager m_network;
    QByteArray m_authorization;
    int m_sent = 0;
    int m_cutAt = 0;
    bool m_cutAfterSending = false;
    std::atomic<bool> m_cancelled{false};
};

}  // namespace corvane
