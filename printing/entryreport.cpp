#include "entryreport.h"

#include "printlayout.h"
#include "recordtext.h"

namespace corvane {
namespace {

struct SectionLabels {
    const char* address;
    const char* email;
    const char* web;
    const char* phone;
    const char* fax;
    const char* pager;
    const char* cell;
    const char* other;
    const char* otherInfo;
};

constexpr SectionLabels kHome{
    "Home Address: ", "Home email: ", "Home web page: ", "Home phone: ",     "Home fax: ",
    "Home pager: ",   "Home cell: ",  "Home (other): ",  "Other Home Info: "};
constexpr SectionLabels kWork{
    "Work Address: ", "Work email: ", "Work web page: ", "Work phone: ",     "Work fax: ",
    "Work pager: ",   "Work cell: ",  "Work (other): ",  "Other Work Info: "};

// Puts `x` where `label` ends at the value column.
void alignLabel(PrinterSurface& printer, const QString& label) {
    printer.x = kReportValueColumn - static_cast<float>(printer.textWidth(label));
}

// One section; `first` is the field number of its first address line (6
// for home, 18 for work).
void printSection(PrinterSurface& printer, const EntryReport& report, int first,
                  const SectionLabels& labels) {
    const auto field = [&](int offset) -> const QString& { return report.fields[first + offset]; };
    // Address: the label on the line of the first filled line.
    if (!field(0).isEmpty() || !field(1).isEmpty() || !field(2).isEmpty()) {
        alignLabel(printer, QString::fromLatin1(labels.address));
        printer.print(QString::fromLatin1(labels.address));
        for (int i = 0; i < 3; ++i) {
            if (!field(i).isEmpty()) {
                printer.x = kReportValueColumn;
                printer.print(field(i));
                printer.endLine();
            }
        }
    }
    // E-mail and web page, each on a line of its own after a line end.
    for (const auto& [offset, label] : {std::pair{3, labels.email}, std::pair{4, labels.web}}) {
        if (!field(offset).isEmpty()) {
            printer.endLine();
            const QString text = QString::fromLatin1(label);
            alignLabel(printer, text);
            printer.print(text + field(offset));
        }
    }
    printer.endLine();
    // The six telephone fields.
    const std::pair<int, const char*> phones[] = {{5, labels.phone}, {6, labels.fax},
                                                  {7, labels.pager}, {8, labels.cell},
                                                  {9, labels.cell},  {10, labels.other}};
    for (const auto& [offset, label] : phones) {
        if (!field(offset).isEmpty()) {
            const QString text = QString::fromLatin1(label);
            alignLabel(printer, text);
            printer.print(text + field(offset));
            printer.endLine();
        }
    }
    // Other contact information, its first 50 characters; a line break in
    // them continues at the value column, inside the report's margins.
    if (!field(11).isEmpty()) {
        printer.endLine();
        const QString text = QString::fromLatin1(labels.otherInfo);
        alignLabel(printer, text);
        const QStringList lines = field(11).left(50).split(QStringLiteral("\r\n"));
        printer.print(text + lines.first());
        for (qsizetype i = 1; i < lines.size(); ++i) {
            printer.endLine();
            printer.x = kReportValueColumn;
            printer.print(lines[i]);
        }
        printer.endLine();
    }
}

}  // namespace

void PrintEntryReport(PrinterSurface& printer, QWidget* owner, const EntryReport& report) {
    const auto& f = report.fields;
    printer.setFont(PrintFont{});  // Arial, 10 points, plain
    printer.x = kReportLeft;
    printer.y = kReportLeft;
    printer.print(report.title + QStringLiteral(" information report, "));
    printer.endLine();
    printer.x = kReportLeft;
    printer.print(report.printedAt);
    printer.endLine();
    printer.endLine();
    printer.endLine();

    printer.x = kReportLeft;
    if (!f[1].isEmpty()) {
        printer.print(u'(' + f[1] + QStringLiteral(") "));
    }
    printer.print(f[2]);
    if (!f[3].isEmpty()) {
        printer.print(u'(' + f[3] + u')');
    }
    printer.endLine();
    printer.endLine();

    for (const auto& [date, label] : {std::pair{report.birthday, "Birthday: "},
                                      std::pair{report.anniversary, "Anniversary: "}}) {
        const QString shown = formatRecordDate(date);
        if (!shown.isEmpty()) {
            printer.x = kReportLeft;
            printer.print(QString::fromLatin1(label) + shown);
            printer.endLine();
        }
    }
    printer.endLine();

    printSection(printer, report, 6, kHome);
    printer.endLine();
    printSection(printer, report, 18, kWork);

    if (report.includeNotes) {
        for (const auto& [number, heading] :
             {std::pair{30, "Comments-"}, std::pair{31, "Affiliations-"}}) {
            if (!f[number].isEmpty()) {
                printer.endLine();
                // Under the report's own lines, which keep the owner busy and
                // the document open.
                printLayout::PrintFlowText(printer, owner, f[number], QString::fromLatin1(heading),
                                           {.leaveOwnerAlone = true, .keepDocumentOpen = true});
            }
        }
    }
    // The last page's number, the pages counted through the whole report.
    if (printer.page() > 1) {
        printLayout::PrintPageNumber(printer);
    }
}

}  // namespace corvane
