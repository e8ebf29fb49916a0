#pragma once

// Small routines shared by many windows.

class QPixmap;
class QWidget;

namespace corvane::modStandard {

// variable += amount.
template <typename T, typename U>
void AddTo(T& variable, U amount) {
    variable = static_cast<T>(variable + amount);
}

// The larger of a and b (a when equal).
inline double MaxOf(double a, double b) {
    return a >= b ? a : b;
}

// The smaller of a and b (a when equal).
inline double MinOf(double a, double b) {
    return a <= b ? a : b;
}

// Covers `window`'s background with copies of `picture`, from the top-left
// corner across and down past the far edges. A picture of no size leaves the
// background as it is.
void TileBackground(const QPixmap& picture, QWidget* window);

}  // namespace corvane::modStandard
