#pragma once

// Windows fade in as they open and out as they close, through per-window
// opacity. Fading is off until the user switches it on, and stays off for
// good where the desktop cannot make a window translucent.

#include <QObject>
#include <QTimer>
#include <functional>

class QWidget;

namespace corvane {

namespace modFadeInOut {

// True where Qt can set a window's opacity: on X11 and the offscreen
// platform (and on Windows and macOS), not on Wayland.
bool opacitySupported();

// Sets `window`'s opacity to `alpha` (0 to 255). Without `force` it does
// nothing unless `fadeStatus` (the stored preference) is on. Returns true
// when the opacity was set, false when it was not or could not be.
bool ApplyWindowAlpha(QWidget* window, int alpha, bool force, bool fadeStatus);

}  // namespace modFadeInOut

// One window's fade: its state and its timer, ticking every 16 ms. While a
// fade runs the window takes no input; it does not look disabled.
class FadeController : public QObject {
    Q_OBJECT
  public:
    explicit FadeController(QWidget* window);
    ~FadeController() override;

    // Records a fade from `startAlpha` to `endAlpha` by `step` and starts the
    // timer; the first tick shows start +/- step. A fade already running is
    // replaced. With `closeWhenDone` the last step runs the closing step.
    void StartFade(int startAlpha, int endAlpha, int step, bool closeWhenDone);

    // What the last step of a closing fade does; by default it closes the window.
    void setClosingStep(std::function<void()> step) { m_closingStep = std::move(step); }

    bool isRunning() const { return m_timer.isActive(); }
    // The timer that drives the steps, for watching its ticks.
    const QTimer& timer() const { return m_timer; }
    int currentAlpha() const { return m_current; }
    bool blocksInput() const { return m_blocking; }

    // One step of the animation (the timer calls it).
    void timerFadeInOut_Timer();

  protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

  private:
    void setBlocking(bool on);

    QWidget* m_window;
    QTimer m_timer;
    int m_start = 0;
    int m_end = 0;
    int m_step = 0;
    bool m_closeWhenDone = false;
    bool m_firstTick = false;
    qint16 m_current = 0;
    bool m_blocking = false;
    std::function<void()> m_closingStep;
};

}  // namespace corvane
