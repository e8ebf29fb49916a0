// What the user sees when the data file cannot be changed, through the real
// windows: the message, the file's bytes, the list and the buttons after.

#include <gtest/gtest.h>

#include <QTest>

#include "../listwindow/mainwindowfixture.h"
#include "../store/storetestdata.h"
#include "frmaddeditname.h"

namespace corvane {
namespace {

using test::entry;
using test::readFile;

class WindowFailures : public testing::Test, public test::FaultyMainWindowFixture {
  protected:
    void SetUp() override {
        app.openEntryEditor = [this](QWidget* owner, EditorMode mode, ListLink& list) {
            frmAddEditName editor(app, list, mode, owner);
            editor.exec();
        };
    }
    test::Bytes data() { return readFile(app.path("Corvane.Data").toStdString()); }
    bool shown(const char* name) { return !button(name)->isHidden(); }

    // On the editor that opens next: types `nickname`, saves, expects the
    // editor to stay open with the text kept, then cancels until it closes.
    static void saveFailsInTheEditor(const QString& name, const QString& nickname) {
        test::onNextModal([name, nickname](QWidget* modal) {
            auto* e = qobject_cast<frmAddEditName*>(modal);
            ASSERT_NE(e, nullptr);
            if (!name.isEmpty()) {
                e->setFieldText(2, name);
            }
            e->setFieldText(3, nickname);
            QTest::mouseClick(e->findChild<OrielButton*>("cmdSave"), Qt::LeftButton);
            EXPECT_TRUE(e->isVisible()) << "a failed save closed the editor";
            EXPECT_EQ(e->fieldText(3), nickname) << "a failed save lost the typing";
            for (int i = 0; i < 3 && e->isVisible(); ++i) {
                QTest::mouseClick(e->findChild<OrielButton*>("cmdCancel"), Qt::LeftButton);
            }
            EXPECT_FALSE(e->isVisible());
        });
    }
    QString lastMessage() const {
        return platform.messages.isEmpty() ? QString() : platform.messages.last().text;
    }
};

const QString kNoSpace = QString::fromStdString(test::systemReason(ENOSPC));

TEST_F(WindowFailures, AnAddTheDiskRefusesLeavesTheFileTheListAndTheButtonsAsTheyWere) {
    writeBook({entry("Adams"), entry("Baker")});
    const test::Bytes before = data();
    open();
    // The editor opens and closes the file as it comes up; the save opens
    // it again and records the write in the journal (open, chmod, write,
    // flush, flush of the folder), and its write of the new slot fails.
    fs.failStep(9);
    saveFailsInTheEditor("Clark", "Cee");
    QTest::mouseClick(button("cmdAddEntry"), Qt::LeftButton);
    ASSERT_GE(fs.log().size(), 9u);
    EXPECT_EQ(fs.log()[8], "write Corvane.Data (fails)");

    ASSERT_EQ(platform.titles(), QStringList{"Error"});
    EXPECT_EQ(lastMessage(), "Corvane could not use its data file.\n\n" + app.path("Corvane.Data") +
                                 ": " + kNoSpace);
    EXPECT_EQ(data(), before);
    EXPECT_EQ(names(), (QStringList{"Adams", "Baker"}));
    EXPECT_TRUE(shown("cmdAddEntry"));
    EXPECT_TRUE(shown("cmdDeleteEntry"));
    EXPECT_TRUE(shown("cmdSeeEntry"));
}

TEST_F(WindowFailures, ADeletionTheDiskRefusesKeepsTheEntryInTheFileAndTheList) {
    writeBook({entry("Adams"), entry("Baker"), entry("Clark")});
    const test::Bytes before = data();
    open();
    grid().setRow(2);
    // Open; the entry into the new trash (its reading and opening, cutting
    // off, writing, flushing, closing and the folder's flush); clear the
    // scratch name, create, permissions, write, flush and close the copy,
    // close the data file: the rename is the 16th step.
    fs.failStep(16);
    platform.answers = {MsgAnswer::Yes};
    QTest::mouseClick(button("cmdDeleteEntry"), Qt::LeftButton);
    ASSERT_EQ(fs.log().at(15), "rename TempFile.Data Corvane.Data (fails)");

    ASSERT_EQ(platform.titles(), (QStringList{"Confirm", "Error"}));
    EXPECT_EQ(lastMessage(), "Corvane could not use its data file.\n\n" + app.path("Corvane.Data") +
                                 ": " + kNoSpace);
    EXPECT_EQ(data(), before);
    EXPECT_FALSE(test::fileExists(app.path("TempFile.Data").toStdString()));
    EXPECT_EQ(names(), (QStringList{"Adams", "Baker", "Clark"}));
    EXPECT_EQ(grid().TextMatrix(grid().Row(), 0), "Baker");
    EXPECT_TRUE(shown("cmdDeleteEntry"));
    EXPECT_TRUE(shown("cmdAddEntry"));
}

// A file on a disk that takes no writes: the entries are shown, the user is
// told once, and every change says why it cannot be made.
TEST_F(WindowFailures, AReadOnlyFileIsShownAndEveryChangeSaysWhyNot) {
    writeBook({entry("Adams"), entry("Baker")});
    const test::Bytes before = data();
    fs.breakAt(1, EROFS);
    open();
    const QString readOnly = QString::fromStdString(
        "Corvane may read its data file but not change it (" + test::systemReason(EROFS) +
        "). Your entries are shown, but nothing can be saved.");
    ASSERT_EQ(platform.titles(), QStringList{"Please take note..."});
    EXPECT_EQ(lastMessage(), readOnly);
    EXPECT_EQ(names(), (QStringList{"Adams", "Baker"}));
    // The buttons are those of any list of two: what they would change
    // says why it cannot.
    EXPECT_TRUE(shown("cmdAddEntry"));
    EXPECT_TRUE(shown("cmdDeleteEntry"));

    saveFailsInTheEditor({}, "Bee");
    grid().setRow(2);
    QTest::keyClick(&grid(), Qt::Key_Return);
    ASSERT_EQ(platform.titles(), (QStringList{"Please take note...", "Error"}));
    EXPECT_EQ(lastMessage(), "Corvane could not use its data file.\n\n" + app.path("Corvane.Data") +
                                 ": " + readOnly);

    platform.answers = {MsgAnswer::Yes};
    QTest::mouseClick(button("cmdDeleteEntry"), Qt::LeftButton);
    ASSERT_EQ(platform.titles(), (QStringList{"Please take note...", "Error", "Confirm", "Error"}));
    EXPECT_EQ(lastMessage(), "Corvane could not use its data file.\n\n" + app.path("Corvane.Data") +
                                 ": " + readOnly);
    EXPECT_EQ(data(), before);
    EXPECT_EQ(names(), (QStringList{"Adams", "Baker"}));
}

// More slots than a record number counts: the file is only read, the first
// 32767 are listed, and adding is not offered.
TEST_F(WindowFailures, AFileTooLargeIsOnlyReadAndOffersNoAdd) {
    writeBook({entry("Adams")});
    std::filesystem::resize_file(app.path("Corvane.Data").toStdString(), 32768ull * 3000);
    open();
    ASSERT_EQ(platform.titles(), QStringList{"Please take note..."});
    EXPECT_EQ(lastMessage(),
              "The data file is 98304000 bytes long: more than the 32767 entries Corvane can "
              "count. It is only read, and nothing will be written to it.");
    EXPECT_EQ(grid().Rows(), 32768);
    EXPECT_FALSE(shown("cmdAddEntry"));
    EXPECT_TRUE(shown("cmdDeleteEntry"));

    platform.answers = {MsgAnswer::Yes};
    QTest::mouseClick(button("cmdDeleteEntry"), Qt::LeftButton);
    ASSERT_EQ(platform.titles(), (QStringList{"Please take note...", "Confirm", "Error"}));
    EXPECT_TRUE(lastMessage().endsWith("It is only read, and nothing will be written to it."));
    EXPECT_EQ(std::filesystem::file_size(app.path("Corvane.Data").toStdString()), 32768ull * 3000);
    const test::Bytes after = data();
    EXPECT_EQ(test::namesIn(test::Bytes(after.begin(), after.begin() + 3000)),
              (std::vector<std::string>{"Adams"}));
}

}  // namespace
}  // namespace corvane
