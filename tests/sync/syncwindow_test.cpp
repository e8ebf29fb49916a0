// The list window's sync with the account, against the real server.

#include <gtest/gtest.h>

#include <QMenu>

#include "../listwindow/mainwindowfixture.h"
#include "radicaleserver.h"
#include "syncaccount.h"

namespace corvane {
namespace {

class SyncWindow : public testing::Test, public test::MainWindowFixture {
  protected:
    void SetUp() override {
        ASSERT_TRUE(server.running());
        book = server.newAddressBook();
        app.syncDelayMs = 50;
        app.syncPassword = [this](QWidget*, const QString& user, const QString&) {
            ++asked;
            return user == u"ann" ? QStringLiteral("secret") : QString();
        };
    }
    void TearDown() override { writeSyncAccount({}); }

    void putCard(const QString& name, const QByteArray& fn) {
        QUrl card = book;
        card.setPath(book.path() + name);
        ASSERT_EQ(client
                      .send({"PUT",
                             card,
                             {},
                             "BEGIN:VCARD\r\nVERSION:3.0\r\nUID:" + name.toUtf8() + "\r\nFN:" + fn +
                                 "\r\nN:" + fn + ";;;;\r\nEND:VCARD\r\n"})
                      .status,
                  201);
    }
    int serverCards() { return static_cast<int>(test::cardsOf(client, book).size()); }
    // Adds an entry as the editor does: through the window's own store.
    void addEntry(const std::string& name) {
        ASSERT_TRUE(app.store
                        .UseDataFile([&] {
                            app.store.CurrentRecord() = test::entry(name);
                            return app.store.WriteRecord(app.store.RecordCount() + 1);
                        })
                        .ok());
    }
    bool waitForMessages(qsizetype count) {
        return QTest::qWaitFor([&] { return platform.messages.size() >= count; }, 20000);
    }

    test::RadicaleServer& server = test::RadicaleServer::shared();
    DavClient client{QStringLiteral("ann"), QStringLiteral("secret")};
    QUrl book;
    int asked = 0;
};

TEST_F(SyncWindow, TheListsMenuSyncsAndShowsWhatCameIn) {
    writeBook({test::entry("Adams, Al")});
    open();
    grid().customContextMenuRequested(QPoint(5, 5));
    ASSERT_NE(window->menuGrid(), nullptr);
    EXPECT_FALSE(window->menuGrid()->actions().front()->isEnabled());  // no account yet
    window->menuGrid()->close();

    putCard(QStringLiteral("yan.vcf"), "Yan");
    ASSERT_TRUE(writeSyncAccount({book, QStringLiteral("ann")}));
    grid().customContextMenuRequested(QPoint(5, 5));
    QAction* sync = window->menuGrid()->actions().front();
    ASSERT_TRUE(sync->isEnabled());
    window->menuGrid()->close();
    sync->trigger();
    ASSERT_TRUE(waitForMessages(1));
    EXPECT_EQ(platform.titles(), QStringList{"Sync"});
    EXPECT_EQ(platform.messages[0].text,
              "sent 1, received 1, removed here 0, removed there 0, merged 0");
    EXPECT_EQ(names(), (QStringList{"Adams, Al", "Yan"}));
    window->syncNow();
    ASSERT_TRUE(waitForMessages(2));
    EXPECT_EQ(platform.messages.last().text,
              "sent 0, received 0, removed here 0, removed there 0, merged 0");
    EXPECT_EQ(asked, 1);  // asked once a run
}

// With an account, the window syncs at start and a moment after each change,
// saying nothing while all goes well.
TEST_F(SyncWindow, ChangesAreSyncedQuietlyAtStartAndAfterEachSave) {
    writeBook({test::entry("Adams, Al")});
    putCard(QStringLiteral("yan.vcf"), "Yan");
    ASSERT_TRUE(writeSyncAccount({book, QStringLiteral("ann")}));
    open();
    ASSERT_TRUE(QTest::qWaitFor([&] { return names().size() == 2; }, 20000));
    grid().setRow(2);  // "Yan", which the sync that changes the list leaves highlighted
    putCard(QStringLiteral("aaron.vcf"), "Aaron");
    addEntry("Brown, Bo");
    EXPECT_TRUE(
        QTest::qWaitFor([&] { return names().size() == 4 && !window->syncRunning(); }, 20000));
    EXPECT_EQ(serverCards(), 4);
    EXPECT_EQ(grid().TextMatrix(grid().Row(), 0), "Yan");
    EXPECT_TRUE(platform.messages.isEmpty());
}

// A change made while the server is asked is not overwritten: the sync's
// writes are dropped, it runs again, and both sides end with every entry.
TEST_F(SyncWindow, AChangeDuringASyncIsKeptAndSyncedAfter) {
    writeBook({test::entry("Adams, Al")});
    putCard(QStringLiteral("yan.vcf"), "Yan");
    open();
    ASSERT_TRUE(writeSyncAccount({book, QStringLiteral("ann")}));
    window->syncNow();
    ASSERT_TRUE(window->syncRunning());
    addEntry("Brown, Bo");  // before the sync can write
    ASSERT_TRUE(waitForMessages(1));
    // The outcome shown is the second run's: Adams went up in the first.
    EXPECT_EQ(platform.messages[0].text,
              "sent 1, received 1, removed here 0, removed there 0, merged 0");
    EXPECT_EQ(names(), (QStringList{"Adams, Al", "Brown, Bo", "Yan"}));
    EXPECT_EQ(serverCards(), 3);
}

// The book is not written while the window shows a menu or a dialog, and a
// failure of the quiet sync is told once, not at every save.
TEST_F(SyncWindow, TheSyncWaitsForAnIdleWindowAndTellsAFailureOnce) {
    writeBook({test::entry("Adams, Al")});
    putCard(QStringLiteral("yan.vcf"), "Yan");
    open();
    ASSERT_TRUE(writeSyncAccount({book, QStringLiteral("ann")}));
    grid().customContextMenuRequested(QPoint(5, 5));
    ASSERT_TRUE(QTest::qWaitForWindowExposed(window->menuGrid()));
    window->syncNow();
    ASSERT_TRUE(QTest::qWaitFor([&] { return serverCards() == 2; }, 20000));
    QTest::qWait(500);
    EXPECT_EQ(names(), QStringList{"Adams, Al"});
    EXPECT_TRUE(window->syncRunning());
    window->menuGrid()->close();
    ASSERT_TRUE(waitForMessages(1));
    EXPECT_EQ(names(), (QStringList{"Adams, Al", "Yan"}));

    QUrl gone = book;
    gone.setPath(book.path() + QStringLiteral("gone/"));
    ASSERT_TRUE(writeSyncAccount({gone, QStringLiteral("ann")}));
    addEntry("Brown, Bo");
    ASSERT_TRUE(waitForMessages(2));
    EXPECT_TRUE(platform.messages[1].text.contains(u"HTTP 404"));
    addEntry("Cole, Cy");
    QTest::qWait(50);
    EXPECT_TRUE(QTest::qWaitFor([&] { return !window->syncRunning(); }, 20000));
    QTest::qWait(200);
    EXPECT_EQ(platform.messages.size(), 2);
}

}  // namespace
}  // namespace corvane
