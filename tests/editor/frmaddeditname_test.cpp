// The entry editor on the real windows, over a data file the test writes.

#include "frmaddeditname.h"
#include "editorfields.h"

#include <gtest/gtest.h>

#include <QApplication>
#include <QClipboard>
#include <QLabel>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QScrollBar>
#include <QTabWidget>
#include <QTest>

#include "../listwindow/mainwindowfixture.h"
#include "../store/storetestdata.h"
#include "multilinefield.h"
#include "oledate.h"
#include "recordtext.h"

namespace corvane {
namespace {

using test::entry;
using test::readFile;

class Editor : public testing::Test, public test::MainWindowFixture {
  protected:
    void SetUp() override {
        app.openEntryEditor = [this](QWidget* owner, EditorMode mode, ListLink& list) {
            frmAddEditName editor(app, list, mode, owner);
            editor.exec();
        };
    }
    // An editor over the main window's list, shown without waiting for it.
    std::unique_ptr<frmAddEditName> openEditor(EditorMode mode) {
        auto editor = std::make_unique<frmAddEditName>(app, *window, mode, window.get());
        editor->show();
        return editor;
    }
    static QLineEdit* line(frmAddEditName& e, int i) {
        return e.findChild<QLineEdit*>(QStringLiteral("txtField(%1)").arg(i));
    }
    using test::MainWindowFixture::button;
    static OrielButton* button(frmAddEditName& e, const char* name) {
        return e.findChild<OrielButton*>(name);
    }
    // Shown unless hidden: a control on a tab not in front still counts.
    static bool shown(frmAddEditName& e, const char* name) {
        return !e.findChild<QWidget*>(name)->isHidden();
    }
    ContactRecord stored(int number) {
        const auto bytes = readFile(app.path("Corvane.Data").toStdString());
        return ContactRecord::decode(
            std::span<const std::uint8_t, 3000>(bytes.data() + (number - 1) * 3000, 3000));
    }
};

TEST_F(Editor, ViewModeShowsTheEntryWithItsDatesAndStamps) {
    ContactRecord r = entry("Adams, Ann", "Annie");
    r.setDate(Field::Birthday, oleFromDateTime({1962, 3, 15}));
    r.setDate(Field::Anniversary, oleFromDateTime({1850, 3, 15}));
    r.setDate(Field::Created, oleFromDateTime({2026, 1, 2, 3, 4, 5}));
    r.setDate(Field::LastModified, oleFromDateTime({2026, 1, 2, 3, 4, 5}));
    r.setText(Field::HomeEmail, "ann@example.org");
    writeBook({r});
    open();
    auto e = openEditor(EditorMode::View);
    EXPECT_EQ(e->windowTitle(), "Adams, Ann");
    EXPECT_EQ(e->fieldText(3), "Annie");
    EXPECT_EQ(e->fieldText(4), "Mar 15, 1962");
    EXPECT_EQ(e->fieldText(5), "");  // 1850 shows empty
    EXPECT_EQ(e->findChild<QLabel*>("lblDataInfo(1)")->text(),
              " Record Created 01/02/26 03:04:05 ");
    EXPECT_FALSE(shown(*e, "lblDataInfo(2)"));
    EXPECT_FALSE(shown(*e, "scrollNames"));  // one record
    EXPECT_FALSE(shown(*e, "cmdSave"));
    EXPECT_EQ(button(*e, "cmdCancel")->caption(), "&Finished Viewing");
    EXPECT_TRUE(shown(*e, "cmdPrintEntry"));
    EXPECT_TRUE(button(*e, "cmdInternet(9)")->isEnabled());
    EXPECT_FALSE(button(*e, "cmdInternet(10)")->isEnabled());

    QTest::mouseClick(button(*e, "cmdInternet(9)"), Qt::LeftButton);
    EXPECT_EQ(platform.addresses, QStringList{"mailto:ann@example.org"});
}

// An entry's fields are only addresses when they leave through the buttons.
TEST_F(Editor, TheMailAndWebButtonsHandOverAddressesOnly) {
    ContactRecord r = entry("Mallory");
    r.setText(Field::HomeEmail, "friend@example.org?attach=/home/me/.ssh/id_rsa");
    r.setText(Field::WorkWebPage, "javascript:alert(1)");
    writeBook({r});
    open();
    auto e = openEditor(EditorMode::View);
    QTest::mouseClick(button(*e, "cmdInternet(9)"), Qt::LeftButton);
    EXPECT_EQ(platform.addresses,
              QStringList{"mailto:friend@example.org%3Fattach=/home/me/.ssh/id_rsa"});
    QTest::mouseClick(button(*e, "cmdInternet(22)"), Qt::LeftButton);
    EXPECT_EQ(platform.addresses.size(), 1);
    ASSERT_EQ(platform.messages.size(), 1);
    EXPECT_TRUE(platform.messages[0].text.startsWith(
        "Corvane will not open the business web page \"javascript:alert(1)\""));
}

TEST_F(Editor, ChangesSwitchSaveCancelAndTheScrollBar) {
    writeBook({entry("Adams"), entry("Baker")});
    open();
    auto e = openEditor(EditorMode::View);
    EXPECT_TRUE(shown(*e, "scrollNames"));
    QTest::keyClicks(line(*e, 3), "x");
    EXPECT_TRUE(shown(*e, "cmdSave"));
    EXPECT_EQ(button(*e, "cmdCancel")->caption(), "&Cancel Changes");
    EXPECT_FALSE(shown(*e, "scrollNames"));
    QTest::keyClick(line(*e, 3), Qt::Key_Backspace);
    EXPECT_FALSE(shown(*e, "cmdSave"));
    EXPECT_EQ(button(*e, "cmdCancel")->caption(), "&Finished Viewing");
    EXPECT_TRUE(shown(*e, "scrollNames"));

    // A trailing blank is a change; an empty name is not saveable, but the
    // other change stays pending: nothing offers to step away from it.
    QTest::keyClicks(line(*e, 3), " ");
    EXPECT_TRUE(e->HasSaveableChanges());
    line(*e, 2)->clear();
    EXPECT_FALSE(e->HasSaveableChanges());
    EXPECT_FALSE(shown(*e, "cmdSave"));
    EXPECT_EQ(button(*e, "cmdCancel")->caption(), "&Cancel Changes");
    EXPECT_FALSE(shown(*e, "scrollNames"));
}

// A chord types nothing: Alt+S with Save hidden leaves the nickname as it
// was; lines pasted into a field of one line become one line.
TEST_F(Editor, ChordsTypeNothingAndPastedLinesBecomeOneLine) {
    writeBook({entry("Adams"), entry("Baker")});
    open();
    auto e = openEditor(EditorMode::View);
    line(*e, 3)->setFocus();
    QTest::keyClick(line(*e, 3), Qt::Key_S, Qt::AltModifier);
    QTest::keyClick(line(*e, 3), Qt::Key_S, Qt::AltModifier);
    EXPECT_EQ(line(*e, 3)->text(), "");
    EXPECT_FALSE(shown(*e, "cmdSave"));

    QApplication::clipboard()->setText(QStringLiteral("Paste\nSecond line\tend"));
    line(*e, 3)->setFocus();
    QTest::keyClick(line(*e, 3), Qt::Key_V, Qt::ControlModifier);
    EXPECT_EQ(line(*e, 3)->text(), "Paste Second line end");
    EXPECT_TRUE(shown(*e, "cmdSave"));
}

TEST_F(Editor, TheScrollBarStepsThroughTheList) {
    ContactRecord modified = entry("Baker");
    modified.setDate(Field::Created, 46000.0);
    modified.setDate(Field::LastModified, 46001.0);
    ContactRecord unchanged = entry("Clark");
    unchanged.setDate(Field::Created, 46000.0);
    unchanged.setDate(Field::LastModified, 46000.0);
    writeBook({entry("Adams"), modified, unchanged});
    open();
    window->setRow(2);
    auto e = openEditor(EditorMode::View);
    auto* bar = e->findChild<QScrollBar*>("scrollNames");
    EXPECT_EQ(bar->minimum(), 1);
    EXPECT_EQ(bar->maximum(), 3);
    EXPECT_EQ(bar->value(), 2);
    EXPECT_TRUE(shown(*e, "lblDataInfo(2)"));
    bar->setValue(3);
    EXPECT_EQ(window->Row(), 3);
    EXPECT_EQ(e->windowTitle(), "Clark");
    EXPECT_EQ(e->EntryRecordNumber(), 3);
    EXPECT_FALSE(shown(*e, "lblDataInfo(2)"));
}

TEST_F(Editor, AddModeStartsOnTheNameTabAndViewModeOnTheLastTab) {
    writeBook({entry("Adams")});
    app.settings.setLastTab(2);
    open();
    auto view = openEditor(EditorMode::View);
    EXPECT_EQ(view->findChild<QTabWidget*>("NameTab")->currentIndex(), 2);
    view->findChild<QTabWidget*>("NameTab")->setCurrentIndex(3);
    view->cmdCancel_Click();  // "&Finished Viewing" stores the tab
    EXPECT_EQ(app.settings.lastTab(), 3);

    auto add = openEditor(EditorMode::Add);
    EXPECT_EQ(add->findChild<QTabWidget*>("NameTab")->currentIndex(), 0);
    EXPECT_EQ(add->windowTitle(), "Adding a New Name Entry...");
    EXPECT_EQ(add->EntryRecordNumber(), 2);
    EXPECT_EQ(button(*add, "cmdCancel")->caption(), "&Cancel New Entry");
    EXPECT_FALSE(shown(*add, "cmdInternet(9)"));
    EXPECT_EQ(add->findChild<QWidget*>("txtField(31)")->toolTip(),
              " Click the 'Info' button above for important info about this text field... ");
    QTest::keyClicks(line(*add, 2), "   ");
    EXPECT_FALSE(shown(*add, "cmdSave"));
    QTest::keyClicks(line(*add, 2), "Z");
    EXPECT_TRUE(shown(*add, "cmdSave"));
    EXPECT_EQ(button(*add, "cmdSave")->caption(), "&Save New Entry");
    QTest::keyClicks(line(*add, 9), "z@example.org");
    EXPECT_TRUE(shown(*add, "cmdInternet(9)"));
    line(*add, 9)->clear();
    EXPECT_TRUE(shown(*add, "cmdInternet(9)"));
    EXPECT_FALSE(button(*add, "cmdInternet(9)")->isEnabled());
}

TEST_F(Editor, WrongDatesStopTheSaveBirthdayFirst) {
    writeBook({entry("Adams")});
    open();
    const auto before = readFile(app.path("Corvane.Data").toStdString());
    auto e = openEditor(EditorMode::View);
    e->findChild<QTabWidget*>("NameTab")->setCurrentIndex(3);
    e->setFieldText(4, "31/31/31");
    e->setFieldText(5, "never");
    e->cmdSave_Click();
    ASSERT_EQ(platform.messages.size(), 1);
    EXPECT_EQ(platform.messages[0].title, "Birthday Entry Error");
    EXPECT_EQ(platform.messages[0].text, "I don't understand\nthe birthday entry");
    EXPECT_EQ(platform.messages[0].icon, MsgIcon::None);
    EXPECT_EQ(e->findChild<QTabWidget*>("NameTab")->currentIndex(), 0);
    EXPECT_EQ(readFile(app.path("Corvane.Data").toStdString()), before);

    e->setFieldText(4, "3/15/1962");
    e->cmdSave_Click();
    ASSERT_EQ(platform.messages.size(), 2);
    EXPECT_EQ(platform.messages[1].title, "Anniversary Entry Error");
    EXPECT_EQ(platform.messages[1].text, "I don't understand\nthe anniversary entry");
}

TEST_F(Editor, SavingAnEntryKeepsItsCreationStampAndAnUnshownOldDate) {
    ContactRecord r = entry("Adams");
    r.setCreatorVersion(7);
    r.setDate(Field::Created, 40000.5);
    r.setDate(Field::LastModified, 40000.5);
    r.setDate(Field::Anniversary, oleFromDateTime({1850, 3, 15}));
    r.setText(Field::PicturePath, "/home/ann/ann.png");
    writeBook({r, entry("Baker")});
    open();
    auto e = openEditor(EditorMode::View);
    QTest::keyClicks(line(*e, 3), "Annie");
    e->setFieldText(4, "  ");
    e->cmdSave_Click();
    const ContactRecord saved = stored(1);
    EXPECT_EQ(saved.text(Field::Nickname), "Annie");
    EXPECT_EQ(saved.creatorVersion(), 7);
    EXPECT_EQ(saved.date(Field::Created), 40000.5);
    EXPECT_NEAR(saved.date(Field::LastModified), toOleDate(platform.clock), 1e-9);
    EXPECT_EQ(saved.date(Field::Birthday), 0.0);
    EXPECT_EQ(saved.date(Field::Anniversary), oleFromDateTime({1850, 3, 15}));
    EXPECT_EQ(saved.text(Field::PicturePath), "/home/ann/ann.png");
    // The editor stays open, unchanged, with the new stamp line.
    EXPECT_TRUE(e->isVisible());
    EXPECT_EQ(button(*e, "cmdCancel")->caption(), "&Finished Viewing");
    EXPECT_TRUE(shown(*e, "lblDataInfo(2)"));
}

TEST_F(Editor, CancellingChangesReloadsAndASecondCancelCloses) {
    writeBook({entry("Adams")});
    open();
    auto e = openEditor(EditorMode::View);
    QTest::keyClicks(line(*e, 3), "Annie");
    QTest::keyClick(line(*e, 3), Qt::Key_Escape);  // Esc is Cancel
    EXPECT_EQ(e->fieldText(3), "");
    EXPECT_TRUE(e->isVisible());
    QTest::mouseClick(button(*e, "cmdCancel"), Qt::LeftButton);
    EXPECT_FALSE(e->isVisible());
}

TEST_F(Editor, LongTextsAreCutToTheFieldsMaximum) {
    writeBook({entry("Adams")});
    open();
    auto e = openEditor(EditorMode::View);
    line(*e, 2)->setText(QString(80, u'n'));
    EXPECT_EQ(e->fieldText(2).size(), 75);
    QApplication::clipboard()->setText(QString(30, u'p'));
    line(*e, 11)->setFocus();
    line(*e, 11)->paste();
    EXPECT_EQ(e->fieldText(11).size(), 22);

    auto* comments = e->findChild<MultiLineField*>("txtField(30)");
    comments->setFocus();
    QApplication::clipboard()->setText(QString(1070, u'c') + "\r\nxyz");
    comments->paste();
    EXPECT_EQ(e->fieldText(30), QString(1070, u'c') + "\r\nx");  // the break counts two
    EXPECT_EQ(comments->storedLength(), 1073);
    QTest::keyClicks(comments, "more");
    EXPECT_EQ(comments->storedLength(), 1073);
    EXPECT_EQ(e->findChild<QLabel*>("lblSpaceFull(30)")->text(), " 100% full ");

    e->cmdSave_Click();
    const ContactRecord saved = stored(1);
    EXPECT_EQ(saved.text(Field::Comments), QString(1070, u'c').toStdString() + "\r\nx");
    const std::string_view padded = saved.fieldBytes(Field::Comments);
    EXPECT_EQ(padded.substr(1073), std::string(24, ' '));
}

// A paste far longer than any field, of text the code page only partly
// holds, into every text field: each keeps what fits, and each character
// the code page lacks is stored as "?".
TEST_F(Editor, AnOverlongPasteOutsideTheCodePageIsCutAndStoredWithQuestionMarks) {
    writeBook({entry("Adams")});
    open();
    auto e = openEditor(EditorMode::View);
    const QString pasted = QStringLiteral("é日").repeated(1000);
    for (int i = 1; i <= kEditorFields; ++i) {
        if (i == kBirthdayField || i == kAnniversaryField) {
            continue;  // a date field reads dates; its own test says how
        }
        SCOPED_TRACE(i);
        QApplication::clipboard()->setText(pasted);
        QWidget* field = e->findChild<QWidget*>(QStringLiteral("txtField(%1)").arg(i));
        ASSERT_NE(field, nullptr);
        field->setFocus();
        QMetaObject::invokeMethod(field, "selectAll");  // the paste replaces what is there
        if (auto* multi = qobject_cast<MultiLineField*>(field)) {
            multi->paste();
        } else {
            qobject_cast<QLineEdit*>(field)->paste();
        }
        EXPECT_EQ(e->fieldText(i), pasted.left(editorField(i).maxLength));
    }
    e->cmdSave_Click();
    ASSERT_TRUE(platform.messages.isEmpty()) << platform.messages[0].text.toStdString();
    const ContactRecord saved = stored(1);
    for (int i = 1; i <= kEditorFields; ++i) {
        if (i != kBirthdayField && i != kAnniversaryField) {
            SCOPED_TRACE(i);
            const QString kept = pasted.left(editorField(i).maxLength).replace(u'日', u'?');
            EXPECT_EQ(saved.text(editorField(i).field), kept.toStdString());
        }
    }
}

TEST_F(Editor, TheSpaceIndicatorShowsHowFullAFieldIs) {
    writeBook({entry("Adams")});
    open();
    auto e = openEditor(EditorMode::View);
    auto* indicator = e->findChild<QLabel*>("lblSpaceFull(31)");
    EXPECT_FALSE(indicator->isVisibleTo(e.get()));
    e->setFieldText(31, QString(111, u'a'));
    EXPECT_EQ(indicator->text(), " 37% full ");
    e->setFieldText(31, "a");
    EXPECT_EQ(indicator->text(), " 1% full ");
    e->setFieldText(31, "");
    EXPECT_FALSE(indicator->isVisibleTo(e.get()));
    // An old file's field can be fuller than the editor lets one type.
    EXPECT_EQ(spaceFullText(1120, 1097), " full ");
}

TEST_F(Editor, AnEntryAddedThroughTheWindowsIsAppendedHighlightedAndEditable) {
    writeBook({entry("Adams"), entry("Young")});
    open();
    test::onNextModal([](QWidget* modal) {
        auto* e = qobject_cast<frmAddEditName*>(modal);
        ASSERT_NE(e, nullptr);
        e->setFieldText(2, "  Smith, Ann  ");
        e->setFieldText(4, "March 5, 1962");
        e->setFieldText(30, "Met at\r\nthe fair");
        QTest::mouseClick(e->findChild<OrielButton*>("cmdSave"), Qt::LeftButton);
    });
    QTest::mouseClick(button("cmdAddEntry"), Qt::LeftButton);
    ASSERT_EQ(readFile(app.path("Corvane.Data").toStdString()).size(), 9000u);
    const ContactRecord added = stored(3);
    EXPECT_EQ(added.text(Field::FullName), "Smith, Ann");
    EXPECT_EQ(added.creatorVersion(), 8);
    EXPECT_NEAR(added.date(Field::Created), toOleDate(platform.clock), 1e-9);
    EXPECT_EQ(added.date(Field::LastModified), added.date(Field::Created));
    EXPECT_EQ(added.date(Field::Birthday), oleFromDateTime({1962, 3, 5}));
    EXPECT_EQ(grid().TextMatrix(grid().Row(), 0), "Smith, Ann");

    // Open it again from the list, change it, save, finish.
    test::onNextModal([](QWidget* modal) {
        auto* e = qobject_cast<frmAddEditName*>(modal);
        ASSERT_NE(e, nullptr);
        EXPECT_EQ(e->fieldText(4), "Mar 05, 1962");
        EXPECT_EQ(e->fieldText(30), "Met at\r\nthe fair");
        e->setFieldText(11, "555-0100");
        QTest::mouseClick(e->findChild<OrielButton*>("cmdSave"), Qt::LeftButton);
        QTest::mouseClick(e->findChild<OrielButton*>("cmdCancel"), Qt::LeftButton);
    });
    QTest::keyClick(&grid(), Qt::Key_Return);
    EXPECT_EQ(stored(3).text(Field::HomePhone), "555-0100");
    EXPECT_EQ(names(), (QStringList{"Adams", "Smith, Ann", "Young"}));
}

// After a save the list highlights the entry just saved: a changed one,
// and an added one whose name another entry already has.
TEST_F(Editor, AfterASaveTheListHighlightsTheEntryJustSaved) {
    writeBook({entry("Adams"), entry("Baker"), entry("Doe, Jane")});
    open();
    grid().setRow(2);
    test::onNextModal([](QWidget* modal) {
        auto* e = qobject_cast<frmAddEditName*>(modal);
        ASSERT_NE(e, nullptr);
        e->setFieldText(11, "555-0100");
        QTest::mouseClick(e->findChild<OrielButton*>("cmdSave"), Qt::LeftButton);
        QTest::mouseClick(e->findChild<OrielButton*>("cmdCancel"), Qt::LeftButton);
    });
    QTest::keyClick(&grid(), Qt::Key_Return);
    EXPECT_EQ(stored(2).text(Field::HomePhone), "555-0100");
    EXPECT_EQ(grid().TextMatrix(grid().Row(), 0), "Baker");

    test::onNextModal([](QWidget* modal) {
        auto* e = qobject_cast<frmAddEditName*>(modal);
        ASSERT_NE(e, nullptr);
        e->setFieldText(2, "Doe, Jane");
        QTest::mouseClick(e->findChild<OrielButton*>("cmdSave"), Qt::LeftButton);
    });
    QTest::mouseClick(button("cmdAddEntry"), Qt::LeftButton);
    EXPECT_EQ(grid().TextMatrix(grid().Row(), 2), "4");  // the new one, not the older
}

// The close box with a change pending asks: go on editing, drop it, or
// save it; nothing is lost without an answer.
TEST_F(Editor, TheCloseBoxAsksBeforeChangesAreLost) {
    writeBook({entry("Adams"), entry("Baker")});
    open();
    app.FadeEnabled = false;  // closed at once, not after a fade
    for (const MsgAnswer answer : {MsgAnswer::Cancel, MsgAnswer::No, MsgAnswer::Yes}) {
        auto e = openEditor(EditorMode::View);
        e->show();
        e->setFieldText(11, "555-0199");
        platform.answers = {answer};
        e->close();
        EXPECT_EQ(platform.messages.last().text, "Save the changes to this entry before closing?");
        EXPECT_EQ(e->isVisible(), answer == MsgAnswer::Cancel);
        if (answer == MsgAnswer::Cancel) {
            EXPECT_EQ(e->fieldText(11), "555-0199");  // still there to edit
        }
        EXPECT_EQ(stored(1).text(Field::HomePhone) == "555-0199", answer == MsgAnswer::Yes);
    }
}

// The scroll bar only where it can move: not over a sub-list of one row;
// and an entry without a name is called so, not "Corvane".
TEST_F(Editor, ASubListOfOneRowHasNoScrollBarAndANamelessEntryACaption) {
    writeBook({entry("Adams"), entry("Baker"), entry("")});
    open();
    app.SearchPhrase = QStringLiteral("Baker");
    window->setSubListShown(true);
    window->LoadGrid();
    ASSERT_EQ(names(), QStringList{"Baker"});
    auto e = openEditor(EditorMode::View);
    EXPECT_FALSE(shown(*e, "scrollNames"));
    e.reset();
    window->setSubListShown(false);
    window->LoadGrid();
    grid().setRow(static_cast<int>(names().indexOf(QString())) + 1);
    auto nameless = openEditor(EditorMode::View);
    EXPECT_EQ(nameless->windowTitle(), "(no name)");
}

// A double click on Save: its second click lands on the scroll bar that
// appears there, and is not taken for a step; a later click is.
TEST_F(Editor, TheSecondClickOfADoubleClickOnSaveDoesNotStep) {
    writeBook({entry("Adams"), entry("Baker"), entry("Clark")});
    open();
    grid().setRow(1);
    auto e = openEditor(EditorMode::View);
    auto* bar = e->findChild<QScrollBar*>("scrollNames");
    e->setFieldText(11, "555-0100");
    QTest::mouseClick(button(*e, "cmdSave"), Qt::LeftButton);
    ASSERT_TRUE(bar->isVisible());
    const QPoint right(bar->width() - 4, bar->height() / 2);
    QTest::mouseClick(bar, Qt::LeftButton, {}, right);
    EXPECT_EQ(bar->value(), 1);
    QTest::qWait(QApplication::doubleClickInterval() + 50);
    QTest::mouseClick(bar, Qt::LeftButton, {}, right);
    EXPECT_GT(bar->value(), 1);
}

// The bar moves on while a missing picture's message is up: the entry
// shown follows it, and the two stay in step.
TEST_F(Editor, TheScrollBarStaysInStepWithTheEntryAfterAMessage) {
    ContactRecord pictured = entry("Baker");
    pictured.setText(Field::PicturePath, app.path("gone.jpg").toStdString());
    writeBook({entry("Adams"), pictured, entry("Clark")});
    open();
    grid().setRow(1);
    auto e = openEditor(EditorMode::View);
    auto* bar = e->findChild<QScrollBar*>("scrollNames");
    // The message comes after the step; should the bar move on while it is
    // up, the entry follows.
    platform.whileShown = [&](const MessageBoxSpec&) {
        EXPECT_EQ(e->EntryRecordNumber(), 2);
        EXPECT_TRUE(e->isEnabled());
        bar->setValue(3);
    };
    bar->setValue(2);
    platform.whileShown = nullptr;
    ASSERT_EQ(platform.messages.size(), 1);
    EXPECT_EQ(platform.messages[0].title, "Error loading picture");
    EXPECT_EQ(bar->value(), 3);
    EXPECT_EQ(e->windowTitle(), "Clark");
    EXPECT_EQ(e->EntryRecordNumber(), 3);
    EXPECT_EQ(window->Row(), 3);
}

// A field of several lines gives back what it holds: a lone CR in a full
// field costs no character, and a no-break space stays one when the user
// edits another part of the field.
TEST_F(Editor, AFieldOfSeveralLinesKeepsWhatItOnlyShows) {
    ContactRecord odd = entry("Adams");
    const std::string full = std::string(150, 'a') + "\r" + std::string(149, 'b');
    odd.setText(Field::HomeOtherInfo, full);
    odd.setText(Field::Affiliations, "Club\xC2\xA0One");
    writeBook({odd, entry("Baker")});
    open();
    grid().setRow(1);
    auto e = openEditor(EditorMode::View);
    EXPECT_EQ(e->fieldText(17).toStdString(), full);
    EXPECT_FALSE(e->HasChanges());
    auto* affiliations = e->findChild<QPlainTextEdit*>("txtField(31)");
    affiliations->setFocus();
    affiliations->moveCursor(QTextCursor::End);
    QTest::keyClick(affiliations, Qt::Key_Return);
    QTest::keyClicks(affiliations, "Chess");
    QTest::mouseClick(button(*e, "cmdSave"), Qt::LeftButton);
    EXPECT_EQ(stored(1).text(Field::Affiliations), "Club\xC2\xA0One\r\nChess");
    EXPECT_EQ(stored(1).text(Field::HomeOtherInfo), full);
}

TEST(EditorFaults, ASaveTheDiskRefusesIsReportedAndChangesNothing) {
    test::FaultyShellFixture shell;
    auto& [settings, dir, platform, fs, app] = shell;
    test::writeFile(app.path("Corvane.Data").toStdString(), test::slotsOf({"Adams", "Baker"}));
    const auto before = test::readFile(app.path("Corvane.Data").toStdString());
    frmMain window(app);
    window.setAttribute(Qt::WA_DeleteOnClose, false);
    window.show();
    QCoreApplication::processEvents();
    frmAddEditName editor(app, window, EditorMode::View, &window);
    editor.show();
    editor.setFieldText(3, "Annie");
    // Opening succeeds, and so do the journal's steps (open, chmod, write,
    // flush, flush of the folder); the write fails as on a full disk.
    fs.failStep(7);
    editor.cmdSave_Click();
    ASSERT_EQ(platform.titles(), QStringList{"Error"});
    EXPECT_TRUE(platform.messages[0].text.endsWith(
        QString::fromStdString("Corvane.Data: " + test::systemReason(ENOSPC))));
    EXPECT_EQ(test::readFile(app.path("Corvane.Data").toStdString()), before);
    EXPECT_TRUE(editor.isVisible());
    EXPECT_EQ(editor.fieldText(3), "Annie");  // kept for another try
}

}  // namespace
}  // namespace corvane

