#include "codepage.h"

#include <gtest/gtest.h>

namespace corvane {
namespace {

TEST(CodePage, WesternCharactersTakeOneByteEach) {
    // é, ü, €, the middle dot and curly quotes all have their own byte.
    EXPECT_EQ(cp1252::encode("é"), "\xE9");
    EXPECT_EQ(cp1252::encode("ü"), "\xFC");
    EXPECT_EQ(cp1252::encode("€"), "\x80");
    EXPECT_EQ(cp1252::encode("·"), "\xB7");
    EXPECT_EQ(cp1252::encode("\u201Cquoted\u201D \u2018so\u2019"), "\x93quoted\x94 \x91so\x92");
    EXPECT_EQ(cp1252::decode("\x80\x93\x94\xE9\xFC\xB7"), "€“”éü·");
}

TEST(CodePage, CharactersTheCodePageLacksBecomeOneQuestionMarkEach) {
    EXPECT_EQ(cp1252::encode("Ωmega"), "?mega");
    EXPECT_EQ(cp1252::encode("日本"), "??");
    // A character outside the Basic Multilingual Plane is one character too.
    EXPECT_EQ(cp1252::encode("a😀b"), "a?b");
    EXPECT_FALSE(cp1252::canEncode("a😀b"));
    EXPECT_TRUE(cp1252::canEncode("Crème brûlée €5"));
    // Control characters of the C1 range that Windows-1252 replaced with
    // letters cannot be stored either.
    EXPECT_EQ(cp1252::encode("\u0080"), "?");
}

TEST(CodePage, MalformedUtf8BecomesQuestionMarks) {
    EXPECT_EQ(cp1252::encode("a\xC3"), "a?");
    EXPECT_EQ(cp1252::encode("\xFF\xFE"), "??");
    EXPECT_EQ(cp1252::encode("\xC0\xAF"), "??");  // an overlong '/'
}

TEST(CodePage, EveryByteSurvivesDecodingAndEncodingAgain) {
    std::string all;
    for (int b = 0; b < 256; ++b) {
        all += static_cast<char>(b);
    }
    EXPECT_EQ(cp1252::encode(cp1252::decode(all)), all);
}

}  // namespace
}  // namespace corvane
