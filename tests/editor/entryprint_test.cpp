// The editor's print button: the two questions, the report, and the
// picture printed after it; and one report read back from a PDF.

#include <gtest/gtest.h>

#include <QApplication>

#include "../listwindow/mainwindowfixture.h"
#include "../printing/pdftext.h"
#include "../printing/recordingsurface.h"
#include "frmaddeditname.h"
#include "frmprintlabel.h"

namespace corvane {
namespace {

using test::entry;

class EntryPrint : public testing::Test, public test::MainWindowFixture {
  protected:
    void SetUp() override {
        app.openPrinter = [this](QWidget*, const QString& name) {
            documents << name;
            auto printer = std::make_unique<test::RecordingSurface>();
            printer->onEnd = [this](const test::RecordingSurface& done) {
                printed.push_back(done.texts);
                pictures += static_cast<int>(done.pictures.size());
            };
            return printer;
        };
    }
    std::unique_ptr<frmAddEditName> openEditor() {
        auto editor =
            std::make_unique<frmAddEditName>(app, *window, EditorMode::View, window.get());
        editor->show();
        return editor;
    }
    void clickPrint(frmAddEditName& e) {
        QTest::mouseClick(e.findChild<OrielButton*>("cmdPrintEntry"), Qt::LeftButton);
    }

    QStringList documents;
    std::vector<std::vector<test::PrintedText>> printed;
    int pictures = 0;
};

TEST_F(EntryPrint, CancelOnEitherQuestionPrintsNothing) {
    writeBook({entry("Adams, Ann")});
    open();
    auto e = openEditor();
    platform.answers = {MsgAnswer::Cancel};
    clickPrint(*e);
    ASSERT_EQ(platform.messages.size(), 1);  // no picture, so one question only
    EXPECT_EQ(platform.messages[0].title, "Print Options...");
    EXPECT_EQ(platform.messages[0].text, "Print the 'Comments' and 'Affiliations' sections also?");
    EXPECT_EQ(platform.messages[0].buttons, MsgButtons::YesNoCancel);
    EXPECT_EQ(platform.messages[0].icon, MsgIcon::Question);
    EXPECT_TRUE(documents.isEmpty());
    EXPECT_TRUE(e->isEnabled());

    // With a picture, the second question; Cancel there prints nothing too.
    test::TempDir folder;
    const QString picture = QString::fromStdString(folder.file("p.png"));
    QImage image(40, 30, QImage::Format_RGB32);
    image.fill(Qt::red);
    ASSERT_TRUE(image.save(picture));
    platform.openAnswers = {picture};
    QTest::mouseClick(e->findChild<OrielButton*>("cmdPicAddEdit(1)"), Qt::LeftButton);
    platform.answers = {MsgAnswer::Yes, MsgAnswer::Cancel};
    clickPrint(*e);
    ASSERT_EQ(platform.messages.size(), 3);
    EXPECT_EQ(platform.messages[2].text, "Print the picture also?");
    EXPECT_TRUE(documents.isEmpty());

    // Yes to both: the report, then the picture as a document of its own,
    // titled with the entry's name.
    platform.answers = {MsgAnswer::No, MsgAnswer::Yes};
    clickPrint(*e);
    EXPECT_EQ(documents, (QStringList{"Corvane entry", "Corvane picture"}));
    ASSERT_EQ(printed.size(), 2u);
    EXPECT_EQ(printed[0][0].text, "Corvane information report, ");
    EXPECT_EQ(printed[1][0].text, "Adams, Ann");
    EXPECT_EQ(pictures, 1);
    EXPECT_FALSE(app.PrintPictureAtOnce);
    EXPECT_TRUE(e->isEnabled());
    EXPECT_EQ(QApplication::overrideCursor(), nullptr);
}

TEST_F(EntryPrint, TheLabelButtonsOpenTheLabelWindowOnTheirAddress) {
    ContactRecord r = entry("Adams, Ann");
    r.setText(Field::HomeAddress1, "17 Lantern Row");
    r.setText(Field::HomeAddress2, "Suite 4");
    r.setText(Field::HomeCityStateZip, "Harbour Bay, OR 97000");
    r.setText(Field::WorkAddress1, "Oriel Software, 1 Quay Street, Harbour Bay Trading Estate");
    r.setText(Field::WorkCityStateZip, "Harbour Bay, OR 97001");
    writeBook({r});
    open();
    auto e = openEditor();
    for (int index : {1, 2}) {
        bool opened = false;
        test::onNextModal([index, &opened](QWidget* modal) {
            opened = true;
            auto* label = qobject_cast<frmPrintLabel*>(modal);
            ASSERT_NE(label, nullptr);
            EXPECT_EQ(label->line(1), "Adams, Ann");
            if (index == 1) {
                EXPECT_EQ(label->line(2), "17 Lantern Row");  // the continuation is left out
                EXPECT_EQ(label->line(3), "Harbour Bay, OR 97000");
            } else {
                EXPECT_EQ(label->line(2), "Oriel Software, 1 Quay Street, Harb");  // 35
                EXPECT_EQ(label->line(3), "Harbour Bay, OR 97001");
            }
            EXPECT_EQ(label->line(4), "");
            label->cmdCancel_Click();
        });
        QTest::mouseClick(e->findChild<OrielButton*>(
                              QStringLiteral("cmdPrintLabel(%1)").arg(index).toUtf8().constData()),
                          Qt::LeftButton);
        EXPECT_TRUE(opened) << "label button " << index << " opened no label window";
    }
}

TEST_F(EntryPrint, AReportInAPdfFile) {
    ContactRecord r = entry("Adams, Ann", "Annie");
    r.setText(Field::HomePhone, "555-0101");
    r.setText(Field::Comments, "Met at the fair");
    writeBook({r});
    open();
    auto e = openEditor();
    app.openPrinter = nullptr;  // the real way: no printer, so a PDF
    const std::string pdf = dir.file("entry.pdf");
    platform.saveAnswers = {QString::fromStdString(pdf)};
    platform.answers = {MsgAnswer::Yes};
    clickPrint(*e);
    const test::PdfText text = test::readPdf(pdf);
    ASSERT_EQ(text.pages(), 1);
    EXPECT_TRUE(text.pageText(1).startsWith("Corvane information report,"));
    EXPECT_TRUE(text.pageText(1).contains("Adams, Ann(Annie)"));
    EXPECT_TRUE(text.pageText(1).contains("Home phone: 555-0101"));
    EXPECT_TRUE(text.pageText(1).contains("Comments- Met at the fair"));
    const test::PdfWord* header = text.find(QStringLiteral("Corvane"));
    ASSERT_NE(header, nullptr);
    EXPECT_NEAR(header->left, (0.25 + 1.0) * 72, 1.0);
    const test::PdfWord* phone = text.find(QStringLiteral("555-0101"));
    ASSERT_NE(phone, nullptr);
    EXPECT_NEAR(phone->left, (0.25 + 2.1) * 72, 1.5);  // values start at the value column
}

}  // namespace
}  // namespace corvane
