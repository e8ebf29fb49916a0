#pragma once

// The windows are laid out in twips, 1/1440 of an inch, converted with the
// screen's logical resolution.

#include <QRect>
#include <QSize>

namespace corvane {

// Pixels of `twips` across and down, at the primary screen's logical resolution.
int twipsX(int twips);
int twipsY(int twips);
QSize twipsSize(int width, int height);
QRect twipsRect(int left, int top, int width, int height);

}  // namespace corvane
