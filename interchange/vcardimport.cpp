// Reading vCards 2.1, 3.0 and 4.0 into entries, in one pass over the text.

#include <algorithm>
#include <cctype>
#include <cstring>
#include <map>
#include <set>
#include <span>
#include <utility>

#include "codepage.h"
#include "importparts.h"
#include "vcardpicture.h"

namespace corvane::importing {
namespace {

using namespace std::string_view_literals;

// vCard 2.1 knows one escape, "\;"; 3.0 and 4.0 also "\\", "\,", "\n".
enum class Dialect { V21, V3 };

// A property's few types or parameters: a list is quicker than a tree.
struct Types {
    std::vector<std::string> items;
    bool contains(std::string_view type) const {
        return std::find(items.begin(), items.end(), type) != items.end();
    }
    void insert(std::string type) { items.push_back(std::move(type)); }
};
struct Params {
    std::vector<std::pair<std::string, std::string>> items;
    const std::string* find(std::string_view name) const {
        for (const auto& [key, value] : items) {
            if (key == name) {
                return &value;
            }
        }
        return nullptr;
    }
    bool contains(std::string_view name) const { return find(name) != nullptr; }
    std::string get(std::string_view name) const {
        const std::string* value = find(name);
        return value ? *value : std::string();
    }
    void set(std::string name, std::string value) {
        items.emplace_back(std::move(name), std::move(value));
    }
};

struct Property {
    std::string group;      // Apple's "item1", lower case
    std::string name;       // upper case
    Types types;            // lower case
    Params params;          // upper-case names
    std::string value;      // decoded to UTF-8, still escaped
    int pref = 101;         // 1 is the most preferred
    bool embedded = false;  // base64 data
};

// The value's text: escapes taken out.
std::string unescape(std::string_view value, Dialect dialect) {
    if (value.find('\\') == std::string_view::npos) {
        return std::string(value);
    }
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

// Calls `part` with each piece of `value` between the `separator`s no
// backslash escapes; the pieces, views into `value`, keep their escapes.
template <typename Part>
void forEachPart(std::string_view value, char separator, Dialect dialect, const Part& part) {
    std::size_t start = 0;
    for (std::size_t i = 0; i < value.size(); ++i) {
        if (value[i] == '\\' && i + 1 < value.size() &&
            (dialect == Dialect::V3 || value[i + 1] == ';')) {
            ++i;
        } else if (value[i] == separator) {
            part(value.substr(start, i - start));
            start = i + 1;
        }
    }
    part(value.substr(start));
}

// The same pieces, in a list.
std::vector<std::string_view> splitValue(std::string_view value, char separator, Dialect dialect) {
    std::vector<std::string_view> parts;
    forEachPart(value, separator, dialect, [&](std::string_view p) { parts.push_back(p); });
    return parts;
}

// Quoted-printable: "=XX" is a byte; a "=" left at the end (a soft break
// with nothing after it) is dropped.
std::string decodeQuotedPrintable(std::string_view text) {
    std::string out;
    out.reserve(text.size());
    for (std::size_t i = 0; i < text.size(); ++i) {
        if (text[i] == '=' && i + 2 < text.size() && hexValue(text[i + 1]) >= 0 &&
            hexValue(text[i + 2]) >= 0) {
            out += static_cast<char>(hexValue(text[i + 1]) * 16 + hexValue(text[i + 2]));
            i += 2;
        } else if (!(text[i] == '=' && i + 1 == text.size())) {
            out += text[i];
        }
    }
    return out;
}

// Whether `text` holds `word` (upper case), letters in either case.
bool containsNoCase(std::string_view text, std::string_view word) {
    for (std::size_t at = 0; at + word.size() <= text.size(); ++at) {
        if (startsWithNoCase(text.substr(at), word)) {
            return true;
        }
    }
    return false;
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

void readParameter(Property& p, std::string_view parameter, Dialect dialect) {
    const auto eq = parameter.find('=');
    if (eq == std::string::npos) {  // vCard 2.1: ;HOME;VOICE;QUOTED-PRINTABLE
        const std::string bare = upper(parameter);
        if (bare == "QUOTED-PRINTABLE" || bare == "BASE64" || bare == "B") {
            p.params.set("ENCODING", bare);
        } else if (bare == "PREF") {
            p.pref = 1;
        } else {
            p.types.insert(lower(parameter));
        }
        return;
    }
    const std::string key = upper(parameter.substr(0, eq));
    std::string value(parameter.substr(eq + 1));
    value.erase(std::remove(value.begin(), value.end(), '"'), value.end());
    if (key == "TYPE") {
        for (const std::string_view t : splitValue(value, ',', dialect)) {
            std::string type = lower(t);
            if (type == "pref") {
                p.pref = std::min(p.pref, 1);
            }
            p.types.insert(std::move(type));
        }
    } else if (key == "PREF") {
        const std::string digits = trimmed(value);
        if (!digits.empty() && digits.size() <= 3 &&
            std::all_of(digits.begin(), digits.end(),
                        [](char c) { return c >= '0' && c <= '9'; })) {
            p.pref = std::min(p.pref, std::stoi(digits));
        }
    } else {
        p.params.set(key, value);
    }
}

// Reads the content line `line` into `p`, whose strings are used again.
void parseProperty(std::string_view line, Dialect dialect, Property& p) {
    p.group.clear();
    p.name.clear();
    p.types.items.clear();
    p.params.items.clear();
    p.value.clear();
    p.pref = 101;
    const std::size_t colon = colonOf(line);
    const std::string_view head = line.substr(0, colon);
    const std::string_view raw =
        colon == std::string_view::npos ? std::string_view() : line.substr(colon + 1);
    bool first = true;
    forEachPart(head, ';', dialect, [&](std::string_view part) {
        if (!first) {
            readParameter(p, part, dialect);
            return;
        }
        first = false;
        if (const auto dot = part.find('.'); dot != std::string_view::npos) {
            p.group = lower(part.substr(0, dot));  // item1.TEL: Apple's grouping
            part = part.substr(dot + 1);
        }
        p.name.assign(part);
        for (char& c : p.name) {
            c = c >= 'a' && c <= 'z' ? static_cast<char>(c - 32) : c;
        }
    });
    const std::string* encoding = p.params.find("ENCODING");
    auto encodedAs = [&](std::string_view name) {
        return encoding != nullptr && encoding->size() == name.size() &&
               startsWithNoCase(*encoding, name);
    };
    // A data: URI is embedded data only where a file belongs; elsewhere
    // ("NOTE:data: call her") it is text like any other.
    const std::string_view name = p.name;
    const bool holdsFile = name == "PHOTO"sv || name == "LOGO"sv || name == "SOUND"sv ||
                           name == "KEY"sv || name == "AGENT"sv;
    p.embedded =
        encodedAs("B") || encodedAs("BASE64") || (holdsFile && startsWithNoCase(raw, "data:"));
    if (p.embedded) {
        return;  // never decoded, shown or kept
    }
    if (encodedAs("QUOTED-PRINTABLE")) {
        p.value = decodeQuotedPrintable(raw);
    } else {
        p.value.assign(raw);
    }
    const std::string* named = p.params.find("CHARSET");
    const std::string charset = named == nullptr ? std::string() : upper(trimmed(*named));
    if (!charset.empty() && charset != "UTF-8") {
        if (auto text = fromCharset(p.value, charset)) {
            p.value = std::move(*text);
            return;
        }
    }
    if (!isUtf8(p.value)) {
        p.value = cp1252::decode(p.value);  // an old card's own code page
    }
}

// Whether `line` begins a property of vCard 2.1 ("TEL:", "item1.EMAIL;",
// "X-FOO:"): then a quoted-printable value before it that ends in "=" ends
// there, rather than swallowing it.
bool startsPropertyOfItsOwn(std::string_view line) {
    static constexpr std::string_view kNames[] = {
        "BEGIN", "END", "VERSION", "FN",     "N",     "NICKNAME", "PHOTO", "BDAY", "ADR",
        "LABEL", "TEL", "EMAIL",   "MAILER", "TZ",    "GEO",      "TITLE", "ROLE", "LOGO",
        "AGENT", "ORG", "NOTE",    "REV",    "SOUND", "URL",      "UID",   "KEY",  "CATEGORIES"};
    std::size_t end = 0;
    while (end < line.size() && (std::isalnum(static_cast<unsigned char>(line[end])) ||
                                 line[end] == '-' || line[end] == '.')) {
        ++end;
    }
    if (end == 0 || end == line.size() || (line[end] != ':' && line[end] != ';')) {
        return false;
    }
    std::string_view name = line.substr(0, end);
    if (const auto dot = name.rfind('.'); dot != std::string_view::npos) {
        name = name.substr(dot + 1);  // Apple's group
    }
    if (startsWithNoCase(name, "X-")) {
        return true;
    }
    return std::any_of(std::begin(kNames), std::end(kNames), [&](std::string_view known) {
        return known.size() == name.size() && startsWithNoCase(name, known);
    });
}

// The content lines of the text, unfolded, one at a time: a line break
// followed by a blank or tab continues the line, and so does a
// quoted-printable line ending in "=", unless the next line begins a
// property (or a card) of its own.
class ContentLines {
  public:
    explicit ContentLines(std::string_view text) : m_text(text) {}

    bool next(std::string& line) {
        if (m_at > m_text.size()) {
            return false;
        }
        const std::string_view first = take();
        line.assign(first);
        const bool quotedPrintable =
            containsNoCase(first.substr(0, colonOf(first)), "QUOTED-PRINTABLE");
        while (m_at <= m_text.size()) {
            const std::size_t mark = m_at;
            const std::string_view following = take();
            if (quotedPrintable && !line.empty() && line.back() == '=' &&
                !startsPropertyOfItsOwn(following)) {
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

// The text or date field named `name` ("Comments"), if there is one.
std::optional<Field> fieldNamed(std::string_view name) {
    for (int i = 1; i <= kFieldCount; ++i) {
        const auto field = static_cast<Field>(i);
        if (fieldInfo(field).kind != FieldKind::Byte &&
            lower(fieldInfo(field).name) == lower(name)) {
            return field;
        }
    }
    return std::nullopt;
}

// A date's exact value: the 16 hex digits of its bits.
std::optional<double> exactDate(std::string_view bits) {
    if (bits.size() != 16 || !std::all_of(bits.begin(), bits.end(), [](char c) {
            return std::isxdigit(static_cast<unsigned char>(c));
        })) {
        return std::nullopt;
    }
    const std::uint64_t value = std::stoull(std::string(bits), nullptr, 16);
    double date = 0.0;
    std::memcpy(&date, &value, sizeof date);
    return date;
}
const char* sideWord(const AddressSide& side) {
    return &side == &kWorkSide ? "business" : "home";
}

// What the report calls the fields of a side, made once.
struct SideLabels {
    std::string street, second, city, phone, fax, pager, mobile, cell2, other, email, web;
};
const SideLabels& labelsOf(const AddressSide& side) {
    auto make = [](const std::string& s) {
        return SideLabels{"the " + s + " street",
                          "the " + s + " address's second line",
                          "the " + s + " city line",
                          "the " + s + " phone number",
                          "the " + s + " fax number",
                          "the " + s + " pager number",
                          "the " + s + " mobile number",
                          "the " + s + " second mobile number",
                          "the " + s + " other phone number",
                          "the " + s + " e-mail address",
                          "the " + s + " web address"};
    };
    static const SideLabels home = make("home");
    static const SideLabels work = make("business");
    return &side == &kWorkSide ? work : home;
}

// ADR: the street's first line into the first address line; its further
// lines, the extended address and the post office box, in that order, into
// the second and then the comments; locality, region, code and country into
// the city line. A second address of a side goes to the comments whole.
void putAddress(EntryBuilder& b, const Property& p, const AddressSide& side, Dialect dialect,
                bool own) {
    const std::vector<std::string_view> a = splitValue(p.value, ';', dialect);
    auto part = [&](std::size_t i) {
        return i < a.size() ? std::string(trimSpaces(unescape(a[i], dialect))) : std::string();
    };
    if (own) {  // Corvane's own lines, each where it was
        b.put(side.address1, part(2), labelsOf(side).street);
        b.put(side.address2, part(1), labelsOf(side).second);
        b.put(side.cityStateZip, cityLine(part(3), part(4), part(5), part(6)), labelsOf(side).city);
        return;
    }
    // The street's lines, then the extended address's, then the box's.
    std::string first;
    std::vector<std::string> rest;
    for (std::size_t i : {2u, 1u, 0u}) {
        std::string text = part(i);
        if (text.find_first_of("\r\n") == std::string::npos) {  // one line, as most are
            if (!text.empty()) {
                (i == 2 ? first : rest.emplace_back()) = std::move(text);
            }
            continue;
        }
        for (std::string& line : nonEmptyLines(text)) {
            (i == 2 && first.empty() ? first : rest.emplace_back()) = std::move(line);
        }
    }
    const std::string city = cityLine(part(3), part(4), part(5), part(6));
    if (!b.isFree(side.address1) || !b.isFree(side.address2) || !b.isFree(side.cityStateZip)) {
        std::vector<std::string> all{first};
        all.insert(all.end(), rest.begin(), rest.end());
        all.push_back(city);
        b.unknown(std::string("Another ") + sideWord(side) + " address", joined(all, ", "));
        return;
    }
    b.put(side.address1, first, labelsOf(side).street);
    for (std::size_t i = 0; i < rest.size(); ++i) {
        if (i == 0) {
            b.put(side.address2, rest[i], labelsOf(side).second);
        } else {
            b.unknown(std::string("A further line of the ") + sideWord(side) + " address", rest[i]);
        }
    }
    b.put(side.cityStateZip, city, labelsOf(side).city);
}

// TEL: a number into the side's field for its type; a second plain number
// goes to the side's other phone, a second mobile to the second mobile.
void putPhone(EntryBuilder& b, const Property& p, const std::string& number,
              const AddressSide& side, bool own) {
    const auto& t = p.types;
    if (own) {  // Corvane's own types name the field
        const bool cell = t.contains("cell");
        b.put(t.contains("fax")               ? side.fax
              : t.contains("pager")           ? side.pager
              : t.contains("x-corvane-cell2") ? side.cell2
              : cell                          ? side.cell1
              : t.contains("x-other")         ? side.otherPhone
                                              : side.phone,
              number, labelsOf(side).phone);
        return;
    }
    if (t.contains("fax")) {
        b.put(side.fax, number, labelsOf(side).fax);
    } else if (t.contains("pager")) {
        b.put(side.pager, number, labelsOf(side).pager);
    } else if (t.contains("x-corvane-cell2")) {
        b.put(side.cell2, number, labelsOf(side).cell2);
    } else if (t.contains("cell") || t.contains("iphone") || t.contains("mobile")) {
        b.put(b.isFree(side.cell1) ? side.cell1 : side.cell2, number, labelsOf(side).mobile);
    } else if (t.contains("x-other") || !b.isFree(side.phone)) {
        b.put(side.otherPhone, number, labelsOf(side).other);
    } else {
        b.put(side.phone, number, labelsOf(side).phone);
    }
}

// A tel: URI as the number it dials ("+1-418-656-9254 x102").
std::string phoneNumber(std::string_view value) {
    if (!startsWithNoCase(value, "tel:")) {
        return std::string(value);
    }
    std::string number(value.substr(4));
    if (const auto ext = number.find(";ext="); ext != std::string::npos) {
        number = number.substr(0, ext) + " x" + number.substr(ext + 5);
    }
    return number;
}

void putPhoto(EntryBuilder& b, const Property& p, std::string_view value) {
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
    // The value without its escapes; a copy only when it has some.
    std::string unescaped;
    std::string_view value = p.value;
    if (p.value.find('\\') != std::string::npos) {
        unescaped = unescape(p.value, d);
        value = unescaped;
    }
    const AddressSide& side = p.types.contains("work") ? kWorkSide : kHomeSide;
    const std::string_view name = p.name;
    if (name == "FN"sv) {
        card.fn = card.fn.empty() ? std::string(trimSpaces(value)) : card.fn;
    } else if (name == "N"sv) {
        card.n.clear();
        for (const std::string_view part : splitValue(p.value, ';', d)) {
            std::vector<std::string> items;
            for (const std::string_view item : splitValue(part, ',', d)) {
                items.emplace_back(trimSpaces(unescape(item, d)));
            }
            card.n.push_back(joined(items, card.n.size() == 4 ? ", " : " "));
        }
    } else if (name == "NICKNAME"sv) {
        card.candidates.nickname =
            card.candidates.nickname.empty() ? std::string(value) : card.candidates.nickname;
        b.put(Field::Nickname, value, "the nickname");
    } else if (name == "ORG"sv) {
        std::vector<std::string> units;
        for (const std::string_view unit : splitValue(p.value, ';', d)) {
            units.push_back(trimmed(unescape(unit, d)));
        }
        const std::string org = joined(units, ", ");
        card.candidates.organisation =
            card.candidates.organisation.empty() ? org : card.candidates.organisation;
        b.addLine(kWorkSide.otherInfo, "Organisation: " + org, "the organisation");
    } else if (name == "TITLE"sv || name == "ROLE"sv) {
        b.addLine(kWorkSide.otherInfo,
                  (name == "TITLE"sv ? "Job title: " : "Role: ") + std::string(value),
                  name == "TITLE"sv ? "the job title" : "the role");
    } else if (name == "ADR"sv) {
        putAddress(b, p, side, d, card.own);
    } else if (name == "TEL"sv) {
        const std::string number = card.own ? std::string(value) : phoneNumber(value);
        card.candidates.phone = card.candidates.phone.empty() ? number : card.candidates.phone;
        putPhone(b, p, number, side, card.own);
    } else if (name == "EMAIL"sv) {
        card.candidates.email =
            card.candidates.email.empty() ? std::string(value) : card.candidates.email;
        b.put(side.email, value, labelsOf(side).email);
    } else if (name == "URL"sv) {
        // Corvane's own export adds the scheme a bare host lacks, and says so.
        const bool bare = p.params.contains("X-CORVANE-BARE") && startsWithNoCase(value, "http://");
        b.put(side.webPage, bare ? value.substr(7) : value, labelsOf(side).web);
    } else if (name == "BDAY"sv) {
        b.date(Field::Birthday, value, false, "the birthday");
    } else if (name == "ANNIVERSARY"sv || name == "X-ANNIVERSARY"sv) {
        b.date(Field::Anniversary, value, false, "the anniversary");
    } else if (name == "NOTE"sv) {
        b.put(Field::Comments, value, "the note");
    } else if (name == "CATEGORIES"sv) {
        for (const std::string_view c : splitValue(p.value, ',', d)) {
            b.addLine(Field::Affiliations, unescape(c, d), "the affiliation");
        }
    } else if (name == "PHOTO"sv) {
        putPhoto(b, p, value);
    } else if (name == "X-CORVANE-PICTURE"sv) {
        b.put(Field::PicturePath, value, "the picture");
    } else if (name == "X-CORVANE-HOME-OTHER-INFO"sv) {
        b.put(kHomeSide.otherInfo, value, "the home's other information");
    } else if (name == "X-CORVANE-WORK-OTHER-INFO"sv) {
        b.put(kWorkSide.otherInfo, value, "the business's other information");
    } else if (name == "X-CORVANE-EXACT"sv && card.own) {
        // read first, above
    } else if (name == "X-CORVANE-CREATOR-VERSION"sv) {
        b.creatorVersion(value);
    } else if (name == "X-CORVANE-CREATED"sv) {
        card.created = true;
        b.date(Field::Created, value, true, "the creation stamp");
    } else if (name == "REV"sv) {
        card.revised = true;
        b.date(Field::LastModified, value, true, "the change stamp");
    } else if (name == "AGENT"sv) {
        b.leftOut("its agent (another person's card inside it) was left out");
    } else if (name == "LABEL"sv && card.hasAddress) {
        // the printed form of an address the card also gives as ADR
    } else if (isBookkeeping(p.name)) {
        // nothing of the entry's own
    } else if (p.embedded) {
        b.leftOut("its " + p.name +
                  " holds embedded data, which Corvane does not keep; it was left out");
    } else {
        b.unknown(p.name, value);
    }
}

// Apple's "item1.X-ABLabel:_$!<Mobile>!$_" says what its group's property is.
void applyAppleLabels(std::span<Property> properties) {
    std::map<std::string, std::string> labels;
    for (const Property& p : properties) {
        if (std::string_view(p.name) == "X-ABLABEL"sv && !p.group.empty()) {
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

// Builds `entry` from one card, whose content lines are `lines`; false when
// the card holds nothing Corvane keeps.
bool entryOfCard(std::span<const std::string> lines, double now, std::vector<Property>& all,
                 ImportedEntry& entry) {
    Card card;
    for (const std::string& line : lines) {
        if (startsWithNoCase(line, "VERSION:")) {
            card.dialect = trimmed(line.substr(8)) == "2.1" ? Dialect::V21 : Dialect::V3;
        }
    }
    if (all.size() < lines.size()) {
        all.resize(lines.size());
    }
    const std::span<Property> properties(all.data(), lines.size());
    for (std::size_t i = 0; i < lines.size(); ++i) {
        Property& p = properties[i];
        parseProperty(lines[i], card.dialect, p);
        card.own = card.own || p.name.starts_with("X-CORVANE-") ||
                   (std::string_view(p.name) == "PRODID"sv &&
                    lower(p.value).find("corvane") != std::string::npos);
        card.hasAddress = card.hasAddress || std::string_view(p.name) == "ADR"sv;
    }
    if (std::any_of(properties.begin(), properties.end(),
                    [](const Property& p) { return std::string_view(p.name) == "X-ABLABEL"sv; })) {
        applyAppleLabels(properties);
    }
    // The preferred of several addresses or numbers takes the field.
    if (std::any_of(properties.begin(), properties.end(),
                    [](const Property& p) { return p.pref < 101; })) {
        std::stable_sort(properties.begin(), properties.end(),
                         [](const Property& a, const Property& b) { return a.pref < b.pref; });
    }
    EntryBuilder b(entry, now);
    // Corvane's exact copies first: what the plain properties say of the
    // same fields is then not read (nor reported).
    for (const Property& p : properties) {
        const std::string* named = p.params.find("X-FIELD");
        if (card.own && std::string_view(p.name) == "X-CORVANE-EXACT"sv && named != nullptr) {
            const auto field = fieldNamed(*named);
            if (field && fieldInfo(*field).kind == FieldKind::Text) {
                b.exact(*field, percentDecoded(p.value));
            } else if (const auto date = field ? exactDate(p.value) : std::nullopt) {
                b.exactDate(*field, *date);
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
    if (!card.own && !fnWhole && !card.fn.empty() &&
        !wordsWithin(card.fn, {prefixes, card.n[0], card.n[1], card.n[2], card.n[4]})) {
        b.unknown("Display name", card.fn);  // it says what N does not
    }
    if (b.empty()) {
        return false;
    }
    b.finish(card.fn.empty() ? fromN : card.fn);  // as the card spells it
    return true;
}

}  // namespace

ImportReading readVCards(std::string_view text, double now, const EntrySink& sink) {
    ImportReading reading;
    ImportedEntry entry;  // used again for each card
    ContentLines content(text);
    // The lines of the card being read; their strings are used again.
    std::vector<std::string> lines;
    std::size_t used = 0;
    std::vector<Property> properties;  // likewise
    bool inCard = false;
    int cardNumber = 0;
    int nested = 0;          // inside an agent's card, which is not read
    bool agentNext = false;  // "AGENT:" alone: its card follows
    while (true) {
        // Each line is read into the card's next slot, which it keeps if it
        // is one of the card's properties.
        if (used == lines.size()) {
            lines.emplace_back();
        }
        std::string& line = lines[used];
        if (!content.next(line)) {
            break;
        }
        if (line.empty()) {
            continue;
        }
        const bool begins = startsWithNoCase(line, "BEGIN:VCARD");
        const bool ends = startsWithNoCase(line, "END:VCARD");
        if (nested > 0) {
            nested += begins ? 1 : ends ? -1 : 0;
            continue;
        }
        if (begins && inCard && agentNext) {
            nested = 1;
            agentNext = false;
            continue;
        }
        agentNext = false;
        if (begins) {
            if (inCard) {
                reading.refusal = "vCard " + std::to_string(cardNumber) + " has no END:VCARD";
                return reading;
            }
            inCard = true;
            used = 0;
            ++cardNumber;
            continue;
        }
        if (!inCard) {
            reading.refusal = "the text " + quoted(line) + " stands outside any vCard";
            return reading;
        }
        if (ends) {
            if (!entryOfCard(std::span(lines.data(), used), now, properties, entry)) {
                reading.skipped.push_back("vCard " + std::to_string(cardNumber) +
                                          ": it holds nothing Corvane keeps");
            } else {
                if (entry.label.empty()) {
                    entry.label = "vCard " + std::to_string(cardNumber);
                }
                deliver(reading, entry, sink);
            }
            inCard = false;
            continue;
        }
        if (startsWithNoCase(line, "AGENT")) {
            const std::size_t colon = colonOf(line);
            const std::string value =
                colon == std::string::npos ? std::string() : trimmed(line.substr(colon + 1));
            // "AGENT:" alone, or "AGENT:BEGIN:VCARD": its card's lines follow.
            // A card written into the value itself (3.0) ends there.
            agentNext = value.empty();
            nested = value.size() == 11 && startsWithNoCase(value, "BEGIN:VCARD") ? 1 : 0;
        }
        ++used;
    }
    if (inCard || nested > 0) {
        reading.refusal =
            "the file ends inside vCard " + std::to_string(cardNumber) + ": it is cut short";
    }
    return reading;
}

}  // namespace corvane::importing
