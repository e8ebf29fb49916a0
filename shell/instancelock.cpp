#include "instancelock.h"

#include <QDir>
#include <QStandardPaths>

namespace corvane {
namespace {

QString lockPath() {
    QString folder = QStandardPaths::writableLocation(QStandardPaths::RuntimeLocation);
    if (folder.isEmpty()) {
        folder = QDir::tempPath();
    }
    QDir().mkpath(folder);
    return folder + QStringLiteral("/Corvane.lock");
}

}  // namespace

InstanceLock::InstanceLock() : m_path(lockPath()), m_lock(m_path) {
    // Only a lock whose process is gone is stale; a copy that has been
    // running for days still holds its lock.
    m_lock.setStaleLockTime(0);
}

bool InstanceLock::tryAcquire() {
    if (m_lock.tryLock(0)) {
        return true;
    }
    // Only another live copy is a reason to refuse; a folder we cannot
    // write to must not lock the user out of their address book.
    return m_lock.error() != QLockFile::LockFailedError;
}

}  // namespace corvane
