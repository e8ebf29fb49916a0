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
bool matches(const ContactRecord& r, const QString& phrase, int option, int mode = 1) {
    const bool plain = MatchesSearch(r, phrase, option, mode);
    EXPECT_EQ(SearchMatcher(phrase, option, mode).matches(r), plain) << phrase.toStdString();
    return plain;
}

TEST(SearchText, JoinsTheSearchedFieldsWithSingleSpaces) {
    const QString all = SearchText(person(), kSearchAllText);
    EXPECT_TRUE(all.startsWith("Dr. Smith, John  "));  // an empty nickname leaves two spaces
    EXPECT_TRUE(all.endsWith("First Church\r\nRotary Loves the tuba\r\nand gardening"));
    EXPECT_FALSE(all.contains("hidden home note"));
    EXPECT_FALSE(all.contains("john.png"));
    EXPECT_EQ(SearchText(person(), kSearchComments), "Loves the tuba\r\nand gardening");
    EXPECT_EQ(SearchText(person(), kSearchAffiliations), "First Church\r\nRotary");
    EXPECT_FALSE(SearchText(person(), kSearchAllButComments).contains("tuba"));
}

TEST(MatchesSearch, CapitalizationIsIgnoredOnlyWhenAsked) {
    EXPECT_TRUE(matches(person(), "smith", kSearchAllText, 1));
    EXPECT_FALSE(matches(person(), "smith", kSearchAllText, 0));
    EXPECT_TRUE(matches(person(), "Smith", kSearchAllText, 0));
}

TEST(MatchesSearch, AffiliationsOnlyFindsSubstrings) {
    EXPECT_TRUE(matches(person(), "church", kSearchAffiliations));
    ContactRecord society;
    society.setText(Field::Affiliations, "Churchill Society");
    EXPECT_TRUE(matches(society, "church", kSearchAffiliations));
    EXPECT_FALSE(matches(person(), "tuba", kSearchAffiliations));
}

TEST(MatchesSearch, AWordOnlyInTheCommentsDependsOnTheOption) {
    EXPECT_TRUE(matches(person(), "tuba", kSearchAllText));
    EXPECT_TRUE(matches(person(), "tuba", kSearchComments));
    EXPECT_FALSE(matches(person(), "tuba", kSearchAllButComments));
}

TEST(MatchesSearch, WorkFieldsAreSearchedButNotTheHomeNoteOrThePicture) {
    EXPECT_TRUE(matches(person(), "555-0199", kSearchAllText));
    EXPECT_TRUE(matches(person(), "reception", kSearchAllText));
    EXPECT_FALSE(matches(person(), "hidden home", kSearchAllText));
    EXPECT_FALSE(matches(person(), "pictures", kSearchAllText));
}

TEST(MatchesSearch, APhraseMaySpanNeighbouringFields) {
    EXPECT_TRUE(matches(person(), "Dr. Smith", kSearchAllText));
    EXPECT_TRUE(matches(person(), "Rotary Loves", kSearchAllText));
}

TEST(MatchesSearch, AccentedLettersMatchTheirCapitals) {
    ContactRecord r;
    r.setText(Field::FullName, "ÉLODIE Müller, Œuvre Ÿves");
    EXPECT_TRUE(matches(r, "élodie", kSearchAllText, 1));
    EXPECT_TRUE(matches(r, "MÜLLER", kSearchAllText, 1));
    EXPECT_TRUE(matches(r, "œuvre ÿves", kSearchAllText, 1));
    EXPECT_FALSE(matches(r, "élodie", kSearchAllText, 0));
    // A phrase the data file's code page cannot hold never matches.
    EXPECT_FALSE(matches(r, "Ωmega", kSearchAllText, 1));
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
        matches(r, single, kSearchComments, 1);
        matches(r, single.toUpper(), kSearchComments, 1);
        matches(r, single.toLower(), kSearchComments, 1);
    }
}

}  // namespace
}  // namespace corvane
