// The built program's console actions, run as a user runs them: in a folder
// holding a data file, with no display.

#include <gtest/gtest.h>

#include <system_error>

#include <sys/stat.h>

#include <cmath>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <functional>
#include <limits>
#include <sstream>

#include "../store/storetestdata.h"
#include "contactrecord.h"
#include "listconsole.h"
#include "oledate.h"
#include "testsupport.h"

namespace corvane {
namespace {

using test::Bytes;
using test::readFile;
using test::runProgram;
using test::writeFile;

const std::string kProgram = CORVANE_BINARY;

std::vector<std::string> lines(const std::string& text) {
    std::vector<std::string> out;
    std::istringstream in(text);
    for (std::string line; std::getline(in, line);) {
        out.push_back(line);
    }
    return out;
}

Bytes bytesOf(const std::vector<ContactRecord>& records) {
    Bytes bytes;
    for (const ContactRecord& r : records) {
        bytes.insert(bytes.end(), r.encode().begin(), r.encode().end());
    }
    return bytes;
}

// The JSON line a record of only a name and the creator byte exports as.
std::string plainLine(int number, const std::string& name, int version = 0) {
    std::string line = "{\"RecordNumber\":" + std::to_string(number);
    for (int i = 1; i <= kFieldCount; ++i) {
        const FieldInfo& info = fieldInfo(static_cast<Field>(i));
        line += ",\"" + std::string(info.name) + "\":";
        if (info.kind == FieldKind::Date) {
            line += "null";
        } else if (info.kind == FieldKind::Byte) {
            line += std::to_string(version);
        } else {
            line += "\"" + (static_cast<Field>(i) == Field::FullName ? name : "") + "\"";
        }
    }
    return line + "}";
}

TEST(Export, EveryRecordInOrderWithEveryFieldName) {
    test::TempDir dir;
    ContactRecord first;
    first.setText(Field::FullName, "Adams, Ann");
    first.setCreatorVersion(8);
    ContactRecord second;
    second.setText(Field::FullName, "Baker");
    writeFile(dir.file("Corvane.Data"), bytesOf({first, second}));

    const auto result = runProgram(kProgram, {"--export", "json"}, dir.path().string());
    EXPECT_EQ(result.exitStatus, 0);
    EXPECT_EQ(result.err, "");
    EXPECT_EQ(lines(result.out),
              (std::vector<std::string>{plainLine(1, "Adams, Ann", 8), plainLine(2, "Baker")}));
}

TEST(Export, TextsAreTrimmedDecodedAndEscaped) {
    test::TempDir dir;
    ContactRecord r;
    r.setText(Field::FullName, "Müller, José “Pepe” €");
    r.setText(Field::Comments, "\tTab kept\r\nsaid \"hi\" \\ bye  ");
    writeFile(dir.file("Corvane.Data"), bytesOf({r}));
    const auto result = runProgram(kProgram, {"--export", "json"}, dir.path().string());
    EXPECT_EQ(result.exitStatus, 0);
    EXPECT_NE(result.out.find(R"("FullName":"Müller, José “Pepe” €")"), std::string::npos);
    EXPECT_NE(result.out.find(R"("Comments":"\tTab kept\r\nsaid \"hi\" \\ bye")"),
              std::string::npos);
}

TEST(Export, DatesAreLocalDateTimesRoundedToTheSecond) {
    test::TempDir dir;
    ContactRecord r;
    r.setText(Field::FullName, "Dates");
    r.setDate(Field::Birthday, -1.25);
    r.setDate(Field::Anniversary, oleFromDateTime({1850, 3, 15, 0, 0, 0}));
    r.setDate(Field::Created, 45658.0 + (13 * 3600 + 5 * 60 + 59.5) / 86400.0);
    r.setDate(Field::LastModified, 0.0);
    writeFile(dir.file("Corvane.Data"), bytesOf({r}));
    const auto result = runProgram(kProgram, {"--export", "json"}, dir.path().string());
    EXPECT_EQ(result.exitStatus, 0);
    EXPECT_NE(
        result.out.find(R"("Birthday":"1899-12-29T06:00:00","Anniversary":"1850-03-15T00:00:00")"),
        std::string::npos);
    EXPECT_NE(result.out.find(R"("Created":"2025-01-01T13:06:00","LastModified":null})"),
              std::string::npos);
}

TEST(Export, AMissingFileExportsNothingAndCreatesNothing) {
    test::TempDir dir;
    const auto result = runProgram(kProgram, {"--export", "json"}, dir.path().string());
    EXPECT_EQ(result.exitStatus, 0);
    EXPECT_EQ(result.out, "");
    EXPECT_FALSE(test::fileExists(dir.file("Corvane.Data")));
}

TEST(Export, ADamagedFileExportsItsWholeSlotsAndSaysWhatIsWrong) {
    test::TempDir dir;
    ContactRecord a;
    a.setText(Field::FullName, "Adams");
    ContactRecord b;
    b.setText(Field::FullName, "Baker");
    Bytes bytes = bytesOf({a, b});
    bytes.resize(4500);
    writeFile(dir.file("Corvane.Data"), bytes);
    const auto result = runProgram(kProgram, {"--export", "json"}, dir.path().string());
    EXPECT_EQ(result.exitStatus, 2);
    EXPECT_EQ(lines(result.out), (std::vector<std::string>{plainLine(1, "Adams")}));
    EXPECT_EQ(result.err,
              "Corvane.Data: the file is 4500 bytes long, not a multiple of 3000; the last 1500 "
              "bytes are not a whole record\n");
    // Only read: no copy kept, nothing changed.
    EXPECT_EQ(readFile(dir.file("Corvane.Data")), bytes);
    EXPECT_EQ(std::distance(std::filesystem::directory_iterator(dir.path()), {}), 1);
}

TEST(Export, ADateThatIsNoNumberIsNamedAndExportedAsNull) {
    test::TempDir dir;
    ContactRecord r;
    r.setText(Field::FullName, "Broken");
    r.setDate(Field::Anniversary, std::numeric_limits<double>::quiet_NaN());
    r.setDate(Field::Created, 1e300);
    writeFile(dir.file("Corvane.Data"), bytesOf({r, r}));
    const auto result = runProgram(kProgram, {"--export", "json"}, dir.path().string());
    EXPECT_EQ(result.exitStatus, 2);
    EXPECT_EQ(lines(result.out).size(), 2u);
    EXPECT_NE(result.out.find(R"("Anniversary":null)"), std::string::npos);
    EXPECT_NE(result.err.find("Corvane.Data: record 1: Anniversary holds nan, which is not a date"),
              std::string::npos);
    EXPECT_NE(result.err.find("record 2: Created holds 1e+300, which is not a date"),
              std::string::npos);
}

TEST(Export, MoreSlotsThanCanBeCountedAreExportedAndReported) {
    test::TempDir dir;
    {
        std::ofstream out(dir.file("Corvane.Data"), std::ios::binary);
        const ContactRecord blank;
        for (int i = 0; i < 32768; ++i) {
            out.write(reinterpret_cast<const char*>(blank.encode().data()), 3000);
        }
    }
    const auto result = runProgram(kProgram, {"--export", "json"}, dir.path().string());
    EXPECT_EQ(result.exitStatus, 2);
    const auto exported = lines(result.out);
    ASSERT_EQ(exported.size(), 32768u);
    EXPECT_EQ(exported.back(), plainLine(32768, ""));
    EXPECT_NE(
        result.err.find("the file holds 32768 records, more than the 32767 Corvane can count"),
        std::string::npos);
}

// What lies under the journal's name never holds an export hostage: a
// journal the data file no longer bears out is not read into it, and a
// pipe or a folder there is neither waited on nor an error.
TEST(Export, AJournalThatIsStaleOrNoJournalChangesNothingAndNeverHangs) {
    const Bytes three = test::slotsOf({"Adams", "Baker", "Clark"});
    const Bytes changed = test::savedAs(three, 2, "Bellamy");  // by another program
    struct Case {
        const char* what;
        std::function<void(const std::string&)> plant;
    };
    for (const Case& c : {
             Case{"stale",
                  [&](const std::string& journal) {
                      writeFile(journal, test::journalFor(three, 2, "Bell"));
                  }},
             Case{"a pipe", [](const std::string& journal) { ::mkfifo(journal.c_str(), 0600); }},
             Case{"a folder",
                  [](const std::string& journal) { std::filesystem::create_directory(journal); }},
         }) {
        SCOPED_TRACE(c.what);
        test::TempDir dir;
        writeFile(dir.file("Corvane.Data"), changed);
        c.plant(dir.file("Corvane.Data.journal"));
        const test::Folder before = test::folderOf(dir.path());
        const auto result = runProgram(kProgram, {"--export", "json"}, dir.path().string());
        EXPECT_EQ(result.exitStatus, 0) << result.err;
        EXPECT_NE(result.out.find("\"Bellamy\""), std::string::npos);
        EXPECT_EQ(result.out.find("\"Bell\""), std::string::npos);
        EXPECT_EQ(test::folderOf(dir.path()), before);
    }
    // Nor is a pipe as the data file waited on, by any of the readers.
    test::TempDir dir;
    ::mkfifo(dir.file("Corvane.Data").c_str(), 0600);
    for (const std::vector<std::string>& args : std::vector<std::vector<std::string>>{
             {"--export", "json"}, {"--export", "csv"}, {"--upcoming"}, {"--affiliations"}}) {
        const auto result = runProgram(kProgram, args, dir.path().string());
        EXPECT_EQ(result.exitStatus, 2) << args[0] << ": " << result.err;
        EXPECT_NE(result.err.find("it is not a regular file"), std::string::npos) << result.err;
    }
}

TEST(Export, AnOutputThatCannotBeWrittenIsAFailureNotASuccess) {
    test::TempDir dir;
    test::writeFile(dir.file("Corvane.Data"), test::slotsOf({"Adams", "Baker"}));
    for (const std::vector<std::string>& args :
         {std::vector<std::string>{"--export", "json"}, {"--version"}, {"--help"}}) {
        SCOPED_TRACE(args.front());
        const auto result = runProgram(kProgram, args, dir.path().string(), "/dev/full");
        EXPECT_EQ(result.exitStatus, 1);
        EXPECT_NE(result.err.find("corvane: cannot write to standard output: " +
                                  std::error_code(ENOSPC, std::generic_category()).message()),
                  std::string::npos)
            << result.err;
    }
}

// The two lists print what the popups show, computed by the same logic;
// the program's clock is today's, so the dates are set from today.
TEST(ConsoleLists, UpcomingAndAffiliationsPrintThePopupsLines) {
    test::TempDir dir;
    const QDate soon = QDate::currentDate().addDays(3);
    ContactRecord a;
    a.setText(Field::FullName, "Adams, Ann");
    a.setDate(Field::Birthday, oleFromDateTime({1970, soon.month(), soon.day(), 0, 0, 0}));
    a.setText(Field::Affiliations, "Golf\r\nChoir");
    ContactRecord b;
    b.setText(Field::FullName, "Baker");
    b.setText(Field::Affiliations, "GOLF\r\nBridge Club");
    writeFile(dir.file("Corvane.Data"), bytesOf({a, b}));

    const auto upcoming = runProgram(kProgram, {"--upcoming"}, dir.path().string());
    EXPECT_EQ(upcoming.exitStatus, 0) << upcoming.err;
    std::ostringstream expected, none;
    printUpcoming(realFileSystem(), dir.file("Corvane.Data"), QDate::currentDate(), expected, none);
    EXPECT_EQ(upcoming.out, expected.str());
    EXPECT_NE(upcoming.out.find("Adams, Ann - birthday in 3 days ("), std::string::npos);
    const auto affiliations = runProgram(kProgram, {"--affiliations"}, dir.path().string());
    EXPECT_EQ(affiliations.exitStatus, 0);
    EXPECT_EQ(affiliations.out, "Bridge Club\nChoir\nGolf\n");

    // A damaged file: the whole entries, the damage said, status 2.
    Bytes ragged = bytesOf({a, b});
    ragged.resize(ragged.size() + 10, ' ');
    writeFile(dir.file("Corvane.Data"), ragged);
    const auto damaged = runProgram(kProgram, {"--affiliations"}, dir.path().string());
    EXPECT_EQ(damaged.exitStatus, 2);
    EXPECT_EQ(damaged.out, "Bridge Club\nChoir\nGolf\n");
    EXPECT_NE(damaged.err.find("not a multiple of 3000"), std::string::npos);
    EXPECT_EQ(readFile(dir.file("Corvane.Data")), ragged);

    // Output that cannot be written fails.
    const auto full = runProgram(kProgram, {"--upcoming"}, dir.path().string(), "/dev/full");
    EXPECT_EQ(full.exitStatus, 1);
}

TEST(Version, PrintsTheVersionWithoutADisplay) {
    test::TempDir dir;
    const auto result = runProgram(kProgram, {"--version"}, dir.path().string());
    EXPECT_EQ(result.exitStatus, 0);
    EXPECT_EQ(result.out, "Corvane 8.14.29\n");
    const auto help = runProgram(kProgram, {"--help"}, dir.path().string());
    EXPECT_EQ(help.exitStatus, 0);
    EXPECT_NE(help.out.find("--export json"), std::string::npos);
    EXPECT_NE(help.out.find("--upcoming"), std::string::npos);
    EXPECT_NE(help.out.find("--affiliations"), std::string::npos);
    const auto wrong = runProgram(kProgram, {"--bogus"}, dir.path().string());
    EXPECT_EQ(wrong.exitStatus, 1);
    EXPECT_NE(wrong.err.find("unknown option '--bogus'"), std::string::npos);
}

}  // namespace
}  // namespace corvane

