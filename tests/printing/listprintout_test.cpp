// The list printout: its layout on a recording surface, the printer
// question on the real main window, and the whole way to a PDF file read
// back with pdftotext.

#include "listprintout.h"

#include <gtest/gtest.h>
#include <signal.h>

#include <QApplication>
#include <QProgressDialog>

#include "../listwindow/mainwindowfixture.h"
#include "contactgrid.h"
#include "pdftext.h"
#include "qtprintersurface.h"
#include "recordingsurface.h"

namespace corvane {
namespace {

using test::PrintedText;

// A list of `n` entries named "Name 01", ... with "Value 01", ... beside.
ListPrintout listOf(int n) {
    return {QStringLiteral("Corvane"), QStringLiteral("All entries"),
            QStringLiteral("08 Dec 2026 09:30:15"), n + 1, [](int r, int c) {
                if (r == 0) {
                    return c == 0 ? QStringLiteral("Name (or Business)")
                                  : QStringLiteral("Home Phone");
                }
                return QStringLiteral("%1 %2")
                    .arg(c == 0 ? QStringLiteral("Name") : QStringLiteral("Value"))
                    .arg(r, 2, 10, QChar(u'0'));
            }};
}

std::vector<PrintedText> textsAt(const test::RecordingSurface& printer, int page, float y) {
    std::vector<PrintedText> out;
    for (const PrintedText& t : printer.onPage(page)) {
        if (t.y == y) {
            out.push_back(t);
        }
    }
    return out;
}

TEST(ListLayout, EachPageIsHeadedRuledAndTheRowsSitInTwoColumns) {
    test::RecordingSurface printer;
    PrintList(printer, listOf(3));
    const std::vector<PrintedText> page = printer.onPage(1);
    ASSERT_GE(page.size(), 5u);
    EXPECT_EQ(page[0].text, "Corvane -- All entries -- Page 1, 08 Dec 2026 09:30:15");
    EXPECT_FLOAT_EQ(page[0].x, 0.5f);
    EXPECT_FLOAT_EQ(page[0].y, 1.0f);
    EXPECT_EQ(page[0].font, PrintFont{});  // Arial 10, plain
    EXPECT_TRUE(page[1].text.startsWith(u'_'));
    // The headings share their line with the rule that underlines them.
    const auto headings = textsAt(printer, 1, page[2].y);
    ASSERT_EQ(headings.size(), 3u);
    EXPECT_EQ(headings[0].text, "Name (or Business)");
    EXPECT_FLOAT_EQ(headings[0].x, 0.5f);
    EXPECT_EQ(headings[1].text, "Home Phone");
    EXPECT_FLOAT_EQ(headings[1].x, 4.2f);
    EXPECT_TRUE(headings[2].text.startsWith(u'_'));
    EXPECT_FLOAT_EQ(headings[2].x, 0.5f);

    const PrintedText* row = printer.find(QStringLiteral("Name 02"));
    ASSERT_NE(row, nullptr);
    EXPECT_FLOAT_EQ(row->x, 0.5f);
    const auto beside = textsAt(printer, 1, row->y);
    ASSERT_EQ(beside.size(), 2u);
    EXPECT_EQ(beside[1].text, "Value 02");
    EXPECT_FLOAT_EQ(beside[1].x, 4.2f);
}

TEST(ListLayout, TheLastRowIsUnderlinedAndFollowedByEndOfPrintout) {
    test::RecordingSurface printer;
    PrintList(printer, listOf(3));
    const PrintedText* last = printer.find(QStringLiteral("Name 03"));
    ASSERT_NE(last, nullptr);
    const auto onLastLine = textsAt(printer, 1, last->y);
    ASSERT_EQ(onLastLine.size(), 3u);
    EXPECT_TRUE(onLastLine[2].text.startsWith(u'_'));
    const PrintedText& end = printer.texts.back();
    EXPECT_EQ(end.text, "End of Printout");
    EXPECT_FLOAT_EQ(end.x, 0.5f);
    EXPECT_GT(end.y, last->y);
    EXPECT_TRUE(printer.ended);
    EXPECT_EQ(printer.pagesStarted, 1);
}

TEST(ListLayout, ARowExactlyAtTheFullMarkStaysAndTheNextEndsThePage) {
    // With lines 0.6 inch high, the header takes the lines at 1.0, 1.6 and
    // 2.2 and row 11 lands on 8.8 exactly.
    test::RecordingSurface printer;
    printer.fixedLineHeight = 0.6;
    PrintList(printer, listOf(14));
    const PrintedText* eleventh = printer.find(QStringLiteral("Name 11"));
    const PrintedText* twelfth = printer.find(QStringLiteral("Name 12"));
    const PrintedText* thirteenth = printer.find(QStringLiteral("Name 13"));
    ASSERT_TRUE(eleventh && twelfth && thirteenth);
    EXPECT_EQ(eleventh->y, 8.8f);
    EXPECT_EQ(eleventh->page, 1);
    EXPECT_EQ(twelfth->page, 1);  // printed below the mark: the page's last
    EXPECT_EQ(textsAt(printer, 1, twelfth->y).size(), 3u);  // underlined
    EXPECT_EQ(thirteenth->page, 2);
    // Page 2 starts with its own header, numbered by the printer.
    EXPECT_EQ(printer.onPage(2).front().text,
              "Corvane -- All entries -- Page 2, 08 Dec 2026 09:30:15");
    EXPECT_EQ(printer.pagesStarted, 2);
    EXPECT_EQ(printer.texts.back().text, "End of Printout");
}

TEST(ListLayout, NamesAreCutTo55CharactersAndValuesAreFlattenedNotCut) {
    const QString name = QString(56, u'N');
    const QString value = QStringLiteral("Church\r\nChoir and a value far longer than its column");
    test::RecordingSurface printer;
    PrintList(printer, {QStringLiteral("Corvane"), QStringLiteral("All entries"),
                        QStringLiteral("now"), 2, [&](int r, int c) {
                            return r == 0 ? QStringLiteral("H") : c == 0 ? name : value;
                        }});
    EXPECT_NE(printer.find(QString(55, u'N')), nullptr);
    EXPECT_EQ(printer.find(name), nullptr);
    EXPECT_NE(printer.find(QStringLiteral("Church · Choir and a value far longer than its column")),
              nullptr);
}

TEST(ListLayout, AListWithoutEntriesPrintsNothingAndSendsNoDocument) {
    test::RecordingSurface printer;
    PrintList(printer, listOf(0));
    EXPECT_TRUE(printer.texts.empty());
    EXPECT_FALSE(printer.ended);
}

// A long printout shows its progress; Cancel there abandons the job and
// leaves the file of the chosen name as it was.
// A disk that fills while a short printout is written (a file size limit
// on the process stands in for it): the earlier file stays byte for byte,
// nothing is left beside it, and the user is told it was not saved.
TEST(PdfPrintout, ADiskThatFillsLeavesTheEarlierFileAndSaysSo) {
    test::TempDir dir;
    const std::string path = dir.file("entry.pdf");
    const test::Bytes earlier(100, 'e');
    test::writeFile(path, earlier);
    ::signal(SIGXFSZ, SIG_IGN);  // inherited: a write past the limit fails instead
    const auto full = test::runProgram(
        "/usr/bin/prlimit", {"--fsize=3000", CORVANE_PDF_CHILD, path}, dir.path().string());
    ::signal(SIGXFSZ, SIG_DFL);
    EXPECT_EQ(full.exitStatus, 1) << full.out;
    EXPECT_NE(full.out.find("Printing: Corvane could not write the PDF file"), std::string::npos)
        << full.out;
    EXPECT_EQ(test::folderOf(dir.path()), (test::Folder{{"entry.pdf", earlier}}));

    const auto room = test::runProgram(CORVANE_PDF_CHILD, {path}, dir.path().string());
    EXPECT_EQ(room.exitStatus, 0) << room.out;
    EXPECT_EQ(test::readFile(path).front(), '%');
}

// The progress window stands over the window that prints, with a bar against
// the number of entries; its Cancel leaves no partial file.
TEST(PdfPrintout, CancellingALongPrintoutLeavesNoPartialFile) {
    test::TempDir dir;
    test::FakePlatform platform;
    const QString path = QString::fromStdString(dir.file("list.pdf"));
    test::writeFile(path.toStdString(), test::Bytes{'o', 'l', 'd'});
    QWidget owner;
    auto printer = QtPrinterSurface::toPdf(platform, &owner, path, QPageSize(QPageSize::A4),
                                           QStringLiteral("Corvane list"));
    printer->setProgressDelay(0);
    bool cancelled = false;
    test::onNextModal([&](QWidget* modal) {
        auto* progress = qobject_cast<QProgressDialog*>(modal);
        ASSERT_NE(progress, nullptr);
        EXPECT_EQ(progress->windowTitle(), "Printing");
        EXPECT_TRUE(progress->labelText().startsWith("Printing page "));
        EXPECT_EQ(progress->parentWidget(), &owner);
        EXPECT_EQ(progress->maximum(), 2000);
        EXPECT_GT(progress->value(), 0);
        progress->cancel();
        cancelled = true;
    });
    PrintList(*printer, listOf(2000));
    EXPECT_TRUE(cancelled);
    EXPECT_FALSE(printer->active());
    EXPECT_LT(printer->page(), 40);  // it stopped soon after the Cancel
    printer->report();
    EXPECT_TRUE(platform.messages.isEmpty());  // the user cancelled: nothing to tell
    EXPECT_EQ(test::readFile(path.toStdString()), (test::Bytes{'o', 'l', 'd'}));
    EXPECT_EQ(std::distance(std::filesystem::directory_iterator(dir.path()), {}), 1);
}

// The print button on the real main window.
class PrintButton : public testing::Test, public test::MainWindowFixture {
  protected:
    void SetUp() override {
        std::vector<ContactRecord> book;
        for (int i = 1; i <= 36; ++i) {
            book.push_back(
                test::entry(QStringLiteral("Entry %1").arg(i, 2, 10, QChar(u'0')).toStdString(),
                            "Nick" + std::to_string(i)));
        }
        writeBook(book);
    }
    void useRecorder() {
        app.openPrinter = [this](QWidget*, const QString& name) {
            documentNames.append(name);
            auto printer = std::make_unique<test::RecordingSurface>();
            printer->onEnd = [this](const test::RecordingSurface& done) { printed = done.texts; };
            return printer;
        };
    }
    void clickPrint() { QTest::mouseClick(button("cmdPrintList"), Qt::LeftButton); }

