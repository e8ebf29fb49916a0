#include "printlayout.h"

#include "printjob.h"

namespace corvane::printLayout {
namespace {

// Prints the heading where the text starts: underlined and centred on the
// paper as asked, then an empty line, and the text starts at one inch.
void printHeading(PrinterSurface& printer, const QString& heading, bool underline, bool centre) {
    if (underline) {
        printer.setUnderline(true);
    }
    if (centre) {
        printer.x =
            static_cast<float>(printer.pageWidthTwips() / 2880.0 - printer.textWidth(heading) / 2);
    }
    printer.print(heading);
    printer.endLine();
    if (printer.font().underline) {
        printer.setUnderline(false);
    }
    printer.endLine();
    printer.x = 1.0f;
}

}  // namespace

void PrintPageNumber(PrinterSurface& printer) {
    printer.endLine();
    printer.y = kPageNumberY;
    printer.x = kPageNumberX;
    printer.print(QStringLiteral("(page %1)").arg(printer.page()));
    printer.endLine();
}

void PrintFlowText(PrinterSurface& printer, QWidget* owner, const QString& text,
                   const QString& heading, const FlowOptions& options) {
    const auto [underlineHeading, centreHeading, headingOnEveryPage, leaveOwnerAlone,
                keepDocumentOpen, leftMargin, rightLimit] = options;
    {
        const BusyWindow busy(owner, leaveOwnerAlone);
        int pageOfText = 0;
        bool topOfPage = true;
        const auto endPage = [&] {
            if (printer.page() > 1) {
                PrintPageNumber(printer);
            }
            printer.newPage();
            topOfPage = true;
        };
        const qsizetype length = text.size();
        // Below the page's last line (after an earlier text of the same
        // document), the heading and the first line go on to the next page.
        const int linesBeforeText = heading.isEmpty() ? 0 : 2;
        if (length > 0 && printer.y + linesBeforeText * printer.lineHeight() > kPageFull) {
            endPage();
        }
        for (qsizetype i = 0; i < length && printer.active(); ++i) {
            if (printer.y < kTopMargin) {
                printer.y = kTopMargin;
            }
            if (printer.x < leftMargin) {
                printer.x = leftMargin;
            }
            if (topOfPage) {
                topOfPage = false;
                ++pageOfText;
                if (!heading.isEmpty() && (headingOnEveryPage || pageOfText == 1)) {
                    printHeading(printer, heading, underlineHeading, centreHeading);
                }
            }
            const QChar c = text[i];
            if (c == u'\r' && i + 1 < length && text[i + 1] == u'\n') {
                printer.endLine();
                ++i;
            } else {
                // A word that would run past the point where the wrap cuts
                // words starts the next line instead, unless it is longer
                // than a whole line.
                if (c != u' ' && printer.x > leftMargin &&
                    (i == 0 || text[i - 1] == u' ' || text[i - 1] == u'\n')) {
                    qsizetype end = i;
                    while (end < length && text[end] != u' ' && text[end] != u'\r') {
                        ++end;
                    }
                    if (printer.x + printer.textWidth(text.mid(i, end - i)) > rightLimit + 0.5f) {
                        printer.endLine();
                        if (printer.y > kPageFull) {
                            endPage();
                            --i;  // the word starts the next page
                            continue;
                        }
                        printer.x = leftMargin;
                    }
                }
                printer.print(QString(c));
            }
            // Word wrap: after the first blank beyond an inch short of the
            // limit, or inside a word that runs half an inch past it. The
            // next line starts at the left margin (step one above).
            if (printer.x > rightLimit - 1.0f &&
                (text[i] == u' ' || printer.x > rightLimit + 0.5f)) {
                printer.endLine();
            }
            const bool last = i == length - 1;
            if (last && !keepDocumentOpen && printer.page() > 1) {
                PrintPageNumber(printer);
            } else if (!last && printer.y > kPageFull) {
                endPage();
            }
        }
        if (!keepDocumentOpen) {
            printer.endDoc();
        }
    }
    if (!keepDocumentOpen) {
        printer.report();
    }
}

void PrintRule(PrinterSurface& printer, float fromX, float toX) {
    printer.x = fromX;
    // As many underscores as printing one at a time while x < toX would
    // print, in one piece.
    const auto width = static_cast<float>(printer.textWidth(QStringLiteral("_")));
    int count = 0;
    float at = fromX;
    do {
        at += width;
        ++count;
    } while (at < toX && width > 0);
    printer.printRepeated(QStringLiteral("_"), count);
    printer.endLine();
}

void AlignPrinterOrigin(PrinterSurface& printer, float offsetX, float offsetY) {
    const QPointF physical = printer.physicalOffset();
    printer.shiftOrigin(offsetX - physical.x(), offsetY - physical.y());
}

}  // namespace corvane::printLayout
