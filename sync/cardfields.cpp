#include "cardfields.h"

#include <QList>
#include <algorithm>

#include "importer.h"
#include "vcardexport.h"

namespace corvane {
namespace {

QList<QByteArray> unfoldedLines(const QByteArray& card) {
    QByteArray text = card;
    text.replace("\r\n", "\n");
    text.replace("\n ", "").replace("\n\t", "");
    QList<QByteArray> lines = text.split('\n');
    while (!lines.isEmpty() && lines.last().trimmed().isEmpty()) {
        lines.removeLast();
    }
    return lines;
}

// The property's name in capitals, without its group ("item1.EMAIL").
QByteArray nameOf(const QByteArray& line) {
    qsizetype end = 0;
    while (end < line.size() && line[end] != ':' && line[end] != ';') {
        ++end;
    }
    QByteArray name = line.left(end).toUpper();
    if (const qsizetype dot = name.lastIndexOf('.'); dot >= 0) {
        name = name.mid(dot + 1);
    }
    return name;
}

bool isFrame(const QByteArray& name) {
    return name == "BEGIN" || name == "END" || name == "VERSION" || name == "PRODID" ||
           name == "UID" || name == "REV";
}

// The fields line `index` of `lines` fills in the entry the whole card
// gives: those the entry loses when the card is read without that line.
// What the import sets aside in the comments (a third e-mail address, say)
// is no field of the line's own: only a NOTE carries the comments.
std::set<Field> fieldsOfLine(const QList<QByteArray>& lines, qsizetype index,
                             const ContactRecord& whole) {
    const QByteArray name = nameOf(lines[index]);
    if (name == "FN" || name == "N") {
        return {Field::FullName};
    }
    QList<QByteArray> without = lines;
    without.removeAt(index);
    const ContactRecord read = recordOfCard(without.join("\r\n") + "\r\n", 1);
    std::set<Field> fields;
    for (const Field field : userFields()) {
        if (field == Field::Comments && name != "NOTE") {
            continue;
        }
        if (!sameField(read, whole, field)) {
            fields.insert(field);
        }
    }
    return fields;
}

// What reading the card sets aside in the comments beyond its NOTE (a
// third e-mail address, an X- property, a display name): the comments of
// the card read without its NOTE.
std::string setAsideOf(const QList<QByteArray>& lines) {
    QList<QByteArray> without;
    for (const QByteArray& line : lines) {
        if (nameOf(line) != "NOTE") {
            without << line;
        }
    }
    return recordOfCard(without.join("\r\n") + "\r\n", 1).text(Field::Comments);
}

// `comments` without the block `aside` and the line break joining it.
std::string withoutAside(std::string comments, const std::string& aside) {
    const std::size_t at = aside.empty() ? std::string::npos : comments.find(aside);
    if (at == std::string::npos) {
        return comments;
    }
    comments.erase(at, aside.size());
    if (at >= 2 && comments.compare(at - 2, 2, "\r\n") == 0) {
        comments.erase(at - 2, 2);
    } else if (comments.compare(at, 2, "\r\n") == 0) {
        comments.erase(at, 2);
    }
    return comments;
}

}  // namespace

const std::vector<Field>& userFields() {
    static const std::vector<Field> fields = [] {
        std::vector<Field> out;
        for (int f = static_cast<int>(Field::Title); f <= static_cast<int>(Field::Affiliations);
             ++f) {
            out.push_back(static_cast<Field>(f));
        }
        return out;
    }();
    return fields;
}

bool sameField(const ContactRecord& a, const ContactRecord& b, Field field) {
    if (fieldInfo(field).kind == FieldKind::Date) {
        return a.date(field) == b.date(field);
    }
    return a.rawText(field) == b.rawText(field);
}

ContactRecord recordOfCard(const QByteArray& card, double now) {
    const ImportReading reading = readImport(std::string_view(card.constData(), card.size()), now);
    return reading.entries.empty() ? ContactRecord() : reading.entries.front().record;
}

QByteArray cardOfRecord(const ContactRecord& record) {
    std::vector<std::string> problems;
    const std::string card = vcardOf(record, 1, VCardVersion::V3, problems);
    return QByteArray::fromStdString(card);
}

QByteArray uidOfCard(const QByteArray& card) {
    for (const QByteArray& line : unfoldedLines(card)) {
        if (nameOf(line) == "UID") {
            return line.mid(line.indexOf(':') + 1).trimmed();
        }
    }
    return {};
}

QByteArray withUid(const QByteArray& card, const QByteArray& uid) {
    QList<QByteArray> lines = unfoldedLines(card);
    for (QByteArray& line : lines) {
        if (nameOf(line) == "UID") {
            line = "UID:" + uid;
        }
    }
    return lines.join("\r\n") + "\r\n";
}

QByteArray mergeIntoCard(const QByteArray& serverCard, const ContactRecord& record,
                         const std::set<Field>& fields) {
    if (serverCard.isEmpty()) {
        return cardOfRecord(record);
    }
    const QList<QByteArray> serverLines = unfoldedLines(serverCard);
    // The comments go up as the NOTE without what the card's other
    // properties put into them, which stay properties of their own.
    ContactRecord sent = record;
    if (fields.count(Field::Comments) > 0) {
        sent.setText(Field::Comments,
                     withoutAside(record.text(Field::Comments), setAsideOf(serverLines)));
    }
    const QByteArray own = cardOfRecord(sent);
    const auto touches = [&](const std::set<Field>& carried) {
        return std::any_of(carried.begin(), carried.end(),
                           [&](Field f) { return fields.count(f) > 0; });
    };
    const ContactRecord serverWhole = recordOfCard(serverCard, 1);
    QList<QByteArray> kept;
    for (qsizetype i = 0; i < serverLines.size(); ++i) {
        const QByteArray name = nameOf(serverLines[i]);
        if (name == "END" ||
            (!isFrame(name) && touches(fieldsOfLine(serverLines, i, serverWhole)))) {
            continue;
        }
        kept << serverLines[i];
    }
    const QList<QByteArray> ownLines = unfoldedLines(own);
    const ContactRecord ownWhole = recordOfCard(own, 1);
    for (qsizetype i = 0; i < ownLines.size(); ++i) {
        const QByteArray name = nameOf(ownLines[i]);
        if (!isFrame(name) && touches(fieldsOfLine(ownLines, i, ownWhole))) {
            kept << ownLines[i];
        }
    }
    kept << "END:VCARD";
    return kept.join("\r\n") + "\r\n";
}

}  // namespace corvane
