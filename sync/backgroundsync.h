#pragma once

// A sync whose talk with the server runs on a thread of its own, so that
// the window that started it goes on working meanwhile. The book is read
// before and written after on the book's own thread, and written only when
// the window says it may be: a window in the middle of a command, or
// showing a dialog, holds entry numbers the sync's writes would move.

#include <QString>
#include <QTimer>
#include <QUrl>
#include <functional>
#include <memory>
#include <mutex>

#include "syncengine.h"

class QThread;

namespace corvane {

class DataFile;
class DavClient;

class BackgroundSync {
  public:
    using Done = std::function<void(const SyncOutcome&)>;

    // `mayWrite` is asked, on the book's thread, before the book is
    // written; while it says no, the writing waits.
    BackgroundSync(DataFile& store, std::function<bool()> mayWrite);
    // Cuts the talk with the server short and waits for its thread; what
    // the server has done is found by the next sync.
    ~BackgroundSync();
    BackgroundSync(const BackgroundSync&) = delete;
    BackgroundSync& operator=(const BackgroundSync&) = delete;

    bool running() const { return m_run != nullptr; }
    // The sync is writing the book: the changes it makes are its own.
    bool writing() const { return m_writing; }
    // Starts a sync; `done` is called on this thread with its outcome. Does
    // nothing while a sync runs.
    void start(const QUrl& collection, const QString& user, const QString& password, double now,
               Done done);

  private:
    void tryToFinish();
    void end();

    DataFile& m_store;
    std::function<bool()> m_mayWrite;
    std::unique_ptr<SyncRun> m_run;
    Done m_done;
    QThread* m_thread = nullptr;
    QTimer m_waitToWrite;  // asks `mayWrite` again while it says no
    bool m_writing = false;

    std::mutex m_clientLock;        // guards m_client between the threads
    DavClient* m_client = nullptr;  // the thread's client while it talks
};

}  // namespace corvane
