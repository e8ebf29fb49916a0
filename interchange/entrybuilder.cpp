// One entry built from what a card or a row holds. Every value that does
// not go whole into its field goes to the comments, and the report says of
// each, after the comments are complete, whether it found room there: a line
// of the report is written only once it is known to be true.

#include <algorithm>

#include "codepage.h"
#include "importparts.h"
#include "version.h"

namespace corvane::importing {
namespace {

constexpr const char* kWentToComments = "; it went to the comments";
constexpr const char* kNoRoom =
    "; there was no room left for it in the comments, so it was left out";

// "the home e-mail address" as the heading of its line in the comments.
std::string heading(std::string_view what) {
    std::string out(what.starts_with("the ") ? what.substr(4) : what);
    if (!out.empty() && out[0] >= 'a' && out[0] <= 'z') {
        out[0] = static_cast<char>(out[0] - 'a' + 'A');
    }
    return out;
}

// "the home e-mail address" as a second one: "another home e-mail address".
std::string another(std::string_view what) {
    return what.starts_with("the ") ? "another " + std::string(what.substr(4))
                                    : "another " + std::string(what);
}

// The bytes `utf8` takes in a field: one a character (the text is UTF-8).
std::size_t storedSize(std::string_view utf8) {
    return static_cast<std::size_t>(std::count_if(utf8.begin(), utf8.end(), [](char c) {
        return (static_cast<unsigned char>(c) & 0xC0) != 0x80;
    }));
}

const char* monthName(int month) {
    static constexpr const char* kMonths[] = {"January",   "February", "March",    "April",
                                              "May",       "June",     "July",     "August",
                                              "September", "October",  "November", "December"};
    return kMonths[std::clamp(month, 1, 12) - 1];
}

}  // namespace

void deliver(ImportReading& reading, const ImportedEntry& entry, const EntrySink& sink) {
    ++reading.read;
    if (!entry.changes.empty()) {
        reading.notes.push_back({reading.read, entry.label, entry.changes});
    }
    sink(entry);
}

EntryBuilder::EntryBuilder(ImportedEntry& entry, double now) : m_entry(entry) {
    m_entry.record.clear();
    m_entry.label.clear();
    m_entry.changes.clear();
    m_entry.record.setDate(Field::Created, now);
    m_entry.record.setDate(Field::LastModified, now);
    m_entry.record.setCreatorVersion(kVersionMajor);  // made by this program, as the editor's
}

void EntryBuilder::creatorVersion(std::string_view text) {
    const std::string digits = trimmed(text);
    if (!digits.empty() && digits.size() <= 3 &&
        std::all_of(digits.begin(), digits.end(), [](char c) { return c >= '0' && c <= '9'; }) &&
        std::stoi(digits) <= 255) {
        m_entry.record.setCreatorVersion(static_cast<std::uint8_t>(std::stoi(digits)));
        m_found = true;  // an entry of Corvane's, even one with nothing in it
    }
}

void EntryBuilder::put(Field field, std::string_view value, const std::string& what) {
    const std::string_view text = trimSpaces(value);  // as the record trims: a tab stays
    if (text.empty() || m_exact[static_cast<int>(field)]) {
        return;
    }
    if (m_taken[static_cast<int>(field)]) {
        aside(heading(another(what)) + ": " + std::string(text),
              another(what) + " " + quoted(text) + " has no field of its own");
        return;
    }
    m_taken[static_cast<int>(field)] = true;
    store(field, text, what);
}

void EntryBuilder::addLine(Field field, std::string_view line, const std::string& what) {
    const std::string text = trimmed(line);
    if (text.empty() || m_exact[static_cast<int>(field)]) {
        return;
    }
    const std::string now = m_entry.record.text(field);
    const std::string lines = now.empty() ? text : now + "\r\n" + text;
    if (storedSize(lines) > static_cast<std::size_t>(fieldInfo(field).width)) {
        aside(heading(what) + ": " + text, what + " " + quoted(text) + " did not fit in its field");
        return;
    }
    m_taken[static_cast<int>(field)] = true;
    store(field, lines, what);
}

void EntryBuilder::date(Field field, std::string_view text, bool withTime,
                        const std::string& what) {
    if (m_exact[static_cast<int>(field)]) {
        return;  // Corvane's exact copy stands
    }
    const ReadDate read = readDate(text, withTime);
    const std::string shown = trimmed(text);
    switch (read.kind) {
        case ReadDate::Empty:
            return;
        case ReadDate::Whole:
            if (m_taken[static_cast<int>(field)]) {
                aside(heading(another(what)) + ": " + shown,
                      another(what) + " " + quoted(shown) + " has no field of its own");
                return;
            }
            m_taken[static_cast<int>(field)] = true;
            m_found = true;
            m_entry.record.setDate(field, read.ole);
            return;
        case ReadDate::NoYear: {
            const std::string day = monthName(read.month) + (" " + std::to_string(read.day));
            aside(heading(what) + ": " + day,
                  what + " " + quoted(day) + " has no year, and Corvane keeps only whole dates");
            return;
        }
        case ReadDate::NoDate:
            aside(heading(what) + ": " + shown, what + " " + quoted(shown) + " is no date");
            return;
    }
}

void EntryBuilder::unknown(const std::string& what, std::string_view value) {
    const std::string text = trimmed(value);
    if (!text.empty()) {
        aside(what + ": " + text, what + " " + quoted(text) + " has no field of its own");
    }
}

void EntryBuilder::leftOut(const std::string& message) {
    m_entry.changes.push_back(message);
    m_found = true;
}

void EntryBuilder::exact(Field field, std::string_view text) {
    m_taken[static_cast<int>(field)] = true;
    m_exact[static_cast<int>(field)] = true;
    m_found = true;
    m_entry.record.setText(field, text);
}

void EntryBuilder::exactDate(Field field, double value) {
    m_taken[static_cast<int>(field)] = true;
    m_exact[static_cast<int>(field)] = true;
    m_found = true;
    m_entry.record.setDate(field, value);
}

void EntryBuilder::clearDate(Field field) {
    if (!m_exact[static_cast<int>(field)]) {
        m_entry.record.setDate(field, 0.0);
    }
}

void EntryBuilder::name(std::string_view name, const NameCandidates& candidates, bool exact) {
    if (exact || !trimmed(name).empty()) {
        put(Field::FullName, name, "the name");
        return;
    }
    const std::pair<const std::string*, const char*> fallbacks[] = {
        {&candidates.organisation, "organisation"},
        {&candidates.nickname, "nickname"},
        {&candidates.email, "e-mail address"},
        {&candidates.phone, "phone number"},
    };
    for (const auto& [value, by] : fallbacks) {
        if (!trimmed(*value).empty()) {
            m_entry.changes.push_back(std::string("it has no name; it is named by its ") + by);
            put(Field::FullName, *value, "the name");
            return;
        }
    }
}

bool EntryBuilder::isFree(Field field) const {
    return !m_taken[static_cast<int>(field)];
}

bool EntryBuilder::empty() const {
    return !m_found;
}

void EntryBuilder::finish(const std::string& label) {
    if (!m_asides.empty()) {
        std::string comments = m_entry.record.text(Field::Comments);
        bool strange = false;
        for (Aside& a : m_asides) {
            const std::string lines = comments.empty() ? a.line : comments + "\r\n" + a.line;
            const bool fits =
                storedSize(lines) <= static_cast<std::size_t>(fieldInfo(Field::Comments).width);
            if (fits) {
                comments = lines;
                strange = strange || !cp1252::canEncode(a.line);
            }
            m_entry.changes.push_back(a.message + (fits ? a.ifKept : a.ifLost));
        }
        m_entry.record.setText(Field::Comments, comments);
        if (strange) {
            m_entry.changes.push_back(
                "in the comments, characters outside Windows-1252 became \"?\"");
        }
    }
    m_entry.label = label.empty() ? m_entry.record.text(Field::FullName) : label;
}

void EntryBuilder::store(Field field, std::string_view text, const std::string& what) {
    m_found = true;
    m_entry.record.setText(field, text);
    if (!cp1252::canEncode(text)) {
        m_entry.changes.push_back(what + ": characters outside Windows-1252 became \"?\"");
    }
    const auto width = static_cast<std::size_t>(fieldInfo(field).width);
    if (storedSize(text) <= width) {
        return;
    }
    const std::string cut = what + " was cut to " + std::to_string(width) + " characters";
    if (field == Field::Comments) {
        m_entry.changes.push_back(cut + "; the rest of it was left out");
    } else {
        aside(heading(what) + ": " + std::string(text), cut,
              "; the whole text went to the comments",
              "; the whole text did not fit in the comments either, so the rest was left out");
    }
}

void EntryBuilder::aside(std::string line, std::string message, std::string ifKept,
                         std::string ifLost) {
    m_found = true;
    m_asides.push_back({std::move(line), std::move(message),
                        ifKept.empty() ? kWentToComments : std::move(ifKept),
                        ifLost.empty() ? kNoRoom : std::move(ifLost)});
}

}  // namespace corvane::importing
