#pragma once

// A disk in memory that knows what a power cut would keep. For each file it
// keeps the bytes last flushed and the writes made since, cut into 512-byte
// sectors as a disk writes them; for the folder, the names as last flushed
// and the renames, creations and removals since, in order. A power cut keeps
// the flushed state and, of what was not flushed, any first part: any first
// few changes of the folder, and for a file any first few sectors of its
// writes (one file at a time; the others keep none or all of theirs).
//
// Everything lives in one folder; the paths are the bare names the store is
// given when its folder is "".

#include <cerrno>
#include <cstdint>
#include <functional>
#include <map>
#include <memory>
#include <string>
#include <vector>

#include "filesystem.h"

namespace corvane::test {

using Bytes = std::vector<std::uint8_t>;

// A folder as a power cut leaves it: each name with its bytes.
using Disk = std::map<std::string, Bytes>;

class PowerCutFileSystem final : public FileSystem {
  public:
    // A disk holding `disk`, all of it flushed.
    explicit PowerCutFileSystem(const Disk& disk = {});

    // Called before each call that changes the disk, and so at each moment a
    // power cut could come between two steps.
    std::function<void()> beforeEachChange;

    // Every folder a power cut now could leave.
    std::vector<Disk> statesAfterAPowerCut() const;
    // The folder as the program sees it now.
    Disk currentState() const;

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

  private:
    // One sector's worth of a write, or a change of length.
    struct Piece {
        std::uint64_t offset = 0;
        Bytes bytes;
        bool truncates = false;
    };
    struct Inode {
        Bytes flushed;
        Bytes current;
        std::vector<Piece> unflushed;
        std::uint32_t mode = 0644;
    };
    using Names = std::map<std::string, std::shared_ptr<Inode>>;
    // One change of the folder: each name to a file, or away (null). A
    // rename is one change of two names, made at once.
    using FolderChange = std::vector<std::pair<std::string, std::shared_ptr<Inode>>>;

    void changing();
    void changeFolder(FolderChange change);
    static void apply(Bytes& bytes, const Piece& piece);
    static Bytes withFirstPieces(const Inode& inode, std::size_t count);

    Names m_names;
    Names m_flushedNames;
    std::vector<FolderChange> m_unflushedChanges;
    std::map<int, std::shared_ptr<Inode>> m_handles;
    int m_nextHandle = 3;
};

}  // namespace corvane::test
