#pragma once

// One two-way sync of the book with a CardDAV collection.
//
// The server is asked what changed since the last sync (sync-collection
// with the stored token, or every card's ETag by PROPFIND), the changed
// cards are fetched in batches, and each entry is settled against the
// state of the last sync:
// - changed on one side: the change goes to the other side;
// - changed on both: merged field by field; where both changed the same
//   field, the book keeps its value and the server's goes into the
//   comments on a line that says so;
// - changed on one side and removed on the other: the change wins;
// - removed on one side, unchanged on the other: removed on both.
// The server's writes go first (If-Match / If-None-Match, so that nothing
// the server changed meanwhile is overwritten), then the book's, then the
// state. Cut off anywhere, the next sync finishes the work: new entries get
// a card name of their own that a second upload finds taken, and an entry
// met on both sides without state is paired by name.

#include <QString>
#include <QStringList>
#include <QUrl>
#include <memory>

#include "datafile.h"

namespace corvane {

class DavClient;

struct SyncSummary {
    int sent = 0;
    int received = 0;
    int removedHere = 0;
    int removedThere = 0;
    QStringList merged;  // the names of the entries merged field by field
    bool bookFull = false;
    // "sent 3, received 2, removed here 1, removed there 0, merged 1 ("Smith, John")"
    QString line() const;
};

struct SyncOutcome {
    bool ok = false;
    bool damaged = false;               // the book or the sync state is damaged
    QString error;                      // why the sync could not be done
    bool bookChangedMeanwhile = false;  // nothing written to the book; sync again
    SyncSummary summary;
};

// One sync in three steps, so that the windows can talk to the server off
// their own thread: begin() reads the book and the sync state, exchange()
// talks to the server and touches neither, finish() writes the book and the
// state. begin() and finish() run on the book's thread; finish() writes
// nothing when the book was changed after begin() (see
// SyncOutcome::bookChangedMeanwhile). Each step returns false, and
// outcome() says why, when the sync cannot go on.
class SyncRun {
  public:
    SyncRun(const QUrl& collection, double now);
    ~SyncRun();
    SyncRun(const SyncRun&) = delete;
    SyncRun& operator=(const SyncRun&) = delete;

    bool begin(DataFile& store);
    bool exchange(DavClient& client);
    bool finish(DataFile& store);
    const SyncOutcome& outcome() const;

  private:
    class Sync;
    std::unique_ptr<Sync> m_sync;
};

// The three steps one after the other.
SyncOutcome syncBook(DataFile& store, DavClient& client, const QUrl& collection, double now);

}  // namespace corvane
