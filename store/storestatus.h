#pragma once

// What a store operation reports. The store never shows anything: the window
// that called it turns a failed status into a message box.

#include <string>

namespace corvane {

enum class StoreError {
    None,
    Io,                // the system refused; `reason` is its own words
    TooLarge,          // more slots than a record number can count
    ReadOnly,          // the file is only read: too large, or its copy could not be kept
    NoSuchRecord,      // a record number outside the file
    AlreadyExists,     // the conversion would overwrite an existing data file
    NotOpen,           // a read or write while the data file is closed
    RollbackFailed,    // a change failed and so did putting the old bytes back;
                       // `reason` says what the file may now hold
    FolderNotFlushed,  // the change is made, but the folder's flush failed, so
                       // a power cut could still undo it
    Busy,              // another process holds the book's lock
    Full,              // the book holds 32,767 entries, all it can
    Untidied,          // the change is made, but a step after it failed;
                       // `reason` says what is left over
};

struct [[nodiscard]] StoreStatus {
    StoreError error = StoreError::None;
    std::string fileName;  // the file concerned, as the user knows it
    std::string reason;    // why, in plain words

    bool ok() const { return error == StoreError::None; }

    // "<file name>: <reason>", for a message box or standard error.
    std::string message() const { return fileName + ": " + reason; }

    static StoreStatus success() { return {}; }
    // A failure of the system call that returned `errnoValue` on `fileName`.
    static StoreStatus ioError(const std::string& fileName, int errnoValue);
};

// The system's words for `errnoValue`, or the file system's own refusals
// (see filesystem.h) in words.
std::string systemReason(int errnoValue);

}  // namespace corvane
