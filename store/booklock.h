#pragma once

// One writer per book. Every process that writes a data file (the windows,
// an import) holds an exclusive lock tied to the book itself, whatever
// runtime folder or login it was started from: a `flock` on the lock file
// beside the data file. The lock file is never removed (removing it would
// let a second process lock a new file of the same name while the first
// still holds the old one) and holds nothing. Readers take no lock.
//
// Where the folder takes no new file and none is there, the data file
// itself is locked instead; every process that cannot make the lock file
// falls back the same way, so two of them still exclude each other. The
// lock ends with the process, however it ends.

#include <string>
#include <string_view>

namespace corvane {

inline constexpr std::string_view kLockFileName = "Corvane.Data.lock";

class BookLock {
  public:
    // The book in `directory` (empty: the current folder).
    explicit BookLock(std::string directory = {});
    ~BookLock();
    BookLock(const BookLock&) = delete;
    BookLock& operator=(const BookLock&) = delete;

    enum class Result {
        Acquired,       // this process alone may write the book until it ends
        HeldByAnother,  // another process writes it: this one must write nothing
        Unguarded,      // no lock could be taken (see reason()): writes are unguarded
    };
    // Takes the lock without waiting.
    Result tryAcquire();

    // The folder of the book, as given ("." when it was the current folder).
    std::string folder() const;
    // Unguarded: the file that could not be locked and why.
    const std::string& reason() const { return m_reason; }

  private:
    std::string m_directory;
    std::string m_reason;
    int m_fd = -1;
};

}  // namespace corvane
