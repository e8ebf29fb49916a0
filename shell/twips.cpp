#include "twips.h"

#include <QGuiApplication>
#include <QScreen>
#include <cmath>

namespace corvane {
namespace {

double dpi(bool vertical) {
    const QScreen* screen = QGuiApplication::primaryScreen();
    if (screen == nullptr) {
        return 96.0;
    }
    return vertical ? screen->logicalDotsPerInchY() : screen->logicalDotsPerInchX();
}

}  // namespace

int twipsX(int twips) {
    return static_cast<int>(std::lround(twips * dpi(false) / 1440.0));
}

int twipsY(int twips) {
    return static_cast<int>(std::lround(twips * dpi(true) / 1440.0));
}

QSize twipsSize(int width, int height) {
    return {twipsX(width), twipsY(height)};
}

QRect twipsRect(int left, int top, int width, int height) {
    return {twipsX(left), twipsY(top), twipsX(width), twipsY(height)};
}

}  // namespace corvane