namespace corvane {
namespace {

using test::entry;
using test::readFile;

// What a save may and may not change: a field the user did not touch keeps
// its stored bytes, whatever the editor could show of them.
class EditorKeepsBytes : public testing::Test, public test::MainWindowFixture {
  protected:
    test::Bytes slot(int number) {
        const auto bytes = readFile(app.path("Corvane.Data").toStdString());
        return test::Bytes(bytes.begin() + (number - 1) * 3000, bytes.begin() + number * 3000);
    }
    // Every text field at a distinct value; comments at their full 1097
    // characters, as a converted record carries them.
    static ContactRecord fullRecord() {
        ContactRecord r;
        for (int f = 1; f <= 32; ++f) {
            const Field field = static_cast<Field>(f);
            if (fieldInfo(field).kind == FieldKind::Text) {
                r.setText(field, "F" + std::to_string(f));
            }
        }
        r.setText(Field::FullName, "Adams, Ann");
        // A picture on a disk that is not mounted: kept, never shown.
        r.setText(Field::PicturePath, "/media/corvane-absent-disk/F4.jpg");
        std::string comments = "First line\r\n";
        while (comments.size() < 1097) {
            comments += static_cast<char>('a' + comments.size() % 26);
        }
        r.setText(Field::Comments, comments);
        r.setDate(Field::Birthday, oleFromDateTime({1962, 3, 15}));
        r.setDate(Field::Anniversary, oleFromDateTime({1990, 6, 2, 12, 0, 0}));  // a stray time
        r.setCreatorVersion(7);
        r.setDate(Field::Created, 40000.25);
        r.setDate(Field::LastModified, 40000.25);
        return r;
    }
    // The slot's bytes outside the nickname and the modification stamp.
    static test::Bytes outsideNicknameAndStamp(test::Bytes bytes) {
        std::fill(bytes.begin() + 82, bytes.begin() + 106, 0);
        std::fill(bytes.begin() + 2992, bytes.end(), 0);
        return bytes;
    }
};

TEST_F(EditorKeepsBytes, LongCommentsSurviveASaveOfAnotherFieldWhole) {
    writeBook({fullRecord()});
    const test::Bytes before = slot(1);
    open();
    auto editor = std::make_unique<frmAddEditName>(app, *window, EditorMode::View, window.get());
    editor->show();
    EXPECT_EQ(editor->fieldText(30).size(), 1097);  // shown whole
    auto* nickname = editor->findChild<QLineEdit*>("txtField(3)");
    nickname->clear();
    QTest::keyClicks(nickname, "Annie");
    QTest::mouseClick(editor->findChild<OrielButton*>("cmdSave"), Qt::LeftButton);
    ASSERT_TRUE(platform.messages.isEmpty()) << platform.messages[0].text.toStdString();
    const test::Bytes after = slot(1);
    EXPECT_EQ(outsideNicknameAndStamp(after), outsideNicknameAndStamp(before));
    const auto saved =
        ContactRecord::decode(std::span<const std::uint8_t, 3000>(after.data(), 3000));
    EXPECT_EQ(saved.text(Field::Nickname), "Annie");

    // Typing into the long comments adds nothing beyond what was loaded.
    auto* comments = editor->findChild<MultiLineField*>("txtField(30)");
    comments->setFocus();
    QTest::keyClicks(comments, "xyz");
    EXPECT_EQ(comments->storedLength(), 1097);
}

TEST_F(EditorKeepsBytes, UntouchedDatesAreNotReadAgainInALanguageTheReaderCannotRead) {
    const test::ScopedLocale chinese(QLocale(QLocale::Chinese, QLocale::China));
    writeBook({fullRecord()});
    const test::Bytes before = slot(1);
    open();
    auto editor = std::make_unique<frmAddEditName>(app, *window, EditorMode::View, window.get());
    editor->show();
    const QString shown = editor->fieldText(4);
    editor->setFieldText(3, "Annie");
    editor->cmdSave_Click();
    EXPECT_TRUE(platform.messages.isEmpty());
    EXPECT_EQ(outsideNicknameAndStamp(slot(1)), outsideNicknameAndStamp(before));
    // Typed back as shown, the date is understood too.
    editor->setFieldText(4, QStringLiteral("x"));
    editor->setFieldText(4, shown);
    editor->setFieldText(3, "Ann");
    editor->cmdSave_Click();
    EXPECT_TRUE(platform.messages.isEmpty());
    const test::Bytes saved = slot(1);
    EXPECT_EQ(ContactRecord::decode(std::span<const std::uint8_t, 3000>(saved.data(), 3000))
                  .date(Field::Birthday),
              oleFromDateTime({1962, 3, 15}));
}

TEST_F(EditorKeepsBytes, AnEntryThatDoesNotLoadClosesTheEditorAndIsNeverSavedOver) {
    writeBook({fullRecord(), entry("Baker")});
    const auto book = readFile(app.path("Corvane.Data").toStdString());
    open();
    // The file cannot be opened while the editor loads (a folder stands in
    // its place), and can again afterwards.
    std::filesystem::rename(app.path("Corvane.Data").toStdString(), dir.file("aside"));
    std::filesystem::create_directory(app.path("Corvane.Data").toStdString());
    auto editor = std::make_unique<frmAddEditName>(app, *window, EditorMode::View, window.get());
    editor->show();
    ASSERT_EQ(platform.titles(), QStringList{"Error"});
    std::filesystem::remove(app.path("Corvane.Data").toStdString());
    std::filesystem::rename(dir.file("aside"), app.path("Corvane.Data").toStdString());

    editor->setFieldText(2, "Typed over");
    EXPECT_FALSE(editor->HasSaveableChanges());
    editor->cmdSave_Click();
    EXPECT_EQ(readFile(app.path("Corvane.Data").toStdString()), book);
    EXPECT_TRUE(QTest::qWaitFor([&] { return !editor->isVisible(); }, 2000));
}

TEST_F(EditorKeepsBytes, ANameTheFileCannotHoldWholeIsStillFoundAndHighlighted) {
    app.openEntryEditor = [this](QWidget* owner, EditorMode mode, ListLink& list) {
        frmAddEditName editor(app, list, mode, owner);
        editor.exec();
    };
    writeBook({entry("Adams"), entry("Young")});
    open();
    test::onNextModal([](QWidget* modal) {
        auto* e = qobject_cast<frmAddEditName*>(modal);
        ASSERT_NE(e, nullptr);
        e->setFieldText(2, QStringLiteral("Łukasz, Anna"));
        QTest::mouseClick(e->findChild<OrielButton*>("cmdSave"), Qt::LeftButton);
    });
    QTest::mouseClick(button("cmdAddEntry"), Qt::LeftButton);
    ASSERT_TRUE(names().contains("?ukasz, Anna"));
    ASSERT_GE(grid().Row(), 1);
    EXPECT_EQ(grid().TextMatrix(grid().Row(), 0), "?ukasz, Anna");
    EXPECT_EQ(grid().TextMatrix(grid().Row(), 2), "3");
}

}  // namespace
}  // namespace corvane

