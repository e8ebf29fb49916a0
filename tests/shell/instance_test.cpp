// Two copies of the built program, as a user would start them.

#include <gtest/gtest.h>

#include <QDir>
#include <QFile>
#include <QStandardPaths>
#include <QTest>

#include "testsupport.h"

namespace corvane {
namespace {

const std::string kProgram = CORVANE_BINARY;

QString lockFile() {
    return QStandardPaths::writableLocation(QStandardPaths::RuntimeLocation) + "/Corvane.lock";
}

// The process id written in the lock file, or 0.
int lockHolder() {
    QFile file(lockFile());
    if (!file.open(QIODevice::ReadOnly)) {
        return 0;
    }
    return file.readLine().trimmed().toInt();
}

TEST(SingleInstance, ASecondCopyIsRefusedAndALockLeftByACrashIsNot) {
    test::TempDir first;
    test::TempDir output;
    test::StartedProgram firstCopy(kProgram, {}, first.path().string(), output.path().string());
    const int firstPid = firstCopy.pid();
    ASSERT_TRUE(QTest::qWaitFor([&] { return lockHolder() == firstPid; }, 20000));

    test::TempDir second;
    const auto refused = test::runProgram(kProgram, {}, second.path().string());
    EXPECT_EQ(refused.exitStatus, 1);
    EXPECT_NE(
        refused.err.find("Terminating...: Corvane is already loaded and running on your computer!"),
        std::string::npos);
    // It touched nothing: no data file, no settings, no lock of its own.
    EXPECT_EQ(std::distance(std::filesystem::directory_iterator(second.path()), {}), 0);
    EXPECT_EQ(lockHolder(), firstPid);

    // A copy that dies leaves its lock behind; the next start takes it over.
    firstCopy.kill();
    ASSERT_TRUE(QFile::exists(lockFile()));
    test::StartedProgram thirdCopy(kProgram, {}, first.path().string(), output.path().string());
    EXPECT_TRUE(QTest::qWaitFor([&] { return lockHolder() == thirdCopy.pid(); }, 20000));
}

}  // namespace
}  // namespace corvane

#include "../shell/fakeplatform.h"
#include "instancelock.h"

namespace corvane {
namespace {

TEST(SingleInstanceFallback, ALockBesideTheDataFileStandsInForAnUnusableRuntimeFolder) {
    test::TempDir dir;
    // A file where the runtime folder should be: no lock can be made there.
    const std::string notAFolder = dir.file("not-a-folder");
    test::writeFile(notAFolder, test::Bytes{'x'});
    const QString runtime = QString::fromStdString(notAFolder + "/runtime");
    const QString data = QString::fromStdString(dir.file("book"));
    QDir().mkpath(data);

    InstanceLock first(runtime, data);
    ASSERT_EQ(first.tryAcquire(), InstanceLock::Result::Acquired);
    EXPECT_EQ(first.path(), data + "/Corvane.Data.lock");
    EXPECT_TRUE(QFile::exists(data + "/Corvane.Data.lock"));

    // A second copy on the same data file is refused as before.
    InstanceLock second(runtime, data);
    EXPECT_EQ(second.tryAcquire(), InstanceLock::Result::HeldByAnother);
}

TEST(SingleInstanceFallback, WithNoLockAnywhereTheUserIsTold) {
    test::TempDir dir;
    const std::string notAFolder = dir.file("not-a-folder");
    test::writeFile(notAFolder, test::Bytes{'x'});
    const QString nowhere = QString::fromStdString(notAFolder + "/sub");
    InstanceLock lock(nowhere, nowhere);
    ASSERT_EQ(lock.tryAcquire(), InstanceLock::Result::NoLockPossible);

    test::FakePlatform platform;
    warnRunningUnlocked(platform, lock);
    ASSERT_EQ(platform.messages.size(), 1);
    EXPECT_EQ(platform.messages[0].title, "Please take note...");
    EXPECT_TRUE(platform.messages[0].text.startsWith(
        "Corvane could not make sure that it is the only copy running:\n"
        "no lock file could be made in\n" +
        nowhere + "\nor in\n" + nowhere));
    EXPECT_EQ(platform.messages[0].icon, MsgIcon::Exclamation);
}

}  // namespace
}  // namespace corvane
