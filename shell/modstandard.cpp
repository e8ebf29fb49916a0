#include "modstandard.h"

#include <QPalette>
#include <QPixmap>
#include <QWidget>

namespace corvane::modStandard {

void TileBackground(const QPixmap& picture, QWidget* window) {
    if (window == nullptr || picture.isNull() || picture.width() <= 0 || picture.height() <= 0) {
        return;
    }
    // A texture brush repeats the picture from the window's top-left corner
    // across and down, whatever the window's size.
    QPalette palette = window->palette();
    palette.setBrush(QPalette::Window, QBrush(picture));
    window->setPalette(palette);
    window->setAutoFillBackground(true);
}

}  // namespace corvane::modStandard
