#include "listlabels.h"

#include "labelprintout.h"
#include "printlayout.h"

namespace corvane {
namespace {

constexpr int kPerSheet = kLabelRows * kLabelColumns;

}  // namespace

int labelSheetsNeeded(int count, int startRow, int startColumn) {
    if (count <= 0) {
        return 0;
    }
    const int skipped = (startRow - 1) * kLabelColumns + (startColumn - 1);
    return (skipped + count + kPerSheet - 1) / kPerSheet;
}

void PrintListLabels(PrinterSurface& printer, const std::vector<LabelLines>& labels, int startRow,
                     int startColumn) {
    if (labels.empty()) {
        return;
    }
    printer.setFont(PrintFont{});  // Arial, 10 points, plain
    printLayout::AlignPrinterOrigin(printer, 0, 0);
    int place = (startRow - 1) * kLabelColumns + (startColumn - 1);
    printer.setProgressTotal(static_cast<int>(labels.size()));
    int done = 0;
    for (const LabelLines& lines : labels) {
        if (!printer.active()) {
            return;
        }
        printer.setProgressDone(done++);
        if (place == kPerSheet) {
            printer.newPage();
            place = 0;
        }
        LabelLines cut;
        for (std::size_t i = 0; i < lines.size(); ++i) {
            cut[i] = lines[i].left(kLabelLineLength);
        }
        placeLabel(printer, cut, place / kLabelColumns + 1, place % kLabelColumns + 1);
        ++place;
    }
    printer.endDoc();
}

}  // namespace corvane
