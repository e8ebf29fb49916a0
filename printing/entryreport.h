#pragma once

// The entry report: one entry's header, name line, dates, home and work
// sections under right-aligned labels, and, when asked, its comments and
// affiliations flowed over as many pages as they need.

#include <QString>
#include <array>

#include "printersurface.h"

class QWidget;

namespace corvane {

struct EntryReport {
    QString title;      // the application's title
    QString printedAt;  // the date and time, as the header shows them
    // The editor's fields 1 to 31 as they stand on screen; [0] is unused.
    std::array<QString, 32> fields;
    double birthday = 0;  // the stored dates, not their text
    double anniversary = 0;
    bool includeNotes = false;
};

// Inches on the printer surface.
inline constexpr float kReportLeft = 1.0f;
inline constexpr float kReportValueColumn = 2.1f;

// Prints `report` from the top of the current page. The document is left
// open: the caller ends it (and may print the picture after it). `owner`
// is left alone by the flowed sections; the caller keeps it busy.
void PrintEntryReport(PrinterSurface& printer, QWidget* owner, const EntryReport& report);

}  // namespace corvane
