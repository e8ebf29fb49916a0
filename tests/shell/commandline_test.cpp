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

TEST(CommandLine, SlashMCountsAnywhereInTheLineAndQtsOwnOptionsPass) {
    EXPECT_TRUE(parseCommandLine({"x/mode"}).quitWithoutAsking);
    EXPECT_EQ(parseCommandLine({"x/mode"}).action, Action::Run);
    EXPECT_FALSE(parseCommandLine({"/M"}).quitWithoutAsking);  // exact capitals
    EXPECT_EQ(parseCommandLine({"/M"}).action, Action::Error);
    const CommandLine qt = parseCommandLine(
        {"-platform", "offscreen", "-style=fusion", "--stylesheet", "a.qss", "-reverse", "/m"});
    EXPECT_EQ(qt.action, Action::Run) << qt.error;
    EXPECT_TRUE(qt.quitWithoutAsking);
    EXPECT_EQ(parseCommandLine({"-style", "fusion", "--upcoming"}).action, Action::Upcoming);
}

TEST(CommandLine, ConsoleActions) {
    EXPECT_EQ(parseCommandLine({"--upcoming"}).action, Action::Upcoming);
    EXPECT_EQ(parseCommandLine({"--affiliations"}).action, Action::Affiliations);
    EXPECT_EQ(parseCommandLine({"--export", "json"}).action, Action::Export);
    EXPECT_EQ(parseCommandLine({"--export=json"}).action, Action::Export);
    EXPECT_EQ(parseCommandLine({"--version"}).action, Action::Version);
    EXPECT_EQ(parseCommandLine({"--help"}).action, Action::Help);
}

TEST(CommandLine, MistakesAreNamed) {
    EXPECT_EQ(parseCommandLine({"--export"}).error,
              "--export needs a format: json, csv, vcard, vcard3");
    EXPECT_EQ(parseCommandLine({"--export", "xml"}).error,
              "unknown export format 'xml'; the formats are json, csv, vcard, vcard3");
    for (const char* format : {"json", "csv", "vcard", "vcard3"}) {
        EXPECT_EQ(parseCommandLine({"--export", format}).exportFormat, format);
        EXPECT_EQ(parseCommandLine({std::string("--export=") + format}).exportFormat, format);
    }
    const CommandLine c = parseCommandLine({"--frobnicate"});
    EXPECT_EQ(c.action, Action::Error);
    EXPECT_EQ(c.error, "unknown option '--frobnicate'");
}

}  // namespace
}  // namespace corvane
