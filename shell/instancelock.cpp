#include "instancelock.h"

#include <QDir>
#include <QStandardPaths>

#include "platform.h"

namespace corvane {
namespace {

QString defaultRuntimeFolder() {
    QString folder = QStandardPaths::writableLocation(QStandardPaths::RuntimeLocation);
    if (folder.isEmpty()) {
        folder = QDir::tempPath();
    }
    return folder;
}

}  // namespace

InstanceLock::InstanceLock() : InstanceLock(defaultRuntimeFolder(), QDir::currentPath()) {}

InstanceLock::InstanceLock(QString runtimeFolder, QString dataFolder)
    : m_runtimeFolder(std::move(runtimeFolder)), m_dataFolder(std::move(dataFolder)) {}

InstanceLock::~InstanceLock() = default;

InstanceLock::Result InstanceLock::tryAcquire() {
    const QString candidates[] = {
        m_runtimeFolder.isEmpty() ? QString() : m_runtimeFolder + QStringLiteral("/Corvane.lock"),
        m_dataFolder + QStringLiteral("/Corvane.Data.lock"),
    };
    for (const QString& candidate : candidates) {
        if (candidate.isEmpty()) {
            continue;
        }
        QDir().mkpath(QFileInfo(candidate).path());
        m_path = candidate;
        m_lock = std::make_unique<QLockFile>(candidate);
        // Only a lock whose process is gone is stale; a copy that has been
        // running for days still holds its lock.
        m_lock->setStaleLockTime(0);
        if (m_lock->tryLock(0)) {
            return Result::Acquired;
        }
        if (m_lock->error() == QLockFile::LockFailedError) {
            return Result::HeldByAnother;
        }
        // This folder cannot hold a lock: try the next one.
    }
    m_lock.reset();
    return Result::NoLockPossible;
}

void warnRunningUnlocked(Platform& platform, const InstanceLock& lock) {
    platform.messageBox(
        nullptr,
        {QStringLiteral("Please take note..."),
         QStringLiteral("Corvane could not make sure that it is the only copy running:\n"
                        "no lock file could be made in\n") +
             lock.runtimeFolder() + QStringLiteral("\nor in\n") + lock.dataFolder() +
             QStringLiteral("\n\nPlease do not start Corvane a second time while this copy runs;\n"
                            "two copies changing one data file can lose entries."),
         MsgIcon::Exclamation, MsgButtons::Ok, 1});
}

}  // namespace corvane
