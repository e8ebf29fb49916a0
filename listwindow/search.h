#pragma once

// Which entries a find lists: the search text of a record and the rule that
// matches a phrase against it.

#include <QString>
#include <string>

#include "contactrecord.h"
#include "searchstate.h"

namespace corvane {

// The text a find searches in `record` for `option`: the searched fields,
// each trimmed of blanks, joined by single spaces. The picture path, the
// home free text and the dates are never searched.
QString SearchText(const ContactRecord& record, SearchScope scope);

// True when `phrase` occurs in SearchText(record, scope); IgnoreCase
// ignores capitalization (é matches É).
bool MatchesSearch(const ContactRecord& record, const QString& phrase, SearchScope scope,
                   SearchCompare compare);

// MatchesSearch prepared once for a whole list rebuild: it works on the
// record's stored bytes, so that a find over the largest book stays quick.
class SearchMatcher {
  public:
    SearchMatcher(const QString& phrase, SearchScope scope, SearchCompare compare);
    bool matches(const ContactRecord& record) const;

  private:
    QString m_phrase;
    SearchScope m_scope;
    bool m_ignoreCase;
    // The phrase in the file's code page (case-folded when ignoring case);
    // unusable when the phrase has characters the code page lacks.
    std::string m_bytes;
    bool m_bytewise;
    mutable std::string m_text;
};

}  // namespace corvane
