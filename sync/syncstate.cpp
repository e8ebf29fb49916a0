#include "syncstate.h"

#include <QFile>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QSaveFile>

namespace corvane {

bool loadSyncState(const QString& path, SyncState& state, QString& error) {
    state = SyncState{};
    QFile file(path);
    if (!file.exists()) {
        return true;
    }
    if (!file.open(QIODevice::ReadOnly)) {
        error = QStringLiteral("%1 cannot be read (%2)").arg(path, file.errorString());
        return false;
    }
    QJsonParseError parsed;
    const QJsonDocument doc = QJsonDocument::fromJson(file.readAll(), &parsed);
    if (parsed.error != QJsonParseError::NoError || !doc.isObject()) {
        error = QStringLiteral("%1 is damaged (%2)").arg(path, parsed.errorString());
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
            error =
                QStringLiteral("%1 is damaged (an entry without its card or its fields)").arg(path);
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
    QSaveFile file(path);
    if (!file.open(QIODevice::WriteOnly) ||
        file.write(QJsonDocument(root).toJson(QJsonDocument::Compact)) < 0 || !file.commit()) {
        error = QStringLiteral("%1 cannot be written (%2)").arg(path, file.errorString());
        return false;
    }
    return true;
}

}  // namespace corvane
