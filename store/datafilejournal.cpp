// The data file's side of the journal: recording a write before it is made,
// marking it done after, and finishing at the next open a write that a
// crash or a power cut cut short.

#include <array>
#include <cerrno>

#include "datafile.h"

namespace corvane {
namespace {

constexpr std::array<std::uint8_t, kJournalMarkSize> kDoneMark{};

// Marks the open journal `journal` done and, when `flush`, makes that last.
int markDone(FileSystem& fs, int journal, bool flush) {
    int err = fs.writeAt(journal, 0, kDoneMark.data(), kDoneMark.size());
    if (err == 0 && flush) {
        err = fs.sync(journal);
    }
    return err;
}

}  // namespace

StoreStatus retireJournal(FileSystem& fs, const std::string& dataPath) {
    const std::string name = journalPathOf(dataPath);
    std::uint64_t length = 0;
    if (int err = fs.fileSize(name, length)) {
        return err == ENOENT ? StoreStatus::success() : StoreStatus::ioError(name, err);
    }
    int journal = -1;
    if (int err = fs.open(name, OpenMode::ReadWriteCreate, journal)) {
        return StoreStatus::ioError(name, err);
    }
    const int err = markDone(fs, journal, true);
    fs.close(journal);
    return err == 0 ? StoreStatus::success() : StoreStatus::ioError(name, err);
}

// Records `write` in the journal and flushes it, so that the data file may
// be written. A journal file made now is only found after a power cut once
// its folder is flushed too. `journal` is -1 when the folder takes no new
// file. On failure nothing of the data file has been touched.
StoreStatus DataFile::writeJournal(const SlotWrite& write, int& journal) {
    const std::string name = path(kJournalFileName);
    std::uint64_t existing = 0;
    const int statErr = m_fs.fileSize(name, existing);
    if (statErr != 0 && statErr != ENOENT) {
        return StoreStatus::ioError(name, statErr);
    }
    // A new journal is made afresh, never through a link, and is as private
    // as the entries it holds.
    const bool make = statErr == ENOENT;
    std::uint32_t mode = 0;
    if (make) {
        if (int err = m_fs.permissions(m_handle, mode)) {
            return StoreStatus::ioError(path(kDataFileName), err);
        }
    }
    if (int err =
            m_fs.open(name, make ? OpenMode::CreateNew : OpenMode::ReadWriteCreate, journal)) {
        // A folder the user may not add files to, holding a data file they
        // may write: the entry is written in place as it always was, only
        // without the journal's protection against a power cut.
        if (make && (err == EACCES || err == EPERM)) {
            journal = -1;
            return StoreStatus::success();
        }
        return StoreStatus::ioError(name, err);
    }
    const std::vector<std::uint8_t> bytes = encodeJournal(write);
    int err = make ? m_fs.setPermissions(journal, mode) : 0;
    if (err == 0) {
        err = m_fs.writeAt(journal, 0, bytes.data(), bytes.size());
    }
    if (err == 0) {
        err = m_fs.sync(journal);
    }
    if (err == 0 && make) {
        err = m_fs.syncDirectoryOf(name);
    }
    if (err != 0) {
        return abandonJournal(journal, make, StoreStatus::ioError(name, err));
    }
    return StoreStatus::success();
}

// Takes back the open journal `journal`, whose write will not be made after
// `failure`: it is marked done on the disk and closed, and removed when it
// was `made` for this write (it may not be private yet). The journal may be
// whole on the disk, so when neither works the user must hear that the next
// open may still make the change.
StoreStatus DataFile::abandonJournal(int journal, bool made, const StoreStatus& failure) {
    const int markErr = markDone(m_fs, journal, true);
    m_fs.close(journal);
    const int removeErr = made ? m_fs.remove(path(kJournalFileName)) : markErr;
    if (markErr == 0 || removeErr == 0) {
        return failure;
    }
    return {StoreError::RollbackFailed, path(kDataFileName),
            failure.reason + "; taking back the journal failed too (" +
                StoreStatus::ioError(path(kJournalFileName), markErr).reason +
                "), so the next opening of the file may still make the change"};
}

// Marks done, and closes, the journal of a write that is on the disk. The
// mark need not be flushed: should it be lost, the next open only writes the
// same bytes again. Its failures are harmless for the same reason.
void DataFile::closeJournal(int journal) {
    if (journal < 0) {
        return;
    }
    (void)markDone(m_fs, journal, false);
    m_fs.close(journal);
}

// Finishes into the open data file a write its journal holds whole, and
// marks the journal done on the disk. A journal that is not whole, or whose
// write cannot belong to this file, changes nothing.
StoreStatus DataFile::finishJournalledWrite() {
    const std::string name = path(kJournalFileName);
    std::uint64_t length = 0;
    if (int err = m_fs.fileSize(name, length)) {
        return err == ENOENT ? StoreStatus::success() : StoreStatus::ioError(name, err);
    }
    int journal = -1;
    if (int err = m_fs.open(name, OpenMode::ReadWriteCreate, journal)) {
        return StoreStatus::ioError(name, err);
    }
    std::vector<std::uint8_t> bytes(kMaxJournalSize + 64);
    std::size_t got = 0;
    int err = m_fs.readAt(journal, 0, bytes.data(), bytes.size(), got);
    const std::optional<SlotWrite> write =
        err == 0 ? decodeJournal(std::span(bytes.data(), got)) : std::nullopt;
    if (err == 0 && write) {
        std::uint64_t dataLength = 0;
        err = m_fs.size(m_handle, dataLength);
        if (err == 0 && write->fits(dataLength)) {
            err = m_fs.writeAt(m_handle, write->start, write->bytes.data(), write->bytes.size());
            if (err == 0) {
                err = m_fs.sync(m_handle);
            }
            if (err != 0) {
                m_fs.close(journal);
                return StoreStatus::ioError(path(kDataFileName), err);
            }
        }
        if (err == 0) {
            err = markDone(m_fs, journal, true);
        }
    }
    m_fs.close(journal);
    return err == 0 ? StoreStatus::success() : StoreStatus::ioError(name, err);
}

}  // namespace corvane