namespace corvane {
namespace {

// One whole slot written out from the file format by hand, every field at a
// value of its own, and the JSON line it must export as: a misspelt key, two
// swapped fields or a shifted offset in the program's field table fails here.
Bytes goldenSlot() {
    Bytes slot(3000, ' ');
    const struct {
        int offset;
        std::string text;
    } texts[] = {
        {0, "Dr."},
        {7, "Doe, Jane"},
        {82, "JD"},
        {106, "/pics/jane.png"},
        {206, "1 Home St"},
        {256, "Flat 2"},
        {306, "Hometown 11111"},
        {356, "jane@home.example"},
        {406, "home.example"},
        {456, "555-0101"},
        {478, "555-0102"},
        {500, "555-0103"},
        {522, "555-0104"},
        {544, "555-0105"},
        {566, "555-0106"},
        {588, "home info"},
        {888, "Acme Ltd"},
        {938, "Suite 9"},
        {988, "Worktown 22222"},
        {1038, "jane@work.example"},
        {1088, "work.example"},
        {1138, "555-0201"},
        {1160, "555-0202"},
        {1182, "555-0203"},
        {1204, "555-0204"},
        {1226, "555-0205"},
        {1248, "555-0206"},
        {1270, "work info"},
        {1570, "Line one\r\nPrice \x80 5 \"net\""},
        {2683, "Chess\r\nChoir"},
    };
    for (const auto& t : texts) {
        std::memcpy(slot.data() + t.offset, t.text.data(), t.text.size());
    }
    // Little-endian doubles: 22720 (15 Mar 1962), 33026 (2 Jun 1990), the
    // byte 8, 45293.5 (2 Jan 2024 12:00) and 46364.25 (8 Dec 2026 06:00).
    const struct {
        int offset;
        std::uint8_t bytes[8];
    } dates[] = {
        {2667, {0x00, 0x00, 0x00, 0x00, 0x00, 0x30, 0xd6, 0x40}},
        {2675, {0x00, 0x00, 0x00, 0x00, 0x40, 0x20, 0xe0, 0x40}},
        {2984, {0x00, 0x00, 0x00, 0x00, 0xb0, 0x1d, 0xe6, 0x40}},
        {2992, {0x00, 0x00, 0x00, 0x00, 0x88, 0xa3, 0xe6, 0x40}},
    };
    for (const auto& d : dates) {
        std::memcpy(slot.data() + d.offset, d.bytes, 8);
    }
    slot[2983] = 8;
    return slot;
}

const char* const kGoldenLine =
    R"({"RecordNumber":1,"Title":"Dr.","FullName":"Doe, Jane","Nickname":"JD",)"
    R"("PicturePath":"/pics/jane.png","HomeAddress1":"1 Home St","HomeAddress2":"Flat 2",)"
    R"("HomeCityStateZip":"Hometown 11111","HomeEmail":"jane@home.example",)"
    R"("HomeWebPage":"home.example","HomePhone":"555-0101","HomeFax":"555-0102",)"
    R"("HomePager":"555-0103","HomeCell1":"555-0104","HomeCell2":"555-0105",)"
    R"("HomeOtherPhone":"555-0106","HomeOtherInfo":"home info","WorkAddress1":"Acme Ltd",)"
    R"("WorkAddress2":"Suite 9","WorkCityStateZip":"Worktown 22222",)"
    R"("WorkEmail":"jane@work.example","WorkWebPage":"work.example","WorkPhone":"555-0201",)"
    R"("WorkFax":"555-0202","WorkPager":"555-0203","WorkCell1":"555-0204",)"
    R"("WorkCell2":"555-0205","WorkOtherPhone":"555-0206","WorkOtherInfo":"work info",)"
    R"("Comments":"Line one\r\nPrice )"
    "\xe2\x82\xac"
    R"( 5 \"net\"","Birthday":"1962-03-15T00:00:00","Anniversary":"1990-06-02T00:00:00",)"
    R"("Affiliations":"Chess\r\nChoir","CreatorVersion":8,"Created":"2024-01-02T12:00:00",)"
    R"("LastModified":"2026-12-08T06:00:00"})";