namespace corvane {
namespace {

class EditorMends : public testing::Test, public test::MainWindowFixture {
  protected:
    std::unique_ptr<frmAddEditName> openEditor() {
        auto editor =
            std::make_unique<frmAddEditName>(app, *window, EditorMode::View, window.get());
        editor->show();
        return editor;
    }
};

TEST_F(EditorMends, StampsUseTheLocalesSeparatorsAndEqualStampsShowOnce) {
    const double when = oleFromDateTime({2026, 12, 8, 9, 5, 7});
    EXPECT_EQ(formatStamp(when, QLocale::c()), "12/08/26 09:05:07");
    EXPECT_EQ(formatStamp(when, QLocale(QLocale::German, QLocale::Germany)), "12.08.26 09:05:07");
    EXPECT_EQ(formatStamp(when, QLocale(QLocale::Finnish, QLocale::Finland)), "12.08.26 09.05.07");

    ContactRecord r = entry("Adams");
    r.setDate(Field::Created, when);
    r.setDate(Field::LastModified, when + 0.4 / 86400000.0 * 1000);  // 0.4 ms later
    writeBook({r});
    open();
    auto e = openEditor();
    EXPECT_TRUE(e->findChild<QLabel*>("lblDataInfo(2)")->isHidden());
}

TEST_F(EditorMends, TheScrollBarsRowBecomesTheListsTopRowAndLabelButtonsFollowEveryLoad) {
    std::vector<ContactRecord> book;
    for (int i = 0; i < 80; ++i) {
        book.push_back(entry("Entry " + std::to_string(100 + i)));
    }
    writeBook(book);
    open();
    grid().setRow(1);
    auto e = openEditor();
    e->findChild<QScrollBar*>("scrollNames")->setValue(40);
    EXPECT_EQ(grid().Row(), 40);
    EXPECT_EQ(grid().TopRow(), 40);
}

TEST_F(EditorMends, TheLabelButtonsFollowTheEntryAsSavedAndReloaded) {
    ContactRecord r = entry("Adams");
    r.setText(Field::HomeAddress1, "1 Main Street");
    writeBook({r});
    open();
    auto e = openEditor();
    auto* homeLabel = e->findChild<OrielButton*>("cmdPrintLabel(1)");
    EXPECT_FALSE(homeLabel->isHidden());
    e->setFieldText(6, "");
    e->cmdSave_Click();  // saved, then shown again as stored: no address
    EXPECT_EQ(e->fieldText(6), "");
    EXPECT_TRUE(homeLabel->isHidden());
}

}  // namespace
}  // namespace corvane
