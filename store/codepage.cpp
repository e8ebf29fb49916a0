#include "codepage.h"

#include <array>
#include <cstdint>

namespace corvane::cp1252 {
namespace {

// The byte for `cp`, or -1 when Windows-1252 has none.
int fromUnicode(char32_t cp) {
    if (cp < 0x80 || (cp >= 0xA0 && cp <= 0xFF)) {
        return static_cast<int>(cp);
    }
    for (std::size_t i = 0; i < kHighCharacters.size(); ++i) {
        if (kHighCharacters[i] == cp) {
            return static_cast<int>(0x80 + i);
        }
    }
    return -1;
}

void appendUtf8(std::string& out, char32_t cp) {
    if (cp < 0x80) {
        out += static_cast<char>(cp);
    } else if (cp < 0x800) {
        out += static_cast<char>(0xC0 | (cp >> 6));
        out += static_cast<char>(0x80 | (cp & 0x3F));
    } else {
        out += static_cast<char>(0xE0 | (cp >> 12));
        out += static_cast<char>(0x80 | ((cp >> 6) & 0x3F));
        out += static_cast<char>(0x80 | (cp & 0x3F));
    }
}

// Reads one UTF-8 character at `pos` and advances past it. A malformed
// sequence yields U+FFFD for its first byte only.
char32_t nextCodePoint(std::string_view s, std::size_t& pos) {
    const auto lead = static_cast<unsigned char>(s[pos]);
    int length = 0;
    char32_t cp = 0;
    if (lead < 0x80) {
        ++pos;
        return lead;
    } else if ((lead & 0xE0) == 0xC0) {
        length = 2;
        cp = lead & 0x1F;
    } else if ((lead & 0xF0) == 0xE0) {
        length = 3;
        cp = lead & 0x0F;
    } else if ((lead & 0xF8) == 0xF0) {
        length = 4;
        cp = lead & 0x07;
    } else {
        ++pos;
        return 0xFFFD;
    }
    if (pos + length > s.size()) {
        ++pos;
        return 0xFFFD;
    }
    for (int i = 1; i < length; ++i) {
        const auto next = static_cast<unsigned char>(s[pos + i]);
        if ((next & 0xC0) != 0x80) {
            ++pos;
            return 0xFFFD;
        }
        cp = (cp << 6) | (next & 0x3F);
    }
    static constexpr char32_t kSmallest[] = {0, 0, 0x80, 0x800, 0x10000};
    if (cp < kSmallest[length] || cp > 0x10FFFF || (cp >= 0xD800 && cp <= 0xDFFF)) {
        ++pos;
        return 0xFFFD;
    }
    pos += length;
    return cp;
}

}  // namespace

std::string decode(std::string_view bytes) {
    std::string out;
    out.reserve(bytes.size());
    for (char c : bytes) {
        appendUtf8(out, toUnicode(static_cast<unsigned char>(c)));
    }
    return out;
}

std::string_view utf8Of(unsigned char byte) {
    // Each byte's character, worked out once: at most three UTF-8 bytes.
    struct Table {
        std::array<std::array<char, 3>, 256> bytes{};
        std::array<std::uint8_t, 256> lengths{};
        Table() {
            for (int b = 0; b < 256; ++b) {
                std::string one;
                appendUtf8(one, toUnicode(static_cast<unsigned char>(b)));
                std::copy(one.begin(), one.end(), bytes[b].begin());
                lengths[b] = static_cast<std::uint8_t>(one.size());
            }
        }
    };
    static const Table table;
    return {table.bytes[byte].data(), table.lengths[byte]};
}

std::string encode(std::string_view utf8) {
    std::string out;
    out.reserve(utf8.size());
    for (std::size_t pos = 0; pos < utf8.size();) {
        const int byte = fromUnicode(nextCodePoint(utf8, pos));
        out += byte < 0 ? '?' : static_cast<char>(byte);
    }
    return out;
}

bool canEncode(std::string_view utf8) {
    std::size_t pos = 0;
    while (pos < utf8.size() && static_cast<unsigned char>(utf8[pos]) < 0x80) {
        ++pos;  // ASCII, the most of most text
    }
    while (pos < utf8.size()) {
        if (fromUnicode(nextCodePoint(utf8, pos)) < 0) {
            return false;
        }
    }
    return true;
}

}  // namespace corvane::cp1252
