// Buttons of the program's three styles are drawn and their pixels read back.

#include <gtest/gtest.h>

#include <QPainter>
#include <QTest>
#include <cmath>

#include "buttontestsupport.h"

namespace corvane {
namespace {

using test::ButtonWindow;
using test::rgb;

int step(int row, int height, int depth) {
    return static_cast<int>(std::nearbyintf(static_cast<float>(row) * depth / height));
}

QRgb shift(QRgb c, int delta, bool scaleBlue = false) {
    return rgb(shiftColour(c, delta, scaleBlue, false));
}

class Style3Drawing : public testing::Test {
  protected:
    ButtonWindow w{3, QSize(80, 30)};
    const QRgb blueLight = shift(test::kFace, 48, true);
};

TEST_F(Style3Drawing, UpIsShadedDownwardsInsideADarkFrame) {
    const int h = 30;
    for (int y = 3; y <= h - 4; ++y) {
        EXPECT_EQ(w.at(40, y), shift(blueLight, -step(y + 1, h, 25), true)) << "row " << y;
    }
    EXPECT_NE(w.at(40, 3), w.at(40, h - 4));
    EXPECT_EQ(w.at(40, 0), w.colour(0, 60, 115));
    EXPECT_EQ(w.at(40, h - 1), w.colour(0, 60, 115));
    EXPECT_EQ(w.at(0, 15), w.colour(0, 60, 115));
    for (QPoint corner : {QPoint(1, 1), QPoint(78, 1), QPoint(1, 28), QPoint(78, 28)}) {
        EXPECT_EQ(w.at(corner.x(), corner.y()), w.colour(16, 77, 123));
    }
}

TEST_F(Style3Drawing, CornersAreCutFromTheButtonsShape) {
    const QRegion shape = w.button->mask();
    EXPECT_FALSE(shape.contains(QPoint(0, 0)));
    EXPECT_FALSE(shape.contains(QPoint(1, 0)));
    EXPECT_FALSE(shape.contains(QPoint(0, 1)));
    EXPECT_FALSE(shape.contains(QPoint(79, 29)));
    EXPECT_TRUE(shape.contains(QPoint(1, 1)));
    EXPECT_TRUE(shape.contains(QPoint(40, 0)));
}

TEST_F(Style3Drawing, PressedIsADarkerBaseShadedUpwards) {
    const int h = 30;
    w.button->DrawButton(OrielButton::kPressed, true);
    const QRgb base = shift(blueLight, -32, true);
    for (int y = 3; y <= h - 4; ++y) {
        EXPECT_EQ(w.at(40, y), shift(base, -step(h - y, h, 25), true)) << "row " << y;
    }
    // The lightest row is now at the bottom, and every row darker than up.
    EXPECT_GT(qRed(w.at(40, h - 4)), qRed(w.at(40, 3)));
    EXPECT_EQ(w.at(40, 0), w.colour(0, 60, 115));
    EXPECT_EQ(w.at(1, 1), w.colour(16, 77, 123));
}

TEST_F(Style3Drawing, DisabledIsFlatWithAPaleFrame) {
    w.button->setEnabled(false);
    EXPECT_EQ(w.at(40, 15), shift(blueLight, -24, true));
    EXPECT_EQ(w.at(40, 0), shift(blueLight, -84, true));
    EXPECT_EQ(w.at(1, 1), shift(blueLight, -72, true));
    EXPECT_EQ(w.at(78, 28), shift(blueLight, -72, true));
}

TEST_F(Style3Drawing, HoverAndFocusColourTheInnerEdge) {
    const QRgb plainEdge = w.at(40, 1);
    w.button->setDefaultButton(true);
    EXPECT_EQ(w.at(40, 1), w.colour(206, 231, 255));  // blue: the default button
    w.window->show();
    QCursor::setPos(w.button->mapToGlobal(QPoint(40, 15)));
    QTest::mouseMove(w.button, QPoint(40, 15));
    ASSERT_TRUE(w.button->isHovering());
    EXPECT_EQ(w.at(40, 1), w.colour(255, 243, 206));  // orange: the pointer is over it
    EXPECT_NE(plainEdge, w.at(40, 1));
}

class Style14Drawing : public testing::Test {
  protected:
    ButtonWindow w{14, QSize(90, 26)};
    const QRgb face = test::kFace;
    const QRgb shadow = shift(face, -64);
    const QRgb highlight = shift(face, 47);
};

TEST_F(Style14Drawing, UpHasADoubleFrameBrightBandsAndAShadedFace) {
    const int h = 26;
    EXPECT_EQ(w.at(45, 0), shift(shadow, -50));
    EXPECT_EQ(w.at(0, 13), shift(shadow, -50));
    EXPECT_EQ(w.at(45, 1), shift(face, -9));
    EXPECT_EQ(w.at(45, 2), rgb(highlight));
    EXPECT_EQ(w.at(45, 3), rgb(highlight));
    EXPECT_EQ(w.at(2, 10), rgb(highlight));
    EXPECT_EQ(w.at(3, 10), rgb(highlight));
    for (int y = 4; y <= h - 3; ++y) {
        EXPECT_EQ(w.at(45, y), shift(highlight, -step(y + 1, h, 58))) << "row " << y;
    }
    EXPECT_FALSE(w.button->mask().contains(QPoint(0, 0)));
    EXPECT_FALSE(w.button->mask().contains(QPoint(89, 25)));
    EXPECT_TRUE(w.button->mask().contains(QPoint(1, 0)));
}

TEST_F(Style14Drawing, PressedIsFlatAndDarkerWithLightInnerEdges) {
    w.button->DrawButton(OrielButton::kPressed, true);
    EXPECT_EQ(w.at(45, 13), shift(face, -9));
    EXPECT_EQ(w.at(45, 0), shift(shadow, -48));
    EXPECT_EQ(w.at(45, 24), rgb(highlight));
    EXPECT_EQ(w.at(88, 13), rgb(highlight));
}

TEST_F(Style14Drawing, DisabledKeepsTheFramesAndEngravesTheCaption) {
    ButtonWindow captioned(14, QSize(90, 26), "Save");
    captioned.button->setEnabled(false);
    EXPECT_EQ(captioned.at(45, 0), shift(shadow, -50));
    EXPECT_EQ(captioned.at(45, 2), rgb(highlight));
    // The caption is drawn in the shadow tone with a highlight beside it,
    // never in the text colour.
    bool shadowSeen = false;
    const QRect caption = captioned.button->captionLayout().normal;
    for (int y = caption.top(); y <= caption.bottom(); ++y) {
        for (int x = caption.left(); x <= caption.right(); ++x) {
            EXPECT_NE(captioned.at(x, y), 0u);
            shadowSeen = shadowSeen || captioned.at(x, y) == shadow;
        }
    }
    EXPECT_TRUE(shadowSeen);
}

TEST_F(Style14Drawing, APictureOfOnlyTheMaskColourLeavesTheFaceUntouched) {
    const QImage before = w.button->face();
    QPixmap picture(16, 16);
    picture.fill(QColor(192, 192, 192));
    w.button->setPictureNormal(picture);
    EXPECT_EQ(w.button->face(), before);

    picture.fill(QColor(255, 0, 0));
    w.button->setPictureNormal(picture);
    EXPECT_NE(w.button->face(), before);
    EXPECT_EQ(w.at(45, 13), w.colour(255, 0, 0));  // no caption: the picture is centred
    w.button->setUseGreyscale(true);
    EXPECT_EQ(w.at(45, 13), w.colour(76, 76, 76));  // 0.30 * 255
}

TEST_F(Style14Drawing, AOnePixelHighButtonDrawsOneRow) {
    ButtonWindow thin(14, QSize(40, 1));
    EXPECT_EQ(thin.button->face().size(), QSize(40, 1));
    EXPECT_EQ(thin.at(20, 0), shift(shadow, -50));
    ButtonWindow thin3(3, QSize(40, 1));
    EXPECT_EQ(thin3.at(20, 0), thin3.colour(0, 60, 115));
}

TEST(Style11Drawing, ShowsTheParentBehindItAndAFrameOnlyWhenHoveredOrPressed) {
    ButtonWindow w(11, QSize(40, 40));
    QPalette red = w.window->palette();
    red.setColor(QPalette::Window, QColor(200, 30, 30));
    w.window->setPalette(red);
    w.window->setAutoFillBackground(true);
    w.window->show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(w.window.get()));
    w.button->Refresh();
    EXPECT_EQ(w.at(20, 20), w.colour(200, 30, 30));
    EXPECT_EQ(w.at(0, 0), w.colour(200, 30, 30));

