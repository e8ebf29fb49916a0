// Any text typed into a date field, read in several locales: a text read
// as a date gives a date an entry can hold, and reading it never fails
// in any other way.

#include <QDate>
#include <QLocale>
#include <QString>
#include <cmath>

#include "datetext.h"
#include "fuzztarget.h"
#include "oledate.h"

using namespace corvane;

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    if (size < 1) {
        return 0;
    }
    static const QLocale locales[] = {
        QLocale(QLocale::English, QLocale::UnitedStates),
        QLocale(QLocale::English, QLocale::UnitedKingdom),
        QLocale(QLocale::German, QLocale::Germany),
        QLocale(QLocale::French, QLocale::France),
        QLocale(QLocale::Japanese, QLocale::Japan),
        QLocale(QLocale::Chinese, QLocale::China),
        QLocale(QLocale::Russian, QLocale::Russia),
        QLocale::c(),
    };
    const QLocale& locale = locales[data[0] % std::size(locales)];
    const QString text = QString::fromUtf8(reinterpret_cast<const char*>(data + 1),
                                           static_cast<qsizetype>(size - 1));
    const auto value = parseDateText(text, locale, QDate(2026, 12, 20));
    if (value) {
        FUZZ_CHECK(std::isfinite(*value));
        FUZZ_CHECK(oleToDateTime(*value).has_value());
    }
    return 0;
}
