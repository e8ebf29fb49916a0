#pragma once

// The data file: fixed 3000-byte slots, no header, record N at byte
// (N-1)*3000. Every user action opens it, reads and writes through the one
// record buffer, and closes it again; nothing holds it open in between.
//
// Writes are safe: a write that fails leaves the file as it was; a write cut
// short by a crash or a power cut is finished from the journal beside the
// file at the next open (see slotjournal.h); and a deletion writes the
// compacted file beside the old one and renames it over the old one only
// when it is complete and on the disk.

#include <cstdint>
#include <functional>
#include <optional>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

#include "contactrecord.h"
#include "filesystem.h"
#include "slotjournal.h"
#include "storestatus.h"

namespace corvane {

class ScratchFile;

inline constexpr std::string_view kDataFileName = "Corvane.Data";
inline constexpr std::string_view kScratchFileName = "TempFile.Data";
inline constexpr std::string_view kOldDataFileName = "Corvane.Dat";

// A record number is a 16-bit signed value, so this is the most a file holds.
inline constexpr int kMaxRecords = 32767;

// The number of `slotSize`-byte slots in a file of `length` bytes: the length
// divided by the slot size, rounded to the nearest whole number, halves to even.
std::uint64_t slotCount(std::uint64_t length, std::uint64_t slotSize);

// Something wrong with the data file's shape, found when it was opened.
struct FileDamage {
    enum class Kind {
        UnevenLength,  // length not a multiple of 3000: a copy is kept before any write
        TooLarge,      // more than 32767 slots: only read, never written
        NotWritable,   // the system lets the file be read but not written
    };
    Kind kind;
    std::uint64_t length = 0;  // the file's length in bytes
    std::string copyName;      // UnevenLength: the copy kept beside it ("" if none)
    bool copyMadeNow = false;  // UnevenLength: this open made the copy
    std::string copyFailure;   // UnevenLength: why no copy could be made
    std::string reason;        // NotWritable: the system's reason

    // The finding in plain words, for the user.
    std::string describe() const;
    // Whether the user still needs to hear of it: an uneven file whose copy
    // was kept at an earlier open has been reported already.
    bool worthTelling() const;
};

// Empties the journal beside the data file at `dataPath`, on the disk, when
// it holds a whole write. Whatever replaces the data file as a whole does
// this first, so that no earlier save can be finished into the new file.
// Fails only when a whole journal cannot be emptied.
StoreStatus retireJournal(FileSystem& fs, const std::string& dataPath);

// The write the journal beside the data file at `dataPath` holds whole,
// read without changing anything. When there is none, `err` says why: 0 (no
// whole write in it), ENOENT (no journal), kNotARegularFile, kNotTheUsersFile,
// EISDIR, or the system's reason it could not be read.
std::optional<SlotWrite> readJournal(FileSystem& fs, const std::string& dataPath, int& err);

// Judges `write` against the open data file `dataHandle` (see judgeJournal);
// returns 0 or the errno of a failed read.
int judgeJournalAgainst(FileSystem& fs, int dataHandle, const SlotWrite& write,
                        JournalVerdict& verdict);

class DataFile {
  public:
    // `directory` is where the data file lives; empty means the current
    // directory, which is where the program keeps it.
    explicit DataFile(FileSystem& fs = realFileSystem(), std::string directory = {});
    ~DataFile();
    DataFile(const DataFile&) = delete;
    DataFile& operator=(const DataFile&) = delete;

    // Opens the data file for reading and writing, creating it empty when it
    // is missing (and flushing the folder, so the new name lasts), and sets
    // RecordCount. A file already open is closed first.
    // A file whose shape is wrong still opens (see damage()); a file with too
    // many slots opens read-only and counts 32767 records; an existing file
    // the system will not let us write opens read-only too. Once the shape
    // is known (and an uneven file's copy kept), a writable file's journal
    // is settled: a save cut short is finished, a journal the file no longer
    // bears out is set aside, a journal that is not a regular file of the
    // user's is left alone; see notices(). Fails, leaving the file closed,
    // when the system refuses to open it at all.
    StoreStatus OpenDataFile();

