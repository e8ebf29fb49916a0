#include "trash.h"

#include <algorithm>
#include <cerrno>
#include <cstring>
#include <ctime>

#include "scratchfile.h"

namespace corvane {
namespace {

constexpr char kMark[8] = {'C', 'o', 'r', 'v', 'T', 'r', 's', '1'};
constexpr std::size_t kHead = 40;
constexpr std::size_t kPiece = kHead + ContactRecord::kSize;

void putU64(std::uint8_t* at, std::uint64_t value) {
    std::memcpy(at, &value, 8);
}
std::uint64_t getU64(const std::uint8_t* at) {
    std::uint64_t value = 0;
    std::memcpy(&value, at, 8);
    return value;
}

// FNV-1a over the piece but its checksum.
std::uint64_t checksumOf(const std::uint8_t* piece) {
    std::uint64_t h = 14695981039346656037ULL;
    for (std::size_t i = 0; i < kPiece; ++i) {
        if (i < 28 || i >= 36) {
            h = (h ^ piece[i]) * 1099511628211ULL;
        }
    }
    return h;
}

std::vector<std::uint8_t> pieceOf(const TrashedEntry& e) {
    std::vector<std::uint8_t> piece(kPiece, 0);
    std::memcpy(piece.data(), kMark, 8);
    putU64(piece.data() + 8, static_cast<std::uint64_t>(e.deletedAt));
    const auto number = static_cast<std::uint32_t>(e.number);
    std::memcpy(piece.data() + 16, &number, 4);
    putU64(piece.data() + 20, e.bookBefore);
    std::memcpy(piece.data() + kHead, e.record.encode().data(), ContactRecord::kSize);
    putU64(piece.data() + 28, checksumOf(piece.data()));
    return piece;
}

bool readPiece(const std::uint8_t* piece, TrashedEntry& e) {
    if (std::memcmp(piece, kMark, 8) != 0 || getU64(piece + 28) != checksumOf(piece)) {
        return false;
    }
    e.deletedAt = static_cast<std::int64_t>(getU64(piece + 8));
    std::uint32_t number = 0;
    std::memcpy(&number, piece + 16, 4);
    e.number = static_cast<int>(number);
    e.bookBefore = getU64(piece + 20);
    e.record = ContactRecord::decode(
        std::span<const std::uint8_t, ContactRecord::kSize>(piece + kHead, ContactRecord::kSize));
    return true;
}

std::int64_t systemNow() {
    return static_cast<std::int64_t>(std::time(nullptr));
}

}  // namespace

void BookCheck::add(const std::uint8_t* bytes, std::size_t size) {
    // Eight bytes a step: the whole book is checked at each deletion.
    std::size_t i = 0;
    for (; i + 8 <= size; i += 8) {
        m_hash = (m_hash ^ getU64(bytes + i)) * 1099511628211ULL;
    }
    for (; i < size; ++i) {
        m_hash = (m_hash ^ bytes[i]) * 1099511628211ULL;
    }
    m_length += size;
}

Trash::Trash(FileSystem& fs, std::string dataPath, std::function<std::int64_t()> now)
    : m_fs(fs), m_path(dataPath + ".trash"), m_now(now ? std::move(now) : systemNow) {}

StoreStatus Trash::read(std::vector<TrashedEntry>& entries, std::string& problem) {
    entries.clear();
    problem.clear();
    int handle = -1;
    if (int err = m_fs.open(m_path, OpenMode::ReadOwnFile, handle)) {
        if (err == ENOENT) {
            return StoreStatus::success();  // nothing deleted yet
        }
        if (err != kNotARegularFile && err != kNotTheUsersFile && err != EISDIR) {
            return StoreStatus::ioError(m_path, err);  // the system refused: no finding
        }
        problem = m_path + " is not a trash Corvane made (" + systemReason(err) + ")";
        return StoreStatus::success();
    }
    std::uint64_t length = 0;
    int err = m_fs.size(handle, length);
    std::vector<std::uint8_t> bytes;
    // Never more than its bounds and one piece being trimmed: what is larger
    // is not read at all.
    if (err == 0 && length > (kTrashKeeps + 2) * kPiece) {
        m_fs.close(handle);
        problem = m_path + " is larger than any trash Corvane writes";
        return StoreStatus::success();
    }
    if (err == 0) {
        bytes.resize(static_cast<std::size_t>(length));
        std::size_t got = 0;
        err = m_fs.readAt(handle, 0, bytes.data(), bytes.size(), got);
        bytes.resize(got);
    }
    m_fs.close(handle);
    if (err != 0) {
        return StoreStatus::ioError(m_path, err);
    }
    for (std::size_t at = 0; at + kPiece <= bytes.size(); at += kPiece) {
        TrashedEntry e;
        if (!readPiece(bytes.data() + at, e)) {
            entries.clear();
            problem = m_path + " is damaged or not a trash Corvane made: its entry " +
                      std::to_string(at / kPiece + 1) + " does not read whole";
            return StoreStatus::success();
        }
        entries.push_back(std::move(e));
    }
    return StoreStatus::success();
}

StoreStatus Trash::setAside(std::string& problem, const std::string& why) {
    for (int attempt = 1; attempt < 1000; ++attempt) {
        const std::string aside =
            m_path + ".set-aside" + (attempt == 1 ? "" : "-" + std::to_string(attempt));
        const int err = m_fs.renameNoReplace(m_path, aside);
        if (err == EEXIST) {
            continue;
        }
        if (err != 0 && err != ENOENT) {
            return StoreStatus::ioError(m_path, err);
        }
        problem = why + "; it was set aside as " + aside + ", untouched, and a new trash begun";
        return StoreStatus::success();
    }
    return {StoreError::Io, m_path, "too many trash files set aside are in the way"};
}

StoreStatus Trash::add(TrashedEntry entry, std::string& problem) {
    std::vector<TrashedEntry> kept;
    if (StoreStatus read = this->read(kept, problem); !read.ok()) {
        return read;
    }
    if (!problem.empty()) {
        if (StoreStatus aside = setAside(problem, problem); !aside.ok()) {
            return aside;
        }
    }
    entry.deletedAt = m_now();
    int handle = -1;
    int err = m_fs.open(m_path, OpenMode::WriteOwnFile, handle);
    if (err == ENOENT) {
        err = m_fs.open(m_path, OpenMode::CreateNew, handle, 0600);
    }
    if (err != 0) {
        return StoreStatus::ioError(m_path, err);
    }
    // After the whole pieces: a part of one at the end is an append cut short.
    const std::uint64_t end = kept.size() * kPiece;
    const std::vector<std::uint8_t> piece = pieceOf(entry);
    err = m_fs.truncate(handle, end);
    if (err == 0) {
        err = m_fs.writeAt(handle, end, piece.data(), piece.size());
    }
    if (err == 0) {
        err = m_fs.sync(handle);
    }
    m_fs.close(handle);
    if (err != 0) {
        return StoreStatus::ioError(m_path, err);
    }
    if (end == 0) {  // a new trash: its name must last as long as the entry
        if (int flushErr = m_fs.syncDirectoryOf(m_path)) {
            return StoreStatus::ioError(m_path, flushErr);
        }
    }
    // Trimmed to its bounds: the newest 1,000, none older than 90 days.
    kept.push_back(entry);
    const std::size_t had = kept.size();
    const std::int64_t oldest = entry.deletedAt - kTrashKeepsSeconds;
    std::erase_if(kept, [&](const TrashedEntry& e) { return e.deletedAt < oldest; });
    if (kept.size() > static_cast<std::size_t>(kTrashKeeps)) {
        kept.erase(kept.begin(), kept.end() - kTrashKeeps);
    }
    if (kept.size() < had) {
        (void)rewrite(kept);
    }
    return StoreStatus::success();
}

StoreStatus Trash::remove(std::size_t index) {
    std::vector<TrashedEntry> entries;
    std::string problem;
    if (StoreStatus read = this->read(entries, problem); !read.ok()) {
        return read;
    }
    if (!problem.empty() || index >= entries.size()) {
        return {StoreError::NoSuchRecord, m_path,
                problem.empty() ? "there is no such deleted entry" : problem};
    }
    entries.erase(entries.begin() + static_cast<std::ptrdiff_t>(index));
    return rewrite(entries);
}

// The trash replaced, whole and flushed, by one holding `keep`.
StoreStatus Trash::rewrite(const std::vector<TrashedEntry>& keep) {
    ScratchFile scratch(m_fs, m_path + ".new");
    if (StoreStatus made = scratch.create(0600, ScratchFile::Leftover::Remove); !made.ok()) {
        return made;
    }
    std::vector<std::uint8_t> bytes;
    bytes.reserve(keep.size() * kPiece);
    for (const TrashedEntry& e : keep) {
        const std::vector<std::uint8_t> piece = pieceOf(e);
        bytes.insert(bytes.end(), piece.begin(), piece.end());
    }
    if (StoreStatus wrote = scratch.write(0, bytes.data(), bytes.size()); !wrote.ok()) {
        return wrote;
    }
    if (StoreStatus finished = scratch.finish(); !finished.ok()) {
        return finished;
    }
    if (StoreStatus placed = scratch.placeAs(m_path, true); !placed.ok()) {
        return placed;
    }
    if (int err = m_fs.syncDirectoryOf(m_path)) {
        return StoreStatus::ioError(m_path, err);
    }
    return StoreStatus::success();
}

}  // namespace corvane
