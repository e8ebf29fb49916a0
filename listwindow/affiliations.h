#pragma once

// The distinct affiliations of the address book: every line of 3 to 24
// characters of the entries' Affiliations fields, once regardless of
// capitalization (in the form met first), in alphabetical order without
// regard to capitalization. The filter popup and `corvane --affiliations`
// show the same list.

#include <QByteArray>
#include <QSet>
#include <QStringList>

#include "datafile.h"

namespace corvane {

class AffiliationList {
  public:
    // Adds the affiliations of `record` that are not there yet.
    void CollectAffiliations(const ContactRecord& record);
    // The affiliations collected, sorted.
    QStringList sorted() const;
    bool isEmpty() const { return m_items.isEmpty(); }

  private:
    QStringList m_items;
    QSet<QString> m_capitals;
    QSet<QByteArray> m_seen;  // every line met, as stored
};

// Reads the whole data file and returns its affiliations, sorted, in `out`.
StoreStatus collectAffiliations(DataFile& store, QStringList& out);

}  // namespace corvane
