#include <iconv.h>

#include <algorithm>
#include <cctype>
#include <utility>

#include "codepage.h"
#include "importparts.h"
#include "oledate.h"

namespace corvane::importing {

std::string lower(std::string_view s) {
    std::string out(s);
    for (char& c : out) {
        c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
    }
    return out;
}

std::string upper(std::string_view s) {
    std::string out(s);
    for (char& c : out) {
        c = static_cast<char>(std::toupper(static_cast<unsigned char>(c)));
    }
    return out;
}

std::string trimmed(std::string_view s) {
    const auto start = s.find_first_not_of(" \t");
    if (start == std::string_view::npos) {
        return {};
    }
    return std::string(s.substr(start, s.find_last_not_of(" \t") - start + 1));
}

// True when `text` is UTF-8 throughout.
bool isUtf8(std::string_view text) {
    for (std::size_t i = 0; i < text.size();) {
        const auto c = static_cast<unsigned char>(text[i]);
        const int n = c < 0x80             ? 1
                      : (c & 0xE0) == 0xC0 ? 2
                      : (c & 0xF0) == 0xE0 ? 3
                      : (c & 0xF8) == 0xF0 ? 4
                                           : 0;
        if (n == 0 || i + n > text.size()) {
            return false;
        }
        for (int k = 1; k < n; ++k) {
            if ((static_cast<unsigned char>(text[i + k]) & 0xC0) != 0x80) {
                return false;
            }
        }
        i += static_cast<std::size_t>(n);
    }
    return true;
}

namespace {

bool isDigit(char c) {
    return c >= '0' && c <= '9';
}

// The OLE value of a calendar date and time, or nothing for one that is no
// date an entry can hold.
std::optional<double> wholeDate(const DateTimeParts& p) {
    static constexpr int kDays[] = {31, 29, 31, 30, 31, 30, 31, 31, 30, 31, 30, 31};
    const bool leap = (p.year % 4 == 0 && p.year % 100 != 0) || p.year % 400 == 0;
    if (p.year < 100 || p.year > 9999 || p.month < 1 || p.month > 12 || p.day < 1 ||
        p.day > kDays[p.month - 1] || (p.month == 2 && p.day == 29 && !leap) || p.hour > 23 ||
        p.minute > 59 || p.second > 59) {
        return std::nullopt;
    }
    return oleFromDateTime(p);
}

// Outlook's M/D/YYYY (its empty date is 0/0/00).
ReadDate slashedDate(std::string_view text) {
    int parts[3] = {0, 0, 0};
    int digits[3] = {0, 0, 0};
    int at = 0;
    for (char c : text) {
        if (c == '/' && at < 2) {
            ++at;
        } else if (isDigit(c) && digits[at] < 4) {
            parts[at] = parts[at] * 10 + (c - '0');
            ++digits[at];
        } else {
            return {ReadDate::NoDate};
        }
    }
    if (at != 2 || digits[0] == 0 || digits[1] == 0 || digits[2] == 0) {
        return {ReadDate::NoDate};
    }
    if (parts[0] == 0 && parts[1] == 0 && parts[2] == 0) {
        return {ReadDate::Empty};
    }
    if (digits[2] != 4) {
        return {ReadDate::NoDate};  // a two-digit year says no century
    }
    const auto ole = wholeDate({parts[2], parts[0], parts[1]});
    return ole ? ReadDate{ReadDate::Whole, *ole} : ReadDate{ReadDate::NoDate};
}

}  // namespace

ReadDate readDate(std::string_view raw, bool withTime) {
    const std::string text = trimmed(raw);
    if (text.empty()) {
        return {ReadDate::Empty};
    }
    if (text.find('/') != std::string::npos) {
        return slashedDate(text);
    }
    if (text.starts_with("--")) {  // --MMDD or --MM-DD: a day of the year
        std::string digits;
        for (char c : std::string_view(text).substr(2)) {
            if (isDigit(c)) {
                digits += c;
            } else if (c != '-') {
                return {ReadDate::NoDate};
            }
        }
        if (digits.size() != 4 ||
            !wholeDate({2000, std::stoi(digits.substr(0, 2)), std::stoi(digits.substr(2, 2))})) {
            return {ReadDate::NoDate};
        }
        return {ReadDate::NoYear, 0.0, std::stoi(digits.substr(0, 2)),
                std::stoi(digits.substr(2, 2))};
    }
    // The date's eight digits, then (from a "T" on) the time's, and a zone
    // ("Z", "+0100", "-05:00") that is not read.
    std::string digits;
    std::size_t i = 0;
    for (; i < text.size() && digits.size() < 8; ++i) {
        if (isDigit(text[i])) {
            digits += text[i];
        } else if (text[i] != '-') {
            return {ReadDate::NoDate};
        }
    }
    if (digits.size() < 8) {
        return {ReadDate::NoDate};
    }
    DateTimeParts p{std::stoi(digits.substr(0, 4)), std::stoi(digits.substr(4, 2)),
                    std::stoi(digits.substr(6, 2))};
    const std::string_view rest = std::string_view(text).substr(i);
    if (!rest.empty() && rest[0] != 'T' && rest[0] != 't' && rest[0] != ' ') {
        return {ReadDate::NoDate};
    }
    if (withTime && !rest.empty()) {
        std::string time;
        for (char c : rest.substr(1)) {
            if (isDigit(c) && time.size() < 6) {
                time += c;
            } else if (c != ':') {
                break;
            }
        }
        if (time.size() == 6) {
            p.hour = std::stoi(time.substr(0, 2));
            p.minute = std::stoi(time.substr(2, 2));
            p.second = std::stoi(time.substr(4, 2));
        }
    }
    const auto ole = wholeDate(p);
    return ole ? ReadDate{ReadDate::Whole, *ole} : ReadDate{ReadDate::NoDate};
}

bool startsWithNoCase(std::string_view text, std::string_view prefix) {
    if (text.size() < prefix.size()) {
        return false;
    }
    // ASCII case only: the names and keywords it compares are ASCII.
    auto fold = [](char c) { return c >= 'A' && c <= 'Z' ? static_cast<char>(c + 32) : c; };
    for (std::size_t i = 0; i < prefix.size(); ++i) {
        if (fold(text[i]) != fold(prefix[i])) {
            return false;
        }
    }
    return true;
}

std::string joined(const std::vector<std::string>& parts, std::string_view separator) {
    std::string out;
    for (const std::string& part : parts) {
        if (!part.empty()) {
            out += (out.empty() ? "" : std::string(separator)) + part;
        }
    }
    return out;
}

namespace {

// The words of a text, letters and digits (any non-ASCII byte a letter), sorted.
std::vector<std::string> sortedWords(std::string_view text) {
    std::vector<std::string> out;
    std::string word;
    for (const char c : text) {
        if (std::isalnum(static_cast<unsigned char>(c)) || static_cast<unsigned char>(c) >= 0x80) {
            word += c;
        } else if (!word.empty()) {
            out.push_back(std::exchange(word, {}));
        }
    }
    if (!word.empty()) {
        out.push_back(word);
    }
    std::sort(out.begin(), out.end());
    return out;
}

std::vector<std::string> sortedWords(const std::vector<std::string>& parts) {
    std::string all;
    for (const std::string& part : parts) {
        all += part + " ";
    }
    return sortedWords(all);
}

}  // namespace

bool wordsWithin(std::string_view whole, const std::vector<std::string>& parts) {
    const std::vector<std::string> mine = sortedWords(whole);
    const std::vector<std::string> theirs = sortedWords(parts);
    return std::includes(theirs.begin(), theirs.end(), mine.begin(), mine.end());
}

bool onlySplits(std::string_view whole, const std::vector<std::string>& parts) {
    // Most cards: "Given Family" and N's two parts, settled without sorting.
    if (parts.size() >= 2 && whole.size() == parts[0].size() + parts[1].size() + 1 &&
        std::all_of(parts.begin() + 2, parts.end(),
                    [](const std::string& p) { return p.empty(); }) &&
        !parts[0].empty() && !parts[1].empty() &&
        ((whole.starts_with(parts[1]) && whole.ends_with(parts[0]) &&
          whole[parts[1].size()] == ' ') ||
         (whole.starts_with(parts[0]) && whole.ends_with(parts[1]) &&
          whole[parts[0].size()] == ' '))) {
        return true;
    }
    const std::vector<std::string> ofWhole = sortedWords(whole);
    const std::vector<std::string> ofParts = sortedWords(parts);
    return !ofParts.empty() && ofWhole == ofParts;
}

std::optional<std::string> fromCharset(std::string_view bytes, const std::string& charset) {
    iconv_t cd = ::iconv_open("UTF-8", charset.c_str());
    if (cd == reinterpret_cast<iconv_t>(-1)) {
        return std::nullopt;
    }
    std::string out(bytes.size() * 4 + 4, '\0');
    char* in = const_cast<char*>(bytes.data());
    std::size_t inLeft = bytes.size();
    char* to = out.data();
    std::size_t toLeft = out.size();
    const std::size_t done = ::iconv(cd, &in, &inLeft, &to, &toLeft);
    ::iconv_close(cd);
    if (done == static_cast<std::size_t>(-1) || inLeft != 0) {
        return std::nullopt;
    }
    out.resize(out.size() - toLeft);
    return out;
}

std::optional<std::string> fromUtf16(std::string_view bytes, bool bigEndian) {
    std::string out;
    out.reserve(bytes.size());
    auto unit = [&](std::size_t i) {
        const auto a = static_cast<unsigned char>(bytes[i]);
        const auto b = static_cast<unsigned char>(bytes[i + 1]);
        return static_cast<char32_t>(bigEndian ? (a << 8) | b : (b << 8) | a);
    };
    if (bytes.size() % 2 != 0) {
        return std::nullopt;
    }
    for (std::size_t i = 0; i < bytes.size(); i += 2) {
        char32_t c = unit(i);
        if (c >= 0xD800 && c <= 0xDBFF && i + 3 < bytes.size() && unit(i + 2) >= 0xDC00 &&
            unit(i + 2) <= 0xDFFF) {
            c = 0x10000 + ((c - 0xD800) << 10) + (unit(i + 2) - 0xDC00);
            i += 2;
        } else if (c >= 0xD800 && c <= 0xDFFF) {
            return std::nullopt;
        }
        if (c < 0x80) {
            out += static_cast<char>(c);
        } else if (c < 0x800) {
            out += static_cast<char>(0xC0 | (c >> 6));
            out += static_cast<char>(0x80 | (c & 0x3F));
        } else if (c < 0x10000) {
            out += static_cast<char>(0xE0 | (c >> 12));
            out += static_cast<char>(0x80 | ((c >> 6) & 0x3F));
            out += static_cast<char>(0x80 | (c & 0x3F));
        } else {
            out += static_cast<char>(0xF0 | (c >> 18));
            out += static_cast<char>(0x80 | ((c >> 12) & 0x3F));
            out += static_cast<char>(0x80 | ((c >> 6) & 0x3F));
            out += static_cast<char>(0x80 | (c & 0x3F));
        }
    }
    return out;
}

int hexValue(char c) {
    return c >= '0' && c <= '9'   ? c - '0'
           : c >= 'a' && c <= 'f' ? c - 'a' + 10
           : c >= 'A' && c <= 'F' ? c - 'A' + 10
                                  : -1;
}

std::string percentDecoded(std::string_view text, char slashAs) {
    std::string out;
    for (std::size_t i = 0; i < text.size(); ++i) {
        if (text[i] == '%' && i + 2 < text.size() && hexValue(text[i + 1]) >= 0 &&
            hexValue(text[i + 2]) >= 0) {
            out += static_cast<char>(hexValue(text[i + 1]) * 16 + hexValue(text[i + 2]));
            i += 2;
        } else {
            out += text[i] == '/' ? slashAs : text[i];
        }
    }
    return out;
}

std::string quoted(std::string_view value) {
    constexpr int kShown = 60;
    std::size_t end = 0;
    for (int characters = 0; end < value.size() && characters < kShown; ++characters) {
        ++end;
        while (end < value.size() && (static_cast<unsigned char>(value[end]) & 0xC0) == 0x80) {
            ++end;
        }
    }
    return "\"" + std::string(value.substr(0, end)) + (end < value.size() ? "…\"" : "\"");
}

std::string entryName(const std::string& family, const std::string& given) {
    return family.empty() ? given : given.empty() ? family : family + ", " + given;
}

std::string cityLine(const std::string& city, const std::string& region,
                     const std::string& postalCode, const std::string& country) {
    std::string line = city;
    auto add = [&line](const char* separator, const std::string& part) {
        if (!part.empty()) {
            line += (line.empty() ? "" : separator) + part;
        }
    };
    add(", ", region);
    add(" ", postalCode);
    add(", ", country);
    return line;
}

}  // namespace corvane::importing
