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

// Only "/m" itself is the switch: a path holding "/m" is a value, never the
// switch, and Qt's own options are Qt's.
TEST(CommandLine, OnlySlashMItselfIsTheSwitchAndQtsOwnOptionsPass) {
    const CommandLine import = parseCommandLine({"--import=/mnt/usb/all.vcf"});
    EXPECT_EQ(import.action, Action::Import) << import.error;
    EXPECT_EQ(import.importFile, "/mnt/usb/all.vcf");
    EXPECT_FALSE(import.quitWithoutAsking);
    for (const std::vector<std::string>& line :
         std::vector<std::vector<std::string>>{{"--import", "/media/me/all.vcf"},
                                               {"--folder", "/home/mary/book"},
                                               {"-stylesheet", "/home/me/x.qss"},
                                               {"--export=json", "--folder=/mnt/book"}}) {
        const CommandLine c = parseCommandLine(line);
        EXPECT_NE(c.action, Action::Error) << c.error;
        EXPECT_FALSE(c.quitWithoutAsking) << line.back();
    }
    EXPECT_EQ(parseCommandLine({"x/mode"}).action, Action::Error);
    EXPECT_FALSE(parseCommandLine({"/M"}).quitWithoutAsking);  // exact capitals
    EXPECT_EQ(parseCommandLine({"/M"}).action, Action::Error);
    const CommandLine qt =
        parseCommandLine({"-platform", "offscreen", "-style=fusion", "--stylesheet", "a.qss",
                          "-reverse", "-icon", "c.png", "-visual", "TrueColor", "/m"});
    EXPECT_EQ(qt.action, Action::Run) << qt.error;
    EXPECT_TRUE(qt.quitWithoutAsking);
    EXPECT_EQ(parseCommandLine({"-style", "fusion", "--upcoming"}).action, Action::Upcoming);
}

// Asking for the help or the version never runs anything else, and a line
// naming two different actions is refused rather than running one of them.
TEST(CommandLine, HelpAndVersionWinAndTwoActionsAreRefused) {
    EXPECT_EQ(parseCommandLine({"--help", "--import", "one.vcf"}).action, Action::Help);
    EXPECT_EQ(parseCommandLine({"--export", "json", "-v"}).action, Action::Version);
    EXPECT_EQ(parseCommandLine({"--export", "json", "--import", "one.vcf"}).action, Action::Error);
    EXPECT_EQ(parseCommandLine({"--upcoming", "--upcoming"}).action, Action::Upcoming);
}

// A value is the argument's own bytes, whatever it looks like: a name that
// is not UTF-8, or one Qt or the old switch would otherwise take.
TEST(CommandLine, AValueIsTakenByteForByte) {
    EXPECT_EQ(parseCommandLine({"--folder", "d\xffir", "--upcoming"}).folder, "d\xffir");
    EXPECT_EQ(parseCommandLine({"--import=lat\xe9.vcf"}).importFile, "lat\xe9.vcf");
    EXPECT_EQ(parseCommandLine({"--import", "-reverse"}).importFile, "-reverse");
    const CommandLine slashM = parseCommandLine({"--import", "/m"});
    EXPECT_EQ(slashM.importFile, "/m");
    EXPECT_FALSE(slashM.quitWithoutAsking);
    EXPECT_EQ(parseCommandLine({"-export", "json"}).action, Action::Export);
}

TEST(CommandLine, EveryValueMayFollowOrBeAttached) {
    for (const std::vector<std::string>& line :
         std::vector<std::vector<std::string>>{{"--import", "a.vcf", "--dry-run", "--folder", "b"},
                                               {"--import=a.vcf", "--dry-run", "--folder=b"}}) {
        const CommandLine c = parseCommandLine(line);
        EXPECT_EQ(c.action, Action::Import) << c.error;
        EXPECT_EQ(c.importFile, "a.vcf");
        EXPECT_EQ(c.folder, "b");
        EXPECT_TRUE(c.dryRun);
    }
    EXPECT_EQ(parseCommandLine({"--import"}).error, "--import needs the file to read");
}

TEST(CommandLine, ConsoleActions) {
    EXPECT_EQ(parseCommandLine({"--upcoming"}).action, Action::Upcoming);
    EXPECT_EQ(parseCommandLine({"--affiliations"}).action, Action::Affiliations);
    EXPECT_EQ(parseCommandLine({"--export", "json"}).action, Action::Export);
    EXPECT_EQ(parseCommandLine({"--export=json"}).action, Action::Export);
    EXPECT_EQ(parseCommandLine({"--version"}).action, Action::Version);
    EXPECT_EQ(parseCommandLine({"--help"}).action, Action::Help);
    // "--sync" is Corvane's; Qt's X11 option of that name is "-sync".
    EXPECT_EQ(parseCommandLine({"--sync"}).action, Action::Sync);
    EXPECT_EQ(parseCommandLine({"-sync"}).action, Action::Run);
    const CommandLine setup = parseCommandLine(
        {"--sync-setup", "https://dav.example.org/", "--user", "ann", "--password-file", "pw"});
    EXPECT_EQ(setup.action, Action::SyncSetup) << setup.error;
    EXPECT_EQ(setup.syncUrl, "https://dav.example.org/");
    EXPECT_EQ(setup.syncUser, "ann");
    EXPECT_EQ(setup.passwordFile, "pw");
    EXPECT_EQ(parseCommandLine({"--upcoming", "--user", "ann"}).action, Action::Error);
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
