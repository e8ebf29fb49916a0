#pragma once

// The entries deleted from a book, kept for a while beside it in
// `Corvane.Data.trash`, so that a deletion made by mistake can be undone.
// The data file itself stays exactly what the Windows releases read.
//
// The trash is a file of fixed 3040-byte pieces, one per deleted entry: a
// mark ("CorvTrs1"), when the entry was deleted, the number it had, a check
// of the book as it was before the deletion (to put the entry back in its
// place when nothing changed since), a checksum, and the entry's 3000-byte
// slot exactly as it was. A piece is appended and flushed before the entry
// leaves the data file, so that no crash between the two loses it.
//
// A trash is trusted only as far as it reads: pieces whose mark or checksum
// is wrong make the whole file untrusted; it is then set aside under a name
// of its own (never read into the book, never written again) and the user
// is told, and a new trash is begun. A part of a piece at the end (an append
// cut short, whose deletion never began) is cut off at the next append.
// The trash keeps the last 1,000 entries and none older than 90 days; it is
// trimmed at deletions by writing the new trash beside it and renaming it.

#include <cstdint>
#include <functional>
#include <string>
#include <vector>

#include "contactrecord.h"
#include "filesystem.h"
#include "storestatus.h"

namespace corvane {

inline constexpr std::string_view kTrashFileName = "Corvane.Data.trash";
inline constexpr int kTrashKeeps = 1000;
inline constexpr std::int64_t kTrashKeepsSeconds = 90LL * 24 * 60 * 60;

// One deleted entry.
struct TrashedEntry {
    ContactRecord record;
    std::int64_t deletedAt = 0;    // seconds since 1970 (UTC)
    int number = 0;                // its record number before the deletion
    std::uint64_t bookBefore = 0;  // bookCheck() of the data file before the deletion
};

// A check of a book's bytes, to tell whether it is the book it was.
class BookCheck {
  public:
    void add(const std::uint8_t* bytes, std::size_t size);
    std::uint64_t value() const { return (m_hash ^ m_length) * 1099511628211ULL; }

  private:
    std::uint64_t m_hash = 14695981039346656037ULL;
    std::uint64_t m_length = 0;
};

class Trash {
  public:
    // The trash beside the data file at `dataPath`. `now` gives the time,
    // in seconds since 1970; tests put in a clock of their own.
    Trash(FileSystem& fs, std::string dataPath, std::function<std::int64_t()> now = {});

    // The whole entries of the trash, oldest first. A trash that is not to
    // be trusted gives none, and `problem` says why (and what was done).
    StoreStatus read(std::vector<TrashedEntry>& entries, std::string& problem);

    // Appends `entry` (stamped now) and flushes it; then trims the trash to
    // its bounds. An untrusted trash is set aside first. Only a failure to
    // keep the entry is a failure: a trim that fails leaves a longer trash.
    StoreStatus add(TrashedEntry entry, std::string& problem);

    // Takes entry `index` (of read()) out of the trash.
    StoreStatus remove(std::size_t index);

    std::int64_t now() const { return m_now(); }
    const std::string& path() const { return m_path; }

  private:
    StoreStatus rewrite(const std::vector<TrashedEntry>& keep);
    StoreStatus setAside(std::string& problem, const std::string& why);

    FileSystem& m_fs;
    std::string m_path;
    std::function<std::int64_t()> m_now;
};

}  // namespace corvane
