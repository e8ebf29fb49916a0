#include "datetext.h"

#include <gtest/gtest.h>

#include "oledate.h"
#include "recordtext.h"

namespace corvane {
namespace {

const QDate kToday(2026, 12, 8);
const QLocale kUs(QLocale::English, QLocale::UnitedStates);
const QLocale kGb(QLocale::English, QLocale::UnitedKingdom);
const QLocale kDe(QLocale::German, QLocale::Germany);

double on(int y, int m, int d, int h = 0, int mi = 0, int s = 0) {
    return oleFromDateTime({y, m, d, h, mi, s});
}

struct Case {
    const char* text;
    const QLocale* locale;
    std::optional<double> expected;
};

TEST(DateText, AcceptsWhatTheRegionalSettingsAllow) {
    const Case cases[] = {
        // Numeric dates in the locale's order, with any of the separators.
        {"3/15/1962", &kUs, on(1962, 3, 15)},
        {"3-15-1962", &kUs, on(1962, 3, 15)},
        {"3.15.1962", &kUs, on(1962, 3, 15)},
        {"3 15 1962", &kUs, on(1962, 3, 15)},
        {"15/3/1962", &kGb, on(1962, 3, 15)},
        {"15.03.1962", &kDe, on(1962, 3, 15)},
        {"05/06/07", &kUs, on(2007, 5, 6)},
        {"05/06/07", &kGb, on(2007, 6, 5)},
        // Two-digit years: 00 to 29 are this century, 30 to 99 the last.
        {"1/2/29", &kUs, on(2029, 1, 2)},
        {"1/2/30", &kUs, on(1930, 1, 2)},
        {"1/2/00", &kUs, on(2000, 1, 2)},
        {"1/2/99", &kUs, on(1999, 1, 2)},
        // ISO, whatever the locale.
        {"1962-03-15", &kDe, on(1962, 3, 15)},
        {"1962-03-15", &kUs, on(1962, 3, 15)},
        // Month names, English and the locale's own, full and short.
        {"March 15, 1962", &kUs, on(1962, 3, 15)},
        {"Mar 15, 1962", &kGb, on(1962, 3, 15)},
        {"15 March 1962", &kGb, on(1962, 3, 15)},
        {"15-mar-62", &kUs, on(1962, 3, 15)},
        {"15. März 1962", &kDe, on(1962, 3, 15)},
        {"15 Dez 1962", &kDe, on(1962, 12, 15)},
        {"Sept. 1, 1990", &kUs, on(1990, 9, 1)},
        // No year: this year.
        {"3/15", &kUs, on(2026, 3, 15)},
        {"15.3.", &kDe, on(2026, 3, 15)},
        {"March 15", &kUs, on(2026, 3, 15)},
        // With a time of day.
        {"3/15/1962 14:30", &kUs, on(1962, 3, 15, 14, 30)},
        {"3/15/1962 2:30 PM", &kUs, on(1962, 3, 15, 14, 30)},
        {"3/15/1962 12:05:09 am", &kUs, on(1962, 3, 15, 0, 5, 9)},
        // A time alone falls on 30 December 1899.
        {"10:15", &kUs, on(1899, 12, 30, 10, 15)},
        {"9 PM", &kUs, on(1899, 12, 30, 21)},
        // Leap days.
        {"2/29/2028", &kUs, on(2028, 2, 29)},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(std::string(c.text) + " in " + c.locale->name().toStdString());
        const auto value = parseDateText(QString::fromUtf8(c.text), *c.locale, kToday);
        ASSERT_TRUE(value.has_value());
        EXPECT_NEAR(*value, *c.expected, 1e-9);
    }
}

TEST(DateText, RejectsWhatIsNoDate) {
    const char* wrong[] = {"4/31/2026",
                           "2/29/2027",
                           "13/1/2026",
                           "0/5/2026",
                           "hello",
                           "March",
                           "Mar 15 1962 1963",
                           "3/15/1962 25:00",
                           "3/15/1962 10:61",
                           "1/2/3/4",
                           "15 Smarch 1962",
                           "123456",
                           "3//",
                           "12:30 13 PM"};
    for (const char* text : wrong) {
        EXPECT_FALSE(parseDateText(QString::fromUtf8(text), kUs, kToday).has_value()) << text;
    }
    EXPECT_FALSE(parseDateText("31.4.2026", kDe, kToday).has_value());
    EXPECT_FALSE(parseDateText("", kDe, kToday).has_value());
}

}  // namespace
}  // namespace corvane

namespace corvane {
namespace {

// Every text the program shows for a date reads back as that date, in every
// locale Qt knows: a save never fails on a date the editor itself showed.
TEST(DateTextRoundTrip, EveryShownDateReadsBackInEveryLocale) {
    const QList<QLocale> locales =
        QLocale::matchingLocales(QLocale::AnyLanguage, QLocale::AnyScript, QLocale::AnyTerritory);
    ASSERT_GT(locales.size(), 300);
    const QDate today(2026, 12, 8);
    int checked = 0;
    for (const QLocale& locale : locales) {
        for (int month = 1; month <= 12; ++month) {
            for (const QDate date :
                 {QDate(1900, month, 1), QDate(1962, month, 9), QDate(2026, month, 28)}) {
                const double value = oleFromDateTime({date.year(), date.month(), date.day()});
                const QString shown = formatRecordDate(value, locale);
                const auto read = parseDateText(shown, locale, today);
                ASSERT_TRUE(read.has_value())
                    << locale.name().toStdString() << ": " << shown.toStdString();
                ASSERT_EQ(*read, value)
                    << locale.name().toStdString() << ": " << shown.toStdString();
                ++checked;
            }
        }
    }
    EXPECT_EQ(checked, locales.size() * 36);
}

TEST(DateTextRoundTrip, ChineseMonthNamesAreShownAndReadBack) {
    const QLocale zh(QLocale::Chinese, QLocale::China);
    const double value = oleFromDateTime({1962, 3, 15});
    EXPECT_EQ(formatRecordDate(value, zh), QStringLiteral("3月 15, 1962"));
    EXPECT_EQ(parseDateText(QStringLiteral("3月 15, 1962"), zh, QDate(2026, 12, 8)), value);
}

}  // namespace
}  // namespace corvane