    const QRgb face = test::kFace;
    QCursor::setPos(w.button->mapToGlobal(QPoint(20, 20)));
    QTest::mouseMove(w.button, QPoint(20, 20));
    ASSERT_TRUE(w.button->isHovering());
    EXPECT_EQ(w.at(0, 0), shift(face, 47));
    EXPECT_EQ(w.at(1, 1), shift(face, 47));
    EXPECT_EQ(w.at(39, 39), shift(face, -64));
    EXPECT_EQ(w.at(20, 20), w.colour(200, 30, 30));

    w.button->DrawButton(OrielButton::kPressed, true);
    EXPECT_EQ(w.at(0, 0), shift(face, -64));
    EXPECT_EQ(w.at(39, 39), shift(face, 47));
}

}  // namespace
}  // namespace corvane

namespace corvane {
namespace {

// The default button's caption is bold on its up face only: pressed, it
// looks as any pressed button does.
TEST(Style14Caption, TheDefaultButtonIsBoldOnlyWhileUp) {
    ButtonWindow w{14, QSize(120, 30)};
    w.button->setCaption(QStringLiteral("Save"));
    w.button->DrawButton(OrielButton::kUp, true);
    const QImage plainUp = w.button->face();
    w.button->DrawButton(OrielButton::kPressed, true);
    const QImage plainPressed = w.button->face();

    w.button->setDefaultButton(true);
    w.button->DrawButton(OrielButton::kUp, true);
    EXPECT_NE(w.button->face(), plainUp);  // bold
    w.button->DrawButton(OrielButton::kPressed, true);
    EXPECT_EQ(w.button->face(), plainPressed);
}

}  // namespace
}  // namespace corvane
