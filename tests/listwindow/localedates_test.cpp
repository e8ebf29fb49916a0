// Dates and the list's order in three languages besides the pinned C locale:
// what the windows show, what a typed date means, and how names sort (the C
// locale and every other take different sort paths through the grid).

#include <gtest/gtest.h>

#include "datetext.h"
#include "mainwindowfixture.h"
#include "oledate.h"
#include "recordtext.h"

namespace corvane {
namespace {

const QLocale kDe(QLocale::German, QLocale::Germany);
const QLocale kGb(QLocale::English, QLocale::UnitedKingdom);
const QLocale kZh(QLocale::Chinese, QLocale::China);
const QDate kToday(2026, 12, 8);

double on(int y, int m, int d) {
    return oleFromDateTime({y, m, d});
}

TEST(LocaleDates, ShownInTheLanguageAndReadBack) {
    const struct {
        const QLocale* locale;
        double value;
        const char* shown;
    } cases[] = {
        {&kDe, on(1962, 3, 15), "März 15, 1962"},  {&kDe, on(1962, 9, 5), "Sept. 05, 1962"},
        {&kGb, on(1962, 9, 5), "Sept 05, 1962"},   {&kZh, on(1962, 3, 15), "3月 15, 1962"},
        {&kZh, on(2026, 12, 31), "12月 31, 2026"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.shown);
        const test::ScopedLocale language(*c.locale);
        EXPECT_EQ(formatRecordDate(c.value), QString::fromUtf8(c.shown));
        EXPECT_EQ(parseDateText(QString::fromUtf8(c.shown), QLocale(), kToday), c.value);
    }
    // Back in the pinned locale the names are English again, not the last ones learned.
    EXPECT_EQ(formatRecordDate(on(1962, 3, 15)), "Mar 15, 1962");
}

TEST(LocaleDates, TypedNumbersFollowTheLanguagesOrder) {
    EXPECT_EQ(parseDateText("15.3.1962", kDe, kToday), on(1962, 3, 15));
    EXPECT_EQ(parseDateText("15/3/1962", kGb, kToday), on(1962, 3, 15));
    EXPECT_EQ(parseDateText("3/15/1962", kGb, kToday), std::nullopt);  // no 15th month
    EXPECT_EQ(parseDateText("1962/3/15", kZh, kToday), on(1962, 3, 15));
    EXPECT_EQ(parseDateText("3/15/1962", QLocale::c(), kToday), on(1962, 3, 15));
}

class LocaleSort : public testing::Test, public test::MainWindowFixture {};

TEST_F(LocaleSort, NamesSortByTheLanguagesRulesOrByCodePointInC) {
    writeBook({test::entry("Zander"), test::entry("Öztürk"), test::entry("oz")});
    {
        const test::ScopedLocale german(kDe);
        open();
        EXPECT_EQ(names(), (QStringList{"oz", "Öztürk", "Zander"}));
        window.reset();
    }
    platform.messages.clear();
    open();  // the pinned C locale compares case-folded code points
    EXPECT_EQ(names(), (QStringList{"oz", "Zander", "Öztürk"}));
}

}  // namespace
}  // namespace corvane
