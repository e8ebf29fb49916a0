#include "syncstate.h"

#include <QFile>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>

#include <cerrno>

#include "filesystem.h"
#include "scratchfile.h"
#include "storestatus.h"

namespace corvane {

namespace {

// What the user may do about a damaged state.
const char* const kStartAfresh =
    "; move it away and sync again: the next sync pairs the entries by name";

std::string nativeOf(const QString& path) {
    return QFile::encodeName(path).toStdString();
}

// The state file's bytes: false with `err` 0 when there is none of this
// program's (none, a link, another user's file), or with the system's
// reason it could not be read.
bool readStateFile(const QString& path, QByteArray& bytes, int& err) {
    FileSystem& fs = realFileSystem();
    int handle = -1;
    const int opened = fs.open(nativeOf(path), OpenMode::ReadOwnFile, handle);
    if (opened == ENOENT || opened == kNotARegularFile || opened == kNotTheUsersFile) {
        err = 0;
        return false;
    }
    std::uint64_t length = 0;
    err = opened != 0 ? opened : fs.size(handle, length);
    if (err == 0) {
        bytes.resize(static_cast<qsizetype>(length));
        std::size_t got = 0;
        err = fs.readAt(handle, 0, bytes.data(), bytes.size(), got);
        bytes.truncate(static_cast<qsizetype>(got));
    }
    if (handle >= 0) {
        fs.close(handle);
    }
    return err == 0;
}

}  // namespace

bool loadSyncState(const QString& path, SyncState& state, QString& error) {
    state = SyncState{};
    QByteArray bytes;
    int err = 0;
    if (!readStateFile(path, bytes, err)) {
        if (err == 0) {
            // None, or none of this program's: it never writes a link or
            // another user's file. The sync starts afresh, pairing entries
            // by name, and its state replaces the name, not what a link
            // names.
            return true;
        }
        error = QStringLiteral("%1 cannot be read (%2)")
                    .arg(path, QString::fromStdString(systemReason(err)));
        return false;
    }
    QJsonParseError parsed;
    const QJsonDocument doc = QJsonDocument::fromJson(bytes, &parsed);
    if (parsed.error != QJsonParseError::NoError || !doc.isObject()) {
        error = QStringLiteral("%1 is damaged (%2)%3")
                    .arg(path,
                         parsed.error != QJsonParseError::NoError ? parsed.errorString()
                                                                  : QStringLiteral("no sync state"),
                         QString::fromUtf8(kStartAfresh));
        return false;
    }
    const QJsonObject root = doc.object();
    state.collection = root.value(QStringLiteral("collection")).toString();
    state.syncToken = root.value(QStringLiteral("syncToken")).toString().toUtf8();
    for (const QJsonValue& value : root.value(QStringLiteral("entries")).toArray()) {
        const QJsonObject o = value.toObject();
        SyncedEntry entry;
        entry.href = o.value(QStringLiteral("href")).toString();
        entry.etag = o.value(QStringLiteral("etag")).toString().toUtf8();
        entry.uid = o.value(QStringLiteral("uid")).toString().toUtf8();
        entry.card = o.value(QStringLiteral("card")).toString().toUtf8();
        const QByteArray bytes =
            QByteArray::fromBase64(o.value(QStringLiteral("synced")).toString().toLatin1());
        if (entry.href.isEmpty() || bytes.size() != ContactRecord::kSize) {
            error = QStringLiteral("%1 is damaged (an entry without its card or its fields)%2")
                        .arg(path, QString::fromUtf8(kStartAfresh));
            return false;
        }
        entry.synced = ContactRecord::decode(std::span<const std::uint8_t, ContactRecord::kSize>(
            reinterpret_cast<const std::uint8_t*>(bytes.constData()), ContactRecord::kSize));
        state.entries.push_back(std::move(entry));
    }
    return true;
}

bool saveSyncState(const QString& path, const SyncState& state, QString& error) {
    QJsonArray entries;
    for (const SyncedEntry& e : state.entries) {
        const auto& bytes = e.synced.encode();
        entries.append(QJsonObject{
            {QStringLiteral("href"), e.href},
            {QStringLiteral("etag"), QString::fromUtf8(e.etag)},
            {QStringLiteral("uid"), QString::fromUtf8(e.uid)},
            {QStringLiteral("card"), QString::fromUtf8(e.card)},
            {QStringLiteral("synced"),
             QString::fromLatin1(QByteArray(reinterpret_cast<const char*>(bytes.data()),
                                            static_cast<qsizetype>(bytes.size()))
                                     .toBase64())},
        });
    }
    const QJsonObject root{{QStringLiteral("collection"), state.collection},
                           {QStringLiteral("syncToken"), QString::fromUtf8(state.syncToken)},
                           {QStringLiteral("entries"), entries}};
    // Written whole beside the old state, flushed, and renamed over it: a
    // crash leaves the old state or the new, and a link planted under the
    // name is replaced, never written through.
    const QByteArray json = QJsonDocument(root).toJson(QJsonDocument::Compact);
    QByteArray before;
    int readError = 0;
    if (readStateFile(path, before, readError) && before == json) {
        return true;  // a sync with nothing to do writes nothing
    }
    const std::string target = nativeOf(path);
    ScratchFile scratch(realFileSystem(), target + ".new");
    StoreStatus status = scratch.create(0600, ScratchFile::Leftover::Remove);
    if (status.ok()) {
        status = scratch.write(0, json.constData(), static_cast<std::size_t>(json.size()));
    }
    if (status.ok()) {
        status = scratch.finish();
    }
    if (status.ok()) {
        status = scratch.placeAs(target, true);
    }
    if (status.ok()) {
        if (const int err = realFileSystem().syncDirectoryOf(target)) {
            status = StoreStatus::ioError(target, err);
        }
    }
    if (!status.ok()) {
        error = QString::fromStdString(status.message());
        return false;
    }
    return true;
}

}  // namespace corvane
