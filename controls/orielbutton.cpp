#include "orielbutton.h"

#include <QAccessible>
#include <QApplication>
#include <QKeyEvent>
#include <QKeySequence>
#include <QMouseEvent>
#include <QPainter>
#include <QScreen>
#include <QShortcutEvent>

#include "buttonroles.h"
#include "timing.h"

namespace corvane {
namespace {

short buttonCode(Qt::MouseButton button) {
    switch (button) {
        case Qt::LeftButton:
            return OrielButton::kLeftButton;
        case Qt::RightButton:
            return OrielButton::kRightButton;
        case Qt::MiddleButton:
            return OrielButton::kMiddleButton;
        default:
            return 0;
    }
}

short buttonsCode(Qt::MouseButtons buttons) {
    short code = 0;
    for (Qt::MouseButton b : {Qt::LeftButton, Qt::RightButton, Qt::MiddleButton}) {
        if (buttons & b) {
            code = static_cast<short>(code | buttonCode(b));
        }
    }
    return code;
}

short shiftCode(Qt::KeyboardModifiers modifiers) {
    return static_cast<short>(((modifiers & Qt::ShiftModifier) ? 1 : 0) |
                              ((modifiers & Qt::ControlModifier) ? 2 : 0) |
                              ((modifiers & Qt::AltModifier) ? 4 : 0));
}

// The key codes the events report: letters, digits and the space bar are
// their characters; the common special keys have the codes of the old layouts.
short keyCode(int qtKey) {
    if (qtKey < 0x80) {
        return static_cast<short>(qtKey);
    }
    switch (qtKey) {
        case Qt::Key_Backspace:
            return 8;
        case Qt::Key_Tab:
            return 9;
        case Qt::Key_Return:
        case Qt::Key_Enter:
            return 13;
        case Qt::Key_Escape:
            return 27;
        case Qt::Key_PageUp:
            return 33;
        case Qt::Key_PageDown:
            return 34;
        case Qt::Key_End:
            return 35;
        case Qt::Key_Home:
            return 36;
        case Qt::Key_Left:
            return 37;
        case Qt::Key_Up:
            return 38;
        case Qt::Key_Right:
            return 39;
        case Qt::Key_Down:
            return 40;
        case Qt::Key_Delete:
            return 46;
        default:
            if (qtKey >= Qt::Key_F1 && qtKey <= Qt::Key_F24) {
                return static_cast<short>(112 + (qtKey - Qt::Key_F1));
            }
            return static_cast<short>(qtKey & 0xFF);
    }
}

constexpr int kSpace = 32;

Qt::CursorShape cursorFor(qint16 pointer) {
    switch (pointer) {
        case 2:
            return Qt::CrossCursor;
        case 3:
            return Qt::IBeamCursor;
        case 5:
        case 15:
            return Qt::SizeAllCursor;
        case 6:
            return Qt::SizeBDiagCursor;
        case 7:
            return Qt::SizeVerCursor;
        case 8:
            return Qt::SizeFDiagCursor;
        case 9:
            return Qt::SizeHorCursor;
        case 10:
            return Qt::UpArrowCursor;
        case 11:
            return Qt::WaitCursor;
        case 12:
            return Qt::ForbiddenCursor;
        case 13:
            return Qt::BusyCursor;
        case 14:
            return Qt::WhatsThisCursor;
        case 99:
            return Qt::BitmapCursor;
        default:
            return Qt::ArrowCursor;
    }
}

}  // namespace

OrielButton::OrielButton(QWidget* parent) : QWidget(parent) {
    setFocusPolicy(Qt::StrongFocus);
    setMouseTracking(true);
    setAttribute(Qt::WA_OpaquePaintEvent);
    m_overTimer.setInterval(kTimerTickMs);
    connect(&m_overTimer, &QTimer::timeout, this, &OrielButton::OverTimer_Timer);
    recomputeColours();
    recomputeAccessKey();
    recomputeLayout();
    updateAccessibleName();
}

OrielButton* OrielButton::createNew(const QString& caption, QWidget* parent) {
    auto* button = new OrielButton(parent);
    button->m_caption = caption;
    button->m_buttonType = ButtonType::Dialog;
    button->m_colorScheme = 2;
    button->recomputeColours();
    const OleColor face = toOleColor(button->m_colours.face);
    const OleColor text = toOleColor(button->m_colours.text);
    button->m_backColor = button->m_backOver = face;
    button->m_foreColor = button->m_foreOver = text;
    button->m_maskColor = 0xC0C0C0;
    button->recomputeColours();
    button->recomputeAccessKey();
    button->handleResize();
    button->updateAccessibleName();
    return button;
}

// ---- properties ----------------------------------------------------------

void OrielButton::setBackColor(OleColor colour) {
    m_backColor = colour;
    recomputeColours();
    DrawButton(m_lastState, true);
}

void OrielButton::setBackOver(OleColor colour) {
    m_backOver = colour;
    recomputeColours();
    DrawButton(m_lastState, true);
}

void OrielButton::setForeColor(OleColor colour) {
    m_foreColor = colour;
    recomputeColours();
    DrawButton(m_lastState, true);
}

void OrielButton::setForeOver(OleColor colour) {
    m_foreOver = colour;
    recomputeColours();
    DrawButton(m_lastState, true);
}

void OrielButton::setMaskColor(OleColor colour) {
    m_maskColor = colour;
    recomputeColours();
    DrawButton(m_lastState, true);
}

void OrielButton::setButtonType(int type) {
    m_buttonType = static_cast<ButtonType>(type);
    recomputeColours();
    if (m_buttonType == ButtonType::Picture && isVisible()) {
        captureBackground();
    }
    handleResize();
}

void OrielButton::setCaption(const QString& caption) {
    m_caption = caption;
    recomputeAccessKey();
    recomputeLayout();
    updateAccessibleName();
    DrawButton(m_lastState, false);
}

void OrielButton::setFontBold(bool on) {
    QFont f = font();
    f.setBold(on);
    setFont(f);
}

void OrielButton::setFontItalic(bool on) {
    QFont f = font();
    f.setItalic(on);
    setFont(f);
}

void OrielButton::setFontUnderline(bool on) {
    QFont f = font();
    f.setUnderline(on);
    setFont(f);
}

void OrielButton::setFontSize(double points) {
    QFont f = font();
    f.setPointSizeF(points);
    setFont(f);
}

void OrielButton::setFontName(const QString& family) {
    QFont f = font();
    f.setFamily(family);
    setFont(f);
}

void OrielButton::setColorScheme(int scheme) {
    m_colorScheme = scheme;
    recomputeColours();
    DrawButton(m_lastState, true);
}

void OrielButton::setShowFocusRect(bool on) {
    m_showFocusRect = on;
    DrawButton(m_lastState, true);
}

void OrielButton::setMousePointer(qint16 pointer) {
    m_mousePointer = pointer;
    applyCursor();
}

void OrielButton::setMouseIcon(const QPixmap& icon) {
    m_mouseIcon = icon;
    applyCursor();
}

void OrielButton::setSoftBevel(bool on) {
    m_softBevel = on;
    recomputeColours();
    DrawButton(m_lastState, true);
}

void OrielButton::setPictureNormal(const QPixmap& picture) {
    m_pictureNormal = picture;
    recomputeLayout();
    updateAccessibleName();
    DrawButton(m_lastState, true);
}

void OrielButton::setPictureOver(const QPixmap& picture) {
    m_pictureOver = picture;
    DrawButton(m_lastState, true);
}

void OrielButton::setPicturePosition(int position) {
    m_picturePosition = position;
    recomputeLayout();
    DrawButton(m_lastState, true);
}

void OrielButton::setUseMaskColor(bool on) {
    m_useMaskColor = on;
    DrawButton(m_lastState, true);
}

void OrielButton::setUseGreyscale(bool on) {
    m_useGreyscale = on;
    DrawButton(m_lastState, true);
}

void OrielButton::setSpecialEffect(int effect) {
    m_specialEffect = effect;
    DrawButton(m_lastState, true);
}

void OrielButton::setCheckBoxBehaviour(bool on) {
    m_checkBoxBehaviour = on;
    DrawButton(kUp, true);
}

void OrielButton::setValue(bool on) {
    m_value = on;
    DrawButton(kUp, true);
}

void OrielButton::setDefaultButton(bool on) {
    m_defaultRole = on;
    if (on) {
        ButtonRoles::attachTo(window());
    }
    DrawButton(m_lastState, true);
}

void OrielButton::setCancelButton(bool on) {
    m_cancelRole = on;
    if (on) {
        ButtonRoles::attachTo(window());
    }
}

void OrielButton::Refresh() {
    if (m_buttonType == ButtonType::Picture) {
        captureBackground();
    }
    recomputeColours();
    recomputeLayout();
    m_shown = true;
    DrawButton(m_lastState, true);
}

// ---- derived state ---------------------------------------------------------

ColourInputs OrielButton::colourInputs() const {
    ColourInputs inputs;
    inputs.scheme = m_colorScheme;
    inputs.backColor = m_backColor;
    inputs.backOver = m_backOver;
    inputs.foreColor = m_foreColor;
    inputs.foreOver = m_foreOver;
    inputs.maskColor = m_maskColor;
    inputs.buttonType = m_buttonType;
    inputs.softBevel = m_softBevel;
    return inputs;
}

void OrielButton::recomputeColours() {
    const QPalette parentPalette = parentWidget() ? parentWidget()->palette() : palette();
    m_colours = deriveColours(colourInputs(), palette(), parentPalette, false);
}

void OrielButton::recomputeLayout() {
    const QPixmap& picture = m_pictureNormal.isNull() ? m_pictureOver : m_pictureNormal;
    m_captionLayout = layoutCaption(m_caption, font(), m_size,
                                    picture.isNull() ? QSize() : picture.size(), m_picturePosition);
}

void OrielButton::recomputeAccessKey() {
    const QChar key = accessKeyOf(m_caption);
    if (key == m_accessKey && (m_shortcutId != 0 || key.isNull())) {
        return;
    }
    if (m_shortcutId != 0) {
        releaseShortcut(m_shortcutId);
        m_shortcutId = 0;
    }
    m_accessKey = key;
    if (!key.isNull()) {
        m_shortcutId = grabShortcut(QKeySequence(QStringLiteral("Alt+") + key.toUpper()));
    }
}

void OrielButton::updateAccessibleName() {
    const QString name = plainCaption(m_caption);
    setAccessibleName(name.isEmpty() ? toolTip() : name);
}

void OrielButton::applyCursor() {
    if (m_mousePointer == 0) {
        unsetCursor();
    } else if (m_mousePointer == 99 && !m_mouseIcon.isNull()) {
        setCursor(QCursor(m_mouseIcon));
    } else {
        setCursor(cursorFor(m_mousePointer));
    }
}

void OrielButton::handleResize() {
    if (m_capturing) {
        return;
    }
    updateGeometryState();
    if (m_size.height() != 0) {
        DrawButton(kUp, true);
    }
}

void OrielButton::updateGeometryState() {
    m_size = size();
    m_focusRect = focusRectFor(m_buttonType, m_size);
    recomputeLayout();
    if (m_buttonType == ButtonType::SeeAll || m_buttonType == ButtonType::Dialog) {
        setMask(windowRegionFor(m_buttonType, m_size));
    } else {
        clearMask();
    }
}

// Copies what the parent paints behind the button, so that a picture
// button of style 11 looks as if it had no face of its own.
void OrielButton::captureBackground() {
    QWidget* parent = parentWidget();
    if (parent == nullptr || size().isEmpty()) {
        return;
    }
    m_capturing = true;
    QPixmap behind(size());
    behind.fill(palette().color(QPalette::Window));
    parent->render(&behind, QPoint(), QRegion(geometry()), QWidget::DrawWindowBackground);
    // Siblings stacked below the button (a decorative band, say) are part of
    // what it stands on.
    for (QObject* object : parent->children()) {
        if (object == this) {
            break;
        }
        auto* sibling = qobject_cast<QWidget*>(object);
        if (sibling != nullptr && !sibling->isWindow() && sibling->isVisible() &&
            sibling->geometry().intersects(geometry())) {
            sibling->render(&behind, sibling->pos() - pos(), QRegion(),
                            QWidget::DrawWindowBackground | QWidget::DrawChildren);
        }
    }
    m_background = behind.toImage().convertToFormat(QImage::Format_RGB32);
    m_capturing = false;
}

float OrielButton::toContainerUnits(qreal pixels, bool vertical) const {
    // The windows measure in twips, 1440 to the logical inch.
    const int dpi = vertical ? logicalDpiY() : logicalDpiX();
    return static_cast<float>(pixels * 1440.0 / (dpi > 0 ? dpi : 96));
}

// ---- events ---------------------------------------------------------------

bool OrielButton::event(QEvent* event) {
    if (event->type() == QEvent::Shortcut) {
        auto* shortcut = static_cast<QShortcutEvent*>(event);
        if (shortcut->shortcutId() == m_shortcutId) {
            m_lastButton = kLeftButton;
            clickFromSurface();
            return true;
        }
    }
    if (event->type() == QEvent::ToolTipChange) {
        updateAccessibleName();
    }
    return QWidget::event(event);
}

void OrielButton::paintEvent(QPaintEvent*) {
    QPainter painter(this);
    if (!m_face.isNull()) {
        painter.drawImage(0, 0, m_face);
    }
}

void OrielButton::resizeEvent(QResizeEvent*) {
    handleResize();
}

void OrielButton::showEvent(QShowEvent*) {
    m_shown = true;
    if (m_buttonType == ButtonType::Picture) {
        captureBackground();
    }
    recomputeColours();
    DrawButton(kUp, true);
}

void OrielButton::hideEvent(QHideEvent*) {
    m_shown = false;
    m_overTimer.stop();
    m_hovering = false;
}

void OrielButton::changeEvent(QEvent* event) {
    switch (event->type()) {
        case QEvent::EnabledChange:
            DrawButton(m_lastState, true);
            break;
        case QEvent::FontChange:
            recomputeLayout();
            DrawButton(m_lastState, true);
            break;
        case QEvent::PaletteChange:
        case QEvent::StyleChange:
        case QEvent::ParentChange:
            recomputeColours();
            DrawButton(m_lastState, true);
            break;
        default:
            break;
    }
    QWidget::changeEvent(event);
}

void OrielButton::mousePressEvent(QMouseEvent* event) {
    const short button = buttonCode(event->button());
    emit MouseDown(button, shiftCode(event->modifiers()),
                   toContainerUnits(event->position().x(), false),
                   toContainerUnits(event->position().y(), true));
    m_lastButton = button;
    if (button != kRightButton) {
        DrawButton(kPressed, false);
    }
}

void OrielButton::mouseReleaseEvent(QMouseEvent* event) {
    const short button = buttonCode(event->button());
    emit MouseUp(button, shiftCode(event->modifiers()),
                 toContainerUnits(event->position().x(), false),
                 toContainerUnits(event->position().y(), true));
    if (button != kRightButton) {
        DrawButton(kUp, false);
    }
    // A click needs the release over the button that was pressed.
    if (rect().contains(event->position().toPoint())) {
        clickFromSurface();
    }
}

void OrielButton::mouseDoubleClickEvent(QMouseEvent* event) {
    // The second press of a double click presses the button again, so that
    // its release clicks a second time.
    if (m_lastButton == kLeftButton && event->button() == Qt::LeftButton) {
        emit MouseDown(kLeftButton, shiftCode(event->modifiers()), 0.0F, 0.0F);
        m_lastButton = kLeftButton;
        DrawButton(kPressed, false);
    }
}

void OrielButton::mouseMoveEvent(QMouseEvent* event) {
    emit MouseMove(buttonsCode(event->buttons()), shiftCode(event->modifiers()),
                   toContainerUnits(event->position().x(), false),
                   toContainerUnits(event->position().y(), true));
    const Qt::MouseButtons buttons = event->buttons();
    if (buttons != Qt::NoButton && buttons != Qt::LeftButton) {
        return;
    }
    if (!pointerIsOver(event->position().toPoint())) {
        DrawButton(kUp, false);
        return;
    }
    if (!m_overTimer.isActive()) {
        emit MouseIn();
    }
    if (buttons == Qt::NoButton && !m_hovering) {
        m_overTimer.start();
        m_hovering = true;
        DrawButton(kUp, true);
        emit MouseOver();
    } else if (buttons == Qt::LeftButton) {
        m_hovering = true;
        DrawButton(kPressed, false);
        m_hovering = false;
    }
}

void OrielButton::leaveEvent(QEvent* event) {
    if (m_hovering || m_overTimer.isActive()) {
        pointerLeft();
    }
    QWidget::leaveEvent(event);
}

void OrielButton::OverTimer_Timer() {
    if (!pointerIsOver(mapFromGlobal(QCursor::pos()))) {
        pointerLeft();
    }
}

void OrielButton::pointerLeft() {
    m_overTimer.stop();
    m_hovering = false;
    DrawButton(kUp, true);
    emit MouseOut();
}

bool OrielButton::pointerIsOver(QPoint local) const {
    if (!rect().contains(local) || (!mask().isEmpty() && !mask().contains(local))) {
        return false;
    }
    // Another window in front of the button hides it from the pointer.
    const QWidget* top = QApplication::widgetAt(mapToGlobal(local));
    return top == nullptr || top == this;
}

void OrielButton::keyPressEvent(QKeyEvent* event) {
    const short code = keyCode(event->key());
    emit KeyDown(code, shiftCode(event->modifiers()));
    if (event->key() == Qt::Key_Return || event->key() == Qt::Key_Enter) {
        // Enter on a focused button clicks it, wherever the default role is.
        m_lastButton = kLeftButton;
        clickFromSurface();
        return;
    }
    if (!event->isAutoRepeat()) {
        m_lastKey = code & 0xFF;
        if (code == kSpace) {
            DrawButton(kPressed, false);
        }
    }
    if (!event->text().isEmpty()) {
        emit KeyPress(static_cast<short>(event->text().at(0).unicode()));
    }
    if (event->key() == Qt::Key_Escape || event->key() == Qt::Key_Tab ||
        event->key() == Qt::Key_Backtab) {
        event->ignore();  // the window's cancel button and focus chain need these
    }
}

void OrielButton::keyReleaseEvent(QKeyEvent* event) {
    if (event->isAutoRepeat()) {
        return;
    }
    const short code = keyCode(event->key());
    emit KeyUp(code, shiftCode(event->modifiers()));
    // Only a space pressed on this very button clicks it.
    if (code == kSpace && m_lastKey == kSpace) {
        m_lastKey = 0;
        if (m_checkBoxBehaviour) {
            m_value = !m_value;
        }
        DrawButton(kUp, true);
        update();
        emit Click();
        return;
    }
    m_lastKey = 0;
}

void OrielButton::focusInEvent(QFocusEvent* event) {
    m_hasFocus = true;
    DrawButton(m_lastState, true);
    QWidget::focusInEvent(event);
}

void OrielButton::focusOutEvent(QFocusEvent* event) {
    m_hasFocus = false;
    const bool spaceHeld = m_lastKey == kSpace;
    m_lastKey = 0;
    DrawButton(spaceHeld ? kUp : m_lastState, true);
    QWidget::focusOutEvent(event);
}

void OrielButton::clickFromSurface() {
    if (m_lastButton != kLeftButton || !isEnabled()) {
        return;
    }
    if (m_checkBoxBehaviour) {
        m_value = !m_value;
    }
    DrawButton(kUp, true);
    update();
    emit Click();
}

}  // namespace corvane
