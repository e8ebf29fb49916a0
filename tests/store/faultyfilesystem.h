#pragma once

// A file system that fails on purpose. Every step that changes the disk (a
// write, a flush, a truncation, a rename, a removal, the creation of a file,
// a change of permissions, the flush of a folder, the closing of a file) is
// counted; the chosen steps fail with a chosen error, a write after putting
// half of its bytes down, as a full disk does, a close after letting the
// handle go, as Linux does. With `countReads(true)` the steps that only look
// (reading, learning a length or permissions) are counted and fail too.
// Everything else passes through to the real files.
//
// Three ways to fail: one step; several steps in a row, so that the clean-up
// after the first failure meets a second; or a disk that stays broken from
// the chosen step on.

#include <cerrno>
#include <functional>
#include <string>
#include <vector>

#include "filesystem.h"

namespace corvane::test {

class FaultyFileSystem final : public FileSystem {
  public:
    // Fail the `n`th changing step from now (1-based) and the `count` - 1
    // steps after it; 0 fails nothing.
    void failStep(int n, int errnoValue = ENOSPC, int count = 1) {
        m_failAt = n;
        m_failCount = count;
        m_steps = 0;
        m_errno = errnoValue;
        m_failures = 0;
        m_log.clear();
    }
    // Runs just before each rename that must not replace a file: lets a test
    // make a file appear at the worst moment.
    std::function<void()> beforeRename;
    // Runs just before each changing step, with its log line: lets a process
    // stop at a chosen moment, to be killed there.
    std::function<void(const std::string&)> beforeStep;

    // Whether reads, lengths and permissions count as steps (and may fail).
    void countReads(bool on) { m_countReads = on; }

    // Fail every changing step from the `n`th on.
    void breakAt(int n, int errnoValue = ENOSPC) { failStep(n, errnoValue, 1 << 30); }

    // True when a chosen step was reached and failed.
    bool failed() const { return m_failures > 0; }
    int failures() const { return m_failures; }
    int steps() const { return m_steps; }
    // The counted steps in order, as "write TempFile.Data",
    // "close TempFile.Data", "rename TempFile.Data Corvane.Data", ... (file
    // names without their folder); a failed step ends in " (fails)".
    const std::vector<std::string>& log() const { return m_log; }

    int open(const std::string& path, OpenMode mode, int& handle,
             std::uint32_t createMode = 0666) override {
        const std::string what = "open " + base(path);
        const bool reads = mode == OpenMode::ReadOnly || mode == OpenMode::ReadOwnFile;
        if (reads ? look(what + " to read") : step(what)) {
            return m_errno;
        }
        const int err = m_real.open(path, mode, handle, createMode);
        if (err == 0) {
            remember(handle, path);
        }
        return err;
    }
    // A failed close still lets the handle go: Linux does, and retrying a
    // close could close a handle opened meanwhile.
    int close(int handle) override {
        const bool fail = step("close " + nameOf(handle));
        const int err = m_real.close(handle);
        return fail ? m_errno : err;
    }
    int readAt(int handle, std::uint64_t offset, void* buffer, std::size_t size,
               std::size_t& got) override {
        if (look("read " + nameOf(handle))) {
            got = 0;
            return m_errno;
        }
        return m_real.readAt(handle, offset, buffer, size, got);
    }
    int writeAt(int handle, std::uint64_t offset, const void* data, std::size_t size) override {
        if (step("write " + nameOf(handle))) {
            (void)m_real.writeAt(handle, offset, data, size / 2);
            return m_errno;
        }
        return m_real.writeAt(handle, offset, data, size);
    }
    int size(int handle, std::uint64_t& length) override {
        return look("size " + nameOf(handle)) ? m_errno : m_real.size(handle, length);
    }
    int truncate(int handle, std::uint64_t length) override {
        return step("truncate " + nameOf(handle)) ? m_errno : m_real.truncate(handle, length);
    }
    int sync(int handle) override {
        return step("sync " + nameOf(handle)) ? m_errno : m_real.sync(handle);
    }
    int sameFile(int a, int b, bool& same) override { return m_real.sameFile(a, b, same); }
    int permissions(int handle, std::uint32_t& mode) override {
        return look("mode " + nameOf(handle)) ? m_errno : m_real.permissions(handle, mode);
    }
    int setPermissions(int handle, std::uint32_t mode) override {
        return step("chmod " + nameOf(handle)) ? m_errno : m_real.setPermissions(handle, mode);
    }
    int rename(const std::string& from, const std::string& to) override {
        return step("rename " + base(from) + " " + base(to)) ? m_errno : m_real.rename(from, to);
    }
    int renameNoReplace(const std::string& from, const std::string& to) override {
        if (beforeRename) {
            beforeRename();
        }
        return step("rename " + base(from) + " " + base(to)) ? m_errno
                                                             : m_real.renameNoReplace(from, to);
    }
    int remove(const std::string& path) override {
        return step("remove " + base(path)) ? m_errno : m_real.remove(path);
    }
    int syncDirectoryOf(const std::string& path) override {
        return step("syncdir") ? m_errno : m_real.syncDirectoryOf(path);
    }
    int fileSize(const std::string& path, std::uint64_t& length) override {
        return look("stat " + base(path)) ? m_errno : m_real.fileSize(path, length);
    }

  private:
    static std::string base(const std::string& path) {
        const auto slash = path.find_last_of('/');
        return slash == std::string::npos ? path : path.substr(slash + 1);
    }
    void remember(int handle, const std::string& path) {
        if (handle >= static_cast<int>(m_names.size())) {
            m_names.resize(static_cast<std::size_t>(handle) + 1);
        }
        m_names[static_cast<std::size_t>(handle)] = base(path);
    }
    std::string nameOf(int handle) const {
        return handle >= 0 && handle < static_cast<int>(m_names.size())
                   ? m_names[static_cast<std::size_t>(handle)]
                   : "?";
    }
    // Counts a changing step; true when this one is to fail.
    bool step(std::string what) {
        if (beforeStep) {
            beforeStep(what);
        }
        ++m_steps;
        const bool fail = m_failAt > 0 && m_steps >= m_failAt && m_steps < m_failAt + m_failCount;
        m_log.push_back(fail ? what + " (fails)" : std::move(what));
        if (fail) {
            ++m_failures;
        }
        return fail;
    }

    // A step that only looks: counted only when reads count.
    bool look(std::string what) { return m_countReads && step(std::move(what)); }

    PosixFileSystem m_real;
    bool m_countReads = false;
    int m_failAt = 0;
    int m_failCount = 1;
    int m_steps = 0;
    int m_errno = ENOSPC;
    int m_failures = 0;
    std::vector<std::string> m_log;
    std::vector<std::string> m_names;
};

}  // namespace corvane::test
