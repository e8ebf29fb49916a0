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
    void TearDown() override { writeSyncAccount({}); }
};

TEST_F(SyncWindow, TheListsMenuSyncsAndShowsWhatCameIn) {
    test::RadicaleServer& server = test::RadicaleServer::shared();
    ASSERT_TRUE(server.running());
    writeBook({test::entry("Adams, Al")});
    open();
    grid().customContextMenuRequested(QPoint(5, 5));
    ASSERT_NE(window->menuGrid(), nullptr);
    EXPECT_FALSE(window->menuGrid()->actions().front()->isEnabled());  // no account yet
    window->menuGrid()->close();

    const QUrl book = server.newAddressBook();
    DavClient client(QStringLiteral("ann"), QStringLiteral("secret"));
    QUrl card = book;
    card.setPath(book.path() + QStringLiteral("yan.vcf"));
    ASSERT_EQ(client.send({"PUT", card, {},
                           "BEGIN:VCARD\r\nVERSION:3.0\r\nUID:y\r\nFN:Yan\r\nN:Yan;;;;\r\n"
                           "END:VCARD\r\n"})
                      .status,
              201);
    ASSERT_TRUE(writeSyncAccount({book, QStringLiteral("ann")}));
    int asked = 0;
    app.syncPassword = [&](QWidget*, const QString& user, const QString&) {
        ++asked;
        return user == u"ann" ? QStringLiteral("secret") : QString();
    };
    grid().customContextMenuRequested(QPoint(5, 5));
    QAction* sync = window->menuGrid()->actions().front();
    ASSERT_TRUE(sync->isEnabled());
    window->menuGrid()->close();
    sync->trigger();
    ASSERT_EQ(platform.titles(), QStringList{"Sync"});
    EXPECT_EQ(platform.messages[0].text,
              "sent 1, received 1, removed here 0, removed there 0, merged 0");
    EXPECT_EQ(names(), (QStringList{"Adams, Al", "Yan"}));
    window->syncNow();
    EXPECT_EQ(platform.messages.last().text,
              "sent 0, received 0, removed here 0, removed there 0, merged 0");
    EXPECT_EQ(asked, 1);  // asked once a run
}

}  // namespace
}  // namespace corvane
