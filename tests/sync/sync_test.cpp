// Two-way sync against a real CardDAV server (Radicale on 127.0.0.1).

#include "syncengine.h"

#include <gtest/gtest.h>

#include <unistd.h>

#include <filesystem>
#include <memory>
#include <set>

#include "cardfields.h"
#include "datafile.h"
#include "davclient.h"
#include "davxml.h"
#include "fakedavserver.h"
#include "radicaleserver.h"
#include "syncstate.h"
#include "testsupport.h"

namespace corvane {
namespace {

constexpr double kNow = 46000.5;

ContactRecord person(const std::string& name, double created) {
    ContactRecord r;
    r.setText(Field::FullName, name);
    r.setDate(Field::Created, created);
    r.setDate(Field::LastModified, created);
    return r;
}

class Sync : public testing::Test {
  protected:
    void SetUp() override {
        ASSERT_TRUE(server.running()) << "Radicale did not start: " << server.why().toStdString();
        startOver();
    }
    void writeBook(const std::vector<ContactRecord>& records) {
        const StoreStatus status = store().UseDataFile([&] {
            for (std::size_t i = 0; i < records.size(); ++i) {
                store().CurrentRecord() = records[i];
                if (StoreStatus w = store().WriteRecord(static_cast<int>(i) + 1); !w.ok()) {
                    return w;
                }
            }
            return StoreStatus::success();
        });
        ASSERT_TRUE(status.ok()) << status.message();
    }
    std::vector<ContactRecord> entries() {
        std::vector<ContactRecord> out;
        (void)store().UseDataFile([&] {
            for (int n = 1; n <= store().RecordCount(); ++n) {
                (void)store().ReadRecord(n);
                out.push_back(store().CurrentRecord());
            }
            return StoreStatus::success();
        });
        return out;
    }
    std::vector<std::string> names() {
        std::vector<std::string> out;
        for (const ContactRecord& r : entries()) {
            out.push_back(r.text(Field::FullName));
        }
        std::sort(out.begin(), out.end());
        return out;
    }
    void changeEntry(const std::string& name, const std::function<void(ContactRecord&)>& change) {
        const std::vector<ContactRecord> all = entries();
        for (std::size_t i = 0; i < all.size(); ++i) {
            if (all[i].text(Field::FullName) == name) {
                (void)store().UseDataFile([&] {
                    store().CurrentRecord() = all[i];
                    change(store().CurrentRecord());
                    return store().WriteRecord(static_cast<int>(i) + 1);
                });
                return;
            }
        }
        ADD_FAILURE() << "no entry " << name;
    }
    // The names of the server's cards, one per card.
    std::vector<std::string> serverNames() {
        std::vector<std::string> out;
        for (const auto& [href, card] : serverCardsByHref()) {
            out.push_back(recordOfCard(card, kNow).text(Field::FullName));
        }
        std::sort(out.begin(), out.end());
        return out;
    }
    std::map<QString, QByteArray> serverCardsByHref() { return test::cardsOf(client, book); }
    QString sync(DavClient& with) {
        const SyncOutcome outcome = syncBook(store(), with, book, kNow);
        EXPECT_TRUE(outcome.ok) << outcome.error.toStdString();
        return outcome.summary.line();
    }
    QString sync() { return sync(client); }
    void putCard(const QString& name, const QByteArray& card) {
        QUrl url = book;
        url.setPath(book.path() + name);
        ASSERT_EQ(client.send({"PUT", url, {}, card}).status / 100, 2);
    }
    // The server's cards by their FN.
    std::map<QString, QByteArray> serverCards() {
        std::map<QString, QByteArray> out;
        for (const auto& [href, card] : serverCardsByHref()) {
            out[QString::fromStdString(recordOfCard(card, kNow).text(Field::FullName))] = card;
        }
        return out;
    }
    void deleteCard(const QString& fn) {
        const DavResponse listing =
            client.send({"PROPFIND", book, {{"Depth", "1"}}, davXml::propfindEtags()});
        for (const davXml::Item& item : davXml::parse(listing.body).items) {
            QUrl url = book;
            url.setPath(item.href);
            const DavResponse got = client.send({"GET", url, {}, {}});
            if (!item.href.endsWith(u'/') &&
                recordOfCard(got.body, kNow).text(Field::FullName) == fn.toStdString()) {
                ASSERT_EQ(client.send({"DELETE", url, {}, {}}).status / 100, 2);
                return;
            }
        }
        ADD_FAILURE() << "no card " << fn.toStdString();
    }

