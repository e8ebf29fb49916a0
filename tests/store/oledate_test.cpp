#include "oledate.h"

#include <gtest/gtest.h>

#include <cmath>
#include <limits>

namespace corvane {
namespace {

DateTimeParts at(int y, int mo, int d, int h = 0, int mi = 0, int s = 0) {
    return {y, mo, d, h, mi, s};
}

TEST(OleDate, DayZeroIsTheThirtiethOfDecember1899) {
    EXPECT_EQ(oleToDateTime(0.0), at(1899, 12, 30));
    EXPECT_EQ(oleToDateTime(1.0), at(1899, 12, 31));
    EXPECT_EQ(oleToDateTime(2.0), at(1900, 1, 1));
    EXPECT_EQ(oleToDateTime(45658.75), at(2025, 1, 1, 18));
    EXPECT_EQ(oleToDateTime(60.0), at(1900, 2, 28));  // no 29 February 1900
}

TEST(OleDate, BelowZeroTheFractionIsStillTheTimeAfterMidnight) {
    EXPECT_EQ(oleToDateTime(-1.25), at(1899, 12, 29, 6));
    EXPECT_EQ(oleToDateTime(-0.5), at(1899, 12, 30, 12));
    EXPECT_EQ(oleFromDateTime(at(1899, 12, 29, 6)), -1.25);
    EXPECT_EQ(oleToDateTime(oleFromDateTime(at(1850, 3, 15))), at(1850, 3, 15));
}

TEST(OleDate, RoundsToTheNearestSecondWithHalvesUp) {
    const double second = 1.0 / 86400.0;
    EXPECT_EQ(oleToDateTime(10.0 + 59.4 * second), at(1900, 1, 9, 0, 0, 59));
    EXPECT_EQ(oleToDateTime(10.0 + 59.5 * second), at(1900, 1, 9, 0, 1, 0));
    // Rounding up past midnight moves to the next day, also below zero.
    EXPECT_EQ(oleToDateTime(10.0 + (86400 - 0.2) * second), at(1900, 1, 10));
    EXPECT_EQ(oleToDateTime(-1.0 - (86400 - 0.2) * second), at(1899, 12, 30));
}

TEST(OleDate, ValuesThatCannotBeDatesAreRejected) {
    EXPECT_FALSE(oleToDateTime(std::numeric_limits<double>::quiet_NaN()));
    EXPECT_FALSE(oleToDateTime(std::numeric_limits<double>::infinity()));
    EXPECT_FALSE(oleToDateTime(1e300));
    EXPECT_FALSE(oleToDateTime(-1e9));
    EXPECT_EQ(oleToDateTime(kOleDateMin), at(100, 1, 1));
    EXPECT_EQ(oleToDateTime(2958465.5), at(9999, 12, 31, 12));
}

}  // namespace
}  // namespace corvane
