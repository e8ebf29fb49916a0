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

namespace modStandard {

// Prints `text` (lines separated by CR LF) from the current position on,
// wrapped between `leftMargin` and `rightLimit` inches, over as many pages
// as it needs; pages after the first of this call carry "(page n)" at the
// foot. `heading`, unless empty, is printed above the text (underlined,
// centred on the paper, on every page, as asked). Unless `leaveOwnerAlone`,
// `owner` is busy meanwhile; unless `keepDocumentOpen`, the document is
// ended. The caller sets the font.
void PrintFlowText(PrinterSurface& printer, QWidget* owner, const QString& text,
                   const QString& heading, bool underlineHeading, bool centreHeading,
                   bool headingOnEveryPage, bool leaveOwnerAlone, bool keepDocumentOpen,
                   float leftMargin, float rightLimit);

// Draws a rule of underscores on the current line from `fromX` to at least
// `toX` (at least one underscore) and ends the line; text already on the
// line is underlined by it.
void PrintRule(PrinterSurface& printer, float fromX, float toX);

// Moves the printer's origin to the paper's top-left corner, shifted right
// and down by `offsetX` and `offsetY` inches: positions are then measured
// from the paper, whatever the printer cannot reach at its edges. Only
// labels use it; it lasts for the one document.
void AlignPrinterOrigin(PrinterSurface& printer, float offsetX, float offsetY);

}  // namespace modStandard
}  // namespace corvane
