// The data file's side of the journal: recording a write before it is made,
// emptying the journal after, and, at the next open, finishing a write that
// a crash or a power cut cut short, or setting aside a journal that the data
// file no longer bears out.

#include <algorithm>
#include <cerrno>

#include "datafile.h"

namespace corvane {
namespace {

// Empties the open journal `journal`: its bytes are overwritten with zeros
// (nothing of the entry it held stays readable in it) and, when `flush`,
// that is made last. Its length stays, so that the next save overwrites it
// in place and its flush need not change the file's size on the disk.
int empty(FileSystem& fs, int journal, bool flush) {
    std::uint64_t length = 0;
    int err = fs.size(journal, length);
    if (err == 0 && length > 0) {
        const std::vector<std::uint8_t> zeros(
            std::min<std::uint64_t>(length, kMaxJournalSize + 64));
        err = length > zeros.size() ? fs.truncate(journal, zeros.size()) : 0;
        if (err == 0) {
            err = fs.writeAt(journal, 0, zeros.data(), zeros.size());
        }
    }
    if (err == 0 && flush) {
        err = fs.sync(journal);
    }
    return err;
}

// A name the program cannot use as its journal: something it did not make
// or may not change. It is never written through.
bool notOurs(int err) {
    return err == kNotARegularFile || err == kNotTheUsersFile || err == EISDIR;
}

}  // namespace

std::optional<SlotWrite> readJournal(FileSystem& fs, const std::string& dataPath, int& err) {
    int handle = -1;
    err = fs.open(journalPathOf(dataPath), OpenMode::ReadOwnFile, handle);
    if (err != 0) {
        return std::nullopt;
    }
    std::vector<std::uint8_t> bytes(kMaxJournalSize + 64);
    std::size_t got = 0;
    err = fs.readAt(handle, 0, bytes.data(), bytes.size(), got);
    fs.close(handle);
    return err == 0 ? decodeJournal(std::span(bytes.data(), got)) : std::nullopt;
}

int judgeJournalAgainst(FileSystem& fs, int dataHandle, const SlotWrite& write,
                        JournalVerdict& verdict) {
    std::uint64_t length = 0;
    if (int err = fs.size(dataHandle, length)) {
        return err;
    }
    std::vector<std::uint8_t> found(write.bytes.size());
    std::size_t got = 0;
    if (int err = fs.readAt(dataHandle, write.start, found.data(), found.size(), got)) {
        return err;
    }
    found.resize(got);
    verdict = judgeJournal(write, found, length);
    return 0;
}

StoreStatus retireJournal(FileSystem& fs, const std::string& dataPath) {
    const std::string name = journalPathOf(dataPath);
    int err = 0;
    if (!readJournal(fs, dataPath, err)) {
        // Nothing whole that the program would use: nothing to take back.
        const bool harmless = err == 0 || err == ENOENT || err == EACCES || notOurs(err);
        return harmless ? StoreStatus::success() : StoreStatus::ioError(name, err);
    }
    int journal = -1;
    if (int openErr = fs.open(name, OpenMode::WriteOwnFile, journal)) {
        return StoreStatus::ioError(name, openErr);
    }
    err = empty(fs, journal, true);
    fs.close(journal);
    return err == 0 ? StoreStatus::success() : StoreStatus::ioError(name, err);
}

// Opens the journal for writing: only a regular file of the user's with no
// other name, and never the data file itself (reached through a link
// planted as the data file): then kIsTheDataFile, and nothing is written.
int DataFile::openOwnJournal(int& journal) {
    journal = -1;
    int err = m_fs.open(path(kJournalFileName), OpenMode::WriteOwnFile, journal);
    bool same = false;
    if (err == 0 && (err = m_fs.sameFile(journal, m_handle, same)) == 0 && same) {
        err = kIsTheDataFile;
    }
    if (err != 0 && journal >= 0) {
        m_fs.close(journal);
        journal = -1;
    }
    return err;
}

// Opens the journal to record a write: the one there when it is a regular
// file of the user's, or one made afresh with the data file's permissions
// (never wider, the umask considered). Whatever else has the name is put
// aside first. `journal` is -1 when the folder takes no new file.
StoreStatus DataFile::openJournal(int& journal, bool& made) {
    const std::string name = path(kJournalFileName);
    std::uint32_t dataMode = 0;
    if (int err = m_fs.permissions(m_handle, dataMode)) {
        return StoreStatus::ioError(path(kDataFileName), err);
    }
    made = false;
    int err = openOwnJournal(journal);
    if (notOurs(err) || err == EACCES) {
        if (StoreStatus aside = setJournalAside(); !aside.ok()) {
            const bool folderReadOnly = aside.error == StoreError::ReadOnly;
            journal = -1;
            return folderReadOnly ? StoreStatus::success() : aside;
        }
        err = ENOENT;
    }
    if (err == ENOENT) {
        err = m_fs.open(name, OpenMode::CreateNew, journal, dataMode & 0666);
        // A folder the user may not add files to, holding a data file they
        // may write: the entry is written in place as it always was, only
        // without the journal's protection against a power cut.
        if (err == EACCES || err == EPERM || err == EROFS) {
            journal = -1;
            return StoreStatus::success();
        }
        made = err == 0;
    }
    if (err != 0) {
        return StoreStatus::ioError(name, err);
    }
    // A journal left wider than the book (by a copy killed before it could
    // narrow it, or by hand) holds entries others could read.
    std::uint32_t mode = 0;
    err = m_fs.permissions(journal, mode);
    if (err == 0 && (mode & ~dataMode & 0777) != 0) {
        err = m_fs.setPermissions(journal, mode & dataMode);
    }
    if (err != 0) {
        m_fs.close(journal);
        journal = -1;
        return StoreStatus::ioError(name, err);
    }
    return StoreStatus::success();
}

// Records `write` in the journal and flushes it, so that the data file may
// be written. A journal file made now is only found after a power cut once
// its folder is flushed too. `journal` is -1 when the folder takes no new
// file. On failure nothing of the data file has been touched.
StoreStatus DataFile::writeJournal(const SlotWrite& write, int& journal) {
    bool made = false;
    if (StoreStatus opened = openJournal(journal, made); !opened.ok() || journal < 0) {
        return opened;
    }
    const std::string name = path(kJournalFileName);
    const std::vector<std::uint8_t> bytes = encodeJournal(write);
    // What lies after it, if anything, is zeros: the emptying of the last save.
    int err = m_fs.writeAt(journal, 0, bytes.data(), bytes.size());
    if (err == 0) {
        err = m_fs.sync(journal);
    }
    if (err == 0 && made) {
        err = m_fs.syncDirectoryOf(name);
    }
    if (err != 0) {
        return abandonJournal(journal, made, StoreStatus::ioError(name, err));
    }
    return StoreStatus::success();
}

// Takes back the open journal `journal`, whose write will not be made after
// `failure`: it is emptied on the disk and closed, and removed when it was
// `made` for this write. The journal may be whole on the disk, so when
// neither works the user must hear that the next open may still make the
// change.
StoreStatus DataFile::abandonJournal(int journal, bool made, const StoreStatus& failure) {
    const int emptyErr = empty(m_fs, journal, true);
    m_fs.close(journal);
    const int removeErr = made ? m_fs.remove(path(kJournalFileName)) : emptyErr;
    if (emptyErr == 0 || removeErr == 0) {
        return failure;
    }
    return {StoreError::RollbackFailed, path(kDataFileName),
            failure.reason + "; taking back the journal failed too (" + systemReason(emptyErr) +
                "), so the next opening of the file may still make the change"};
}

// Empties, and closes, the journal of a write that is on the disk: zeros
// over the `written` bytes this save put there (what lies after them was
// emptied before). The emptying need not be flushed: a journal found whole
// over a write that is in the file is recognised as made and changes
// nothing.
void DataFile::closeJournal(int journal, std::size_t written) {
    if (journal < 0) {
        return;
    }
    const std::vector<std::uint8_t> zeros(written);
    (void)m_fs.writeAt(journal, 0, zeros.data(), zeros.size());
    m_fs.close(journal);
}

// Gives the journal the first free name of kSetAsideJournalName, "-2", ...,
// never replacing a file, and flushes the folder. ReadOnly when the folder
// takes no change.
StoreStatus DataFile::setJournalAside() {
    const std::string name = path(kJournalFileName);
    for (int attempt = 1; attempt < 1000; ++attempt) {
        const std::string aside =
            std::string(kSetAsideJournalName) + (attempt == 1 ? "" : "-" + std::to_string(attempt));
        const int err = m_fs.renameNoReplace(name, path(aside));
        if (err == EEXIST) {
            continue;
        }
        if (err == ENOENT) {
            return StoreStatus::success();  // gone meanwhile: nothing to keep
        }
        if (err == EACCES || err == EPERM || err == EROFS) {
            return {StoreError::ReadOnly, name, systemReason(err)};
        }
        if (err != 0) {
            return StoreStatus::ioError(name, err);
        }
        m_setAsideName = aside;
        const int flushErr = m_fs.syncDirectoryOf(name);
        return flushErr == 0 ? StoreStatus::success() : StoreStatus::ioError(name, flushErr);
    }
    return {StoreError::Io, name, "too many journals set aside are in the way"};
}

// At the open of a writable file whose shape is known: finishes a write
// the journal holds that was cut short, leaves alone one that never began
// or is already made, and sets aside one the file no longer bears out.
// Only a regular file of the user's is read, and only read until it must
// change; whatever happened worth knowing is added to the notices.
StoreStatus DataFile::settleJournal(bool& finished) {
    finished = false;
    const std::string name = path(kJournalFileName);
    int err = 0;
    const std::optional<SlotWrite> write = readJournal(m_fs, path(kDataFileName), err);
    if (!write) {
        if (notOurs(err)) {
            m_notices.push_back(name + " is not a journal Corvane made (" + systemReason(err) +
                                "), so it was not used. The next save puts it aside under "
                                "another name.");
        }
        return StoreStatus::success();
    }
    JournalVerdict verdict{};
    if (int judgeErr = judgeJournalAgainst(m_fs, m_handle, *write, verdict)) {
        return StoreStatus::ioError(path(kDataFileName), judgeErr);
    }
    if (verdict == JournalVerdict::Stale) {
        const StoreStatus aside = setJournalAside();
        m_notices.push_back(
            name +
            " holds a save that does not match the data file, which another program has "
            "changed since. The data file was left as it is; " +
            (aside.ok() ? "the journal was kept as " + m_setAsideName + "."
                        : "the journal could not be put aside (" + aside.reason + ")."));
        return StoreStatus::success();
    }
    int journal = -1;
    if (int openErr = openOwnJournal(journal)) {
        // Not to be changed: harmless for a journal with nothing to finish.
        return verdict == JournalVerdict::Finish ? StoreStatus::ioError(name, openErr)
                                                 : StoreStatus::success();
    }
    if (verdict != JournalVerdict::Finish) {
        (void)empty(m_fs, journal, false);
        m_fs.close(journal);
        return StoreStatus::success();
    }
    err = m_fs.writeAt(m_handle, write->start, write->bytes.data(), write->bytes.size());
    if (err == 0) {
        err = m_fs.sync(m_handle);
    }
    if (err != 0) {
        m_fs.close(journal);
        return StoreStatus::ioError(path(kDataFileName), err);
    }
    finished = true;
    // Should the emptying not last, the journal is found made next time.
    (void)empty(m_fs, journal, true);
    m_fs.close(journal);
    m_notices.push_back(
        "Corvane finished saving an entry: the save had been cut short when the program or the "
        "computer stopped.");
    return StoreStatus::success();
}

}  // namespace corvane
