#include "bookappend.h"

#include <cerrno>

namespace corvane {
namespace {

// New entries are written 256 at a time (768 kB).
constexpr std::size_t kChunkBytes = 256 * ContactRecord::kSize;

}  // namespace

BookAppend::BookAppend(DataFile& store)
    : m_store(store), m_scratch(store.m_fs, store.path(kScratchFileName)) {}

BookAppend::~BookAppend() {
    if (m_begun) {
        (void)m_store.CloseDataFile();  // the scratch file's scope removes it
    }
}

StoreStatus BookAppend::begin() {
    if (StoreStatus replaceable = m_store.refuseLinkedDataFile(); !replaceable.ok()) {
        return replaceable;
    }
    if (StoreStatus opened = m_store.OpenDataFile(); !opened.ok()) {
        return opened;
    }
    m_begun = true;
    m_opened = true;
    if (!m_store.m_readOnlyReason.empty()) {
        return {StoreError::ReadOnly, m_store.path(kDataFileName), m_store.m_readOnlyReason};
    }
    if (StoreStatus started = m_store.startScratch(m_scratch); !started.ok()) {
        return started;
    }
    m_chunk.reserve(kChunkBytes);
    return m_store.compactInto(m_scratch, 0, true, m_kept);
}

bool BookAppend::add(const ContactRecord& record) {
    if (!m_failure.ok() || full()) {
        return false;
    }
    m_chunk.insert(m_chunk.end(), record.encode().begin(), record.encode().end());
    ++m_added;
    if (m_chunk.size() >= kChunkBytes) {
        m_failure = writeChunk();
    }
    return true;
}

StoreStatus BookAppend::writeChunk() {
    const int waiting = static_cast<int>(m_chunk.size() / ContactRecord::kSize);
    const std::uint64_t offset =
        static_cast<std::uint64_t>(m_kept + m_added - waiting) * ContactRecord::kSize;
    StoreStatus wrote = m_scratch.write(offset, m_chunk.data(), m_chunk.size());
    m_chunk.clear();
    return wrote;
}

StoreStatus BookAppend::commit() {
    if (m_failure.ok() && !m_chunk.empty()) {
        m_failure = writeChunk();
    }
    if (!m_failure.ok()) {
        return m_failure;
    }
    const std::string dataName = m_store.path(kDataFileName);
    if (StoreStatus finished = m_scratch.finish(); !finished.ok()) {
        return finished;
    }
    m_begun = false;
    m_store.noteChange();
    if (StoreStatus closed = m_store.CloseDataFile(); !closed.ok()) {
        return closed;
    }
    if (StoreStatus placed = m_scratch.placeAs(dataName, true); !placed.ok()) {
        return placed;
    }
    m_store.m_recordCount = static_cast<std::int16_t>(m_kept + m_added);
    if (int err = m_store.m_fs.syncDirectoryOf(dataName)) {
        return {StoreError::FolderNotFlushed, dataName,
                "the entries were added, but the folder could not be flushed to the disk (" +
                    systemReason(err) + "), so a power cut now could take them away again"};
    }
    return StoreStatus::success();
}

}  // namespace corvane
