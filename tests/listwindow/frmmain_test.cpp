// The main window as it stands now: its fade probe, the data file it makes
// ready on a first run, and how it reports a folder it cannot write.

#include "frmmain.h"

#include <gtest/gtest.h>

#include <QFile>
#include <QPointer>
#include <QTest>

#include "../shell/shelltestsupport.h"
#include "../store/faultyfilesystem.h"
#include "modfadeinout.h"

namespace corvane {
namespace {

int alphaOf(const QWidget* w) {
    return qRound(w->windowOpacity() * 255);
}

TEST(MainWindow, WithoutTheFadePreferenceItIsOpaqueAndDoesNotFade) {
    test::ShellFixture shell;
    frmMain window(shell.app);
    EXPECT_FALSE(shell.app.FadeEnabled);
    EXPECT_EQ(alphaOf(&window), 255);
    EXPECT_TRUE(window.fadeSwitchAvailable());
    EXPECT_EQ(window.windowTitle(), "Corvane");
}

TEST(MainWindow, WithTheFadePreferenceItStartsTransparentAndFadesIn) {
    test::ShellFixture shell;
    shell.app.settings.setFadeStatus(true);
    auto* window = new frmMain(shell.app);
    EXPECT_TRUE(shell.app.FadeEnabled);
    EXPECT_EQ(alphaOf(window), 0);
    window->show();
    EXPECT_TRUE(window->fade()->isRunning());
    EXPECT_TRUE(QTest::qWaitFor([&] { return !window->fade()->isRunning(); }, 2000));
    EXPECT_EQ(alphaOf(window), 255);
    delete window;
}

TEST(MainWindow, AFirstRunCreatesTheEmptyDataFile) {
    test::ShellFixture shell;
    auto* window = new frmMain(shell.app);
    window->show();
    EXPECT_TRUE(QFile::exists(shell.app.path("Corvane.Data")));
    EXPECT_EQ(QFile(shell.app.path("Corvane.Data")).size(), 0);
    EXPECT_TRUE(shell.platform.messages.isEmpty());
    delete window;
}

TEST(MainWindow, AFolderThatCannotBeWrittenIsReportedWithTheFileAndTheReason) {
    test::PrivateSettings settings;
    test::TempDir dir;
    test::FakePlatform platform;
    test::FaultyFileSystem fs;
    AppState app(platform, dir.path().string(), fs);
    app.endProcess = [] {};
    fs.failStep(1, EACCES);
    auto* window = new frmMain(app);
    window->show();
    ASSERT_EQ(platform.messages.size(), 1);
    EXPECT_EQ(platform.messages[0].title, "Error");
    EXPECT_EQ(platform.messages[0].icon, MsgIcon::Critical);
    EXPECT_TRUE(
        platform.messages[0].text.endsWith(app.path("Corvane.Data") + ": Permission denied"));
    EXPECT_TRUE(window->isVisible());  // the program stays usable
    delete window;
}

TEST(MainWindow, ShuttingDownFadesOutWhenFadingAndClosesTheDataFile) {
    test::ShellFixture shell;
    shell.app.settings.setFadeStatus(true);
    QPointer<frmMain> window = new frmMain(shell.app);
    window->show();
    ASSERT_TRUE(QTest::qWaitFor([&] { return !window->fade()->isRunning(); }, 2000));
    ASSERT_TRUE(shell.app.store.OpenDataFile().ok());
    window->shutDown();
    EXPECT_EQ(shell.app.store.DataFileNumber(), 0);
    EXPECT_TRUE(window->fade()->isRunning());
    EXPECT_TRUE(QTest::qWaitFor([&] { return window.isNull(); }, 2000));
    EXPECT_EQ(shell.processEnded, 1);
}

}  // namespace
}  // namespace corvane
