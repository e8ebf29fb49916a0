#pragma once

// The program's buttons, as saved layouts: one place holds how the windows'
// buttons look. A window builds a button with OrielButton::readProperties
// on one of these bags, then sets what is its own (caption, tooltip).

#include <QString>
#include <QVariantMap>

#include "buttoncolours.h"

namespace corvane::buttonStyles {

// Face and caption colours shared by the program's buttons.
inline constexpr OleColor kFace = oleRgb(236, 233, 216);
inline constexpr OleColor kFaceOver = oleRgb(248, 246, 236);
inline constexpr OleColor kText = oleRgb(0, 0, 0);
inline constexpr OleColor kTextOver = oleRgb(0, 51, 153);

// A captioned dialog button (style 14).
QVariantMap captionButton(const QString& caption);
// A picture-only tool button of the main window (style 11).
QVariantMap pictureButton();
// The See-All button (style 3).
QVariantMap seeAllButton(const QString& caption);

}  // namespace corvane::buttonStyles
