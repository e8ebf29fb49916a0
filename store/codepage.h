#pragma once

// Conversion between the program's in-memory text (UTF-8) and the single-byte
// code page of the data file, Windows-1252, which is what the Windows releases
// wrote on Western systems.

#include <array>
#include <string>
#include <string_view>

namespace corvane::cp1252 {

// Unicode code points of the bytes 0x80 to 0x9F; the rest of the code page is
// identical to Latin-1. The undefined bytes map to themselves.
inline constexpr std::array<char32_t, 32> kHighCharacters = {
    0x20AC, 0x0081, 0x201A, 0x0192, 0x201E, 0x2026, 0x2020, 0x2021,  //
    0x02C6, 0x2030, 0x0160, 0x2039, 0x0152, 0x008D, 0x017D, 0x008F,  //
    0x0090, 0x2018, 0x2019, 0x201C, 0x201D, 0x2022, 0x2013, 0x2014,  //
    0x02DC, 0x2122, 0x0161, 0x203A, 0x0153, 0x009D, 0x017E, 0x0178};

// The Unicode code point of the Windows-1252 byte `byte`.
constexpr char32_t toUnicode(unsigned char byte) {
    return byte >= 0x80 && byte <= 0x9F ? kHighCharacters[byte - 0x80] : byte;
}

// Decodes Windows-1252 bytes to UTF-8. Every byte gives exactly one character;
// the five bytes Windows-1252 leaves undefined (0x81, 0x8D, 0x8F, 0x90, 0x9D)
// decode to the control characters of the same number, so that decoding and
// encoding again gives back the very same bytes.
std::string decode(std::string_view bytes);

// The UTF-8 bytes of the one character that the Windows-1252 byte `byte`
// decodes to: what decode() gives for it, without making a string.
std::string_view utf8Of(unsigned char byte);

// Encodes UTF-8 text to Windows-1252: one byte per character. A character the
// code page cannot hold (including one outside the Basic Multilingual Plane)
// becomes one '?'; so does each byte of a malformed UTF-8 sequence.
std::string encode(std::string_view utf8);

// True when every character of `utf8` has its own byte in Windows-1252, so
// that encode() keeps it whole.
bool canEncode(std::string_view utf8);

}  // namespace corvane::cp1252
