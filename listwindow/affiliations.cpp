#include "affiliations.h"

#include <QCollator>
#include <algorithm>

#include "recordtext.h"

namespace corvane {
namespace {

const QString kLineBreak = QStringLiteral("\r\n");

}  // namespace

void AffiliationList::CollectAffiliations(const ContactRecord& record) {
    QString t = recordText(record, Field::Affiliations);
    if (t.size() <= 2) {
        return;
    }
    while (t.startsWith(kLineBreak) || t.endsWith(kLineBreak)) {
        if (t.startsWith(kLineBreak)) {
            t.remove(0, 2);
        }
        if (t.endsWith(kLineBreak)) {
            t.chop(2);
        }
    }
    t += kLineBreak;
    if (t.size() <= 4) {
        return;
    }
    for (const QStringView line : QStringView(t).split(kLineBreak)) {
        if (line.size() < 3 || line.size() > 24) {
            continue;
        }
        const QString capitals = line.toString().toUpper();
        if (!m_capitals.contains(capitals)) {
            m_capitals.insert(capitals);
            m_items.append(line.toString());
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
    if (StoreStatus opened = store.OpenDataFile(); !opened.ok()) {
        return opened;
    }
    AffiliationList list;
    for (int i = 1; i <= store.RecordCount(); ++i) {
        if (StoreStatus read = store.ReadRecord(i); !read.ok()) {
            (void)store.CloseDataFile();
            return read;
        }
        list.CollectAffiliations(store.CurrentRecord());
    }
    out = list.sorted();
    return store.CloseDataFile();
}

}  // namespace corvane
