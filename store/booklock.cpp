#include "booklock.h"

#include <fcntl.h>
#include <sys/file.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>

#include "datafile.h"
#include "storestatus.h"

namespace corvane {
namespace {

// Opens `path` to lock it: only a regular file, never through a link, and
// never waiting on a pipe. -1 with errno set otherwise.
int openToLock(const std::string& path, bool create) {
    int fd = ::open(path.c_str(),
                    O_RDWR | O_NOFOLLOW | O_NONBLOCK | O_CLOEXEC | (create ? O_CREAT : 0), 0644);
    if (fd < 0 && errno == EACCES) {
        // A lock file made by another login of the user's may only be read: a
        // lock needs no more.
        fd = ::open(path.c_str(), O_RDONLY | O_NOFOLLOW | O_NONBLOCK | O_CLOEXEC);
    }
    if (fd < 0) {
        if (errno == ELOOP) {
            errno = kNotARegularFile;  // a link planted under the name
        }
        return -1;
    }
    struct stat st {};
    if (::fstat(fd, &st) != 0 || !S_ISREG(st.st_mode)) {
        ::close(fd);
        errno = kNotARegularFile;
        return -1;
    }
    return fd;
}

}  // namespace

BookLock::BookLock(std::string directory) : m_directory(std::move(directory)) {
    if (!m_directory.empty() && m_directory.back() != '/') {
        m_directory += '/';
    }
}

BookLock::~BookLock() {
    if (m_fd >= 0) {
        ::close(m_fd);  // the lock goes with the last descriptor
    }
}

std::string BookLock::folder() const {
    return m_directory.empty() ? "." : m_directory.substr(0, m_directory.size() - 1);
}

BookLock::Result BookLock::tryAcquire() {
    if (m_fd >= 0) {
        return Result::Acquired;
    }
    const std::string lockPath = m_directory + std::string(kLockFileName);
    const std::string dataPath = m_directory + std::string(kDataFileName);
    std::string locked = lockPath;
    int fd = openToLock(lockPath, true);
    if (fd < 0) {
        const int lockErr = errno;
        fd = openToLock(dataPath, false);
        locked = dataPath;
        if (fd < 0) {
            const bool folderTakesNoFile =
                lockErr == EACCES || lockErr == EROFS || lockErr == EPERM;
            if (errno == ENOENT && folderTakesNoFile) {
                // Neither a lock nor a book can be made here: nothing can be
                // written for a lock to guard.
                return Result::Acquired;
            }
            m_reason = lockPath + ": " + systemReason(lockErr);
            return Result::Unguarded;
        }
    }
    while (::flock(fd, LOCK_EX | LOCK_NB) != 0) {
        if (errno == EINTR) {
            continue;
        }
        const int err = errno;
        ::close(fd);
        if (err == EWOULDBLOCK) {
            return Result::HeldByAnother;
        }
        m_reason = locked + ": " + systemReason(err);
        return Result::Unguarded;
    }
    m_fd = fd;
    return Result::Acquired;
}

}  // namespace corvane
