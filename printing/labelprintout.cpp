#include "labelprintout.h"

#include "printlayout.h"

namespace corvane {

void placeLabel(PrinterSurface& printer, const std::array<QString, 4>& lines, int row, int column) {
    const float left = labelLeft(column);
    printer.y = labelTop(row);
    printer.endLine();
    for (const QString& line : lines) {
        printer.x = left;
        printer.print(line + QStringLiteral("  "));
        printer.endLine();
    }
}

void PrintLabel(PrinterSurface& printer, const std::array<QString, 4>& lines, int row, int column) {
    printer.setFont(PrintFont{});  // Arial, 10 points, plain
    printLayout::AlignPrinterOrigin(printer, 0, 0);
    placeLabel(printer, lines, row, column);
    printer.endDoc();
}

}  // namespace corvane
