#include "datetext.h"

#include <QRegularExpression>
#include <QStringList>
#include <algorithm>
#include <vector>

#include "oledate.h"
#include "recordtext.h"

namespace corvane {
namespace {

struct Token {
    enum Kind { Number, Word } kind;
    QString text;
    int value = 0;
};

// The order of day, month and year in the locale's short numeric dates, as
// three letters: "MDY", "DMY" or "YMD".
QString numericOrder(const QLocale& locale) {
    if (locale.language() == QLocale::C) {
        return QStringLiteral("MDY");  // the C locale writes dates the American way
    }
    const QString format = locale.dateFormat(QLocale::ShortFormat);
    QString order;
    for (QChar c : format) {
        const QChar part = c == u'd' ? u'D' : c == u'M' ? u'M' : c == u'y' ? u'Y' : QChar();
        if (!part.isNull() && !order.contains(part)) {
            order += part;
        }
    }
    return order.size() == 3 ? order : QStringLiteral("MDY");
}

// The month (1 to 12) a word names, in English or in the locale's language,
// in full or abbreviated; 0 when it names none.
int monthOf(const QString& word, const QLocale& locale) {
    QString w = word.toCaseFolded();
    if (w.endsWith(u'.')) {
        w.chop(1);
    }
    if (w.size() < 3) {
        return 0;
    }
    const QLocale english(QLocale::English, QLocale::UnitedStates);
    for (const QLocale* l : {&english, &locale}) {
        for (int m = 1; m <= 12; ++m) {
            for (auto format : {QLocale::LongFormat, QLocale::ShortFormat}) {
                for (auto kind : {l->monthName(m, format), l->standaloneMonthName(m, format)}) {
                    QString name = kind.toCaseFolded();
                    if (name.endsWith(u'.')) {
                        name.chop(1);
                    }
                    if (!name.isEmpty() && name == w) {
                        return m;
                    }
                }
            }
            // Any leading part of at least three letters of the full name.
            const QString full = l->monthName(m, QLocale::LongFormat).toCaseFolded();
            if (full.startsWith(w)) {
                return m;
            }
        }
    }
    return 0;
}

int fullYear(const Token& t) {
    if (t.text.size() <= 2) {
        return t.value < 30 ? 2000 + t.value : 1900 + t.value;
    }
    return t.value;
}

bool isYearToken(const Token& t) {
    return t.text.size() >= 3;
}

// Splits off a time of day ("9:30", "21:05:10", "9:30 PM") and returns the
// seconds since midnight, or -1 for a malformed time; -2 when there is none.
int takeTime(QString& text) {
    static const QRegularExpression timePattern(
        QStringLiteral("(\\d{1,2}):(\\d{2})(?::(\\d{2}))?\\s*([AaPp][Mm])?"));
    const QRegularExpressionMatch m = timePattern.match(text);
    if (!m.hasMatch()) {
        static const QRegularExpression hourAmPm(
            QStringLiteral("\\b(\\d{1,2})\\s*([AaPp][Mm])\\b"));
        const QRegularExpressionMatch h = hourAmPm.match(text);
        if (!h.hasMatch()) {
            return -2;
        }
        int hour = h.captured(1).toInt();
        const bool pm = h.captured(2).toLower() == QLatin1String("pm");
        if (hour < 1 || hour > 12) {
            return -1;
        }
        hour = hour % 12 + (pm ? 12 : 0);
        text.remove(h.capturedStart(), h.capturedLength());
        return hour * 3600;
    }
    int hour = m.captured(1).toInt();
    const int minute = m.captured(2).toInt();
    const int second = m.captured(3).isEmpty() ? 0 : m.captured(3).toInt();
    if (!m.captured(4).isEmpty()) {
        const bool pm = m.captured(4).toLower() == QLatin1String("pm");
        if (hour < 1 || hour > 12) {
            return -1;
        }
        hour = hour % 12 + (pm ? 12 : 0);
    }
    if (hour > 23 || minute > 59 || second > 59) {
        return -1;
    }
    text.remove(m.capturedStart(), m.capturedLength());
    return hour * 3600 + minute * 60 + second;
}

std::optional<std::vector<Token>> tokenize(const QString& text) {
    std::vector<Token> tokens;
    qsizetype i = 0;
    while (i < text.size()) {
        const QChar c = text[i];
        if (c.isDigit()) {
            qsizetype j = i;
            while (j < text.size() && text[j].isDigit()) {
                ++j;
            }
            const QString digits = text.mid(i, j - i);
            if (digits.size() > 4) {
                return std::nullopt;
            }
            tokens.push_back({Token::Number, digits, digits.toInt()});
            i = j;
        } else if (c.isLetter()) {
            qsizetype j = i;
            while (j < text.size() && (text[j].isLetter() || text[j] == u'.')) {
                ++j;
            }
            tokens.push_back({Token::Word, text.mid(i, j - i)});
            i = j;
        } else if (c == u'/' || c == u'-' || c == u'.' || c == u',' || c.isSpace()) {
            ++i;
        } else {
            return std::nullopt;
        }
    }
    return tokens;
}

// A date exactly as the program shows one, "MMM dd, yyyy" with the month
// names it shows in `locale`; these read back whatever the language, even
// where the names are such as "3月" that the general reading cannot take.
std::optional<double> shownDate(const QString& text, const QLocale& locale) {
    static const QRegularExpression shown(QStringLiteral("^(.+) (\\d{2}), (\\d{4})$"));
    const QRegularExpressionMatch m = shown.match(text);
    if (!m.hasMatch()) {
        return std::nullopt;
    }
    const auto names = dateMonthNames(locale);
    const auto found = std::find(names.begin(), names.end(), m.captured(1));
    const int month = static_cast<int>(found - names.begin()) + 1;
    const int day = m.captured(2).toInt();
    const int year = m.captured(3).toInt();
    if (found == names.end() || !QDate::isValid(year, month, day)) {
        return std::nullopt;
    }
    return oleFromDateTime({year, month, day});
}

}  // namespace

std::optional<double> parseDateText(const QString& input, const QLocale& locale, QDate today) {
    QString text = input.trimmed();
    if (text.isEmpty()) {
        return std::nullopt;
    }
    if (const auto shown = shownDate(text, locale)) {
        return shown;
    }
    const int seconds = takeTime(text);
    if (seconds == -1) {
        return std::nullopt;
    }
    const auto tokens = tokenize(text);
    if (!tokens) {
        return std::nullopt;
    }
    std::vector<Token> numbers;
    int month = 0;
    for (const Token& t : *tokens) {
        if (t.kind == Token::Number) {
            numbers.push_back(t);
        } else if (month == 0 && (month = monthOf(t.text, locale)) != 0) {
            continue;
        } else {
            return std::nullopt;  // a second month name or a word that is none
        }
    }

    int year = 0;
    int day = 0;
    if (tokens->empty()) {
        if (seconds < 0) {
            return std::nullopt;
        }
        // A time alone falls on day 0 of the OLE calendar.
        return oleFromDateTime({1899, 12, 30, seconds / 3600, seconds / 60 % 60, seconds % 60});
    }
    if (month != 0) {
        // A month name with the day and, perhaps, the year.
        if (numbers.size() == 1) {
            day = numbers[0].value;
            year = today.year();
        } else if (numbers.size() == 2) {
            const bool yearFirst = isYearToken(numbers[0]) && !isYearToken(numbers[1]);
            const Token& dayToken = yearFirst ? numbers[1] : numbers[0];
            const Token& yearToken = yearFirst ? numbers[0] : numbers[1];
            day = dayToken.value;
            year = fullYear(yearToken);
        } else {
            return std::nullopt;
        }
    } else if (numbers.size() == 3 && isYearToken(numbers[0])) {
        year = numbers[0].value;  // ISO: year, month, day
        month = numbers[1].value;
        day = numbers[2].value;
    } else if (numbers.size() == 3 || numbers.size() == 2) {
        const QString order = numericOrder(locale);
        int position = 0;
        year = today.year();
        for (QChar part : order) {
            if (part == u'Y') {
                if (numbers.size() == 2) {
                    continue;  // no year typed: this year
                }
                year = fullYear(numbers[position++]);
            } else if (part == u'M') {
                month = numbers[position++].value;
            } else {
                day = numbers[position++].value;
            }
        }
    } else {
        return std::nullopt;
    }
    if (!QDate::isValid(year, month, day) || year < 100 || year > 9999) {
        return std::nullopt;
    }
    const int s = seconds < 0 ? 0 : seconds;
    return oleFromDateTime({year, month, day, s / 3600, s / 60 % 60, s % 60});
}

}  // namespace corvane
