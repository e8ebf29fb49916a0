#pragma once

// A window with one OrielButton in it, in the program's colour scheme 2 and
// known colours, for drawing and behaviour tests.

#include <QWidget>
#include <memory>

#include "orielbutton.h"

namespace corvane::test {

inline constexpr QRgb kFace = 0xFFE0E0E0;  // the button's face: RGB(224, 224, 224)

struct ButtonWindow {
    std::unique_ptr<QWidget> window = std::make_unique<QWidget>();
    OrielButton* button = nullptr;

    explicit ButtonWindow(int style, QSize size = QSize(80, 30), const QString& caption = {}) {
        window->resize(300, 200);
        button = OrielButton::createNew(caption, window.get());
        button->setObjectName("cmdTest");
        button->setButtonType(style);
        button->setBackColor(oleRgb(224, 224, 224));
        button->setBackOver(oleRgb(224, 224, 224));
        button->setForeColor(oleRgb(0, 0, 0));
        button->setForeOver(oleRgb(0, 0, 0));
        button->setGeometry(QRect(QPoint(20, 20), size));
        window->show();
    }

    QRgb at(int x, int y) const { return button->face().pixel(x, y) & 0xFFFFFF; }
    QRgb colour(int r, int g, int b) const { return qRgb(r, g, b) & 0xFFFFFF; }
};

inline QRgb rgb(QRgb c) {
    return c & 0xFFFFFF;
}

}  // namespace corvane::test
