#pragma once

// Conversion between the program's in-memory text (UTF-8) and the single-byte
// code page of the data file, Windows-1252, which is what the Windows releases
// wrote on Western systems.

#include <string>
#include <string_view>

namespace corvane::cp1252 {

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
