#include "recordtext.h"

#include <QLocale>
#include <algorithm>
#include <array>

#include "codepage.h"
#include "oledate.h"

namespace corvane {
namespace {

// The names for the program's locale, learned again only when that locale
// changes: the list shows thousands of dates.
const std::array<QString, 12>& monthAbbreviations() {
    static QLocale learnedFor = QLocale::c();
    static std::array<QString, 12> names = dateMonthNames(learnedFor);
    const QLocale current;
    if (current != learnedFor) {
        learnedFor = current;
        names = dateMonthNames(current);
    }
    return names;
}

QString twoDigits(int n) {
    return QString::number(n).rightJustified(2, u'0');
}

}  // namespace

QString fromCp1252(std::string_view bytes) {
    QString text(static_cast<qsizetype>(bytes.size()), Qt::Uninitialized);
    QChar* out = text.data();
    for (char c : bytes) {
        const auto b = static_cast<unsigned char>(c);
        *out++ = QChar(static_cast<char16_t>(cp1252::toUnicode(b)));  // all within the BMP
    }
    return text;
}

QString trimBlanks(const QString& text) {
    qsizetype first = 0;
    qsizetype last = text.size();
    while (first < last && text[first] == u' ') {
        ++first;
    }
    while (last > first && text[last - 1] == u' ') {
        --last;
    }
    return text.mid(first, last - first);
}

QString recordText(const ContactRecord& record, Field field) {
    return fromCp1252(record.rawText(field));
}

std::array<QString, 12> dateMonthNames(const QLocale& locale) {
    std::array<QString, 12> names;
    for (int m = 1; m <= 12; ++m) {
        names[m - 1] = locale.monthName(m, QLocale::ShortFormat);
    }
    const auto usable = [&names](int i) {
        const QString& n = names[i];
        if (n.isEmpty() || trimBlanks(n) != n) {
            return false;
        }
        return std::count(names.begin(), names.end(), n) == 1;
    };
    for (int i = 0; i < 12; ++i) {
        if (!usable(i)) {
            return dateMonthNames(QLocale(QLocale::English, QLocale::UnitedStates));
        }
    }
    return names;
}

namespace {

QString formatWith(double oleDate, const std::array<QString, 12>& names) {
    const auto parts = oleToDateTime(oleDate);
    if (!parts || parts->year <= 1899) {
        return {};
    }
    return names[parts->month - 1] + u' ' + twoDigits(parts->day) + QStringLiteral(", ") +
           QString::number(parts->year);
}

}  // namespace

QString formatRecordDate(double oleDate) {
    return formatWith(oleDate, monthAbbreviations());
}

QString formatRecordDate(double oleDate, const QLocale& locale) {
    return formatWith(oleDate, dateMonthNames(locale));
}

namespace {

// The first punctuation mark of a locale's format: its separator, or
// `fallback` when the format has none (the C locale writes "d MMM yyyy").
QChar separatorOf(const QString& format, QChar fallback) {
    for (const QChar c : format) {
        if (c.isPunct()) {
            return c;
        }
    }
    return fallback;
}

}  // namespace

QString formatStamp(double oleDate) {
    return formatStamp(oleDate, QLocale());
}

QString formatStamp(double oleDate, const QLocale& locale) {
    const auto parts = oleToDateTime(oleDate);
    if (oleDate == 0.0 || !parts) {
        return {};
    }
    const QChar date = separatorOf(locale.dateFormat(QLocale::ShortFormat), u'/');
    const QChar time = separatorOf(locale.timeFormat(QLocale::ShortFormat), u':');
    return twoDigits(parts->month) + date + twoDigits(parts->day) + date +
           twoDigits(parts->year % 100) + u' ' + twoDigits(parts->hour) + time +
           twoDigits(parts->minute) + time + twoDigits(parts->second);
}

}  // namespace corvane
