#pragma once

// `corvane --export vcard` (vCard 4.0, RFC 6350) and `--export vcard3`
// (vCard 3.0, RFC 2426, what most phones and web accounts import): every
// entry as one vCard, which Corvane's import reads back as the same entry.
//
// The name gives FN exactly, and N ("Last, First" is split at the first
// comma; the entry's Title, "Mr." or "Dr.", is N's honorific prefix); each
// side's three address lines give an ADR (street, extended, and the city line
// as locality, split into city, region and postal code only when it reads
// "City, ST 12345"); phones give TEL with their types (the second mobile
// marked x-corvane-cell2, so that it comes back as the second); the e-mail
// and web addresses (a bare host with "http://" before it, marked
// X-CORVANE-BARE), birthday, anniversary (X-ANNIVERSARY in 3.0), comments
// (NOTE) and affiliations (CATEGORIES, one per line) follow, the picture as a
// file URI (a relative path as X-CORVANE-PICTURE), the other information of
// each side, the creator version and the creation stamp as X-CORVANE-
// properties, LastModified as REV. A field holding what a vCard value cannot
// carry (a control character, a lone CR or LF) is written without it, and
// exactly, percent-encoded, in an X-CORVANE-EXACT property. The UID is made
// from the entry's creation stamp and name, and which of the entries with
// both the same it is, so that it is unique in the export and the same
// entry keeps it from export to export.

#include <ostream>
#include <set>
#include <string>
#include <string_view>
#include <vector>

#include "contactrecord.h"
#include "filesystem.h"

namespace corvane {

enum class VCardVersion { V3, V4 };

// A text value escaped as the RFCs say: backslash, comma, semicolon and
// line breaks (a CR LF pair or either alone becomes one "\n"); the other
// control characters but the tab, which no value may hold, are left out.
std::string vcardEscape(std::string_view text);
// The same, appended to `out`.
void appendEscaped(std::string& out, std::string_view text);

// `line` as content lines of at most 75 octets, each ending in CR LF, the
// continuations starting with one blank; a UTF-8 character is never split.
std::string foldLine(std::string_view line);
// The same, appended to `out`.
void appendFolded(std::string& out, std::string_view line);

// Writes the vCards of the records of one export, one after the other,
// each with a UID no other record of the export has.
class VCardWriter {
  public:
    explicit VCardWriter(VCardVersion version);
    // Appends the vCard of `record` to `card`, folded, with its own problems
    // (a date that is no date) added to `problems` under record `number`.
    void append(std::string& card, const ContactRecord& record, int number,
                std::vector<std::string>& problems);

  private:
    VCardVersion m_version;
    std::string m_line;
    // How often each creation stamp and name (hashed) was seen so far: an
    // open-addressed table, as an export sees every entry once.
    int seenBefore(std::uint64_t key);
    std::vector<std::pair<std::uint64_t, int>> m_seen;
    std::size_t m_seenCount = 0;
};

// The vCard of one record on its own (its UID as the first of its kind).
std::string vcardOf(const ContactRecord& record, int number, VCardVersion version,
                    std::vector<std::string>& problems);

// Writes every whole slot of `dataPath` to `out` as vCards, with the
// statuses and promises of exportRecords().
int exportVCards(FileSystem& fs, const std::string& dataPath, VCardVersion version,
                 std::ostream& out, std::ostream& err, const std::set<int>* only = nullptr);

}  // namespace corvane
