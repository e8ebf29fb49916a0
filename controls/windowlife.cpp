#include "windowlife.h"

#include "modfadeinout.h"

namespace corvane {

FadingClose::FadingClose(FadeController& fade, std::function<void()> closeNow)
    : m_fade(fade), m_closeNow(std::move(closeNow)) {
    m_fade.setClosingStep([this] {
        m_closing = true;
        m_closeNow();
    });
}

void FadingClose::close(bool fading) {
    if (fading) {
        m_fade.StartFade(255, 0, 20, true);
    } else {
        m_closing = true;
        m_closeNow();
    }
}

}  // namespace corvane
