// `corvane --sync-setup` and `corvane --sync` as the user runs them: the
// built program against the real server.

#include <signal.h>
#include <sys/stat.h>
#include <sys/wait.h>

#include <gtest/gtest.h>

#include <QFile>
#include <QThread>
#include <fstream>
#include <set>

#include "cardfields.h"
#include "datafile.h"
#include "radicaleserver.h"
#include "syncaccount.h"
#include "testsupport.h"

namespace corvane {
namespace {

const std::string kProgram = CORVANE_BINARY;

class SyncCommand : public testing::Test {
  protected:
    void SetUp() override {
        ASSERT_TRUE(server.running());
        passwordFile = folder.path().string() + "/password";
        std::ofstream(passwordFile) << "secret\n";
        ASSERT_EQ(::chmod(passwordFile.c_str(), 0600), 0);
    }
    void TearDown() override { writeSyncAccount({}); }

    // A book of `count` entries in `dir`, and an address book of `cards`
    // cards on the server, none of them alike.
    QUrl bothSides(const std::string& dir, int count, int cards) {
        DataFile store(realFileSystem(), dir);
        EXPECT_TRUE(store
                        .UseDataFile([&] {
                            for (int n = 1; n <= count; ++n) {
                                store.CurrentRecord() = ContactRecord();
                                store.CurrentRecord().setText(Field::FullName,
                                                              "Book " + std::to_string(n));
                                store.CurrentRecord().setDate(Field::Created, 46000 + n);
                                if (StoreStatus w = store.WriteRecord(n); !w.ok()) {
                                    return w;
                                }
                            }
                            return StoreStatus::success();
                        })
                        .ok());
        const QUrl book = server.newAddressBook();
        for (int n = 1; n <= cards; ++n) {
            QUrl url = book;
            url.setPath(book.path() + QStringLiteral("s%1.vcf").arg(n));
            const QByteArray fn = "Server " + QByteArray::number(n);
            EXPECT_EQ(client
                          .send({"PUT",
                                 url,
                                 {},
                                 "BEGIN:VCARD\r\nVERSION:3.0\r\nUID:s" + QByteArray::number(n) +
                                     "\r\nFN:" + fn + "\r\nN:" + fn + ";;;;\r\nEND:VCARD\r\n"})
                          .status,
                      201);
        }
        return book;
    }
    static std::multiset<std::string> bookNames(const std::string& dir) {
        DataFile store(realFileSystem(), dir);
        std::multiset<std::string> out;
        (void)store.UseDataFile([&] {
            for (int n = 1; n <= store.RecordCount(); ++n) {
                (void)store.ReadRecord(n);
                out.insert(store.CurrentRecord().text(Field::FullName));
            }
            return StoreStatus::success();
        });
        return out;
    }
    std::multiset<std::string> serverNames(const QUrl& book) {
        std::multiset<std::string> out;
        for (const auto& [href, card] : test::cardsOf(client, book)) {
            out.insert(recordOfCard(card, 46000).text(Field::FullName));
        }
        return out;
    }

