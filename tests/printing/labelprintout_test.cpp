// Mailing labels: where a label's lines land on the sheet, the label window,
// and one label read back from a PDF.

#include "labelprintout.h"

#include <gtest/gtest.h>

#include <QLabel>
#include <QLineEdit>
#include <QPrinter>
#include <QScrollBar>
#include <QTest>

#include "../shell/shelltestsupport.h"
#include "frmprintlabel.h"
#include "orielbutton.h"
#include "pdftext.h"
#include "qtprintersurface.h"
#include "recordingsurface.h"

namespace corvane {
namespace {

using test::PrintedText;

// Positions on the recording surface are the printable area's; the paper's
// corner is a quarter inch up and to the left of it.
float onPaper(float printable) {
    return printable + 0.25f;
}

TEST(LabelLayout, ColumnThreeRowTenSitsAtItsPlaceOnThePaper) {
    test::RecordingSurface printer;
    const float line = static_cast<float>(printer.lineHeight());
    PrintLabel(printer, {"Adams, Ann", "", "Harbour Bay, OR 97000", ""}, 10, 3);
    ASSERT_EQ(printer.texts.size(), 4u);
    EXPECT_NEAR(onPaper(printer.texts[0].x), 5.8f, 1e-4);
    EXPECT_NEAR(onPaper(printer.texts[0].y), 9.5f + line, 1e-4);
    EXPECT_EQ(printer.texts[0].text, "Adams, Ann  ");
    // An empty line 2 keeps its gap: line 3 is on the third text line.
    EXPECT_EQ(printer.texts[1].text, "  ");
    EXPECT_EQ(printer.texts[2].text, "Harbour Bay, OR 97000  ");
    EXPECT_NEAR(printer.texts[2].y, printer.texts[0].y + 2 * line, 1e-4);
    EXPECT_EQ(printer.texts[0].font, PrintFont{});
    EXPECT_TRUE(printer.ended);

    // Row 1, column 1: 0.2 and 0.5 inches from the corner.
    test::RecordingSurface first;
    PrintLabel(first, {"A", "B", "C", "D"}, 1, 1);
    EXPECT_NEAR(onPaper(first.texts[0].x), 0.2f, 1e-4);
    EXPECT_NEAR(onPaper(first.texts[0].y), 0.5f + line, 1e-4);
}

class LabelWindow : public testing::Test, public test::ShellFixture {
  protected:
    void SetUp() override {
        app.openPrinter = [this](QWidget*, const QString& name) {
            EXPECT_EQ(name, "Corvane label");
            auto printer = std::make_unique<test::RecordingSurface>();
            printer->onEnd = [this](const test::RecordingSurface& done) {
                printed.push_back(done.texts);
            };
            return printer;
        };
    }
    std::vector<std::vector<PrintedText>> printed;
};

TEST_F(LabelWindow, LinesAreCutAndTheChosenPlaceIsPrintedAsOftenAsAsked) {
    frmPrintLabel window(app);
    window.show();
    EXPECT_EQ(window.windowTitle(), " Print a 1\" x 2 5/8\" Label");
    window.setLine(1, QString(40, u'N'));
    EXPECT_EQ(window.line(1), QString(35, u'N'));
    auto* print = window.findChild<OrielButton*>("cmdPrintLabel");
    auto* cancel = window.findChild<OrielButton*>("cmdCancel");
    EXPECT_EQ(print->caption(), "&Print\n<Enter>");
    EXPECT_EQ(print->toolTip(), " Place an Avery 5160 label sheet (or equivalent) in the printer ");
    EXPECT_EQ(cancel->caption(), "&Return\n<Esc>");

    window.findChild<QScrollBar*>("scroll(1)")->setValue(10);
    window.findChild<QScrollBar*>("scroll(2)")->setValue(3);
    EXPECT_EQ(window.findChild<QLabel*>("lblPosition(1)")->text(), "Row 10");
    EXPECT_EQ(window.findChild<QLabel*>("lblPosition(2)")->text(), "Col 3");

    QTest::mouseClick(print, Qt::LeftButton);
    QTest::mouseClick(print, Qt::LeftButton);
    ASSERT_EQ(printed.size(), 2u);  // a document each
    EXPECT_EQ(printed[0][0].x, printed[1][0].x);
    EXPECT_EQ(printed[0][0].y, printed[1][0].y);  // the same place again
    EXPECT_NEAR(onPaper(printed[0][0].x), 5.8f, 1e-4);
    EXPECT_EQ(print->caption(), "&Print\nAgain");
    EXPECT_EQ(cancel->caption(), "&Finished\n<Esc>");
    EXPECT_EQ(cancel->toolTip(), " No more printing ");
    EXPECT_TRUE(window.isEnabled());
}

// A line too wide for its label is printed smaller, down to 7 points, and
// only then cut; the lines keep their spacing.
TEST(LabelLayout, ALineTooWideForTheLabelShrinksThenIsCut) {
    test::RecordingSurface printer;
    const float line = static_cast<float>(printer.lineHeight());
    const QString wide = QStringLiteral("MAXIMILIAN WOLFGANG HOHENZOLLERN SR");
    PrintLabel(printer, {wide, QString(35, u'W'), QStringLiteral("Harbour Bay"), QString()}, 1, 1);
    ASSERT_EQ(printer.texts.size(), 4u);
    for (const PrintedText& t : printer.texts) {
        test::RecordingSurface measure;
        measure.setFont(t.font);
        EXPECT_LE(onPaper(t.x) + measure.textWidth(t.text.trimmed()), 0.2 + kLabelTextWidth)
            << t.text.toStdString();
        EXPECT_GE(t.font.size, kLabelSmallestPoints);
    }
    EXPECT_EQ(printer.texts[0].text, wide + QStringLiteral("  "));
    EXPECT_LT(printer.texts[0].font.size, 10);
    EXPECT_EQ(printer.texts[1].font.size, kLabelSmallestPoints);
    EXPECT_LT(printer.texts[1].text.trimmed().size(), 35);
    EXPECT_EQ(printer.texts[2].font, PrintFont{});
    EXPECT_NEAR(printer.texts[2].y, printer.texts[0].y + 2 * line, 1e-4);
}

// A printer whose own paper is A4 takes a label job on Letter, and the
// sheet is placed from the corner of that paper.
TEST(LabelPaper, APrinterOnA4TakesTheLabelsOnLetter) {
    QPrinter printer(QPrinter::HighResolution);
    printer.setOutputFormat(QPrinter::PdfFormat);
    printer.setPageSize(QPageSize(QPageSize::A4));
    ASSERT_TRUE(QtPrinterSurface::setUpPrinter(printer, QStringLiteral("Corvane label"),
                                               QPageSize(QPageSize::Letter)));
    EXPECT_EQ(printer.pageLayout().pageSize().id(), QPageSize::Letter);
    EXPECT_EQ(printer.docName(), "Corvane label");
}

// On paper, measured from its corner: a Letter PDF whatever the locale; a
// long line in column 3 ends inside its label, and the window said it would
// be printed smaller.
TEST_F(LabelWindow, ALabelInAPdfFileSitsOnTheSheet) {
    app.openPrinter = nullptr;
    const std::string pdf = dir.file("label.pdf");
    platform.saveAnswers = {QString::fromStdString(pdf)};
    frmPrintLabel window(app);
    window.show();
    window.setLine(1, QStringLiteral("Adams, Ann"));
    window.setLine(2, QStringLiteral("17 Lantern Row"));
    EXPECT_TRUE(window.findChild<QLabel*>("lblShrink")->text().isEmpty());
    window.setLine(3, QStringLiteral("MAXIMILIAN WOLFGANG HOHENZOLLERN SR"));
    EXPECT_EQ(window.findChild<QLabel*>("lblShrink")->text(),
              "Line 3 is too long for the label and will be printed smaller.");
    window.findChild<QScrollBar*>("scroll(1)")->setValue(10);
    window.findChild<QScrollBar*>("scroll(2)")->setValue(3);
    window.cmdPrintLabel_Click();
    const test::PdfText text = test::readPdf(pdf);
    EXPECT_NEAR(text.pageWidth, 612, 1);  // Letter
    const test::PdfWord* name = text.find(QStringLiteral("Adams,"));
    ASSERT_NE(name, nullptr);
    EXPECT_NEAR(name->left, 5.8 * 72, 1.0);
    EXPECT_GT(name->top, 9.5 * 72);
    EXPECT_LT(name->top, 9.8 * 72);
    const test::PdfWord* last = text.find(QStringLiteral("SR"));
    ASSERT_NE(last, nullptr);
    EXPECT_LE(last->right, (5.8 + kLabelTextWidth) * 72);
}

}  // namespace
}  // namespace corvane
