#include "importer.h"

#include <algorithm>
#include <cctype>
#include <map>
#include <optional>
#include <set>

#include "codepage.h"
#include "oledate.h"
#include "version.h"

namespace corvane {
namespace {

std::string lower(std::string_view s) {
    std::string out(s);
    for (char& c : out) {
        c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
    }
    return out;
}

std::string upper(std::string_view s) {
    std::string out(s);
    for (char& c : out) {
        c = static_cast<char>(std::toupper(static_cast<unsigned char>(c)));
    }
    return out;
}

std::string trimmed(std::string_view s) {
    const auto start = s.find_first_not_of(" \t");
    if (start == std::string_view::npos) {
        return {};
    }
    return std::string(s.substr(start, s.find_last_not_of(" \t") - start + 1));
}

// True when `text` is UTF-8 throughout.
bool isUtf8(std::string_view text) {
    for (std::size_t i = 0; i < text.size();) {
        const auto c = static_cast<unsigned char>(text[i]);
        const int n = c < 0x80             ? 1
                      : (c & 0xE0) == 0xC0 ? 2
                      : (c & 0xF0) == 0xE0 ? 3
                      : (c & 0xF8) == 0xF0 ? 4
                                           : 0;
        if (n == 0 || i + n > text.size()) {
            return false;
        }
        for (int k = 1; k < n; ++k) {
            if ((static_cast<unsigned char>(text[i + k]) & 0xC0) != 0x80) {
                return false;
            }
        }
        i += static_cast<std::size_t>(n);
    }
    return true;
}

// Builds one entry, field by field, saying what had to change.
class EntryBuilder {
  public:
    explicit EntryBuilder(double now) {
        m_entry.record.setDate(Field::Created, now);
        m_entry.record.setDate(Field::LastModified, now);
        m_entry.record.setCreatorVersion(kVersionMajor);  // made by this program, as the editor's
    }
    void creatorVersion(const std::string& text) {
        const std::string digits = trimmed(text);
        if (!digits.empty() && digits.size() <= 3 &&
            std::all_of(digits.begin(), digits.end(),
                        [](char c) { return c >= '0' && c <= '9'; }) &&
            std::stoi(digits) <= 255) {
            m_entry.record.setCreatorVersion(static_cast<std::uint8_t>(std::stoi(digits)));
        }
    }

    // Puts `value` into `field`; a field already taken sends it to the
    // comments under `what`.
    void put(Field field, const std::string& value, const std::string& what) {
        const std::string text = trimmed(value);
        if (text.empty()) {
            return;
        }
        if (m_taken.contains(field)) {
            toComments(what + ": " + text, what);
            return;
        }
        m_taken.insert(field);
        store(field, text, what);
    }
    void date(Field field, std::optional<double> value, const std::string& shown,
              const std::string& what) {
        if (value) {
            m_entry.record.setDate(field, *value);
        } else if (!trimmed(shown).empty()) {
            m_entry.changes.push_back(what + " \"" + trimmed(shown) +
                                      "\" is no date Corvane can hold; it went to the comments");
            toComments(what + ": " + trimmed(shown), what);
        }
    }
    // Text for which Corvane has no field of its own.
    void unknown(const std::string& what, const std::string& value) {
        if (!trimmed(value).empty()) {
            toComments(what + ": " + trimmed(value), what);
        }
    }
    ImportedEntry finish() {
        if (!m_comments.empty()) {
            std::string comments = m_entry.record.text(Field::Comments);
            for (const std::string& line : m_comments) {
                const std::string joined = comments.empty() ? line : comments + "\r\n" + line;
                if (ContactRecord::fitsWhole(Field::Comments, joined)) {
                    comments = joined;
                } else {
                    m_entry.changes.push_back("no room in the comments for \"" + line +
                                              "\"; it was left out");
                }
            }
            m_entry.record.setText(Field::Comments, comments);
        }
        m_entry.label = m_entry.record.text(Field::FullName);
        return m_entry;
    }
    bool hasName() const { return m_taken.contains(Field::FullName); }
    bool isFree(Field field) const { return !m_taken.contains(field); }
    // An entry from Corvane carries its own stamps: one it does not carry
    // was no date there either, and is not stamped now.
    void clearDate(Field field) { m_entry.record.setDate(field, 0.0); }

