#include "terminaltext.h"

#include <cstdio>

namespace corvane {

std::string shownOnTerminal(std::string_view utf8) {
    std::string shown;
    shown.reserve(utf8.size());
    auto hex = [&](unsigned value) {
        char escape[5];
        std::snprintf(escape, sizeof escape, "\\x%02x", value);
        shown += escape;
    };
    for (std::size_t i = 0; i < utf8.size(); ++i) {
        const auto byte = static_cast<unsigned char>(utf8[i]);
        if (byte == '\n') {
            shown += "\\n";
        } else if (byte == '\r') {
            shown += "\\r";
        } else if (byte == '\t') {
            shown += "\\t";
        } else if (byte < 0x20 || byte == 0x7F) {
            hex(byte);
        } else if (byte == 0xC2 && i + 1 < utf8.size() &&
                   static_cast<unsigned char>(utf8[i + 1]) >= 0x80 &&
                   static_cast<unsigned char>(utf8[i + 1]) <= 0x9F) {
            hex(static_cast<unsigned char>(utf8[++i]));  // U+0080 to U+009F
        } else {
            shown += utf8[i];
        }
    }
    return shown;
}

}  // namespace corvane
