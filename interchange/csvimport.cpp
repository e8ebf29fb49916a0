// Reading CSV with a header row into entries: Corvane's own columns, and
// those of the exports of Outlook, Thunderbird and the web address books
// (Google's numbered "E-mail 1 - Type" / "E-mail 1 - Value" pairs among them).

#include <algorithm>
#include <cctype>
#include <optional>
#include <unordered_map>

#include "codepage.h"
#include "importparts.h"

namespace corvane::importing {
namespace {

// The separator of the header row: a comma, or the semicolon of European
// spreadsheets, or a tab, whichever it holds most of outside quotes.
char separatorOf(std::string_view text) {
    int counts[3] = {0, 0, 0};
    bool quoted = false;
    for (const char c : text) {
        if (c == '"') {
            quoted = !quoted;
        } else if (!quoted && (c == '\n' || c == '\r')) {
            break;
        } else if (!quoted) {
            counts[0] += c == ',' ? 1 : 0;
            counts[1] += c == ';' ? 1 : 0;
            counts[2] += c == '\t' ? 1 : 0;
        }
    }
    return counts[1] > counts[0] && counts[1] >= counts[2] ? ';'
           : counts[2] > counts[0]                         ? '\t'
                                                           : ',';
}

// No address book has this many columns; a header with more is no header.
constexpr std::size_t kMostColumns = 10000;
// Cells beyond the header that a row may bring; the rest are counted.
constexpr std::size_t kMostExtraCells = 100;

// The rows of RFC 4180 text, one at a time: quoted fields may hold
// separators, quotes (doubled) and line breaks. A row's cells beyond
// `most` are counted, not kept, so that no row takes more memory than an
// entry's worth.
class CsvRows {
  public:
    CsvRows(std::string_view text, char separator) : m_text(text), m_separator(separator) {}

    // The next row into `cells`; false at the end of the text. A blank
    // line is a row of one empty cell. `dropped` counts the cells beyond
    // `most` that held something.
    bool next(std::vector<std::string>& cells, std::size_t most, std::size_t& dropped) {
        if (m_at >= m_text.size()) {
            return false;
        }
        cells.assign(1, std::string());
        dropped = 0;
        m_overflowed = false;
        bool quoted = false;
        std::string* field = &cells.back();
        std::string ignored;
        for (; m_at < m_text.size(); ++m_at) {
            const char c = m_text[m_at];
            if (quoted) {
                if (c == '"' && m_at + 1 < m_text.size() && m_text[m_at + 1] == '"') {
                    *field += '"';
                    ++m_at;
                } else if (c == '"') {
                    quoted = false;
                } else {
                    *field += c;
                }
            } else if (c == '"' && field->empty()) {
                quoted = true;
            } else if (c == m_separator) {
                dropped += field == &ignored && !ignored.empty() ? 1 : 0;
                if (cells.size() < most) {
                    field = &cells.emplace_back();
                } else {
                    m_overflowed = true;
                    ignored.clear();
                    field = &ignored;
                }
            } else if (c == '\n' || c == '\r') {
                dropped += field == &ignored && !ignored.empty() ? 1 : 0;
                m_at += c == '\r' && m_at + 1 < m_text.size() && m_text[m_at + 1] == '\n' ? 2 : 1;
                return true;
            } else {
                *field += c;
            }
        }
        dropped += field == &ignored && !ignored.empty() ? 1 : 0;
        m_broken = quoted;
        return true;
    }
    // Whether a quoted field never ended.
    bool broken() const { return m_broken; }
    // Whether the last row had more than `most` cells, empty ones counted.
    bool overflowed() const { return m_overflowed; }

  private:
    std::string_view m_text;
    char m_separator;
    std::size_t m_at = 0;
    bool m_broken = false;
    bool m_overflowed = false;
};

// One row's cells by their column's name (lower case); what is taken is
// marked, so that what no rule took goes to the comments under its name.
class Row {
  public:
    Row(const std::vector<std::string>& header,
        const std::unordered_map<std::string, std::size_t>& columns,
        const std::vector<std::string>& cells)
        : m_header(header), m_columns(columns), m_cells(cells), m_taken(cells.size(), false) {}

