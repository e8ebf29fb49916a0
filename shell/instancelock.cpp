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

InstanceLock::InstanceLock() : InstanceLock(defaultRuntimeFolder()) {}

InstanceLock::InstanceLock(QString runtimeFolder) : m_runtimeFolder(std::move(runtimeFolder)) {}

InstanceLock::~InstanceLock() = default;

InstanceLock::Result InstanceLock::tryAcquire() {
    if (m_runtimeFolder.isEmpty()) {
        return Result::NoLockPossible;
    }
    m_path = m_runtimeFolder + QStringLiteral("/Corvane.lock");
    QDir().mkpath(m_runtimeFolder);
    m_lock = std::make_unique<QLockFile>(m_path);
    // Only a lock whose process is gone is stale; a copy that has been
    // running for days still holds its lock.
    m_lock->setStaleLockTime(0);
    if (m_lock->tryLock(0)) {
        return Result::Acquired;
    }
    const bool held = m_lock->error() == QLockFile::LockFailedError;
    m_lock.reset();
    return held ? Result::HeldByAnother : Result::NoLockPossible;
}

void warnRunningUnlocked(Platform& platform, const BookLock& lock) {
    platform.messageBox(
        nullptr,
        {QStringLiteral("Please take note..."),
         QStringLiteral("Corvane could not make sure that it is the only program changing\n"
                        "the address book in\n") +
             QString::fromStdString(lock.folder()) + QStringLiteral("\n\n(") +
             QString::fromStdString(lock.reason()) +
             QStringLiteral(")\n\nPlease do not start Corvane or an import there while this copy "
                            "runs;\ntwo programs changing one data file can lose entries."),
         MsgIcon::Exclamation, MsgButtons::Ok, 1});
}

void refuseSecondWriter(Platform& platform, const BookLock& lock) {
    platform.messageBox(
        nullptr, {QStringLiteral("Terminating..."),
                  QStringLiteral("Another copy of Corvane is changing the address book in\n") +
                      QString::fromStdString(lock.folder()) +
                      QStringLiteral("\n(in another window, terminal or login).\n\n"
                                     "Close it, or let it finish, and start Corvane again."),
                  MsgIcon::Critical, MsgButtons::Ok, 1});
}

}  // namespace corvane
