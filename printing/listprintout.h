#pragma once

// The list printout: the list as the main window shows it, each row the
// entry's name and the value of the chosen column, pages headed with the
// list's name, the page number and the time, ruled, and closed with "End of
// Printout".

#include <QString>
#include <functional>

#include "printersurface.h"

namespace corvane {

struct ListPrintout {
    QString title;        // the application's title
    QString listCaption;  // which list is shown, as the window heads it
    QString printedAt;    // the date and time, as the header shows them
    int rows = 0;         // the grid's rows, the heading row 0 included
    // The grid's cell text: row 0 holds the column headings; column 0 the
    // name, column 1 the chosen column's value.
    std::function<QString(int row, int column)> cell;
};

// Inches on the printer surface.
inline constexpr float kListLeft = 0.5f;
inline constexpr float kListSecondColumn = 4.2f;
inline constexpr float kListRuleEnd = 7.6f;
inline constexpr int kListNameWidth = 55;

// Prints `list` and ends the document; a list without entries prints
// nothing and sends no document. The caller keeps the window busy.
void PrintList(PrinterSurface& printer, const ListPrintout& list);

}  // namespace corvane