    std::string take(const std::string& name) {
        const auto at = m_columns.find(name);
        if (at == m_columns.end() || at->second >= m_cells.size()) {
            return {};
        }
        m_taken[at->second] = true;
        return std::string(trimSpaces(m_cells[at->second]));
    }
    // The first of `names` that holds something (all of them are taken).
    std::string takeFirst(std::initializer_list<const char*> names) {
        std::string found;
        for (const char* name : names) {
            std::string value = take(name);
            if (found.empty()) {
                found = std::move(value);
            } else if (!value.empty()) {
                m_late.emplace_back(name, std::move(value));
            }
        }
        return found;
    }
    bool has(const std::string& name) const { return m_columns.contains(name); }

    // What no rule took: (column name, value), the cells beyond the header too.
    std::vector<std::pair<std::string, std::string>> rest() const {
        std::vector<std::pair<std::string, std::string>> out;
        for (std::size_t c = 0; c < m_cells.size(); ++c) {
            if (!m_taken[c] && !trimmed(m_cells[c]).empty()) {
                out.emplace_back(c < m_header.size() ? trimmed(m_header[c])
                                                     : "A cell beyond the header's columns",
                                 m_cells[c]);
            }
        }
        for (const auto& [name, value] : m_late) {
            out.emplace_back(name, value);
        }
        return out;
    }

