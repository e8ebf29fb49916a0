#include "launchinternet.h"

#include <gtest/gtest.h>

#include "fakeplatform.h"
#include "maker.h"

namespace corvane {
namespace {

TEST(LaunchInternet, AnAddressFieldBecomesItsAddress) {
    EXPECT_EQ(fieldAddress(kLaunchEmail, "jane@example.org").address, "mailto:jane@example.org");
    EXPECT_EQ(fieldAddress(kLaunchEmail, "  jane doe@example.org  ").address,
              "mailto:jane doe@example.org");
    EXPECT_EQ(fieldAddress(kLaunchWebPage, "www.example.org/page?a=1#top").address,
              "http://www.example.org/page?a=1#top");
    EXPECT_EQ(fieldAddress(kLaunchWebPage, "localhost:8080/x").address, "http://localhost:8080/x");
    // A field that already says http or https is not given a second scheme.
    EXPECT_EQ(fieldAddress(kLaunchWebPage, "https://x.example").address, "https://x.example");
    EXPECT_EQ(fieldAddress(kLaunchWebPage, "HTTP://x.example").address, "http://x.example");
}

TEST(LaunchInternet, AnEmptyFieldReachesTheMaker) {
    EXPECT_EQ(fieldAddress(kLaunchEmail, "").address, "mailto:corvane@oriel-software.example");
    EXPECT_EQ(fieldAddress(kLaunchWebPage, "  ").address,
              "http://www.oriel-software.example/corvane");
}

// Hostile mail fields: whatever follows the address stays part of it, so
// the mail program sees one odd address and no parameter.
TEST(LaunchInternet, AMailFieldCanAddNoParameterRecipientOrAttachment) {
    const std::vector<std::pair<QString, QString>> table = {
        {"friend@example.org?attach=/home/me/.ssh/id_rsa",
         "mailto:friend@example.org%3Fattach=/home/me/.ssh/id_rsa"},
        {"friend@example.org?attachment=/etc/passwd",
         "mailto:friend@example.org%3Fattachment=/etc/passwd"},
        {"friend@example.org&cc=boss@example.org",
         "mailto:friend@example.org%26cc=boss@example.org"},
        {"friend@example.org?body=Send money", "mailto:friend@example.org%3Fbody=Send money"},
        {"friend@example.org#fragment", "mailto:friend@example.org%23fragment"},
        {"friend@example.org%3Fattach%3D/etc/passwd",
         "mailto:friend@example.org%253Fattach%253D/etc/passwd"},
        {"friend@example.org\r\nBcc: spy@example.org",
         "mailto:friend@example.org%0D%0ABcc: spy@example.org"},
    };
    for (const auto& [field, expected] : table) {
        const FieldAddress address = fieldAddress(kLaunchEmail, field);
        EXPECT_EQ(address.address, expected) << field.toStdString();
        EXPECT_TRUE(address.refusal.isEmpty());
        const QString afterScheme = address.address.mid(7);
        for (const QChar c : {u'?', u'&', u'#', u'\r', u'\n'}) {
            EXPECT_FALSE(afterScheme.contains(c)) << field.toStdString();
        }
    }
}

TEST(LaunchInternet, AWebFieldThatIsNoWebAddressIsRefusedWithTheReason) {
    const std::vector<std::pair<QString, QString>> table = {
        {"javascript:alert(1)", "it names another kind of address (javascript:)"},
        {"file:///etc/passwd", "it names another kind of address (file:)"},
        {"http://file:///etc/passwd", "it names another kind of address (file:)"},
        {"mailto:x@example.org", "it names another kind of address (mailto:)"},
        {"user@evil.example", "it puts a user name before the web site (user@)"},
        {"https://bank.example@evil.example/login",
         "it puts a user name before the web site (bank.example@)"},
        {"www.example.org\r\nX-Header: 1", "it holds a line break or another control character"},
    };
    for (const auto& [field, reason] : table) {
        const FieldAddress address = fieldAddress(kLaunchWebPage, field);
        EXPECT_TRUE(address.address.isEmpty()) << field.toStdString();
        EXPECT_EQ(address.refusal, reason) << field.toStdString();
    }
}

TEST(LaunchInternet, ARefusalNamesTheFieldAndOpensNothing) {
    test::FakePlatform platform;
    LaunchInternet(platform, kLaunchWebPage, nullptr, " javascript:alert(1) ",
                   QStringLiteral("personal web page"));
    EXPECT_TRUE(platform.addresses.isEmpty());
    ASSERT_EQ(platform.messages.size(), 1);
    EXPECT_EQ(platform.messages[0].title, "Visit Web Site");
    EXPECT_EQ(platform.messages[0].text,
              "Corvane will not open the personal web page \"javascript:alert(1)\" as a web "
              "address: it names another kind of address (javascript:).");
    EXPECT_EQ(platform.messages[0].icon, MsgIcon::Exclamation);
}

TEST(LaunchInternet, HandsTheAddressToTheDesktopAndSaysNothingWhenItIsTaken) {
    test::FakePlatform platform;
    LaunchInternet(platform, kLaunchWebPage, nullptr, "www.example.org");
    LaunchInternet(platform, kLaunchEmail, nullptr, "a@example.org?cc=b@example.org");
    EXPECT_EQ(platform.addresses,
              (QStringList{"http://www.example.org", "mailto:a@example.org%3Fcc=b@example.org"}));
    EXPECT_TRUE(platform.messages.isEmpty());
}

TEST(LaunchInternet, TellsTheUserWhenTheDesktopRefuses) {
    test::FakePlatform platform;
    platform.openSucceeds = false;
    LaunchInternet(platform, kLaunchEmail, nullptr, "jane@example.org");
    ASSERT_EQ(platform.messages.size(), 1);
    EXPECT_EQ(platform.messages[0].title, "Error");
    EXPECT_EQ(platform.messages[0].text, "Could not establish an internet connection!");
    EXPECT_EQ(platform.messages[0].icon, MsgIcon::Critical);
    EXPECT_EQ(platform.messages[0].buttons, MsgButtons::Ok);
}

// The two addresses with a query of the program's own making go their own
// way, unchanged.
TEST(LaunchInternet, TheRecommendationMailAndTheMakersLinksKeepTheirForm) {
    test::FakePlatform platform;
    LaunchEmailFriend(platform, nullptr);
    LaunchInternet(platform, kLaunchEmail, nullptr, {});
    LaunchInternet(platform, kLaunchWebPage, nullptr, {});
    ASSERT_EQ(platform.addresses.size(), 3);
    EXPECT_TRUE(platform.addresses[0].startsWith(
        "mailto:?subject='Corvane' address book program from Oriel Software&body=I wanted"));
    EXPECT_EQ(platform.addresses[0].count(QStringLiteral("%0D%0A%0D%0A")), 3);
    EXPECT_EQ(platform.addresses[1], QStringLiteral("mailto:") + maker::kEmail);
    EXPECT_EQ(platform.addresses[2], QStringLiteral("http://") + maker::kWebPage);
}

}  // namespace
}  // namespace corvane