    test::RadicaleServer& server = test::RadicaleServer::shared();
    // A new book and a new address book on the server.
    void startOver() {
        m_store.reset();
        m_dir = std::make_unique<test::TempDir>();
        m_store = std::make_unique<DataFile>(realFileSystem(), m_dir->path().string());
        book = server.newAddressBook();
    }
    DataFile& store() { return *m_store; }
    std::unique_ptr<test::TempDir> m_dir;
    std::unique_ptr<DataFile> m_store;
    DavClient client{QStringLiteral("ann"), QStringLiteral("secret")};
    QUrl book;
};

const QByteArray kPhoneCard =
    "BEGIN:VCARD\r\nVERSION:3.0\r\nUID:phone-1\r\nFN:Zed Phone\r\nN:Phone;Zed;;;\r\n"
    "EMAIL;TYPE=home:a@x.org\r\nEMAIL;TYPE=work:b@x.org\r\nEMAIL:c@x.org\r\n"
    "X-SOCIAL:@zed\r\nPHOTO;VALUE=uri:https://example.org/p.jpg\r\nEND:VCARD\r\n";

// A first sync of two full sides: each side gets the other's entries, the
// entry both have is one, and a second sync has nothing to do.
TEST_F(Sync, BothSidesMeetAndStayInStep) {
    ContactRecord baker = person("Baker, Ann", 45000);
    baker.setText(Field::HomeEmail, "ann@baker.org");
    writeBook({person("Adams, Al", 45000), baker});
    putCard(QStringLiteral("phone-1.vcf"), kPhoneCard);
    putCard(QStringLiteral("baker.vcf"),
            "BEGIN:VCARD\r\nVERSION:3.0\r\nUID:b\r\nFN:Baker, Ann\r\nN:Baker;Ann;;;\r\n"
            "TEL;TYPE=home:555 0101\r\nEND:VCARD\r\n");
    EXPECT_EQ(sync(), "sent 2, received 1, removed here 0, removed there 0, merged 0");
    EXPECT_EQ(names(), (std::vector<std::string>{"Adams, Al", "Baker, Ann", "Zed Phone"}));
    const std::map<QString, QByteArray> cards = serverCards();
    ASSERT_EQ(cards.size(), 3u);
    EXPECT_EQ(recordOfCard(cards.at("Baker, Ann"), kNow).text(Field::HomeEmail), "ann@baker.org");
    for (const ContactRecord& r : entries()) {
        if (r.text(Field::FullName) == "Baker, Ann") {
            EXPECT_EQ(r.text(Field::HomePhone), "555 0101");
        }
    }
    EXPECT_EQ(sync(), "sent 0, received 0, removed here 0, removed there 0, merged 0");
}

// A link planted under the state's name is replaced, never written
// through, and the sync it hid nothing from pairs the entries by name.
TEST_F(Sync, ALinkPlantedAsTheStateIsReplacedNotFollowed) {
    writeBook({person("Adams, Al", 45000)});
    const std::string state = store().path(kSyncStateName);
    const std::string victim = m_dir->path().string() + "/victim";
    test::writeFile(victim, {'k', 'e', 'e', 'p'});
    ASSERT_EQ(::symlink(victim.c_str(), state.c_str()), 0);
    EXPECT_EQ(sync(), "sent 1, received 0, removed here 0, removed there 0, merged 0");
    EXPECT_EQ(test::readFile(victim), (test::Bytes{'k', 'e', 'e', 'p'}));
    EXPECT_TRUE(std::filesystem::is_regular_file(std::filesystem::symlink_status(state)));
    EXPECT_EQ(sync(), "sent 0, received 0, removed here 0, removed there 0, merged 0");
}

// Cards alike in name come in within one second; each keeps its own entry
// even when the book's order changes, so an edit goes to the right card.
TEST_F(Sync, EntriesAlikeInNameAndStampKeepTheirOwnCards) {
    for (const char n : {'1', '2', '3'}) {
        putCard(QStringLiteral("twin%1.vcf").arg(n),
                QByteArray("BEGIN:VCARD\r\nVERSION:3.0\r\nUID:twin") + n +
                    "\r\nFN:Twin\r\nN:Twin;;;;\r\nTEL;TYPE=home:555 010" + n + "\r\nEND:VCARD\r\n");
    }
    sync();
    std::vector<ContactRecord> twins = entries();
    ASSERT_EQ(twins.size(), 3u);
    std::reverse(twins.begin(), twins.end());  // as another program may leave them
    for (ContactRecord& r : twins) {
        if (r.text(Field::HomePhone) == "555 0102") {
            r.setText(Field::Nickname, "Middle");
        }
    }
    writeBook(twins);
    EXPECT_EQ(sync(), "sent 1, received 0, removed here 0, removed there 0, merged 0");
    for (const auto& [href, card] : serverCardsByHref()) {
        const ContactRecord twin = recordOfCard(card, kNow);
        const std::string phone = "555 010" + href.right(5).left(1).toStdString();
        EXPECT_EQ(twin.text(Field::HomePhone), phone) << href.toStdString();
        EXPECT_EQ(twin.text(Field::Nickname), phone == "555 0102" ? "Middle" : "");
    }
}

// Entries alike in stamp and name in the book get a card each; an entry
// an interrupted deletion left marked killed moves no removal onto
// another entry.
TEST_F(Sync, AlikeEntriesGetACardEachAndKilledSlotsMoveNoRemoval) {
    ContactRecord one = person("Smith, John", 45000);
    one.setText(Field::HomeEmail, "john.one@example.com");
    ContactRecord two = person("Smith, John", 45000);
    two.setText(Field::HomeEmail, "john.two@example.com");
    writeBook({person("Adams, Al", 45001), one, two, person("Dunn, Di", 45003),
               person("Eve, Ed", 45004)});
    EXPECT_EQ(sync(), "sent 5, received 0, removed here 0, removed there 0, merged 0");
    std::multiset<std::string> mails;
    for (const auto& [fn, card] : serverCardsByHref()) {
        mails.insert(recordOfCard(card, kNow).text(Field::HomeEmail));
    }
    EXPECT_EQ(mails.count("john.one@example.com"), 1u);
    EXPECT_EQ(mails.count("john.two@example.com"), 1u);

    std::vector<ContactRecord> all = entries();
    all.insert(all.begin(), person(std::string(kKilledMarker), 0));
    writeBook(all);
    deleteCard(QStringLiteral("Dunn, Di"));
    deleteCard(QStringLiteral("Eve, Ed"));
    EXPECT_EQ(sync(), "sent 0, received 0, removed here 2, removed there 0, merged 0");
    EXPECT_EQ(names(), (std::vector<std::string>{"Adams, Al", "Smith, John", "Smith, John"}));
    EXPECT_EQ(sync(), "sent 0, received 0, removed here 0, removed there 0, merged 0");
    EXPECT_EQ(serverCards().size(), 2u);  // by name: Adams and the Smiths
}

// Cards listed outside the collection (another collection, a folder
// within, another host) are never fetched, taken or removed; a listing of
// the collection alone empties nothing.
TEST_F(Sync, AServerListingCardsElsewhereOrNoneCannotHarmTheBook) {
    const auto card = [](const char* uid, const char* n) {
        return QByteArray("BEGIN:VCARD\r\nVERSION:3.0\r\nUID:") + uid + "\r\nN:" + n +
               ";;;;\r\nEND:VCARD\r\n";
    };
    test::FakeDavServer fake(nullptr);
    const QString ownAbsolute = fake.url(QStringLiteral("/book/b.vcf")).toString();
    const auto listing = [&](bool withCards) {
        QList<std::tuple<QString, QByteArray, QByteArray>> items{{"/book/", "", ""}};
        if (withCards) {
            items += {{"/book/a.vcf", "\"1\"", ""},
                      {ownAbsolute, "\"2\"", ""},
                      {"/other/victim.vcf", "\"3\"", ""},
                      {"/book/../other/v2.vcf", "\"4\"", ""},
                      {"/book/sub/y.vcf", "\"5\"", ""},
                      {"http://elsewhere.invalid/book/x.vcf", "\"6\"", ""}};
        }
        return test::multistatus(items);
    };
    bool withCards = true;
    fake.setAnswer([&](const QByteArray& method, const QString&,
                       const QByteArray&) -> test::FakeAnswer {
        if (method == "PROPFIND") {
            return {207, listing(withCards)};
        }
        if (method == "REPORT") {
            return {207, test::multistatus({{"/book/a.vcf", "\"1\"", card("a", "Inside")},
                                            {"/book/b.vcf", "\"2\"", card("b", "Absolute")},
                                            {"/other/victim.vcf", "\"3\"", card("v", "Victim")}})};
        }
        return {404, {}};
    });
    DavClient anyone({}, {});
    const QUrl collection = fake.url(QStringLiteral("/book/"));
    SyncOutcome outcome = syncBook(store(), anyone, collection, kNow);
    EXPECT_EQ(outcome.summary.line(),
              "sent 0, received 2, removed here 0, removed there 0, merged 0")
        << outcome.error.toStdString();
    EXPECT_EQ(names(), (std::vector<std::string>{"Absolute", "Inside"}));
    for (const QString& request : fake.requests()) {
        EXPECT_TRUE(request.endsWith(u" /book/")) << request.toStdString();
    }

    withCards = false;
    outcome = syncBook(store(), anyone, collection, kNow);
    EXPECT_FALSE(outcome.ok);
    EXPECT_TRUE(outcome.error.contains(u"listed no cards")) << outcome.error.toStdString();
    EXPECT_EQ(names().size(), 2u);
}

// A card the server changed between the listing and the upload (412) is
// settled like any card both sides changed: the server's change comes in
// and goes back up with the book's, nothing overwritten.
TEST_F(Sync, ACardChangedOnTheServerDuringTheUploadIsSettledNotOverwritten) {
    const auto card = [](const char* phone) {
        return QByteArray(
                   "BEGIN:VCARD\r\nVERSION:3.0\r\nUID:a\r\nFN:Adams\r\nN:Adams;;;;\r\n"
                   "TEL;TYPE=home:") +
               phone + "\r\nEND:VCARD\r\n";
    };
    QByteArray serverCard = card("555 0001");
    QByteArray etag = "\"1\"";
    QList<QByteArray> puts;
    test::FakeDavServer fake(
        [&](const QByteArray& method, const QString&, const QByteArray& body) -> test::FakeAnswer {
            if (method == "PROPFIND") {
                return {207, test::multistatus({{"/book/", "", ""}, {"/book/a.vcf", etag, ""}})};
            }
            if (method == "REPORT") {
                return {207, test::multistatus({{"/book/a.vcf", etag, serverCard}})};
            }
            if (method == "PUT") {
                puts << body;
                if (puts.size() == 1) {  // changed on the server meanwhile
                    serverCard = card("555 0003");
                    etag = "\"3\"";
                    return {412, {}};
                }
                serverCard = body;
                etag = "\"4\"";
                return {204, {}, etag};
            }
            return {404, {}};
        });
    DavClient anyone({}, {});
    const QUrl collection = fake.url(QStringLiteral("/book/"));
    ASSERT_TRUE(syncBook(store(), anyone, collection, kNow).ok);
    // The server changes the phone before the listing and again before the
    // upload; the book changes the nickname.
    serverCard = card("555 0002");
    etag = "\"2\"";
    changeEntry("Adams", [](ContactRecord& r) { r.setText(Field::Nickname, "Al"); });
    const SyncOutcome outcome = syncBook(store(), anyone, collection, kNow);
    ASSERT_TRUE(outcome.ok) << outcome.error.toStdString();
    EXPECT_TRUE(outcome.summary.merged.isEmpty());  // the phone was never the book's change
    ASSERT_EQ(puts.size(), 2);
    const ContactRecord sent = recordOfCard(puts[1], kNow);
    EXPECT_EQ(sent.text(Field::HomePhone), "555 0003");
    EXPECT_EQ(sent.text(Field::Nickname), "Al");
    EXPECT_EQ(entries()[0].text(Field::HomePhone), "555 0003");
    EXPECT_EQ(entries()[0].text(Field::Nickname), "Al");
    EXPECT_EQ(entries()[0].text(Field::Comments), "");
}

// A card whose note holds a character XML cannot carry comes in, and holds
// up no other card.
TEST_F(Sync, ACardXmlCannotCarryStillComesIn) {
    putCard(QStringLiteral("vt.vcf"),
            "BEGIN:VCARD\r\nVERSION:3.0\r\nUID:vt\r\nFN:Vert Tab\r\nN:Tab;Vert;;;\r\n"
            "NOTE:one\x0btwo\r\nEND:VCARD\r\n");
    putCard(QStringLiteral("ok.vcf"),
            "BEGIN:VCARD\r\nVERSION:3.0\r\nUID:ok\r\nFN:Olivia Ok\r\nN:Ok;Olivia;;;\r\n"
            "END:VCARD\r\n");
    EXPECT_EQ(sync(), "sent 0, received 2, removed here 0, removed there 0, merged 0");
    EXPECT_EQ(names(), (std::vector<std::string>{"Olivia Ok", "Vert Tab"}));
}

// Each kind of change crosses over; an edit in the book keeps what the
// server's card holds beyond Corvane's fields.
TEST_F(Sync, EachChangeGoesAcrossAndTheServersOtherPropertiesSurvive) {
    writeBook({person("Adams, Al", 45000), person("Baker, Bo", 45001)});
    putCard(QStringLiteral("phone-1.vcf"), kPhoneCard);
    sync();
    changeEntry("Zed Phone", [](ContactRecord& r) {
        r.setText(Field::HomeEmail, "new@x.org");
        r.setText(Field::Comments, r.text(Field::Comments) + "\r\nLikes tea");
    });
    ASSERT_TRUE(store().DeleteAndCompact(1).ok());  // Adams
    deleteCard(QStringLiteral("Baker, Bo"));
    putCard(QStringLiteral("yan.vcf"),
            "BEGIN:VCARD\r\nVERSION:3.0\r\nUID:y\r\nFN:Yan\r\nN:Yan;;;;\r\nEND:VCARD\r\n");
    EXPECT_EQ(sync(), "sent 1, received 1, removed here 1, removed there 1, merged 0");
    EXPECT_EQ(names(), (std::vector<std::string>{"Yan", "Zed Phone"}));
    const std::map<QString, QByteArray> cards = serverCards();
    ASSERT_EQ(cards.size(), 2u);
    const QByteArray zed = cards.at("Zed Phone");
    for (const char* kept : {"X-SOCIAL:@zed", "PHOTO;VALUE=uri:https://example.org/p.jpg",
                             "EMAIL:c@x.org", "b@x.org", "new@x.org"}) {
        EXPECT_TRUE(zed.contains(kept)) << kept << "\n" << zed.toStdString();
    }
    EXPECT_FALSE(zed.contains("a@x.org"));
    // The note is the user's line; what the comments showed of the other
    // properties stays in those properties alone.
    const QList<QByteArray> lines = zed.split('\n');
    EXPECT_TRUE(std::any_of(lines.begin(), lines.end(), [](const QByteArray& l) {
        return l.trimmed() == "NOTE:Likes tea";
    })) << zed.toStdString();
    EXPECT_EQ(sync(), "sent 0, received 0, removed here 0, removed there 0, merged 0");
}

// Both sides changed: different fields merge; the same field keeps the
// book's value and notes the server's; a change beats a removal.
TEST_F(Sync, ConflictsKeepBothSidesWork) {
    writeBook({person("Adams, Al", 45000), person("Baker, Bo", 45001)});
    sync();
    changeEntry("Adams, Al", [](ContactRecord& r) {
        r.setText(Field::Nickname, "Mine");
        r.setText(Field::WorkPhone, "555 0202");
        r.setText(Field::Comments, "Met at the fair");
    });
    QByteArray adams = serverCards().at("Adams, Al");
    adams.replace("END:VCARD",
                  "NICKNAME:Theirs\r\nTEL;TYPE=home:555 0303\r\nNOTE:Moved to 5 Elm St\r\n"
                  "END:VCARD");
    const QByteArray uid = uidOfCard(adams);
    QString adamsHref;
    {
        const DavResponse listing =
            client.send({"PROPFIND", book, {{"Depth", "1"}}, davXml::propfindEtags()});
        for (const davXml::Item& item : davXml::parse(listing.body).items) {
            QUrl url = book;
            url.setPath(item.href);
            if (client.send({"GET", url, {}, {}}).body.contains(uid)) {
                adamsHref = item.href.section(u'/', -1);
            }
        }
    }
    putCard(adamsHref, adams);
    changeEntry("Baker, Bo", [](ContactRecord& r) { r.setText(Field::Nickname, "Bobby"); });
    deleteCard(QStringLiteral("Baker, Bo"));

    EXPECT_EQ(sync(),
              "sent 2, received 1, removed here 0, removed there 0, merged 1 (\"Adams, Al\")");
    for (const ContactRecord& r : entries()) {
        if (r.text(Field::FullName) == "Adams, Al") {
            EXPECT_EQ(r.text(Field::Nickname), "Mine");
            EXPECT_EQ(r.text(Field::WorkPhone), "555 0202");
            EXPECT_EQ(r.text(Field::HomePhone), "555 0303");
            for (const char* line : {"Met at the fair", "On the server, Nickname: Theirs",
                                     "On the server, Comments: Moved to 5 Elm St"}) {
                EXPECT_NE(r.text(Field::Comments).find(line), std::string::npos) << line;
            }
        }
    }
    const std::map<QString, QByteArray> cards = serverCards();
    EXPECT_TRUE(cards.at("Adams, Al").contains("Moved to 5 Elm St"));
    EXPECT_EQ(cards.size(), 2u);  // Baker came back
    EXPECT_EQ(recordOfCard(cards.at("Baker, Bo"), kNow).text(Field::Nickname), "Bobby");
    EXPECT_EQ(sync(), "sent 0, received 0, removed here 0, removed there 0, merged 0");
}

// An entry renamed beside one removed, both made in the same second,
// keeps its own card: the removed one's card goes, with what it held.
TEST_F(Sync, ARenameBesideARemovalInTheSameSecondKeepsItsOwnCard) {
    std::vector<ContactRecord> book;
    for (const char* name : {"Person 0000", "Person 0001", "Person 0002"}) {
        book.push_back(person(name, 45000));
        book.back().setText(Field::HomePhone, std::string("555 ") + (name + 7));
    }
    writeBook(book);
    sync();
    QString hrefOfTwo;
    for (const auto& [href, card] : serverCardsByHref()) {
        if (recordOfCard(card, kNow).text(Field::FullName) == "Person 0002") {
            hrefOfTwo = href;
        }
    }
    changeEntry("Person 0002", [](ContactRecord& r) { r.setText(Field::FullName, "Renamed Two"); });
    ASSERT_TRUE(store().DeleteAndCompact(1).ok());  // Person 0000
    EXPECT_EQ(sync(), "sent 1, received 0, removed here 0, removed there 1, merged 0");
    const std::map<QString, QByteArray> cards = serverCardsByHref();
    ASSERT_EQ(cards.size(), 2u);
    ASSERT_TRUE(cards.count(hrefOfTwo));
    EXPECT_EQ(recordOfCard(cards.at(hrefOfTwo), kNow).text(Field::FullName), "Renamed Two");
}

// The windows' sync writes nothing into a book changed while it talked to
// the server; what it sent up is kept, so that the changes made meanwhile
// go across as the changes they are: a removal, a new name, another value.
TEST_F(Sync, ChangesMadeWhileTheServerIsAskedGoAcrossAsTheyAre) {
    writeBook({person("Adams, Al", 45000)});
    sync();
    std::vector<ContactRecord> book = entries();
    book[0].setText(Field::HomePhone, "555 0001");
    book.push_back(person("Yvonne", 45001));
    book.push_back(person("Zed", 45002));
    writeBook(book);

    SyncRun run(this->book, kNow);
    ASSERT_TRUE(run.begin(store()));
    ASSERT_TRUE(run.exchange(client));
    ASSERT_TRUE(store().DeleteAndCompact(3).ok());  // Zed
    changeEntry("Yvonne", [](ContactRecord& r) { r.setText(Field::FullName, "Renamed, Yvonne"); });
    changeEntry("Adams, Al", [](ContactRecord& r) { r.setText(Field::HomePhone, "555 0002"); });
    EXPECT_FALSE(run.finish(store()));
    EXPECT_TRUE(run.outcome().bookChangedMeanwhile);

    EXPECT_EQ(sync(), "sent 2, received 0, removed here 0, removed there 1, merged 0");
    const std::vector<std::string> both{"Adams, Al", "Renamed, Yvonne"};
    EXPECT_EQ(names(), both);
    EXPECT_EQ(serverNames(), both);
    EXPECT_EQ(recordOfCard(serverCards().at("Adams, Al"), kNow).text(Field::HomePhone), "555 0002");
    EXPECT_EQ(entries()[0].text(Field::Comments), "");
}

// Cut off at any request, before it left or after the server did it, a
// sync is finished by the next: every change on both sides arrives, nothing
// is there twice, and a third sync finds nothing to do.
TEST_F(Sync, ASyncCutAtAnyRequestIsFinishedByTheNext) {
    const QString quiet =
        QStringLiteral("sent 0, received 0, removed here 0, removed there 0, merged 0");
    for (const bool afterSending : {false, true}) {
        for (int cut = 1; cut <= 40; ++cut) {
            SCOPED_TRACE(testing::Message()
                         << "cut at " << cut << (afterSending ? " after sending" : ""));
            startOver();
            writeBook({person("Adams, Al", 45000), person("Baker, Bo", 45001),
                       person("Clark, Cy", 45002)});
            putCard(QStringLiteral("phone-1.vcf"), kPhoneCard);
            sync();
            changeEntry("Adams, Al", [](ContactRecord& r) { r.setText(Field::Nickname, "Al"); });
            ASSERT_TRUE(store().DeleteAndCompact(3).ok());  // Clark
            (void)store().UseDataFile([&] {
                store().CurrentRecord() = person("Dunn, Di", 45003);
                return store().WriteRecord(store().RecordCount() + 1);
            });
            QByteArray zed = kPhoneCard;
            zed.replace("a@x.org", "zed@new.org");
            putCard(QStringLiteral("phone-1.vcf"), zed);
            putCard(QStringLiteral("yan.vcf"),
                    "BEGIN:VCARD\r\nVERSION:3.0\r\nUID:y\r\nFN:Yan\r\nN:Yan;;;;\r\nEND:VCARD\r\n");
            deleteCard(QStringLiteral("Baker, Bo"));

            DavClient cutting(QStringLiteral("ann"), QStringLiteral("secret"));
            cutting.cutAt(cut, afterSending);
            const SyncOutcome cutShort = syncBook(store(), cutting, book, kNow);
            const bool finished = cutting.requestsSent() < cut;
            EXPECT_EQ(cutShort.ok, finished) << cutShort.error.toStdString();
            sync();
            EXPECT_EQ(sync(), quiet);
            const std::vector<std::string> expected{"Adams, Al", "Dunn, Di", "Yan", "Zed Phone"};
            EXPECT_EQ(names(), expected);
            EXPECT_EQ(serverNames(), expected);
            for (const ContactRecord& r : entries()) {
                if (r.text(Field::FullName) == "Zed Phone") {
                    EXPECT_EQ(r.text(Field::HomeEmail), "zed@new.org");
                }
            }
            EXPECT_EQ(recordOfCard(serverCards().at("Adams, Al"), kNow).text(Field::Nickname),
                      "Al");
            if (finished) {
                break;
            }
        }
    }
}

TEST_F(Sync, AWrongPasswordOrNoAddressBookSyncsNothing) {
    writeBook({person("Adams, Al", 45000)});
    DavClient wrong(QStringLiteral("ann"), QStringLiteral("wrong"));
    SyncOutcome outcome = syncBook(store(), wrong, book, kNow);
    EXPECT_FALSE(outcome.ok);
    EXPECT_TRUE(outcome.error.contains(QStringLiteral("password"))) << outcome.error.toStdString();
    outcome = syncBook(store(), client, server.url(QStringLiteral("/ann/none/")), kNow);
    EXPECT_FALSE(outcome.ok);
    EXPECT_TRUE(serverCards().empty());
    EXPECT_EQ(names(), std::vector<std::string>{"Adams, Al"});
    // Plain http leaves this computer never.
    EXPECT_FALSE(DavClient::refusalOf(QUrl(QStringLiteral("http://example.org/dav/"))).isEmpty());
    EXPECT_TRUE(DavClient::refusalOf(QUrl(QStringLiteral("https://example.org/dav/"))).isEmpty());
}

}  // namespace
}  // namespace corvane
