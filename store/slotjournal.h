#pragma once

// The journal that makes saving one entry atomic. The data file is
// rewritten in place, 3000 bytes at a time, and a power cut in the middle of
// that write could leave a slot half old and half new. So every write is
// first recorded whole, with a checksum, in a journal file beside the data
// file and flushed there; only then is the data file written and flushed,
// and the journal is then marked empty. At the next open a journal that is
// whole is written into the data file again (doing twice what was done
// once changes nothing), and one that is not whole was cut short before the
// data file was touched, so it is ignored.
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

// The journal's path beside the data file at `dataPath`.
std::string journalPathOf(const std::string& dataPath);

// One write of the data file: `bytes` at byte `start`, into a file that was
// `oldLength` bytes long.
struct SlotWrite {
    std::uint64_t start = 0;
    std::uint64_t oldLength = 0;
    std::vector<std::uint8_t> bytes;

    // The length of the data file once the write is made.
    std::uint64_t newLength() const;
    // Whether this write can belong to a data file now `length` bytes long:
    // one at its old length, at its new length, or anywhere between (an
    // append cut short). A journal left from another file is never applied.
    bool fits(std::uint64_t length) const;
};

// The journal's bytes for `write`: a magic word, the write and a checksum.
std::vector<std::uint8_t> encodeJournal(const SlotWrite& write);

// The write a journal holds, or nothing when the bytes are not one whole,
// intact journal (empty, marked done, cut short, or damaged). Any bytes at
// all may be given.
std::optional<SlotWrite> decodeJournal(std::span<const std::uint8_t> bytes);

// What marks a journal done: written over its start, it spoils the magic word.
inline constexpr std::size_t kJournalMarkSize = 8;

// No journal is ever longer than this: two slots and the header.
inline constexpr std::size_t kMaxJournalSize = 8192;

}  // namespace corvane
