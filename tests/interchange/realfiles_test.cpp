// What phones, webmail and desktop programs write, read as a user means it:
// each case names the fields it must fill, what must be in the comments,
// and what the report must say; and every line of every report is checked
// against the entry it speaks of.

#include <gtest/gtest.h>

#include <chrono>
#include <utility>
#include <vector>

#include "importer.h"
#include "oledate.h"

namespace corvane {
namespace {

constexpr double kNow = 46364.5;  // 8 December 2026, noon

// The value a report line quotes first, if it was shown whole.
std::optional<std::string> quotedValue(const std::string& line) {
    const auto open = line.find('"');
    const auto close = open == std::string::npos ? open : line.find('"', open + 1);
    if (close == std::string::npos || line.substr(open, close - open).ends_with("…")) {
        return std::nullopt;
    }
    return line.substr(open + 1, close - open - 1);
}

// Each line of the entry's report is true of the entry: what it says went
// to the comments is there, what it says was left out is not.
void expectReportTrue(const ImportedEntry& e) {
    const std::string comments = e.record.text(Field::Comments);
    for (const std::string& change : e.changes) {
        const auto value = quotedValue(change);
        if (!value || change.find("was cut to") != std::string::npos) {
            continue;
        }
        if (change.ends_with("it went to the comments")) {
            EXPECT_NE(comments.find(*value), std::string::npos) << change << "\n" << comments;
        } else if (change.ends_with("left out")) {
            EXPECT_EQ(comments.find(*value), std::string::npos) << change << "\n" << comments;
        }
    }
}

struct Case {
    const char* what;
    std::string file;
    std::vector<std::pair<Field, std::string>> fields;
    std::vector<std::string> inComments;
    std::vector<std::string> inReport;
};

std::string card(const std::string& body, const char* version = "3.0") {
    return "BEGIN:VCARD\r\nVERSION:" + std::string(version) + "\r\n" + body + "END:VCARD\r\n";
}

TEST(RealFiles, WhatTheyHoldIsKeptWhereTheUserLooksForIt) {
    const Case cases[] = {
        {"N's middle names and suffixes stay in the name",
         card("FN:John Smith\r\nN:Smith;John;Philip;;Jr.\r\n"),
         {{Field::FullName, "Smith, John Philip Jr."}},
         {},
         {}},
        {"a display name that N only takes apart is the name",
         card("FN:Smith,John\r\nN:Smith;John;;;\r\n"),
         {{Field::FullName, "Smith,John"}},
         {},
         {}},
        {"a card with only a phone number is named by it",
         card("TEL;TYPE=cell:+1 555 0100\r\n"),
         {{Field::FullName, "+1 555 0100"}, {Field::HomeCell1, "+1 555 0100"}},
         {},
         {"it has no name; it is named by its phone number"}},
        {"an organisation names a card before its e-mail address",
         card("ORG:ACME\\, Inc.;Sales\r\nEMAIL:x@acme.example\r\n"),
         {{Field::FullName, "ACME, Inc., Sales"},
          {Field::WorkOtherInfo, "Organisation: ACME, Inc., Sales"}},
         {},
         {"it has no name; it is named by its organisation"}},
        {"the street's further lines, the extended address and the PO box",
         card("FN:A\r\nADR;TYPE=home:PO Box 7;Suite 2;1 Infinite Loop\\nBuilding 4;Cupertino;CA;"
              "95014;USA\r\n"),
         {{Field::HomeAddress1, "1 Infinite Loop"},
          {Field::HomeAddress2, "Building 4"},
          {Field::HomeCityStateZip, "Cupertino, CA 95014, USA"}},
         {"A further line of the home address: Suite 2",
          "A further line of the home address: PO Box 7"},
         {}},
        {"vCard 2.1: bare quoted-printable, a Cyrillic code page, no backslash escapes",
         card("N;CHARSET=WINDOWS-1251;QUOTED-PRINTABLE:=C8=E2=E0=ED=EE=E2;=C8=E2=E0=ED\r\n"
              "NOTE:C:\\new\\table\r\nTITLE;QUOTED-PRINTABLE:Chief=\r\n",
              "2.1"),
         {{Field::Comments, "C:\\new\\table"},
          {Field::WorkOtherInfo, "Job title: Chief"},
          {Field::FullName, "??????, ????"}},
         {},
         {"Иванов, Иван", "characters outside Windows-1252"}},
        {"a 2.1 agent's card inside a card",
         card("FN:Boss\r\nAGENT:\r\nBEGIN:VCARD\r\nVERSION:2.1\r\nFN:Secretary\r\nEND:VCARD\r\n"
              "TEL:555-0100\r\n",
              "2.1"),
         {{Field::FullName, "Boss"}, {Field::HomePhone, "555-0100"}},
         {},
         {"its agent (another person's card inside it) was left out"}},
        {"the preferred address takes the field",
         card("FN:A\r\nEMAIL;TYPE=home:first@x.example\r\nEMAIL;TYPE=home;PREF=1:best@x.example\r\n"
              "TEL;TYPE=work:555-1\r\nTEL;TYPE=work,pref:555-2\r\n"),
         {{Field::HomeEmail, "best@x.example"}, {Field::WorkPhone, "555-2"}},
         {"Another home e-mail address: first@x.example"},
         {}},
        {"titles and roles are lines of the business's information",
         card("FN:A\r\nTITLE:Product Manager\r\nTITLE:Chair\r\nROLE:Lead\r\n"),
         {{Field::WorkOtherInfo, "Job title: Product Manager\r\nJob title: Chair\r\nRole: Lead"}},
         {},
         {}},
        {"Apple's labels say what a grouped property is, and are not kept",
         card("FN:A\r\nitem1.TEL:555-0101\r\nitem1.X-ABLabel:_$!<Mobile>!$_\r\n"
              "item2.ADR:;;1 Main St;Springfield;;;\r\nitem2.X-ABADR:us\r\n"),
         {{Field::HomeCell1, "555-0101"},
          {Field::HomeAddress1, "1 Main St"},
          {Field::Comments, ""}},
         {},
         {}},
        {"a birthday without a year goes to the comments in one line",
         card("FN:A\r\nBDAY:--0415\r\n"),
         {},
         {"Birthday: April 15"},
         {"the birthday \"April 15\" has no year, and Corvane keeps only whole dates; it went to "
          "the comments"}},
        {"an embedded picture is named, never shown",
         card("FN:A\r\nPHOTO;ENCODING=b;TYPE=JPEG:/9j/4AAQSkZJRgABAQ\r\n"),
         {{Field::PicturePath, ""}, {Field::Comments, ""}},
         {},
         {"its embedded picture was left out"}},
        {"a picture on the web is kept in the comments",
         card("FN:A\r\nPHOTO;VALUE=uri:https://x.example/p.jpg\r\n"),
         {{Field::PicturePath, ""}},
         {"Picture on the web: https://x.example/p.jpg"},
         {}},
        {"a picture on a Windows share",
         card("FN:A\r\nPHOTO:file://server/share/p%20q.jpg\r\n"),
         {{Field::PicturePath, "\\\\server\\share\\p q.jpg"}},
         {},
         {}},
        {"a relative file URI and a path with a line break are no picture paths",
         card("FN:A\r\nPHOTO:file:p.jpg\r\nPHOTO:file:///a%0Ab.jpg\r\n"),
         {{Field::PicturePath, ""}},
         {},
         {"it is no absolute file address", "its path holds a control character"}},
        {"data: is text outside a picture",
         card("FN:Dana\r\nNOTE:data: call her\r\nEMAIL:data:x@y\r\n"),
         {{Field::Comments, "data: call her"}, {Field::HomeEmail, "data:x@y"}},
         {},
         {}},
        {"a display name N does not bear out is kept",
         card("FN:John Smith\r\nN:Doe;Jane;;;\r\n"),
         {{Field::FullName, "Doe, Jane"}},
         {"Display name: John Smith"},
         {}},
        {"a broken soft line break ends before the next property",
         card("FN;ENCODING=QUOTED-PRINTABLE:Bro=ZZken=\r\nTEL:999\r\n", "2.1"),
         {{Field::FullName, "Bro=ZZken"}, {Field::HomePhone, "999"}},
         {},
         {}},
        {"a 3.0 agent written into its value",
         card("FN:Boss\r\nAGENT:BEGIN:VCARD\\nFN:Inner\\nEND:VCARD\r\nTEL:555-0100\r\n"),
         {{Field::FullName, "Boss"}, {Field::HomePhone, "555-0100"}},
         {},
         {"its agent"}},
        {"UTF-16 without its byte-order mark",
         std::string("N\0a\0m\0e\0\r\0\n\0Z\0o\0\xEB\0", 18),
         {{Field::FullName, "Zoë"}},
         {},
         {}},
        {"cells beyond the header are kept, up to a hundred",
         "Name\r\nAnn,x" + std::string(120, ',') + "y,z\r\n",
         {{Field::FullName, "Ann"}},
         {"A cell beyond the header's columns: x"},
         {"2 more cells beyond the header were left out"}},
        {"Google's typed columns",
         "Name,E-mail 1 - Type,E-mail 1 - Value,Phone 1 - Type,Phone 1 - Value,Phone 2 - Type,"
         "Phone 2 - Value\r\nJo,* Work,jo@work.example,Mobile,555-1 ::: 555-2,Work Fax,555-3\r\n",
         {{Field::WorkEmail, "jo@work.example"},
          {Field::HomeEmail, ""},
          {Field::HomeCell1, "555-1"},
          {Field::HomeCell2, "555-2"},
          {Field::WorkFax, "555-3"}},
         {},
         {}},
        {"Thunderbird's columns",
         "First Name,Last Name,Display Name,Primary Email,Secondary Email,Work Phone,Mobile Number,"
         "Birth Year,Birth Month,Birth Day,Anniversary Year,Anniversary Month,Anniversary Day,"
         "Organization,Custom 1\r\n"
         "Ann,Lee,Ann Lee,ann@x.example,al@y.example,555-4,555-5,1975,4,15,2001,6,2,Lee & "
         "Co,kept\r\n",
         {{Field::FullName, "Ann Lee"},
          {Field::HomeEmail, "ann@x.example"},
          {Field::WorkEmail, "al@y.example"},
          {Field::WorkPhone, "555-4"},
          {Field::HomeCell1, "555-5"},
          {Field::Birthday, "1975-04-15"},
          {Field::Anniversary, "2001-06-02"},
          {Field::WorkOtherInfo, "Organisation: Lee & Co"}},
         {"Custom 1: kept"},
         {}},
        {"Outlook's Windows-1252 file, its dates and its empty values",
         "First Name,Last Name,Birthday,Anniversary,Gender,Company\r\n"
         "J\xFCrgen,M\xFCller,4/15/1975,0/0/00,Unspecified,M\xFCller GmbH\r\n",
         {{Field::FullName, "Müller, Jürgen"},
          {Field::Birthday, "1975-04-15"},
          {Field::Comments, ""},
          {Field::WorkOtherInfo, "Organisation: Müller GmbH"}},
         {},
         {}},
        {"a European spreadsheet's semicolons, and cells beyond the header",
         "Name;E-mail Address\r\nAnn;ann@x.example;extra cell\r\n",
         {{Field::FullName, "Ann"}, {Field::HomeEmail, "ann@x.example"}},
         {"A cell beyond the header's columns: extra cell"},
         {}},
        {"UTF-16 with its byte-order mark",
         std::string("\xFF\xFEN\0a\0m\0e\0\r\0\n\0Z\0o\0\xEB\0", 20),
         {{Field::FullName, "Zoë"}},
         {},
         {}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        const ImportReading r = readImport(c.file, kNow);
        ASSERT_TRUE(r.refusal.empty()) << r.refusal;
        ASSERT_EQ(r.entries.size(), 1u);
        const ImportedEntry& e = r.entries[0];
        for (const auto& [field, value] : c.fields) {
            if (fieldInfo(field).kind == FieldKind::Date) {
                const std::string iso = value;
                EXPECT_EQ(e.record.date(field),
                          oleFromDateTime({std::stoi(iso.substr(0, 4)), std::stoi(iso.substr(5, 2)),
                                           std::stoi(iso.substr(8, 2))}));
            } else {
                EXPECT_EQ(e.record.text(field), value) << fieldInfo(field).name;
            }
        }
        for (const std::string& line : c.inComments) {
            EXPECT_NE(e.record.text(Field::Comments).find(line), std::string::npos)
                << line << "\n"
                << e.record.text(Field::Comments);
        }
        const std::string report =
            importReport(r, ImportResult{StoreStatus::success(), 1, 0}, false);
        for (const std::string& words : c.inReport) {
            EXPECT_NE(report.find(words), std::string::npos) << words << "\n" << report;
        }
        expectReportTrue(e);
    }
}

// A long note fills the comments: the report says what was cut and what
// found no room, and names neither the first note as "another" nor a
// line as kept that is not.
TEST(RealFiles, TheReportOfAFullCommentsFieldIsTrue) {
    std::string note;
    for (int line = 1; line <= 99; ++line) {
        note += "line " + std::to_string(line) + " of a long note\\n";
    }
    const ImportReading r =
        readImport(card("FN:A\r\nNOTE:" + note + "\r\nX-FOO:never kept\r\nNOTE:second\r\n"), kNow);
    ASSERT_EQ(r.entries.size(), 1u);
    const ImportedEntry& e = r.entries[0];
    const std::string report = importReport(r, ImportResult{StoreStatus::success(), 1, 0}, false);
    EXPECT_NE(report.find("the note was cut to 1097 characters; the rest of it was left out"),
              std::string::npos)
        << report;
    EXPECT_NE(report.find("X-FOO \"never kept\" has no field of its own; there was no room left"),
              std::string::npos)
        << report;
    EXPECT_NE(report.find("another note \"second\""), std::string::npos) << report;
    EXPECT_EQ(e.record.text(Field::Comments).find("never kept"), std::string::npos);
    expectReportTrue(e);
}

// What the file holds reaches the terminal short and harmless, under the
// card's own name; and a huge property, or one a megabyte long in soft
// line breaks, is read in linear time.
TEST(RealFiles, TheReportIsShortSafeAndNamedAndReadingIsLinear) {
    const std::string huge(200000, 'x');
    std::string qp;
    for (int i = 0; i < 20000; ++i) {
        qp += std::string(70, 'q') + "=\r\n";
    }
    const auto start = std::chrono::steady_clock::now();
    const ImportReading r =
        readImport(card("FN:Σωκράτης\r\nX-HUGE:" + huge + "\r\nX-TITLE:\x1b]0;owned\x07\r\n") +
                       card("FN:B\r\nNOTE;ENCODING=QUOTED-PRINTABLE:" + qp + "\r\n", "2.1"),
                   kNow);
    EXPECT_LT(std::chrono::steady_clock::now() - start, std::chrono::seconds(10));
    ASSERT_EQ(r.entries.size(), 2u);
    const std::string report = importReport(r, ImportResult{StoreStatus::success(), 2, 0}, false);
    EXPECT_LT(report.size(), 2000u);
    EXPECT_NE(report.find("\"Σωκράτης\": X-HUGE \"" + std::string(60, 'x') + "…\""),
              std::string::npos)
        << report;
    EXPECT_EQ(report.find('\x1b'), std::string::npos);
    EXPECT_NE(report.find("\\x1b]0;owned\\x07"), std::string::npos) << report;
}

// Files that hold no card Corvane keeps: a card with nothing in it is
// skipped and said; a full book lists no change of a card left out.
TEST(RealFiles, EmptyCardsAndAFullBookAreReportedTruly) {
    const ImportReading empty = readImport(card("UID:1\r\n") + card("FN:Kept\r\nX-A:b\r\n"), kNow);
    ASSERT_EQ(empty.entries.size(), 1u);
    ASSERT_EQ(empty.skipped.size(), 1u);
    EXPECT_EQ(empty.skipped[0], "vCard 1: it holds nothing Corvane keeps");
    const std::string full = importReport(empty, ImportResult{StoreStatus::success(), 0, 1}, false);
    EXPECT_EQ(full.find("X-A"), std::string::npos) << full;
    EXPECT_NE(full.find("1 entry was not imported"), std::string::npos) << full;
}

}  // namespace
}  // namespace corvane
