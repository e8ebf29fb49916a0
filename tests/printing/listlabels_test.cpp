// Labels for a whole list: how they fill the sheets, which entries get one,
// and the way there from the main window.

#include "listlabels.h"

#include <gtest/gtest.h>

#include <QLabel>
#include <QMenu>
#include <QRadioButton>
#include <QScrollBar>

#include "../listwindow/mainwindowfixture.h"
#include "frmlistlabels.h"
#include "labelprintout.h"
#include "recordingsurface.h"

namespace corvane {
namespace {

using test::PrintedText;

std::vector<LabelLines> labelsFor(int n) {
    std::vector<LabelLines> labels;
    for (int i = 1; i <= n; ++i) {
        labels.push_back({QStringLiteral("Name %1").arg(i), QStringLiteral("Street"),
                          QStringLiteral("City"), QString()});
    }
    return labels;
}

TEST(ListLabelLayout, FromRowFourColumnTwo95LabelsFinishTheSheetAndTakeThreeMore) {
    EXPECT_EQ(labelSheetsNeeded(95, 4, 2), 4);
    EXPECT_EQ(labelSheetsNeeded(20, 4, 2), 1);
    EXPECT_EQ(labelSheetsNeeded(21, 4, 2), 2);
    EXPECT_EQ(labelSheetsNeeded(0, 1, 1), 0);

    test::RecordingSurface printer;
    const float line = static_cast<float>(printer.lineHeight());
    PrintListLabels(printer, labelsFor(95), 4, 2);
    EXPECT_EQ(printer.pagesStarted, 4);
    EXPECT_TRUE(printer.ended);
    auto place = [&](int n) {
        const PrintedText* t = printer.find(QStringLiteral("Name %1  ").arg(n));
        EXPECT_NE(t, nullptr) << n;
        return t ? *t : PrintedText{};
    };
    // The first at row 4, column 2; the second beside it; the third starts row 5.
    EXPECT_NEAR(place(1).x + 0.25f, labelLeft(2), 1e-4);
    EXPECT_NEAR(place(1).y + 0.25f, labelTop(4) + line, 1e-4);
    EXPECT_NEAR(place(2).x + 0.25f, labelLeft(3), 1e-4);
    EXPECT_NEAR(place(3).x + 0.25f, labelLeft(1), 1e-4);
    EXPECT_NEAR(place(3).y + 0.25f, labelTop(5) + line, 1e-4);
    // Label 20 closes the first sheet at row 10, column 3; 21 opens the next.
    EXPECT_EQ(place(20).page, 1);
    EXPECT_NEAR(place(20).y + 0.25f, labelTop(10) + line, 1e-4);
    EXPECT_EQ(place(21).page, 2);
    EXPECT_NEAR(place(21).x + 0.25f, labelLeft(1), 1e-4);
    EXPECT_NEAR(place(21).y + 0.25f, labelTop(1) + line, 1e-4);
    EXPECT_EQ(place(95).page, 4);
}

class ListLabels : public testing::Test, public test::MainWindowFixture {};

TEST_F(ListLabels, EntriesWithoutTheAddressAreSkippedAndCounted) {
    ContactRecord a = test::entry("Adams");
    a.setText(Field::HomeAddress1, "1 Main Street");
    ContactRecord b = test::entry("Baker");
    ContactRecord c = test::entry("Clark");
    c.setText(Field::HomeCityStateZip, "Harbour Bay, OR 97000");
    c.setText(Field::WorkAddress1, "2 Quay Street");
    writeBook({a, b, c});
    open();
    std::vector<test::PrintedText> printed;
    app.openPrinter = [&](QWidget*, const QString& name) {
        EXPECT_EQ(name, "Corvane labels");
        auto printer = std::make_unique<test::RecordingSurface>();
        printer->onEnd = [&](const test::RecordingSurface& done) { printed = done.texts; };
        return printer;
    };
    frmListLabels labels(app, {1, 2, 3}, window.get());
    EXPECT_EQ(labels.findChild<QLabel*>("lblSheets")->text(), "2 label(s) on 1 sheet(s)");
    labels.cmdPrint_Click();
    ASSERT_EQ(printed.size(), 8u);
    EXPECT_EQ(printed[0].text, "Adams  ");
    EXPECT_EQ(printed[4].text, "Clark  ");
    EXPECT_EQ(printed[5].text, "  ");  // no street: the line keeps its place
    EXPECT_EQ(printed[6].text, "Harbour Bay, OR 97000  ");
    ASSERT_EQ(platform.titles(), QStringList{"Mailing labels"});
    EXPECT_EQ(platform.messages[0].text,
              "1 entry of the list had no home address and got no label.");

    // A printout cancelled on its way says nothing more.
    platform.messages.clear();
    app.openPrinter = [](QWidget*, const QString&) {
        auto printer = std::make_unique<test::RecordingSurface>();
        printer->onDraw = [p = printer.get()] { p->failing = true; };
        return printer;
    };
    labels.cmdPrint_Click();
    EXPECT_TRUE(platform.messages.isEmpty());

    labels.findChild<QRadioButton*>("optAddress(2)")->setChecked(true);
    EXPECT_EQ(labels.findChild<QLabel*>("lblSheets")->text(), "1 label(s) on 1 sheet(s)");
}

TEST_F(ListLabels, ARightClickOnThePrintButtonOffersThem) {
    writeBook({test::entry("Adams"), test::entry("Baker"), test::entry("Clark")});
    open();
    EXPECT_EQ(button("cmdPrintList")->toolTip(),
              " Print this list... (right click for mailing labels) ");
    QTest::mouseClick(button("cmdPrintList"), Qt::RightButton);
    QMenu* menu = window->menuPrintOptions();
    EXPECT_TRUE(menu->isVisible());
    ASSERT_EQ(menu->actions().size(), 2);
    EXPECT_EQ(menu->actions()[0]->text(), "Print mailing labels for this list...");
    EXPECT_EQ(menu->actions()[1]->text(), "Export this list...");
    menu->close();
    bool opened = false;
    test::onNextModal([&](QWidget* modal) {
        opened = qobject_cast<frmListLabels*>(modal) != nullptr;
        EXPECT_EQ(modal->findChild<QLabel*>("lblSheets")->text(), "0 label(s) on 0 sheet(s)");
        modal->close();
    });
    menu->actions()[0]->trigger();
    EXPECT_TRUE(opened);
}

}  // namespace
}  // namespace corvane
