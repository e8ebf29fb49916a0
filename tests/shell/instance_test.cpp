// Two copies of the built program, as a user would start them.

#include <gtest/gtest.h>

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
    const int firstPid =
        test::startProgram(kProgram, {}, first.path().string(), output.path().string());
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
    test::killProgram(firstPid);
    ASSERT_TRUE(QFile::exists(lockFile()));
    const int thirdPid =
        test::startProgram(kProgram, {}, first.path().string(), output.path().string());
    EXPECT_TRUE(QTest::qWaitFor([&] { return lockHolder() == thirdPid; }, 20000));
    test::killProgram(thirdPid);
}

}  // namespace
}  // namespace corvane
