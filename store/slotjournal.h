#pragma once

// The journal that makes saving one entry atomic. The data file is
// rewritten in place, 3000 bytes at a time, and a power cut in the middle of
// that write could leave a slot half old and half new. So every write is
// first recorded whole, with a checksum, in a journal file beside the data
// file and flushed there; only then is the data file written and flushed,
// and the journal is then emptied.
//
// A journal found whole at the next open is only trusted as far as the data
// file bears it out. It records, besides the new bytes, a checksum of the
// old bytes of every piece of the range (the range cut at each 512-byte
// sector, as a disk tears a write, and at the old end of the file). The
// write is finished only when every piece holds its old or its new bytes
// and at least one already holds the new: the write had begun and was cut
// short. A range that holds only old bytes was never begun (or was put back
// since by someone else) and is left so; a range holding anything else was
// changed by another program since, and the journal is set aside unread.
//
// The journal file stays beside the data file between saves, so that a save
// costs two flushes and no change of the folder. The data file's own layout
// is untouched by all this.

#include <cstdint>
#include <optional>
#include <span>
#include <string>
#include <string_view>
#include <vector>

namespace corvane {

inline constexpr std::string_view kJournalFileName = "Corvane.Data.journal";
// A journal that does not match its data file is kept under this name (or
// "-2", "-3", ... after it) for whoever wants to look at it.
inline constexpr std::string_view kSetAsideJournalName = "Corvane.Data.journal.set-aside";

// The journal's path beside the data file at `dataPath`.
std::string journalPathOf(const std::string& dataPath);

// One write of the data file: `bytes` at byte `start`, into a file that was
// `oldLength` bytes long, with the checksums of what it overwrites.
struct SlotWrite {
    std::uint64_t start = 0;
    std::uint64_t oldLength = 0;
    std::vector<std::uint8_t> bytes;
    // One checksum for each piece of the range inside the old file.
    std::vector<std::uint64_t> oldSums;

    // The length of the data file once the write is made.
    std::uint64_t newLength() const;
};

// The write of `bytes` at `start` into a file of `oldLength` bytes whose
// bytes from `start` are `before` (as many as the old file holds there).
SlotWrite makeSlotWrite(std::uint64_t start, std::uint64_t oldLength,
                        std::vector<std::uint8_t> bytes, std::span<const std::uint8_t> before);

// Whether a save could make this write: a rewrite of one whole slot that
// begins inside the file, or an append at the file's old length padded to
// end on a slot's end, within the 32,767 slots a book holds.
bool isSaveShaped(std::uint64_t start, std::uint64_t oldLength, std::uint64_t count);

// The journal's bytes for `write`: a magic word, the write, the checksums
// of the old bytes and a checksum of it all.
std::vector<std::uint8_t> encodeJournal(const SlotWrite& write);
// The length of encodeJournal(write).
std::size_t encodedJournalSize(const SlotWrite& write);

// The write a journal holds, or nothing when the bytes are not one whole,
// intact journal of a write a save could make (empty, emptied, cut short,
// damaged, of an older layout, or crafted). Any bytes at all may be given.
std::optional<SlotWrite> decodeJournal(std::span<const std::uint8_t> bytes);

enum class JournalVerdict {
    NotBegun,  // the range holds the old bytes: the data file never saw the write
    Finish,    // the write was cut short: old and new pieces, at least one new
    Made,      // the write is in the file whole
    Stale,     // something else changed the range since: the journal must not be used
};

// What `write` is to a data file now `fileLength` bytes long, whose bytes
// from `write.start` on (up to the write's new end) are `found`.
JournalVerdict judgeJournal(const SlotWrite& write, std::span<const std::uint8_t> found,
                            std::uint64_t fileLength);

// No journal is ever longer than this: two slots, their checksums and the header.
inline constexpr std::size_t kMaxJournalSize = 8192;

}  // namespace corvane
