// The saved layout of an OrielButton: every property under its key, with
// the defaults a layout has always had, so that a value equal to its default
// is never written and a missing key reads as its default.

#include <QApplication>

#include "orielbutton.h"

namespace corvane {
namespace {

template <typename T>
T readKey(const QVariantMap& bag, const char* key, const T& fallback) {
    const auto found = bag.find(QLatin1String(key));
    if (found == bag.end() || !found->canConvert<T>()) {
        return fallback;
    }
    return found->value<T>();
}

template <typename T>
void writeKey(QVariantMap& bag, const char* key, const T& value, const T& fallback) {
    if (!(value == fallback)) {
        bag.insert(QLatin1String(key), QVariant::fromValue(value));
    }
}

// A picture has no default but "none".
void writePicture(QVariantMap& bag, const char* key, const QPixmap& picture) {
    if (!picture.isNull()) {
        bag.insert(QLatin1String(key), QVariant::fromValue(picture));
    }
}

QFont containerFont(const QWidget* button) {
    return button->parentWidget() ? button->parentWidget()->font() : QApplication::font();
}

}  // namespace

void OrielButton::readProperties(const QVariantMap& bag) {
    m_backColor = readKey<OleColor>(bag, "BCOL", kSysButtonFace);
    m_backOver = readKey<OleColor>(bag, "BCOLO", m_backColor);
    m_foreColor = readKey<OleColor>(bag, "FCOL", kSysButtonText);
    m_foreOver = readKey<OleColor>(bag, "FCOLO", m_foreColor);
    m_maskColor = readKey<OleColor>(bag, "MCOL", 0xC0C0C0);
    m_buttonType = static_cast<ButtonType>(readKey<int>(bag, "BTYPE", 2));
    m_caption = readKey<QString>(bag, "TX", QString());
    const bool enabled = readKey<bool>(bag, "ENAB", true);
    setFont(readKey<QFont>(bag, "FONT", containerFont(this)));
    m_colorScheme = readKey<int>(bag, "COLTYPE", 1);
    m_showFocusRect = readKey<bool>(bag, "FOCUSR", true);
    m_mousePointer = readKey<qint16>(bag, "MPTR", 0);
    m_mouseIcon = readKey<QPixmap>(bag, "MICON", QPixmap());
    m_softBevel = readKey<bool>(bag, "SOFT", false);
    m_pictureNormal = readKey<QPixmap>(bag, "PICN", QPixmap());
    m_pictureOver = readKey<QPixmap>(bag, "PICH", QPixmap());
    m_picturePosition = readKey<int>(bag, "PICPOS", 0);
    m_useMaskColor = readKey<bool>(bag, "UMCOL", true);
    m_useGreyscale = readKey<bool>(bag, "NGREY", false);
    m_specialEffect = readKey<int>(bag, "FX", 0);
    m_checkBoxBehaviour = readKey<bool>(bag, "CHECK", false);
    m_value = readKey<bool>(bag, "VALUE", false);

    setEnabled(enabled);
    applyCursor();
    recomputeAccessKey();
    recomputeColours();
    updateAccessibleName();
    handleResize();
}

QVariantMap OrielButton::writeProperties() const {
    QVariantMap bag;
    writeKey<OleColor>(bag, "BCOL", m_backColor, kSysButtonFace);
    writeKey<OleColor>(bag, "BCOLO", m_backOver, m_backColor);
    writeKey<OleColor>(bag, "FCOL", m_foreColor, kSysButtonText);
    writeKey<OleColor>(bag, "FCOLO", m_foreOver, m_foreColor);
    writeKey<OleColor>(bag, "MCOL", m_maskColor, 0xC0C0C0);
    writeKey<int>(bag, "BTYPE", static_cast<int>(m_buttonType), 2);
    writeKey<QString>(bag, "TX", m_caption, QString());
    writeKey<bool>(bag, "ENAB", isEnabled(), true);
    writeKey<QFont>(bag, "FONT", font(), containerFont(this));
    writeKey<int>(bag, "COLTYPE", m_colorScheme, 1);
    writeKey<bool>(bag, "FOCUSR", m_showFocusRect, true);
    writeKey<qint16>(bag, "MPTR", m_mousePointer, 0);
    writePicture(bag, "MICON", m_mouseIcon);
    writeKey<bool>(bag, "SOFT", m_softBevel, false);
    writePicture(bag, "PICN", m_pictureNormal);
    writePicture(bag, "PICH", m_pictureOver);
    writeKey<int>(bag, "PICPOS", m_picturePosition, 0);
    writeKey<bool>(bag, "UMCOL", m_useMaskColor, true);
    writeKey<bool>(bag, "NGREY", m_useGreyscale, false);
    writeKey<int>(bag, "FX", m_specialEffect, 0);
    writeKey<bool>(bag, "CHECK", m_checkBoxBehaviour, false);
    writeKey<bool>(bag, "VALUE", m_value, false);
    return bag;
}

}  // namespace corvane
