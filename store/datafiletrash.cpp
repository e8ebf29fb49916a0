// The data file's side of the trash: keeping an entry there before it is
// deleted, and putting one back.

#include <cerrno>

#include "datafile.h"
#include "scratchfile.h"
#include "trash.h"

namespace corvane {

// A check of the open book's slots, as ReadRecord gives them, with
// `inserted` (when given) standing before slot `insertAt`: the book a
// deletion of that slot started from.
StoreStatus DataFile::checkBook(std::uint64_t& check, int insertAt, const ContactRecord* inserted) {
    BookCheck book;
    for (int i = 1; i <= m_recordCount + 1; ++i) {
        if (inserted != nullptr && i == insertAt) {
            book.add(inserted->encode().data(), ContactRecord::kSize);
        }
        if (i > m_recordCount) {
            break;
        }
        if (StoreStatus read = ReadRecord(i); !read.ok()) {
            return read;
        }
        book.add(m_current.encode().data(), ContactRecord::kSize);
    }
    check = book.value();
    return StoreStatus::success();
}

// The check of the book a deletion of entry `number` makes, with the entry
// standing where it will be put back: the entries marked "$Killed$", which
// the compaction drops, left out. `place` is the entry's number there.
StoreStatus DataFile::checkBookWithout(int number, std::uint64_t& check, int& place) {
    BookCheck book;
    place = 0;
    int kept = 0;
    for (int i = 1; i <= m_recordCount; ++i) {
        if (StoreStatus read = ReadRecord(i); !read.ok()) {
            return read;
        }
        if (i != number && m_current.isKilled()) {
            continue;
        }
        ++kept;
        place = i == number ? kept : place;
        book.add(m_current.encode().data(), ContactRecord::kSize);
    }
    check = book.value();
    return StoreStatus::success();
}

// Appends entry `number` of the open book to the trash, flushed.
StoreStatus DataFile::keepInTrash(int number) {
    TrashedEntry entry;
    if (StoreStatus checked = checkBookWithout(number, entry.bookBefore, entry.number);
        !checked.ok()) {
        return checked;
    }
    if (StoreStatus read = ReadRecord(number); !read.ok()) {
        return read;
    }
    entry.record = m_current;
    Trash trash(m_fs, path(kDataFileName), m_clock);
    std::string problem;
    StoreStatus kept = trash.add(std::move(entry), problem);
    if (!problem.empty()) {
        m_notices.push_back(problem);
    }
    if (!kept.ok()) {
        kept.reason += "; the entry could not be kept in the trash, so it was not deleted";
    }
    return kept;
}

// Takes the entry keepInTrash() just added out again: its deletion failed.
// Should that fail too, the trash holds an entry the book still has, which
// loses nothing.
void DataFile::takeBackFromTrash() {
    Trash trash(m_fs, path(kDataFileName), m_clock);
    std::vector<TrashedEntry> entries;
    std::string problem;
    if (trash.read(entries, problem).ok() && problem.empty() && !entries.empty()) {
        (void)trash.remove(entries.size() - 1);
    }
}

// A book written anew takes the data file's name by a rename: a link there,
// or a second name of the file, would be parted from the file it names,
// which would keep the old entries while the folder shows the new ones.
StoreStatus DataFile::refuseLinkedDataFile() {
    const std::string dataName = path(kDataFileName);
    int handle = -1;
    const int err = m_fs.open(dataName, OpenMode::ReadOwnFile, handle);
    if (err == 0) {
        m_fs.close(handle);
    } else if (err == kNotARegularFile) {
        return {StoreError::Io, dataName,
                "it is a link, or a file with a second name, and the book written anew would "
                "take its place without changing the file it names"};
    } else if (err != ENOENT && err != kNotTheUsersFile) {
        return StoreStatus::ioError(dataName, err);
    }
    return StoreStatus::success();
}

StoreStatus DataFile::RestoreFromTrash(std::size_t index, int& number) {
    number = 0;
    const std::string dataName = path(kDataFileName);
    Trash trash(m_fs, dataName, m_clock);
    std::vector<TrashedEntry> entries;
    std::string problem;
    if (StoreStatus read = trash.read(entries, problem); !read.ok()) {
        return read;
    }
    if (!problem.empty()) {
        return {StoreError::Io, trash.path(), problem};
    }
    if (index >= entries.size()) {
        return {StoreError::NoSuchRecord, trash.path(), "there is no such deleted entry"};
    }
    const TrashedEntry& entry = entries[index];
    if (StoreStatus replaceable = refuseLinkedDataFile(); !replaceable.ok()) {
        return replaceable;
    }
    if (StoreStatus opened = OpenDataFile(); !opened.ok()) {
        return opened;
    }
    auto undo = [&](const StoreStatus& failure) {
        (void)CloseDataFile();
        return failure;
    };
    if (!m_readOnlyReason.empty()) {
        return undo({StoreError::ReadOnly, dataName, m_readOnlyReason});
    }
    if (m_recordCount >= kMaxRecords) {
        return undo({StoreError::Full, dataName,
                     "the book holds 32,767 entries, all it can; the entry stays in the trash"});
    }
    // Its old place, when the book is the one it was deleted from.
    int place = m_recordCount + 1;
    if (entry.number >= 1 && entry.number <= m_recordCount + 1) {
        std::uint64_t check = 0;
        if (StoreStatus checked = checkBook(check, entry.number, &entry.record); !checked.ok()) {
            return undo(checked);
        }
        place = check == entry.bookBefore ? entry.number : place;
    }
    ScratchFile scratch(m_fs, path(kScratchFileName));
    if (StoreStatus started = startScratch(scratch); !started.ok()) {
        return undo(started);
    }
    const int count = m_recordCount;
    std::vector<ContactRecord> chunk;
    int written = 0;
    auto flush = [&]() {
        const StoreStatus wrote =
            writeChunks(scratch, written, static_cast<int>(chunk.size()),
                        [&](int k) -> const ContactRecord& { return chunk[k]; });
        written += static_cast<int>(chunk.size());
        chunk.clear();
        return wrote;
    };
    for (int i = 1; i <= count + 1; ++i) {
        if (i == place) {
            chunk.push_back(entry.record);
        }
        if (i <= count) {
            if (StoreStatus read = ReadRecord(i); !read.ok()) {
                return undo(read);
            }
            chunk.push_back(m_current);
        }
        if (chunk.size() >= 256) {
            if (StoreStatus flushed = flush(); !flushed.ok()) {
                return undo(flushed);
            }
        }
    }
    if (StoreStatus flushed = flush(); !flushed.ok()) {
        return undo(flushed);
    }
    if (StoreStatus finished = scratch.finish(); !finished.ok()) {
        return undo(finished);
    }
    if (StoreStatus closed = CloseDataFile(); !closed.ok()) {
        return undo(closed);
    }
    noteChange();
    if (StoreStatus placed = scratch.placeAs(dataName, true); !placed.ok()) {
        return placed;
    }
    m_recordCount = static_cast<std::int16_t>(count + 1);
    number = place;
    const int flushErr = m_fs.syncDirectoryOf(dataName);
    // Back in the book first, then out of the trash: a crash between leaves
    // it in both, never in neither.
    if (StoreStatus removed = trash.remove(index); !removed.ok()) {
        return {StoreError::Untidied, trash.path(),
                "the entry is back in the book as entry " + std::to_string(place) +
                    ", but it could not be taken out of the trash (" + removed.reason +
                    "), so the trash still lists it"};
    }
    if (flushErr != 0) {
        return {StoreError::FolderNotFlushed, dataName,
                "the entry is back, but the folder could not be flushed to the disk (" +
                    systemReason(flushErr) + "), so a power cut now could take it away again"};
    }
    return StoreStatus::success();
}

}  // namespace corvane
