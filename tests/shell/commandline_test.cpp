#include "commandline.h"

#include <gtest/gtest.h>

namespace corvane {
namespace {

using Action = CommandLine::Action;

TEST(CommandLine, NoArgumentsStartsTheWindows) {
    const CommandLine c = parseCommandLine({});
    EXPECT_EQ(c.action, Action::Run);
    EXPECT_FALSE(c.quitWithoutAsking);
}

TEST(CommandLine, SlashMIsASwitchNotAnUnknownOption) {
    const CommandLine c = parseCommandLine({"/m"});
    EXPECT_EQ(c.action, Action::Run);
    EXPECT_TRUE(c.quitWithoutAsking);
    EXPECT_EQ(parseCommandLine({"/m", "--export", "json"}).action, Action::Export);
}

TEST(CommandLine, ConsoleActions) {
    EXPECT_EQ(parseCommandLine({"--export", "json"}).action, Action::Export);
    EXPECT_EQ(parseCommandLine({"--export=json"}).action, Action::Export);
    EXPECT_EQ(parseCommandLine({"--version"}).action, Action::Version);
    EXPECT_EQ(parseCommandLine({"--help"}).action, Action::Help);
}

TEST(CommandLine, MistakesAreNamed) {
    EXPECT_EQ(parseCommandLine({"--export"}).error, "--export needs a format: json");
    EXPECT_EQ(parseCommandLine({"--export", "csv"}).error,
              "unknown export format 'csv'; the format is json");
    const CommandLine c = parseCommandLine({"--frobnicate"});
    EXPECT_EQ(c.action, Action::Error);
    EXPECT_EQ(c.error, "unknown option '--frobnicate'");
}

}  // namespace
}  // namespace corvane
