#include "affiliations.h"

#include <QCollator>
#include <algorithm>

#include "recordtext.h"

namespace corvane {
// Works on the stored bytes (one byte is one character in Windows-1252):
// a line already seen exactly is passed over at once, and only a new one
// is decoded and compared in capitals.
void AffiliationList::CollectAffiliations(const ContactRecord& record) {
    std::string_view t = record.rawText(Field::Affiliations);
    if (t.size() <= 2) {
        return;
    }
    while (t.starts_with("\r\n") || t.ends_with("\r\n")) {
        if (t.starts_with("\r\n")) {
            t.remove_prefix(2);
        }
        if (t.ends_with("\r\n")) {
            t.remove_suffix(2);
        }
    }
    if (t.size() <= 2) {  // with its closing line break, four characters or fewer
        return;
    }
    while (!t.empty()) {
        const std::size_t end = t.find("\r\n");
        const std::string_view line = t.substr(0, end);
        t.remove_prefix(end == std::string_view::npos ? t.size() : end + 2);
        if (line.size() < 3 || line.size() > 24) {
            continue;
        }
        const QByteArray raw =
            QByteArray::fromRawData(line.data(), static_cast<qsizetype>(line.size()));
        if (m_seen.contains(raw)) {
            continue;
        }
        m_seen.insert(QByteArray(raw.constData(), raw.size()));
        const QString text = fromCp1252(line);
        // Capitals character by character, as the filter compares: "ß" is no
        // "SS", so "Straße Club" and "STRASSE CLUB" are two affiliations.
        QString capitals = text;
        for (QChar& c : capitals) {
            c = c.toUpper();
        }
        if (!m_capitals.contains(capitals)) {
            m_capitals.insert(capitals);
            m_items.append(text);
        }
    }
}

QStringList AffiliationList::sorted() const {
    QCollator collator;
    collator.setCaseSensitivity(Qt::CaseInsensitive);
    QStringList items = m_items;
    std::stable_sort(items.begin(), items.end(), [&collator](const QString& a, const QString& b) {
        return collator.compare(a, b) < 0;
    });
    return items;
}

StoreStatus collectAffiliations(DataFile& store, QStringList& out) {
    AffiliationList list;
    const StoreStatus status = store.UseDataFile([&] {
        for (int i = 1; i <= store.RecordCount(); ++i) {
            if (StoreStatus read = store.ReadRecord(i); !read.ok()) {
                return read;
            }
            list.CollectAffiliations(store.CurrentRecord());
        }
        return StoreStatus::success();
    });
    out = list.sorted();
    return status;
}

}  // namespace corvane
