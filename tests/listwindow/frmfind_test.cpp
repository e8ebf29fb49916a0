// Finding entries through the dialog, on the real windows.

#include "frmfind.h"

#include <gtest/gtest.h>

#include <QCheckBox>
#include <QLabel>
#include <QLineEdit>
#include <QRadioButton>
#include <QTest>

#include "mainwindowfixture.h"

namespace corvane {
namespace {

using test::entry;

class Find : public testing::Test, public test::MainWindowFixture {
  protected:
    void SetUp() override {
        ContactRecord choir = entry("Baker, Bob");
        choir.setText(Field::Affiliations, "Choir");
        ContactRecord smith = entry("Smith, John");
        smith.setText(Field::Comments, "Plays the tuba");
        writeBook({entry("Adams, Ann"), smith, choir, entry("Stone, Sue")});
        open();
    }

    // Opens the find dialog from the main window and lets `fill` act on it.
    void find(std::function<void(frmFind*)> fill) {
        test::onNextModal([fill](QWidget* modal) {
            auto* dialog = qobject_cast<frmFind*>(modal);
            ASSERT_NE(dialog, nullptr);
            fill(dialog);
        });
        QTest::mouseClick(button("cmdFindEntries(1)"), Qt::LeftButton);
    }
    static QLineEdit* phrase(frmFind* d) { return d->findChild<QLineEdit*>("txtSearchPhrase"); }
    static QRadioButton* option(frmFind* d, int i) {
        return d->findChild<QRadioButton*>(QStringLiteral("optFind(%1)").arg(i));
    }
    static OrielButton* dialogButton(frmFind* d, const char* name) {
        return d->findChild<OrielButton*>(name);
    }
    QString header() { return window->findChild<QLabel*>("lblGridHeader")->text(); }
};

TEST_F(Find, TheFirstOpeningAsksForAPhraseInAllTextIgnoringCapitals) {
    bool checked = false;
    find([&](frmFind* d) {
        EXPECT_EQ(d->windowTitle(), " Corvane - Find Entries");
        EXPECT_EQ(d->findChild<QLabel*>("lblFind")->text(),
                  "\nEnter a word or phrase\n(whole or partial)\nto search for--");
        EXPECT_EQ(phrase(d)->text(), "");
        EXPECT_TRUE(option(d, 1)->isChecked());
        EXPECT_EQ(option(d, 3)->text(), "Search 'Comments' only");
        EXPECT_TRUE(d->findChild<QCheckBox*>("chkCaseOpt")->isChecked());
        EXPECT_FALSE(dialogButton(d, "cmdFind")->isEnabled());
        QTest::keyClicks(phrase(d), "   ");
        EXPECT_FALSE(dialogButton(d, "cmdFind")->isEnabled());
        QTest::keyClicks(phrase(d), "x");
        EXPECT_TRUE(dialogButton(d, "cmdFind")->isEnabled());
        checked = true;
        QTest::mouseClick(dialogButton(d, "cmdCancel"), Qt::LeftButton);
    });
    EXPECT_TRUE(checked);
    EXPECT_FALSE(window->subListShown());
    EXPECT_EQ(app.SearchPhrase, "");
}

TEST_F(Find, APhraseWithBlanksIsStoredTrimmedAndListsTheMatches) {
    find([](frmFind* d) {
        QTest::keyClicks(phrase(d), "  smith  ");
        QTest::mouseClick(dialogButton(d, "cmdFind"), Qt::LeftButton);
    });
    EXPECT_EQ(app.SearchPhrase, "smith");
    EXPECT_TRUE(window->subListShown());
    EXPECT_EQ(names(), QStringList{"Smith, John"});
    EXPECT_EQ(header(), " Sub-list of entries containing 'smith' ");
    EXPECT_TRUE(window->isFlashing());
    EXPECT_FALSE(button("cmdFindEntries(1)")->isVisibleTo(window.get()));
    EXPECT_TRUE(button("cmdSeeAllEntries")->isVisibleTo(window.get()));

    QTest::mouseClick(button("cmdSeeAllEntries"), Qt::LeftButton);
    EXPECT_EQ(names().size(), 4);
    EXPECT_EQ(header(), " All entries ");
    EXPECT_FALSE(window->isFlashing());
}

TEST_F(Find, CapitalizationCountsWhenTheBoxIsCleared) {
    find([](frmFind* d) {
        QTest::keyClicks(phrase(d), "smith");
        d->findChild<QCheckBox*>("chkCaseOpt")->setChecked(false);
        QTest::keyClick(phrase(d), Qt::Key_Return);  // Enter is the Find button
    });
    EXPECT_EQ(app.SearchCompareMode, SearchCompare::Exact);
    ASSERT_EQ(platform.titles(), QStringList{"No matches"});
    EXPECT_EQ(platform.messages[0].text, "There were no matches\nsearching for\n\nsmith");
    EXPECT_EQ(platform.messages[0].icon, MsgIcon::Critical);
    EXPECT_FALSE(window->subListShown());
    EXPECT_EQ(header(), " All entries ");
    EXPECT_EQ(names().size(), 4);
}

TEST_F(Find, CancelKeepsTheOptionAndTheCapitalizationButNotThePhrase) {
    find([](frmFind* d) {
        QTest::keyClicks(phrase(d), "tuba");
        option(d, 3)->setChecked(true);
        d->findChild<QCheckBox*>("chkCaseOpt")->setChecked(false);
        QTest::keyClick(phrase(d), Qt::Key_Escape);  // Esc is the Cancel button
    });
    EXPECT_EQ(app.SearchPhrase, "");
    EXPECT_EQ(app.SearchOption, SearchScope::Comments);
    EXPECT_EQ(names().size(), 4);

    bool reopened = false;
    find([&](frmFind* d) {
        EXPECT_EQ(phrase(d)->text(), "");
        EXPECT_TRUE(option(d, 3)->isChecked());
        EXPECT_FALSE(d->findChild<QCheckBox*>("chkCaseOpt")->isChecked());
        reopened = true;
        QTest::keyClicks(phrase(d), "Tuba");
        d->findChild<QCheckBox*>("chkCaseOpt")->setChecked(true);
        QTest::mouseClick(dialogButton(d, "cmdFind"), Qt::LeftButton);
    });
    EXPECT_TRUE(reopened);
    EXPECT_EQ(names(), QStringList{"Smith, John"});

    // The next opening shows the last phrase, selected, so typing replaces it.
    QTest::mouseClick(button("cmdSeeAllEntries"), Qt::LeftButton);
    find([](frmFind* d) {
        EXPECT_EQ(phrase(d)->text(), "Tuba");
        EXPECT_EQ(phrase(d)->selectedText(), "Tuba");
        d->close();  // the close box is Cancel too
    });
    EXPECT_EQ(app.SearchPhrase, "");
    EXPECT_FALSE(window->subListShown());
}

TEST_F(Find, TheSavedRowIsWhereTheFullListComesBack) {
    grid().setRow(3);
    find([](frmFind* d) {
        QTest::keyClicks(phrase(d), "Choir");
        option(d, 4)->setChecked(true);
        QTest::mouseClick(dialogButton(d, "cmdFind"), Qt::LeftButton);
    });
    EXPECT_EQ(names(), QStringList{"Baker, Bob"});
    QTest::keyClick(&grid(), Qt::Key_Escape);
    EXPECT_EQ(grid().Row(), 3);
}

}  // namespace
}  // namespace corvane
