#include <algorithm>
#include <cctype>

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

// YYYYMMDD, YYYY-MM-DD (a time after it is ignored), or the same with a
// time (REV, X-CORVANE-CREATED): the OLE value, or nothing.
std::optional<double> parseDate(std::string_view text, bool withTime) {
    std::string digits;
    for (char c : text) {
        if (std::isdigit(static_cast<unsigned char>(c))) {
            digits += c;
        } else if (c != '-' && c != ':' && c != 'T' && c != 'Z' && c != ' ') {
            return std::nullopt;
        }
    }
    if (digits.size() < 8) {
        return std::nullopt;
    }
    DateTimeParts p;
    p.year = std::stoi(digits.substr(0, 4));
    p.month = std::stoi(digits.substr(4, 2));
    p.day = std::stoi(digits.substr(6, 2));
    if (withTime && digits.size() >= 14) {
        p.hour = std::stoi(digits.substr(8, 2));
        p.minute = std::stoi(digits.substr(10, 2));
        p.second = std::stoi(digits.substr(12, 2));
    }
    static constexpr int kDays[] = {31, 29, 31, 30, 31, 30, 31, 31, 30, 31, 30, 31};
    const bool leap = (p.year % 4 == 0 && p.year % 100 != 0) || p.year % 400 == 0;
    if (p.year < 100 || p.year > 9999 || p.month < 1 || p.month > 12 || p.day < 1 ||
        p.day > kDays[p.month - 1] || (p.month == 2 && p.day == 29 && !leap) || p.hour > 23 ||
        p.minute > 59 || p.second > 59) {
        return std::nullopt;
    }
    return oleFromDateTime(p);
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
