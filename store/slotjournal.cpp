#include "slotjournal.h"

#include <algorithm>
#include <array>
#include <cstring>

namespace corvane {
namespace {

constexpr std::array<std::uint8_t, 8> kMagic = {'C', 'o', 'r', 'v', 'J', 'n', 'l', '1'};
// magic, start, old length, byte count; then the bytes; then the checksum.
constexpr std::size_t kHeaderSize = 8 + 8 + 8 + 8;
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

}  // namespace

std::string journalPathOf(const std::string& dataPath) {
    const auto slash = dataPath.rfind('/');
    const std::string folder = slash == std::string::npos ? "" : dataPath.substr(0, slash + 1);
    return folder + std::string(kJournalFileName);
}

std::uint64_t SlotWrite::newLength() const {
    return std::max(oldLength, start + bytes.size());
}

bool SlotWrite::fits(std::uint64_t length) const {
    return length >= oldLength && length <= newLength();
}

std::vector<std::uint8_t> encodeJournal(const SlotWrite& write) {
    std::vector<std::uint8_t> out(kMagic.begin(), kMagic.end());
    out.reserve(kHeaderSize + write.bytes.size() + kChecksumSize);
    putU64(out, write.start);
    putU64(out, write.oldLength);
    putU64(out, write.bytes.size());
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
    if (count == 0 || count > kMaxJournalSize ||
        kHeaderSize + count + kChecksumSize > bytes.size()) {
        return std::nullopt;
    }
    const std::size_t end = kHeaderSize + static_cast<std::size_t>(count);
    if (getU64(&bytes[end]) != checksum(bytes.first(end))) {
        return std::nullopt;
    }
    // Offsets so large that they would wrap are nobody's write.
    if (write.start > (std::uint64_t{1} << 48) || write.oldLength > (std::uint64_t{1} << 48)) {
        return std::nullopt;
    }
    write.bytes.assign(bytes.begin() + kHeaderSize,
                       bytes.begin() + static_cast<std::ptrdiff_t>(end));
    return write;
}

}  // namespace corvane
