#include "listprintout.h"

#include "modsupport.h"
#include "printlayout.h"

namespace corvane {
namespace {

void printPageHeader(PrinterSurface& printer, const ListPrintout& list) {
    printer.y = kTopMargin;
    printer.x = kListLeft;
    printer.print(list.title + QStringLiteral(" -- ") + list.listCaption +
                  QStringLiteral(" -- Page ") + QString::number(printer.page()) +
                  QStringLiteral(", ") + list.printedAt);
    printer.endLine();
    printLayout::PrintRule(printer, kListLeft, kListRuleEnd);
    printer.x = kListLeft;
    printer.print(list.cell(0, 0));
    printer.x = kListSecondColumn;
    printer.print(list.cell(0, 1));
    // This rule falls on the headings' line and underlines them.
    printLayout::PrintRule(printer, kListLeft, kListRuleEnd);
}

}  // namespace

void PrintList(PrinterSurface& printer, const ListPrintout& list) {
    printer.setFont(PrintFont{});  // Arial, 10 points, plain
    const int last = list.rows - 1;
    printer.setProgressTotal(last);
    for (int r = 1; r <= last && printer.active(); ++r) {
        printer.setProgressDone(r - 1);
        if (printer.x < 1.0f) {
            printer.x = kListLeft;
        }
        if (printer.y < kTopMargin) {
            printPageHeader(printer, list);
        }
        printer.x = kListLeft;
        printer.print(list.cell(r, 0).left(kListNameWidth));
        printer.x = kListSecondColumn;
        printer.print(modSupport::FlattenLines(list.cell(r, 1)));
        if (printer.y > kPageFull || r == last) {
            printLayout::PrintRule(printer, kListLeft, kListRuleEnd);  // underlines the row
            if (r != last) {
                printer.newPage();
            } else {
                printer.x = kListLeft;
                printer.print(QStringLiteral("End of Printout"));
                printer.endLine();
                printer.endDoc();
            }
        } else {
            printer.endLine();
        }
    }
}

}  // namespace corvane
