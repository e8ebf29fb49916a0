#include "syncengine.h"

#include <QDir>
#include <algorithm>
#include <map>
#include <set>

#include "bookappend.h"
#include "cardfields.h"
#include "davclient.h"
#include "davxml.h"
#include "recordtext.h"
#include "syncstate.h"
#include "vcardexport.h"

namespace corvane {
namespace {

// Cards fetched in one addressbook-multiget.
constexpr int kMultigetBatch = 100;
// How often an upload the server refused as changed meanwhile (412) is
// merged again and retried.
constexpr int kConflictRetries = 3;

QString nameOf(const ContactRecord& r) {
    return QString::fromStdString(r.text(Field::FullName));
}

bool changedSince(const ContactRecord& now, const ContactRecord& base) {
    for (const Field f : userFields()) {
        if (!sameField(now, base, f)) {
            return true;
        }
    }
    return false;
}

std::set<Field> fieldsChanged(const ContactRecord& now, const ContactRecord& base) {
    std::set<Field> out;
    for (const Field f : userFields()) {
        if (!sameField(now, base, f)) {
            out.insert(f);
        }
    }
    return out;
}

void copyField(ContactRecord& to, const ContactRecord& from, Field field) {
    if (fieldInfo(field).kind == FieldKind::Date) {
        to.setDate(field, from.date(field));
    } else {
        to.setText(field, from.text(field));
    }
}

// Appends a line to the comments when they hold it whole.
bool addCommentLine(ContactRecord& r, const std::string& line) {
    std::string comments = r.text(Field::Comments);
    if (!comments.empty()) {
        comments += "\r\n";
    }
    comments += line;
    if (!ContactRecord::fitsWhole(Field::Comments, comments)) {
        return false;
    }
    r.setText(Field::Comments, comments);
    return true;
}

std::string fieldLabel(Field f) {
    return std::string(fieldInfo(f).name);
}

// The user's fields, the comments first: a conflict in any other field
// adds a line to them, which taking the server's comments would wipe.
const std::vector<Field>& commentsFirst() {
    static const std::vector<Field> fields = [] {
        std::vector<Field> out{Field::Comments};
        for (const Field f : userFields()) {
            if (f != Field::Comments) {
                out.push_back(f);
            }
        }
        return out;
    }();
    return fields;
}

std::string shownValue(const ContactRecord& r, Field f) {
    return fieldInfo(f).kind == FieldKind::Date ? formatRecordDate(r.date(f)).toStdString()
                                                : r.text(f);
}

// Both sides changed `f`: the book keeps its value and notes the server's
// in the comments. False when the comments cannot hold the note: then the
// book's value must not go up, or the server's would be lost.
bool noteTheirs(ContactRecord& mine, const ContactRecord& theirs, Field f) {
    return addCommentLine(mine, "On the server, " + fieldLabel(f) + ": " + shownValue(theirs, f));
}

}  // namespace

class SyncRun::Sync {
  public:
    Sync(const QUrl& collection, double now) : m_collection(collection), m_now(now) {
        m_basePath = m_collection.path();
        if (!m_basePath.endsWith(u'/')) {
            m_basePath += u'/';
            m_collection.setPath(m_basePath);
        }
    }

    bool begin(DataFile& store);
    bool exchange(DavClient& client);
    bool finish(DataFile& store);
    const SyncOutcome& outcome() const { return m_outcome; }

  private:
    struct Upload {
        int entry = -1;   // index into m_state.entries, or -1 for a new card
        int record = -1;  // index into m_records
        QString href;
        QByteArray ifMatch;  // the ETag, or "*" for a new card
        QByteArray card;
    };

