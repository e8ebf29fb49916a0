#pragma once

// The store's only way to the disk. The program uses PosixFileSystem; tests
// wrap it to make a chosen write, flush or rename fail and prove that no data
// is lost when that happens.
//
// Every call reports failure as an errno value (0 is success), so that the
// store can tell the user the system's own reason.

#include <cstddef>
#include <cstdint>
#include <string>

namespace corvane {

// Every mode opens only a regular file (a link to one is followed in the
// first two), and never waits: a folder gives EISDIR, a device, pipe or
// socket kNotARegularFile.
enum class OpenMode {
    ReadOnly,         // the file must exist; never created or changed
    ReadWriteCreate,  // created empty when missing
    CreateNew,        // created here and now; fails with EEXIST when anything,
                      // a link included, already has the name, so a file the
                      // program did not make is never followed or cut short
    ReadOwnFile,      // as ReadOnly, but only a file of this user's under
                      // that very name and no other: never a link, and
                      // never a file with a second (hard) link
    WriteOwnFile,     // ReadOwnFile, opened for reading and writing
};

// What open() answers for a name that is not a regular file (a device, a
// pipe, a socket; in ReadOwnFile and WriteOwnFile also a link or a file with
// another name) and, in those two, for a file that belongs to another user.
inline constexpr int kNotARegularFile = -1001;
inline constexpr int kNotTheUsersFile = -1002;
// The journal found to be the data file itself (the store's own finding).
inline constexpr int kIsTheDataFile = -1003;

class FileSystem {
  public:
    virtual ~FileSystem() = default;

    // Opens `path`; on success `handle` is a non-negative handle. A file
    // created now gets `createMode` less the process's umask.
    virtual int open(const std::string& path, OpenMode mode, int& handle,
                     std::uint32_t createMode = 0666) = 0;
    virtual int close(int handle) = 0;

    // Reads up to `size` bytes at `offset`; `got` is less than `size` only at
    // the end of the file.
    virtual int readAt(int handle, std::uint64_t offset, void* buffer, std::size_t size,
                       std::size_t& got) = 0;
    // Writes all `size` bytes at `offset`, or fails (possibly part-way).
    virtual int writeAt(int handle, std::uint64_t offset, const void* data, std::size_t size) = 0;
    virtual int size(int handle, std::uint64_t& length) = 0;
    virtual int truncate(int handle, std::uint64_t length) = 0;
    // Flushes the file's data to the disk.
    virtual int sync(int handle) = 0;

    // Whether handles `a` and `b` are open on one and the same file.
    virtual int sameFile(int a, int b, bool& same) = 0;

    // The file's permission bits, and setting them.
    virtual int permissions(int handle, std::uint32_t& mode) = 0;
    virtual int setPermissions(int handle, std::uint32_t mode) = 0;

    // Atomically replaces `to` with `from`.
    virtual int rename(const std::string& from, const std::string& to) = 0;
    // Atomically gives `from` the name `to`, failing with EEXIST when `to`
    // exists: a file that appears under that name is never replaced.
    virtual int renameNoReplace(const std::string& from, const std::string& to) = 0;
    virtual int remove(const std::string& path) = 0;
    // Flushes the directory holding `path`, so that a rename survives a power cut.
    virtual int syncDirectoryOf(const std::string& path) = 0;
    // ENOENT when `path` does not exist.
    virtual int fileSize(const std::string& path, std::uint64_t& length) = 0;
};

// The real thing, on POSIX file descriptors.
class PosixFileSystem final : public FileSystem {
  public:
    int open(const std::string& path, OpenMode mode, int& handle,
             std::uint32_t createMode = 0666) override;
    int close(int handle) override;
    int readAt(int handle, std::uint64_t offset, void* buffer, std::size_t size,
               std::size_t& got) override;
    int writeAt(int handle, std::uint64_t offset, const void* data, std::size_t size) override;
    int size(int handle, std::uint64_t& length) override;
    int truncate(int handle, std::uint64_t length) override;
    int sync(int handle) override;
    int sameFile(int a, int b, bool& same) override;
    int permissions(int handle, std::uint32_t& mode) override;
    int setPermissions(int handle, std::uint32_t mode) override;
    int rename(const std::string& from, const std::string& to) override;
    int renameNoReplace(const std::string& from, const std::string& to) override;
    int remove(const std::string& path) override;
    int syncDirectoryOf(const std::string& path) override;
    int fileSize(const std::string& path, std::uint64_t& length) override;
};

// The one PosixFileSystem the program uses.
FileSystem& realFileSystem();

}  // namespace corvane
