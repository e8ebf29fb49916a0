#pragma once

// `corvane --export vcard` (vCard 4.0, RFC 6350) and `--export vcard3`
// (vCard 3.0, RFC 2426, what most phones and web accounts import): every
// entry as one vCard.
//
// The name gives FN and N ("Last, First" is split at the first comma; the
// entry's Title, "Mr." or "Dr.", is N's honorific prefix); each side's three
// address lines give an ADR (street, extended, and the city line as locality,
// split into city, region and postal code only when it reads "City, ST 12345");
// phones give TEL with their types; the e-mail and web addresses, birthday,
// anniversary (X-ANNIVERSARY in 3.0), comments (NOTE) and affiliations
// (CATEGORIES, one per line) follow, the picture as a file URI, the other
// information of each side and the creation stamp as X-CORVANE- properties,
// LastModified as REV, and a UID made from the entry's creation stamp and
// name, so that the same entry keeps it from export to export.

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
// line breaks (a CR LF pair or either alone becomes one "\n").
std::string vcardEscape(std::string_view text);

// `line` as content lines of at most 75 octets, each ending in CR LF, the
// continuations starting with one blank; a UTF-8 character is never split.
std::string foldLine(std::string_view line);
// The same, appended to `out`.
void appendFolded(std::string& out, std::string_view line);

// The vCard of one record, folded, with its own problems (a date that is
// no date) added to `problems` under record `number`.
std::string vcardOf(const ContactRecord& record, int number, VCardVersion version,
                    std::vector<std::string>& problems);

// Writes every whole slot of `dataPath` to `out` as vCards, with the
// statuses and promises of exportRecords().
int exportVCards(FileSystem& fs, const std::string& dataPath, VCardVersion version,
                 std::ostream& out, std::ostream& err, const std::set<int>* only = nullptr);

}  // namespace corvane
