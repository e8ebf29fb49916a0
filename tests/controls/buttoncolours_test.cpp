#include "buttoncolours.h"

#include <gtest/gtest.h>

namespace corvane {
namespace {

::testing::AssertionResult sameRgb(QRgb actual, QRgb expected) {
    if ((actual & 0xFFFFFF) == (expected & 0xFFFFFF)) {
        return ::testing::AssertionSuccess();
    }
    return ::testing::AssertionFailure() << "got (" << qRed(actual) << "," << qGreen(actual) << ","
                                         << qBlue(actual) << ") expected (" << qRed(expected) << ","
                                         << qGreen(expected) << "," << qBlue(expected) << ")";
}

TEST(ShiftColour, MovesEveryChannelByTheDelta) {
    EXPECT_TRUE(sameRgb(shiftColour(qRgb(100, 150, 200), 10, false, false), qRgb(110, 160, 210)));
    EXPECT_TRUE(sameRgb(shiftColour(qRgb(100, 150, 200), -64, false, false), qRgb(36, 86, 136)));
}

TEST(ShiftColour, SoftBevelHalvesTheDeltaTowardZero) {
    EXPECT_TRUE(sameRgb(shiftColour(qRgb(100, 100, 100), -64, false, true), qRgb(68, 68, 68)));
    EXPECT_TRUE(sameRgb(shiftColour(qRgb(100, 100, 100), -9, false, true), qRgb(96, 96, 96)));
    EXPECT_TRUE(sameRgb(shiftColour(qRgb(100, 100, 100), 47, false, true), qRgb(123, 123, 123)));
}

TEST(ShiftColour, ScaledBlueMovesInProportionToItsValue) {
    // +48 on blue 96 is 48 * 96 / 192 = 24; red and green move the whole way.
    EXPECT_TRUE(sameRgb(shiftColour(qRgb(10, 20, 96), 48, true, false), qRgb(58, 68, 120)));
    // -48 * 50 / 192 = -12.5, cut toward zero.
    EXPECT_TRUE(sameRgb(shiftColour(qRgb(100, 100, 50), -48, true, false), qRgb(52, 52, 38)));
    EXPECT_TRUE(sameRgb(shiftColour(qRgb(100, 100, 0), -48, true, false), qRgb(52, 52, 0)));
}

TEST(ShiftColour, ChannelsStopAtTheEndsInsteadOfWrapping) {
    EXPECT_TRUE(sameRgb(shiftColour(qRgb(255, 255, 255), 47, false, false), qRgb(255, 255, 255)));
    EXPECT_TRUE(sameRgb(shiftColour(qRgb(0, 0, 0), -64, false, false), qRgb(0, 0, 0)));
    EXPECT_TRUE(sameRgb(shiftColour(qRgb(250, 5, 128), 10, false, false), qRgb(255, 15, 138)));
    EXPECT_TRUE(sameRgb(shiftColour(qRgb(250, 5, 128), -10, false, false), qRgb(240, 0, 118)));
    EXPECT_TRUE(sameRgb(shiftColour(qRgb(255, 255, 255), 200, true, false), qRgb(255, 255, 255)));
}

TEST(BlendToWhite, MixesInTheAmountOfWhite) {
    EXPECT_TRUE(sameRgb(blendToWhite(qRgb(0, 0, 0), 176), qRgb(176, 176, 176)));
    EXPECT_TRUE(sameRgb(blendToWhite(qRgb(255, 255, 255), 176), qRgb(255, 255, 255)));
    // 176 + 100 * 79 / 255 = 176 + 30
    EXPECT_TRUE(sameRgb(blendToWhite(qRgb(100, 0, 255), 176), qRgb(206, 176, 255)));
    EXPECT_TRUE(sameRgb(blendToWhite(qRgb(10, 20, 30), 0), qRgb(10, 20, 30)));
}

TEST(StoredColours, AreBlueGreenRedWithSystemReferences) {
    QPalette palette;
    palette.setColor(QPalette::Button, QColor(1, 2, 3));
    EXPECT_TRUE(sameRgb(translateColour(0x00336699, palette), qRgb(0x99, 0x66, 0x33)));
    EXPECT_TRUE(sameRgb(translateColour(kSysButtonFace, palette), qRgb(1, 2, 3)));
    EXPECT_EQ(toOleColor(qRgb(0x99, 0x66, 0x33)), 0x00336699u);
    EXPECT_EQ(oleRgb(192, 192, 192), 0xC0C0C0u);
}

TEST(DeriveColours, SchemeTwoTakesItsTonesFromTheFace) {
    ColourInputs in;
    in.scheme = 2;
    in.backColor = oleRgb(192, 192, 192);
    in.backOver = oleRgb(200, 220, 240);
    in.foreColor = oleRgb(0, 0, 128);
    in.foreOver = oleRgb(128, 0, 0);
    in.buttonType = ButtonType::SeeAll;
    const QPalette palette;
    const ButtonColours c = deriveColours(in, palette, palette);
    EXPECT_TRUE(sameRgb(c.face, qRgb(192, 192, 192)));
    EXPECT_TRUE(sameRgb(c.faceOver, qRgb(200, 220, 240)));
    EXPECT_TRUE(sameRgb(c.text, qRgb(0, 0, 128)));
    EXPECT_TRUE(sameRgb(c.textOver, qRgb(128, 0, 0)));
    EXPECT_TRUE(sameRgb(c.shadow, qRgb(128, 128, 128)));
    EXPECT_TRUE(sameRgb(c.light, qRgb(223, 223, 223)));
    EXPECT_TRUE(sameRgb(c.highlight, qRgb(239, 239, 239)));
    EXPECT_TRUE(sameRgb(c.darkShadow, qRgb(0, 0, 0)));
    EXPECT_TRUE(sameRgb(c.select, qRgb(64, 64, 64)));
    EXPECT_TRUE(sameRgb(c.selectLight, qRgb(192, 192, 192)));
    EXPECT_TRUE(sameRgb(c.mask, qRgb(192, 192, 192)));
    EXPECT_TRUE(sameRgb(c.blueLight, qRgb(240, 240, 240)));  // 48 * 192 / 192

    // Hovered, the over-colour is the face and the tones follow it.
    const ButtonColours over = deriveColours(in, palette, palette, true);
    EXPECT_TRUE(sameRgb(over.face, qRgb(200, 220, 240)));
    EXPECT_TRUE(sameRgb(over.shadow, qRgb(136, 156, 176)));
}

TEST(DeriveColours, SchemesOneThreeAndFour) {
    QPalette system;
    system.setColor(QPalette::Button, QColor(10, 20, 30));
    system.setColor(QPalette::ButtonText, QColor(1, 1, 1));
    system.setColor(QPalette::Highlight, QColor(0, 0, 255));
    QPalette parent;
    parent.setColor(QPalette::Window, QColor(100, 100, 100));
    parent.setColor(QPalette::WindowText, QColor(5, 6, 7));

    ColourInputs in;
    in.scheme = 7;  // anything unknown is the system scheme
    ButtonColours c = deriveColours(in, system, parent);
    EXPECT_TRUE(sameRgb(c.face, qRgb(10, 20, 30)));
    EXPECT_TRUE(sameRgb(c.text, qRgb(1, 1, 1)));
    EXPECT_TRUE(sameRgb(c.selectLight, qRgb(176, 176, 255)));

    in.scheme = 3;
    c = deriveColours(in, system, parent);
    EXPECT_TRUE(sameRgb(c.face, qRgb(192, 192, 192)));
    EXPECT_TRUE(sameRgb(c.light, qRgb(223, 223, 223)));
    EXPECT_TRUE(sameRgb(c.select, qRgb(0, 0, 128)));
    EXPECT_TRUE(sameRgb(c.selectLight, qRgb(173, 173, 209)));

    in.scheme = 4;
    c = deriveColours(in, system, parent);
    EXPECT_TRUE(sameRgb(c.face, qRgb(100, 100, 100)));
    EXPECT_TRUE(sameRgb(c.text, qRgb(5, 6, 7)));
    EXPECT_TRUE(sameRgb(c.shadow, qRgb(36, 36, 36)));
    EXPECT_TRUE(sameRgb(c.select, qRgb(0, 0, 255)));
}

}  // namespace
}  // namespace corvane
