// The main window's popup commands on the real window: upcoming dates, the
// affiliation filter, the column chooser and e-mail a friend; and the
// keyboard and mouse mends of the list.

#include <gtest/gtest.h>

#include <QApplication>
#include <QHeaderView>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QMenu>
#include <QPushButton>
#include <QRadioButton>
#include <QScreen>
#include <QScrollBar>
#include <QStyle>
#include <QTableWidget>
#include <QTimer>

#include "frmfind.h"
#include "listcolumns.h"
#include "mainwindowfixture.h"
#include "maker.h"
#include "oledate.h"
#include "orielbutton.h"
#include "trash.h"

namespace corvane {
namespace {

using test::entry;

ContactRecord born(const std::string& name, int year, int month, int day,
                   const std::string& affiliations = {}) {
    ContactRecord r = entry(name);
    r.setText(Field::Affiliations, affiliations);
    r.setDate(Field::Birthday, oleFromDateTime({year, month, day, 0, 0, 0}));
    return r;
}

ContactRecord member(const std::string& name, const std::string& affiliations) {
    ContactRecord r = entry(name);
    r.setText(Field::Affiliations, affiliations);
    return r;
}

class ListCommands : public testing::Test, public test::MainWindowFixture {
  protected:
    void SetUp() override {
        platform.clock = QDateTime(QDate(2026, 12, 20), QTime(10, 0));
        app.openEntryEditor = [this](QWidget*, EditorMode mode, ListLink& list) {
            editorOpenings << modeTag(mode) + u' ' + list.TextMatrix(list.Row(), 0);
        };
        app.openHelp = [this](QWidget*) {
            helpOpenings << QStringLiteral("%1%2")
                                .arg(app.HelpStartTopic)
                                .arg(app.HelpSingleTopic ? QStringLiteral(" alone") : QString());
        };
    }
    // The captions of a popup's items; separators as "-".
    static QStringList captions(const QMenu* menu) {
        QStringList out;
        for (const QAction* a : menu->actions()) {
            out << (a->isSeparator() ? QStringLiteral("-") : a->text());
        }
        return out;
    }
    QAction* item(const QMenu* menu, int index) { return menu->actions().value(index - 1); }
    void closePopups() {
        for (QMenu* m : {window->menuBirthdayListmenu(), window->menuAffiliationListMenu(),
                         window->menuListOptions()}) {
            m->close();
        }
    }

