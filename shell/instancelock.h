#pragma once

// Only one copy of Corvane's windows runs at a time for a user's session:
// the lock is a file in the user's runtime folder. It does not guard the
// data: another login, or a terminal without the runtime folder, has
// another one; the book's own lock (store/booklock.h) does that. A lock
// left behind by a copy that crashed is noticed (its process is gone) and
// taken over.

#include <QLockFile>
#include <QString>
#include <memory>

#include "booklock.h"

namespace corvane {

class Platform;

class InstanceLock {
  public:
    // The user's runtime folder.
    InstanceLock();
    // `runtimeFolder` (empty: there is none).
    explicit InstanceLock(QString runtimeFolder);
    ~InstanceLock();

    enum class Result {
        Acquired,        // this copy holds the lock (see path())
        HeldByAnother,   // another running copy holds it: this one must not run
        NoLockPossible,  // the folder cannot hold a lock: may run (the book's lock guards the data)
    };
    Result tryAcquire();

    // The lock file held, or tried.
    QString path() const { return m_path; }

  private:
    QString m_runtimeFolder;
    QString m_path;
    std::unique_ptr<QLockFile> m_lock;
};

// Tells the user that no other process can be kept from writing the book
// while this one does (after BookLock::Result::Unguarded).
void warnRunningUnlocked(Platform& platform, const BookLock& lock);

// Tells the user that another process writes the book in `folder`, so the
// windows do not start.
void refuseSecondWriter(Platform& platform, const BookLock& lock);

}  // namespace corvane
