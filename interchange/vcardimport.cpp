// Reading vCards 2.1, 3.0 and 4.0 into entries.

#include <algorithm>
#include <cctype>
#include <map>
#include <optional>
#include <set>

#include "codepage.h"
#include "importparts.h"

namespace corvane::importing {
namespace {

struct Property {
    std::string name;                           // upper case, group removed
    std::set<std::string> types;                // lower case
    std::map<std::string, std::string> params;  // upper-case names
    std::string value;                          // raw, still escaped
};

// The value's text: escapes taken out (\n, \, \; \\).
std::string unescape(std::string_view value) {
    std::string out;
    for (std::size_t i = 0; i < value.size(); ++i) {
        if (value[i] == '\\' && i + 1 < value.size()) {
            const char next = value[++i];
            out += next == 'n' || next == 'N' ? std::string("\r\n") : std::string(1, next);
        } else {
            out += value[i];
        }
    }
    return out;
}

// Splits at unescaped `separator`.
std::vector<std::string> splitValue(std::string_view value, char separator) {
    std::vector<std::string> parts(1);
    for (std::size_t i = 0; i < value.size(); ++i) {
        if (value[i] == '\\' && i + 1 < value.size()) {
            parts.back() += value[i];
            parts.back() += value[++i];
        } else if (value[i] == separator) {
            parts.emplace_back();
        } else {
            parts.back() += value[i];
        }
    }
    return parts;
}

std::string decodeQuotedPrintable(std::string_view text) {
    auto hexAt = [&](std::size_t at) {
        return at < text.size() && std::isxdigit(static_cast<unsigned char>(text[at]));
    };
    std::string out;
    for (std::size_t i = 0; i < text.size(); ++i) {
        if (text[i] == '=' && hexAt(i + 1) && hexAt(i + 2)) {
            out += static_cast<char>(std::stoi(std::string(text.substr(i + 1, 2)), nullptr, 16));
            i += 2;
        } else {
            out += text[i];
        }
    }
    return out;
}

Property parseProperty(const std::string& line) {
    Property p;
    std::size_t colon = std::string::npos;
    bool quoted = false;
    for (std::size_t i = 0; i < line.size(); ++i) {
        if (line[i] == '"') {
            quoted = !quoted;
        } else if (line[i] == ':' && !quoted) {
            colon = i;
            break;
        }
    }
    const std::string head = colon == std::string::npos ? line : line.substr(0, colon);
    p.value = colon == std::string::npos ? "" : line.substr(colon + 1);
    std::vector<std::string> parts = splitValue(head, ';');
    std::string name = parts[0];
    if (const auto dot = name.find('.'); dot != std::string::npos) {
        name = name.substr(dot + 1);  // item1.TEL: the group is Apple's, not ours
    }
    p.name = upper(name);
    for (std::size_t i = 1; i < parts.size(); ++i) {
        const auto eq = parts[i].find('=');
        if (eq == std::string::npos) {
            p.types.insert(lower(parts[i]));  // vCard 2.1: ;HOME;VOICE
            continue;
        }
        std::string key = upper(parts[i].substr(0, eq));
        std::string value = parts[i].substr(eq + 1);
        value.erase(std::remove(value.begin(), value.end(), '"'), value.end());
        if (key == "TYPE") {
            for (const std::string& t : splitValue(value, ',')) {
                p.types.insert(lower(t));
            }
        } else {
            p.params[key] = value;
        }
    }
    if (upper(p.params["ENCODING"]) == "QUOTED-PRINTABLE") {
        p.value = decodeQuotedPrintable(p.value);
    }
    const std::string charset = upper(p.params["CHARSET"]);
    if ((charset == "ISO-8859-1" || charset == "WINDOWS-1252") || !isUtf8(p.value)) {
        p.value = cp1252::decode(p.value);  // an old card's own code page
    }
    return p;
}

// The content lines of `text`, unfolded (a line break followed by a blank
// or tab continues the line; a quoted-printable line ending in "=" too).
std::vector<std::string> contentLines(std::string_view text) {
    std::vector<std::string> lines;
    std::string current;
    std::size_t i = 0;
    while (i <= text.size()) {
        const auto end = text.find('\n', i);
        std::string line(
            text.substr(i, end == std::string_view::npos ? std::string_view::npos : end - i));
        if (!line.empty() && line.back() == '\r') {
            line.pop_back();
        }
        if (!line.empty() && (line[0] == ' ' || line[0] == '\t') && !lines.empty()) {
            lines.back() += line.substr(1);
        } else if (!lines.empty() && !lines.back().empty() && lines.back().back() == '=' &&
                   upper(lines.back()).find("QUOTED-PRINTABLE") != std::string::npos) {
            lines.back().pop_back();
            lines.back() += line;
        } else {
            lines.push_back(line);
        }
        if (end == std::string_view::npos) {
            break;
        }
        i = end + 1;
    }
    return lines;
}

const AddressSide& sideOf(const Property& p) {
    return p.types.contains("work") ? kWorkSide : kHomeSide;
}

std::string percentDecoded(std::string_view uri) {
    std::string out;
    for (std::size_t i = 0; i < uri.size(); ++i) {
        if (uri[i] == '%' && i + 2 < uri.size() &&
            std::isxdigit(static_cast<unsigned char>(uri[i + 1])) &&
            std::isxdigit(static_cast<unsigned char>(uri[i + 2]))) {
            out += static_cast<char>(std::stoi(std::string(uri.substr(i + 1, 2)), nullptr, 16));
            i += 2;
        } else {
            out += uri[i];
        }
    }
    return out;
}

// ADR: the street, the second line (the extended address, else the post
// office box) and the city line of one side.
void putAddress(EntryBuilder& b, const Property& p, const AddressSide& side,
                const std::string& sideName) {
    const std::vector<std::string> a = splitValue(p.value, ';');
    auto part = [&](std::size_t i) { return i < a.size() ? trimmed(unescape(a[i])) : ""; };
    b.put(side.address1, part(2), "the " + sideName + " street");
    b.put(side.address2, part(1).empty() ? part(0) : part(1),
          "the " + sideName + " address's second line");
    b.put(side.cityStateZip, cityLine(part(3), part(4), part(5), part(6)),
          "the " + sideName + " city line");
}

// TEL: a number into the side's field for its type; a second plain number
// goes to the side's other phone, a second mobile to the second mobile.
void putPhone(EntryBuilder& b, const Property& p, const std::string& value, const AddressSide& side,
              const std::string& sideName) {
    // A tel: URI is shown as the number ("+1-418-656-9254 x102").
    std::string number = value;
    if (lower(number).starts_with("tel:")) {
        number = number.substr(4);
        if (const auto ext = number.find(";ext="); ext != std::string::npos) {
            number = number.substr(0, ext) + " x" + number.substr(ext + 5);
        }
    }
    const std::string what = "another " + sideName + " phone number";
    if (p.types.contains("fax")) {
        b.put(side.fax, number, "another " + sideName + " fax number");
    } else if (p.types.contains("pager")) {
        b.put(side.pager, number, "another " + sideName + " pager number");
    } else if (p.types.contains("cell")) {
        b.put(b.isFree(side.cell1) ? side.cell1 : side.cell2, number, "another mobile number");
    } else if (p.types.contains("x-other") || !b.isFree(side.phone)) {
        b.put(side.otherPhone, number, what);
    } else {
        b.put(side.phone, number, what);
    }
}

// CATEGORIES: one affiliation a line.
std::string categoryLines(const std::string& value) {
    std::string lines;
    for (const std::string& c : splitValue(value, ',')) {
        const std::string category = trimmed(unescape(c));
        if (!category.empty()) {
            lines += (lines.empty() ? "" : "\r\n") + category;
        }
    }
    return lines;
}

void mapProperty(EntryBuilder& b, const Property& p, std::string& fn, std::string& nName) {
    const std::string value = unescape(p.value);
    const AddressSide& side = sideOf(p);
    const std::string sideName = &side == &kWorkSide ? "work" : "home";
    if (p.name == "FN") {
        fn = value;
    } else if (p.name == "N") {
        const std::vector<std::string> n = splitValue(p.value, ';');
        const std::string family = trimmed(unescape(n[0]));
        const std::string given = n.size() > 1 ? trimmed(unescape(n[1])) : "";
        nName = entryName(family, given);
        if (n.size() > 3) {
            b.put(Field::Title, unescape(n[3]), "the title");
        }
    } else if (p.name == "NICKNAME") {
        b.put(Field::Nickname, value, "the nickname");
    } else if (p.name == "TITLE" || p.name == "ORG" || p.name == "ROLE") {
        b.put(kWorkSide.otherInfo, lower(p.name) + ": " + value, lower(p.name));
    } else if (p.name == "ADR") {
        putAddress(b, p, side, sideName);
    } else if (p.name == "TEL") {
        putPhone(b, p, value, side, sideName);
    } else if (p.name == "EMAIL") {
        b.put(side.email, value, "another " + sideName + " e-mail address");
    } else if (p.name == "URL") {
        b.put(side.webPage, value, "another " + sideName + " web address");
    } else if (p.name == "BDAY") {
        b.date(Field::Birthday, parseDate(value, false), value, "the birthday");
    } else if (p.name == "ANNIVERSARY" || p.name == "X-ANNIVERSARY") {
        b.date(Field::Anniversary, parseDate(value, false), value, "the anniversary");
    } else if (p.name == "NOTE") {
        b.put(Field::Comments, value, "another note");
    } else if (p.name == "CATEGORIES") {
        b.put(Field::Affiliations, categoryLines(p.value), "more affiliations");
    } else if (p.name == "PHOTO") {
        if (lower(value).starts_with("file://")) {
            b.put(Field::PicturePath, percentDecoded(value.substr(7)), "another picture");
        } else {
            b.unknown("a picture Corvane cannot keep (only a picture file's path)",
                      p.params.contains("ENCODING") ? "embedded picture" : value);
        }
    } else if (p.name == "X-CORVANE-HOME-OTHER-INFO") {
        b.put(kHomeSide.otherInfo, value, "the home's other information");
    } else if (p.name == "X-CORVANE-WORK-OTHER-INFO") {
        b.put(kWorkSide.otherInfo, value, "the business's other information");
    } else if (p.name == "X-CORVANE-CREATED") {
        b.date(Field::Created, parseDate(value, true), value, "the creation stamp");
    } else if (p.name == "REV") {
        b.date(Field::LastModified, parseDate(value, true), value, "the change stamp");
    } else if (p.name == "VERSION" || p.name == "UID" || p.name == "PRODID" || p.name == "BEGIN" ||
               p.name == "END" || p.name == "KIND" || p.name == "SOURCE") {
        // nothing of the entry's own
    } else {
        b.unknown(p.name, value);
    }
}

}  // namespace

ImportReading readVCards(std::string_view text, double now) {
    ImportReading reading;
    std::optional<std::vector<Property>> card;
    int cardNumber = 0;
    for (const std::string& line : contentLines(text)) {
        if (line.empty()) {
            continue;
        }
        const std::string head = upper(line.substr(0, std::min<std::size_t>(line.size(), 12)));
        if (head.starts_with("BEGIN:VCARD")) {
            if (card) {
                reading.refusal = "vCard " + std::to_string(cardNumber) + " has no END:VCARD";
                return reading;
            }
            card.emplace();
            ++cardNumber;
            continue;
        }
        if (!card) {
            reading.refusal = "the text \"" + line.substr(0, 40) + "\" stands outside any vCard";
            return reading;
        }
        if (head.starts_with("END:VCARD")) {
            EntryBuilder b(now);
            std::string fn;
            std::string nName;
            bool fromCorvane = false;
            bool revised = false;
            for (const Property& p : *card) {
                mapProperty(b, p, fn, nName);
                fromCorvane = fromCorvane || p.name == "X-CORVANE-CREATED";
                revised = revised || p.name == "REV";
            }
            if (fromCorvane && !revised) {
                b.clearDate(Field::LastModified);
            }
            b.put(Field::FullName, nName.empty() ? fn : nName, "the name");
            if (!b.hasName()) {
                reading.skipped.push_back("vCard " + std::to_string(cardNumber) +
                                          ": it has no name");
            } else {
                reading.entries.push_back(b.finish());
            }
            card.reset();
            continue;
        }
        card->push_back(parseProperty(line));
    }
    if (card) {
        reading.refusal =
            "the file ends inside vCard " + std::to_string(cardNumber) + ": it is cut short";
    }
    return reading;
}

}  // namespace corvane::importing