    QStringList editorOpenings;
    QStringList helpOpenings;
};

TEST_F(ListCommands, TheReminderPopupListsTheComingDatesInFileOrder) {
    ContactRecord both = born("Young, Amy", 1990, 12, 25);
    both.setDate(Field::Anniversary, oleFromDateTime({2015, 12, 20, 0, 0, 0}));
    writeBook(
        {born("Smith, John", 1970, 1, 5), entry("No Dates"), both, born("Far, Away", 1970, 6, 1)});
    open();
    QTest::mouseClick(button("cmdBirthday"), Qt::LeftButton);
    QMenu* menu = window->menuBirthdayListmenu();
    EXPECT_EQ(
        captions(menu),
        (QStringList{"The following have an upcoming", "birthday or anniversary:", "-",
                     "Smith, John - birthday in 16 days (Jan 05, 2027)",
                     "Young, Amy - birthday in 5 days (Dec 25, 2026)",
                     "Young, Amy - anniversary in  days (Dec 20, 2026)", "-", "Exit this Menu"}));
    EXPECT_TRUE(menu->isVisible());
    EXPECT_TRUE(window->isEnabled());
    EXPECT_EQ(QApplication::overrideCursor(), nullptr);
    closePopups();

    // The next press starts afresh.
    QTest::mouseClick(button("cmdBirthday"), Qt::LeftButton);
    EXPECT_EQ(captions(menu).size(), 8);
    closePopups();
}

TEST_F(ListCommands, ChoosingALineOpensThatEntryWhereverTheListSortedIt) {
    // File order and list order differ: record 1 sorts last.
    writeBook({born("Zimmer, Zoe", 1970, 1, 5), born("Adams, Al", 1980, 12, 30)});
    open();
    QTest::mouseClick(button("cmdBirthday"), Qt::LeftButton);
    closePopups();
    window->menuBirthdayList_Click(4);  // Zimmer's line
    EXPECT_EQ(editorOpenings, QStringList{"*** Zimmer, Zoe"});
    EXPECT_EQ(grid().Row(), 2);
    window->menuBirthdayList_Click(5);
    EXPECT_EQ(editorOpenings.last(), "*** Adams, Al");
    // Headings, separators and Exit do nothing.
    for (int index : {1, 2, 3, 6, 7}) {
        window->menuBirthdayList_Click(index);
    }
    EXPECT_EQ(editorOpenings.size(), 2);
}

TEST_F(ListCommands, NoComingDatesSaySoInsteadOfAPopup) {
    writeBook({born("Far, Away", 1970, 6, 1), entry("None")});
    open();
    QTest::mouseClick(button("cmdBirthday"), Qt::LeftButton);
    ASSERT_EQ(platform.messages.size(), 1);
    EXPECT_EQ(platform.messages[0].title, "No qualifying entries...");
    EXPECT_EQ(platform.messages[0].text,
              "There are no listed birthdays or anniversaries\nthat are coming up within 30 days "
              "of today...");
    EXPECT_EQ(platform.messages[0].icon, MsgIcon::Information);
    EXPECT_FALSE(window->menuBirthdayListmenu()->isVisible());
}

TEST_F(ListCommands, TheAffiliationPopupOffersEachAffiliationOnce) {
    writeBook({member("Adams", "Rotary Club\r\nGolf"), member("Baker", "ROTARY CLUB\r\nYM"),
               member("Clark", "Golfing Club")});
    open();
    QTest::mouseClick(button("cmdFindEntries(2)"), Qt::LeftButton);
    EXPECT_EQ(captions(window->menuAffiliationListMenu()),
              (QStringList{"Create a sub-list of people that", "share the following affiliation:",
                           "-", "Golf", "Golfing Club", "Rotary Club", "-",
                           "See the Help Topic about this feature...", "-", "Exit this Menu"}));
    closePopups();
    window->menuAffiliationList_Click(8);
    EXPECT_EQ(helpOpenings, QStringList{"5 alone"});
    EXPECT_FALSE(app.HelpSingleTopic);
    window->menuAffiliationList_Click(10);  // Exit: nothing, and no old phrase re-run
    EXPECT_FALSE(window->subListShown());
}

// "Export this list...", from the print button's right-click menu: the
// entries the list shows, in the format chosen, into the file named.
TEST_F(ListCommands, ExportThisListWritesTheEntriesShownInTheChosenFormat) {
    writeBook({member("Adams", "Golf"), member("Baker", "Golfing Club"), member("Clark", "Choir")});
    open();
    QTest::mouseClick(button("cmdFindEntries(2)"), Qt::LeftButton);
    closePopups();
    window->menuAffiliationList_Click(5);  // "Golf": Adams and Baker
    ASSERT_EQ(names(), (QStringList{"Adams", "Baker"}));
    QMenu* exportMenu = window->findChild<QMenu*>("menuExportList");
    ASSERT_NE(exportMenu, nullptr);
    EXPECT_EQ(exportMenu->title(), "Export this list...");
    QStringList captions;
    for (QAction* action : exportMenu->actions()) {
        captions << action->text();
    }
    EXPECT_EQ(captions, (QStringList{"as vCards (4.0)...", "as vCards for phones (3.0)...",
                                     "as CSV for spreadsheets...", "as JSON Lines..."}));

    exportMenu->actions()[0]->trigger();  // the save dialog is cancelled
    ASSERT_EQ(platform.saveDialogs.size(), 1);
    EXPECT_EQ(platform.saveDialogs[0].caption, "Export this list");
    EXPECT_TRUE(platform.saveDialogs[0].suggestedPath.endsWith("/Corvane list.vcf"));
    EXPECT_TRUE(platform.messages.isEmpty());

    const QString vcf = QString::fromStdString(dir.file("golf.vcf"));
    platform.saveAnswers = {vcf};
    exportMenu->actions()[0]->trigger();
    ASSERT_EQ(platform.titles(), QStringList{"Export"});
    EXPECT_EQ(platform.messages[0].text, "2 entries of the list went to\n" + vcf);
    const test::Bytes written = test::readFile(vcf.toStdString());
    const std::string text(written.begin(), written.end());
    EXPECT_NE(text.find("FN:Adams\r\n"), std::string::npos);
    EXPECT_NE(text.find("FN:Baker\r\n"), std::string::npos);
    EXPECT_EQ(text.find("Clark"), std::string::npos);

    const QString unwritable = QString::fromStdString(dir.file("no such folder/golf.csv"));
    platform.saveAnswers = {unwritable};
    exportMenu->actions()[2]->trigger();
    ASSERT_EQ(platform.titles(), (QStringList{"Export", "Export"}));
    EXPECT_TRUE(platform.messages[1].text.startsWith("Corvane could not write\n" + unwritable));
    EXPECT_TRUE(platform.messages[1].text.endsWith("Nothing was saved."));
    EXPECT_FALSE(test::fileExists(unwritable.toStdString()));
}

TEST_F(ListCommands, AnAffiliationListsEveryEntryContainingItAndKeepsDoingSo) {
    writeBook({member("Adams", "Golf"), member("Baker", "Golfing Club"), member("Clark", "Choir"),
               ContactRecord(entry("Dunn, Golf"))});
    open();
    app.SearchOption = SearchScope::AllButComments;  // what the find dialog last used
    QTest::mouseClick(button("cmdFindEntries(2)"), Qt::LeftButton);
    closePopups();
    window->menuAffiliationList_Click(5);  // "Golf"
    EXPECT_EQ(names(), (QStringList{"Adams", "Baker"}));
    EXPECT_EQ(window->findChild<QLabel*>("lblGridHeader")->text(),
              " Sub-list of entries containing 'Golf' ");
    EXPECT_EQ(app.SearchOption, SearchScope::AllButComments);  // given back for the find dialog
    // A later rebuild of the same sub-list (after an edit, say) lists the
    // same entries: it still searches the affiliations only.
    window->LoadGrid();
    EXPECT_EQ(names(), (QStringList{"Adams", "Baker"}));

    // Back to all entries; the find dialog offers the affiliation with the
    // option chosen before the filter.
    QTest::mouseClick(button("cmdSeeAllEntries"), Qt::LeftButton);
    test::onNextModal([](QWidget* modal) {
        auto* find = qobject_cast<frmFind*>(modal);
        ASSERT_NE(find, nullptr);
        EXPECT_EQ(find->findChild<QLineEdit*>("txtSearchPhrase")->text(), "Golf");
        EXPECT_TRUE(find->findChild<QRadioButton*>("optFind(2)")->isChecked());
        find->reject();
    });
    QTest::mouseClick(button("cmdFindEntries(1)"), Qt::LeftButton);
}

TEST_F(ListCommands, WithoutAffiliationsTheUserIsOfferedTheHelp) {
    writeBook({entry("Adams"), member("Baker", "ab\r\n")});
    open();
    platform.answers = {MsgAnswer::No};
    QTest::mouseClick(button("cmdFindEntries(2)"), Qt::LeftButton);
    ASSERT_EQ(platform.messages.size(), 1);
    EXPECT_EQ(platform.messages[0].title, "No Affiliations available");
    EXPECT_EQ(platform.messages[0].text,
              "There are no qualifying\n'Affiliation' listings\navailable at this time.\n\n"
              "Would you like more information\nabout this filtering feature?");
    EXPECT_EQ(platform.messages[0].buttons, MsgButtons::YesNoCancel);
    EXPECT_EQ(platform.messages[0].icon, MsgIcon::Question);
    EXPECT_TRUE(helpOpenings.isEmpty());
    platform.answers = {MsgAnswer::Yes};
    QTest::mouseClick(button("cmdFindEntries(2)"), Qt::LeftButton);
    EXPECT_EQ(helpOpenings, QStringList{"5"});
}

TEST_F(ListCommands, ARightClickOnTheFilterOpensItsHelpAlone) {
    writeBook({member("Adams", "Golf"), member("Baker", "Golf")});
    open();
    QTest::mouseClick(button("cmdFindEntries(2)"), Qt::RightButton);
    EXPECT_EQ(helpOpenings, QStringList{"5 alone"});
    EXPECT_FALSE(app.HelpSingleTopic);
    EXPECT_FALSE(window->menuAffiliationListMenu()->isVisible());
}

// A deleted entry comes back with Ctrl+Z, in its place and highlighted,
// and the delete button's right click offers the last ones deleted; the
// book is then byte for byte what it was.
TEST_F(ListCommands, DeletedEntriesComeBackWithCtrlZAndFromTheDeleteButtonsMenu) {
    writeBook({entry("Adams"), entry("B&B Inn"), entry("Clark")});
    auto data = [&] { return test::readFile(app.path("Corvane.Data").toStdString()); };
    const test::Bytes before = data();
    open();
    for (const char* name : {"B&B Inn", "Adams"}) {
        grid().setRow(names().indexOf(QString::fromLatin1(name)) + 1);
        platform.answers = {MsgAnswer::Yes};
        QTest::mouseClick(button("cmdDeleteEntry"), Qt::LeftButton);
    }
    ASSERT_EQ(names(), QStringList{"Clark"});
    QTest::mouseClick(button("cmdDeleteEntry"), Qt::RightButton);
    ASSERT_NE(window->menuDeleted(), nullptr);
    const QStringList offered = captions(window->menuDeleted());
    ASSERT_EQ(offered.size(), 4) << offered.join(u'|').toStdString();
    EXPECT_TRUE(offered[0].startsWith(QStringLiteral("Restore Adams (deleted ")));
    EXPECT_TRUE(window->menuDeleted()->actions()[1]->iconText().startsWith(
        QStringLiteral("Restore B&B Inn (deleted ")));
    EXPECT_EQ(offered.mid(2), (QStringList{"-", "Deleted entries..."}));
    window->menuDeleted()->close();

    QTest::keyClick(&grid(), Qt::Key_Z, Qt::ControlModifier);
    EXPECT_EQ(names(), (QStringList{"Adams", "Clark"}));
    EXPECT_EQ(grid().TextMatrix(grid().Row(), 0), "Adams");
    QTest::keyClick(&grid(), Qt::Key_Z, Qt::ControlModifier);
    EXPECT_EQ(names(), (QStringList{"Adams", "B&B Inn", "Clark"}));
    EXPECT_EQ(grid().TextMatrix(grid().Row(), 0), "B&B Inn");
    EXPECT_EQ(data(), before);
    QTest::keyClick(&grid(), Qt::Key_Z, Qt::ControlModifier);  // nothing more to undo
    EXPECT_EQ(names().size(), 3);
}

// The window of deleted entries: one removed for good (after a question),
// another restored; the trash then holds neither.
TEST_F(ListCommands, TheDeletedEntriesWindowRestoresAndRemovesForGood) {
    writeBook({entry("Adams"), entry("Baker"), entry("Clark")});
    open();
    for (int i = 0; i < 2; ++i) {
        grid().setRow(1);
        platform.answers = {MsgAnswer::Yes};
        QTest::mouseClick(button("cmdDeleteEntry"), Qt::LeftButton);
    }
    ASSERT_EQ(names(), QStringList{"Clark"});
    QTimer::singleShot(0, [this] {
        QWidget* dialog = QApplication::activeModalWidget();
        ASSERT_NE(dialog, nullptr);
        auto* table = dialog->findChild<QTableWidget*>(QStringLiteral("tableDeleted"));
        ASSERT_EQ(table->rowCount(), 2);
        EXPECT_EQ(table->item(0, 0)->text(), "Baker");  // newest first
        table->selectRow(1);                            // Adams
        platform.answers = {MsgAnswer::Yes};
        dialog->findChild<QPushButton*>(QStringLiteral("cmdRemoveForGood"))->click();
        ASSERT_EQ(table->rowCount(), 1);
        table->selectRow(0);
        dialog->findChild<QPushButton*>(QStringLiteral("cmdRestore"))->click();
        EXPECT_EQ(table->rowCount(), 0);
        dialog->close();
    });
    window->showDeletedEntries();
    EXPECT_EQ(names(), (QStringList{"Baker", "Clark"}));
    EXPECT_EQ(platform.messages.last().title, "Confirm");
    std::vector<TrashedEntry> left;
    std::string problem;
    ASSERT_TRUE(
        Trash(realFileSystem(), app.path("Corvane.Data").toStdString()).read(left, problem).ok());
    EXPECT_TRUE(left.empty());
}

TEST_F(ListCommands, TheChosenColumnIsShownAndRememberedAcrossRuns) {
    ContactRecord a = entry("Adams");
    a.setText(Field::HomePhone, "555-0101");
    writeBook({a, entry("Baker")});
    open();
    QTest::mouseClick(button("cmdListWith"), Qt::LeftButton);
    QMenu* menu = window->menuListOptions();
    EXPECT_TRUE(menu->isVisible());
    ASSERT_EQ(menu->actions().size(), 25);
    EXPECT_EQ(item(menu, 6)->text(), "Home Phone");
    for (QAction* a : menu->actions()) {
        EXPECT_FALSE(a->isCheckable());  // no box, empty or ticked, at start
    }
    item(menu, 6)->trigger();
    EXPECT_TRUE(item(menu, 6)->isChecked());
    EXPECT_EQ(grid().TextMatrix(0, 1), "Home Phone");
    EXPECT_EQ(grid().TextMatrix(1, 1), "555-0101");
    EXPECT_EQ(app.settings.columnToIndex(), 6);
    // The ticked item again: nothing changes, the tick stays.
    item(menu, 6)->trigger();
    EXPECT_TRUE(item(menu, 6)->isChecked());
    closePopups();

    // A value no hand should have written gives the default column.
    for (const int stored : {2, 25, 99}) {
        app.settings.setColumnToIndex(stored);
        window.reset();
        window = std::make_unique<frmMain>(app);
        window->setAttribute(Qt::WA_DeleteOnClose, false);
        window->show();
        ASSERT_TRUE(QTest::qWaitFor([&] { return grid().Rows() > 1; }, 2000));
        EXPECT_EQ(grid().TextMatrix(0, 1), columnMenuCaption(3)) << stored;
    }
    app.settings.setColumnToIndex(6);

    // The next run shows the same column.
    window.reset();
    window = std::make_unique<frmMain>(app);
    window->setAttribute(Qt::WA_DeleteOnClose, false);
    window->show();
    ASSERT_TRUE(QTest::qWaitFor([&] { return grid().TextMatrix(0, 1) == "Home Phone"; }, 2000));
}

// Keys typed in a popup are the popup's: not the list's first-letter
// jump behind it, nor its F1.
TEST_F(ListCommands, KeysTypedInAPopupStayInThePopup) {
    writeBook({entry("Adams"), entry("Baker"), entry("Smith")});
    open();
    grid().setRow(1);
    QTest::mouseClick(button("cmdListWith"), Qt::LeftButton);
    QMenu* menu = window->menuListOptions();
    ASSERT_TRUE(menu->isVisible());
    QTest::keyClick(menu, Qt::Key_S);
    QTest::keyClick(menu, Qt::Key_F1);
    EXPECT_EQ(grid().Row(), 1);
    EXPECT_TRUE(helpOpenings.isEmpty());
    closePopups();
}

// Names and affiliations are shown as typed in the popups ("&" is no access
// key, a Tab no shortcut column), and a chosen item lists what it says.
TEST_F(ListCommands, AmpersandsAndTabsInPopupItemsAreShownAndChosenAsTyped) {
    writeBook({member("AT&T Sales", "AT&T Sales"), member("Amp & Co", "Amp & Co"),
               member("Tabbed", "Choir\tSingers"), born("R&D, Rita", 1970, 12, 25)});
    open();
    QTest::mouseClick(button("cmdFindEntries(2)"), Qt::LeftButton);
    QMenu* menu = window->menuAffiliationListMenu();
    ASSERT_TRUE(menu->isVisible());
    const QStringList shown = {item(menu, 4)->iconText(), item(menu, 5)->iconText(),
                               item(menu, 6)->iconText()};
    EXPECT_EQ(shown, (QStringList{"Amp & Co", "AT&T Sales", "Choir Singers"}));
    // Highlight "AT&T Sales" and press Space: its own list.
    menu->setActiveAction(item(menu, 5));
    QTest::keyClick(menu, Qt::Key_Space);
    EXPECT_EQ(names(), QStringList{"AT&T Sales"});
    closePopups();
    QTest::mouseClick(button("cmdFindEntries(2)"), Qt::LeftButton);
    closePopups();
    item(menu, 6)->trigger();
    EXPECT_EQ(names(), QStringList{"Tabbed"});

    QTest::mouseClick(button("cmdBirthday"), Qt::LeftButton);
    EXPECT_TRUE(item(window->menuBirthdayListmenu(), 4)->iconText().startsWith("R&D, Rita - "));
    closePopups();
}

// Each item of a popup answers once however often the popup is opened.
TEST_F(ListCommands, PopupItemsAreConnectedOnce) {
    // QObject counts a signal's receivers only for its own class.
    struct Receivers : QAction {
        __attribute__((no_sanitize("vptr"))) static int of(QAction* a) {
            return static_cast<Receivers*>(a)->receivers(SIGNAL(triggered(bool)));
        }
    };
    writeBook({born("Smith, John", 1970, 12, 25, "Golf")});
    open();
    for (int opening = 0; opening < 3; ++opening) {
        QTest::mouseClick(button("cmdBirthday"), Qt::LeftButton);
        QTest::mouseClick(button("cmdFindEntries(2)"), Qt::LeftButton);
        closePopups();
    }
    for (QMenu* menu : {window->menuBirthdayListmenu(), window->menuAffiliationListMenu()}) {
        for (QAction* a : menu->actions()) {
            EXPECT_LE(Receivers::of(a), 2) << a->text().toStdString();  // the menu's and ours
        }
    }
}

// A reminder popup longer than the screen scrolls: it stays on the screen and
// its last item, "Exit this Menu", can be brought into view.
TEST_F(ListCommands, ALongReminderPopupScrollsOnTheScreen) {
    std::vector<ContactRecord> book;
    for (int i = 0; i < 400; ++i) {
        book.push_back(born("Name " + std::to_string(1000 + i), 1970, 12, 21 + i % 10));
    }
    writeBook(book);
    open();
    QTest::mouseClick(button("cmdBirthday"), Qt::LeftButton);
    QMenu* menu = window->menuBirthdayListmenu();
    ASSERT_TRUE(menu->isVisible());
    EXPECT_TRUE(menu->screen()->availableGeometry().contains(menu->geometry()));
    QTest::keyClick(menu, Qt::Key_End);  // scrolls to the end
    EXPECT_TRUE(menu->rect().contains(menu->actionGeometry(menu->actions().last())));
    closePopups();
}

// A Space typed on a toolbar button presses it: the list's first-letter
// keys take the focus only for letters and digits.
TEST_F(ListCommands, ASpaceOnAFocusedButtonPressesIt) {
    writeBook({entry("Adams"), entry("Baker"), entry("Clark")});
    open();
    OrielButton* help = button("cmdHelp");
    help->setFocus();
    QTest::keyClick(help, Qt::Key_Space);
    EXPECT_EQ(helpOpenings.size(), 1);
    EXPECT_TRUE(help->hasFocus());
}

TEST_F(ListCommands, EmailAFriendHandsTheRecommendationToTheMailProgram) {
    writeBook({entry("Adams")});
    open();
    QTest::mouseClick(button("cmdEmailFriend"), Qt::LeftButton);
    ASSERT_EQ(platform.addresses.size(), 1);
    const QString mail = platform.addresses[0];
    const QString host = QString::fromUtf8(maker::kWebHost);
    EXPECT_EQ(mail,
              "mailto:?subject='Corvane' address book program from Oriel Software&body="
              "I wanted to tell you about an address book program from Oriel Software "
              "called 'Corvane' that is really good, and I thought you might want to know "
              "about it.%0D%0A%0D%0AYou can download and install it for free at Oriel "
              "Software's web site (" +
                  host + "). The direct download link is%0D%0A%0D%0Ahttp://" + host +
                  maker::kDownloadPath +
                  "%0D%0A%0D%0ACheck it out if you want and let me know what you think "
                  "about it.");
    EXPECT_EQ(mail.count(QStringLiteral("%0D%0A%0D%0A")), 3);
    EXPECT_EQ(button("cmdEmailFriend")->toolTip(), " Email a friend about Corvane! ");
}

// ---- the list's keyboard and mouse ----------------------------------------------

std::vector<ContactRecord> manyEntries(int n) {
    std::vector<ContactRecord> book;
    for (int i = 0; i < n; ++i) {
        const char initial = static_cast<char>('A' + i * 26 / n);
        book.push_back(entry(std::string(1, initial) + "name " + std::to_string(1000 + i)));
    }
    return book;
}

TEST_F(ListCommands, AFirstLetterBelowTheViewBecomesTheTopRow) {
    writeBook(manyEntries(200));
    open();
    grid().setRow(1);
    grid().setTopRow(1);
    QTest::keyClicks(&grid(), "t");
    const int row = grid().Row();
    EXPECT_TRUE(grid().TextMatrix(row, 0).startsWith(u'T'));
    EXPECT_EQ(grid().TopRow(), row);
}

TEST_F(ListCommands, OtherCharactersDoNotMoveTheHighlightAndTabMovesTheFocusOn) {
    writeBook(manyEntries(30));
    open();
    grid().setRow(3);
    for (const QString& typed :
         {QStringLiteral("#"), QStringLiteral("-"), QStringLiteral("é"), QStringLiteral(" ")}) {
        // As a keyboard types it: the key and its text.
        QKeyEvent press(QEvent::KeyPress, Qt::Key_unknown, Qt::NoModifier, typed);
        QApplication::sendEvent(&grid(), &press);
        EXPECT_EQ(grid().Row(), 3) << typed.toStdString();
    }
    QKeyEvent letter(QEvent::KeyPress, Qt::Key_N, Qt::NoModifier, QStringLiteral("n"));
    QApplication::sendEvent(&grid(), &letter);
    EXPECT_TRUE(grid().TextMatrix(grid().Row(), 0).startsWith(u'N'));
    grid().setFocus();
    QTest::keyClick(&grid(), Qt::Key_Tab);
    QWidget* next = QApplication::focusWidget();
    ASSERT_NE(next, nullptr);
    EXPECT_NE(next, &grid());
    QTest::keyClick(next, Qt::Key_Tab);
    QWidget* third = QApplication::focusWidget();
    EXPECT_NE(third, next);
    EXPECT_NE(third, &grid());
}

TEST_F(ListCommands, ADoubleClickBelowTheLastRowOrOnTheHeadingOpensTheCurrentEntry) {
    writeBook({entry("Adams"), entry("Baker")});
    open();
    grid().setRow(2);
    const QPoint below(20, grid().viewport()->height() - 5);
    QTest::mouseClick(grid().viewport(), Qt::LeftButton, {}, below);
    EXPECT_EQ(grid().selectionModel()->selectedRows().size(), 1);  // still highlighted
    QTest::mouseDClick(grid().viewport(), Qt::RightButton, {}, below);
    EXPECT_TRUE(editorOpenings.isEmpty());  // only the left button opens
    QTest::mouseDClick(grid().viewport(), Qt::LeftButton, {}, below);
    EXPECT_EQ(editorOpenings, QStringList{"*** Baker"});
    QWidget* heading = grid().horizontalHeader()->viewport();
    QTest::mouseDClick(heading, Qt::LeftButton, {}, QPoint(20, heading->height() / 2));
    EXPECT_EQ(editorOpenings, (QStringList{"*** Baker", "*** Baker"}));
}

TEST_F(ListCommands, TheHeadingShowsAPhraseAsTypedAndTheColumnsFitBesideTheScrollBar) {
    writeBook(manyEntries(200));
    open();
    EXPECT_TRUE(grid().verticalScrollBar()->isVisible());
    EXPECT_FALSE(grid().horizontalScrollBar()->isVisible());
    EXPECT_LE(grid().columnWidth(0) + grid().columnWidth(1), grid().viewport()->width());

    app.SearchPhrase = QStringLiteral("<b>name");
    app.SearchOption = SearchScope::AllText;
    window->setSubListShown(true);
    window->LoadGrid();
    auto* header = window->findChild<QLabel*>("lblGridHeader");
    EXPECT_EQ(header->textFormat(), Qt::PlainText);
    EXPECT_EQ(platform.titles(), QStringList{"No matches"});
}

}  // namespace
}  // namespace corvane
