// Draws one button of each style in each state onto a sheet and saves it as
// a PNG, so that a developer can look at the buttons without running the
// program:   build/test/tests/corvane_button_sheet sheet.png

#include <QApplication>
#include <QPainter>
#include <QTest>
#include <QWidget>

#include "orielbutton.h"

using corvane::oleRgb;
using corvane::OrielButton;

namespace {

// A small picture with a mask-coloured background: a green disc with a cross.
QPixmap samplePicture() {
    QPixmap picture(20, 20);
    picture.fill(QColor(192, 192, 192));
    QPainter p(&picture);
    p.setRenderHint(QPainter::Antialiasing, false);
    p.setBrush(QColor(40, 160, 60));
    p.setPen(Qt::NoPen);
    p.drawEllipse(1, 1, 18, 18);
    p.fillRect(9, 4, 2, 12, Qt::white);
    p.fillRect(4, 9, 12, 2, Qt::white);
    return picture;
}

struct Sample {
    int style;
    QString caption;
    bool picture;
    QSize size;
};

}  // namespace

int main(int argc, char** argv) {
    qputenv("QT_QPA_PLATFORM",
            qgetenv("QT_QPA_PLATFORM").isEmpty() ? "offscreen" : qgetenv("QT_QPA_PLATFORM"));
    QApplication app(argc, argv);
    const QString out =
        argc > 1 ? QString::fromLocal8Bit(argv[1]) : QStringLiteral("button-sheet.png");

    const QStringList states = {"up", "hovered", "pressed", "focused", "default", "disabled"};
    const QList<Sample> samples = {
        {3, "See &All Entries", false, {120, 28}},
        {11, "", true, {34, 34}},
        {14, "&Save", false, {90, 26}},
        {14, "&Print", true, {100, 30}},
        {2, "&Generic", false, {90, 26}},
    };
    const int cellW = 140;
    const int cellH = 50;
    QImage sheet(110 + cellW * states.size(), 30 + cellH * samples.size(), QImage::Format_RGB32);
    sheet.fill(QColor(236, 233, 216));
    QPainter sp(&sheet);
    sp.setPen(Qt::black);
    for (int s = 0; s < states.size(); ++s) {
        sp.drawText(110 + s * cellW, 20, states[s]);
    }

    for (int row = 0; row < samples.size(); ++row) {
        const Sample& sample = samples[row];
        sp.drawText(8, 30 + row * cellH + 20, QStringLiteral("style %1").arg(sample.style));
        for (int col = 0; col < states.size(); ++col) {
            QWidget window;
            window.resize(300, 100);
            QPalette palette = window.palette();
            palette.setColor(QPalette::Window, QColor(236, 233, 216));
            window.setPalette(palette);
            window.setAutoFillBackground(true);
            OrielButton* button = OrielButton::createNew(sample.caption, &window);
            button->setButtonType(sample.style);
            button->setColorScheme(2);
            button->setBackColor(oleRgb(236, 233, 216));
            button->setBackOver(oleRgb(236, 233, 216));
            button->setForeColor(oleRgb(0, 0, 0));
            button->setForeOver(oleRgb(0, 0, 128));
            if (sample.picture) {
                button->setPictureNormal(samplePicture());
            }
            button->setGeometry(QRect(QPoint(10, 10), sample.size));
            window.show();
            window.activateWindow();
            (void)QTest::qWaitForWindowActive(&window);
            button->Refresh();
            const QString& state = states[col];
            const QPoint middle(sample.size.width() / 2, sample.size.height() / 2);
            // The first button of a window takes the focus when it opens.
            if (state != "focused") {
                button->clearFocus();
            }
            if (state == "hovered") {
                QTest::mouseMove(button, middle);
            } else if (state == "pressed") {
                button->DrawButton(OrielButton::kPressed, true);
            } else if (state == "focused") {
                button->setFocus();
            } else if (state == "default") {
                button->setDefaultButton(true);
            } else if (state == "disabled") {
                button->setEnabled(false);
            }
            const QPoint at(110 + col * cellW, 30 + row * cellH);
            sp.save();
            // The sheet shows the button's shape, as the screen does.
            sp.setClipRegion(button->mask().isEmpty() ? QRegion(QRect(at, sample.size))
                                                      : button->mask().translated(at));
            sp.drawImage(at, button->face());
            sp.restore();
        }
    }
    sp.end();
    if (!sheet.save(out)) {
        return 1;
    }
    return 0;
}
