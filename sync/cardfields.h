#pragma once

// An entry and a vCard, one into the other as the import and the export
// read and write them, and an entry's changed fields put into a server's
// card without touching anything else the card holds.

#include <QByteArray>
#include <set>
#include <vector>

#include "contactrecord.h"

namespace corvane {

// The fields the user keeps (not the stamps a save sets).
const std::vector<Field>& userFields();
bool sameField(const ContactRecord& a, const ContactRecord& b, Field field);

// The entry the card gives, read as the import reads it: text cut to a
// field's length goes whole to the comments. `now` stamps a card without
// dates of its own.
ContactRecord recordOfCard(const QByteArray& card, double now);
// The card of an entry, as the export writes it (vCard 3.0).
QByteArray cardOfRecord(const ContactRecord& record);
// The card's UID, or empty.
QByteArray uidOfCard(const QByteArray& card);
// The card with its UID line saying `uid`.
QByteArray withUid(const QByteArray& card, const QByteArray& uid);

// `serverCard` with the properties that carry `fields` replaced by those of
// `record`'s own card; every other property (photos, more e-mail
// addresses, groups, X- properties) stays as the server has it. With no
// server card, the entry's own card.
QByteArray mergeIntoCard(const QByteArray& serverCard, const ContactRecord& record,
                         const std::set<Field>& fields);

}  // namespace corvane