  private:
    void store(Field field, const std::string& text, const std::string& what) {
        m_entry.record.setText(field, text);
        if (!ContactRecord::fitsWhole(field, text)) {
            const std::string kept = m_entry.record.text(field);
            if (!cp1252::canEncode(text)) {
                m_entry.changes.push_back(what + ": characters outside Windows-1252 became \"?\"");
            }
            if (cp1252::encode(text).size() > static_cast<std::size_t>(fieldInfo(field).width)) {
                m_entry.changes.push_back(what + " was cut to " +
                                          std::to_string(fieldInfo(field).width) +
                                          " characters; the whole text went to the comments");
                if (field != Field::Comments) {
                    m_comments.push_back(what + ": " + text);
                }
            }
            (void)kept;
        }
    }
    void toComments(const std::string& line, const std::string& what) {
        m_entry.changes.push_back(what + " has no field of its own; it went to the comments");
        m_comments.push_back(line);
    }

    ImportedEntry m_entry;
    std::set<Field> m_taken;
    std::vector<std::string> m_comments;
};

// ----- dates -----

// YYYYMMDD, YYYY-MM-DD (a time after it is ignored), or the same with a
// time (REV, X-CORVANE-CREATED): the OLE value, or nothing.
std::optional<double> parseDate(std::string_view text, bool withTime) {
    std::string digits;
    for (char c : text) {
        if (std::isdigit(static_cast<unsigned char>(c))) {
            digits += c;
        } else if (c != '-' && c != ':' && c != 'T' && c != 'Z' && c != ' ') {
            return std::nullopt;
        }
    }
    if (digits.size() < 8) {
        return std::nullopt;
    }
    DateTimeParts p;
    p.year = std::stoi(digits.substr(0, 4));
    p.month = std::stoi(digits.substr(4, 2));
    p.day = std::stoi(digits.substr(6, 2));
    if (withTime && digits.size() >= 14) {
        p.hour = std::stoi(digits.substr(8, 2));
        p.minute = std::stoi(digits.substr(10, 2));
        p.second = std::stoi(digits.substr(12, 2));
    }
    static constexpr int kDays[] = {31, 29, 31, 30, 31, 30, 31, 31, 30, 31, 30, 31};
    const bool leap = (p.year % 4 == 0 && p.year % 100 != 0) || p.year % 400 == 0;
    if (p.year < 100 || p.year > 9999 || p.month < 1 || p.month > 12 || p.day < 1 ||
        p.day > kDays[p.month - 1] || (p.month == 2 && p.day == 29 && !leap) || p.hour > 23 ||
        p.minute > 59 || p.second > 59) {
        return std::nullopt;
    }
    return oleFromDateTime(p);
}

// ----- vCard -----

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

struct SideFields {
    Field address1, address2, city, email, web, phone, fax, pager, cell1, cell2, other, otherInfo;
};
constexpr SideFields kHome{Field::HomeAddress1, Field::HomeAddress2,   Field::HomeCityStateZip,
                           Field::HomeEmail,    Field::HomeWebPage,    Field::HomePhone,
                           Field::HomeFax,      Field::HomePager,      Field::HomeCell1,
                           Field::HomeCell2,    Field::HomeOtherPhone, Field::HomeOtherInfo};
constexpr SideFields kWork{Field::WorkAddress1, Field::WorkAddress2,   Field::WorkCityStateZip,
                           Field::WorkEmail,    Field::WorkWebPage,    Field::WorkPhone,
                           Field::WorkFax,      Field::WorkPager,      Field::WorkCell1,
                           Field::WorkCell2,    Field::WorkOtherPhone, Field::WorkOtherInfo};

const SideFields& sideOf(const Property& p) {
    return p.types.contains("work") ? kWork : kHome;
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

void mapProperty(EntryBuilder& b, const Property& p, std::string& fn, std::string& nName) {
    const std::string value = unescape(p.value);
    const SideFields& side = sideOf(p);
    const std::string sideName = &side == &kWork ? "work" : "home";
    if (p.name == "FN") {
        fn = value;
    } else if (p.name == "N") {
        const std::vector<std::string> n = splitValue(p.value, ';');
        const std::string family = trimmed(unescape(n[0]));
        const std::string given = n.size() > 1 ? trimmed(unescape(n[1])) : "";
        nName = family.empty() ? given : given.empty() ? family : family + ", " + given;
        if (n.size() > 3) {
            b.put(Field::Title, unescape(n[3]), "the title");
        }
    } else if (p.name == "NICKNAME") {
        b.put(Field::Nickname, value, "the nickname");
    } else if (p.name == "TITLE" || p.name == "ORG" || p.name == "ROLE") {
        b.put(kWork.otherInfo, lower(p.name) + ": " + value, lower(p.name));
    } else if (p.name == "ADR") {
        const std::vector<std::string> a = splitValue(p.value, ';');
        auto part = [&](std::size_t i) { return i < a.size() ? trimmed(unescape(a[i])) : ""; };
        b.put(side.address1, part(2), "the " + sideName + " street");
        b.put(side.address2, part(1).empty() ? part(0) : part(1),
              "the " + sideName + " address's second line");
        std::string city = part(3);
        if (!part(4).empty()) {
            city += (city.empty() ? "" : ", ") + part(4);
        }
        if (!part(5).empty()) {
            city += (city.empty() ? "" : " ") + part(5);
        }
        if (!part(6).empty()) {
            city += (city.empty() ? "" : ", ") + part(6);
        }
        b.put(side.city, city, "the " + sideName + " city line");
    } else if (p.name == "TEL") {
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
            b.put(side.other, number, what);
        } else {
            b.put(side.phone, number, what);
        }
    } else if (p.name == "EMAIL") {
        b.put(side.email, value, "another " + sideName + " e-mail address");
    } else if (p.name == "URL") {
        b.put(side.web, value, "another " + sideName + " web address");
    } else if (p.name == "BDAY") {
        b.date(Field::Birthday, parseDate(value, false), value, "the birthday");
    } else if (p.name == "ANNIVERSARY" || p.name == "X-ANNIVERSARY") {
        b.date(Field::Anniversary, parseDate(value, false), value, "the anniversary");
    } else if (p.name == "NOTE") {
        b.put(Field::Comments, value, "another note");
    } else if (p.name == "CATEGORIES") {
        std::string lines;
        for (const std::string& c : splitValue(p.value, ',')) {
            const std::string category = trimmed(unescape(c));
            if (!category.empty()) {
                lines += (lines.empty() ? "" : "\r\n") + category;
            }
        }
        b.put(Field::Affiliations, lines, "more affiliations");
    } else if (p.name == "PHOTO") {
        if (lower(value).starts_with("file://")) {
            b.put(Field::PicturePath, percentDecoded(value.substr(7)), "another picture");
        } else {
            b.unknown("a picture Corvane cannot keep (only a picture file's path)",
                      p.params.contains("ENCODING") ? "embedded picture" : value);
        }
    } else if (p.name == "X-CORVANE-HOME-OTHER-INFO") {
        b.put(kHome.otherInfo, value, "the home's other information");
    } else if (p.name == "X-CORVANE-WORK-OTHER-INFO") {
        b.put(kWork.otherInfo, value, "the business's other information");
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

// ----- CSV -----

// The rows of RFC 4180 text: quoted fields may hold commas, quotes
// (doubled) and line breaks. Empty when the quoting is broken.
std::optional<std::vector<std::vector<std::string>>> csvRows(std::string_view text) {
    std::vector<std::vector<std::string>> rows(1, std::vector<std::string>(1));
    bool quoted = false;
    for (std::size_t i = 0; i < text.size(); ++i) {
        const char c = text[i];
        std::string& field = rows.back().back();
        if (quoted) {
            if (c == '"' && i + 1 < text.size() && text[i + 1] == '"') {
                field += '"';
                ++i;
            } else if (c == '"') {
                quoted = false;
            } else {
                field += c;
            }
        } else if (c == '"' && field.empty()) {
            quoted = true;
        } else if (c == ',') {
            rows.back().emplace_back();
        } else if (c == '\n' || c == '\r') {
            if (c == '\r' && i + 1 < text.size() && text[i + 1] == '\n') {
                ++i;
            }
            rows.emplace_back(1);
        } else {
            field += c;
        }
    }
    if (quoted) {
        return std::nullopt;
    }
    while (!rows.empty() && rows.back().size() == 1 && rows.back()[0].empty()) {
        rows.pop_back();
    }
    return rows;
}

// Column names of other address books' CSV exports, and the field each fills.
const std::map<std::string, Field>& knownColumns() {
    static const std::map<std::string, Field> columns = [] {
        std::map<std::string, Field> m;
        for (int i = 1; i <= kFieldCount; ++i) {
            m[lower(fieldInfo(static_cast<Field>(i)).name)] = static_cast<Field>(i);
        }
        const std::pair<const char*, Field> others[] = {
            {"name", Field::FullName},
            {"display name", Field::FullName},
            {"nickname", Field::Nickname},
            {"name prefix", Field::Title},
            {"title", Field::Title},
            {"e-mail address", Field::HomeEmail},
            {"e-mail 1 - value", Field::HomeEmail},
            {"email address", Field::HomeEmail},
            {"e-mail 2 address", Field::WorkEmail},
            {"e-mail 2 - value", Field::WorkEmail},
            {"home phone", Field::HomePhone},
            {"phone 1 - value", Field::HomePhone},
            {"home fax", Field::HomeFax},
            {"mobile phone", Field::HomeCell1},
            {"pager", Field::HomePager},
            {"business phone", Field::WorkPhone},
            {"phone 2 - value", Field::WorkPhone},
            {"business fax", Field::WorkFax},
            {"home street", Field::HomeAddress1},
            {"address 1 - street", Field::HomeAddress1},
            {"home street 2", Field::HomeAddress2},
            {"business street", Field::WorkAddress1},
            {"address 2 - street", Field::WorkAddress1},
            {"business street 2", Field::WorkAddress2},
            {"web page", Field::HomeWebPage},
            {"website 1 - value", Field::HomeWebPage},
            {"birthday", Field::Birthday},
            {"anniversary", Field::Anniversary},
            {"notes", Field::Comments},
            {"categories", Field::Affiliations},
            {"group membership", Field::Affiliations},
        };
        for (const auto& [name, field] : others) {
            m.emplace(name, field);
        }
        return m;
    }();
    return columns;
}

ImportReading readCsv(std::string_view text, double now) {
    ImportReading reading;
    const auto rows = csvRows(text);
    if (!rows || rows->size() < 1) {
        reading.refusal = "its quoting is broken: a quoted field never ends";
        return reading;
    }
    const std::vector<std::string>& header = (*rows)[0];
    std::vector<std::optional<Field>> fields;
    // Outlook's and Google's split names and city lines are joined again.
    std::map<std::string, std::size_t> parts;
    int known = 0;
    for (std::size_t c = 0; c < header.size(); ++c) {
        const std::string name = lower(trimmed(header[c]));
        const auto found = knownColumns().find(name);
        fields.push_back(found == knownColumns().end() ? std::nullopt
                                                       : std::optional<Field>(found->second));
        parts[name] = c;
        known += found != knownColumns().end() ? 1 : 0;
    }
    const char* const nameParts[] = {"first name", "given name", "last name", "family name"};
    for (const char* part : nameParts) {
        known += parts.contains(part) ? 1 : 0;
    }
    if (known == 0) {
        reading.refusal = "its first row names no column Corvane knows";
        return reading;
    }
    for (std::size_t r = 1; r < rows->size(); ++r) {
        const std::vector<std::string>& row = (*rows)[r];
        auto cell = [&](const std::string& name) {
            const auto at = parts.find(name);
            return at != parts.end() && at->second < row.size() ? trimmed(row[at->second]) : "";
        };
        EntryBuilder b(now);
        for (std::size_t c = 0; c < row.size() && c < fields.size(); ++c) {
            if (!fields[c]) {
                // Corvane's own record number (the book gives the entry its
                // place), the parts joined below, and the web accounts' labels
                // of a value's type ("E-mail 1 - Type") are no data of their own.
                static const std::set<std::string> kNotData = {
                    "recordnumber",  "first name",     "last name",           "given name",
                    "family name",   "home city",      "home state",          "home postal code",
                    "business city", "business state", "business postal code"};
                const std::string name = lower(trimmed(header[c]));
                if (!kNotData.contains(name) && !name.ends_with(" - type")) {
                    b.unknown(trimmed(header[c]), row[c]);
                }
                continue;
            }
            const Field field = *fields[c];
            const std::string what = "the column \"" + trimmed(header[c]) + "\"";
            if (fieldInfo(field).kind == FieldKind::Date && trimmed(row[c]).empty()) {
                b.clearDate(field);  // Corvane's own columns: no date was no date
            } else if (fieldInfo(field).kind == FieldKind::Date) {
                b.date(field,
                       parseDate(row[c], field == Field::Created || field == Field::LastModified),
                       row[c], what);
            } else if (fieldInfo(field).kind == FieldKind::Byte) {
                b.creatorVersion(row[c]);
            } else if (fieldInfo(field).kind == FieldKind::Text) {
                std::string value = row[c];
                if (field == Field::Affiliations && value.find(" ::: ") != std::string::npos) {
                    std::string joined;  // Google's "Family ::: Friends"
                    for (std::size_t at = 0;;) {
                        const auto next = value.find(" ::: ", at);
                        joined += (joined.empty() ? "" : "\r\n") + value.substr(at, next - at);
                        if (next == std::string::npos) {
                            break;
                        }
                        at = next + 5;
                    }
                    value = joined;
                }
                b.put(field, value, what);
            }
        }
        const std::string first =
            !cell("first name").empty() ? cell("first name") : cell("given name");
        const std::string last =
            !cell("last name").empty() ? cell("last name") : cell("family name");
        if (!b.hasName() && (!first.empty() || !last.empty())) {
            b.put(Field::FullName,
                  last.empty()    ? first
                  : first.empty() ? last
                                  : last + ", " + first,
                  "the name");
        }
        for (const char* side : {"home", "business"}) {
            const std::string city = cell(std::string(side) + " city");
            const std::string state = cell(std::string(side) + " state");
            const std::string zip = cell(std::string(side) + " postal code");
            std::string line = city;
            if (!state.empty()) {
                line += (line.empty() ? "" : ", ") + state;
            }
            if (!zip.empty()) {
                line += (line.empty() ? "" : " ") + zip;
            }
            b.put(std::string(side) == "home" ? Field::HomeCityStateZip : Field::WorkCityStateZip,
                  line, std::string("the ") + side + " city line");
        }
        if (!b.hasName()) {
            reading.skipped.push_back("row " + std::to_string(r + 1) + ": it has no name");
        } else {
            reading.entries.push_back(b.finish());
        }
    }
    return reading;
}

}  // namespace

ImportReading readImport(std::string_view text, double now) {
    if (text.starts_with("\xEF\xBB\xBF")) {
        text.remove_prefix(3);  // a byte-order mark
    }
    if (text.find('\0') != std::string_view::npos) {
        ImportReading refused;
        refused.refusal = "it holds binary data, not text";
        return refused;
    }
    const auto start = text.find_first_not_of(" \t\r\n");
    if (start == std::string_view::npos) {
        ImportReading refused;
        refused.refusal = "it is empty";
        return refused;
    }
    ImportReading reading =
        upper(text.substr(start, 11)) == "BEGIN:VCARD" ? readVCards(text, now) : readCsv(text, now);
    if (!reading.refusal.empty()) {
        // A file refused is refused whole: not the cards before the fault.
        reading.entries.clear();
        reading.skipped.clear();
    }
    return reading;
}

ImportResult writeImport(DataFile& store, const std::vector<ImportedEntry>& entries, bool dryRun) {
    ImportResult result;
    if (StoreStatus opened = store.OpenDataFile(); !opened.ok()) {
        result.status = opened;
        result.leftOut = static_cast<int>(entries.size());
        return result;
    }
    int next = store.RecordCount() + 1;
    for (const ImportedEntry& entry : entries) {
        if (next > kMaxRecords) {
            ++result.leftOut;
            continue;
        }
        if (!dryRun) {
            store.CurrentRecord() = entry.record;
            if (StoreStatus written = store.WriteRecord(next); !written.ok()) {
                result.status = written;
                result.leftOut = static_cast<int>(entries.size()) - result.written;
                (void)store.CloseDataFile();
                return result;
            }
        }
        ++next;
        ++result.written;
    }
    result.status = store.CloseDataFile();
    return result;
}

std::string importReport(const ImportReading& reading, const ImportResult& result, bool dryRun) {
    std::string report = std::string(dryRun ? "Would import " : "Imported ") +
                         std::to_string(result.written) +
                         (result.written == 1 ? " entry" : " entries") +
                         (dryRun ? " (nothing was written).\n" : ".\n");
    for (std::size_t i = 0; i < reading.entries.size(); ++i) {
        const ImportedEntry& e = reading.entries[i];
        for (const std::string& change : e.changes) {
            report += "  \"" + e.label + "\": " + change + "\n";
        }
    }
    for (const std::string& skipped : reading.skipped) {
        report += "  skipped " + skipped + "\n";
    }
    if (result.leftOut > 0 && result.status.ok()) {
        report += "Stopped at " + std::to_string(kMaxRecords) +
                  " entries, all a book holds: " + std::to_string(result.leftOut) +
                  (result.leftOut == 1 ? " entry was" : " entries were") + " not imported.\n";
    }
    return report;
}

}  // namespace corvane
