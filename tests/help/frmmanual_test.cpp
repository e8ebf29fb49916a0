// The help window on the real widgets: topics, the menu, the about box,
// the maker's addresses, the keys, and its printout.

#include "frmmanual.h"

#include <gtest/gtest.h>

#include <QApplication>
#include <QLabel>
#include <QMenu>
#include <QPlainTextEdit>
#include <QRegularExpression>
#include <QScrollBar>
#include <QTest>

#include "../listwindow/mainwindowfixture.h"
#include "../printing/pdftext.h"
#include "../printing/recordingsurface.h"
#include "affiliations.h"
#include "frmaddeditname.h"
#include "helptopics.h"
#include "maker.h"
#include "trash.h"

namespace corvane {
namespace {

class HelpWindow : public testing::Test, public test::ShellFixture {
  protected:
    // Opens the window as an opener does, without waiting for it to close.
    frmManual& openOn(int topic, bool singleTopic = false) {
        app.HelpStartTopic = topic;
        app.HelpSingleTopic = singleTopic;
        help = std::make_unique<frmManual>(app);
        help->show();
        (void)QTest::qWaitForWindowExposed(help.get());
        return *help;
    }
    QString shownText() const {
        return help->findChild<QPlainTextEdit*>("txtManual")->toPlainText();
    }
    QString shownCaption() const { return help->findChild<QLabel*>("labelHelpTopic")->text(); }
    QList<int> checkedItems() const {
        QList<int> out;
        for (int i = 1; i <= frmManual::kMenuItems; ++i) {
            if (help->findChild<QAction*>(QStringLiteral("menuHelpTopic(%1)").arg(i))
                    ->isChecked()) {
                out << i;
            }
        }
        return out;
    }
    static QString textOf(int number) {
        return helpTopicText(number).replace(QStringLiteral("\r\n"), QStringLiteral("\n"));
    }
    OrielButton* button(const char* name) const { return help->findChild<OrielButton*>(name); }

