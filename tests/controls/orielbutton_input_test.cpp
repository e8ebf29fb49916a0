// What a user does to a button with the mouse and the keyboard.

#include <gtest/gtest.h>

#include <QLineEdit>
#include <QSignalSpy>
#include <QTest>

#include "buttontestsupport.h"

namespace corvane {
namespace {

using test::ButtonWindow;

class ButtonInput : public testing::Test {
  protected:
    void SetUp() override {
        w.window->show();
        w.window->activateWindow();
        ASSERT_TRUE(QTest::qWaitForWindowActive(w.window.get()));
    }
    QRgb pressedCentre() const { return test::rgb(shiftColour(test::kFace, -9, false, false)); }
    // A point of the face clear of the caption and the focus rectangle.
    QRgb centre() const { return w.at(10, 15); }

    ButtonWindow w{14, QSize(80, 30), "&Save"};
    QSignalSpy clicks{w.button, &OrielButton::Click};
};

TEST_F(ButtonInput, TheSpaceBarClicksOncePerPressAndRelease) {
    w.button->setFocus();
    QTest::keyPress(w.button, Qt::Key_Space);
    EXPECT_EQ(centre(), pressedCentre());
    EXPECT_EQ(clicks.count(), 0);
    QTest::keyRelease(w.button, Qt::Key_Space);
    EXPECT_EQ(clicks.count(), 1);
    EXPECT_NE(centre(), pressedCentre());
    QTest::keyClick(w.button, Qt::Key_Space);
    EXPECT_EQ(clicks.count(), 2);
}

TEST_F(ButtonInput, ASpaceReleasedOnAnotherButtonClicksNeither) {
    auto* other = OrielButton::createNew("Other", w.window.get());
    other->setGeometry(120, 20, 80, 30);
    other->show();
    QSignalSpy otherClicks(other, &OrielButton::Click);
    // The other button was clicked by space before, so a stale key would show.
    other->setFocus();
    QTest::keyClick(other, Qt::Key_Space);
    ASSERT_EQ(otherClicks.count(), 1);

    w.button->setFocus();
    QTest::keyPress(w.button, Qt::Key_Space);
    other->setFocus();
    QTest::keyRelease(other, Qt::Key_Space);
    EXPECT_EQ(otherClicks.count(), 1);
    EXPECT_EQ(clicks.count(), 0);
}

TEST_F(ButtonInput, TheRightButtonNeitherPressesNorClicks) {
    const QRgb up = centre();
    QSignalSpy downs(w.button, &OrielButton::MouseDown);
    QTest::mousePress(w.button, Qt::RightButton, {}, QPoint(40, 15));
    EXPECT_EQ(centre(), up);
    QTest::mouseRelease(w.button, Qt::RightButton, {}, QPoint(40, 15));
    EXPECT_EQ(clicks.count(), 0);
    ASSERT_EQ(downs.count(), 1);
    EXPECT_EQ(downs.at(0).at(0).value<short>(), OrielButton::kRightButton);
}

TEST_F(ButtonInput, TheLeftButtonClicksWhenReleasedOverTheButton) {
    QTest::mousePress(w.button, Qt::LeftButton, {}, QPoint(40, 15));
    EXPECT_EQ(centre(), pressedCentre());
    QTest::mouseRelease(w.button, Qt::LeftButton, {}, QPoint(40, 15));
    EXPECT_EQ(clicks.count(), 1);
}

TEST_F(ButtonInput, LeavingWithTheLeftButtonHeldGivesNoClick) {
    QTest::mousePress(w.button, Qt::LeftButton, {}, QPoint(40, 15));
    QTest::mouseMove(w.button, QPoint(200, 15));  // the button is held: a real move event
    EXPECT_NE(centre(), pressedCentre());
    QTest::mouseRelease(w.button, Qt::LeftButton, {}, QPoint(200, 15));
    EXPECT_EQ(clicks.count(), 0);
}

TEST_F(ButtonInput, ADoubleClickClicksTwice) {
    QTest::mouseClick(w.button, Qt::LeftButton, {}, QPoint(40, 15));
    QTest::mouseDClick(w.button, Qt::LeftButton, {}, QPoint(40, 15));
    EXPECT_EQ(centre(), pressedCentre());
    QTest::mouseRelease(w.button, Qt::LeftButton, {}, QPoint(40, 15));
    EXPECT_EQ(clicks.count(), 2);
}

TEST_F(ButtonInput, ACheckBoxButtonTogglesAndStaysPressedWhileOn) {
    w.button->setCheckBoxBehaviour(true);
    QTest::mouseClick(w.button, Qt::LeftButton, {}, QPoint(40, 15));
    EXPECT_TRUE(w.button->value());
    EXPECT_EQ(centre(), pressedCentre());
    w.button->setFocus();
    QTest::keyClick(w.button, Qt::Key_Space);
    EXPECT_FALSE(w.button->value());
    EXPECT_NE(centre(), pressedCentre());
    EXPECT_EQ(clicks.count(), 2);
}

TEST_F(ButtonInput, TheAccessKeyClicks) {
    EXPECT_EQ(w.button->accessKey(), QChar(u's'));
    QTest::keyClick(w.window.get(), Qt::Key_S, Qt::AltModifier);
    EXPECT_TRUE(QTest::qWaitFor([&] { return clicks.count() == 1; }, 1000));

    w.button->setCaption("Fish && Chips");
    EXPECT_TRUE(w.button->accessKey().isNull());
    EXPECT_EQ(w.button->accessibleName(), "Fish & Chips");
    QTest::keyClick(w.window.get(), Qt::Key_S, Qt::AltModifier);
    // Proof that Alt+S went by unanswered: a key that does click, pressed
    // after it, arrives with nothing before it.
    w.button->setCaption("&Fish");
    QTest::keyClick(w.window.get(), Qt::Key_F, Qt::AltModifier);
    ASSERT_TRUE(QTest::qWaitFor([&] { return clicks.count() >= 2; }, 1000));
    EXPECT_EQ(clicks.count(), 2);
}

TEST_F(ButtonInput, DisabledButtonsDoNotClick) {
    w.button->setEnabled(false);
    QTest::mouseClick(w.button, Qt::LeftButton, {}, QPoint(40, 15));
    QTest::keyClick(w.window.get(), Qt::Key_S, Qt::AltModifier);
    // The same key once the button is enabled again is the sentinel: it
    // clicks, and nothing from the disabled time clicked before it.
    w.button->setEnabled(true);
    QTest::keyClick(w.window.get(), Qt::Key_S, Qt::AltModifier);
    ASSERT_TRUE(QTest::qWaitFor([&] { return clicks.count() >= 1; }, 1000));
    EXPECT_EQ(clicks.count(), 1);
}

TEST_F(ButtonInput, SettingTheSameCaptionAgainDoesNotRedraw) {
    const int drawn = w.button->drawCount();
    w.button->setCaption("&Save");
    EXPECT_EQ(w.button->drawCount(), drawn);
    w.button->setCaption("&Saved");
    EXPECT_EQ(w.button->drawCount(), drawn + 1);
    // Nor does moving the pointer over a button that already shows its hover look.
    QTest::mouseMove(w.button, QPoint(40, 15));
    const int hovered = w.button->drawCount();
    QTest::mouseMove(w.button, QPoint(41, 16));
    QTest::mouseMove(w.button, QPoint(42, 15));
    EXPECT_EQ(w.button->drawCount(), hovered);
}

TEST_F(ButtonInput, HoveringBeginsOnEntryAndEndsWhenThePointerLeaves) {
    QSignalSpy in(w.button, &OrielButton::MouseIn);
    QSignalSpy over(w.button, &OrielButton::MouseOver);
    QSignalSpy out(w.button, &OrielButton::MouseOut);
    QTest::mouseMove(w.button, QPoint(40, 15));
    EXPECT_TRUE(w.button->isHovering());
    EXPECT_EQ(in.count(), 1);
    EXPECT_EQ(over.count(), 1);
    QTest::mouseMove(w.window.get(), QPoint(250, 150));
    EXPECT_TRUE(QTest::qWaitFor([&] { return out.count() == 1; }, 1000));
    EXPECT_FALSE(w.button->isHovering());
}

TEST_F(ButtonInput, EnterAndEscapeReachTheDefaultAndCancelButtons) {
    auto* edit = new QLineEdit(w.window.get());
    edit->setGeometry(20, 100, 100, 24);
    edit->show();
    auto* cancel = OrielButton::createNew("Cancel", w.window.get());
    cancel->setGeometry(120, 20, 80, 30);
    cancel->show();
    QSignalSpy cancels(cancel, &OrielButton::Click);
    w.button->setDefaultButton(true);
    cancel->setCancelButton(true);

    edit->setFocus();
    QTest::keyClick(edit, Qt::Key_Return);
    EXPECT_EQ(clicks.count(), 1);
    QTest::keyClick(edit, Qt::Key_Escape);
    EXPECT_EQ(cancels.count(), 1);

    // The role moves with the property; a hidden button has none.
    cancel->setCancelButton(false);
    w.button->setCancelButton(true);
    QTest::keyClick(edit, Qt::Key_Escape);
    EXPECT_EQ(clicks.count(), 2);
    w.button->hide();
    QTest::keyClick(edit, Qt::Key_Escape);
    QTest::keyClick(edit, Qt::Key_Return);
    EXPECT_EQ(clicks.count(), 2);
    EXPECT_EQ(cancels.count(), 1);
}

TEST_F(ButtonInput, EnterOnAFocusedButtonClicksThatButton) {
    auto* other = OrielButton::createNew("Other", w.window.get());
    other->setGeometry(120, 20, 80, 30);
    other->show();
    QSignalSpy otherClicks(other, &OrielButton::Click);
    w.button->setDefaultButton(true);
    other->setFocus();
    QTest::keyClick(other, Qt::Key_Return);
    EXPECT_EQ(otherClicks.count(), 1);
    EXPECT_EQ(clicks.count(), 0);
}

}  // namespace
}  // namespace corvane
