#pragma once

// The life of the program's windows, written once: each runs its
// Form_Activate at its first showing only, and a dialog that fades closes
// by fading out (or at once when fading is off), without a second close
// request (Esc or the close box during the fade) starting it again.

#include <functional>

namespace corvane {

class FadeController;

// Runs an action the first time its window is shown. The window calls
// shown() from its showEvent.
class FirstShowing {
  public:
    explicit FirstShowing(std::function<void()> action) : m_action(std::move(action)) {}
    void shown() {
        if (!m_done) {
            m_done = true;
            m_action();
        }
    }

  private:
    std::function<void()> m_action;
    bool m_done = false;
};

// Closes a fading dialog. `closeNow` closes it for good (QDialog::reject,
// not the dialog's own override); `fade` closes through it at the end of
// its fade-out.
class FadingClose {
  public:
    FadingClose(FadeController& fade, std::function<void()> closeNow);

    // Fades the dialog out when `fading`, then closes it; otherwise closes
    // it at once.
    void close(bool fading);
    // Whether the dialog is closing: the dialog's reject() override starts
    // its own closing only when it is not.
    bool closing() const { return m_closing; }

  private:
    FadeController& m_fade;
    std::function<void()> m_closeNow;
    bool m_closing = false;
};

}  // namespace corvane