    // `raw`, an href the server gave, as the path of a card of this
    // collection, `m_basePath` for the collection itself, or empty for
    // anything else: another host, another collection, a folder within. An
    // href may be absolute, relative or hold dot segments; cards elsewhere
    // are never fetched, changed or removed.
    QString ownHref(const QString& raw) const {
        // The parser has decoded the href: a path is set as a path, so that
        // a "?" or "#" in a card's name stays in it.
        QUrl url = m_collection;
        if (raw.startsWith(u'/')) {
            url.setPath(raw);
            url = url.adjusted(QUrl::NormalizePathSegments);
        } else {
            url = m_collection.resolved(QUrl(raw));
        }
        const auto portOf = [](const QUrl& u) { return u.port(u.scheme() == u"https" ? 443 : 80); };
        if (url.scheme() != m_collection.scheme() ||
            url.host().compare(m_collection.host(), Qt::CaseInsensitive) != 0 ||
            portOf(url) != portOf(m_collection)) {
            return {};
        }
        const QString path = url.path();
        if (path == m_basePath) {
            return path;
        }
        const QString name = path.startsWith(m_basePath) ? path.mid(m_basePath.size()) : QString();
        return name.isEmpty() || name.contains(u'/') ? QString() : path;
    }
    // The href of a new card named after its UID.
    QString hrefOf(const QByteArray& uid) const {
        QString name = QString::fromUtf8(uid);
        for (QChar& c : name) {
            if (!c.isLetterOrNumber() && c != u'-' && c != u'_' && c != u'.') {
                c = u'-';
            }
        }
        return m_basePath + name + QStringLiteral(".vcf");
    }
    QUrl urlOf(const QString& href) const {
        QUrl url = m_collection;
        url.setPath(href);
        return url;
    }
    bool fail(const QString& why) {
        m_outcome.error = why;
        return false;
    }
    bool failOn(const DavResponse& r, const QString& what) {
        if (r.status == 207) {
            return fail(QStringLiteral("the server's answer to %1 could not be read (no "
                                       "well-formed WebDAV XML)")
                            .arg(what));
        }
        return fail(failureOf(r, m_collection, what));
    }

    ContactRecord settleEntry(const ContactRecord& original, const ContactRecord& synced,
                              const QByteArray& before, const QByteArray& now,
                              std::set<Field>& toSend, bool& conflict) const;
    const ContactRecord& recordToSend(int record) const {
        const auto it = m_changedRecords.find(record);
        return it != m_changedRecords.end() ? it->second
                                            : m_records[static_cast<std::size_t>(record)];
    }
    bool readBook(DataFile& store);
    bool list();
    bool fetch(const QStringList& hrefs, std::map<QString, davXml::Item>& into);
    bool fetchOneByOne(const QStringList& hrefs, davXml::Multistatus& into);
    void match();
    bool settle();
    bool upload(std::vector<Upload> uploads);
    bool writeBook(DataFile& store);

    DavClient* m_client = nullptr;
    QString m_statePath;
    std::uint64_t m_bookChanges = 0;  // the book's change count when it was read
    QUrl m_collection;
    QString m_basePath;
    double m_now;
    SyncOutcome m_outcome;
    SyncState m_state;

    std::vector<ContactRecord> m_records;  // the book's entries, slot order
    std::vector<int> m_slotOf;             // their slot numbers
    std::vector<int> m_killedSlots;        // slots an interrupted deletion marked
    std::vector<int> m_entryOf;            // per record: its state entry, or -1
    std::vector<int> m_recordOf;           // per state entry: its record, or -1

    std::map<QString, QByteArray> m_present;  // href -> ETag, as listed
    std::set<QString> m_removed;
    bool m_fullListing = false;
    QByteArray m_newToken;
    std::map<QString, davXml::Item> m_cards;  // fetched