    // Closes the file. Does nothing when no file is open. RecordCount stays
    // as the open learnt it and the writes since made it. A close that
    // fails after every write was flushed has lost nothing and is no failure.
    StoreStatus CloseDataFile();

    // OpenDataFile followed by CloseDataFile: learns RecordCount.
    StoreStatus RefreshRecordCount();

    // One user action on the file: OpenDataFile, `action`, CloseDataFile,
    // the file closed whatever `action` returns. The first failure is
    // returned: the open's (then `action` does not run), `action`'s, or the
    // close's.
    StoreStatus UseDataFile(const std::function<StoreStatus()>& action);

    // While off, opening a missing data file does not create it: the book
    // reads as empty, and the first write creates the file. A conversion of
    // the previous format that failed turns it off, so that merely listing
    // the empty book does not take away the next start's offer to convert.
    void setCreateWhenMissing(bool create) { m_createWhenMissing = create; }

    // Reads slot `number` of the open file into CurrentRecord. A slot beyond
    // the end of the file reads as a cleared record; a slot cut short by the
    // end of the file has the cleared record's bytes for its missing part.
    StoreStatus ReadRecord(int number);

    // Writes CurrentRecord into slot `number` of the open file and flushes it
    // to the disk, through the journal, so that a crash at any moment leaves
    // the file as it was or as it is meant to be. Writing just past the last
    // slot appends one. On failure the file is put back as it was (an append
    // is cut back to the old length); should putting it back fail too, the
    // status is RollbackFailed and its reason says what the file may now
    // hold, and the journal is left to finish the write at the next open.
    StoreStatus WriteRecord(int number);

    // Removes record `number` (1-based) and compacts the file: every other
    // record not marked "$Killed$" (by an earlier program's deletion cut
    // short) is copied in order into a newly created scratch file with the
    // data file's permissions, which is flushed and renamed over the data
    // file, and the folder is flushed. When no record remains, the data file
    // is removed. The data file itself is never written, so a crash at any
    // moment leaves it as it was or as it is meant to be. Opens and closes the
    // file itself. On failure the data file is as it was before the call and
    // no scratch file is left. When only the final flush of the folder fails,
    // the deletion has been made and the status (FolderNotFlushed) says so.
    StoreStatus DeleteAndCompact(int number);
    // Before the deletion begins, the entry's slot, as it is, is appended to
    // the trash beside the book and flushed (see trash.h): a deletion whose
    // entry cannot be kept there is refused. What the trash had to say (one
    // set aside) is among the notices.

    // Puts entry `index` of the trash back into the book: in its old place
    // when the book is the very book it was deleted from, else after the
    // last entry; `number` says where. The new book is written beside the
    // old one and renamed over it, like a deletion, and only then is the
    // entry taken out of the trash. Refused, the entry staying in the trash,
    // when the book is full or only read.
    StoreStatus RestoreFromTrash(std::size_t index, int& number);

    // The clock of the trash, in seconds since 1970 (tests set their own).
    void setClock(std::function<std::int64_t()> clock) { m_clock = std::move(clock); }

    // Handle of the open file, 0 when closed.
    std::int16_t DataFileNumber() const { return m_handle >= 0 || m_absent ? 1 : 0; }
    // Slots in the file as found when it was last opened, with those the
    // writes since added.
    std::int16_t RecordCount() const { return m_recordCount; }
    // The one record buffer every read fills and every write stores.
    ContactRecord& CurrentRecord() { return m_current; }
    const ContactRecord& CurrentRecord() const { return m_current; }

    // What the last OpenDataFile found wrong with the file's shape, if anything.
    const std::optional<FileDamage>& damage() const { return m_damage; }
    // What the opens since the last call did with the journal that the user
    // should know of, in plain words: a save finished, a journal set aside or
    // not used. Each is handed out once; empty when there was nothing to say.
    std::vector<std::string> takeNotices() { return std::exchange(m_notices, {}); }

