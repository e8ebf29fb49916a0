#pragma once

// A file system that fails on purpose: the Nth step that changes the disk
// (a write, a flush, a rename, a removal or the creation of a file) fails
// with a chosen error, a write after putting half of its bytes down, as a
// full disk does. Everything else passes through to the real files.

#include <cerrno>

#include "filesystem.h"

namespace corvane::test {

class FaultyFileSystem final : public FileSystem {
  public:
    // Fail the `n`th changing step from now (1-based); 0 fails nothing.
    void failStep(int n, int errnoValue = ENOSPC) {
        m_failAt = n;
        m_steps = 0;
        m_errno = errnoValue;
        m_failed = false;
    }
    // True when the chosen step was reached and failed.
    bool failed() const { return m_failed; }
    int steps() const { return m_steps; }

    int open(const std::string& path, OpenMode mode, int& handle) override {
        if (mode != OpenMode::ReadOnly && step()) {
            return m_errno;
        }
        return m_real.open(path, mode, handle);
    }
    int close(int handle) override { return m_real.close(handle); }
    int readAt(int handle, std::uint64_t offset, void* buffer, std::size_t size,
               std::size_t& got) override {
        return m_real.readAt(handle, offset, buffer, size, got);
    }
    int writeAt(int handle, std::uint64_t offset, const void* data, std::size_t size) override {
        if (step()) {
            m_real.writeAt(handle, offset, data, size / 2);
            return m_errno;
        }
        return m_real.writeAt(handle, offset, data, size);
    }
    int size(int handle, std::uint64_t& length) override { return m_real.size(handle, length); }
    int truncate(int handle, std::uint64_t length) override {
        return m_real.truncate(handle, length);
    }
    int sync(int handle) override { return step() ? m_errno : m_real.sync(handle); }
    int rename(const std::string& from, const std::string& to) override {
        return step() ? m_errno : m_real.rename(from, to);
    }
    int remove(const std::string& path) override { return step() ? m_errno : m_real.remove(path); }
    int syncDirectoryOf(const std::string& path) override { return m_real.syncDirectoryOf(path); }
    int fileSize(const std::string& path, std::uint64_t& length) override {
        return m_real.fileSize(path, length);
    }

  private:
    // Counts a changing step; true when this one is to fail. Only one step
    // ever fails, so the store's clean-up after it runs on a sound disk.
    bool step() {
        if (++m_steps == m_failAt && !m_failed) {
            m_failed = true;
            return true;
        }
        return false;
    }

    PosixFileSystem m_real;
    int m_failAt = 0;
    int m_steps = 0;
    int m_errno = ENOSPC;
    bool m_failed = false;
};

}  // namespace corvane::test
