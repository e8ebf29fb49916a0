#pragma once

// What the last sync left beside the book (Corvane.Data.sync, JSON): the
// collection, its sync token, and for every entry in step with the server
// the card's href, ETag and UID, the entry as last synced and the server's
// whole card as last seen. Written whole beside the old one, flushed, and
// renamed over it, so that a crash leaves the old state or the new.

#include <QByteArray>
#include <QString>
#include <vector>

#include "contactrecord.h"

namespace corvane {

inline constexpr const char* kSyncStateName = "Corvane.Data.sync";

struct SyncedEntry {
    QString href;  // the card's path on the server
    QByteArray etag;
    QByteArray uid;
    ContactRecord synced;  // the entry as both sides last agreed on it
    QByteArray card;       // the server's card as last seen
};

struct SyncState {
    QString collection;  // the collection's URL the state belongs to
    QByteArray syncToken;
    std::vector<SyncedEntry> entries;
};

// The state at `path`; empty when there is none. False, with `error` set,
// when the file is there but cannot be read as a state.
bool loadSyncState(const QString& path, SyncState& state, QString& error);
// Writes `state` to `path` crash-safely; false, with `error` set, on failure.
bool saveSyncState(const QString& path, const SyncState& state, QString& error);

}  // namespace corvane
