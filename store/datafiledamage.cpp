// What the data file's shape can have wrong with it, and the copy kept of a
// file whose length is not a whole number of slots before anything writes
// to it.

#include <cerrno>

#include "datafile.h"
#include "scratchfile.h"

namespace corvane {
namespace {

constexpr std::uint64_t kSlot = ContactRecord::kSize;

std::string formatBytes(std::uint64_t n) {
    return std::to_string(n) + (n == 1 ? " byte" : " bytes");
}

}  // namespace

std::string FileDamage::describe() const {
    if (kind == Kind::NotWritable) {
        return "Corvane may read its data file but not change it (" + reason +
               "). Your entries are shown, but nothing can be saved.";
    }
    if (kind == Kind::TooLarge) {
        return "The data file is " + formatBytes(length) + " long: more than the " +
               std::to_string(kMaxRecords) +
               " entries Corvane can count. It is only read, and nothing will be written to it.";
    }
    std::string text = "The data file is " + formatBytes(length) +
                       " long, which is not a whole number of 3000-byte entries, "
                       "so its last entry may be damaged.";
    if (!copyName.empty()) {
        text += " A copy of the file as it was has been kept as " + copyName + ".";
    } else {
        text +=
            " No copy of it could be kept (" + copyFailure + "), so nothing will be written to it.";
    }
    return text;
}

bool FileDamage::worthTelling() const {
    return kind != Kind::UnevenLength || copyMadeNow || copyName.empty();
}

// Keeps one copy per damage. The damage is the ragged end: the bytes after
// the last whole slot, which no write of a whole slot touches. A copy of the
// same length ending in the same bytes was made for this damage at an
// earlier open, before the first write, and is the copy; otherwise the
// file is copied to the first free name of "Corvane.Data.uneven-length-copy",
// "...-copy-2", ... before anything writes to it.
StoreStatus DataFile::keepCopyOfDamagedFile(FileDamage& damage) {
    std::vector<std::uint8_t> original(damage.length);
    std::size_t got = 0;
    if (int err = m_fs.readAt(m_handle, 0, original.data(), original.size(), got)) {
        return StoreStatus::ioError(path(kDataFileName), err);
    }
    original.resize(got);
    const std::uint64_t tailStart = original.size() / kSlot * kSlot;
    const std::vector<std::uint8_t> tail(original.begin() + static_cast<std::ptrdiff_t>(tailStart),
                                         original.end());

    const std::string base = std::string(kDataFileName) + ".uneven-length-copy";
    for (int attempt = 1; attempt < 1000; ++attempt) {
        const std::string copyName = attempt == 1 ? base : base + '-' + std::to_string(attempt);
        const std::string copyPath = path(copyName);
        std::uint64_t existingLength = 0;
        const int statErr = m_fs.fileSize(copyPath, existingLength);
        if (statErr == 0) {
            if (existingLength != original.size()) {
                continue;
            }
            int h = -1;
            std::vector<std::uint8_t> existing(tail.size());
            std::size_t n = 0;
            const bool same = m_fs.open(copyPath, OpenMode::ReadOnly, h) == 0 &&
                              m_fs.readAt(h, tailStart, existing.data(), existing.size(), n) == 0 &&
                              existing == tail;
            if (h >= 0) {
                m_fs.close(h);
            }
            if (same) {
                damage.copyName = copyName;
                return StoreStatus::success();
            }
            continue;
        }
        if (statErr != ENOENT) {
            return StoreStatus::ioError(copyPath, statErr);
        }
        StoreStatus written = writeCopy(copyPath, original);
        if (written.error == StoreError::AlreadyExists) {
            continue;  // something took the name just now
        }
        if (!written.ok()) {
            return written;
        }
        damage.copyName = copyName;
        damage.copyMadeNow = true;
        return StoreStatus::success();
    }
    return {StoreError::Io, path(base), "too many earlier copies are in the way"};
}

// Writes `bytes` to a new file at `copyPath`, never through a link or over a
// file that is there, with the data file's permissions, flushed with its
// folder. A copy that is not whole is removed again.
StoreStatus DataFile::writeCopy(const std::string& copyPath,
                                const std::vector<std::uint8_t>& bytes) {
    std::uint32_t mode = 0;
    if (int err = m_fs.permissions(m_handle, mode)) {
        return StoreStatus::ioError(path(kDataFileName), err);
    }
    ScratchFile copy(m_fs, copyPath);
    StoreStatus status = copy.create(mode, ScratchFile::Leftover::Refuse);
    if (status.ok()) {
        status = copy.write(0, bytes.data(), bytes.size());
    }
    if (status.ok()) {
        status = copy.finish();
    }
    if (!status.ok()) {
        return status;
    }
    copy.keep();
    // The copy must be there after a power cut before the first write may
    // come; should the folder not flush, nothing is written this time.
    if (int dirErr = m_fs.syncDirectoryOf(copyPath)) {
        return StoreStatus::ioError(copyPath, dirErr);
    }
    return StoreStatus::success();
}

}  // namespace corvane
