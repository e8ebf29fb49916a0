#pragma once

// The page conventions every printout shares, and the two routines that
// lay text out on the printer surface: flowing a long text over pages, and
// ruling a line.

#include <QString>

#include "printersurface.h"

class QWidget;

namespace corvane {

// Inches on the printer surface.
inline constexpr float kTopMargin = 1.0f;    // text is never printed higher
inline constexpr float kPageFull = 8.8f;     // below this after a line: the page is full
inline constexpr float kPageNumberY = 9.2f;  // the "(page n)" footer's line
inline constexpr float kPageNumberX = 6.0f;  // and its column

namespace printLayout {

// How PrintFlowText lays a text out. The defaults are the help printout's:
// the heading underlined, on the first page only, the owner busy meanwhile,
// the document ended, between one inch and seven and a half.
struct FlowOptions {
    bool underlineHeading = true;
    bool centreHeading = false;  // centred on the paper, not at the left margin
    bool headingOnEveryPage = false;
    bool leaveOwnerAlone = false;   // the caller keeps the owner busy
    bool keepDocumentOpen = false;  // more is printed after the text
    float leftMargin = 1.0f;        // inches
    float rightLimit = 7.5f;
};

// Prints `text` (lines separated by CR LF) from the current position on,
// wrapped between the options' left margin and right limit, over as many
// pages as it needs; every page of the document after its first carries
// "(page n)" at the foot (a document kept open gets its last page's from
// the caller). `heading`, unless empty, is printed above the text as the
// options say. A text whose heading and first line would not fit above the
// page's last line starts on a new page, and a word that fits on a line is
// never split between two. The caller sets the font.
void PrintFlowText(PrinterSurface& printer, QWidget* owner, const QString& text,
                   const QString& heading, const FlowOptions& options = {});

// Prints "(page n)", the page's number, at the foot of the page.
void PrintPageNumber(PrinterSurface& printer);

// Draws a rule of underscores on the current line from `fromX` to at least
// `toX` (at least one underscore) and ends the line; text already on the
// line is underlined by it.
void PrintRule(PrinterSurface& printer, float fromX, float toX);

// Moves the printer's origin to the paper's top-left corner, shifted right
// and down by `offsetX` and `offsetY` inches: positions are then measured
// from the paper, whatever the printer cannot reach at its edges. Only
// labels use it; it lasts for the one document.
void AlignPrinterOrigin(PrinterSurface& printer, float offsetX, float offsetY);

}  // namespace printLayout
}  // namespace corvane
