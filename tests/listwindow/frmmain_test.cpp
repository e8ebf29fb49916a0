// The main window with its list, driven as a user drives it.

#include "frmmain.h"

#include <gtest/gtest.h>

#include <QFile>
#include <QLabel>
#include <QPointer>
#include <QTest>

#include "../store/storetestdata.h"
#include "mainwindowfixture.h"
#include "modfadeinout.h"
#include "oledate.h"

namespace corvane {
namespace {

using test::entry;
using test::readFile;
using test::writeFile;

class MainWindow : public testing::Test, public test::MainWindowFixture {
  protected:
    QString header() { return window->findChild<QLabel*>("lblGridHeader")->text(); }
    bool shown(const char* name) { return button(name)->isVisibleTo(window.get()); }
};

TEST_F(MainWindow, AnEmptyBookSaysSoAndOffersTheAddButton) {
    open();
    EXPECT_TRUE(QFile::exists(app.path("Corvane.Data")));
    EXPECT_EQ(grid().Rows(), 1);
    EXPECT_EQ(header(), "");
    EXPECT_TRUE(shown("cmdAddEntry"));
    EXPECT_FALSE(shown("cmdSeeEntry"));
    EXPECT_FALSE(shown("cmdDeleteEntry"));
    ASSERT_EQ(platform.messages.size(), 1);
    EXPECT_EQ(platform.messages[0].title, "Corvane");
    EXPECT_EQ(platform.messages[0].text,
              "Your Corvane database \nis currently empty!\n\nTo add an entry to your\n"
              "Corvane list, just\nclick on the green & white\n'Add Entry' icon above...");
    EXPECT_EQ(platform.messages[0].icon, MsgIcon::Information);
}

TEST_F(MainWindow, OneEntryIsListedWithTheButtonsThatSuitIt) {
    writeBook({entry("Adams, Ann")});
    open();
    EXPECT_EQ(names(), QStringList{"Adams, Ann"});
    EXPECT_EQ(grid().TextMatrix(1, 2), "1");
    EXPECT_EQ(header(), " All entries ");
    for (const char* visible : {"cmdSeeEntry", "cmdDeleteEntry", "cmdBirthday", "cmdListWith",
                                "cmdAddEntry", "cmdQuit", "cmdHelp"}) {
        EXPECT_TRUE(shown(visible)) << visible;
    }
    for (const char* hidden :
         {"cmdFindEntries(1)", "cmdFindEntries(2)", "cmdPrintList", "cmdSeeAllEntries"}) {
        EXPECT_FALSE(shown(hidden)) << hidden;
    }
    EXPECT_TRUE(platform.messages.isEmpty());
    // With one entry typed letters pass on.
    EXPECT_FALSE(frmMainTest::keypress(*window, "a"));
    EXPECT_TRUE(grid().isColumnHidden(2));
}

TEST_F(MainWindow, RowsAreSortedByNameThenTheSecondColumnIgnoringCapitals) {
    writeBook({entry("stone, Sue"), entry("Same, Name", "Banana"), entry("Adams, Ann"),
               entry("Same, Name", "apple"), entry("Müller, Jo"), entry("MOORE, Al")});
    open(1);  // "Nickname"
    EXPECT_EQ(grid().TextMatrix(0, 1), "Nickname");
    EXPECT_EQ(grid().TextMatrix(0, 0), "Name (or Business)");
    EXPECT_EQ(names(), (QStringList{"Adams, Ann", "MOORE, Al", "Müller, Jo", "Same, Name",
                                    "Same, Name", "stone, Sue"}));
    EXPECT_EQ(grid().TextMatrix(4, 1), "apple");
    EXPECT_EQ(grid().TextMatrix(5, 1), "Banana");
    // Each row still knows its record.
    EXPECT_EQ(grid().TextMatrix(4, 2), "4");
    EXPECT_EQ(grid().TextMatrix(6, 2), "1");
}

TEST_F(MainWindow, EveryOtherRowIsShaded) {
    writeBook({entry("A"), entry("B"), entry("C"), entry("D"), entry("E")});
    open();
    auto background = [&](int row) {
        return grid().gridModel().data(grid().gridModel().index(row - 1, 0), Qt::BackgroundRole);
    };
    EXPECT_FALSE(background(1).isValid());
    EXPECT_EQ(background(2).value<QColor>(), QColor(240, 240, 240));
    EXPECT_FALSE(background(3).isValid());
    EXPECT_EQ(background(4).value<QColor>(), QColor(240, 240, 240));
}

TEST_F(MainWindow, TheSecondColumnShowsDatesAndFlattenedText) {
    ContactRecord old = entry("Old");
    old.setDate(Field::Birthday, oleFromDateTime({1850, 3, 15}));
    ContactRecord none = entry("None");
    ContactRecord born = entry("Born");
    born.setDate(Field::Birthday, oleFromDateTime({1962, 3, 15}));
    ContactRecord eighteen99 = entry("Late");
    eighteen99.setDate(Field::Birthday, oleFromDateTime({1899, 12, 31}));
    writeBook({old, none, born, eighteen99});
    open(3);
    EXPECT_EQ(grid().TextMatrix(1, 1), "Mar 15, 1962");  // Born
    EXPECT_EQ(grid().TextMatrix(2, 1), "");              // Late
    EXPECT_EQ(grid().TextMatrix(3, 1), "");              // None
    EXPECT_EQ(grid().TextMatrix(4, 1), "");              // Old
}

TEST_F(MainWindow, CommentsAreFlattenedAndCut) {
    ContactRecord met = entry("Met");
    met.setText(Field::Comments, "Met at\r\nthe fair");
    ContactRecord longer = entry("Long");
    longer.setText(Field::Comments, std::string(60, 'c'));
    ContactRecord church = entry("Church");
    church.setText(Field::Affiliations, "Church\r\n");
    writeBook({met, longer, church});
    open(22);
    EXPECT_EQ(grid().TextMatrix(0, 1), "Comments");
    EXPECT_EQ(grid().TextMatrix(3, 1), "Met at \u00B7 the fair");
    EXPECT_EQ(grid().TextMatrix(2, 1), QString(45, u'c'));
    window.reset();
    open(23);
    EXPECT_EQ(grid().TextMatrix(1, 1), "Church \u00B7");
}

TEST_F(MainWindow, ANewEntryIsHighlightedAfterItIsAdded) {
    std::vector<ContactRecord> book;
    for (int i = 0; i < 60; ++i) {
        book.push_back(entry("Adams " + std::to_string(100 + i)));
        book.push_back(entry("Young " + std::to_string(100 + i)));
    }
    writeBook(book);
    app.openEntryEditor = [&](QWidget*, EditorMode mode, ListLink& list) {
        EXPECT_EQ(mode, EditorMode::Add);
        ASSERT_TRUE(app.store.OpenDataFile().ok());
        app.store.CurrentRecord() = entry("Smith, Ann");
        ASSERT_TRUE(app.store.WriteRecord(app.store.RecordCount() + 1).ok());
        ASSERT_TRUE(app.store.CloseDataFile().ok());
        list.setAddEntryTag("Smith, Ann");
    };
    open();
    QTest::mouseClick(button("cmdAddEntry"), Qt::LeftButton);
    EXPECT_EQ(grid().TextMatrix(grid().Row(), 0), "Smith, Ann");
    EXPECT_EQ(grid().TopRow(), grid().Row());
    EXPECT_EQ(frmMainTest::addEntryTag(*window), "");
}

TEST_F(MainWindow, CancellingTheEditorLeavesTheListAlone) {
    writeBook({entry("A"), entry("B"), entry("C")});
    int opened = 0;
    app.openEntryEditor = [&](QWidget*, EditorMode mode, ListLink& list) {
        EXPECT_EQ(mode, EditorMode::View);
        EXPECT_EQ(list.TextMatrix(list.Row(), 2), "2");
        ++opened;
    };
    open();
    grid().setRow(2);
    QTest::keyClick(&grid(), Qt::Key_Return);
    EXPECT_EQ(opened, 1);
    EXPECT_EQ(grid().Row(), 2);
    EXPECT_TRUE(grid().hasFocus());
}

TEST_F(MainWindow, ASavedRowBeyondTheEndIsLimitedToTheLastRow) {
    writeBook({entry("A"), entry("B"), entry("C")});
    open();
    frmMainTest::savedRow(*window) = 10;
    frmMainTest::savedTopRow(*window) = 9;
    window->LoadGrid();
    EXPECT_EQ(grid().Row(), 3);
}

TEST_F(MainWindow, ADamagedFileIsReportedOnceAndNotWritten) {
    test::Bytes bytes(4500, ' ');
    writeFile(app.path("Corvane.Data").toStdString(), bytes);
    open();
    window->LoadGrid();
    ASSERT_EQ(platform.titles().count("Please take note..."), 1);
    EXPECT_TRUE(platform.messages[0].text.contains("not a whole number of 3000-byte entries"));
}

TEST(MainWindowFaults, AFileErrorIsReportedAndTheWindowStaysUsable) {
    test::FaultyShellFixture shell;
    auto& [settings, dir, platform, fs, app] = shell;
    fs.failStep(1, EACCES);
    frmMain window(app);
    window.setAttribute(Qt::WA_DeleteOnClose, false);
    window.show();
    ASSERT_TRUE(QTest::qWaitFor([&] { return !platform.messages.isEmpty(); }, 1000));
    ASSERT_EQ(platform.messages.size(), 1);
    EXPECT_EQ(platform.messages[0].title, "Error");
    EXPECT_TRUE(platform.messages[0].text.endsWith(
        app.path("Corvane.Data") + ": " + QString::fromStdString(test::systemReason(EACCES))));
    EXPECT_EQ(QApplication::overrideCursor(), nullptr);
    EXPECT_TRUE(window.isEnabled());
}

TEST_F(MainWindow, DeletingAsksFirstAndRemovesTheHighlightedEntry) {
    writeBook({entry("Adams"), entry("Baker"), entry("Clark")});
    open();
    grid().setRow(2);
    platform.answers = {MsgAnswer::No};
    QTest::mouseClick(button("cmdDeleteEntry"), Qt::LeftButton);
    ASSERT_EQ(platform.messages.size(), 1);
    const MessageBoxSpec& question = platform.messages[0];
    EXPECT_EQ(question.title, "Confirm");
    EXPECT_EQ(question.text, "Are you SURE you wish to delete this entry?\n\nBaker");
    EXPECT_EQ(question.buttons, MsgButtons::YesNo);
    EXPECT_EQ(question.icon, MsgIcon::Question);
    EXPECT_EQ(question.defaultButton, 2);
    EXPECT_EQ(readFile(app.path("Corvane.Data").toStdString()).size(), 9000u);

    platform.answers = {MsgAnswer::Yes};
    QTest::mouseClick(button("cmdDeleteEntry"), Qt::LeftButton);
    EXPECT_EQ(test::namesIn(readFile(app.path("Corvane.Data").toStdString())),
              (std::vector<std::string>{"Adams", "Clark"}));
    EXPECT_EQ(names(), (QStringList{"Adams", "Clark"}));
    EXPECT_TRUE(grid().hasFocus());
}

TEST_F(MainWindow, DeletingTheLastEntryLeavesTheFocusOnTheAddButton) {
    writeBook({entry("Adams")});
    open();
    platform.answers = {MsgAnswer::Yes};
    QTest::mouseClick(button("cmdDeleteEntry"), Qt::LeftButton);
    EXPECT_EQ(grid().Rows(), 1);
    EXPECT_TRUE(button("cmdAddEntry")->hasFocus());
    EXPECT_EQ(platform.titles().last(), "Corvane");  // the empty-book message
}

TEST_F(MainWindow, FirstLetterHighlightingMovesAndWraps) {
    writeBook({entry("Adams"), entry("Smith"), entry("Brown"), entry("Stone")});
    open();
    grid().setRow(1);
    QTest::keyClicks(&grid(), "s");
    EXPECT_EQ(grid().TextMatrix(grid().Row(), 0), "Smith");
    QTest::keyClicks(&grid(), "s");
    EXPECT_EQ(grid().TextMatrix(grid().Row(), 0), "Stone");
    QTest::keyClicks(&grid(), "s");
    EXPECT_EQ(grid().TextMatrix(grid().Row(), 0), "Smith");
    QTest::keyClicks(&grid(), "x");
    EXPECT_EQ(grid().TextMatrix(grid().Row(), 0), "Smith");
    EXPECT_TRUE(frmMainTest::keypress(*window, "b"));
    EXPECT_EQ(grid().TextMatrix(grid().Row(), 0), "Brown");
    EXPECT_FALSE(frmMainTest::keypress(*window, "#"));
    EXPECT_EQ(grid().TextMatrix(grid().Row(), 0), "Brown");
}

TEST_F(MainWindow, TheGridHintsChangeWithTheFirstTwoMoves) {
    writeBook({entry("A"), entry("B"), entry("C")});
    open();
    QTest::mouseMove(grid().viewport(), QPoint(20, 5));
    EXPECT_EQ(grid().toolTip(), " Press the first letter of an entry for instant highlighting... ");
    grid().setRow(2);
    QTest::mouseMove(grid().viewport(), QPoint(20, 6));
    EXPECT_EQ(grid().toolTip(), " Double-click to see the details of this entry ");
    grid().setRow(3);
    QTest::mouseMove(grid().viewport(), QPoint(20, 7));
    EXPECT_EQ(grid().toolTip(), "");
}

TEST_F(MainWindow, EscapeQuitsWithAQuestionOrLeavesASubList) {
    writeBook({entry("Adams"), entry("Baker"), entry("Clark")});
    open();
    platform.answers = {MsgAnswer::No};
    QTest::keyClick(&grid(), Qt::Key_Escape);
    ASSERT_EQ(platform.messages.size(), 1);
    EXPECT_EQ(platform.messages[0].title, "Confirm");
    EXPECT_EQ(platform.messages[0].text, "Are you sure you wish to quit?");
    EXPECT_EQ(platform.messages[0].defaultButton, 1);
    EXPECT_EQ(processEnded, 0);

    app.SearchPhrase = "a";
    window->setSubListShown(true);
    window->LoadGrid();
    window->UpdateCommandButtons();
    EXPECT_EQ(header(), " Sub-list of entries containing 'a' ");
    EXPECT_TRUE(shown("cmdSeeAllEntries"));
    QTest::keyClick(&grid(), Qt::Key_Escape);
    EXPECT_FALSE(window->subListShown());
    EXPECT_EQ(header(), " All entries ");
    EXPECT_EQ(platform.messages.size(), 1);
}

TEST_F(MainWindow, TheCloseBoxAsksAndNoKeepsTheProgramRunning) {
    writeBook({entry("Adams")});
    open();
    platform.answers = {MsgAnswer::No};
    window->close();
    EXPECT_EQ(platform.titles(), QStringList{"Confirm"});
    EXPECT_TRUE(window->isVisible());
    platform.answers = {MsgAnswer::Yes};
    window->close();
    EXPECT_EQ(processEnded, 1);
}

TEST_F(MainWindow, SlashMQuitsWithoutAsking) {
    writeBook({entry("Adams")});
    app.QuitWithoutAsking = true;
    open();
    QTest::mouseClick(button("cmdQuit"), Qt::LeftButton);
    EXPECT_TRUE(platform.messages.isEmpty());
    EXPECT_EQ(processEnded, 1);
}

TEST_F(MainWindow, TheSeeAllButtonPulses) {
    writeBook({entry("Adams"), entry("Baker"), entry("Clark")});
    open();
    OrielButton* seeAll = button("cmdSeeAllEntries");
    const std::pair<int, int> expected[] = {{4, 244}, {8, 244}, {12, 240}};
    for (const auto& [fore, back] : expected) {
        window->timerFlash_Timer();
        EXPECT_EQ(seeAll->foreColor(), oleRgb(fore, fore, 0));
        EXPECT_EQ(seeAll->backColor(), oleRgb(back, back, 0));
    }
}

TEST_F(MainWindow, TheFadeSwitchStoresThePreference) {
    writeBook({entry("Adams")});
    open();
    OrielButton* fade = button("cmdFormFade");
    EXPECT_TRUE(window->fadeSwitchAvailable());
    QTest::mouseMove(fade, QPoint(5, 5));
    EXPECT_EQ(fade->toolTip(), " Enable form fade effects ");
    QTest::mouseClick(fade, Qt::LeftButton);
    EXPECT_TRUE(app.FadeEnabled);
    EXPECT_TRUE(app.settings.fadeStatus());
    QTest::mouseMove(fade, QPoint(6, 6));
    EXPECT_EQ(fade->toolTip(), " Disable form fade effects ");
}

TEST_F(MainWindow, TheToolButtonsCarryTheirTooltips) {
    writeBook({entry("Adams"), entry("Baker"), entry("Clark")});
    open();
    EXPECT_EQ(button("cmdAddEntry")->toolTip(), " Add a new entry ");
    EXPECT_EQ(button("cmdFindEntries(2)")->toolTip(),
              " Filter names by 'Affiliation'... (right click for more info) ");
    EXPECT_EQ(button("cmdEmailFriend")->toolTip(), " Email a friend about Corvane! ");
    EXPECT_EQ(button("cmdHelp")->toolTip(), " Help <F1>  ");
    EXPECT_EQ(button("cmdQuit")->accessibleName(), " Quit <Esc> ");
    EXPECT_EQ(button("cmdSeeAllEntries")->caption(), "See &All Entries");
    EXPECT_EQ(button("cmdSeeAllEntries")->buttonType(), 3);
    EXPECT_EQ(button("cmdAddEntry")->buttonType(), 11);
}

int alphaOf(const QWidget* w) {
    return qRound(w->windowOpacity() * 255);
}

TEST_F(MainWindow, WithoutTheFadePreferenceItIsOpaqueAndDoesNotFade) {
    writeBook({entry("Adams")});
    open();
    EXPECT_FALSE(app.FadeEnabled);
    EXPECT_EQ(alphaOf(window.get()), 255);
    EXPECT_FALSE(window->fade()->isRunning());
    EXPECT_EQ(window->windowTitle(), "Corvane");
}

TEST_F(MainWindow, WithTheFadePreferenceItFadesInAndOutAgainWhenItQuits) {
    writeBook({entry("Adams")});
    app.settings.setFadeStatus(true);
    open();
    EXPECT_TRUE(app.FadeEnabled);
    EXPECT_TRUE(window->fade()->isRunning());
    ASSERT_TRUE(QTest::qWaitFor([&] { return !window->fade()->isRunning(); }, 2000));
    EXPECT_EQ(alphaOf(window.get()), 255);

    ASSERT_TRUE(app.store.OpenDataFile().ok());
    platform.answers = {MsgAnswer::Yes};
    window->cmdQuit_Click();  // dims to 204, asks, then fades out to 0
    EXPECT_EQ(app.store.DataFileNumber(), 0);
    EXPECT_EQ(alphaOf(window.get()), 204);
    EXPECT_TRUE(QTest::qWaitFor([&] { return processEnded == 1; }, 2000));
    EXPECT_EQ(alphaOf(window.get()), 0);
}

}  // namespace
}  // namespace corvane
