#include "scratchfile.h"

#include <cerrno>

namespace corvane {

ScratchFile::ScratchFile(FileSystem& fs, std::string path) : m_fs(fs), m_path(std::move(path)) {}

ScratchFile::~ScratchFile() {
    if (m_handle >= 0) {
        m_fs.close(m_handle);
    }
    if (m_created && !m_kept) {
        m_fs.remove(m_path);
    }
}

StoreStatus ScratchFile::create(std::uint32_t mode, Leftover leftover) {
    if (leftover == Leftover::Remove) {
        if (int err = m_fs.remove(m_path); err != 0 && err != ENOENT) {
            return StoreStatus::ioError(m_path, err);
        }
    }
    if (int err = m_fs.open(m_path, OpenMode::CreateNew, m_handle, mode & 0666)) {
        m_handle = -1;
        if (err == EEXIST) {
            return {StoreError::AlreadyExists, m_path, "the name is taken"};
        }
        return StoreStatus::ioError(m_path, err);
    }
    m_created = true;
    // Exactly the mode asked for, whatever the umask took away.
    if (int err = m_fs.setPermissions(m_handle, mode)) {
        return StoreStatus::ioError(m_path, err);
    }
    return StoreStatus::success();
}

StoreStatus ScratchFile::write(std::uint64_t offset, const void* data, std::size_t size) {
    if (int err = m_fs.writeAt(m_handle, offset, data, size)) {
        return StoreStatus::ioError(m_path, err);
    }
    return StoreStatus::success();
}

StoreStatus ScratchFile::finish() {
    const int syncErr = m_fs.sync(m_handle);
    const int closeErr = m_fs.close(m_handle);
    m_handle = -1;
    if (syncErr != 0 || closeErr != 0) {
        return StoreStatus::ioError(m_path, syncErr != 0 ? syncErr : closeErr);
    }
    return StoreStatus::success();
}

StoreStatus ScratchFile::placeAs(const std::string& target, bool replace) {
    const int err = replace ? m_fs.rename(m_path, target) : m_fs.renameNoReplace(m_path, target);
    if (err == EEXIST && !replace) {
        return {StoreError::AlreadyExists, target, "the file already exists"};
    }
    if (err != 0) {
        return StoreStatus::ioError(target, err);
    }
    m_kept = true;
    return StoreStatus::success();
}

StoreStatus ScratchFile::discard() {
    if (int err = m_fs.remove(m_path)) {
        return StoreStatus::ioError(m_path, err);
    }
    m_kept = true;  // nothing left to remove
    return StoreStatus::success();
}

}  // namespace corvane
