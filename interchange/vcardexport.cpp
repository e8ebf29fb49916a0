#include "vcardexport.h"

#include <algorithm>
#include <array>
#include <bitset>
#include <cctype>
#include <cstdio>
#include <cstring>

#include "codepage.h"
#include "recordexport.h"
#include "vcardpicture.h"
#include "version.h"

namespace corvane {
namespace {

// `n` as `width` digits, appended.
void appendDigits(std::string& out, int n, int width) {
    char digits[8];
    for (int i = width - 1; i >= 0; --i) {
        digits[i] = static_cast<char>('0' + n % 10);
        n /= 10;
    }
    out.append(digits, static_cast<std::size_t>(width));
}

// A date as vCard 4.0 (19670128) or 3.0 (1967-01-28) writes it.
std::string vcardDate(const DateTimeParts& p, VCardVersion version) {
    const char* dash = version == VCardVersion::V4 ? "" : "-";
    std::string date;
    appendDigits(date, p.year, 4);
    date += dash;
    appendDigits(date, p.month, 2);
    date += dash;
    appendDigits(date, p.day, 2);
    return date;
}

std::string vcardTimestamp(const DateTimeParts& p, VCardVersion version) {
    const char* colon = version == VCardVersion::V4 ? "" : ":";
    std::string stamp = vcardDate(p, version) + "T";
    appendDigits(stamp, p.hour, 2);
    stamp += colon;
    appendDigits(stamp, p.minute, 2);
    stamp += colon;
    appendDigits(stamp, p.second, 2);
    return stamp;
}

// The creation stamp and name of an entry, hashed (FNV-1a), to tell the
// entries that share both.
std::uint64_t stampAndNameKey(const ContactRecord& record, std::string_view name) {
    const std::uint8_t* created = record.encode().data() + fieldInfo(Field::Created).offset;
    std::uint64_t h = 14695981039346656037ULL;
    for (std::size_t i = 0; i < 8; ++i) {
        h = (h ^ created[i]) * 1099511628211ULL;
    }
    for (const unsigned char c : name) {
        h = (h ^ c) * 1099511628211ULL;
    }
    return h;
}

// A stable id for the entry: its creation stamp and name (and, for the
// second and later entries with both the same, which of them it is), hashed
// (FNV-1a, twice with different seeds) into the shape of a UUID.
std::string uidOf(const ContactRecord& record, std::string_view name, int occurrence) {
    // The stamp's stored bytes and the name's, as the slot holds them.
    const std::string_view created =
        std::string_view(reinterpret_cast<const char*>(record.encode().data()), 3000)
            .substr(fieldInfo(Field::Created).offset, 8);
    const std::string which = occurrence == 0 ? "" : "#" + std::to_string(occurrence);
    auto hash = [&](std::uint64_t h) {
        for (std::string_view part : {created, name, std::string_view(which)}) {
            for (unsigned char c : part) {
                h = (h ^ c) * 1099511628211ULL;
            }
        }
        return h;
    };
    const std::uint64_t a = hash(14695981039346656037ULL);
    const std::uint64_t b = hash(0x9E3779B97F4A7C15ULL);
    // 8-4-4-4-12 hex digits; the variant and version bits say "not random".
    std::string uid = "urn:uuid:";
    auto hex = [&](std::uint64_t v, int digits) {
        static constexpr char kHex[] = "0123456789abcdef";
        for (int i = digits - 1; i >= 0; --i) {
            uid += kHex[(v >> (4 * i)) & 0xF];
        }
    };
    hex(a >> 32, 8);
    uid += '-';
    hex((a >> 16) & 0xFFFF, 4);
    uid += '-';
    hex(0x8000 | (a & 0x0FFF), 4);
    uid += '-';
    hex(0x8000 | ((b >> 48) & 0x3FFF), 4);
    uid += '-';
    hex(b & 0xFFFFFFFFFFFFULL, 12);
    return uid;
}

// The lines of a multi-line field, blank ones left out.
std::vector<std::string> linesOf(const std::string& text) {
    std::vector<std::string> lines;
    std::string line;
    for (char c : text + "\n") {
        if (c == '\r' || c == '\n') {
            const auto start = line.find_first_not_of(' ');
            if (start != std::string::npos) {
                lines.push_back(line.substr(start, line.find_last_not_of(' ') - start + 1));
            }
            line.clear();
        } else {
            line += c;
        }
    }
    return lines;
}

// The vCard properties of one side of an entry's fields, in the order
// they are written, each named for its side (home or work).
struct SideProperty {
    Field AddressSide::*field;
    const char* name;  // "%s" stands for the side
};
constexpr SideProperty kSideProperties[] = {
    {&AddressSide::phone, "TEL;TYPE=%s,voice"},
    {&AddressSide::fax, "TEL;TYPE=%s,fax"},
    {&AddressSide::pager, "TEL;TYPE=%s,pager"},
    {&AddressSide::cell1, "TEL;TYPE=%s,cell"},
    {&AddressSide::cell2, "TEL;TYPE=%s,cell,x-corvane-cell2"},
    {&AddressSide::otherPhone, "TEL;TYPE=%s,x-other"},
    {&AddressSide::email, "EMAIL;TYPE=%s"},
    {&AddressSide::webPage, "URL;TYPE=%s"},
    {&AddressSide::otherInfo, "X-CORVANE-%S-OTHER-INFO"},
};
struct Side {
    const char* type;  // "home" or "work"
    const AddressSide& fields;
};
constexpr Side kSides[] = {{"home", kHomeSide}, {"work", kWorkSide}};

// `name` with its side put in: "%s" as the type is written, "%S" in capitals.
std::string propertyName(const char* name, std::string_view type) {
    std::string out;
    for (const char* c = name; *c != '\0'; ++c) {
        if (*c == '%' && (c[1] == 's' || c[1] == 'S')) {
            for (const char t : type) {
                out += c[1] == 'S' ? static_cast<char>(std::toupper(static_cast<unsigned char>(t)))
                                   : t;
            }
            ++c;
        } else {
            out += *c;
        }
    }
    return out;
}

// Splits "City, ST 12345" (or 12345-6789) into its three parts; false for
// any other shape, which is then kept whole.
bool splitCityLine(std::string_view line, std::string& city, std::string& region,
                   std::string& code) {
    const auto space = line.rfind(' ');
    const auto comma = line.rfind(',');
    if (space == std::string_view::npos || comma == std::string_view::npos || comma == 0 ||
        comma > space) {
        return false;
    }
    const std::string_view zip = line.substr(space + 1);
    auto digits = [](std::string_view d) {
        return std::all_of(d.begin(), d.end(), [](char c) { return c >= '0' && c <= '9'; });
    };
    const bool zipOk =
        (zip.size() == 5 && digits(zip)) ||
        (zip.size() == 10 && zip[5] == '-' && digits(zip.substr(0, 5)) && digits(zip.substr(6)));
    std::string_view state = line.substr(comma + 1, space - comma - 1);
    state.remove_prefix(std::min(state.find_first_not_of(' '), state.size()));
    const bool stateOk = state.size() == 2 && std::isalpha(static_cast<unsigned char>(state[0])) &&
                         std::isalpha(static_cast<unsigned char>(state[1]));
    const std::string_view name = line.substr(0, comma);
    if (!zipOk || !stateOk || name.find_first_of(",;") != std::string_view::npos) {
        return false;
    }
    city = name;
    region = state;
    code = zip;
    return true;
}

// The ADR value: PO box; extended; street; locality; region; code; country.
std::string addressOf(const std::string& street, const std::string& extended,
                      const std::string& line) {
    std::string city;
    std::string region;
    std::string code;
    std::string locality = vcardEscape(line);
    // Split only where the parts give the very line back.
    if (splitCityLine(line, city, region, code) && city + ", " + region + " " + code == line) {
        locality = vcardEscape(city);
    } else {
        region.clear();
        code.clear();
    }
    return ";" + vcardEscape(extended) + ";" + vcardEscape(street) + ";" + locality + ";" + region +
           ";" + code + ";";
}

}  // namespace

void appendEscaped(std::string& out, std::string_view text) {
    for (std::size_t i = 0; i < text.size(); ++i) {
        const char c = text[i];
        if (c == '\\' || c == ',' || c == ';') {
            out += '\\';
            out += c;
        } else if (c == '\r' || c == '\n') {
            out += "\\n";
            if (c == '\r' && i + 1 < text.size() && text[i + 1] == '\n') {
                ++i;
            }
        } else if ((static_cast<unsigned char>(c) >= 0x20 && c != 0x7F) || c == '\t') {
            out += c;
        }
    }
}

std::string vcardEscape(std::string_view text) {
    std::string out;
    appendEscaped(out, text);
    return out;
}

std::string foldLine(std::string_view line) {
    std::string out;
    appendFolded(out, line);
    return out;
}

void appendFolded(std::string& out, std::string_view line) {
    std::size_t start = 0;
    std::size_t limit = 75;  // the first line; continuations carry a blank
    while (line.size() - start > limit) {
        std::size_t end = start + limit;
        while (end > start && (static_cast<unsigned char>(line[end]) & 0xC0) == 0x80) {
            --end;  // never inside a UTF-8 character
        }
        out.append(line.substr(start, end - start));
        out += "\r\n ";
        start = end;
        limit = 74;
    }
    out.append(line.substr(start));
    out += "\r\n";
}

namespace {

// Whether a field's text holds what a vCard value cannot carry as it is: a
// control character other than the tab, a CR or LF that is not part of a
// CR LF pair, or any line break in a field of one line (an address line,
// which the import would take for the address's next line).
bool needsExactCopy(Field field, std::string_view raw) {
    const bool lines = field == Field::Comments || field == Field::Affiliations ||
                       field == Field::HomeOtherInfo || field == Field::WorkOtherInfo;
    for (std::size_t i = 0; i < raw.size(); ++i) {
        const auto c = static_cast<unsigned char>(raw[i]);
        if (c >= 0x20) {
            if (c == 0x7F) {
                return true;
            }
            continue;
        }
        if (!lines && (c == '\r' || c == '\n')) {
            return true;
        }
        const bool pairCr = c == '\r' && i + 1 < raw.size() && raw[i + 1] == '\n';
        const bool pairLf = c == '\n' && i > 0 && raw[i - 1] == '\r';
        if ((c < 0x20 && c != '\t' && !pairCr && !pairLf) || c == 0x7F) {
            return true;
        }
    }
    return false;
}

// `utf8` with every byte that could end or split a content line, and "%"
// itself, percent-encoded.
std::string percentEncoded(std::string_view utf8) {
    std::string out;
    for (const char c : utf8) {
        const auto byte = static_cast<unsigned char>(c);
        if (byte < 0x20 || byte == 0x7F || c == '%' || c == ';' || c == ',' || c == '\\' ||
            c == ':') {
            char hex[4];
            std::snprintf(hex, sizeof hex, "%%%02X", byte);
            out += hex;
        } else {
            out += c;
        }
    }
    return out;
}

// Whether a web address names its scheme ("https:", "ftp:"); a host with a
// port ("example.org:8080") does not.
bool namesScheme(std::string_view url) {
    const auto colon = url.find(':');
    if (colon == std::string_view::npos || colon == 0 ||
        !std::isalpha(static_cast<unsigned char>(url[0]))) {
        return false;
    }
    for (const char c : url.substr(0, colon)) {
        if (!std::isalnum(static_cast<unsigned char>(c)) && c != '+' && c != '-' && c != '.') {
            return false;
        }
    }
    std::size_t end = colon + 1;
    while (end < url.size() && std::isdigit(static_cast<unsigned char>(url[end]))) {
        ++end;
    }
    const bool port = end > colon + 1 &&
                      (end == url.size() || url[end] == '/' || url[end] == '?' || url[end] == '#');
    return !port;
}

// The side properties' names with their side put in, made once.
const std::string& sidePropertyName(std::size_t side, std::size_t property) {
    static const auto names = [] {
        std::vector<std::vector<std::string>> all;
        for (const Side& s : kSides) {
            all.emplace_back();
            for (const SideProperty& p : kSideProperties) {
                all.back().push_back(propertyName(p.name, s.type));
            }
        }
        return all;
    }();
    return names[side][property];
}

}  // namespace

VCardWriter::VCardWriter(VCardVersion version) : m_version(version) {}

void VCardWriter::append(std::string& card, const ContactRecord& record, int number,
                         std::vector<std::string>& problems) {
    const bool v4 = m_version == VCardVersion::V4;
    auto add = [&](std::string_view line) { appendFolded(card, line); };
    std::string& line = m_line;
    // Each text field's stored bytes, trimmed, looked at once.
    std::array<std::string_view, kFieldCount + 1> raws{};
    for (int i = 1; i <= kFieldCount; ++i) {
        raws[i] = record.rawText(static_cast<Field>(i));
    }
    auto raw = [&](Field field) { return raws[static_cast<int>(field)]; };
    auto text = [&](Field field) { return cp1252::decode(raw(field)); };
    // The fields a plain value cannot carry exactly, found on the way.
    std::bitset<kFieldCount + 1> inexact;
    auto check = [&](Field field, std::string_view bytes) {
        if (needsExactCopy(field, bytes)) {
            inexact.set(static_cast<std::size_t>(field));
        }
    };
    // A field's text, escaped, after `name`; nothing for an empty field.
    auto addText = [&](std::string_view name, Field field) {
        const std::string_view bytes = raw(field);
        if (bytes.empty()) {
            return;  // most fields of most entries
        }
        check(field, bytes);
        line.assign(name);
        line += ':';
        for (std::size_t i = 0; i < bytes.size(); ++i) {
            const auto c = static_cast<unsigned char>(bytes[i]);
            if (c >= 0x20 && c < 0x7F && c != '\\' && c != ',' && c != ';') {
                line += static_cast<char>(c);  // most bytes: ASCII as it is
            } else if (c == '\r' && i + 1 < bytes.size() && bytes[i + 1] == '\n') {
                continue;  // the pair is one line break, written for its LF
            } else {
                appendEscaped(line, cp1252::utf8Of(c));
            }
        }
        add(line);
    };

    add("BEGIN:VCARD");
    add(v4 ? "VERSION:4.0" : "VERSION:3.0");
    static const std::string kProductId =
        "PRODID:-//Corvane//Corvane " + std::to_string(kVersionMajor) + "//EN";
    add(kProductId);

    const std::string name = text(Field::FullName);
    line = "FN:";
    appendEscaped(line, name);
    add(line);
    // N: "Family, Given" split at the first comma, the title as the prefix.
    const auto comma = name.find(',');
    const std::string_view family = std::string_view(name).substr(0, comma);
    std::string_view given =
        comma == std::string::npos ? std::string_view() : std::string_view(name).substr(comma + 1);
    given.remove_prefix(std::min(given.find_first_not_of(' '), given.size()));
    line = "N:";
    appendEscaped(line, family);
    line += ';';
    appendEscaped(line, given);
    line += ";;";
    appendEscaped(line, text(Field::Title));
    line += ';';
    add(line);
    addText("NICKNAME", Field::Nickname);

    for (std::size_t s = 0; s < std::size(kSides); ++s) {
        const AddressSide& fields = kSides[s].fields;
        if (!raw(fields.address1).empty() || !raw(fields.address2).empty() ||
            !raw(fields.cityStateZip).empty()) {
            add(std::string("ADR;TYPE=") + kSides[s].type + ":" +
                addressOf(text(fields.address1), text(fields.address2), text(fields.cityStateZip)));
        }
        for (std::size_t p = 0; p < std::size(kSideProperties); ++p) {
            const Field field = fields.*kSideProperties[p].field;
            if (field == fields.webPage && !raw(field).empty() && !namesScheme(text(field))) {
                // A bare host is no URI: the web button's scheme, marked as added.
                add(sidePropertyName(s, p) + ";X-CORVANE-BARE=TRUE:http://" +
                    vcardEscape(text(field)));
                continue;
            }
            addText(sidePropertyName(s, p), field);
        }
    }
    // A date whose value the written date does not give back exactly (a
    // time of day in a birthday, a fraction of a second) gets an exact copy.
    std::vector<Field> inexactDates;
    auto checkDate = [&](Field field, DateTimeParts p, bool withTime) {
        if (!withTime) {
            p.hour = p.minute = p.second = 0;
        }
        const double stored = record.date(field);
        const double written = oleFromDateTime(p);
        if (std::memcmp(&stored, &written, sizeof stored) != 0) {
            inexactDates.push_back(field);
        }
    };
    if (const auto p = exportedDate(record, Field::Birthday, number, problems)) {
        add("BDAY:" + vcardDate(*p, m_version));
        checkDate(Field::Birthday, *p, false);
    }
    if (const auto p = exportedDate(record, Field::Anniversary, number, problems)) {
        add(std::string(v4 ? "ANNIVERSARY:" : "X-ANNIVERSARY:") + vcardDate(*p, m_version));
        checkDate(Field::Anniversary, *p, false);
    }
    addText("NOTE", Field::Comments);
    const std::vector<std::string> categories = raw(Field::Affiliations).empty()
                                                    ? std::vector<std::string>{}
                                                    : linesOf(text(Field::Affiliations));
    if (!categories.empty()) {
        line = "CATEGORIES:";
        for (std::size_t i = 0; i < categories.size(); ++i) {
            line += (i == 0 ? "" : ",") + vcardEscape(categories[i]);
        }
        add(line);
    }
    if (!raw(Field::PicturePath).empty()) {
        const std::string picture = text(Field::PicturePath);
        const std::string uri = pictureUri(picture);
        std::string why;
        if (uri.empty() || picturePathOfUri(uri, why) != picture) {
            // A relative path has no URI, nor has one a URI would not give
            // back: a share named localhost, a path ending in a backslash.
            add("X-CORVANE-PICTURE:" + vcardEscape(picture));
        } else {
            add(std::string(v4 ? "PHOTO:" : "PHOTO;VALUE=uri:") + uri);
        }
    }
    line = "X-CORVANE-CREATOR-VERSION:";
    appendDigits(line, record.creatorVersion(),
                 record.creatorVersion() >= 100  ? 3
                 : record.creatorVersion() >= 10 ? 2
                                                 : 1);
    add(line);
    if (const auto p = exportedDate(record, Field::Created, number, problems)) {
        add("X-CORVANE-CREATED:" + vcardTimestamp(*p, m_version));
        checkDate(Field::Created, *p, true);
    }
    if (const auto p = exportedDate(record, Field::LastModified, number, problems)) {
        add("REV:" + vcardTimestamp(*p, m_version));
        checkDate(Field::LastModified, *p, true);
    }
    // What the properties above could not carry exactly, for Corvane's import.
    for (const Field field :
         {Field::FullName, Field::Title, kHomeSide.address1, kHomeSide.address2,
          kHomeSide.cityStateZip, kWorkSide.address1, kWorkSide.address2, kWorkSide.cityStateZip,
          Field::PicturePath, kHomeSide.webPage, kWorkSide.webPage, Field::Affiliations}) {
        check(field, raw(field));  // written above from their text
    }

    for (int i = 1; i <= kFieldCount; ++i) {
        if (inexact.test(static_cast<std::size_t>(i))) {
            const auto field = static_cast<Field>(i);
            add("X-CORVANE-EXACT;X-FIELD=" + std::string(fieldInfo(field).name) + ":" +
                percentEncoded(text(field)));
        }
    }
    for (const Field field : inexactDates) {
        char bits[17];
        std::uint64_t value = 0;
        const double stored = record.date(field);
        std::memcpy(&value, &stored, sizeof value);
        std::snprintf(bits, sizeof bits, "%016llx", static_cast<unsigned long long>(value));
        add("X-CORVANE-EXACT;X-FIELD=" + std::string(fieldInfo(field).name) + ":" + bits);
    }
    add("UID:" + uidOf(record, raw(Field::FullName),
                       seenBefore(stampAndNameKey(record, raw(Field::FullName)))));
    add("END:VCARD");
}

int VCardWriter::seenBefore(std::uint64_t key) {
    key |= 1;  // 0 marks a free place
    if (2 * (m_seenCount + 1) > m_seen.size()) {
        std::vector<std::pair<std::uint64_t, int>> old(
            std::max<std::size_t>(64, 2 * m_seen.size()));
        old.swap(m_seen);
        m_seenCount = 0;
        for (const auto& [k, n] : old) {
            if (k != 0) {
                std::size_t at = k & (m_seen.size() - 1);
                while (m_seen[at].first != 0) {
                    at = (at + 1) & (m_seen.size() - 1);
                }
                m_seen[at] = {k, n};
                ++m_seenCount;
            }
        }
    }
    std::size_t at = key & (m_seen.size() - 1);
    while (m_seen[at].first != 0 && m_seen[at].first != key) {
        at = (at + 1) & (m_seen.size() - 1);
    }
    if (m_seen[at].first == 0) {
        m_seen[at] = {key, 0};
        ++m_seenCount;
    }
    return m_seen[at].second++;
}

std::string vcardOf(const ContactRecord& record, int number, VCardVersion version,
                    std::vector<std::string>& problems) {
    std::string card;
    VCardWriter(version).append(card, record, number, problems);
    return card;
}

int exportVCards(FileSystem& fs, const std::string& dataPath, VCardVersion version,
                 std::ostream& out, std::ostream& err, const std::set<int>* only) {
    VCardWriter writer(version);
    std::string card;
    return exportRecords(
        fs, dataPath, out, err,
        [&](const ContactRecord& record, int number, std::ostream& to,
            std::vector<std::string>& problems) {
            card.clear();
            writer.append(card, record, number, problems);
            to.write(card.data(), static_cast<std::streamsize>(card.size()));
        },
        only);
}

}  // namespace corvane
