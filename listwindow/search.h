#pragma once

// Which entries a find lists: the search text of a record and the rule that
// matches a phrase against it.

#include <QString>
#include <string>

#include "contactrecord.h"

namespace corvane {

// Search options, as the find dialog numbers its choices.
inline constexpr int kSearchAllText = 1;
inline constexpr int kSearchAllButComments = 2;
inline constexpr int kSearchComments = 3;
inline constexpr int kSearchAffiliations = 4;

// The text a find searches in `record` for `option`: the searched fields,
// each trimmed of blanks, joined by single spaces. The picture path, the
// home free text and the dates are never searched.
QString SearchText(const ContactRecord& record, int option);

// True when `phrase` occurs in SearchText(record, option); `compareMode` 1
// ignores capitalization (é matches É), 0 compares exactly.
bool MatchesSearch(const ContactRecord& record, const QString& phrase, int option, int compareMode);

// MatchesSearch prepared once for a whole list rebuild: it works on the
// record's stored bytes, so that a find over the largest book stays quick.
class SearchMatcher {
  public:
    SearchMatcher(const QString& phrase, int option, int compareMode);
    bool matches(const ContactRecord& record) const;

  private:
    QString m_phrase;
    int m_option;
    bool m_ignoreCase;
    // The phrase in the file's code page (case-folded when ignoring case);
    // unusable when the phrase has characters the code page lacks.
    std::string m_bytes;
    bool m_bytewise;
    mutable std::string m_text;
};

}  // namespace corvane
