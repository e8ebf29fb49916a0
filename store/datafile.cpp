#include "datafile.h"

#include <algorithm>
#include <cerrno>
#include <cstring>

#include "scratchfile.h"

namespace corvane {
namespace {

constexpr std::uint64_t kSlot = ContactRecord::kSize;
constexpr int kReadAheadSlots = 64;
constexpr int kCompactChunkSlots = 256;

}  // namespace

std::uint64_t slotCount(std::uint64_t length, std::uint64_t slotSize) {
    const std::uint64_t whole = length / slotSize;
    const std::uint64_t rest = length % slotSize;
    if (rest * 2 > slotSize || (rest * 2 == slotSize && whole % 2 == 1)) {
        return whole + 1;
    }
    return whole;
}

DataFile::DataFile(FileSystem& fs, std::string directory)
    : m_fs(fs), m_directory(std::move(directory)) {
    if (!m_directory.empty() && m_directory.back() != '/') {
        m_directory += '/';
    }
}

DataFile::~DataFile() {
    if (m_handle >= 0) {
        m_fs.close(m_handle);
    }
}

std::string DataFile::path(std::string_view name) const {
    return m_directory + std::string(name);
}

StoreStatus DataFile::OpenDataFile() {
    if (m_handle >= 0 || m_absent) {
        if (StoreStatus closed = CloseDataFile(); !closed.ok()) {
            return closed;
        }
    }
    const std::string name = path(kDataFileName);
    m_damage.reset();
    m_readOnlyReason.clear();
    m_openLength = 0;
    dropReadAhead();

    std::uint64_t existingLength = 0;
    const int statErr = m_fs.fileSize(name, existingLength);
    if (statErr != 0 && statErr != ENOENT) {
        return StoreStatus::ioError(name, statErr);
    }
    if (statErr == ENOENT && !m_createWhenMissing) {
        m_absent = true;
        m_recordCount = 0;
        return StoreStatus::success();
    }
    return openExisting(name, statErr == ENOENT);
}

// Opens (or, when `created`, has just decided to create) the data file and
// learns its shape. A new name is only as lasting as its folder's flush.
StoreStatus DataFile::openExisting(const std::string& name, bool created) {
    int handle = -1;
    if (int err = m_fs.open(name, OpenMode::ReadWriteCreate, handle)) {
        // A file we may read but not write (a read-only file or folder) still
        // shows the user their entries; the writes then say why they cannot.
        const bool mayRead = (err == EACCES || err == EROFS || err == EPERM) &&
                             m_fs.open(name, OpenMode::ReadOnly, handle) == 0;
        if (!mayRead) {
            return StoreStatus::ioError(name, err);
        }
        created = false;
        m_damage = FileDamage{FileDamage::Kind::NotWritable,         0, {}, false, {},
                              StoreStatus::ioError(name, err).reason};
        m_readOnlyReason = m_damage->describe();
    }
    m_handle = handle;
    auto fail = [&](const StoreStatus& failure) {
        m_fs.close(handle);
        m_handle = -1;
        m_damage.reset();  // a file that could not be opened has no shape to report
        m_readOnlyReason.clear();
        return failure;
    };
    if (created) {
        if (int err = m_fs.syncDirectoryOf(name)) {
            return fail(StoreStatus::ioError(name, err));
        }
        // A new file has no save to finish: a journal beside it belonged to
        // a book that is gone.
        if (StoreStatus retired = retireJournal(m_fs, name); !retired.ok()) {
            return fail(retired);
        }
    }
    // The shape is judged, and an uneven file copied, before anything is
    // written to it, the journal's write included.
    if (StoreStatus shaped = learnShape(); !shaped.ok()) {
        return fail(shaped);
    }
    if (!created && m_readOnlyReason.empty()) {
        bool finished = false;
        if (StoreStatus settled = settleJournal(finished); !settled.ok()) {
            return fail(settled);
        }
        if (finished) {  // a save's append may have made the file longer
            noteChange();
            if (int err = m_fs.size(handle, m_openLength)) {
                return fail(StoreStatus::ioError(name, err));
            }
            m_recordCount = static_cast<std::int16_t>(std::min<std::uint64_t>(
                slotCount(m_openLength, kSlot), static_cast<std::uint64_t>(kMaxRecords)));
        }
    } else if (!created) {
        // A file that is only read is never written, not even by its
        // journal: a whole one is left as it is, and the user hears why.
        int err = 0;
        if (readJournal(m_fs, name, err)) {
            m_notices.push_back(path(kJournalFileName) +
                                " holds a save that was not finished, but the data file is only "
                                "read, so the save was not made; the journal was left as it is.");
        }
    }
    return StoreStatus::success();
}

// Learns the open file's length and record count, and what is wrong with
// its shape: a file with too many slots is only read, and an uneven one is
// copied before anything writes to it (or only read when it cannot be).
StoreStatus DataFile::learnShape() {
    std::uint64_t length = 0;
    if (int err = m_fs.size(m_handle, length)) {
        return StoreStatus::ioError(path(kDataFileName), err);
    }
    m_openLength = length;
    const std::uint64_t slots = slotCount(length, kSlot);
    m_recordCount = static_cast<std::int16_t>(
        std::min<std::uint64_t>(slots, static_cast<std::uint64_t>(kMaxRecords)));
    if (m_damage) {  // not writable: nothing will be written, so no copy is needed
        m_damage->length = length;
        return StoreStatus::success();
    }
    if (slots > static_cast<std::uint64_t>(kMaxRecords)) {
        m_damage = FileDamage{FileDamage::Kind::TooLarge, length, {}, false, {}, {}};
        m_readOnlyReason = m_damage->describe();
        return StoreStatus::success();
    }
    if (length % kSlot != 0) {
        FileDamage damage{FileDamage::Kind::UnevenLength, length, {}, false, {}, {}};
        if (StoreStatus copied = keepCopyOfDamagedFile(damage); !copied.ok()) {
            damage.copyFailure = copied.message();
            m_readOnlyReason = damage.describe();
        }
        m_damage = damage;
    }
    return StoreStatus::success();
}

// The first write to a book that was left missing creates its file.
StoreStatus DataFile::createAbsentFile() {
    m_absent = false;
    m_createWhenMissing = true;  // the user has begun a book of their own
    return openExisting(path(kDataFileName), true);
}

StoreStatus DataFile::CloseDataFile() {
    if (m_absent) {
        m_absent = false;
        m_recordCount = 0;
        return StoreStatus::success();
    }
    if (m_handle < 0) {
        return StoreStatus::success();
    }
    // The record count is known: learnt at the open, kept up by the writes.
    // A close that fails after every write was flushed loses nothing (the
    // handle is gone either way), so only one with unflushed writes fails.
    const int closeErr = m_fs.close(m_handle);
    m_handle = -1;
    dropReadAhead();
    const bool lost = closeErr != 0 && m_unflushed;
    m_unflushed = false;
    if (lost) {
        return StoreStatus::ioError(path(kDataFileName), closeErr);
    }
    return StoreStatus::success();
}

StoreStatus DataFile::RefreshRecordCount() {
    if (StoreStatus opened = OpenDataFile(); !opened.ok()) {
        return opened;
    }
    return CloseDataFile();
}

StoreStatus DataFile::UseDataFile(const std::function<StoreStatus()>& action) {
    if (StoreStatus opened = OpenDataFile(); !opened.ok()) {
        return opened;
    }
    const StoreStatus done = action();
    const StoreStatus closed = CloseDataFile();
    return done.ok() ? closed : done;
}

StoreStatus DataFile::ReadRecord(int number) {
    const std::string name = path(kDataFileName);
    if (m_absent && number >= 1) {
        m_current.clear();  // every slot of a missing file lies beyond its end
        return StoreStatus::success();
    }
    if (m_handle < 0) {
        return {StoreError::NotOpen, name, "the data file is not open"};
    }
    if (number < 1) {
        return {StoreError::NoSuchRecord, name,
                "there is no entry number " + std::to_string(number)};
    }
    if (number < m_readAheadFirst || number >= m_readAheadFirst + m_readAheadSlots) {
        // Only a reader going through the file in order is read ahead for:
        // one entry opened in the editor costs one slot.
        // Nor beyond the last slot: a small book is read in one small read.
        const bool inOrder = number == m_lastRead + 1;
        const int left = std::max(1, m_recordCount - number + 1);
        m_readAhead.resize(static_cast<std::size_t>(inOrder ? std::min(kReadAheadSlots, left) : 1) *
                           kSlot);
        std::size_t got = 0;
        const std::uint64_t offset = static_cast<std::uint64_t>(number - 1) * kSlot;
        if (int err = m_fs.readAt(m_handle, offset, m_readAhead.data(), m_readAhead.size(), got)) {
            dropReadAhead();
            return StoreStatus::ioError(name, err);
        }
        // A slot cut short by the end of the file is completed with cleared bytes.
        for (std::size_t i = got; i < m_readAhead.size(); ++i) {
            m_readAhead[i] = ContactRecord::blankByteAt(i);
        }
        m_readAheadFirst = number;
        m_readAheadSlots = static_cast<int>(m_readAhead.size() / kSlot);
    }
    m_lastRead = number;
    const std::uint8_t* slot = m_readAhead.data() + (number - m_readAheadFirst) * kSlot;
    m_current = ContactRecord::decode(std::span<const std::uint8_t, kSlot>(slot, kSlot));
    return StoreStatus::success();
}

StoreStatus DataFile::WriteRecord(int number) {
    return writeSlot(number, m_current.encode());
}

StoreStatus DataFile::writeSlot(int number, const ContactRecord::Bytes& bytes) {
    noteChange();
    const std::string name = path(kDataFileName);
    if (m_absent) {
        if (StoreStatus created = createAbsentFile(); !created.ok()) {
            return created;
        }
    }
    if (m_handle < 0) {
        return {StoreError::NotOpen, name, "the data file is not open"};
    }
    if (!m_readOnlyReason.empty()) {
        return {StoreError::ReadOnly, name, m_readOnlyReason};
    }
    if (number > kMaxRecords) {
        return {StoreError::TooLarge, name,
                "the data file cannot hold more than " + std::to_string(kMaxRecords) + " entries"};
    }
    std::uint64_t oldLength = 0;
    if (int err = m_fs.size(m_handle, oldLength)) {
        return StoreStatus::ioError(name, err);
    }
    const std::uint64_t offset = static_cast<std::uint64_t>(number - 1) * kSlot;
    if (number < 1 || offset > (oldLength + kSlot - 1) / kSlot * kSlot) {
        return {StoreError::NoSuchRecord, name,
                "there is no entry number " + std::to_string(number)};
    }
    dropReadAhead();

    // What the write will cover: a partial last slot before an append is
    // completed with cleared bytes, so no hole of zeros is left in the file.
    const std::uint64_t start = std::min(offset, oldLength);
    std::vector<std::uint8_t> out;
    out.reserve(offset - start + kSlot);
    for (std::uint64_t i = start; i < offset; ++i) {
        out.push_back(ContactRecord::blankByteAt(i));
    }
    out.insert(out.end(), bytes.begin(), bytes.end());

    // Keep what the write overwrites, to put it back if the write fails; the
    // journal records its checksums.
    std::vector<std::uint8_t> before(std::min<std::uint64_t>(out.size(), oldLength - start));
    std::size_t got = 0;
    if (int err = m_fs.readAt(m_handle, start, before.data(), before.size(), got)) {
        return StoreStatus::ioError(name, err);
    }
    before.resize(got);
    const SlotWrite write = makeSlotWrite(start, oldLength, std::move(out), before);

    int journal = -1;
    if (StoreStatus journalled = writeJournal(write, journal); !journalled.ok()) {
        return journalled;
    }
    m_unflushed = true;
    int err = m_fs.writeAt(m_handle, write.start, write.bytes.data(), write.bytes.size());
    if (err == 0) {
        err = m_fs.sync(m_handle);
    }
    if (err != 0) {
        StoreStatus status =
            putBack(number, write.start, before, oldLength, StoreStatus::ioError(name, err));
        // Put back, the file must stay so: the journal is emptied on the
        // disk. Not put back, the journal finishes the write at the next open.
        if (journal < 0) {
            return status;
        }
        if (status.error == StoreError::RollbackFailed) {
            m_fs.close(journal);
            return status;
        }
        return abandonJournal(journal, false, status);
    }
    m_unflushed = false;
    closeJournal(journal, encodedJournalSize(write));
    m_recordCount = std::max<std::int16_t>(m_recordCount, static_cast<std::int16_t>(number));
    m_openLength = std::max(m_openLength, write.newLength());
    return StoreStatus::success();
}

StoreStatus DataFile::ReadBytes(std::uint64_t offset, std::size_t size,
                                std::vector<std::uint8_t>& out) {
    if (m_handle < 0) {
        return {StoreError::NotOpen, path(kDataFileName), "the data file is not open"};
    }
    out.resize(size);
    std::size_t got = 0;
    if (int err = m_fs.readAt(m_handle, offset, out.data(), size, got)) {
        return StoreStatus::ioError(path(kDataFileName), err);
    }
    out.resize(got);
    return StoreStatus::success();
}

// Undoes a failed write of slot `number`: the bytes it covered go back, the
// file is cut back to its old length and flushed. Returns `failure` when
// that worked, and otherwise says that the file is not as it was.
StoreStatus DataFile::putBack(int number, std::uint64_t start,
                              const std::vector<std::uint8_t>& before, std::uint64_t oldLength,
                              const StoreStatus& failure) {
    int err = before.empty() ? 0 : m_fs.writeAt(m_handle, start, before.data(), before.size());
    if (err == 0) {
        err = m_fs.truncate(m_handle, oldLength);
    }
    if (err == 0) {
        err = m_fs.sync(m_handle);
    }
    if (err == 0) {
        m_unflushed = false;
        return failure;
    }
    dropReadAhead();
    const bool append = static_cast<std::uint64_t>(number - 1) * kSlot >= oldLength;
    const std::string holds =
        append ? "the file may now end in a partly written entry " + std::to_string(number)
               : "entry " + std::to_string(number) + " in the file may now be partly overwritten";
    return {StoreError::RollbackFailed, failure.fileName,
            failure.reason + "; putting back what was there failed too (" +
                StoreStatus::ioError(failure.fileName, err).reason + "), so " + holds +
                ", until the next opening of the file finishes the write from " +
                std::string(kJournalFileName)};
}

StoreStatus DataFile::DeleteAndCompact(int number) {
    if (StoreStatus opened = OpenDataFile(); !opened.ok()) {
        return opened;
    }
    const std::string dataName = path(kDataFileName);
    if (number < 1 || number > m_recordCount) {
        (void)CloseDataFile();
        return {StoreError::NoSuchRecord, dataName,
                "there is no entry number " + std::to_string(number)};
    }
    if (!m_readOnlyReason.empty()) {
        (void)CloseDataFile();
        return {StoreError::ReadOnly, dataName, m_readOnlyReason};
    }
    // Nothing below writes the data file, so undoing a failure only takes
    // away the scratch file, which is never read: its scope does that.
    bool trashed = false;
    auto undo = [&](const StoreStatus& failure) {
        if (trashed) {
            takeBackFromTrash();  // the entry stays in the book, so not in the trash
        }
        (void)CloseDataFile();
        return failure;
    };
    if (StoreStatus kept = keepInTrash(number); !kept.ok()) {
        return undo(kept);
    }
    trashed = true;
    ScratchFile scratch(m_fs, path(kScratchFileName));
    if (StoreStatus started = startScratch(scratch); !started.ok()) {
        return undo(started);
    }
    int kept = 0;
    if (StoreStatus copied = compactInto(scratch, number, false, kept); !copied.ok()) {
        return undo(copied);
    }
    if (StoreStatus finished = scratch.finish(); !finished.ok()) {
        return undo(finished);
    }
    if (StoreStatus closed = CloseDataFile(); !closed.ok()) {
        return undo(closed);
    }
    StoreStatus replaced = replaceWithScratch(scratch, kept);
    if (!replaced.ok() && replaced.error != StoreError::FolderNotFlushed) {
        return undo(replaced);
    }
    m_recordCount = static_cast<std::int16_t>(kept);
    return replaced;
}

// Puts the complete, flushed scratch file in the data file's place (or, when
// no record is left, removes both) and flushes the folder.
StoreStatus DataFile::replaceWithScratch(ScratchFile& scratch, int kept) {
    noteChange();
    const std::string dataName = path(kDataFileName);
    if (kept > 0) {
        if (StoreStatus placed = scratch.placeAs(dataName, true); !placed.ok()) {
            return placed;
        }
    } else {
        if (StoreStatus discarded = scratch.discard(); !discarded.ok()) {
            return discarded;
        }
        if (int err = m_fs.remove(dataName)) {
            return StoreStatus::ioError(dataName, err);
        }
        // The journal goes with the book; retired above, it holds nothing.
        m_fs.remove(path(kJournalFileName));
    }
    if (int err = m_fs.syncDirectoryOf(dataName)) {
        return {StoreError::FolderNotFlushed, dataName,
                "the entry was deleted, but the folder could not be flushed to the disk (" +
                    systemReason(err) + "), so a power cut now could bring the entry back"};
    }
    return StoreStatus::success();
}

// Made afresh beside the data file with its permissions, after its journal
// is retired: no earlier save may be finished into the file that replaces it.
// A scratch file left by an interrupted run holds nothing of value.
StoreStatus DataFile::startScratch(ScratchFile& scratch) {
    const std::string dataName = path(kDataFileName);
    if (StoreStatus retired = retireJournal(m_fs, dataName); !retired.ok()) {
        return retired;
    }
    std::uint32_t mode = 0;
    if (int err = m_fs.permissions(m_handle, mode)) {
        return StoreStatus::ioError(dataName, err);
    }
    return scratch.create(mode, ScratchFile::Leftover::Remove);
}

// Writes `recordAt(0)` to `recordAt(count - 1)` into `scratch` from slot
// `first` (0-based) on, in large writes.
StoreStatus DataFile::writeChunks(ScratchFile& scratch, int first, int count,
                                  const std::function<const ContactRecord&(int)>& recordAt) {
    std::vector<std::uint8_t> chunk;
    chunk.reserve(static_cast<std::size_t>(std::min(kCompactChunkSlots, std::max(count, 1))) *
                  kSlot);
    for (int i = 0; i < count;) {
        const int end = std::min(count, i + kCompactChunkSlots);
        chunk.clear();
        for (int k = i; k < end; ++k) {
            const auto& bytes = recordAt(k).encode();
            chunk.insert(chunk.end(), bytes.begin(), bytes.end());
        }
        const std::uint64_t offset = static_cast<std::uint64_t>(first + i) * kSlot;
        if (StoreStatus wrote = scratch.write(offset, chunk.data(), chunk.size()); !wrote.ok()) {
            return wrote;
        }
        i = end;
    }
    return StoreStatus::success();
}

// Copies every record but `skipped` (and, unless `keepKilled`, those marked
// "$Killed$") from the open data file into `scratch`, in order, in large
// writes; `kept` counts them. A ragged last slot is copied whole, its
// missing part as a cleared record's.
StoreStatus DataFile::compactInto(ScratchFile& scratch, int skipped, bool keepKilled, int& kept) {
    std::vector<ContactRecord> chunk;
    chunk.reserve(
        static_cast<std::size_t>(std::min(kCompactChunkSlots, std::max<int>(m_recordCount, 1))));
    kept = 0;
    auto flush = [&]() {
        const StoreStatus wrote =
            writeChunks(scratch, kept, static_cast<int>(chunk.size()),
                        [&](int k) -> const ContactRecord& { return chunk[k]; });
        kept += static_cast<int>(chunk.size());
        chunk.clear();
        return wrote;
    };
    for (int i = 1; i <= m_recordCount; ++i) {
        if (StoreStatus read = ReadRecord(i); !read.ok()) {
            return read;
        }
        if (i == skipped || (!keepKilled && m_current.isKilled())) {
            continue;
        }
        chunk.push_back(m_current);
        if (chunk.size() >= static_cast<std::size_t>(kCompactChunkSlots)) {
            if (StoreStatus flushed = flush(); !flushed.ok()) {
                return flushed;
            }
        }
    }
    return flush();
}

}  // namespace corvane
