#include "modfadeinout.h"

#include <QApplication>
#include <QGuiApplication>
#include <QWidget>
#include <algorithm>

#include "timing.h"

namespace corvane {

namespace modFadeInOut {

bool opacitySupported() {
    const QString platform = QGuiApplication::platformName();
    return platform == QLatin1String("xcb") || platform == QLatin1String("offscreen") ||
           platform == QLatin1String("windows") || platform == QLatin1String("cocoa");
}

bool ApplyWindowAlpha(QWidget* window, int alpha, bool force, bool fadeStatus) {
    if (!force && !fadeStatus) {
        return false;
    }
    if (window == nullptr || !opacitySupported()) {
        return false;
    }
    window->setWindowOpacity(std::clamp(alpha, 0, 255) / 255.0);
    return true;
}

}  // namespace modFadeInOut

FadeController::FadeController(QWidget* window) : QObject(window), m_window(window) {
    setObjectName(QStringLiteral("timerFadeInOut"));
    m_timer.setInterval(kTimerTickMs);
    connect(&m_timer, &QTimer::timeout, this, &FadeController::timerFadeInOut_Timer);
    m_closingStep = [this] { m_window->close(); };
}

FadeController::~FadeController() {
    setBlocking(false);
}

void FadeController::StartFade(int startAlpha, int endAlpha, int step, bool closeWhenDone) {
    m_start = std::clamp(startAlpha, 0, 255);
    m_end = std::clamp(endAlpha, 0, 255);
    m_step = std::clamp(step, 0, 255);
    m_closeWhenDone = closeWhenDone;
    m_firstTick = true;
    m_timer.start();
}

void FadeController::timerFadeInOut_Timer() {
    if (m_firstTick) {
        m_firstTick = false;
        m_current = static_cast<qint16>(m_start);
        setBlocking(true);
    }
    if (m_start < m_end) {
        m_current = static_cast<qint16>(std::min(m_end, m_current + m_step));
    } else {
        m_current = static_cast<qint16>(std::max(m_end, m_current - m_step));
    }
    m_window->setWindowOpacity((m_current & 0xFF) / 255.0);
    if (m_current != m_end) {
        return;
    }
    m_timer.stop();
    setBlocking(false);
    if (m_closeWhenDone) {
        m_closingStep();
    }
}

void FadeController::setBlocking(bool on) {
    if (on == m_blocking) {
        return;
    }
    m_blocking = on;
    if (on) {
        qApp->installEventFilter(this);
    } else {
        qApp->removeEventFilter(this);
    }
}

// Swallows the user's input to the fading window, as a disabled window would,
// without greying its controls for the fifth of a second the fade lasts.
bool FadeController::eventFilter(QObject* watched, QEvent* event) {
    switch (event->type()) {
        case QEvent::MouseButtonPress:
        case QEvent::MouseButtonRelease:
        case QEvent::MouseButtonDblClick:
        case QEvent::KeyPress:
        case QEvent::KeyRelease:
        case QEvent::Shortcut:
        case QEvent::ShortcutOverride:
        case QEvent::Wheel:
        case QEvent::Close: {
            auto* widget = qobject_cast<QWidget*>(watched);
            return widget != nullptr && widget->window() == m_window &&
                   (event->type() != QEvent::Close || widget == m_window);
        }
        default:
            return false;
    }
}

}  // namespace corvane
