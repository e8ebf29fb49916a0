// The title window, the welcome window and the hand-over between them, on
// real windows with the desktop played by the tests.

#include <gtest/gtest.h>

#include <QCheckBox>
#include <QDir>
#include <QFile>
#include <QLabel>
#include <QPointer>
#include <QTest>

#include "../store/storetestdata.h"
#include "bascorvane.h"
#include "frmmain.h"
#include "frmnewuser.h"
#include "frmtitlepage.h"
#include "modfadeinout.h"
#include "orielbutton.h"
#include "shelltestsupport.h"

namespace corvane {
namespace {

using test::readFile;
using test::writeFile;

class HandOver : public testing::Test, public test::ShellFixture {
  protected:
    // Opens the title window, as the entry point does; `mainShown` counts
    // the hand-overs to the main window.
    frmTitlePage* openTitle() {
        auto* title = new frmTitlePage(app, [this] { ++mainShown; });
        titleWindow = title;
        title->show();
        return title;
    }
    void pressContinue(frmTitlePage* title) {
        auto* button = title->findChild<OrielButton*>("cmdContinue");
        ASSERT_NE(button, nullptr);
        QTest::mouseClick(button, Qt::LeftButton, {}, QPoint(5, 5));
    }
    void oldFileOf(int records) {
        QByteArray old(records * 2000, ' ');
        for (int i = 0; i < records; ++i) {
            old[i * 2000] = static_cast<char>('A' + i);
        }
        QFile file(app.path("Corvane.Dat"));
        ASSERT_TRUE(file.open(QIODevice::WriteOnly));
        file.write(old);
    }
    bool exists(const char* name) const { return QFile::exists(app.path(name)); }

