#include "secretstore.h"

#include <qt6keychain/keychain.h>
#include <QEventLoop>

namespace corvane {
namespace {

const QString kService = QStringLiteral("Corvane");

// Runs a secret-store job for `account` to its end; the store answers at
// once when there is none (no D-Bus session, no service).
bool runToEnd(QKeychain::Job& job, const SyncAccount& account, QString& why) {
    job.setAutoDelete(false);
    job.setKey(account.user + u'@' + account.collection.toString());
    QEventLoop loop;
    QObject::connect(&job, &QKeychain::Job::finished, &loop, &QEventLoop::quit);
    job.start();
    loop.exec();
    if (job.error() != QKeychain::NoError) {
        why = job.errorString();
        return false;
    }
    return true;
}

}  // namespace

QString storedSyncPassword(const SyncAccount& account, QString& why) {
    QKeychain::ReadPasswordJob job(kService);
    return runToEnd(job, account, why) ? job.textData() : QString();
}

bool storeSyncPassword(const SyncAccount& account, const QString& password, QString& why) {
    QKeychain::WritePasswordJob job(kService);
    job.setTextData(password);
    return runToEnd(job, account, why);
}

}  // namespace corvane
