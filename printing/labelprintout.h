#pragma once

// A mailing label on a sheet of 30 labels, 1 x 2 5/8 inches, in 3 columns
// and 10 rows (Avery 5160/8160 or equivalent), placed from the paper's
// corner whatever the printer's unprintable edges.

#include <QString>
#include <array>

#include "printersurface.h"

namespace corvane {

inline constexpr int kLabelRows = 10;
inline constexpr int kLabelColumns = 3;
inline constexpr int kLabelLineLength = 35;

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
