#pragma once

// Mailing labels for a whole list: one label per entry with the chosen
// address, on as many sheets as they need, starting at a chosen place so
// that a partly used sheet is finished first.

#include <QString>
#include <array>
#include <vector>

#include "printersurface.h"

namespace corvane {

using LabelLines = std::array<QString, 4>;

// How many sheets `count` labels take when the first goes to row
// `startRow`, column `startColumn` of the first sheet.
int labelSheetsNeeded(int count, int startRow, int startColumn);

// Prints `labels` across each row's three columns, then down the rows, from
// the start place on, continuing on further sheets, and ends the document.
// Each label is placed as a single label is.
void PrintListLabels(PrinterSurface& printer, const std::vector<LabelLines>& labels, int startRow,
                     int startColumn);

}  // namespace corvane
