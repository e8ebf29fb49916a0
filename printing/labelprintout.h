#pragma once

// A mailing label on a sheet of 30 labels, 1 x 2 5/8 inches, in 3 columns
// and 10 rows (Avery 5160/8160 or equivalent), placed from the paper's
// corner whatever the printer's unprintable edges.

#include <QString>
#include <array>
#include <functional>

#include "printersurface.h"

namespace corvane {

inline constexpr int kLabelRows = 10;
inline constexpr int kLabelColumns = 3;
inline constexpr int kLabelLineLength = 35;
// The width a line may take on its label, inches: the label's 2 5/8 less the
// indent of its text and a margin at its right edge; and the smallest size a
// line too wide for it is printed in, points.
inline constexpr double kLabelTextWidth = 2.4;
inline constexpr double kLabelSmallestPoints = 7;

// A label line as it is printed: in the size that fits it on the label, from
// 10 points down to 7 in half points, and cut only when it is too wide even
// at 7.
struct FittedLabelLine {
    QString text;
    double points = 10;
    bool shrunk() const { return points < 10; }
};
// `width` measures a text at a size in points, in inches.
FittedLabelLine fitLabelLine(const QString& line,
                             const std::function<double(const QString&, double)>& width);
// The same, measured as a printer at 1200 dots per inch measures it: for the
// label window's word on the lines it will print smaller.
FittedLabelLine fitLabelLine(const QString& line);

// The left edge of the text of column `column` and the top of row `row`,
// inches from the paper's corner.
inline float labelLeft(int column) {
    return 2.8f * static_cast<float>(column - 1) + 0.2f;
}
inline float labelTop(int row) {
    return static_cast<float>(row - 1) + 0.5f;
}

// Places the four lines on the label at row `row`, column `column` of the
// current page, positions from the paper's corner (the origin aligned
// already): one text line below the label's top, each line followed by two
// blanks, an empty line keeping its place.
void placeLabel(PrinterSurface& printer, const std::array<QString, 4>& lines, int row, int column);

// Prints the four lines at row `row`, column `column` as a document of its
// own: one text line below the label's top, each line followed by two
// blanks, an empty line keeping its place.
void PrintLabel(PrinterSurface& printer, const std::array<QString, 4>& lines, int row, int column);

}  // namespace corvane
