#pragma once

// Entries added after a book's last one, all of them or none: an import.
// Like a deletion it never writes the data file itself. The book's slots
// are copied into a new file beside it, the new entries follow them in
// large writes, and only the whole file, flushed once, is renamed over the
// book, so that a crash, a full disk or a refused import at any moment
// leaves the book as it was or with every new entry. Entries marked
// "$Killed$" are kept as they are.

#include <vector>

#include "datafile.h"
#include "scratchfile.h"

namespace corvane {

class BookAppend {
  public:
    explicit BookAppend(DataFile& store);
    // Unless committed, the new file goes and the book stays as it was.
    ~BookAppend();
    BookAppend(const BookAppend&) = delete;
    BookAppend& operator=(const BookAppend&) = delete;

    // Opens the book and copies its slots into the new file.
    StoreStatus begin();
    // Adds `record`; false when it was not added: the book is full, or an
    // earlier write failed (commit() says why).
    bool add(const ContactRecord& record);
    bool full() const { return m_kept + m_added >= kMaxRecords; }
    // Writes what is left, flushes the new file and puts it in the book's
    // place. When only the final flush of the folder fails, the entries
    // are in and the status (FolderNotFlushed) says so.
    StoreStatus commit();

    int added() const { return m_added; }
    // Whether begin() went as far as opening the book (creating it, when
    // there was none).
    bool opened() const { return m_opened; }

  private:
    StoreStatus writeChunk();

    DataFile& m_store;
    ScratchFile m_scratch;
    std::vector<std::uint8_t> m_chunk;
    StoreStatus m_failure = StoreStatus::success();
    int m_kept = 0;   // the book's own slots
    int m_added = 0;  // the new ones, written or waiting in the chunk
    bool m_begun = false;
    bool m_opened = false;
};

}  // namespace corvane
