// Reading vCards 2.1, 3.0 and 4.0 into entries, in one pass over the text.

#include <algorithm>
#include <cctype>
#include <map>
#include <set>

#include "codepage.h"
#include "importparts.h"
#include "vcardpicture.h"

namespace corvane::importing {
namespace {

// vCard 2.1 knows one escape, "\;"; 3.0 and 4.0 also "\\", "\,", "\n".
enum class Dialect { V21, V3 };

struct Property {
    std::string group;                          // Apple's "item1", lower case
    std::string name;                           // upper case
    std::set<std::string> types;                // lower case
    std::map<std::string, std::string> params;  // upper-case names
    std::string value;                          // decoded to UTF-8, still escaped
    int pref = 101;                             // 1 is the most preferred
    bool embedded = false;                      // base64 data
};

// The value's text: escapes taken out.
std::string unescape(std::string_view value, Dialect dialect) {
    std::string out;
    out.reserve(value.size());
    for (std::size_t i = 0; i < value.size(); ++i) {
        const char next = i + 1 < value.size() ? value[i + 1] : '\0';
        if (value[i] != '\\' || next == '\0' || (dialect == Dialect::V21 && next != ';')) {
            out += value[i];
            continue;
        }
        ++i;
        if (next == 'n' || next == 'N') {
            out += "\r\n";
        } else {
            out += next;
        }
    }
    return out;
}

// Splits at each `separator` no backslash escapes; the parts keep their escapes.
std::vector<std::string> splitValue(std::string_view value, char separator, Dialect dialect) {
    std::vector<std::string> parts(1);
    for (std::size_t i = 0; i < value.size(); ++i) {
        const bool escape = value[i] == '\\' && i + 1 < value.size() &&
                            (dialect == Dialect::V3 || value[i + 1] == ';');
        if (escape) {
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

int hexValue(char c) {
    return c >= '0' && c <= '9'   ? c - '0'
           : c >= 'a' && c <= 'f' ? c - 'a' + 10
           : c >= 'A' && c <= 'F' ? c - 'A' + 10
                                  : -1;
}

// Quoted-printable: "=XX" is a byte; a "=" left at the end (a soft break
// with nothing after it) is dropped.
std::string decodeQuotedPrintable(std::string_view text) {
    std::string out;
    out.reserve(text.size());
    for (std::size_t i = 0; i < text.size(); ++i) {
        if (text[i] == '=' && i + 2 < text.size() + 0 && hexValue(text[i + 1]) >= 0 &&
            hexValue(text[i + 2]) >= 0) {
            out += static_cast<char>(hexValue(text[i + 1]) * 16 + hexValue(text[i + 2]));
            i += 2;
        } else if (!(text[i] == '=' && i + 1 == text.size())) {
            out += text[i];
        }
    }
    return out;
}

// Where the property's name and parameters end: its first colon outside quotes.
std::size_t colonOf(std::string_view line) {
    bool quoted = false;
    for (std::size_t i = 0; i < line.size(); ++i) {
        if (line[i] == '"') {
            quoted = !quoted;
        } else if (line[i] == ':' && !quoted) {
            return i;
        }
    }
    return std::string_view::npos;
}

void readParameter(Property& p, const std::string& parameter, Dialect dialect) {
    const auto eq = parameter.find('=');
    if (eq == std::string::npos) {  // vCard 2.1: ;HOME;VOICE;QUOTED-PRINTABLE
        const std::string bare = upper(parameter);
        if (bare == "QUOTED-PRINTABLE" || bare == "BASE64" || bare == "B") {
            p.params["ENCODING"] = bare;
        } else if (bare == "PREF") {
            p.pref = 1;
        } else {
            p.types.insert(lower(parameter));
        }
        return;
    }
    const std::string key = upper(parameter.substr(0, eq));
    std::string value = parameter.substr(eq + 1);
    value.erase(std::remove(value.begin(), value.end(), '"'), value.end());
    if (key == "TYPE") {
        for (const std::string& t : splitValue(value, ',', dialect)) {
            if (lower(t) == "pref") {
                p.pref = std::min(p.pref, 1);
            }
            p.types.insert(lower(t));
        }
    } else if (key == "PREF") {
        const std::string digits = trimmed(value);
        if (!digits.empty() && digits.size() <= 3 &&
            std::all_of(digits.begin(), digits.end(),
                        [](char c) { return c >= '0' && c <= '9'; })) {
            p.pref = std::min(p.pref, std::stoi(digits));
        }
    } else {
        p.params[key] = value;
    }
}

Property parseProperty(std::string_view line, Dialect dialect) {
    Property p;
    const std::size_t colon = colonOf(line);
    const std::string_view head = line.substr(0, colon);
    const std::string_view raw =
        colon == std::string_view::npos ? std::string_view() : line.substr(colon + 1);
    const std::vector<std::string> parts = splitValue(head, ';', dialect);
    std::string name = parts[0];
    if (const auto dot = name.find('.'); dot != std::string::npos) {
        p.group = lower(name.substr(0, dot));  // item1.TEL: Apple's grouping
        name = name.substr(dot + 1);
    }
    p.name = upper(name);
    for (std::size_t i = 1; i < parts.size(); ++i) {
        readParameter(p, parts[i], dialect);
    }
    const std::string encoding = upper(p.params["ENCODING"]);
    p.embedded = encoding == "B" || encoding == "BASE64" || startsWithNoCase(raw, "data:");
    if (p.embedded) {
        return p;  // never decoded, shown or kept
    }
    p.value = encoding == "QUOTED-PRINTABLE" ? decodeQuotedPrintable(raw) : std::string(raw);
    const std::string charset = upper(trimmed(p.params["CHARSET"]));
    if (!charset.empty() && charset != "UTF-8") {
        if (auto text = fromCharset(p.value, charset)) {
            p.value = std::move(*text);
            return p;
        }
    }
    if (!isUtf8(p.value)) {
        p.value = cp1252::decode(p.value);  // an old card's own code page
    }
    return p;
}

// The content lines of the text, unfolded, one at a time: a line break
// followed by a blank or tab continues the line, and so does a
// quoted-printable line ending in "=", unless the next line begins or ends
// a card.
class ContentLines {
  public:
    explicit ContentLines(std::string_view text) : m_text(text) {}

    bool next(std::string& line) {
        if (m_at > m_text.size()) {
            return false;
        }
        const std::string_view first = take();
        line.assign(first);
        const std::size_t colon = colonOf(first);
        const bool quotedPrintable =
            upper(first.substr(0, colon)).find("QUOTED-PRINTABLE") != std::string::npos;
        while (m_at <= m_text.size()) {
            const std::size_t mark = m_at;
            const std::string_view following = take();
            if (quotedPrintable && !line.empty() && line.back() == '=' &&
                !startsWithNoCase(following, "END:VCARD") &&
                !startsWithNoCase(following, "BEGIN:VCARD")) {
                line.pop_back();
                line.append(following);
            } else if (!following.empty() && (following[0] == ' ' || following[0] == '\t')) {
                line.append(following.substr(1));
            } else {
                m_at = mark;
                break;
            }
        }
        return true;
    }

  private:
    // The next physical line, without its line break.
    std::string_view take() {
        const std::size_t end = m_text.find('\n', m_at);
        std::string_view line =
            m_text.substr(m_at, end == std::string_view::npos ? m_text.size() - m_at : end - m_at);
        m_at = end == std::string_view::npos ? m_text.size() + 1 : end + 1;
        if (!line.empty() && line.back() == '\r') {
            line.remove_suffix(1);
        }
        return line;
    }

    std::string_view m_text;
    std::size_t m_at = 0;
};

std::vector<std::string> nonEmptyLines(const std::string& text) {
    std::vector<std::string> lines;
    std::size_t at = 0;
    while (at <= text.size()) {
        const std::size_t end = text.find_first_of("\r\n", at);
        const std::string line =
            trimmed(text.substr(at, end == std::string::npos ? end : end - at));
        if (!line.empty()) {
            lines.push_back(line);
        }
        if (end == std::string::npos) {
            break;
        }
        at = end + 1;
    }
    return lines;
}

// What one card holds beyond its fields: its name's parts, what an unnamed
// entry can be named by, and whether Corvane wrote it.
struct Card {
    Dialect dialect = Dialect::V3;
    bool own = false;
    bool revised = false;
    bool created = false;
    bool hasAddress = false;
    std::string fn;
    std::vector<std::string> n;  // family, given, additional, prefixes, suffixes
    NameCandidates candidates;
};

// X-CORVANE-EXACT's value: the field's text, percent-encoded.
std::string percentDecoded(std::string_view text) {
    std::string out;
    for (std::size_t i = 0; i < text.size(); ++i) {
        if (text[i] == '%' && i + 2 < text.size() + 0 && hexValue(text[i + 1]) >= 0 &&
            hexValue(text[i + 2]) >= 0) {
            out += static_cast<char>(hexValue(text[i + 1]) * 16 + hexValue(text[i + 2]));
            i += 2;
        } else {
            out += text[i];
        }
    }
    return out;
}

// The text field named `name` ("Comments"), if there is one.
std::optional<Field> textFieldNamed(std::string_view name) {
    for (int i = 1; i <= kFieldCount; ++i) {
        const auto field = static_cast<Field>(i);
        if (fieldInfo(field).kind == FieldKind::Text &&
            lower(fieldInfo(field).name) == lower(name)) {
            return field;
        }
    }
    return std::nullopt;
}

const char* sideWord(const AddressSide& side) {
    return &side == &kWorkSide ? "business" : "home";
}

// ADR: the street's first line into the first address line; its further
// lines, the extended address and the post office box, in that order, into
// the second and then the comments; locality, region, code and country into
// the city line. A second address of a side goes to the comments whole.
void putAddress(EntryBuilder& b, const Property& p, const AddressSide& side, Dialect dialect,
                bool own) {
    const std::vector<std::string> a = splitValue(p.value, ';', dialect);
    auto part = [&](std::size_t i) { return i < a.size() ? trimmed(unescape(a[i], dialect)) : ""; };
    const std::string sideName = sideWord(side);
    if (own) {  // Corvane's own lines, each where it was
        b.put(side.address1, part(2), "the " + sideName + " street");
        b.put(side.address2, part(1), "the " + sideName + " address's second line");
        b.put(side.cityStateZip, cityLine(part(3), part(4), part(5), part(6)),
              "the " + sideName + " city line");
        return;
    }
    std::vector<std::string> lines = nonEmptyLines(part(2));
    const std::string first = lines.empty() ? "" : lines.front();
    std::vector<std::string> rest(lines.empty() ? lines.end() : lines.begin() + 1, lines.end());
    for (std::size_t i : {1u, 0u}) {
        for (const std::string& line : nonEmptyLines(part(i))) {
            rest.push_back(line);
        }
    }
    const std::string city = cityLine(part(3), part(4), part(5), part(6));
    if (!b.isFree(side.address1) || !b.isFree(side.address2) || !b.isFree(side.cityStateZip)) {
        std::vector<std::string> all{first};
        all.insert(all.end(), rest.begin(), rest.end());
        all.push_back(city);
        b.unknown("Another " + sideName + " address", joined(all, ", "));
        return;
    }
    b.put(side.address1, first, "the " + sideName + " street");
    for (std::size_t i = 0; i < rest.size(); ++i) {
        if (i == 0) {
            b.put(side.address2, rest[i], "the " + sideName + " address's second line");
        } else {
            b.unknown("A further line of the " + sideName + " address", rest[i]);
        }
    }
    b.put(side.cityStateZip, city, "the " + sideName + " city line");
}

// TEL: a number into the side's field for its type; a second plain number
// goes to the side's other phone, a second mobile to the second mobile.
void putPhone(EntryBuilder& b, const Property& p, const std::string& number,
              const AddressSide& side, bool own) {
    const std::string sideName = sideWord(side);
    const auto& t = p.types;
    if (own) {  // Corvane's own types name the field
        const bool cell = t.contains("cell");
        b.put(t.contains("fax")               ? side.fax
              : t.contains("pager")           ? side.pager
              : t.contains("x-corvane-cell2") ? side.cell2
              : cell                          ? side.cell1
              : t.contains("x-other")         ? side.otherPhone
                                              : side.phone,
              number, "the " + sideName + " phone number");
        return;
    }
    if (t.contains("fax")) {
        b.put(side.fax, number, "the " + sideName + " fax number");
    } else if (t.contains("pager")) {
        b.put(side.pager, number, "the " + sideName + " pager number");
    } else if (t.contains("x-corvane-cell2")) {
        b.put(side.cell2, number, "the " + sideName + " second mobile number");
    } else if (t.contains("cell") || t.contains("iphone") || t.contains("mobile")) {
        b.put(b.isFree(side.cell1) ? side.cell1 : side.cell2, number,
              "the " + sideName + " mobile number");
    } else if (t.contains("x-other") || !b.isFree(side.phone)) {
        b.put(side.otherPhone, number, "the " + sideName + " other phone number");
    } else {
        b.put(side.phone, number, "the " + sideName + " phone number");
    }
}

// A tel: URI as the number it dials ("+1-418-656-9254 x102").
std::string phoneNumber(const std::string& value) {
    if (!startsWithNoCase(value, "tel:")) {
        return value;
    }
    std::string number = value.substr(4);
    if (const auto ext = number.find(";ext="); ext != std::string::npos) {
        number = number.substr(0, ext) + " x" + number.substr(ext + 5);
    }
    return number;
}

void putPhoto(EntryBuilder& b, const Property& p, const std::string& value) {
    if (p.embedded) {
        b.leftOut("its embedded picture was left out: Corvane keeps only a picture file's path");
        return;
    }
    std::string why;
    if (const auto path = picturePathOfUri(value, why)) {
        b.put(Field::PicturePath, *path, "the picture");
    } else if (startsWithNoCase(value, "file:")) {
        b.leftOut("its picture " + quoted(value) + " was left out: " + why);
    } else {
        b.unknown("Picture on the web", value);
    }
}

// The properties Corvane keeps nothing of, by design: the card's own
// bookkeeping and Apple's labels, which the mapping reads or leaves aside.
bool isBookkeeping(const std::string& name) {
    static const std::set<std::string> kNames = {"BEGIN",     "END",     "VERSION", "UID",
                                                 "PRODID",    "KIND",    "SOURCE",  "CLIENTPIDMAP",
                                                 "X-ABLABEL", "X-ABADR", "X-ABUID", "X-ABSHOWAS"};
    return kNames.contains(name);
}

void mapProperty(EntryBuilder& b, const Property& p, Card& card) {
    const Dialect d = card.dialect;
    const std::string value = unescape(p.value, d);
    const AddressSide& side = p.types.contains("work") ? kWorkSide : kHomeSide;
    const std::string sideName = sideWord(side);
    const std::string& name = p.name;
    if (name == "FN") {
        card.fn = card.fn.empty() ? trimmed(value) : card.fn;
    } else if (name == "N") {
        card.n.clear();
        for (const std::string& part : splitValue(p.value, ';', d)) {
            std::vector<std::string> items;
            for (const std::string& item : splitValue(part, ',', d)) {
                items.emplace_back(trimSpaces(unescape(item, d)));
            }
            card.n.push_back(joined(items, card.n.size() == 4 ? ", " : " "));
        }
    } else if (name == "NICKNAME") {
        card.candidates.nickname =
            card.candidates.nickname.empty() ? value : card.candidates.nickname;
        b.put(Field::Nickname, value, "the nickname");
    } else if (name == "ORG") {
        std::vector<std::string> units;
        for (const std::string& unit : splitValue(p.value, ';', d)) {
            units.push_back(trimmed(unescape(unit, d)));
        }
        const std::string org = joined(units, ", ");
        card.candidates.organisation =
            card.candidates.organisation.empty() ? org : card.candidates.organisation;
        b.addLine(kWorkSide.otherInfo, "Organisation: " + org, "the organisation");
    } else if (name == "TITLE" || name == "ROLE") {
        b.addLine(kWorkSide.otherInfo, (name == "TITLE" ? "Job title: " : "Role: ") + value,
                  name == "TITLE" ? "the job title" : "the role");
    } else if (name == "ADR") {
        putAddress(b, p, side, d, card.own);
    } else if (name == "TEL") {
        const std::string number = phoneNumber(value);
        card.candidates.phone = card.candidates.phone.empty() ? number : card.candidates.phone;
        putPhone(b, p, number, side, card.own);
    } else if (name == "EMAIL") {
        card.candidates.email = card.candidates.email.empty() ? value : card.candidates.email;
        b.put(side.email, value, "the " + sideName + " e-mail address");
    } else if (name == "URL") {
        // Corvane's own export adds the scheme a bare host lacks, and says so.
        const bool bare = p.params.contains("X-CORVANE-BARE") && startsWithNoCase(value, "http://");
        b.put(side.webPage, bare ? value.substr(7) : value, "the " + sideName + " web address");
    } else if (name == "BDAY") {
        b.date(Field::Birthday, value, false, "the birthday");
    } else if (name == "ANNIVERSARY" || name == "X-ANNIVERSARY") {
        b.date(Field::Anniversary, value, false, "the anniversary");
    } else if (name == "NOTE") {
        b.put(Field::Comments, value, "the note");
    } else if (name == "CATEGORIES") {
        for (const std::string& c : splitValue(p.value, ',', d)) {
            b.addLine(Field::Affiliations, unescape(c, d), "the affiliation");
        }
    } else if (name == "PHOTO") {
        putPhoto(b, p, value);
    } else if (name == "X-CORVANE-PICTURE") {
        b.put(Field::PicturePath, value, "the picture");
    } else if (name == "X-CORVANE-HOME-OTHER-INFO") {
        b.put(kHomeSide.otherInfo, value, "the home's other information");
    } else if (name == "X-CORVANE-WORK-OTHER-INFO") {
        b.put(kWorkSide.otherInfo, value, "the business's other information");
    } else if (name == "X-CORVANE-EXACT" && card.own) {
        // read first, above
    } else if (name == "X-CORVANE-CREATOR-VERSION") {
        b.creatorVersion(value);
    } else if (name == "X-CORVANE-CREATED") {
        card.created = true;
        b.date(Field::Created, value, true, "the creation stamp");
    } else if (name == "REV") {
        card.revised = true;
        b.date(Field::LastModified, value, true, "the change stamp");
    } else if (name == "AGENT") {
        b.leftOut("its agent (another person's card inside it) was left out");
    } else if (name == "LABEL" && card.hasAddress) {
        // the printed form of an address the card also gives as ADR
    } else if (isBookkeeping(name)) {
        // nothing of the entry's own
    } else if (p.embedded) {
        b.leftOut("its " + name +
                  " holds embedded data, which Corvane does not keep; it was left out");
    } else {
        b.unknown(name, value);
    }
}

// Apple's "item1.X-ABLabel:_$!<Mobile>!$_" says what its group's property is.
void applyAppleLabels(std::vector<Property>& properties) {
    std::map<std::string, std::string> labels;
    for (const Property& p : properties) {
        if (p.name == "X-ABLABEL" && !p.group.empty()) {
            labels[p.group] = lower(p.value);
        }
    }
    for (Property& p : properties) {
        const auto label = labels.find(p.group);
        if (p.group.empty() || label == labels.end()) {
            continue;
        }
        for (const char* word : {"work", "home", "fax", "pager"}) {
            if (label->second.find(word) != std::string::npos) {
                p.types.insert(word);
            }
        }
        if (label->second.find("mobile") != std::string::npos ||
            label->second.find("iphone") != std::string::npos) {
            p.types.insert("cell");
        }
    }
}

// The entry of one card, whose content lines are `lines`.
std::optional<ImportedEntry> entryOfCard(const std::vector<std::string>& lines, double now,
                                         std::string& skipped) {
    Card card;
    for (const std::string& line : lines) {
        if (startsWithNoCase(line, "VERSION:")) {
            card.dialect = trimmed(line.substr(8)) == "2.1" ? Dialect::V21 : Dialect::V3;
        }
    }
    std::vector<Property> properties;
    properties.reserve(lines.size());
    for (const std::string& line : lines) {
        properties.push_back(parseProperty(line, card.dialect));
        const Property& p = properties.back();
        card.own = card.own || p.name.starts_with("X-CORVANE-") ||
                   (p.name == "PRODID" && lower(p.value).find("corvane") != std::string::npos);
        card.hasAddress = card.hasAddress || p.name == "ADR";
    }
    applyAppleLabels(properties);
    // The preferred of several addresses or numbers takes the field.
    std::stable_sort(properties.begin(), properties.end(),
                     [](const Property& a, const Property& b) { return a.pref < b.pref; });
    EntryBuilder b(now);
    // Corvane's exact copies first: what the plain properties say of the
    // same fields is then not read (nor reported).
    for (const Property& p : properties) {
        const auto named = p.params.find("X-FIELD");
        if (card.own && p.name == "X-CORVANE-EXACT" && named != p.params.end()) {
            if (const auto field = textFieldNamed(named->second)) {
                b.exact(*field, percentDecoded(p.value));
            }
        }
    }
    for (const Property& p : properties) {
        mapProperty(b, p, card);
    }
    if (card.own) {  // what Corvane's entry did not have, it does not get now
        if (!card.created) {
            b.clearDate(Field::Created);
        }
        if (!card.revised) {
            b.clearDate(Field::LastModified);
        }
    }
    card.n.resize(5);
    const std::string& prefixes = card.n[3];
    b.put(Field::Title, prefixes, "the title");
    const std::string given = joined({card.n[1], card.n[2], card.n[4]}, " ");
    const std::string fromN = entryName(card.n[0], given);
    const bool fnWhole =
        !card.fn.empty() &&
        (fromN.empty() || onlySplits(card.fn, {card.n[0], card.n[1], card.n[2], card.n[4]}) ||
         onlySplits(card.fn, {prefixes, card.n[0], card.n[1], card.n[2], card.n[4]}));
    b.name(card.own ? card.fn : fnWhole ? card.fn : fromN, card.candidates, card.own);
    if (b.empty()) {
        skipped = "it holds nothing Corvane keeps";
        return std::nullopt;
    }
    return b.finish(card.fn.empty() ? fromN : card.fn);  // as the card spells it
}

}  // namespace

ImportReading readVCards(std::string_view text, double now) {
    ImportReading reading;
    ContentLines content(text);
    std::optional<std::vector<std::string>> card;
    int cardNumber = 0;
    int nested = 0;          // inside an agent's card, which is not read
    bool agentNext = false;  // "AGENT:" alone: its card follows
    std::string line;
    while (content.next(line)) {
        if (line.empty()) {
            continue;
        }
        const bool begins = startsWithNoCase(line, "BEGIN:VCARD");
        const bool ends = startsWithNoCase(line, "END:VCARD");
        if (nested > 0) {
            nested += begins ? 1 : ends ? -1 : 0;
            continue;
        }
        if (begins && card && agentNext) {
            nested = 1;
            agentNext = false;
            continue;
        }
        agentNext = false;
        if (begins) {
            if (card) {
                reading.refusal = "vCard " + std::to_string(cardNumber) + " has no END:VCARD";
                return reading;
            }
            card.emplace();
            ++cardNumber;
            continue;
        }
        if (!card) {
            reading.refusal = "the text " + quoted(line) + " stands outside any vCard";
            return reading;
        }
        if (ends) {
            std::string why;
            if (auto entry = entryOfCard(*card, now, why)) {
                if (entry->label.empty()) {
                    entry->label = "vCard " + std::to_string(cardNumber);
                }
                reading.entries.push_back(std::move(*entry));
            } else {
                reading.skipped.push_back("vCard " + std::to_string(cardNumber) + ": " + why);
            }
            card.reset();
            continue;
        }
        if (startsWithNoCase(line, "AGENT")) {
            const std::string value =
                trimmed(line.substr(std::min(line.size(), colonOf(line) + 1)));
            agentNext = value.empty();
            nested = startsWithNoCase(value, "BEGIN:VCARD") ? 1 : 0;
        }
        card->push_back(line);
    }
    if (card || nested > 0) {
        reading.refusal =
            "the file ends inside vCard " + std::to_string(cardNumber) + ": it is cut short";
    }
    return reading;
}

}  // namespace corvane::importing
