#include "modfadeinout.h"

#include <gtest/gtest.h>

#include <QElapsedTimer>
#include <QEventLoop>
#include <QLineEdit>
#include <QTest>
#include <QWidget>

namespace corvane {
namespace {

int alphaOf(const QWidget& w) {
    return qRound(w.windowOpacity() * 255);
}

TEST(ApplyWindowAlpha, DoesNothingUnlessForcedOrSwitchedOn) {
    QWidget window;
    EXPECT_FALSE(modFadeInOut::ApplyWindowAlpha(&window, 0, false, false));
    EXPECT_EQ(alphaOf(window), 255);
    EXPECT_TRUE(modFadeInOut::ApplyWindowAlpha(&window, 0, false, true));
    EXPECT_EQ(alphaOf(window), 0);
    EXPECT_TRUE(modFadeInOut::ApplyWindowAlpha(&window, 204, true, false));
    EXPECT_EQ(alphaOf(window), 204);
}

class Fade : public testing::Test {
  protected:
    QWidget window;
    FadeController* fade = new FadeController(&window);
    std::vector<int> seen;

    // Runs the fade tick by tick, recording each alpha shown.
    void runToEnd() {
        for (int i = 0; i < 300 && (i == 0 || fade->isRunning()); ++i) {
            fade->timerFadeInOut_Timer();
            seen.push_back(alphaOf(window));
        }
    }
};

TEST_F(Fade, InBySteppingTwentyEndsExactlyAtTheEnd) {
    fade->StartFade(0, 255, 20, false);
    runToEnd();
    ASSERT_EQ(seen.size(), 13u);
    EXPECT_EQ(seen.front(), 20);  // the first visible alpha is start + step
    EXPECT_EQ(seen[11], 240);
    EXPECT_EQ(seen.back(), 255);
    EXPECT_FALSE(fade->isRunning());
}

TEST_F(Fade, OutStepsDownAndTheFirstVisibleAlphaIsStartMinusStep) {
    fade->StartFade(255, 204, 2, false);
    runToEnd();
    EXPECT_EQ(seen.front(), 253);
    EXPECT_EQ(seen.back(), 204);
    EXPECT_EQ(seen.size(), 26u);
}

TEST_F(Fade, EqualStartAndEndFinishesOnTheFirstTick) {
    fade->StartFade(204, 204, 2, false);
    fade->timerFadeInOut_Timer();
    EXPECT_FALSE(fade->isRunning());
    EXPECT_EQ(alphaOf(window), 204);
}

TEST_F(Fade, TheWindowTakesNoInputWhileFadingAndDoesAfterwards) {
    auto* edit = new QLineEdit(&window);
    window.show();
    edit->setFocus();
    int closings = 0;
    fade->setClosingStep([&] { ++closings; });
    fade->StartFade(0, 255, 20, false);
    EXPECT_FALSE(fade->blocksInput());  // nothing is blocked before the first tick
    fade->timerFadeInOut_Timer();
    EXPECT_TRUE(fade->blocksInput());
    EXPECT_TRUE(window.isEnabled());  // it does not look disabled
    QTest::keyClicks(edit, "ab");
    EXPECT_EQ(edit->text(), "");
    runToEnd();
    QTest::keyClicks(edit, "ab");
    EXPECT_EQ(edit->text(), "ab");
    EXPECT_FALSE(fade->blocksInput());
    EXPECT_EQ(closings, 0);
}

TEST_F(Fade, AClosingFadeRunsTheClosingStepOnceAtTheEnd) {
    int closings = 0;
    fade->setClosingStep([&] { ++closings; });
    fade->StartFade(255, 0, 20, true);
    runToEnd();
    EXPECT_EQ(seen.back(), 0);
    EXPECT_EQ(closings, 1);
    EXPECT_FALSE(fade->blocksInput());
}

TEST_F(Fade, ANewFadeReplacesOneNotYetStarted) {
    // The title window starts brightening and at once its closing fade: the
    // closing fade starts from 255.
    fade->StartFade(204, 255, 2, false);
    fade->StartFade(255, 0, 20, false);
    fade->timerFadeInOut_Timer();
    EXPECT_EQ(alphaOf(window), 235);
}

TEST_F(Fade, TicksEverySixteenMilliseconds) {
    window.show();
    // A plain event loop, not qWaitFor, which sleeps between its rounds and
    // so delivers the ticks late and bunched.
    QEventLoop loop;
    QElapsedTimer clock;
    std::vector<qint64> ticks;
    QObject::connect(&fade->timer(), &QTimer::timeout, &window, [&] {
        ticks.push_back(clock.nsecsElapsed());
        if (!fade->isRunning()) {
            loop.quit();
        }
    });
    QTimer::singleShot(5000, &loop, &QEventLoop::quit);
    clock.start();
    fade->StartFade(0, 255, 20, false);
    loop.exec();
    EXPECT_FALSE(fade->isRunning());
    EXPECT_EQ(alphaOf(window), 255);
    ASSERT_EQ(ticks.size(), 13u);
    EXPECT_EQ(fade->timer().interval(), 16);
    // The nth tick comes no sooner than n times 16 ms after the start (less
    // a millisecond of the clock's grain); a busy machine may only make
    // them later.
    for (std::size_t n = 1; n <= ticks.size(); ++n) {
        EXPECT_GE(ticks[n - 1], static_cast<qint64>(n) * 16'000'000 - 1'000'000)
            << "tick " << n << " came too soon";
    }
}

}  // namespace
}  // namespace corvane