    // The data file's length when it was last opened (its journal settled),
    // with what the writes since added.
    std::uint64_t OpenLength() const { return m_openLength; }

    // Reads `size` bytes of the open file from `offset` (fewer at its end).
    StoreStatus ReadBytes(std::uint64_t offset, std::size_t size, std::vector<std::uint8_t>& out);

    // How many times this object has changed the file (a write, a deletion,
    // a restore, an append, a save finished from the journal), counted
    // whether or not the change went through. Work that read the book and
    // means to write to it later compares the count to learn that the book
    // was changed meanwhile.
    std::uint64_t changeCount() const { return m_changes; }
    // Called after each change, as counted above.
    void setOnChange(std::function<void()> onChange) { m_onChange = std::move(onChange); }

    // The path of a file beside the data file.
    std::string path(std::string_view name) const;
    FileSystem& fileSystem() { return m_fs; }

  private:
    friend class BookAppend;  // writes the new book beside this one

    StoreStatus openExisting(const std::string& name, bool created);
    StoreStatus learnShape();
    StoreStatus createAbsentFile();
    StoreStatus keepCopyOfDamagedFile(FileDamage& damage);
    StoreStatus writeCopy(const std::string& copyPath, const std::vector<std::uint8_t>& bytes);
    StoreStatus writeSlot(int number, const ContactRecord::Bytes& bytes);
    int openOwnJournal(int& journal);
    StoreStatus openJournal(int& journal, bool& made);
    StoreStatus writeJournal(const SlotWrite& write, int& journal);
    StoreStatus setJournalAside();
    StoreStatus settleJournal(bool& finished);
    StoreStatus abandonJournal(int journal, bool made, const StoreStatus& failure);
    void closeJournal(int journal, std::size_t written);
    StoreStatus putBack(int number, std::uint64_t start, const std::vector<std::uint8_t>& before,
                        std::uint64_t oldLength, const StoreStatus& failure);
    StoreStatus compactInto(ScratchFile& scratch, int skipped, bool keepKilled, int& kept);
    StoreStatus keepInTrash(int number);
    void takeBackFromTrash();
    StoreStatus checkBook(std::uint64_t& check, int insertAt, const ContactRecord* inserted);
    StoreStatus checkBookWithout(int number, std::uint64_t& check, int& place);
    StoreStatus refuseLinkedDataFile();
    StoreStatus startScratch(ScratchFile& scratch);
    StoreStatus writeChunks(ScratchFile& scratch, int first, int count,
                            const std::function<const ContactRecord&(int)>& recordAt);
    StoreStatus replaceWithScratch(ScratchFile& scratch, int kept);
    // Counts a change; see changeCount. Made when a change begins, so that
    // a change that fails halfway counts too.
    void noteChange() {
        ++m_changes;
        if (m_onChange) {
            m_onChange();
        }
    }
    void dropReadAhead() {
        m_readAheadSlots = 0;
        m_lastRead = 0;
    }

    FileSystem& m_fs;
    std::string m_directory;
    int m_handle = -1;
    bool m_createWhenMissing = true;
    bool m_absent = false;  // "open" on a missing file that is not to be created
    std::int16_t m_recordCount = 0;
    bool m_unflushed = false;  // a write since the last flush of the data file
    ContactRecord m_current;
    std::optional<FileDamage> m_damage;
    std::string m_readOnlyReason;  // non-empty when the open file must not be written
    std::vector<std::string> m_notices;
    std::function<std::int64_t()> m_clock;
    std::string m_setAsideName;  // the name the journal was last put aside as
    std::uint64_t m_openLength = 0;
    std::uint64_t m_changes = 0;
    std::function<void()> m_onChange;

    // Slots read ahead of the caller: the list rebuild reads every record in
    // order, and one large read is far cheaper than thousands of small ones.
    std::vector<std::uint8_t> m_readAhead;
    int m_readAheadFirst = 0;
    int m_readAheadSlots = 0;
    int m_lastRead = 0;  // the slot the last read asked for
};

}  // namespace corvane