TEST(GoldenBytes, AWholeSlotExportsAsItsLineWrittenByHand) {
    test::TempDir dir;
    writeFile(dir.file("Corvane.Data"), goldenSlot());
    const auto result = runProgram(kProgram, {"--export", "json"}, dir.path().string());
    EXPECT_EQ(result.exitStatus, 0) << result.err;
    EXPECT_EQ(result.out, std::string(kGoldenLine) + "\n");
}

TEST(GoldenBytes, TheRecordReadsEachFieldFromItsOwnPlaceAndWritesTheSlotBack) {
    const Bytes slot = goldenSlot();
    const auto record =
        ContactRecord::decode(std::span<const std::uint8_t, 3000>(slot.data(), 3000));
    EXPECT_EQ(record.text(Field::HomeCell2), "555-0105");
    EXPECT_EQ(record.text(Field::WorkPager), "555-0203");
    EXPECT_EQ(record.text(Field::Comments), "Line one\r\nPrice \xe2\x82\xac 5 \"net\"");
    EXPECT_EQ(record.date(Field::Anniversary), 33026.0);
    EXPECT_EQ(record.creatorVersion(), 8);
    EXPECT_EQ(Bytes(record.encode().begin(), record.encode().end()), slot);
    ContactRecord rebuilt;
    for (int f = 1; f <= kFieldCount; ++f) {
        const auto field = static_cast<Field>(f);
        if (fieldInfo(field).kind == FieldKind::Text) {
            rebuilt.setText(field, record.text(field));
        } else if (fieldInfo(field).kind == FieldKind::Date) {
            rebuilt.setDate(field, record.date(field));
        }
    }
    rebuilt.setCreatorVersion(record.creatorVersion());
    EXPECT_EQ(Bytes(rebuilt.encode().begin(), rebuilt.encode().end()), slot);
}

}  // namespace
}  // namespace corvane
