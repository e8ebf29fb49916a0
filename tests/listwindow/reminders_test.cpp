// Upcoming dates and affiliations as plain logic, and the two console lists
// that print them.

#include "reminders.h"

#include <gtest/gtest.h>

#include <sstream>

#include "affiliations.h"
#include "listconsole.h"
#include "oledate.h"
#include "testsupport.h"

namespace corvane {
namespace {

const QDate kToday(2026, 12, 20);

double on(int year, int month, int day) {
    return oleFromDateTime({year, month, day, 0, 0, 0});
}

ContactRecord person(const std::string& name, double birthday, double anniversary = 0) {
    ContactRecord record;
    record.setText(Field::FullName, name);
    record.setDate(Field::Birthday, birthday);
    record.setDate(Field::Anniversary, anniversary);
    return record;
}

std::vector<QString> linesFor(const ContactRecord& record, const QDate& today = kToday) {
    std::vector<Reminder> out;
    addReminders(record, 1, ReminderCalendar(today), out);
    std::vector<QString> lines;
    for (const Reminder& r : out) {
        lines.push_back(r.line);
    }
    return lines;
}

TEST(Reminders, DatesWithinThirtyDaysQualifyInTheYearTheyFallIn) {
    EXPECT_EQ(linesFor(person("Smith, John", on(1970, 1, 5))),
              std::vector<QString>{"Smith, John - birthday in 16 days (Jan 05, 2027)"});
    EXPECT_TRUE(linesFor(person("Yesterday", on(1970, 12, 19))).empty());  // 364 days away
    EXPECT_EQ(linesFor(person("Edge", on(1999, 1, 19))),
              std::vector<QString>{"Edge - birthday in 30 days (Jan 19, 2027)"});
    EXPECT_TRUE(linesFor(person("Beyond", on(1999, 1, 20))).empty());  // 31 days
    EXPECT_EQ(linesFor(person("One", on(1999, 12, 21))),
              std::vector<QString>{"One - birthday in 1 days (Dec 21, 2026)"});
}

TEST(Reminders, TodayHasAnEmptyDayCount) {
    EXPECT_EQ(linesFor(person("Smith, John", on(1960, 12, 20))),
              std::vector<QString>{"Smith, John - birthday in  days (Dec 20, 2026)"});
}

TEST(Reminders, BothDatesGiveTwoLinesBirthdayFirst) {
    EXPECT_EQ(linesFor(person("Pair", on(1980, 12, 25), on(2001, 12, 22))),
              (std::vector<QString>{"Pair - birthday in 5 days (Dec 25, 2026)",
                                    "Pair - anniversary in 2 days (Dec 22, 2026)"}));
}

TEST(Reminders, NoDateOrOneOf1899OrEarlierNeverQualifies) {
    EXPECT_TRUE(linesFor(person("None", 0, 0)).empty());
    EXPECT_TRUE(linesFor(person("Old", on(1899, 12, 25))).empty());
    EXPECT_TRUE(linesFor(person("Older", on(1850, 12, 25))).empty());
    EXPECT_FALSE(linesFor(person("Born 1900", on(1900, 12, 25))).empty());
}

// A leap-day birthday in a year without one is remembered on the 28th.
TEST(Reminders, TheTwentyNinthOfFebruaryFallsOnTheTwentyEighthInOtherYears) {
    const ContactRecord leap = person("Leap", on(1988, 2, 29));
    EXPECT_EQ(linesFor(leap, QDate(2027, 2, 20)),
              std::vector<QString>{"Leap - birthday in 8 days (Feb 28, 2027)"});
    EXPECT_EQ(linesFor(leap, QDate(2028, 2, 20)),
              std::vector<QString>{"Leap - birthday in 9 days (Feb 29, 2028)"});
    EXPECT_EQ(linesFor(leap, QDate(2027, 2, 28)),
              std::vector<QString>{"Leap - birthday in  days (Feb 28, 2027)"});
    EXPECT_TRUE(linesFor(leap, QDate(2027, 3, 1)).empty());  // next: Feb 29, 2028
}

std::vector<QString> affiliationsOf(const std::vector<std::string>& fields) {
    AffiliationList list;
    for (const std::string& field : fields) {
        ContactRecord record;
        record.setText(Field::Affiliations, field);
        list.CollectAffiliations(record);
    }
    const QStringList sorted = list.sorted();
    return {sorted.begin(), sorted.end()};
}

TEST(Affiliations, OneOfEachRegardlessOfCapitalsInTheFormMetFirst) {
    EXPECT_EQ(affiliationsOf({"Rotary Club", "ROTARY CLUB"}), std::vector<QString>{"Rotary Club"});
    EXPECT_EQ(affiliationsOf({"ROTARY CLUB", "Rotary Club"}), std::vector<QString>{"ROTARY CLUB"});
    // As the filter compares them, character by character: ß is not SS.
    EXPECT_EQ(affiliationsOf({"Straße Club", "STRASSE CLUB"}).size(), 2u);
}

TEST(Affiliations, LinesOfThreeToTwentyFourCharactersCountInAlphabeticalOrder) {
    const std::string tooLong(25, 'x');
    EXPECT_EQ(
        affiliationsOf({"First Church\r\nYM\r\nGolf\r\nPTA\r\n" + tooLong + "\r\nzoo keepers\r\n" +
                        std::string(24, 'y')}),
        (std::vector<QString>{"First Church", "Golf", "PTA", QString(24, u'y'), "zoo keepers"}));
}

TEST(Affiliations, BlankLinesAndShortFieldsAddNothingAndTheRestStillCount) {
    EXPECT_EQ(affiliationsOf({"ab\r\n", "\r\n\r\nChoir\r\n\r\n\r\nChess Club\r\n\r\n", "  "}),
              (std::vector<QString>{"Chess Club", "Choir"}));
}

// The console lists use the same logic over the file, and only read it.
TEST(ConsoleLists, PrintTheLinesAndSayWhenTheFileIsDamaged) {
    test::TempDir dir;
    test::Bytes file;
    ContactRecord a = person("Adams", on(1970, 1, 5));
    a.setText(Field::Affiliations, "Golf\r\nChoir");
    ContactRecord b = person("Baker", on(1971, 12, 25), on(1995, 12, 21));
    b.setText(Field::Affiliations, "golf\r\nBridge Club");
    for (const ContactRecord* r : {&a, &b}) {
        file.insert(file.end(), r->encode().begin(), r->encode().end());
    }
    const std::string path = dir.file("Corvane.Data");
    test::writeFile(path, file);

    std::ostringstream out, err;
    EXPECT_EQ(printUpcoming(realFileSystem(), path, kToday, out, err), 0);
    EXPECT_EQ(out.str(),
              "Adams - birthday in 16 days (Jan 05, 2027)\n"
              "Baker - birthday in 5 days (Dec 25, 2026)\n"
              "Baker - anniversary in 1 days (Dec 21, 2026)\n");
    std::ostringstream list;
    EXPECT_EQ(printAffiliations(realFileSystem(), path, list, err), 0);
    EXPECT_EQ(list.str(), "Bridge Club\nChoir\nGolf\n");
    EXPECT_EQ(err.str(), "");

    // A ragged end: the whole entries are still listed, the damage said,
    // and the file is not touched.
    file.resize(file.size() + 100, ' ');
    test::writeFile(path, file);
    std::ostringstream damagedOut, damagedErr;
    EXPECT_EQ(printAffiliations(realFileSystem(), path, damagedOut, damagedErr), 2);
    EXPECT_EQ(damagedOut.str(), "Bridge Club\nChoir\nGolf\n");
    EXPECT_EQ(damagedErr.str(), path +
                                    ": the file is 6100 bytes long, not a multiple of 3000; "
                                    "the last 100 bytes are not a whole record\n");
    EXPECT_EQ(test::readFile(path), file);
    EXPECT_EQ(std::distance(std::filesystem::directory_iterator(dir.path()), {}), 1);

    // No file: nothing to list, nothing made.
    std::ostringstream none;
    EXPECT_EQ(printUpcoming(realFileSystem(), dir.file("missing.Data"), kToday, none, err), 0);
    EXPECT_EQ(none.str(), "");
}

}  // namespace
}  // namespace corvane
