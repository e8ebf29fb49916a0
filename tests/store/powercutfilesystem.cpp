#include "powercutfilesystem.h"

#include <algorithm>
#include <cstring>

namespace corvane::test {
namespace {

constexpr std::uint64_t kSector = 512;

}  // namespace

PowerCutFileSystem::PowerCutFileSystem(const Disk& disk) {
    for (const auto& [name, bytes] : disk) {
        auto inode = std::make_shared<Inode>();
        inode->flushed = inode->current = bytes;
        m_names[name] = inode;
    }
    m_flushedNames = m_names;
}

void PowerCutFileSystem::changing() {
    if (beforeEachChange) {
        beforeEachChange();
    }
}

void PowerCutFileSystem::changeFolder(FolderChange change) {
    for (const auto& [name, inode] : change) {
        if (inode) {
            m_names[name] = inode;
        } else {
            m_names.erase(name);
        }
    }
    m_unflushedChanges.push_back(std::move(change));
}

void PowerCutFileSystem::apply(Bytes& bytes, const Piece& piece) {
    if (piece.truncates) {
        bytes.resize(piece.offset, 0);
        return;
    }
    if (bytes.size() < piece.offset + piece.bytes.size()) {
        bytes.resize(piece.offset + piece.bytes.size(), 0);
    }
    std::copy(piece.bytes.begin(), piece.bytes.end(),
              bytes.begin() + static_cast<std::ptrdiff_t>(piece.offset));
}

Bytes PowerCutFileSystem::withFirstPieces(const Inode& inode, std::size_t count) {
    Bytes bytes = inode.flushed;
    for (std::size_t i = 0; i < count; ++i) {
        apply(bytes, inode.unflushed[i]);
    }
    return bytes;
}

std::vector<Disk> PowerCutFileSystem::statesAfterAPowerCut() const {
    std::vector<Disk> states;
    for (std::size_t changes = 0; changes <= m_unflushedChanges.size(); ++changes) {
        Names names = m_flushedNames;
        for (std::size_t i = 0; i < changes; ++i) {
            for (const auto& [name, inode] : m_unflushedChanges[i]) {
                if (inode) {
                    names[name] = inode;
                } else {
                    names.erase(name);
                }
            }
        }
        auto stateWith = [&](const Inode* varied, std::size_t pieces, bool othersWhole) {
            Disk disk;
            for (const auto& [name, inode] : names) {
                const std::size_t count = inode.get() == varied ? pieces
                                          : othersWhole         ? inode->unflushed.size()
                                                                : 0;
                disk[name] = withFirstPieces(*inode, count);
            }
            return disk;
        };
        states.push_back(stateWith(nullptr, 0, false));
        states.push_back(stateWith(nullptr, 0, true));
        for (const auto& [name, inode] : names) {
            for (std::size_t p = 1; p < inode->unflushed.size(); ++p) {
                states.push_back(stateWith(inode.get(), p, false));
            }
        }
    }
    return states;
}

Disk PowerCutFileSystem::currentState() const {
    Disk disk;
    for (const auto& [name, inode] : m_names) {
        disk[name] = inode->current;
    }
    return disk;
}

int PowerCutFileSystem::open(const std::string& path, OpenMode mode, int& handle,
                             std::uint32_t createMode) {
    auto found = m_names.find(path);
    if (mode == OpenMode::CreateNew && found != m_names.end()) {
        return EEXIST;
    }
    if (found == m_names.end()) {
        if (mode != OpenMode::ReadWriteCreate && mode != OpenMode::CreateNew) {
            return ENOENT;
        }
        changing();
        auto inode = std::make_shared<Inode>();
        inode->mode = createMode & 0777 & ~0022u;  // the usual umask
        changeFolder({{path, inode}});
        found = m_names.find(path);
    }
    handle = m_nextHandle++;
    m_handles[handle] = found->second;
    return 0;
}

int PowerCutFileSystem::close(int handle) {
    return m_handles.erase(handle) == 1 ? 0 : EBADF;
}

int PowerCutFileSystem::readAt(int handle, std::uint64_t offset, void* buffer, std::size_t size,
                               std::size_t& got) {
    const Bytes& bytes = m_handles.at(handle)->current;
    got = offset >= bytes.size() ? 0 : std::min<std::size_t>(size, bytes.size() - offset);
    if (got > 0) {
        std::memcpy(buffer, bytes.data() + offset, got);
    }
    return 0;
}

int PowerCutFileSystem::writeAt(int handle, std::uint64_t offset, const void* data,
                                std::size_t size) {
    changing();
    Inode& inode = *m_handles.at(handle);
    const auto* in = static_cast<const std::uint8_t*>(data);
    for (std::uint64_t at = offset; at < offset + size;) {
        const std::uint64_t end = std::min(offset + size, (at / kSector + 1) * kSector);
        Piece piece{at, Bytes(in + (at - offset), in + (end - offset)), false};
        apply(inode.current, piece);
        inode.unflushed.push_back(std::move(piece));
        at = end;
    }
    return 0;
}

int PowerCutFileSystem::size(int handle, std::uint64_t& length) {
    length = m_handles.at(handle)->current.size();
    return 0;
}

int PowerCutFileSystem::truncate(int handle, std::uint64_t length) {
    changing();
    Inode& inode = *m_handles.at(handle);
    Piece piece{length, {}, true};
    apply(inode.current, piece);
    inode.unflushed.push_back(std::move(piece));
    return 0;
}

int PowerCutFileSystem::sync(int handle) {
    changing();
    Inode& inode = *m_handles.at(handle);
    inode.flushed = inode.current;
    inode.unflushed.clear();
    return 0;
}

int PowerCutFileSystem::sameFile(int a, int b, bool& same) {
    same = m_handles.at(a) == m_handles.at(b);
    return 0;
}

int PowerCutFileSystem::permissions(int handle, std::uint32_t& mode) {
    mode = m_handles.at(handle)->mode;
    return 0;
}

int PowerCutFileSystem::setPermissions(int handle, std::uint32_t mode) {
    m_handles.at(handle)->mode = mode;
    return 0;
}

int PowerCutFileSystem::rename(const std::string& from, const std::string& to) {
    const auto found = m_names.find(from);
    if (found == m_names.end()) {
        return ENOENT;
    }
    changing();
    changeFolder({{to, found->second}, {from, nullptr}});
    return 0;
}

int PowerCutFileSystem::renameNoReplace(const std::string& from, const std::string& to) {
    return m_names.contains(to) ? EEXIST : rename(from, to);
}

int PowerCutFileSystem::remove(const std::string& path) {
    if (!m_names.contains(path)) {
        return ENOENT;
    }
    changing();
    changeFolder({{path, nullptr}});
    return 0;
}

int PowerCutFileSystem::syncDirectoryOf(const std::string&) {
    changing();
    m_flushedNames = m_names;
    m_unflushedChanges.clear();
    return 0;
}

int PowerCutFileSystem::fileSize(const std::string& path, std::uint64_t& length) {
    const auto found = m_names.find(path);
    if (found == m_names.end()) {
        return ENOENT;
    }
    length = found->second->current.size();
    return 0;
}

}  // namespace corvane::test
