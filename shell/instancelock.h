#pragma once

// Only one copy of Corvane runs at a time, so that one process owns the data
// file. The lock is a file in the user's runtime folder; where that folder
// cannot hold it, a lock beside the data file does the same. A lock left
// behind by a copy that crashed is noticed (its process is gone) and taken
// over.

#include <QLockFile>
#include <QString>
#include <memory>

namespace corvane {

class Platform;

class InstanceLock {
  public:
    // The user's runtime folder and the current folder, where the data file is.
    InstanceLock();
    // `runtimeFolder` (empty: there is none) and `dataFolder`, where the data file lives.
    InstanceLock(QString runtimeFolder, QString dataFolder);
    ~InstanceLock();

    enum class Result {
        Acquired,        // this copy holds the lock (see path())
        HeldByAnother,   // another running copy holds it: this one must not run
        NoLockPossible,  // neither folder can hold a lock: may run, unguarded
    };
    Result tryAcquire();

    // The lock file held, or the last one tried.
    QString path() const { return m_path; }
    QString runtimeFolder() const { return m_runtimeFolder; }
    QString dataFolder() const { return m_dataFolder; }

  private:
    QString m_runtimeFolder;
    QString m_dataFolder;
    QString m_path;
    std::unique_ptr<QLockFile> m_lock;
};

// Tells the user that no copy of Corvane can be kept from running beside
// this one (after NoLockPossible).
void warnRunningUnlocked(Platform& platform, const InstanceLock& lock);

}  // namespace corvane
