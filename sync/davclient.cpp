#include "davclient.h"

#include <QEventLoop>
#include <QHostAddress>
#include <QNetworkReply>
#include <QNetworkRequest>
#include <QTimer>
#include <functional>

namespace corvane {
namespace {

// A request the server leaves without a byte this long is given up ...
constexpr int kTimeoutMs = 30000;
// ... and one whose answer takes this long in all (a byte now and then
// keeps the first limit from firing), or grows this large.
constexpr int kDeadlineMs = 10 * 60 * 1000;
constexpr qint64 kMaxAnswerBytes = 256LL * 1024 * 1024;
// Why our own abort() ended a reply.
const char* const kCutShort = "corvaneCutShort";
// Requests in flight at once: Qt opens up to six connections to a host.
constexpr std::size_t kInFlight = 6;

bool isLoopback(const QString& host) {
    if (host.compare(QStringLiteral("localhost"), Qt::CaseInsensitive) == 0) {
        return true;
    }
    const QHostAddress address(host);
    return !address.isNull() && address.isLoopback();
}

}  // namespace

QString failureOf(const DavResponse& response, const QUrl& url, const QString& what) {
    switch (response.status) {
        case 0:
            return QStringLiteral("the server could not be reached (%1)").arg(response.error);
        case 401:
        case 403:
            return QStringLiteral("the server refused the user name or password (HTTP %1)")
                .arg(response.status);
        case 404:
            return QStringLiteral("there is no address book at %1 (HTTP 404)").arg(url.toString());
        default:
            return QStringLiteral("the server answered %1 at %2 with HTTP %3")
                .arg(what, url.toString())
                .arg(response.status);
    }
}

DavClient::DavClient(QString user, QString password) {
    m_network.setRedirectPolicy(QNetworkRequest::SameOriginRedirectPolicy);
    m_network.setTransferTimeout(kTimeoutMs);
    if (!user.isEmpty() || !password.isEmpty()) {
        m_authorization = "Basic " + (user + u':' + password).toUtf8().toBase64();
    }
}

QString DavClient::refusalOf(const QUrl& url) {
    if (!url.isValid() || url.host().isEmpty()) {
        return QStringLiteral("'%1' is no web address").arg(url.toString());
    }
    if (url.scheme() == u"https") {
        return {};
    }
    if (url.scheme() == u"http" && isLoopback(url.host())) {
        return {};
    }
    if (url.scheme() == u"http") {
        return QStringLiteral(
                   "plain http is used only to this computer (127.0.0.1); use https "
                   "for %1")
            .arg(url.host());
    }
    return QStringLiteral("'%1' is no http or https address").arg(url.toString());
}

QNetworkReply* DavClient::start(const DavRequest& request) {
    QNetworkRequest http(request.url);
    for (const auto& [name, value] : request.headers) {
        http.setRawHeader(name, value);
    }
    // Credentials go only where refusalOf allows (https, or loopback http),
    // and a redirect never leaves the origin, so they never leak.
    if (!m_authorization.isEmpty() && refusalOf(request.url).isEmpty()) {
        http.setRawHeader("Authorization", m_authorization);
    }
    if (!request.body.isEmpty()) {
        http.setHeader(QNetworkRequest::ContentTypeHeader,
                       request.method == "PUT" ? QByteArray("text/vcard; charset=utf-8")
                                               : QByteArray("application/xml; charset=utf-8"));
    }
    ++m_sent;
    QNetworkReply* reply = m_network.sendCustomRequest(http, request.method, request.body);
    QObject::connect(reply, &QNetworkReply::downloadProgress, reply, [reply](qint64 got, qint64) {
        if (got > kMaxAnswerBytes && reply->isRunning()) {
            reply->setProperty(kCutShort, QStringLiteral("the answer was larger than 256 MB"));
            reply->abort();
        }
    });
    QTimer::singleShot(kDeadlineMs, reply, [reply] {
        if (reply->isRunning()) {
            reply->setProperty(kCutShort,
                               QStringLiteral("the server took more than 10 minutes to answer"));
            reply->abort();
        }
    });
    return reply;
}

DavResponse DavClient::finish(QNetworkReply* reply) const {
    DavResponse response;
    response.status = reply->attribute(QNetworkRequest::HttpStatusCodeAttribute).toInt();
    if (reply->isOpen()) {
        response.body = reply->readAll();
    }
    response.etag = reply->rawHeader("ETag");
    response.url = reply->url();
    if (reply->error() == QNetworkReply::OperationCanceledError) {
        response.status = 0;  // cut short: what came is not the whole answer
    }
    if (reply->property(kCutShort).isValid()) {
        response.error = reply->property(kCutShort).toString();
    } else if (response.status == 0 && m_cancelled) {
        response.error = QStringLiteral("the sync was stopped");
    } else if (response.status == 0 && reply->error() == QNetworkReply::OperationCanceledError) {
        response.error =
            QStringLiteral("the server sent nothing for %1 seconds").arg(kTimeoutMs / 1000);
    } else if (response.status == 0) {
        response.error = reply->errorString();
    }
    reply->deleteLater();
    return response;
}

void DavClient::cancel() {
    m_cancelled = true;
    // The replies belong to the network object's thread: aborted there.
    QMetaObject::invokeMethod(
        &m_network,
        [this] {
            for (QNetworkReply* reply : m_network.findChildren<QNetworkReply*>()) {
                reply->abort();
            }
        },
        Qt::QueuedConnection);
}

DavResponse DavClient::send(const DavRequest& request) {
    return sendAll({request}).front();
}

DavResponse DavClient::sendOne(const DavRequest& request) {
    if (const QString refusal = refusalOf(request.url); !refusal.isEmpty()) {
        DavResponse refused;
        refused.error = refusal;
        return refused;
    }
    QNetworkReply* reply = start(request);
    QEventLoop loop;
    QObject::connect(reply, &QNetworkReply::finished, &loop, &QEventLoop::quit);
    if (!reply->isFinished()) {
        loop.exec();
    }
    return finish(reply);
}

std::vector<DavResponse> DavClient::sendAll(const std::vector<DavRequest>& requests) {
    std::vector<DavResponse> responses(requests.size());
    std::size_t next = 0;
    std::size_t done = 0;
    QEventLoop loop;
    std::size_t running = 0;
    std::function<void()> startMore;
    startMore = [&] {
        while (running < kInFlight && next < requests.size()) {
            const std::size_t index = next++;
            if (const QString refusal = refusalOf(requests[index].url); !refusal.isEmpty()) {
                responses[index].error = refusal;
                ++done;
                continue;
            }
            if (m_cancelled) {
                responses[index].error = QStringLiteral("the sync was stopped");
                ++done;
                continue;
            }
            if (m_cutAt > 0 && m_sent + 1 >= m_cutAt) {
                // A cut connection: sent first, or not at all; no answer.
                if (m_cutAfterSending && m_sent + 1 == m_cutAt) {
                    (void)sendOne(requests[index]);
                } else {
                    ++m_sent;
                }
                responses[index].error = QStringLiteral("the connection was cut");
                ++done;
                continue;
            }
            QNetworkReply* reply = start(requests[index]);
            ++running;
            QObject::connect(reply, &QNetworkReply::finished, &loop, [&, reply, index] {
                responses[index] = finish(reply);
                --running;
                ++done;
                startMore();
                if (done == requests.size()) {
                    loop.quit();
                }
            });
        }
    };
    startMore();
    if (done < requests.size()) {
        loop.exec();
    }
    return responses;
}

}  // namespace corvane