    QStringList documentNames;
    std::vector<PrintedText> printed;
};

TEST_F(PrintButton, NoOrCancelToThePrinterQuestionPrintsNothingAndAsksAgain) {
    useRecorder();
    platform.printerName = QStringLiteral("Office");
    open();
    platform.answers = {MsgAnswer::No};
    clickPrint();
    ASSERT_EQ(platform.messages.size(), 1);
    const MessageBoxSpec& question = platform.messages[0];
    EXPECT_EQ(question.title, "Corvane");
    EXPECT_EQ(question.text, "Is your printer ready?");
    EXPECT_EQ(question.icon, MsgIcon::Question);
    EXPECT_EQ(question.buttons, MsgButtons::YesNoCancel);
    EXPECT_FALSE(window->printerConfirmed());
    platform.answers = {MsgAnswer::Cancel};
    clickPrint();
    EXPECT_EQ(platform.messages.size(), 2);
    EXPECT_FALSE(window->printerConfirmed());
    EXPECT_TRUE(documentNames.isEmpty());

    // Yes prints, and the question is not asked again in this run.
    platform.answers = {MsgAnswer::Yes};
    clickPrint();
    EXPECT_TRUE(window->printerConfirmed());
    EXPECT_EQ(documentNames, QStringList{"Corvane list"});
    ASSERT_FALSE(printed.empty());
    EXPECT_TRUE(printed.front().text.startsWith("Corvane -- All entries -- Page 1, "));
    clickPrint();
    EXPECT_EQ(platform.messages.size(), 3);
    EXPECT_EQ(documentNames.size(), 2);
    EXPECT_TRUE(window->isEnabled());
    EXPECT_EQ(QApplication::overrideCursor(), nullptr);
}

// Without a printer nobody is asked whether it is ready: the list becomes a
// PDF file of the user's naming; read back, every name stands in order in
// its column.
TEST_F(PrintButton, WithoutAPrinterTheListIsWrittenAsAPdfFile) {
    open(1);  // the nicknames beside the names
    const std::string pdf = dir.file("my list.pdf");
    platform.saveAnswers = {QString::fromStdString(pdf)};
    clickPrint();

    ASSERT_EQ(platform.saveDialogs.size(), 1);
    EXPECT_TRUE(platform.saveDialogs[0].suggestedPath.endsWith("/Corvane list.pdf"));
    ASSERT_EQ(platform.titles(), QStringList{"Corvane"});
    EXPECT_EQ(platform.messages[0].text,
              "There is no printer, so the printout was saved as a PDF file:\n\n" +
                  QString::fromStdString(pdf));
    EXPECT_TRUE(window->isEnabled());
    EXPECT_EQ(QApplication::overrideCursor(), nullptr);

    const test::PdfText text = test::readPdf(pdf);
    ASSERT_GE(text.pages(), 1);
    EXPECT_NEAR(text.pageWidth, 595, 1);  // A4 under the pinned locale
    EXPECT_TRUE(text.pageText(1).startsWith("Corvane -- All entries -- Page 1,"));
    const test::PdfWord* name = text.find(QStringLiteral("Name"));
    const test::PdfWord* nickname = text.find(QStringLiteral("Nickname"));
    ASSERT_TRUE(name && nickname);
    EXPECT_NEAR(nickname->left - name->left, 3.7 * 72, 1.0);
    EXPECT_NEAR(name->left, (0.25 + 0.5) * 72, 1.0);  // the printable area starts a quarter in
    QStringList entries;
    QString previous;
    for (const test::PdfWord& w : text.words) {
        if (w.text == u"Entry") {
            EXPECT_NEAR(w.left, name->left, 0.5);
        } else if (previous == u"Entry") {
            entries << w.text;
        } else if (w.text.startsWith(QStringLiteral("Nick"))) {
            EXPECT_NEAR(w.left, nickname->left, 0.5) << w.text.toStdString();
        }
        previous = w.text;
    }
    QStringList expected;
    for (int i = 1; i <= 36; ++i) {
        expected << QStringLiteral("%1").arg(i, 2, 10, QChar(u'0'));
    }
    EXPECT_EQ(entries, expected);
    EXPECT_TRUE(text.pageText(text.pages()).endsWith("End of Printout"));
}

// A name typed without ".pdf" gets it; a file of that name is replaced only
// when the user says so.
TEST_F(PrintButton, ANameTypedWithoutItsSuffixAsksBeforeReplacingAFile) {
    open();
    const std::string pdf = dir.file("list.pdf");
    const test::Bytes earlier{'e', 'a', 'r', 'l', 'i', 'e', 'r'};
    test::writeFile(pdf, earlier);
    platform.answers = {MsgAnswer::No};
    platform.saveAnswers = {QString::fromStdString(dir.file("list"))};
    clickPrint();
    ASSERT_EQ(platform.titles(), QStringList{"Save the printout as PDF"});
    EXPECT_EQ(platform.messages[0].text,
              QString::fromStdString(pdf) + " already exists.\nDo you want to replace it?");
    EXPECT_EQ(platform.messages[0].defaultButton, 2);
    EXPECT_EQ(test::readFile(pdf), earlier);

    platform.answers = {MsgAnswer::Yes};
    platform.saveAnswers = {QString::fromStdString(dir.file("list"))};
    clickPrint();
    EXPECT_EQ(test::readFile(pdf).front(), '%');
}

TEST_F(PrintButton, ACancelledFileNamePrintsNothingAndAnUnwritableOneSaysWhy) {
    open();
    clickPrint();  // the save dialog is cancelled
    EXPECT_TRUE(platform.messages.isEmpty());
    EXPECT_EQ(std::distance(std::filesystem::directory_iterator(dir.path()), {}), 1);

    const QString unwritable = QString::fromStdString(dir.file("no such folder/list.pdf"));
    platform.saveAnswers = {unwritable};
    clickPrint();
    ASSERT_EQ(platform.titles(), QStringList{"Printing"});
    EXPECT_TRUE(platform.messages[0].text.startsWith("Corvane could not write the PDF file\n" +
                                                     unwritable + "\n\n("));
    EXPECT_TRUE(platform.messages[0].text.endsWith("Nothing was saved."));
    EXPECT_FALSE(test::fileExists(unwritable.toStdString()));
    EXPECT_TRUE(window->isEnabled());
    EXPECT_EQ(QApplication::overrideCursor(), nullptr);
}

// A default printer that the system does not know (removed since it was
// set, or a queue that is gone): the job is not sent anywhere else.
TEST_F(PrintButton, ADefaultPrinterThatIsGoneSaysSoAndPrintsNothing) {
    platform.printerName = QStringLiteral("Vanished_Printer");
    open();
    platform.answers = {MsgAnswer::Yes};
    clickPrint();
    ASSERT_EQ(platform.titles(), (QStringList{"Corvane", "Printing"}));
    EXPECT_EQ(platform.messages[1].text,
              "Corvane could not find the printer \"Vanished_Printer\".\n\nNothing was printed.");
    EXPECT_TRUE(platform.saveDialogs.isEmpty());  // no PDF offered in its place
    EXPECT_TRUE(window->isEnabled());
    EXPECT_EQ(QApplication::overrideCursor(), nullptr);
}

}  // namespace
}  // namespace corvane
