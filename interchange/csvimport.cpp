// Reading CSV with a header row into entries: Corvane's own columns, and
// those of the major web address books' exports.

#include <algorithm>
#include <map>
#include <optional>
#include <set>

#include "importparts.h"

namespace corvane::importing {
namespace {

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

// Puts one cell of a known column into the entry.
void putCell(EntryBuilder& b, Field field, const std::string& cell, const std::string& what) {
    const FieldKind kind = fieldInfo(field).kind;
    if (kind == FieldKind::Date && trimmed(cell).empty()) {
        b.clearDate(field);  // Corvane's own columns: no date was no date
    } else if (kind == FieldKind::Date) {
        b.date(field, parseDate(cell, field == Field::Created || field == Field::LastModified),
               cell, what);
    } else if (kind == FieldKind::Byte) {
        b.creatorVersion(cell);
    } else if (field == Field::Affiliations && cell.find(" ::: ") != std::string::npos) {
        std::string joined;  // Google's "Family ::: Friends"
        for (std::size_t at = 0;;) {
            const auto next = cell.find(" ::: ", at);
            joined += (joined.empty() ? "" : "\r\n") + cell.substr(at, next - at);
            if (next == std::string::npos) {
                break;
            }
            at = next + 5;
        }
        b.put(field, joined, what);
    } else {
        b.put(field, cell, what);
    }
}

// The name and the city lines that Outlook's and Google's exports split into
// columns of their own, joined again; `cell` gives a column's value by name.
template <typename Cell>
void putJoinedParts(EntryBuilder& b, const Cell& cell) {
    const std::string first = !cell("first name").empty() ? cell("first name") : cell("given name");
    const std::string last = !cell("last name").empty() ? cell("last name") : cell("family name");
    if (!b.hasName() && (!first.empty() || !last.empty())) {
        b.put(Field::FullName, entryName(last, first), "the name");
    }
    for (const char* side : {"home", "business"}) {
        const std::string line =
            cityLine(cell(std::string(side) + " city"), cell(std::string(side) + " state"),
                     cell(std::string(side) + " postal code"));
        b.put(std::string(side) == "home" ? Field::HomeCityStateZip : Field::WorkCityStateZip, line,
              std::string("the ") + side + " city line");
    }
}

}  // namespace

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
            putCell(b, *fields[c], row[c], "the column \"" + trimmed(header[c]) + "\"");
        }
        putJoinedParts(b, cell);
        if (!b.hasName()) {
            reading.skipped.push_back("row " + std::to_string(r + 1) + ": it has no name");
        } else {
            reading.entries.push_back(b.finish());
        }
    }
    return reading;
}

}  // namespace corvane::importing
