#include "search.h"

#include <array>

#include "codepage.h"
#include "recordtext.h"

namespace corvane {
namespace {

// The searched fields of "Search all text", in the order they are joined.
constexpr std::array<Field, 28> kAllText = {
    Field::Title,          Field::FullName,         Field::Nickname,
    Field::HomeAddress1,   Field::HomeAddress2,     Field::HomeCityStateZip,
    Field::HomeEmail,      Field::HomeWebPage,      Field::HomePhone,
    Field::HomeFax,        Field::HomePager,        Field::HomeCell1,
    Field::HomeCell2,      Field::HomeOtherPhone,   Field::WorkAddress1,
    Field::WorkAddress2,   Field::WorkCityStateZip, Field::WorkEmail,
    Field::WorkWebPage,    Field::WorkPhone,        Field::WorkFax,
    Field::WorkPager,      Field::WorkCell1,        Field::WorkCell2,
    Field::WorkOtherPhone, Field::WorkOtherInfo,    Field::Affiliations,
    Field::Comments,
};

// Lower case of every Windows-1252 byte: the letters of the code page fold
// as Unicode folds them, everything else stays.
const std::array<char, 256>& foldTable() {
    static const std::array<char, 256> table = [] {
        std::array<char, 256> t{};
        for (int b = 0; b < 256; ++b) {
            int folded = b;
            if ((b >= 'A' && b <= 'Z') || (b >= 0xC0 && b <= 0xDE && b != 0xD7)) {
                folded = b + 0x20;
            } else if (b == 0x8A || b == 0x8C || b == 0x8E) {  // Š Œ Ž
                folded = b + 0x10;
            } else if (b == 0x9F) {  // Ÿ
                folded = 0xFF;
            }
            t[b] = static_cast<char>(folded);
        }
        return t;
    }();
    return table;
}

void fold(std::string& bytes) {
    const auto& table = foldTable();
    for (char& c : bytes) {
        c = table[static_cast<unsigned char>(c)];
    }
}

template <typename Append>
void forEachSearchedField(SearchScope scope, Append append) {
    switch (scope) {
        case SearchScope::Comments:
            append(Field::Comments);
            return;
        case SearchScope::Affiliations:
            append(Field::Affiliations);
            return;
        default:
            for (Field field : kAllText) {
                if (scope == SearchScope::AllButComments && field == Field::Comments) {
                    continue;
                }
                append(field);
            }
    }
}

}  // namespace

QString SearchText(const ContactRecord& record, SearchScope scope) {
    QString text;
    bool first = true;
    forEachSearchedField(scope, [&](Field field) {
        if (!first) {
            text += u' ';
        }
        first = false;
        text += recordText(record, field);
    });
    return text;
}

bool MatchesSearch(const ContactRecord& record, const QString& phrase, SearchScope scope,
                   SearchCompare compare) {
    return SearchText(record, scope)
        .contains(phrase,
                  compare == SearchCompare::IgnoreCase ? Qt::CaseInsensitive : Qt::CaseSensitive);
}

SearchMatcher::SearchMatcher(const QString& phrase, SearchScope scope, SearchCompare compare)
    : m_phrase(phrase),
      m_scope(scope),
      m_ignoreCase(compare == SearchCompare::IgnoreCase),
      m_bytewise(cp1252::canEncode(phrase.toStdString())) {
    if (m_bytewise) {
        m_bytes = cp1252::encode(phrase.toStdString());
        if (m_ignoreCase) {
            fold(m_bytes);
        }
    }
}

bool SearchMatcher::matches(const ContactRecord& record) const {
    if (!m_bytewise) {
        return MatchesSearch(record, m_phrase, m_scope,
                             m_ignoreCase ? SearchCompare::IgnoreCase : SearchCompare::Exact);
    }
    m_text.clear();
    bool first = true;
    forEachSearchedField(m_scope, [&](Field field) {
        if (!first) {
            m_text += ' ';
        }
        first = false;
        m_text += record.rawText(field);
    });
    if (m_ignoreCase) {
        fold(m_text);
    }
    return m_text.find(m_bytes) != std::string::npos;
}

}  // namespace corvane
