#include "search.h"

#include <gtest/gtest.h>

#include "codepage.h"

namespace corvane {
namespace {

ContactRecord person() {
    ContactRecord r;
    r.setText(Field::Title, "Dr.");
    r.setText(Field::FullName, "Smith, John");
    r.setText(Field::HomeOtherInfo, "hidden home note");
    r.setText(Field::WorkPhone, "555-0199");
    r.setText(Field::WorkOtherInfo, "reception desk");
    r.setText(Field::Comments, "Loves the tuba\r\nand gardening");
    r.setText(Field::Affiliations, "First Church\r\nRotary");
    r.setText(Field::PicturePath, "/home/pictures/john.png");
    return r;
}

// Both ways of matching must agree: the plain rule and the prepared one the
// list rebuild uses.
bool matches(const ContactRecord& r, const QString& phrase, SearchScope option,
             SearchCompare mode = SearchCompare::IgnoreCase) {
    const bool plain = MatchesSearch(r, phrase, option, mode);
    EXPECT_EQ(SearchMatcher(phrase, option, mode).matches(r), plain) << phrase.toStdString();
    return plain;
}

TEST(SearchText, JoinsTheSearchedFieldsWithSingleSpaces) {
    const QString all = SearchText(person(), SearchScope::AllText);
    EXPECT_TRUE(all.startsWith("Dr. Smith, John  "));  // an empty nickname leaves two spaces
    EXPECT_TRUE(all.endsWith("First Church\r\nRotary Loves the tuba\r\nand gardening"));
    EXPECT_FALSE(all.contains("hidden home note"));
    EXPECT_FALSE(all.contains("john.png"));
    EXPECT_EQ(SearchText(person(), SearchScope::Comments), "Loves the tuba\r\nand gardening");
    EXPECT_EQ(SearchText(person(), SearchScope::Affiliations), "First Church\r\nRotary");
    EXPECT_FALSE(SearchText(person(), SearchScope::AllButComments).contains("tuba"));
}

TEST(MatchesSearch, CapitalizationIsIgnoredOnlyWhenAsked) {
    EXPECT_TRUE(matches(person(), "smith", SearchScope::AllText, SearchCompare::IgnoreCase));
    EXPECT_FALSE(matches(person(), "smith", SearchScope::AllText, SearchCompare::Exact));
    EXPECT_TRUE(matches(person(), "Smith", SearchScope::AllText, SearchCompare::Exact));
}

TEST(MatchesSearch, AffiliationsOnlyFindsSubstrings) {
    EXPECT_TRUE(matches(person(), "church", SearchScope::Affiliations));
    ContactRecord society;
    society.setText(Field::Affiliations, "Churchill Society");
    EXPECT_TRUE(matches(society, "church", SearchScope::Affiliations));
    EXPECT_FALSE(matches(person(), "tuba", SearchScope::Affiliations));
}

TEST(MatchesSearch, AWordOnlyInTheCommentsDependsOnTheOption) {
    EXPECT_TRUE(matches(person(), "tuba", SearchScope::AllText));
    EXPECT_TRUE(matches(person(), "tuba", SearchScope::Comments));
    EXPECT_FALSE(matches(person(), "tuba", SearchScope::AllButComments));
}

TEST(MatchesSearch, WorkFieldsAreSearchedButNotTheHomeNoteOrThePicture) {
    EXPECT_TRUE(matches(person(), "555-0199", SearchScope::AllText));
    EXPECT_TRUE(matches(person(), "reception", SearchScope::AllText));
    EXPECT_FALSE(matches(person(), "hidden home", SearchScope::AllText));
    EXPECT_FALSE(matches(person(), "pictures", SearchScope::AllText));
}

TEST(MatchesSearch, APhraseMaySpanNeighbouringFields) {
    EXPECT_TRUE(matches(person(), "Dr. Smith", SearchScope::AllText));
    EXPECT_TRUE(matches(person(), "Rotary Loves", SearchScope::AllText));
}

TEST(MatchesSearch, AccentedLettersMatchTheirCapitals) {
    ContactRecord r;
    r.setText(Field::FullName, "ÉLODIE Müller, Œuvre Ÿves");
    EXPECT_TRUE(matches(r, "élodie", SearchScope::AllText, SearchCompare::IgnoreCase));
    EXPECT_TRUE(matches(r, "MÜLLER", SearchScope::AllText, SearchCompare::IgnoreCase));
    EXPECT_TRUE(matches(r, "œuvre ÿves", SearchScope::AllText, SearchCompare::IgnoreCase));
    EXPECT_FALSE(matches(r, "élodie", SearchScope::AllText, SearchCompare::Exact));
    // A phrase the data file's code page cannot hold never matches.
    EXPECT_FALSE(matches(r, "Ωmega", SearchScope::AllText, SearchCompare::IgnoreCase));
}

TEST(MatchesSearch, ThePreparedRuleAgreesWithThePlainOneOnEveryCodePageLetter) {
    // Every letter of the code page, against a record holding them all.
    ContactRecord r;
    std::string all;
    for (int b = 0x41; b < 0x100; ++b) {
        all += static_cast<char>(b);
    }
    r.setText(Field::Comments, cp1252::decode(all));
    for (int b = 0x41; b < 0x100; ++b) {
        const QString single =
            QString::fromStdString(cp1252::decode(std::string(1, static_cast<char>(b))));
        matches(r, single, SearchScope::Comments, SearchCompare::IgnoreCase);
        matches(r, single.toUpper(), SearchScope::Comments, SearchCompare::IgnoreCase);
        matches(r, single.toLower(), SearchScope::Comments, SearchCompare::IgnoreCase);
    }
}

}  // namespace
}  // namespace corvane