    test::RadicaleServer& server = test::RadicaleServer::shared();
    DavClient client{QStringLiteral("ann"), QStringLiteral("secret")};
    test::TempDir folder;
    std::string passwordFile;
};

// Killed anywhere, a sync leaves both sides so that the next one finishes
// the work: every entry once on each side.
TEST_F(SyncCommand, ASyncKilledAnywhereIsFinishedByTheNext) {
    int killedAtWork = 0;
    for (const int afterMs : {30, 120, 250, 400, 600, 900}) {
        const test::TempDir dir;
        const QUrl book = bothSides(dir.path().string(), 40, 15);
        ASSERT_TRUE(writeSyncAccount({book, QStringLiteral("ann")}));
        const int pid = test::startProgram(kProgram, {"--sync", "--password-file", passwordFile},
                                           dir.path().string(), dir.path().string());
        QThread::msleep(afterMs);
        int status = 0;
        if (::waitpid(pid, &status, WNOHANG) == 0) {
            ++killedAtWork;
            test::killProgram(pid);
        }
        const auto finished = test::runProgram(
            kProgram, {"--sync", "--password-file", passwordFile}, dir.path().string());
        ASSERT_EQ(finished.exitStatus, 0) << afterMs << " ms: " << finished.err;
        std::multiset<std::string> all;
        for (int n = 1; n <= 40; ++n) {
            all.insert("Book " + std::to_string(n));
        }
        for (int n = 1; n <= 15; ++n) {
            all.insert("Server " + std::to_string(n));
        }
        EXPECT_EQ(bookNames(dir.path().string()), all) << "killed after " << afterMs << " ms";
        EXPECT_EQ(serverNames(book), all) << "killed after " << afterMs << " ms";
    }
    EXPECT_GE(killedAtWork, 3);  // most kills came while the sync was at work
}

// The password given to --sync-setup is kept in the desktop's secret store,
// and --sync without --password-file takes it from there; the settings
// never hold it. A D-Bus session of its own with GNOME's keyring stands in
// for the user's desktop.
TEST_F(SyncCommand, ThePasswordGivenAtSetupIsKeptInTheSecretStore) {
    const test::TempDir home;
    const QUrl book = bothSides(folder.path().string(), 2, 1);
    const std::string script =
        "export HOME=\"$1\" XDG_DATA_HOME=\"$1/data\"; "
        "printf unlock | gnome-keyring-daemon --unlock --components=secrets >/dev/null || exit 9; "
        "\"$2\" --sync-setup \"$3\" --user ann --password-file \"$4\" || exit 8; "
        "\"$2\" --sync";
    const auto run = test::runProgram("/usr/bin/dbus-run-session",
                                      {"--", "/bin/sh", "-c", script, "sh", home.path().string(),
                                       kProgram, book.toString().toStdString(), passwordFile},
                                      folder.path().string());
    ASSERT_EQ(run.exitStatus, 0) << run.out << run.err;
    EXPECT_NE(run.out.find("The password is kept in the desktop's secret store"), std::string::npos)
        << run.out;
    EXPECT_NE(run.out.find("sent 2, received 1, removed here 0"), std::string::npos) << run.out;
    QFile settings(QString::fromLocal8Bit(qgetenv("XDG_CONFIG_HOME")) +
                   QStringLiteral("/Corvane/Corvane.conf"));
    ASSERT_TRUE(settings.open(QIODevice::ReadOnly)) << settings.fileName().toStdString();
    EXPECT_FALSE(settings.readAll().contains("secret"));

    // Without the store, --sync says where the password may come from.
    const auto refused = test::runProgram(kProgram, {"--sync"}, folder.path().string());
    EXPECT_EQ(refused.exitStatus, 1);
    EXPECT_NE(refused.err.find("--password-file"), std::string::npos) << refused.err;

    // A password in the address would be kept in the settings: refused.
    QUrl withPassword = book;
    withPassword.setUserInfo(QStringLiteral("ann:secret"));
    const auto inAddress = test::runProgram(
        kProgram, {"--sync-setup", withPassword.toString().toStdString()}, folder.path().string());
    EXPECT_EQ(inAddress.exitStatus, 1);
    EXPECT_NE(inAddress.err.find("give it with --password-file"), std::string::npos);
    QFile again(settings.fileName());
    ASSERT_TRUE(again.open(QIODevice::ReadOnly));
    EXPECT_FALSE(again.readAll().contains("secret"));
}

// Only a regular file of the user's own that no one else may read gives
// the password; a FIFO is refused without waiting for a writer.
TEST(PasswordFile, OnlyAFileOfTheUsersOwnGivesThePassword) {
    const test::TempDir dir;
    const std::string base = dir.path().string();
    const auto make = [&](const std::string& name, mode_t mode) {
        std::ofstream(base + '/' + name) << "s3cret\r\nsecond line\n";
        ::chmod((base + '/' + name).c_str(), mode);
        return base + '/' + name;
    };
    const std::string own = make("own", 0600);
    const std::string shared = make("shared", 0640);
    ASSERT_EQ(::symlink(own.c_str(), (base + "/link").c_str()), 0);
    ASSERT_EQ(::mkfifo((base + "/fifo").c_str(), 0600), 0);
    const struct {
        std::string path;
        bool given;
    } cases[] = {{own, true},   {base + "/link", true}, {shared, false}, {base + "/fifo", false},
                 {base, false}, {base + "/none", false}};
    for (const auto& c : cases) {
        QString password;
        QString error;
        EXPECT_EQ(readPasswordFile(QString::fromStdString(c.path), password, error), c.given)
            << c.path;
        EXPECT_EQ(password, c.given ? QStringLiteral("s3cret") : QString()) << c.path;
        EXPECT_EQ(error.isEmpty(), c.given) << c.path;
    }
}

}  // namespace
}  // namespace corvane