    int mainShown = 0;
    QPointer<frmTitlePage> titleWindow;
};

TEST_F(HandOver, TheTitleWindowShowsWhoAndWhat) {
    app.settings.setNewUser("NoShow");
    frmTitlePage* title = openTitle();
    EXPECT_EQ(title->findChild<QLabel*>("labelAppTitle")->text(), "Corvane");
    EXPECT_EQ(title->findChild<QLabel*>("labelVersion")->text(), "Version w8.14.29");
    EXPECT_TRUE(title->findChild<QLabel*>("labelCopyright")->text().startsWith("\u00A9 "));
    EXPECT_EQ(title->findChild<QLabel*>("labelOrielSoftware")->text(), "Oriel Software");
    EXPECT_EQ(title->findChild<QLabel*>("labelOrielAddress")->text().count('\n'), 1);
    auto* mail = title->findChild<QLabel*>("labelOrielContact(1)");
    auto* web = title->findChild<QLabel*>("labelOrielContact(2)");
    EXPECT_EQ(mail->toolTip(), "Click here to email Oriel Software");
    EXPECT_EQ(web->toolTip(), "Click here to visit Oriel Software's Web Page");
    EXPECT_EQ(title->findChild<OrielButton*>("cmdContinue")->caption(), "&Continue");
    EXPECT_EQ(frmTitlePage::versionText(8, 0, 29), "Version w8..29");

    QTest::mouseClick(mail, Qt::LeftButton);
    QTest::mouseClick(web, Qt::LeftButton);
    EXPECT_EQ(platform.addresses, (QStringList{"mailto:corvane@oriel-software.example",
                                               "http://www.oriel-software.example/corvane"}));
    delete title;
}

TEST_F(HandOver, AnEmptyOldFileIsDeletedSilentlyAndWithoutFadingTheTitleGoesAtOnce) {
    app.settings.setNewUser("NoShow");
    writeFile(app.path("Corvane.Dat").toStdString(), {});
    pressContinue(openTitle());
    EXPECT_FALSE(exists("Corvane.Dat"));
    EXPECT_TRUE(platform.messages.isEmpty());
    EXPECT_EQ(mainShown, 1);
    EXPECT_TRUE(QTest::qWaitFor([&] { return titleWindow.isNull(); }, 1000));
    EXPECT_FALSE(exists("Corvane.Data"));  // the main window creates it, not the hand-over
}

TEST_F(HandOver, BothFilesPresentAsksNothing) {
    app.settings.setNewUser("NoShow");
    oldFileOf(2);
    writeFile(app.path("Corvane.Data").toStdString(), {});
    pressContinue(openTitle());
    EXPECT_TRUE(platform.messages.isEmpty());
    EXPECT_TRUE(exists("Corvane.Dat"));
    EXPECT_EQ(mainShown, 1);
}

TEST_F(HandOver, DecliningTheConversionChangesNothing) {
    app.settings.setNewUser("NoShow");
    oldFileOf(2);
    platform.answers = {MsgAnswer::No};
    pressContinue(openTitle());
    ASSERT_EQ(platform.titles(), (QStringList{"Data update needed", "Please take note..."}));
    const MessageBoxSpec& question = platform.messages[0];
    EXPECT_EQ(question.text,
              "You have an older version\n"
              "Corvane data file.\n"
              "\n"
              "Are you ready to transfer this data\n"
              "to a format that this newer version\n"
              "of Corvane can work with?\n"
              "\n"
              "Note: This process will keep your old data file intact just in case\n"
              "you want to revert back to your older version of Corvane.");
    EXPECT_EQ(question.icon, MsgIcon::Question);
    EXPECT_EQ(question.buttons, MsgButtons::YesNo);
    EXPECT_EQ(question.defaultButton, 1);
    const MessageBoxSpec& note = platform.messages[1];
    EXPECT_EQ(note.text,
              "You have chosen not to update your older data file.\n"
              "\n"
              "This will not cause problems, but be aware that\n"
              "if you create new entries with this newer version,\n"
              "there will not be another opportunity to transfer\n"
              "your older version entries to this newer version.");
    EXPECT_EQ(note.icon, MsgIcon::Information);
    EXPECT_FALSE(exists("Corvane.Data"));
    EXPECT_EQ(readFile(app.path("Corvane.Dat").toStdString()).size(), 4000u);
    EXPECT_EQ(mainShown, 1);
}

TEST_F(HandOver, AcceptingTheConversionCarriesTheRecordsOver) {
    app.settings.setNewUser("NoShow");
    oldFileOf(3);
    platform.answers = {MsgAnswer::Yes};
    pressContinue(openTitle());
    ASSERT_EQ(platform.titles(), (QStringList{"Data update needed", "Data Conversion Complete"}));
    EXPECT_EQ(platform.messages[1].text,
              "The data update was successful!\n"
              "\n"
              "Remember, your old data file still exists\n"
              "just in case you decide to return to your\n"
              "older verion of Corvane, but any new entries\n"
              "you make with this newer version will be lost\n"
              "if you return to your older version of Corvane.");
    EXPECT_EQ(platform.messages[1].icon, MsgIcon::Exclamation);
    const auto data = readFile(app.path("Corvane.Data").toStdString());
    EXPECT_EQ(test::namesIn(data), (std::vector<std::string>{"A", "B", "C"}));
    // Stamped with the clock: 8 December 2026, 09:30:15.
    const auto record =
        ContactRecord::decode(std::span<const std::uint8_t, 3000>(data.data(), 3000));
    EXPECT_NEAR(record.date(Field::Created), toOleDate(platform.clock), 1e-9);
    EXPECT_EQ(mainShown, 1);
}

TEST_F(HandOver, AFailedConversionIsReportedAndLeavesNoDataFile) {
    app.settings.setNewUser("NoShow");
    oldFileOf(1);
    // A folder where the scratch file should be makes the conversion fail.
    ASSERT_TRUE(QDir().mkdir(app.path("TempFile.Data")));
    platform.answers = {MsgAnswer::Yes};
    pressContinue(openTitle());
    ASSERT_EQ(platform.titles(), (QStringList{"Data update needed", "Error"}));
    EXPECT_TRUE(platform.messages[1].text.contains(
        QString::fromStdString("TempFile.Data: " + test::systemReason(EISDIR))));
    EXPECT_FALSE(exists("Corvane.Data"));
    EXPECT_EQ(mainShown, 1);
}

TEST_F(HandOver, AfterAFailedConversionTheOfferComesBackAtTheNextStart) {
    app.settings.setNewUser("NoShow");
    oldFileOf(2);
    ASSERT_TRUE(QDir().mkdir(app.path("TempFile.Data")));
    platform.answers = {MsgAnswer::Yes};
    pressContinue(openTitle());
    ASSERT_EQ(platform.titles(), (QStringList{"Data update needed", "Error"}));
    EXPECT_TRUE(platform.messages[1].text.contains("will be offered again the next time"));

    // The main window lists the empty book, the count is learned as the
    // editor learns it when it opens to add, and the user quits: none of it
    // makes a data file.
    {
        frmMain window(app);
        window.setAttribute(Qt::WA_DeleteOnClose, false);
        window.show();
        ASSERT_TRUE(QTest::qWaitFor([&] { return platform.messages.size() == 3; }, 5000));
        EXPECT_EQ(platform.messages[2].title, "Corvane");  // "...currently empty!"
        ASSERT_TRUE(app.store.RefreshRecordCount().ok());
        EXPECT_EQ(app.store.RecordCount(), 0);
        window.shutDown();
    }
    EXPECT_FALSE(exists("Corvane.Data"));

    // The next start: whatever was in the way is gone, and the offer is back.
    ASSERT_TRUE(QDir().rmdir(app.path("TempFile.Data")));
    platform.messages.clear();
    AppState nextRun(platform, dir.path().string());
    nextRun.endProcess = [] {};
    platform.answers = {MsgAnswer::Yes};
    auto* title = new frmTitlePage(nextRun, [] {});
    title->show();
    pressContinue(title);
    ASSERT_EQ(platform.titles(), (QStringList{"Data update needed", "Data Conversion Complete"}));
    EXPECT_EQ(test::namesIn(readFile(nextRun.path("Corvane.Data").toStdString())),
              (std::vector<std::string>{"A", "B"}));
}

TEST_F(HandOver, TheWelcomeIsShownUntilTheUserOptsOut) {
    bool welcomed = false;
    test::onNextModal([&](QWidget* modal) {
        welcomed = qobject_cast<frmNewUser*>(modal) != nullptr;
        QTest::mouseClick(modal->findChild<OrielButton*>("cmdContinue"), Qt::LeftButton);
    });
    pressContinue(openTitle());
    EXPECT_TRUE(welcomed);
    EXPECT_EQ(app.settings.newUser(), "");  // an unticked box writes nothing
    EXPECT_EQ(mainShown, 1);

    test::onNextModal([&](QWidget* modal) {
        modal->findChild<QCheckBox*>("chkNoShow")->setChecked(true);
        QTest::mouseClick(modal->findChild<OrielButton*>("cmdContinue"), Qt::LeftButton);
    });
    pressContinue(openTitle());
    EXPECT_EQ(app.settings.newUser(), "NoShow");
    EXPECT_EQ(mainShown, 2);

    // From now on the title window hands over straight away.
    pressContinue(openTitle());
    EXPECT_EQ(mainShown, 3);
}

TEST_F(HandOver, WithFadingTheTitleFadesInAndOutBeforeTheMainWindow) {
    app.settings.setNewUser("NoShow");
    app.settings.setFadeStatus(true);
    frmTitlePage* title = openTitle();
    EXPECT_TRUE(app.FadeEnabled);
    EXPECT_TRUE(title->fade()->isRunning());  // fading in by 10
    EXPECT_TRUE(QTest::qWaitFor([&] { return !title->fade()->isRunning(); }, 2000));
    EXPECT_EQ(qRound(title->windowOpacity() * 255), 255);
    pressContinue(title);
    EXPECT_EQ(mainShown, 0);
    EXPECT_TRUE(title->fade()->isRunning());
    EXPECT_TRUE(QTest::qWaitFor([&] { return mainShown == 1; }, 2000));
    EXPECT_TRUE(QTest::qWaitFor([&] { return titleWindow.isNull(); }, 1000));
}

TEST(NewUserWindow, ShowsTheGreetingAndTheOverview) {
    test::ShellFixture shell;
    frmNewUser window(shell.app);
    EXPECT_EQ(window.windowTitle(), " Corvane - New User Overview");
    const QString text = window.findChild<QLabel*>("labelNewUser")->text();
    EXPECT_TRUE(
        text.startsWith("Are you a new user? Let's take a moment for a quick overview--\n\n"
                        "Welcome to Corvane"));
    auto* box = window.findChild<QCheckBox*>("chkNoShow");
    EXPECT_EQ(box->text(), "Don't show this Welcome screen again");
    EXPECT_FALSE(box->isChecked());
    EXPECT_EQ(window.findChild<OrielButton*>("cmdContinue")->caption(), "&Continue");
    // Its text fits inside the window, every line of it, in the program's font.
    auto* label = window.findChild<QLabel*>("labelNewUser");
    label->setFont(basCorvane::programFont());
    EXPECT_TRUE(window.rect().contains(label->geometry()));
    EXPECT_LE(label->heightForWidth(label->width()), label->height());
}

}  // namespace
}  // namespace corvane
