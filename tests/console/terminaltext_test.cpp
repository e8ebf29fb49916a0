// Text from a data file on its way to a terminal: a line is an item, and no
// byte can drive the terminal.

#include "terminaltext.h"

#include <gtest/gtest.h>

#include <sstream>

#include "../store/storetestdata.h"
#include "listconsole.h"

namespace corvane {
namespace {

TEST(TerminalText, ControlCharactersAreShownAsEscapes) {
    struct Case {
        std::string in;
        std::string out;
    };
    for (const Case& c :
         {Case{"Adams, Ann", "Adams, Ann"}, Case{"Zoë Ünal", "Zoë Ünal"},
          Case{"two\nlines\r", "two\\nlines\\r"}, Case{"a\tb", "a\\tb"},
          Case{"\x1b]0;owned\x07", "\\x1b]0;owned\\x07"}, Case{"del\x7f", "del\\x7f"},
          Case{"csi\xc2\x9b"
               "2J",
               "csi\\x9b2J"}}) {
        EXPECT_EQ(shownOnTerminal(c.in), c.out) << c.in;
    }
}

TEST(TerminalText, AnAffiliationWithALineBreakIsOneLine) {
    test::TempDir dir;
    ContactRecord r = test::recordNamed("Adams\x1b[2J");
    r.setText(Field::Affiliations, "Golf\x1b[31m");
    const auto& slot = r.encode();
    test::writeFile(dir.file("Corvane.Data"), test::Bytes(slot.begin(), slot.end()));
    std::ostringstream out, err;
    EXPECT_EQ(printAffiliations(realFileSystem(), dir.file("Corvane.Data"), out, err), 0);
    EXPECT_EQ(out.str(), "Golf\\x1b[31m\n");
}

// The import's report names entries by what the file holds.
TEST(TerminalText, TheImportReportShowsTheFilesControlCharactersAsEscapes) {
    test::TempDir dir;
    const std::string card =
        "BEGIN:VCARD\r\nVERSION:3.0\r\nFN:Evil\x1b[2J\r\nGENDER:M\r\nEND:VCARD\r\n";
    test::writeFile(dir.file("evil.vcf"), test::Bytes(card.begin(), card.end()));
    const auto dry = test::runProgram(CORVANE_BINARY, {"--import", "evil.vcf", "--dry-run"},
                                      dir.path().string());
    EXPECT_EQ(dry.exitStatus, 0) << dry.err;
    EXPECT_EQ(dry.out.find('\x1b'), std::string::npos);
    EXPECT_NE(dry.out.find("Evil\\x1b[2J"), std::string::npos) << dry.out;
}

}  // namespace
}  // namespace corvane
