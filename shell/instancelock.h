#pragma once

// Only one copy of Corvane runs at a time, so that one process owns the data
// file. The lock is a file in the user's runtime folder; a lock left behind
// by a copy that crashed is noticed (its process is gone) and taken over.

#include <QLockFile>
#include <QString>

namespace corvane {

class InstanceLock {
  public:
    InstanceLock();

    // True when this copy may run: it holds the lock now. False only when
    // another running copy holds it.
    bool tryAcquire();

    QString path() const { return m_path; }

  private:
    QString m_path;
    QLockFile m_lock;
};

}  // namespace corvane