    std::unique_ptr<frmManual> help;
};

TEST_F(HelpWindow, OpensOnTheStartTopicWithItsTickCaptionAndText) {
    openOn(3);
    EXPECT_EQ(help->windowTitle(), " Corvane -  Help Window");
    EXPECT_EQ(help->currentTopic(), 3);
    EXPECT_EQ(shownCaption(), "Main Screen");
    EXPECT_EQ(shownText(), textOf(3000));
    EXPECT_FALSE(shownText().isEmpty());
    EXPECT_EQ(checkedItems(), QList<int>{3});
    EXPECT_EQ(button("cmdHelpTopic")->caption(), "&Help Topics\n(F1)");
    EXPECT_TRUE(button("cmdHelpTopic")->isVisible());
    EXPECT_EQ(button("cmdPrintHelp")->caption(), "&Print");
    EXPECT_EQ(button("cmdPrintHelp")->toolTip(), " Be sure your printer is ready! ");
    EXPECT_EQ(button("cmdReturn")->caption(), "&Return\n(Esc)");
    // The menu: fifteen items, separators where the design has them.
    const QList<QAction*> items = help->menuHelpMenu()->actions();
    ASSERT_EQ(items.size(), 15);
    EXPECT_EQ(help->menuHelpMenu()->title(), "Help Topics");
    EXPECT_EQ(items[3]->text(), "Searching Options");
    EXPECT_TRUE(items[1]->isSeparator());
    EXPECT_EQ(items[12]->text(), "Visit Oriel Software's Web Page");
    EXPECT_EQ(items[14]->text(), "Exit this Menu");
}

TEST_F(HelpWindow, ChoosingTheShownTopicOrExitChangesNothingAndAnotherTopicChangesAll) {
    openOn(3);
    auto* text = help->findChild<QPlainTextEdit*>("txtManual");
    text->verticalScrollBar()->setValue(text->verticalScrollBar()->maximum());
    const int scrolled = text->verticalScrollBar()->value();
    help->menuHelpTopic_Click(3);
    help->menuHelpTopic_Click(15);
    EXPECT_EQ(text->verticalScrollBar()->value(), scrolled);
    EXPECT_EQ(help->currentTopic(), 3);

    help->findChild<QAction*>("menuHelpTopic(4)")->trigger();
    EXPECT_EQ(help->currentTopic(), 4);
    EXPECT_EQ(shownCaption(), "Searching Options");
    EXPECT_EQ(shownText(), textOf(4000));
    EXPECT_EQ(checkedItems(), QList<int>{4});
}

TEST_F(HelpWindow, TheAboutBoxLeavesTheTopicAlone) {
    openOn(3);
    help->findChild<QAction*>("menuHelpTopic(9)")->trigger();
    ASSERT_EQ(platform.messages.size(), 1);
    const MessageBoxSpec& about = platform.messages[0];
    EXPECT_EQ(about.title, "About Corvane");
    EXPECT_EQ(about.text, QStringLiteral("Corvane\nVersion w8.14.29\n\n") + maker::kDescription +
                              QStringLiteral("\n\u00A9") + maker::kCopyright + "\n\n");
    EXPECT_EQ(about.icon, MsgIcon::Information);
    EXPECT_EQ(about.buttons, MsgButtons::Ok);
    EXPECT_EQ(help->currentTopic(), 3);
    EXPECT_EQ(checkedItems(), QList<int>{3});
    EXPECT_EQ(shownCaption(), "Main Screen");
}

TEST_F(HelpWindow, TheMakersItemsHandTheirAddressesToTheDesktop) {
    openOn(1);
    help->findChild<QAction*>("menuHelpTopic(12)")->trigger();
    help->findChild<QAction*>("menuHelpTopic(13)")->trigger();
    EXPECT_EQ(platform.addresses, (QStringList{QStringLiteral("mailto:") + maker::kEmail,
                                               QStringLiteral("http://") + maker::kWebPage}));
    EXPECT_EQ(help->currentTopic(), 1);
}

TEST_F(HelpWindow, ASingleTopicHidesTheTopicsButtonButF1StillPopsTheMenu) {
    openOn(5, true);
    EXPECT_EQ(shownCaption(), "Filter Names by 'Affiliations'");
    EXPECT_FALSE(button("cmdHelpTopic")->isVisible());
    help->activateWindow();
    (void)QTest::qWaitForWindowActive(help.get());
    QTest::keyClick(help->findChild<QPlainTextEdit*>("txtManual"), Qt::Key_F1);
    EXPECT_TRUE(QTest::qWaitFor([&] { return help->menuHelpMenu()->isVisible(); }, 2000));
    help->menuHelpMenu()->close();
}

TEST_F(HelpWindow, EscReturns) {
    openOn(3);
    help->activateWindow();
    (void)QTest::qWaitForWindowActive(help.get());
    QTest::keyClick(help.get(), Qt::Key_Escape);
    EXPECT_TRUE(QTest::qWaitFor([&] { return !help->isVisible(); }, 2000));
}

TEST_F(HelpWindow, ThePrintoutIsHeadedWithTheTopic) {
    openOn(4);
    std::vector<test::PrintedText> printed;
    app.openPrinter = [&](QWidget* owner, const QString& name) {
        EXPECT_EQ(owner, help.get());
        EXPECT_EQ(name, "Corvane help");
        auto printer = std::make_unique<test::RecordingSurface>();
        printer->onEnd = [&](const test::RecordingSurface& done) { printed = done.texts; };
        return printer;
    };
    QTest::mouseClick(button("cmdPrintHelp"), Qt::LeftButton);
    ASSERT_FALSE(printed.empty());
    EXPECT_EQ(printed[0].text, "Corvane, Help Section: Searching Options");
    EXPECT_TRUE(printed[0].font.underline);
    EXPECT_FLOAT_EQ(printed[0].x, 1.0f);
    EXPECT_FLOAT_EQ(printed[0].y, 1.0f);
    QString body;
    for (std::size_t i = 1; i < printed.size(); ++i) {
        body += printed[i].text;
        EXPECT_EQ(printed[i].font, PrintFont{});
    }
    // Every character of the topic reaches the paper; only the line ends
    // are not characters there.
    EXPECT_EQ(body, QString(helpTopicText(4000)).remove(QStringLiteral("\r\n")));
    EXPECT_TRUE(help->isEnabled());
}

TEST_F(HelpWindow, WithoutAPrinterTheTopicIsWrittenAsAPdfFile) {
    openOn(7);
    const std::string pdf = dir.file("help.pdf");
    platform.saveAnswers = {QString::fromStdString(pdf)};
    QTest::mouseClick(button("cmdPrintHelp"), Qt::LeftButton);
    ASSERT_EQ(platform.titles(), QStringList{"Corvane"});
    const test::PdfText text = test::readPdf(pdf);
    ASSERT_GE(text.pages(), 1);
    EXPECT_TRUE(text.pageText(1).startsWith("Corvane, Help Section: Printing Options"));
    const test::PdfWord* heading = text.find(QStringLiteral("Corvane,"));
    ASSERT_NE(heading, nullptr);
    EXPECT_NEAR(heading->left, (0.25 + 1.0) * 72, 1.0);
    EXPECT_NEAR(heading->top, (0.25 + 1.0) * 72, 1.0);
    EXPECT_TRUE(text.pageText(text.pages()).contains("labels"));
}

// The openers: F1 and the help button of the main window, the editor's.
class HelpOpeners : public testing::Test, public test::MainWindowFixture {
  protected:
    void SetUp() override {
        app.openHelp = [this](QWidget* owner) {
            frmManual manual(app, owner);
            manual.exec();
        };
    }
    // On the help window that opens next: its caption, then Return.
    void expectHelpOn(const QString& caption) {
        test::onNextModal([caption](QWidget* modal) {
            auto* manual = qobject_cast<frmManual*>(modal);
            ASSERT_NE(manual, nullptr);
            EXPECT_EQ(manual->findChild<QLabel*>("labelHelpTopic")->text(), caption);
            manual->cmdReturn_Click();
        });
    }
};

TEST_F(HelpOpeners, F1AndTheHelpButtonOfTheListOpenMainScreen) {
    writeBook({test::entry("Adams")});
    open();
    expectHelpOn(QStringLiteral("Main Screen"));
    QTest::keyClick(&grid(), Qt::Key_F1);
    EXPECT_EQ(app.HelpStartTopic, 3);
    expectHelpOn(QStringLiteral("Main Screen"));
    QTest::mouseClick(button("cmdHelp"), Qt::LeftButton);
    EXPECT_TRUE(window->isEnabled());
}

TEST_F(HelpOpeners, TheEditorsHelpButtonOpensTheAffiliationsTopic) {
    writeBook({test::entry("Adams")});
    open();
    frmAddEditName editor(app, *window, EditorMode::View, window.get());
    editor.show();
    expectHelpOn(QStringLiteral("Filter Names by 'Affiliations'"));
    QTest::mouseClick(editor.findChild<OrielButton*>("cmdHelp"), Qt::LeftButton);
    EXPECT_EQ(app.HelpStartTopic, 5);
}

// The limits the help names are the ones the program keeps.
TEST(HelpTexts, TheLimitsTheyNameAreTheProgramsOwn) {
    const auto rule = QRegularExpression(QStringLiteral(R"(between (\d+) and (\d+) characters)"))
                          .match(helpTopicText(5000));
    ASSERT_TRUE(rule.hasMatch());
    auto listed = [](int length) {
        ContactRecord r = test::entry("Member");
        r.setText(Field::Affiliations, std::string(static_cast<std::size_t>(length), 'g'));
        AffiliationList list;
        list.CollectAffiliations(r);
        return !list.isEmpty();
    };
    const int shortest = rule.captured(1).toInt();
    const int longest = rule.captured(2).toInt();
    EXPECT_FALSE(listed(shortest - 1));
    EXPECT_TRUE(listed(shortest));
    EXPECT_TRUE(listed(longest));
    EXPECT_FALSE(listed(longest + 1));

    const auto kept =
        QRegularExpression(QStringLiteral(R"(the last ([\d,]+) deleted entries, for (\d+) days)"))
            .match(helpTopicText(3000));
    ASSERT_TRUE(kept.hasMatch());
    EXPECT_EQ(kept.captured(1).remove(u',').toInt(), kTrashKeeps);
    EXPECT_EQ(kept.captured(2).toLongLong() * 24 * 60 * 60, kTrashKeepsSeconds);
}

}  // namespace
}  // namespace corvane
