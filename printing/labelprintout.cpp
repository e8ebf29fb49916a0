#include "labelprintout.h"

#include <QFontMetricsF>
#include <QImage>

#include "printlayout.h"
#include "qtprintersurface.h"

namespace corvane {

FittedLabelLine fitLabelLine(const QString& line,
                             const std::function<double(const QString&, double)>& width) {
    FittedLabelLine fitted{line, 10};
    while (width(fitted.text, fitted.points) > kLabelTextWidth &&
           fitted.points > kLabelSmallestPoints) {
        fitted.points -= 0.5;
    }
    while (!fitted.text.isEmpty() && width(fitted.text, fitted.points) > kLabelTextWidth) {
        fitted.text.chop(1);
    }
    return fitted;
}

FittedLabelLine fitLabelLine(const QString& line) {
    static const QImage page = [] {
        QImage image(1, 1, QImage::Format_Mono);
        image.setDotsPerMeterX(qRound(1200 / 0.0254));
        image.setDotsPerMeterY(qRound(1200 / 0.0254));
        return image;
    }();
    return fitLabelLine(line, [](const QString& text, double points) {
        PrintFont font;
        font.size = points;
        return QFontMetricsF(printerFont(font), &page).horizontalAdvance(text) / 1200.0;
    });
}

void placeLabel(PrinterSurface& printer, const std::array<QString, 4>& lines, int row, int column) {
    const PrintFont normal = printer.font();
    const auto atSize = [&](double points) {
        PrintFont font = normal;
        font.size = points;
        if (!(printer.font() == font)) {
            printer.setFont(font);
        }
    };
    // Lines keep the spacing of the normal size, however small one prints.
    const float line = static_cast<float>(printer.lineHeight());
    const float left = labelLeft(column);
    float y = labelTop(row) + line;
    for (const QString& text : lines) {
        const FittedLabelLine fitted = fitLabelLine(text, [&](const QString& t, double points) {
            atSize(points);
            return printer.textWidth(t);
        });
        atSize(fitted.points);
        printer.x = left;
        printer.y = y;
        printer.print(fitted.text + QStringLiteral("  "));
        y += line;
    }
    atSize(normal.size);
    printer.x = 0;
    printer.y = y;
}

void PrintLabel(PrinterSurface& printer, const std::array<QString, 4>& lines, int row, int column) {
    printer.setFont(PrintFont{});  // Arial, 10 points, plain
    printLayout::AlignPrinterOrigin(printer, 0, 0);
    placeLabel(printer, lines, row, column);
    printer.endDoc();
}

}  // namespace corvane
