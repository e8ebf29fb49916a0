#include "launchinternet.h"

#include <gtest/gtest.h>

#include "fakeplatform.h"

namespace corvane {
namespace {

TEST(LaunchInternet, BuildsTheAddressFromTheTargetExactlyAsGiven) {
    EXPECT_EQ(internetAddress(kLaunchEmail, "jane@example.org"), "mailto:jane@example.org");
    EXPECT_EQ(internetAddress(kLaunchEmail, " jane doe@example.org "),
              "mailto: jane doe@example.org ");
    EXPECT_EQ(internetAddress(kLaunchWebPage, "www.example.org/page"),
              "http://www.example.org/page");
    // A scheme typed into the field still gets the prefix.
    EXPECT_EQ(internetAddress(kLaunchWebPage, "https://x.example"), "http://https://x.example");
    EXPECT_EQ(internetAddress(kLaunchEmail, "?subject=Hello&body=Try%20it"),
              "mailto:?subject=Hello&body=Try%20it");
}

TEST(LaunchInternet, AnEmptyTargetReachesTheMaker) {
    EXPECT_EQ(internetAddress(kLaunchEmail, ""), "mailto:corvane@oriel-software.example");
    EXPECT_EQ(internetAddress(kLaunchWebPage, ""), "http://www.oriel-software.example/corvane");
}

TEST(LaunchInternet, HandsTheAddressToTheDesktopAndSaysNothingWhenItIsTaken) {
    test::FakePlatform platform;
    LaunchInternet(platform, kLaunchWebPage, nullptr, "www.example.org");
    EXPECT_EQ(platform.addresses, QStringList{"http://www.example.org"});
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

}  // namespace
}  // namespace corvane