  private:
    const std::vector<std::string>& m_header;
    const std::unordered_map<std::string, std::size_t>& m_columns;
    const std::vector<std::string>& m_cells;
    std::vector<bool> m_taken;
    std::vector<std::pair<std::string, std::string>> m_late;
};

// Google's several values in one cell: "a@x ::: b@y".
std::vector<std::string> splitValues(const std::string& cell) {
    std::vector<std::string> values;
    for (std::size_t at = 0;;) {
        const auto next = cell.find(" ::: ", at);
        const std::string value = trimmed(cell.substr(at, next - at));
        if (!value.empty()) {
            values.push_back(value);
        }
        if (next == std::string::npos) {
            return values;
        }
        at = next + 5;
    }
}

// Columns that fill one field, by the names the common exports use.
struct Column {
    const char* name;
    Field field;
    const char* what;
};
constexpr Column kColumns[] = {
    {"nickname", Field::Nickname, "the nickname"},
    {"e-mail address", Field::HomeEmail, "the home e-mail address"},
    {"email address", Field::HomeEmail, "the home e-mail address"},
    {"primary email", Field::HomeEmail, "the home e-mail address"},
    {"e-mail 2 address", Field::WorkEmail, "the business e-mail address"},
    {"secondary email", Field::WorkEmail, "the business e-mail address"},
    {"home phone", Field::HomePhone, "the home phone number"},
    {"home phone 2", Field::HomeOtherPhone, "the home other phone number"},
    {"other phone", Field::HomeOtherPhone, "the home other phone number"},
    {"home fax", Field::HomeFax, "the home fax number"},
    {"fax number", Field::HomeFax, "the home fax number"},
    {"mobile phone", Field::HomeCell1, "the home mobile number"},
    {"mobile number", Field::HomeCell1, "the home mobile number"},
    {"pager", Field::HomePager, "the home pager number"},
    {"pager number", Field::HomePager, "the home pager number"},
    {"business phone", Field::WorkPhone, "the business phone number"},
    {"work phone", Field::WorkPhone, "the business phone number"},
    {"business phone 2", Field::WorkOtherPhone, "the business other phone number"},
    {"business fax", Field::WorkFax, "the business fax number"},
    {"home street", Field::HomeAddress1, "the home street"},
    {"home address", Field::HomeAddress1, "the home street"},
    {"home street 2", Field::HomeAddress2, "the home address's second line"},
    {"home address 2", Field::HomeAddress2, "the home address's second line"},
    {"business street", Field::WorkAddress1, "the business street"},
    {"work address", Field::WorkAddress1, "the business street"},
    {"business street 2", Field::WorkAddress2, "the business address's second line"},
    {"work address 2", Field::WorkAddress2, "the business address's second line"},
    {"web page", Field::HomeWebPage, "the home web address"},
    {"personal web page", Field::HomeWebPage, "the home web address"},
    {"web page 2", Field::HomeWebPage, "the home web address"},
    {"web page 1", Field::WorkWebPage, "the business web address"},
    {"business web page", Field::WorkWebPage, "the business web address"},
    {"notes", Field::Comments, "the note"},
};

// Lines of the business's other information: organisation, department, title.
struct InfoColumn {
    const char* name;
    const char* heading;
};
constexpr InfoColumn kInfoColumns[] = {
    {"company", "Organisation: "},
    {"organization", "Organisation: "},
    {"organization 1 - name", "Organisation: "},
    {"department", "Department: "},
    {"organization 1 - department", "Department: "},
    {"job title", "Job title: "},
    {"organization 1 - title", "Job title: "},
};

// Outlook's empty values, and columns other exports derive from the rest.
bool isFiller(const std::string& column, const std::string& value) {
    static const std::pair<const char*, const char*> kDefaults[] = {{"gender", "unspecified"},
                                                                    {"priority", "normal"},
                                                                    {"sensitivity", "normal"},
                                                                    {"private", "false"}};
    for (const auto& [name, empty] : kDefaults) {
        if (column == name && lower(value) == empty) {
            return true;
        }
    }
    // Outlook fills in initials ("J.S.") from the name: a few letters and stops.
    const bool initials =
        column == "initials" && value.size() <= 8 &&
        std::all_of(value.begin(), value.end(), [](char c) {
            return std::isalpha(static_cast<unsigned char>(c)) || c == '.' || c == ' ' || c == '-';
        });
    return initials || (column.ends_with("display name") && column != "display name") ||
           column == "e-mail type" || column == "e-mail 2 type" || column == "e-mail 3 type";
}

const char* sideWord(const AddressSide& side) {
    return &side == &kWorkSide ? "business" : "home";
}

// Google's numbered columns, "Phone 1 - Type" naming the kind and side of
// "Phone 1 - Value".
void putTyped(EntryBuilder& b, Row& row, NameCandidates& names) {
    for (int n = 1; n < 100; ++n) {
        const std::string k = std::to_string(n);
        const bool any =
            row.has("e-mail " + k + " - value") || row.has("phone " + k + " - value") ||
            row.has("website " + k + " - value") || row.has("address " + k + " - type");
        if (!any) {
            break;
        }
        auto sideOf = [&](const std::string& type) -> const AddressSide& {
            return lower(type).find("work") != std::string::npos ? kWorkSide : kHomeSide;
        };
        const std::string emailType = row.take("e-mail " + k + " - type");
        for (const std::string& email : splitValues(row.take("e-mail " + k + " - value"))) {
            const AddressSide& side = sideOf(emailType);
            names.email = names.email.empty() ? email : names.email;
            b.put(side.email, email, std::string("the ") + sideWord(side) + " e-mail address");
        }
        const std::string phoneType = lower(row.take("phone " + k + " - type"));
        for (const std::string& phone : splitValues(row.take("phone " + k + " - value"))) {
            const AddressSide& side = sideOf(phoneType);
            const std::string s = sideWord(side);
            names.phone = names.phone.empty() ? phone : names.phone;
            if (phoneType.find("fax") != std::string::npos) {
                b.put(side.fax, phone, "the " + s + " fax number");
            } else if (phoneType.find("pager") != std::string::npos) {
                b.put(side.pager, phone, "the " + s + " pager number");
            } else if (phoneType.find("mobile") != std::string::npos) {
                b.put(b.isFree(side.cell1) ? side.cell1 : side.cell2, phone,
                      "the " + s + " mobile number");
            } else if (phoneType.find("other") != std::string::npos || !b.isFree(side.phone)) {
                b.put(side.otherPhone, phone, "the " + s + " other phone number");
            } else {
                b.put(side.phone, phone, "the " + s + " phone number");
            }
        }
        const std::string webType = row.take("website " + k + " - type");
        for (const std::string& web : splitValues(row.take("website " + k + " - value"))) {
            const AddressSide& side = sideOf(webType);
            b.put(side.webPage, web, std::string("the ") + sideWord(side) + " web address");
        }
        const std::string a = "address " + k + " - ";
        const AddressSide& side = sideOf(row.take(a + "type"));
        const std::string s = sideWord(side);
        const std::string street = row.take(a + "street");
        const std::string extended =
            joined({row.take(a + "extended address"), row.take(a + "po box")}, ", ");
        const std::string city = cityLine(row.take(a + "city"), row.take(a + "region"),
                                          row.take(a + "postal code"), row.take(a + "country"));
        if (!street.empty() || !extended.empty() || !city.empty()) {
            (void)row.take(a + "formatted");  // the same address, written out
        }
        b.put(side.address1, street, "the " + s + " street");
        b.put(side.address2, extended, "the " + s + " address's second line");
        b.put(side.cityStateZip, city, "the " + s + " city line");
    }
}

// Puts one cell of Corvane's own columns into the entry.
void putOwnCell(EntryBuilder& b, Field field, const std::string& cell, const std::string& what) {
    const FieldKind kind = fieldInfo(field).kind;
    if (kind == FieldKind::Date && cell.empty()) {
        b.clearDate(field);  // no date was no date
    } else if (kind == FieldKind::Date) {
        b.date(field, cell, field == Field::Created || field == Field::LastModified, what);
    } else if (kind == FieldKind::Byte) {
        b.creatorVersion(cell);
    } else if (field != Field::FullName) {
        b.put(field, cell, what);
    } else {
        b.name(cell, {}, true);
    }
}

// A row of Corvane's own export: every column is a field, the name as it was.
void readOwnRow(EntryBuilder& b, Row& row) {
    (void)row.take("recordnumber");  // the book gives the entry its place
    for (int i = 1; i <= kFieldCount; ++i) {
        const auto field = static_cast<Field>(i);
        putOwnCell(b, field, row.take(lower(fieldInfo(field).name)),
                   "the column \"" + std::string(fieldInfo(field).name) + "\"");
    }
}

// A row of another address book's export.
void readOtherRow(EntryBuilder& b, Row& row, std::string& label) {
    NameCandidates names;
    for (const Column& c : kColumns) {
        const std::string value = row.take(c.name);
        if (c.field == Field::HomeEmail && names.email.empty()) {
            names.email = value;
        }
        b.put(c.field, value, c.what);
    }
    names.nickname = b.record().text(Field::Nickname);
    for (const InfoColumn& c : kInfoColumns) {
        const std::string value = row.take(c.name);
        if (std::string(c.heading) == "Organisation: " && names.organisation.empty()) {
            names.organisation = value;
        }
        if (!value.empty()) {
            b.addLine(kWorkSide.otherInfo, c.heading + value,
                      "the " + lower(std::string(c.heading).substr(
                                   0, std::string(c.heading).size() - 2)));
        }
    }
    for (const auto& [words, side] :
         {std::pair{"home", &kHomeSide}, {"business", &kWorkSide}, {"work", &kWorkSide}}) {
        const std::string w = words;
        const std::string city =
            cityLine(row.take(w + " city"), row.take(w + " state"),
                     row.takeFirst({(w + " postal code").c_str(), (w + " zipcode").c_str()}),
                     row.takeFirst({(w + " country/region").c_str(), (w + " country").c_str()}));
        b.put(side->cityStateZip, city, "the " + std::string(sideWord(*side)) + " city line");
    }
    putTyped(b, row, names);
    b.put(Field::Title, row.takeFirst({"title", "name prefix"}), "the title");
    for (const auto& [column, field, what] :
         {std::tuple{"birthday", Field::Birthday, "the birthday"},
          {"anniversary", Field::Anniversary, "the anniversary"}}) {
        b.date(field, row.take(column), false, what);
    }
    // Thunderbird's dates in three columns each.
    for (const auto& [prefix, field, what] :
         {std::tuple{"birth ", Field::Birthday, "the birthday"},
          {"anniversary ", Field::Anniversary, "the anniversary"}}) {
        const std::string p = prefix;
        const std::string year = row.take(p + "year");
        const std::string month = row.take(p + "month");
        const std::string day = row.take(p + "day");
        auto two = [](const std::string& d) { return d.size() == 1 ? "0" + d : d; };
        if (!month.empty() && !day.empty()) {
            b.date(field, (year.empty() ? "--" : year + "-") + two(month) + "-" + two(day), false,
                   what);
        } else if (!year.empty() || !month.empty() || !day.empty()) {
            b.unknown(std::string(what).substr(4), joined({year, month, day}, "/"));
        }
    }
    for (const std::string& column : {std::string("categories"), std::string("group membership")}) {
        for (std::string group : splitValues(row.take(column))) {
            if (group == "* myContacts" || group == "* starred") {
                continue;  // Google's own lists, which every contact is in
            }
            b.addLine(Field::Affiliations, group.starts_with("* ") ? group.substr(2) : group,
                      "the affiliation");
        }
    }
    const std::string display = row.takeFirst({"display name", "name", "full name"});
    const std::string first = row.takeFirst({"first name", "given name"});
    const std::string middle = row.takeFirst({"middle name", "additional name"});
    const std::string last = row.takeFirst({"last name", "family name"});
    const std::string suffix = row.takeFirst({"suffix", "name suffix"});
    const std::string fromParts = entryName(last, joined({first, middle, suffix}, " "));
    const bool displayWhole =
        !display.empty() &&
        (fromParts.empty() || onlySplits(display, {last, first, middle, suffix}));
    b.name(displayWhole ? display : fromParts, names, false);
    if (!displayWhole && !display.empty() && !wordsWithin(display, {last, first, middle, suffix})) {
        b.unknown("Display name", display);  // it says what the parts do not
    }
    label = displayWhole ? display : fromParts;
    for (const auto& [column, value] : row.rest()) {
        if (!isFiller(lower(column), trimmed(value))) {
            b.unknown(column, value);
        }
    }
}

}  // namespace

ImportReading readCsv(std::string_view input, double now, const EntrySink& sink) {
    ImportReading reading;
    // Outlook writes the Windows code page; anything not UTF-8 is read as it.
    const std::string decoded = isUtf8(input) ? std::string() : cp1252::decode(input);
    const std::string_view text = decoded.empty() ? input : std::string_view(decoded);
    CsvRows rows(text, separatorOf(text));
    std::vector<std::string> header;
    std::size_t ignored = 0;
    if (!rows.next(header, kMostColumns, ignored) || rows.broken()) {
        reading.refusal = "its quoting is broken: a quoted field never ends";
        return reading;
    }
    if (rows.overflowed()) {
        reading.refusal = "its first row has more than 10,000 columns, more than any address book";
        return reading;
    }
    std::unordered_map<std::string, std::size_t> columns;
    for (std::size_t c = 0; c < header.size(); ++c) {
        columns.emplace(lower(trimmed(header[c])), c);
    }
    const bool own = columns.contains("recordnumber") && columns.contains("fullname");
    static const char* const kNameColumns[] = {
        "name",        "display name",   "first name",    "last name",       "given name",
        "family name", "e-mail address", "primary email", "e-mail 1 - value"};
    bool known = own;
    for (const char* name : kNameColumns) {
        known = known || columns.contains(name);
    }
    for (const Column& c : kColumns) {
        known = known || columns.contains(c.name);
    }
    if (!known) {
        reading.refusal = "its first row names no column Corvane knows";
        return reading;
    }
    ImportedEntry entry;  // used again for each row
    std::vector<std::string> cells;
    std::size_t dropped = 0;
    for (std::size_t r = 1; rows.next(cells, header.size() + kMostExtraCells, dropped); ++r) {
        if (rows.broken()) {
            reading.refusal = "its quoting is broken: a quoted field never ends";
            return reading;
        }
        if (cells.size() == 1 && cells[0].empty()) {
            continue;  // a blank line
        }
        Row row(header, columns, cells);
        EntryBuilder b(entry, now);
        std::string label;
        if (own) {
            readOwnRow(b, row);
            for (const auto& [column, value] : row.rest()) {
                b.unknown(column, value);
            }
        } else {
            readOtherRow(b, row, label);
        }
        if (dropped > 0) {
            b.leftOut(std::to_string(dropped) + " more cells beyond the header were left out");
        }
        if (b.empty()) {
            reading.skipped.push_back("row " + std::to_string(r + 1) +
                                      ": it holds nothing Corvane keeps");
            continue;
        }
        b.finish(label);
        if (entry.label.empty()) {
            entry.label = "row " + std::to_string(r + 1);
        }
        deliver(reading, entry, sink);
    }
    return reading;
}

}  // namespace corvane::importing
