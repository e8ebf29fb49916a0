#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstdio>

#include "filesystem.h"

namespace corvane {

int PosixFileSystem::open(const std::string& path, OpenMode mode, int& handle,
                          std::uint32_t createMode) {
    int flags = O_CLOEXEC;
    const bool ownFile = mode == OpenMode::ReadOwnFile || mode == OpenMode::WriteOwnFile;
    switch (mode) {
        case OpenMode::ReadOnly:
            flags |= O_RDONLY | O_NONBLOCK;
            break;
        case OpenMode::ReadWriteCreate:
            flags |= O_RDWR | O_CREAT | O_NONBLOCK;
            break;
        case OpenMode::CreateNew:
            flags |= O_RDWR | O_CREAT | O_EXCL | O_NOFOLLOW;
            break;
        case OpenMode::ReadOwnFile:
            flags |= O_RDONLY | O_NOFOLLOW | O_NONBLOCK;
            break;
        case OpenMode::WriteOwnFile:
            flags |= O_RDWR | O_NOFOLLOW | O_NONBLOCK;
            break;
    }
    const int fd = ::open(path.c_str(), flags, static_cast<mode_t>(createMode & 07777));
    if (fd < 0) {
        return ownFile && errno == ELOOP ? kNotARegularFile : errno;
    }
    // Checked on what was opened, so nothing can be swapped in between.
    struct stat st {};
    const int refusal = ::fstat(fd, &st) != 0      ? errno
                        : S_ISDIR(st.st_mode)      ? EISDIR
                        : !S_ISREG(st.st_mode)     ? kNotARegularFile
                        : !ownFile                 ? 0
                        : st.st_nlink != 1         ? kNotARegularFile  // also another file's name
                        : st.st_uid != ::geteuid() ? kNotTheUsersFile
                                                   : 0;
    if (refusal != 0) {
        ::close(fd);
        return refusal;
    }
    handle = fd;
    return 0;
}

int PosixFileSystem::close(int handle) {
    return ::close(handle) == 0 ? 0 : errno;
}

int PosixFileSystem::readAt(int handle, std::uint64_t offset, void* buffer, std::size_t size,
                            std::size_t& got) {
    got = 0;
    auto* out = static_cast<char*>(buffer);
    while (got < size) {
        const ssize_t n = ::pread(handle, out + got, size - got, static_cast<off_t>(offset + got));
        if (n < 0) {
            if (errno == EINTR) {
                continue;
            }
            return errno;
        }
        if (n == 0) {
            break;
        }
        got += static_cast<std::size_t>(n);
    }
    return 0;
}

int PosixFileSystem::writeAt(int handle, std::uint64_t offset, const void* data, std::size_t size) {
    const auto* in = static_cast<const char*>(data);
    std::size_t done = 0;
    while (done < size) {
        const ssize_t n =
            ::pwrite(handle, in + done, size - done, static_cast<off_t>(offset + done));
        if (n < 0) {
            if (errno == EINTR) {
                continue;
            }
            return errno;
        }
        done += static_cast<std::size_t>(n);
    }
    return 0;
}

int PosixFileSystem::size(int handle, std::uint64_t& length) {
    struct stat st {};
    if (::fstat(handle, &st) != 0) {
        return errno;
    }
    length = static_cast<std::uint64_t>(st.st_size);
    return 0;
}

int PosixFileSystem::truncate(int handle, std::uint64_t length) {
    return ::ftruncate(handle, static_cast<off_t>(length)) == 0 ? 0 : errno;
}

int PosixFileSystem::sync(int handle) {
    return ::fdatasync(handle) == 0 ? 0 : errno;
}

int PosixFileSystem::sameFile(int a, int b, bool& same) {
    struct stat first {};
    struct stat second {};
    if (::fstat(a, &first) != 0 || ::fstat(b, &second) != 0) {
        return errno;
    }
    same = first.st_dev == second.st_dev && first.st_ino == second.st_ino;
    return 0;
}

int PosixFileSystem::permissions(int handle, std::uint32_t& mode) {
    struct stat st {};
    if (::fstat(handle, &st) != 0) {
        return errno;
    }
    mode = st.st_mode & 07777;
    return 0;
}

int PosixFileSystem::setPermissions(int handle, std::uint32_t mode) {
    return ::fchmod(handle, static_cast<mode_t>(mode & 07777)) == 0 ? 0 : errno;
}

int PosixFileSystem::renameNoReplace(const std::string& from, const std::string& to) {
    if (::renameat2(AT_FDCWD, from.c_str(), AT_FDCWD, to.c_str(), RENAME_NOREPLACE) == 0) {
        return 0;
    }
    if (errno != EINVAL && errno != ENOSYS) {
        return errno;
    }
    // A file system without the flag: a hard link is made only when the
    // name is free, and then the old name is dropped.
    if (::link(from.c_str(), to.c_str()) != 0) {
        return errno;
    }
    ::unlink(from.c_str());
    return 0;
}

int PosixFileSystem::rename(const std::string& from, const std::string& to) {
    return ::rename(from.c_str(), to.c_str()) == 0 ? 0 : errno;
}

int PosixFileSystem::remove(const std::string& path) {
    return ::unlink(path.c_str()) == 0 ? 0 : errno;
}

int PosixFileSystem::syncDirectoryOf(const std::string& path) {
    const auto slash = path.find_last_of('/');
    const std::string dir = slash == std::string::npos ? "." : path.substr(0, slash + 1);
    const int fd = ::open(dir.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
    if (fd < 0) {
        return errno;
    }
    const int result = ::fsync(fd) == 0 ? 0 : errno;
    ::close(fd);
    return result;
}

int PosixFileSystem::fileSize(const std::string& path, std::uint64_t& length) {
    struct stat st {};
    if (::stat(path.c_str(), &st) != 0) {
        return errno;
    }
    length = static_cast<std::uint64_t>(st.st_size);
    return 0;
}

FileSystem& realFileSystem() {
    static PosixFileSystem fs;
    return fs;
}

}  // namespace corvane
