#include "buttonlayout.h"

#include <gtest/gtest.h>

namespace corvane {
namespace {

TEST(AccessKey, IsTheLetterAfterTheFirstSingleAmpersand) {
    EXPECT_EQ(accessKeyOf("&Save"), QChar(u's'));
    EXPECT_EQ(accessKeyOf("See &All Entries"), QChar(u'a'));
    EXPECT_EQ(accessKeyOf("Fish && &Chips"), QChar(u'c'));
}

TEST(AccessKey, NoneForDoubledAmpersandsShortCaptionsAndATrailingAmpersand) {
    EXPECT_TRUE(accessKeyOf("Fish && Chips").isNull());
    EXPECT_TRUE(accessKeyOf("&&").isNull());
    EXPECT_TRUE(accessKeyOf("&").isNull());
    EXPECT_TRUE(accessKeyOf("S").isNull());
    EXPECT_TRUE(accessKeyOf("Save&").isNull());
    EXPECT_TRUE(accessKeyOf("").isNull());
}

TEST(PlainCaption, ReadsAsTheScreenShowsIt) {
    EXPECT_EQ(plainCaption("&Save"), "Save");
    EXPECT_EQ(plainCaption("Fish && Chips"), "Fish & Chips");
    EXPECT_EQ(plainCaption("See &All Entries"), "See All Entries");
}

TEST(CaptionLayout, IsCentredInTheRoomThePictureLeaves) {
    QFont font("Liberation Sans");
    font.setPixelSize(12);
    const QSize size(200, 40);
    const CaptionLayout none = layoutCaption("OK", font, size, QSize(), 0);
    EXPECT_NEAR(none.normal.center().x(), 100, 2);
    EXPECT_NEAR(none.normal.center().y(), 20, 2);
    EXPECT_EQ(none.pressed, none.normal.translated(1, 1));

    // A 32-pixel picture on the left pushes the caption right by about half.
    const CaptionLayout left = layoutCaption("OK", font, size, QSize(32, 32), 0);
    EXPECT_NEAR(left.normal.center().x() - none.normal.center().x(), 18, 2);
    const CaptionLayout right = layoutCaption("OK", font, size, QSize(32, 32), 1);
    EXPECT_LT(right.normal.center().x(), none.normal.center().x());
    const CaptionLayout above = layoutCaption("OK", font, QSize(100, 100), QSize(32, 32), 2);
    EXPECT_GT(above.normal.top(), 36);
}

TEST(CaptionLayout, LongCaptionsWrapInsideTheButton) {
    QFont font("Liberation Sans");
    font.setPixelSize(12);
    const CaptionLayout layout =
        layoutCaption("A rather long caption that wraps", font, QSize(90, 60), QSize(), 0);
    EXPECT_GT(layout.normal.height(), 20);  // more than one line
    EXPECT_LE(layout.normal.width(), 90 - 8);
}

TEST(WindowRegion, RoundsTheCornersOfStylesThreeAndFourteen) {
    const QRegion three = windowRegionFor(ButtonType::SeeAll, QSize(20, 10));
    for (QPoint gone :
         {QPoint(0, 0), QPoint(1, 0), QPoint(0, 1), QPoint(19, 0), QPoint(18, 0), QPoint(19, 1),
          QPoint(0, 9), QPoint(1, 9), QPoint(0, 8), QPoint(19, 9), QPoint(18, 9), QPoint(19, 8)}) {
        EXPECT_FALSE(three.contains(gone)) << gone.x() << "," << gone.y();
    }
    for (QPoint kept : {QPoint(2, 0), QPoint(1, 1), QPoint(0, 2), QPoint(17, 9), QPoint(18, 8)}) {
        EXPECT_TRUE(three.contains(kept)) << kept.x() << "," << kept.y();
    }
    const QRegion fourteen = windowRegionFor(ButtonType::Dialog, QSize(20, 10));
    EXPECT_FALSE(fourteen.contains(QPoint(0, 0)));
    EXPECT_FALSE(fourteen.contains(QPoint(19, 9)));
    EXPECT_TRUE(fourteen.contains(QPoint(1, 0)));
    EXPECT_TRUE(fourteen.contains(QPoint(0, 1)));
    EXPECT_EQ(windowRegionFor(ButtonType::Picture, QSize(20, 10)), QRegion(0, 0, 20, 10));
}

TEST(FocusRect, IsInsetByStyle) {
    EXPECT_EQ(focusRectFor(ButtonType::SeeAll, QSize(100, 30)), QRect(4, 4, 92, 22));
    EXPECT_EQ(focusRectFor(ButtonType::Picture, QSize(100, 30)), QRect(3, 3, 94, 24));
    EXPECT_EQ(focusRectFor(ButtonType::Dialog, QSize(100, 30)), QRect(6, 6, 90, 20));
}

}  // namespace
}  // namespace corvane
