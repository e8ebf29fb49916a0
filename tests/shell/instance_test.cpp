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

#include <sys/stat.h>

#include <functional>

#include "../shell/fakeplatform.h"
#include "booklock.h"
#include "instancelock.h"

namespace corvane {
namespace {

// Sets XDG_RUNTIME_DIR for the programs started while it lives, as another
// login or a terminal without the variable would have it.
class RuntimeFolder {
  public:
    explicit RuntimeFolder(const std::string& folder)
        : m_saved(qEnvironmentVariable("XDG_RUNTIME_DIR").toStdString()) {
        ::setenv("XDG_RUNTIME_DIR", folder.c_str(), 1);
    }
    ~RuntimeFolder() { ::setenv("XDG_RUNTIME_DIR", m_saved.c_str(), 1); }

  private:
    std::string m_saved;
};

// The lock belongs to the book, not to a runtime folder: an import from
// another runtime folder is refused while the windows run on the book, and
// windows are refused while another process holds it.
TEST(BookLock, ASecondWriterIsRefusedWhateverItsRuntimeFolder) {
    test::TempDir book;
    test::TempDir output;
    test::TempDir runtime;
    test::TempDir otherRuntime;
    ::chmod(runtime.path().c_str(), 0700);
    ::chmod(otherRuntime.path().c_str(), 0700);
    const test::Bytes one(3000, ' ');
    test::writeFile(book.file("Corvane.Data"), one);
    const std::string card = "BEGIN:VCARD\r\nVERSION:3.0\r\nFN:Baker\r\nEND:VCARD\r\n";
    test::writeFile(book.file("one.vcf"), test::Bytes(card.begin(), card.end()));
    {
        const RuntimeFolder own(runtime.path().string());
        test::StartedProgram windows(kProgram, {}, book.path().string(), output.path().string());
        ASSERT_TRUE(QTest::qWaitFor(
            [&] {
                return BookLock(book.path().string()).tryAcquire() ==
                       BookLock::Result::HeldByAnother;
            },
            20000));
        const RuntimeFolder other(otherRuntime.path().string());
        const auto refused =
            test::runProgram(kProgram, {"--import", "one.vcf"}, book.path().string());
        EXPECT_EQ(refused.exitStatus, 1);
        EXPECT_NE(refused.err.find("Corvane is running"), std::string::npos) << refused.err;
        EXPECT_EQ(test::readFile(book.file("Corvane.Data")), one);
    }
    BookLock importing(book.path().string());  // as an import running now would
    ASSERT_EQ(importing.tryAcquire(), BookLock::Result::Acquired);
    const RuntimeFolder other(otherRuntime.path().string());
    const auto windows = test::runProgram(kProgram, {}, book.path().string());
    EXPECT_EQ(windows.exitStatus, 1);
    EXPECT_NE(windows.err.find("Terminating...: Another copy of Corvane is changing the address "
                               "book in"),
              std::string::npos)
        << windows.err;
    EXPECT_EQ(test::readFile(book.file("Corvane.Data")), one);
}

// Something planted as the lock file, with no book yet to lock instead:
// the windows warn, and an import is refused.
TEST(BookLock, WhenNoLockCanBeTakenTheUserIsTold) {
    for (const std::function<void(const std::string&)>& plant :
         std::vector<std::function<void(const std::string&)>>{
             [](const std::string& lock) { ::mkfifo(lock.c_str(), 0600); },
             [](const std::string& lock) { std::filesystem::create_symlink("elsewhere", lock); },
             [](const std::string& lock) { std::filesystem::create_directory(lock); }}) {
        test::TempDir dir;
        plant(dir.file("Corvane.Data.lock"));
        EXPECT_EQ(BookLock(dir.path().string()).tryAcquire(), BookLock::Result::Unguarded);
        const std::string card = "BEGIN:VCARD\r\nVERSION:3.0\r\nFN:Baker\r\nEND:VCARD\r\n";
        test::writeFile(dir.file("one.vcf"), test::Bytes(card.begin(), card.end()));
        const auto refused =
            test::runProgram(kProgram, {"--import", "one.vcf"}, dir.path().string());
        EXPECT_EQ(refused.exitStatus, 1);
        EXPECT_NE(refused.err.find("no lock can be taken on the address book"), std::string::npos);
        EXPECT_FALSE(test::fileExists(dir.file("Corvane.Data")));
    }
    test::TempDir dir;
    ASSERT_EQ(::mkfifo(dir.file("Corvane.Data.lock").c_str(), 0600), 0);
    BookLock lock(dir.path().string());
    ASSERT_EQ(lock.tryAcquire(), BookLock::Result::Unguarded);

    test::FakePlatform platform;
    warnRunningUnlocked(platform, lock);
    ASSERT_EQ(platform.messages.size(), 1);
    EXPECT_EQ(platform.messages[0].title, "Please take note...");
    EXPECT_TRUE(platform.messages[0].text.contains(QString::fromStdString(lock.reason())));
    EXPECT_EQ(platform.messages[0].icon, MsgIcon::Exclamation);
}

}  // namespace
}  // namespace corvane