    std::map<int, ContactRecord> m_changedRecords;  // record index -> new fields
    std::set<int> m_removedRecords;
    std::vector<std::pair<ContactRecord, SyncedEntry>> m_added;
    std::vector<bool> m_dropEntry;
    // The cards sent up, and the book's entries (as read) they were sent
    // for: what a sync that cannot write the book still keeps.
    std::map<QString, int> m_sent;
};

bool SyncRun::Sync::readBook(DataFile& store) {
    const StoreStatus status = store.UseDataFile([&] {
        for (int n = 1; n <= store.RecordCount(); ++n) {
            if (StoreStatus read = store.ReadRecord(n); !read.ok()) {
                return read;
            }
            if (store.CurrentRecord().isKilled()) {
                m_killedSlots.push_back(n);
            } else {
                m_records.push_back(store.CurrentRecord());
                m_slotOf.push_back(n);
            }
        }
        return StoreStatus::success();
    });
    if (!status.ok()) {
        return fail(QString::fromStdString(status.message()));
    }
    return true;
}

bool SyncRun::Sync::list() {
    if (!m_state.syncToken.isEmpty()) {
        const DavResponse r = m_client->send(
            {"REPORT", m_collection, {{"Depth", "1"}}, davXml::syncCollection(m_state.syncToken)});
        const davXml::Multistatus ms = davXml::parse(r.body);
        if (r.status == 207 && ms.valid) {
            for (const davXml::Item& item : ms.items) {
                const QString href = ownHref(item.href);
                if (href.isEmpty() || href == m_basePath) {
                    continue;
                }
                if (item.status == 404) {
                    m_removed.insert(href);
                } else {
                    m_present[href] = item.etag;
                }
            }
            m_newToken = ms.syncToken;
            return true;
        }
        if (r.status == 0 || r.status == 401 || r.status == 404) {
            return failOn(r, QStringLiteral("the list of changes"));
        }
        // An expired or unknown token: the whole list below.
    }
    const DavResponse r =
        m_client->send({"PROPFIND", m_collection, {{"Depth", "1"}}, davXml::propfindEtags()});
    const davXml::Multistatus ms = davXml::parse(r.body);
    if (r.status != 207 || !ms.valid) {
        return failOn(r, QStringLiteral("the list of cards"));
    }
    m_fullListing = true;
    for (const davXml::Item& item : ms.items) {
        const QString href = ownHref(item.href);
        if (href == m_basePath) {
            m_newToken = item.syncToken;
        } else if (!href.isEmpty()) {
            m_present[href] = item.etag;
        }
    }
    if (m_present.empty() && !m_state.entries.empty()) {
        // A server that answers for the collection alone (one that ignores
        // Depth, say) would otherwise empty the book.
        return fail(
            QStringLiteral("the server listed no cards in %1, where the last sync left %2; nothing "
                           "was removed. If the address book was emptied on purpose, remove the "
                           "entries here too")
                .arg(m_collection.toString())
                .arg(m_state.entries.size()));
    }
    for (const SyncedEntry& e : m_state.entries) {
        if (!m_present.count(e.href)) {
            m_removed.insert(e.href);
        }
    }
    return true;
}

bool SyncRun::Sync::fetch(const QStringList& hrefs, std::map<QString, davXml::Item>& into) {
    for (qsizetype at = 0; at < hrefs.size(); at += kMultigetBatch) {
        const QStringList batch = hrefs.mid(at, kMultigetBatch);
        const DavResponse r =
            m_client->send({"REPORT", m_collection, {{"Depth", "1"}}, davXml::multiget(batch)});
        davXml::Multistatus ms = davXml::parse(r.body);
        if (r.status == 207 && !ms.valid && !fetchOneByOne(batch, ms)) {
            return false;
        }
        if (r.status != 207) {
            return failOn(r, QStringLiteral("the cards asked for"));
        }
        std::set<QString> asked(batch.begin(), batch.end());
        for (const davXml::Item& item : ms.items) {
            const QString href = ownHref(item.href);
            if (!asked.count(href)) {
                continue;  // not asked for: no card of this sync's
            }
            if (item.status / 100 == 2 && !item.addressData.isEmpty()) {
                into[href] = item;
                into[href].href = href;
            } else {
                m_removed.insert(href);  // gone since it was listed
                m_present.erase(href);
            }
        }
    }
    return true;
}

// An answer with a card XML cannot carry (a control character, bytes that
// are no UTF-8) cannot be read whole: the cards are fetched one by one,
// as they are, so that one such card holds up no other.
bool SyncRun::Sync::fetchOneByOne(const QStringList& hrefs, davXml::Multistatus& into) {
    std::vector<DavRequest> requests;
    for (const QString& href : hrefs) {
        requests.push_back({"GET", urlOf(href), {}, {}});
    }
    const std::vector<DavResponse> answers = m_client->sendAll(requests);
    into = davXml::Multistatus{};
    into.valid = true;
    for (std::size_t i = 0; i < answers.size(); ++i) {
        const DavResponse& r = answers[i];
        if (r.status / 100 != 2 && r.status != 404) {
            return failOn(r, QStringLiteral("a card"));
        }
        davXml::Item item;
        item.href = hrefs[static_cast<qsizetype>(i)];
        item.status = r.status;
        item.etag = r.etag;
        item.addressData = r.status / 100 == 2 ? r.body : QByteArray();
        into.items.push_back(item);
    }
    return true;
}

// Pairs each state entry with its record: by creation stamp, the name
// telling apart entries made in the same second. Entries alike in both (a
// sync brings in all its cards in one second, and a phone may hold several
// cards of one name) are paired first with the entry unchanged since the
// sync, so that one of them edited is never taken for another.
void SyncRun::Sync::match() {
    m_entryOf.assign(m_records.size(), -1);
    m_recordOf.assign(m_state.entries.size(), -1);
    std::multimap<double, int> byStamp;
    for (std::size_t i = 0; i < m_records.size(); ++i) {
        byStamp.emplace(m_records[i].date(Field::Created), static_cast<int>(i));
    }
    const auto freeOfStamp = [&](double stamp) {
        std::vector<int> free;
        const auto [from, to] = byStamp.equal_range(stamp);
        for (auto it = from; it != to; ++it) {
            if (m_entryOf[static_cast<std::size_t>(it->second)] < 0) {
                free.push_back(it->second);
            }
        }
        return free;
    };
    const auto pair = [&](std::size_t k, int record) {
        m_recordOf[k] = record;
        m_entryOf[static_cast<std::size_t>(record)] = static_cast<int>(k);
    };
    for (int pass = 0; pass < 2; ++pass) {
        for (std::size_t k = 0; k < m_state.entries.size(); ++k) {
            if (m_recordOf[k] >= 0) {
                continue;
            }
            const ContactRecord& base = m_state.entries[k].synced;
            for (const int i : freeOfStamp(base.date(Field::Created))) {
                const ContactRecord& record = m_records[static_cast<std::size_t>(i)];
                if (pass == 0 ? !changedSince(record, base) : nameOf(record) == nameOf(base)) {
                    pair(k, i);
                    break;
                }
            }
        }
    }
    // Last, entries renamed since: an entry and a record of one stamp that
    // each share more fields with the other than with any other of that
    // stamp. A rename beside a removal in the same second is so not taken
    // for the removed entry; where it cannot be told, the record counts as
    // new and the entries as removed, which puts no entry on another's card.
    const auto shared = [&](int record, std::size_t k) {
        int same = 0;
        for (const Field f : userFields()) {
            if (f != Field::FullName && sameField(m_records[static_cast<std::size_t>(record)],
                                                  m_state.entries[k].synced, f)) {
                ++same;
            }
        }
        return same;
    };
    // The entries still unpaired, by stamp: only these are weighed against
    // each other, however large the book.
    std::multimap<double, std::size_t> unpaired;
    for (std::size_t k = 0; k < m_state.entries.size(); ++k) {
        if (m_recordOf[k] < 0) {
            unpaired.emplace(m_state.entries[k].synced.date(Field::Created), k);
        }
    }
    for (bool paired = true; paired;) {
        paired = false;
        for (const auto& [stamp, k] : unpaired) {
            if (m_recordOf[k] >= 0) {
                continue;
            }
            int best = -1;
            int bestShared = -1;
            bool tie = false;
            for (const int i : freeOfStamp(stamp)) {
                const int n = shared(i, k);
                tie = n == bestShared || (n < bestShared && tie);
                if (n > bestShared) {
                    best = i;
                    bestShared = n;
                }
            }
            if (best < 0 || tie) {
                continue;
            }
            bool bestForBoth = true;
            const auto [from, to] = unpaired.equal_range(stamp);
            for (auto other = from; other != to && bestForBoth; ++other) {
                bestForBoth = other->second == k || m_recordOf[other->second] >= 0 ||
                              shared(best, other->second) < bestShared;
            }
            if (bestForBoth) {
                pair(k, best);
                paired = true;
            }
        }
    }
}

// The book's entry `original`, last synced as `synced`, against the
// server's card, gone from `before` to `now`: a change the server made and
// the book did not is taken; where both changed a field, the entry keeps
// its value and notes the server's in its comments. Returns the entry so
// settled, with the fields the server must get in `toSend`.
ContactRecord SyncRun::Sync::settleEntry(const ContactRecord& original, const ContactRecord& synced,
                                         const QByteArray& before, const QByteArray& now,
                                         std::set<Field>& toSend, bool& conflict) const {
    ContactRecord mine = original;
    std::set<Field> keepTheirs;  // conflicts whose note the comments cannot hold
    const ContactRecord theirs = recordOfCard(now, m_now);
    if (before != now) {
        const ContactRecord theirsBefore = recordOfCard(before, m_now);
        for (const Field f : commentsFirst()) {
            const bool theyChanged = !sameField(theirs, theirsBefore, f);
            if (!theyChanged || sameField(original, theirs, f)) {
                continue;
            }
            // Not the book's change: the same as last synced, or as the
            // server had it before (a value taken from the server earlier
            // in this sync, settled again after a 412).
            if (sameField(original, synced, f) || sameField(original, theirsBefore, f)) {
                copyField(mine, theirs, f);
            } else {
                conflict = true;
                if (!noteTheirs(mine, theirs, f)) {
                    keepTheirs.insert(f);
                }
            }
        }
    }
    const std::set<Field> differ = fieldsChanged(mine, theirs);
    toSend.clear();
    for (const Field f : fieldsChanged(mine, synced)) {
        if (differ.count(f) && !keepTheirs.count(f)) {
            toSend.insert(f);
        }
    }
    return mine;
}

bool SyncRun::Sync::settle() {
    m_dropEntry.assign(m_state.entries.size(), false);
    // The cards to fetch: changed or new on the server.
    QStringList wanted;
    std::set<QString> known;
    for (const SyncedEntry& e : m_state.entries) {
        known.insert(e.href);
        const auto it = m_present.find(e.href);
        if (it != m_present.end() && it->second != e.etag) {
            wanted << e.href;
        }
    }
    for (const auto& [href, etag] : m_present) {
        if (!known.count(href)) {
            wanted << href;
        }
    }
    if (!fetch(wanted, m_cards)) {
        return false;
    }

    std::vector<Upload> uploads;
    std::vector<std::pair<QString, QByteArray>> deletions;
    for (std::size_t k = 0; k < m_state.entries.size(); ++k) {
        SyncedEntry& e = m_state.entries[k];
        const int rec = m_recordOf[k];
        const auto card = m_cards.find(e.href);
        const bool serverChanged = card != m_cards.end();
        const bool serverRemoved = !serverChanged && m_removed.count(e.href) > 0;
        const bool localRemoved = rec < 0;
        const bool localChanged =
            !localRemoved && changedSince(m_records[static_cast<std::size_t>(rec)], e.synced);
        if (localRemoved && serverRemoved) {
            m_dropEntry[k] = true;
        } else if (localRemoved && !serverChanged) {
            deletions.emplace_back(e.href, e.etag);
            m_dropEntry[k] = true;
        } else if (localRemoved) {
            // Changed there, removed here: the change wins and comes back.
            ContactRecord back = recordOfCard(card->second.addressData, m_now);
            m_added.push_back({back,
                               {e.href, card->second.etag, uidOfCard(card->second.addressData),
                                back, card->second.addressData}});
            m_dropEntry[k] = true;
            ++m_outcome.summary.received;
        } else if (serverRemoved && !localChanged) {
            m_removedRecords.insert(rec);
            m_dropEntry[k] = true;
            ++m_outcome.summary.removedHere;
        } else if (serverRemoved) {
            // Changed here, removed there: the change wins and goes back up.
            const ContactRecord& mine = m_records[static_cast<std::size_t>(rec)];
            uploads.push_back(
                {static_cast<int>(k), rec, e.href, "*",
                 mergeIntoCard(e.card, mine,
                               std::set<Field>(userFields().begin(), userFields().end()))});
        } else if (serverChanged || localChanged) {
            const QByteArray now = serverChanged ? card->second.addressData : e.card;
            std::set<Field> toSend;
            bool conflict = false;
            const ContactRecord mine = settleEntry(m_records[static_cast<std::size_t>(rec)],
                                                   e.synced, e.card, now, toSend, conflict);
            if (conflict) {
                m_outcome.summary.merged << nameOf(mine);
            }
            if (serverChanged) {
                e.card = card->second.addressData;
                e.etag = card->second.etag;
                ++m_outcome.summary.received;
            }
            m_changedRecords[rec] = mine;
            if (!toSend.empty()) {
                uploads.push_back({static_cast<int>(k), rec, e.href, e.etag,
                                   mergeIntoCard(e.card, mine, toSend)});
            } else {
                e.synced = mine;
            }
        }
    }

    // Cards new on the server: an entry without state of the same name is
    // the same entry (a first sync of two full sides, or a sync cut off
    // before it saved its state); any other becomes a new entry.
    std::map<QString, std::vector<int>> freeByName;
    for (std::size_t i = 0; i < m_records.size(); ++i) {
        if (m_entryOf[i] < 0) {
            freeByName[nameOf(m_records[i])].push_back(static_cast<int>(i));
        }
    }
    for (const auto& [href, item] : m_cards) {
        if (known.count(href)) {
            continue;
        }
        ContactRecord theirs = recordOfCard(item.addressData, m_now);
        SyncedEntry entry{href, item.etag, uidOfCard(item.addressData), theirs, item.addressData};
        auto& same = freeByName[nameOf(theirs)];
        if (!same.empty()) {
            const int rec = same.back();
            same.pop_back();
            ContactRecord mine = m_records[static_cast<std::size_t>(rec)];
            bool conflict = false;
            std::set<Field> toSend;
            for (const Field f : commentsFirst()) {
                if (sameField(m_records[static_cast<std::size_t>(rec)], theirs, f)) {
                    continue;
                }
                const bool mineEmpty = fieldInfo(f).kind == FieldKind::Date
                                           ? mine.date(f) == 0
                                           : mine.rawText(f).empty();
                const bool theirsEmpty = fieldInfo(f).kind == FieldKind::Date
                                             ? theirs.date(f) == 0
                                             : theirs.rawText(f).empty();
                if (mineEmpty) {
                    copyField(mine, theirs, f);
                } else if (theirsEmpty) {
                    toSend.insert(f);
                } else {
                    conflict = true;
                    if (noteTheirs(mine, theirs, f)) {
                        toSend.insert(f);
                    }
                }
            }
            if (conflict) {
                m_outcome.summary.merged << nameOf(mine);
            }
            m_entryOf[static_cast<std::size_t>(rec)] = static_cast<int>(m_state.entries.size());
            m_state.entries.push_back(entry);
            m_recordOf.push_back(rec);
            m_dropEntry.push_back(false);
            m_changedRecords[rec] = mine;
            if (!toSend.empty()) {
                uploads.push_back({static_cast<int>(m_state.entries.size()) - 1, rec, href,
                                   item.etag, mergeIntoCard(item.addressData, mine, toSend)});
            } else {
                m_state.entries.back().synced = mine;
            }
            continue;
        }
        m_added.push_back({theirs, entry});
        ++m_outcome.summary.received;
    }

    // Entries new here: a card of their own, named after its UID. The UIDs
    // are counted over the whole book as an export counts them, so that
    // entries alike in stamp and name get one each; a name some other
    // entry's card already has gets a number.
    std::set<QString> taken;
    for (const SyncedEntry& e : m_state.entries) {
        taken.insert(e.href);
    }
    const bool anyNew =
        std::any_of(m_entryOf.begin(), m_entryOf.end(), [](int k) { return k < 0; });
    VCardWriter writer(VCardVersion::V3);
    for (std::size_t i = 0; anyNew && i < m_records.size(); ++i) {
        std::string text;
        std::vector<std::string> problems;
        writer.append(text, m_records[i], static_cast<int>(i) + 1, problems);
        if (m_entryOf[i] >= 0) {
            continue;
        }
        QByteArray card = QByteArray::fromStdString(text);
        const QByteArray uid = uidOfCard(card);
        QString href = hrefOf(uid);
        for (int n = 2; taken.count(href) > 0; ++n) {
            const QByteArray numbered = uid + '-' + QByteArray::number(n);
            card = withUid(card, numbered);
            href = hrefOf(numbered);
        }
        taken.insert(href);
        uploads.push_back({-1, static_cast<int>(i), href, "*", card});
    }

    if (!upload(std::move(uploads))) {
        return false;
    }
    // Removed here: removed there, unless the server changed it meanwhile.
    std::vector<DavRequest> requests;
    for (const auto& [href, etag] : deletions) {
        requests.push_back({"DELETE", urlOf(href), {{"If-Match", etag}}, {}});
    }
    const std::vector<DavResponse> answers = m_client->sendAll(requests);
    for (std::size_t i = 0; i < answers.size(); ++i) {
        const DavResponse& r = answers[i];
        if (r.status / 100 == 2 || r.status == 404) {
            ++m_outcome.summary.removedThere;
        } else if (r.status == 412) {
            std::map<QString, davXml::Item> changed;
            if (!fetch({deletions[i].first}, changed)) {
                return false;
            }
            for (const auto& [href, item] : changed) {
                ContactRecord back = recordOfCard(item.addressData, m_now);
                m_added.push_back(
                    {back, {href, item.etag, uidOfCard(item.addressData), back, item.addressData}});
                ++m_outcome.summary.received;
            }
        } else {
            return failOn(r, QStringLiteral("a removal"));
        }
    }
    return true;
}

bool SyncRun::Sync::upload(std::vector<Upload> uploads) {
    for (int round = 0; !uploads.empty(); ++round) {
        std::vector<DavRequest> requests;
        for (const Upload& u : uploads) {
            requests.push_back({"PUT",
                                urlOf(u.href),
                                {{u.ifMatch == "*" ? "If-None-Match" : "If-Match", u.ifMatch}},
                                u.card});
        }
        const std::vector<DavResponse> answers = m_client->sendAll(requests);
        std::vector<Upload> again;
        QStringList refetch;
        for (std::size_t i = 0; i < answers.size(); ++i) {
            const DavResponse& r = answers[i];
            const Upload& u = uploads[i];
            if (r.status / 100 == 2) {
                ++m_outcome.summary.sent;
                const ContactRecord& mine = recordToSend(u.record);
                m_sent[u.href] = u.record;
                SyncedEntry done{u.href, r.etag, uidOfCard(u.card), mine, u.card};
                if (u.entry >= 0) {
                    m_state.entries[static_cast<std::size_t>(u.entry)] = done;
                } else {
                    m_entryOf[static_cast<std::size_t>(u.record)] =
                        static_cast<int>(m_state.entries.size());
                    m_state.entries.push_back(done);
                    m_recordOf.push_back(u.record);
                    m_dropEntry.push_back(false);
                }
                if (r.etag.isEmpty()) {
                    refetch << u.href;
                }
            } else if (r.status == 412 && round < kConflictRetries) {
                again.push_back(u);
            } else {
                return failOn(r, QStringLiteral("an upload"));
            }
        }
        if (!refetch.isEmpty()) {
            std::map<QString, davXml::Item> stored;
            if (!fetch(refetch, stored)) {
                return false;
            }
            for (SyncedEntry& e : m_state.entries) {
                if (const auto it = stored.find(e.href); it != stored.end()) {
                    e.etag = it->second.etag;
                    e.card = it->second.addressData;
                }
            }
        }
        // Changed on the server meanwhile (or, for a new card, there already
        // from a sync cut off before it saved its state): fetched, merged
        // into and sent again.
        std::vector<Upload> merged;
        for (Upload u : again) {
            std::map<QString, davXml::Item> now;
            if (!fetch({u.href}, now)) {
                return false;
            }
            const auto it = now.find(u.href);
            const ContactRecord mine = recordToSend(u.record);
            if (it == now.end()) {
                u.ifMatch = "*";
            } else if (u.entry >= 0) {
                // Settled again against what the server changed since the
                // card the entry was settled against.
                SyncedEntry& e = m_state.entries[static_cast<std::size_t>(u.entry)];
                std::set<Field> toSend;
                bool conflict = false;
                const ContactRecord settled =
                    settleEntry(mine, e.synced, e.card, it->second.addressData, toSend, conflict);
                if (conflict && !m_outcome.summary.merged.contains(nameOf(settled))) {
                    m_outcome.summary.merged << nameOf(settled);
                }
                m_changedRecords[u.record] = settled;
                e.card = it->second.addressData;
                u.ifMatch = it->second.etag;
                u.card = mergeIntoCard(e.card, settled, toSend);
            } else {
                // A new card's name already taken: by this entry's own card,
                // sent by a sync cut off before it kept its state.
                const ContactRecord theirs = recordOfCard(it->second.addressData, m_now);
                u.ifMatch = it->second.etag;
                u.card = mergeIntoCard(it->second.addressData, mine, fieldsChanged(mine, theirs));
            }
            merged.push_back(u);
        }
        uploads = std::move(merged);
    }
    return true;
}

bool SyncRun::Sync::writeBook(DataFile& store) {
    // Changed entries in their slots, then the removed ones (from the last,
    // so that the numbers of the others hold), then the new ones after the
    // book's last entry.
    for (const auto& [rec, record] : m_changedRecords) {
        if (sameField(record, m_records[static_cast<std::size_t>(rec)], Field::FullName) &&
            !changedSince(record, m_records[static_cast<std::size_t>(rec)])) {
            continue;
        }
        const int slot = m_slotOf[static_cast<std::size_t>(rec)];
        const StoreStatus written = store.UseDataFile([&] {
            store.CurrentRecord() = record;
            store.CurrentRecord().setDate(Field::LastModified, m_now);
            return store.WriteRecord(slot);
        });
        if (!written.ok()) {
            return fail(QString::fromStdString(written.message()));
        }
    }
    // The first deletion also drops the slots an interrupted deletion marked
    // killed; the later ones find their entries that many slots lower.
    bool compacted = false;
    for (auto it = m_removedRecords.rbegin(); it != m_removedRecords.rend(); ++it) {
        int slot = m_slotOf[static_cast<std::size_t>(*it)];
        if (compacted) {
            slot -= static_cast<int>(
                std::lower_bound(m_killedSlots.begin(), m_killedSlots.end(), slot) -
                m_killedSlots.begin());
        }
        compacted = true;
        const StoreStatus removed = store.DeleteAndCompact(slot);
        if (!removed.ok()) {
            return fail(QString::fromStdString(removed.message()));
        }
    }
    if (!m_added.empty()) {
        BookAppend append(store);
        if (StoreStatus begun = append.begin(); !begun.ok()) {
            return fail(QString::fromStdString(begun.message()));
        }
        for (auto& [record, entry] : m_added) {
            if (!append.add(record)) {
                m_outcome.summary.bookFull = append.full();
                --m_outcome.summary.received;
                continue;
            }
            entry.synced = record;
            m_state.entries.push_back(entry);
            m_dropEntry.push_back(false);
        }
        if (StoreStatus committed = append.commit(); !committed.ok()) {
            return fail(QString::fromStdString(committed.message()));
        }
    }
    return true;
}

bool SyncRun::Sync::begin(DataFile& store) {
    m_statePath = QString::fromStdString(store.path(kSyncStateName));
    QString error;
    if (!loadSyncState(m_statePath, m_state, error)) {
        m_outcome.damaged = true;
        return fail(error);
    }
    if (m_state.collection != m_collection.toString()) {
        m_state = SyncState{};  // another collection: this is a first sync
    }
    if (!readBook(store)) {
        return false;
    }
    m_bookChanges = store.changeCount();
    return true;
}

bool SyncRun::Sync::exchange(DavClient& client) {
    m_client = &client;
    if (!list()) {
        return false;
    }
    match();
    return settle();
}

bool SyncRun::Sync::finish(DataFile& store) {
    if (store.changeCount() != m_bookChanges) {
        // What was settled was settled against entries that may have moved
        // or changed since: the book is not written, and the next sync
        // settles it afresh. The state keeps the cards sent up, so that a
        // change made meanwhile (a removal, a new name, another value) is
        // taken as the change it is; all else stays as the last sync left
        // it.
        m_outcome.bookChangedMeanwhile = true;
        SyncState kept;
        QString error;
        if (!loadSyncState(m_statePath, kept, error)) {
            return fail(error);
        }
        if (kept.collection != m_collection.toString()) {
            kept = SyncState{};
            kept.collection = m_collection.toString();
        }
        for (SyncedEntry e : m_state.entries) {
            const auto sent = m_sent.find(e.href);
            if (sent == m_sent.end()) {
                continue;
            }
            const ContactRecord& asRead = m_records[static_cast<std::size_t>(sent->second)];
            if (changedSince(e.synced, asRead)) {
                // The card holds values taken from the server that the book
                // has not got. Kept as the card would be with the book's own
                // values only, and as changed since, the next sync takes
                // those values in as the server's changes, not as the
                // book's going back.
                e.card = mergeIntoCard(e.card, asRead, fieldsChanged(e.synced, asRead));
                e.synced = asRead;
                e.etag.clear();
            }
            const auto same = std::find_if(kept.entries.begin(), kept.entries.end(),
                                           [&](const SyncedEntry& k) { return k.href == e.href; });
            if (same != kept.entries.end()) {
                *same = e;
            } else {
                kept.entries.push_back(e);
            }
        }
        if (!saveSyncState(m_statePath, kept, error)) {
            return fail(error);
        }
        return fail(QStringLiteral("the book was changed during the sync"));
    }
    if (!writeBook(store)) {
        return false;
    }
    SyncState next;
    next.collection = m_collection.toString();
    next.syncToken = m_newToken;
    for (std::size_t k = 0; k < m_state.entries.size(); ++k) {
        if (!m_dropEntry[k]) {
            next.entries.push_back(m_state.entries[k]);
        }
    }
    QString error;
    if (!saveSyncState(m_statePath, next, error)) {
        return fail(error);
    }
    m_outcome.ok = true;
    return true;
}

QString SyncSummary::line() const {
    QString text = QStringLiteral(
                       "sent %1, received %2, removed here %3, removed there %4, "
                       "merged %5")
                       .arg(sent)
                       .arg(received)
                       .arg(removedHere)
                       .arg(removedThere)
                       .arg(merged.size());
    if (!merged.isEmpty()) {
        QStringList quoted;
        for (const QString& name : merged) {
            quoted << u'"' + name + u'"';
        }
        text += QStringLiteral(" (") + quoted.join(QStringLiteral(", ")) + u')';
    }
    if (bookFull) {
        text += QStringLiteral("; the book is full (32,767 entries): the rest stays on the server");
    }
    return text;
}

SyncRun::SyncRun(const QUrl& collection, double now)
    : m_sync(std::make_unique<Sync>(collection, now)) {}

SyncRun::~SyncRun() = default;

bool SyncRun::begin(DataFile& store) {
    return m_sync->begin(store);
}

bool SyncRun::exchange(DavClient& client) {
    return m_sync->exchange(client);
}

bool SyncRun::finish(DataFile& store) {
    return m_sync->finish(store);
}

const SyncOutcome& SyncRun::outcome() const {
    return m_sync->outcome();
}

SyncOutcome syncBook(DataFile& store, DavClient& client, const QUrl& collection, double now) {
    SyncRun run(collection, now);
    (void)(run.begin(store) && run.exchange(client) && run.finish(store));
    return run.outcome();
}

}  // namespace corvane
