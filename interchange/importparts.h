#pragma once

// What the importer's readers share: small text helpers, the reading of a
// date, and the builder that fills one entry field by field and notes what
// had to change to make it fit.

#include <algorithm>
#include <optional>
#include <set>
#include <string>
#include <string_view>
#include <vector>

#include "codepage.h"
#include "importer.h"
#include "version.h"

namespace corvane::importing {

std::string lower(std::string_view s);
std::string upper(std::string_view s);
// Without blanks and tabs at its ends.
std::string trimmed(std::string_view s);

// The entry's name as Corvane lists it, "Family, Given", from its parts;
// either part alone when the other is empty.
std::string entryName(const std::string& family, const std::string& given);

// The city line as Corvane keeps it, "City, ST 12345" (and ", Country"
// after it), from whichever of its parts are there.
std::string cityLine(const std::string& city, const std::string& region,
                     const std::string& postalCode, const std::string& country = {});
// True when `text` is UTF-8 throughout.
bool isUtf8(std::string_view text);

// YYYYMMDD or YYYY-MM-DD (and, `withTime`, a time after it): the OLE value,
// or nothing for what is no date an entry can hold.
std::optional<double> parseDate(std::string_view text, bool withTime);

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

// The two readers: the text is known to be vCards, or taken for CSV.
ImportReading readVCards(std::string_view text, double now);
ImportReading readCsv(std::string_view text, double now);

}  // namespace corvane::importing
