#include "listcolumns.h"

#include <gtest/gtest.h>

#include <limits>

#include "modsupport.h"
#include "oledate.h"
#include "recordtext.h"

namespace corvane {
namespace {

using modSupport::FlattenLines;

TEST(FlattenLines, PutsTheTextOnOneLine) {
    EXPECT_EQ(FlattenLines(""), "");
    EXPECT_EQ(FlattenLines("Met at\r\nthe fair"), "Met at \u00B7 the fair");
    EXPECT_EQ(FlattenLines("\r\nleading"), "leading");
    EXPECT_EQ(FlattenLines("trailing\r\n"), "trailing");
    EXPECT_EQ(FlattenLines("two\r\n\r\nbreaks"), "two \u00B7  \u00B7 breaks");
    EXPECT_EQ(FlattenLines("Church\r\n   "), "Church \u00B7    ");
    EXPECT_EQ(FlattenLines("lone\nfeed"), "lone\nfeed");
}

TEST(ColumnMenu, HasItsItemsInOrder) {
    EXPECT_EQ(columnMenuCaption(1), "Nickname");
    EXPECT_EQ(columnMenuCaption(3), "Birthday");
    EXPECT_EQ(columnMenuCaption(8), "Home Cell Phone");
    EXPECT_EQ(columnMenuCaption(13), "Work Cell Phone");
    EXPECT_EQ(columnMenuCaption(23), "Affiliations");
    EXPECT_EQ(columnMenuCaption(25), "E&xit this Menu");
    for (int separator : {2, 5, 10, 15, 18, 21, 24}) {
        EXPECT_EQ(columnMenuCaption(separator), "-");
        EXPECT_FALSE(isColumnField(separator));
    }
    EXPECT_EQ(columnMenuCaption(26), "");
}

TEST(ColumnText, ShowsEachChosenField) {
    ContactRecord r;
    r.setText(Field::HomeCell1, "555-1111");
    r.setText(Field::WorkPager, "555-2222");
    r.setText(Field::WorkWebPage, "www.example.org");
    r.setDate(Field::Anniversary, oleFromDateTime({1990, 6, 5}));
    EXPECT_EQ(columnText(r, 8), "555-1111");
    EXPECT_EQ(columnText(r, 14), "555-2222");
    EXPECT_EQ(columnText(r, 20), "www.example.org");
    EXPECT_EQ(columnText(r, 4), "Jun 05, 1990");
    EXPECT_EQ(columnText(r, 2), "");
    EXPECT_EQ(columnText(r, 99), "");
}

TEST(RecordText, DatesAndStampsAsTheWindowsShowThem) {
    EXPECT_EQ(formatRecordDate(0.0), "");
    EXPECT_EQ(formatRecordDate(oleFromDateTime({1899, 6, 1})), "");
    EXPECT_EQ(formatRecordDate(oleFromDateTime({1962, 3, 5})), "Mar 05, 1962");
    EXPECT_EQ(formatStamp(oleFromDateTime({2026, 12, 8, 9, 5, 7})), "12/08/26 09:05:07");
    EXPECT_EQ(trimBlanks("  a\tb  "), "a\tb");
    // Values no date can have, as a damaged or foreign file may hold them,
    // show as no date.
    for (double impossible :
         {std::numeric_limits<double>::quiet_NaN(), std::numeric_limits<double>::infinity(),
          -std::numeric_limits<double>::infinity(), 1e300, -1e7, 2958466.0}) {
        SCOPED_TRACE(impossible);
        EXPECT_EQ(formatRecordDate(impossible), "");
        EXPECT_EQ(formatStamp(impossible), "");
    }
}

}  // namespace
}  // namespace corvane
