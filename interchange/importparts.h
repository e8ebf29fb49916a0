#pragma once

// What the importer's readers share: small text helpers, the reading of a
// date and of a file's code page, the naming of an entry, and the builder
// that fills one entry field by field and says, truthfully, what had to
// change to make it fit.

#include <bitset>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "importer.h"

namespace corvane::importing {

std::string lower(std::string_view s);
std::string upper(std::string_view s);
// Without blanks and tabs at its ends.
std::string trimmed(std::string_view s);
// Whether `text` starts with `prefix`, letters in either case.
bool startsWithNoCase(std::string_view text, std::string_view prefix);

// The entry's name as Corvane lists it, "Family, Given", from its parts;
// either part alone when the other is empty.
std::string entryName(const std::string& family, const std::string& given);
// The non-empty `parts` joined with `separator`.
std::string joined(const std::vector<std::string>& parts, std::string_view separator);
// Whether `whole` holds the words of `parts` and no others, in any order: a
// display name that its split name only takes apart ("John Smith" and
// Smith;John), adding nothing (a middle name, a suffix).
bool onlySplits(std::string_view whole, const std::vector<std::string>& parts);
// Whether every word of `whole` is among the words of `parts`: a display
// name that tells nothing its split name does not.
bool wordsWithin(std::string_view whole, const std::vector<std::string>& parts);

// The city line as Corvane keeps it, "City, ST 12345" (and ", Country"
// after it), from whichever of its parts are there.
std::string cityLine(const std::string& city, const std::string& region,
                     const std::string& postalCode, const std::string& country = {});
// True when `text` is UTF-8 throughout.
bool isUtf8(std::string_view text);
// `bytes` in the code page `charset` (any name iconv knows) as UTF-8, or
// nothing when the name is unknown or the bytes are not of that code page.
std::optional<std::string> fromCharset(std::string_view bytes, const std::string& charset);
// A UTF-16 text after its byte-order mark (either order) as UTF-8, or
// nothing when it is not UTF-16 throughout.
std::optional<std::string> fromUtf16(std::string_view bytes, bool bigEndian);

// The value of a hex digit, or -1.
int hexValue(char c);
// `text` with its %XX escapes decoded, each "/" written as `slashAs`.
std::string percentDecoded(std::string_view text, char slashAs = '/');

// `value` as the report shows it: in quotes, at most 60 characters (an
// ellipsis says there was more).
std::string quoted(std::string_view value);

// A date as an import finds it.
struct ReadDate {
    enum Kind { Empty, Whole, NoYear, NoDate } kind = Empty;
    double ole = 0.0;        // Whole
    int month = 0, day = 0;  // NoYear
};
// YYYYMMDD and YYYY-MM-DD (with `withTime`, a time after it counts; else it
// is ignored), --MMDD and --MM-DD (no year), and Outlook's M/D/YYYY, whose
// "0/0/00" is no date at all.
ReadDate readDate(std::string_view text, bool withTime);

// The values an entry that lacks a name is named by, as phones do: its
// organisation, nickname, e-mail address or phone number, in that order.
struct NameCandidates {
    std::string organisation, nickname, email, phone;
};

// Builds one entry, field by field, saying what had to change.
class EntryBuilder {
  public:
    // Builds into `entry`, which it clears first.
    EntryBuilder(ImportedEntry& entry, double now);

    // The creator version, from a Corvane export (a number up to 255).
    void creatorVersion(std::string_view text);
    // Puts `value` into `field`; a field already taken sends it to the
    // comments as "another" of `what` ("the home e-mail address").
    void put(Field field, std::string_view value, const std::string& what);
    // Adds `line` as a line of the multi-line `field`; with no room left
    // in it, the line goes to the comments.
    void addLine(Field field, std::string_view line, const std::string& what);
    // A date field from `text`; a date without a year, or no date, goes to
    // the comments under `what` ("the birthday").
    void date(Field field, std::string_view text, bool withTime, const std::string& what);
    // Text Corvane has no field for: to the comments as "`what`: value".
    void unknown(const std::string& what, std::string_view value);
    // Something left out, in words, for the report.
    void leftOut(const std::string& message);
    // `field` holds `text` exactly, and nothing put into it later: what
    // Corvane's export could not write as a plain vCard value.
    void exact(Field field, std::string_view text);
    void exactDate(Field field, double value);
    // No date in `field`: an entry from Corvane that carried none.
    void clearDate(Field field);
    // Names the entry: `name`, else the first of `candidates` there is
    // (and the report says by what).
    void name(std::string_view name, const NameCandidates& candidates, bool exact);

    bool isFree(Field field) const;
    // Whether anything at all was found for the entry.
    bool empty() const;
    const ContactRecord& record() const { return m_entry.record; }

    // Completes the entry's comments with what went aside, and labels it
    // for the report by `label` (else its name).
    void finish(const std::string& label);

  private:
    // A line bound for the comments, and what the report says of it.
    struct Aside {
        std::string line;
        std::string message;
        std::string ifKept;
        std::string ifLost;
    };
    void store(Field field, std::string_view text, const std::string& what);
    void aside(std::string line, std::string message, std::string ifKept = {},
               std::string ifLost = {});

    ImportedEntry& m_entry;
    std::bitset<kFieldCount + 1> m_taken;  // by field number
    std::bitset<kFieldCount + 1> m_exact;
    std::vector<Aside> m_asides;
    bool m_found = false;
};

// Counts `entry` as read, notes its changes for the report, and hands it
// to `sink`.
void deliver(ImportReading& reading, const ImportedEntry& entry, const EntrySink& sink);

// The two readers: the text is known to be vCards, or taken for CSV.
ImportReading readVCards(std::string_view text, double now, const EntrySink& sink);
ImportReading readCsv(std::string_view text, double now, const EntrySink& sink);

}  // namespace corvane::importing
