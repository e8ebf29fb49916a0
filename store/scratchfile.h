#pragma once

// A new file made beside the data file and put in place only when it is
// whole: the compacted file of a deletion, the converted book, the copy of
// an uneven file. It is created afresh (never through a link, never over a
// file the program did not make) with the permissions it is given, written,
// flushed and closed; until it is placed or kept, leaving its scope closes
// and removes it, so that no failure leaves a partial file behind.

#include <cstddef>
#include <cstdint>
#include <string>

#include "filesystem.h"
#include "storestatus.h"

namespace corvane {

class ScratchFile {
  public:
    ScratchFile(FileSystem& fs, std::string path);
    ~ScratchFile();
    ScratchFile(const ScratchFile&) = delete;
    ScratchFile& operator=(const ScratchFile&) = delete;

    // What to do with a file of the same name that is already there.
    enum class Leftover {
        Remove,  // one left by an interrupted run: removed (a link, not its target)
        Refuse,  // somebody's: create() fails with AlreadyExists
    };
    // Creates the file, empty, with exactly `mode`. Fails naming the file.
    StoreStatus create(std::uint32_t mode, Leftover leftover);

    // Writes all of `data` at `offset`. Fails naming the file.
    StoreStatus write(std::uint64_t offset, const void* data, std::size_t size);

    // Flushes and closes the file: it is whole on the disk under its own
    // name (the folder is not flushed). Fails naming the file.
    StoreStatus finish();

    // Renames the finished file to `target`, replacing what is there, or,
    // with `replace` false, failing with AlreadyExists when `target` exists.
    // Placed, the file is no longer this object's to remove.
    StoreStatus placeAs(const std::string& target, bool replace);

    // Keeps the finished file under its own name.
    void keep() { m_kept = true; }
    // Removes the finished file now, naming it when that fails.
    StoreStatus discard();

    const std::string& path() const { return m_path; }

  private:
    FileSystem& m_fs;
    std::string m_path;
    int m_handle = -1;
    bool m_created = false;
    bool m_kept = false;
};

}  // namespace corvane
