#include "vcardexport.h"

#include <algorithm>
#include <cctype>
#include <cstdio>

#include "codepage.h"
#include "recordexport.h"
#include "vcardpicture.h"
#include "version.h"

namespace corvane {
namespace {

std::string twoDigits(int n) {
    char s[8];
    std::snprintf(s, sizeof s, "%02d", n);
    return s;
}

// A date as vCard 4.0 (19670128) or 3.0 (1967-01-28) writes it.
std::string vcardDate(const DateTimeParts& p, VCardVersion version) {
    char s[16];
    std::snprintf(s, sizeof s, version == VCardVersion::V4 ? "%04d%02d%02d" : "%04d-%02d-%02d",
                  p.year, p.month, p.day);
    return s;
}

std::string vcardTimestamp(const DateTimeParts& p, VCardVersion version) {
    const std::string time = twoDigits(p.hour) + (version == VCardVersion::V4 ? "" : ":") +
                             twoDigits(p.minute) + (version == VCardVersion::V4 ? "" : ":") +
                             twoDigits(p.second);
    return vcardDate(p, version) + "T" + time;
}

// A stable id for the entry: its creation stamp and name (and, for the
// second and later entries with both the same, which of them it is), hashed
// (FNV-1a, twice with different seeds) into the shape of a UUID.
std::string uidOf(const ContactRecord& record, int occurrence) {
    // The stamp's stored bytes and the name's, as the slot holds them.
    const std::string_view created =
        std::string_view(reinterpret_cast<const char*>(record.encode().data()), 3000)
            .substr(fieldInfo(Field::Created).offset, 8);
    const std::string_view name = record.rawText(Field::FullName);
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
std::string addressOf(const ContactRecord& record, const AddressSide& side) {
    const std::string line = record.text(side.cityStateZip);
    std::string city;
    std::string region;
    std::string code;
    std::string locality = vcardEscape(line);
    if (splitCityLine(line, city, region, code)) {
        locality = vcardEscape(city);
    }
    return ";" + vcardEscape(record.text(side.address2)) + ";" +
           vcardEscape(record.text(side.address1)) + ";" + locality + ";" + region + ";" + code +
           ";";
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
    if (!lines && raw.find_first_of("\r\n") != std::string_view::npos) {
        return true;
    }
    for (std::size_t i = 0; i < raw.size(); ++i) {
        const auto c = static_cast<unsigned char>(raw[i]);
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
    // A field's text, escaped, after `name`; nothing for an empty field.
    auto addText = [&](std::string_view name, Field field) {
        const std::string_view raw = record.rawText(field);
        if (raw.empty()) {
            return;  // most fields of most entries
        }
        line.assign(name);
        line += ':';
        for (std::size_t i = 0; i < raw.size(); ++i) {
            if (raw[i] == '\r' && i + 1 < raw.size() && raw[i + 1] == '\n') {
                continue;  // the pair is one line break, written for its LF
            }
            appendEscaped(line, cp1252::utf8Of(static_cast<unsigned char>(raw[i])));
        }
        add(line);
    };
    add("BEGIN:VCARD");
    add(v4 ? "VERSION:4.0" : "VERSION:3.0");
    add("PRODID:-//Corvane//Corvane " + std::to_string(kVersionMajor) + "//EN");

    const std::string name = record.text(Field::FullName);
    add("FN:" + vcardEscape(name));
    const auto comma = name.find(',');
    std::string family = name;
    std::string given;
    if (comma != std::string::npos) {
        family = name.substr(0, comma);
        given = name.substr(comma + 1);
        given.erase(0, given.find_first_not_of(' '));
    }
    add("N:" + vcardEscape(family) + ";" + vcardEscape(given) + ";;" +
        vcardEscape(record.text(Field::Title)) + ";");
    addText("NICKNAME", Field::Nickname);

    for (std::size_t s = 0; s < std::size(kSides); ++s) {
        const AddressSide& fields = kSides[s].fields;
        if (!record.rawText(fields.address1).empty() || !record.rawText(fields.address2).empty() ||
            !record.rawText(fields.cityStateZip).empty()) {
            add(std::string("ADR;TYPE=") + kSides[s].type + ":" + addressOf(record, fields));
        }
        for (std::size_t p = 0; p < std::size(kSideProperties); ++p) {
            const Field field = fields.*kSideProperties[p].field;
            const std::string_view raw = record.rawText(field);
            if (field == fields.webPage && !raw.empty() && !namesScheme(record.text(field))) {
                // A bare host is no URI: the web button's scheme, marked as added.
                add(sidePropertyName(s, p) + ";X-CORVANE-BARE=TRUE:http://" +
                    vcardEscape(record.text(field)));
                continue;
            }
            addText(sidePropertyName(s, p), field);
        }
    }
    if (const auto p = exportedDate(record, Field::Birthday, number, problems)) {
        add("BDAY:" + vcardDate(*p, m_version));
    }
    if (const auto p = exportedDate(record, Field::Anniversary, number, problems)) {
        add(std::string(v4 ? "ANNIVERSARY:" : "X-ANNIVERSARY:") + vcardDate(*p, m_version));
    }
    addText("NOTE", Field::Comments);
    const std::vector<std::string> categories = record.rawText(Field::Affiliations).empty()
                                                    ? std::vector<std::string>{}
                                                    : linesOf(record.text(Field::Affiliations));
    if (!categories.empty()) {
        line = "CATEGORIES:";
        for (std::size_t i = 0; i < categories.size(); ++i) {
            line += (i == 0 ? "" : ",") + vcardEscape(categories[i]);
        }
        add(line);
    }
    if (!record.rawText(Field::PicturePath).empty()) {
        const std::string picture = record.text(Field::PicturePath);
        const std::string uri = pictureUri(picture);
        if (uri.empty()) {  // a relative path has no URI
            add("X-CORVANE-PICTURE:" + vcardEscape(picture));
        } else {
            add(std::string(v4 ? "PHOTO:" : "PHOTO;VALUE=uri:") + uri);
        }
    }
    add("X-CORVANE-CREATOR-VERSION:" + std::to_string(record.creatorVersion()));
    if (const auto p = exportedDate(record, Field::Created, number, problems)) {
        add("X-CORVANE-CREATED:" + vcardTimestamp(*p, m_version));
    }
    if (const auto p = exportedDate(record, Field::LastModified, number, problems)) {
        add("REV:" + vcardTimestamp(*p, m_version));
    }
    // What the properties above could not carry exactly, for Corvane's import.
    for (int i = 1; i <= kFieldCount; ++i) {
        const auto field = static_cast<Field>(i);
        if (fieldInfo(field).kind == FieldKind::Text &&
            needsExactCopy(field, record.rawText(field))) {
            add("X-CORVANE-EXACT;X-FIELD=" + std::string(fieldInfo(field).name) + ":" +
                percentEncoded(record.text(field)));
        }
    }
    const std::string key(
        reinterpret_cast<const char*>(record.encode().data()) + fieldInfo(Field::Created).offset,
        8);
    add("UID:" + uidOf(record, m_seen[key + std::string(record.rawText(Field::FullName))]++));
    add("END:VCARD");
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
