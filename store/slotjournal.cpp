#include "slotjournal.h"

#include <algorithm>
#include <array>
#include <cstring>

namespace corvane {
namespace {

constexpr std::uint64_t kSlot = 3000;
constexpr std::uint64_t kMaxSlots = 32767;
// A disk writes 512-byte sectors: a write cut short holds whole sectors of old
// and of new bytes.
constexpr std::uint64_t kSector = 512;

// The second layout; a journal of the first, which recorded nothing of what
// it overwrote, is never finished.
constexpr std::array<std::uint8_t, 8> kMagic = {'C', 'o', 'r', 'v', 'J', 'n', 'l', '2'};
// magic, start, old length, byte count, checksum count; then the checksums of
// the old bytes; then the bytes; then the checksum of all before it.
constexpr std::size_t kHeaderSize = 5 * 8;
constexpr std::size_t kChecksumSize = 8;

void putU64(std::vector<std::uint8_t>& out, std::uint64_t v) {
    for (int i = 0; i < 8; ++i) {
        out.push_back(static_cast<std::uint8_t>(v >> (8 * i)));
    }
}

std::uint64_t getU64(const std::uint8_t* p) {
    std::uint64_t v = 0;
    for (int i = 7; i >= 0; --i) {
        v = (v << 8) | p[i];
    }
    return v;
}

// FNV-1a, 64 bits: a journal cut short or mixed from two saves fails it.
std::uint64_t checksum(std::span<const std::uint8_t> bytes) {
    std::uint64_t h = 14695981039346656037ULL;
    for (std::uint8_t b : bytes) {
        h = (h ^ b) * 1099511628211ULL;
    }
    return h;
}

struct Piece {
    std::uint64_t from = 0;  // file offsets
    std::uint64_t to = 0;
    bool old = false;  // inside the old file: it has a checksum
};

// The write's range cut at each sector boundary and at the old end of file.
std::vector<Piece> piecesOf(std::uint64_t start, std::uint64_t oldLength, std::uint64_t count) {
    std::vector<Piece> pieces;
    const std::uint64_t end = start + count;
    for (std::uint64_t at = start; at < end;) {
        std::uint64_t next = std::min(end, (at / kSector + 1) * kSector);
        if (at < oldLength && next > oldLength) {
            next = oldLength;
        }
        pieces.push_back({at, next, next <= oldLength});
        at = next;
    }
    return pieces;
}

std::size_t oldPieceCount(std::uint64_t start, std::uint64_t oldLength, std::uint64_t count) {
    const auto pieces = piecesOf(start, oldLength, count);
    return static_cast<std::size_t>(
        std::count_if(pieces.begin(), pieces.end(), [](const Piece& p) { return p.old; }));
}

}  // namespace

std::string journalPathOf(const std::string& dataPath) {
    const auto slash = dataPath.rfind('/');
    const std::string folder = slash == std::string::npos ? "" : dataPath.substr(0, slash + 1);
    return folder + std::string(kJournalFileName);
}

std::uint64_t SlotWrite::newLength() const {
    return std::max(oldLength, start + bytes.size());
}

SlotWrite makeSlotWrite(std::uint64_t start, std::uint64_t oldLength,
                        std::vector<std::uint8_t> bytes, std::span<const std::uint8_t> before) {
    SlotWrite write{start, oldLength, std::move(bytes), {}};
    for (const Piece& piece : piecesOf(start, oldLength, write.bytes.size())) {
        if (piece.old) {
            const std::size_t from = piece.from - start;
            const std::size_t to = std::min<std::size_t>(piece.to - start, before.size());
            write.oldSums.push_back(checksum(before.subspan(from, to > from ? to - from : 0)));
        }
    }
    return write;
}

bool isSaveShaped(std::uint64_t start, std::uint64_t oldLength, std::uint64_t count) {
    if (count == 0 || start > kMaxSlots * kSlot || oldLength > kMaxSlots * kSlot + kSlot ||
        start + count > kMaxSlots * kSlot) {
        return false;
    }
    const bool rewrite = start % kSlot == 0 && count == kSlot && start < oldLength;
    const bool append =
        start == oldLength && (start + count) % kSlot == 0 && count >= kSlot && count < 2 * kSlot;
    return rewrite || append;
}

std::size_t encodedJournalSize(const SlotWrite& write) {
    return kHeaderSize + write.oldSums.size() * 8 + write.bytes.size() + kChecksumSize;
}

std::vector<std::uint8_t> encodeJournal(const SlotWrite& write) {
    std::vector<std::uint8_t> out(kMagic.begin(), kMagic.end());
    out.reserve(encodedJournalSize(write));
    putU64(out, write.start);
    putU64(out, write.oldLength);
    putU64(out, write.bytes.size());
    putU64(out, write.oldSums.size());
    for (std::uint64_t sum : write.oldSums) {
        putU64(out, sum);
    }
    out.insert(out.end(), write.bytes.begin(), write.bytes.end());
    putU64(out, checksum(out));
    return out;
}

std::optional<SlotWrite> decodeJournal(std::span<const std::uint8_t> bytes) {
    if (bytes.size() < kHeaderSize + kChecksumSize ||
        !std::equal(kMagic.begin(), kMagic.end(), bytes.begin())) {
        return std::nullopt;
    }
    SlotWrite write;
    write.start = getU64(&bytes[8]);
    write.oldLength = getU64(&bytes[16]);
    const std::uint64_t count = getU64(&bytes[24]);
    const std::uint64_t sums = getU64(&bytes[32]);
    // Only a write a save makes is ever finished: no journal, however well
    // its checksum is forged, writes anywhere else.
    if (!isSaveShaped(write.start, write.oldLength, count) ||
        sums != oldPieceCount(write.start, write.oldLength, count)) {
        return std::nullopt;
    }
    const std::size_t end = kHeaderSize + static_cast<std::size_t>(sums * 8 + count);
    if (end + kChecksumSize > bytes.size() || getU64(&bytes[end]) != checksum(bytes.first(end))) {
        return std::nullopt;
    }
    for (std::size_t i = 0; i < sums; ++i) {
        write.oldSums.push_back(getU64(&bytes[kHeaderSize + i * 8]));
    }
    write.bytes.assign(bytes.begin() + static_cast<std::ptrdiff_t>(kHeaderSize + sums * 8),
                       bytes.begin() + static_cast<std::ptrdiff_t>(end));
    return write;
}

JournalVerdict judgeJournal(const SlotWrite& write, std::span<const std::uint8_t> found,
                            std::uint64_t fileLength) {
    if (fileLength < write.oldLength || fileLength > write.newLength()) {
        return JournalVerdict::Stale;
    }
    // Only our write makes the file longer than it was.
    bool begun = fileLength > write.oldLength;
    bool whole = fileLength == write.newLength();
    std::size_t sum = 0;
    for (const Piece& piece : piecesOf(write.start, write.oldLength, write.bytes.size())) {
        const std::size_t from = piece.from - write.start;
        const std::size_t to = std::min<std::size_t>(piece.to - write.start, found.size());
        const auto here = found.subspan(from, to > from ? to - from : 0);
        const auto meant = std::span(write.bytes).subspan(from, piece.to - piece.from);
        const bool isNew = std::equal(here.begin(), here.end(), meant.begin(), meant.end());
        if (piece.old) {
            const bool isOld = checksum(here) == write.oldSums[sum++];
            if (!isNew && !isOld) {
                return JournalVerdict::Stale;
            }
            begun = begun || (isNew && !isOld);
            whole = whole && isNew;
        } else {
            // Past the old end: bytes of this write, or zeros a power cut
            // left where the file grew before its data reached the disk.
            for (std::size_t i = 0; i < here.size(); ++i) {
                if (here[i] != meant[i] && here[i] != 0) {
                    return JournalVerdict::Stale;
                }
            }
            whole = whole && isNew;
        }
    }
    if (whole) {
        return JournalVerdict::Made;
    }
    return begun ? JournalVerdict::Finish : JournalVerdict::NotBegun;
}

}  // namespace corvane
