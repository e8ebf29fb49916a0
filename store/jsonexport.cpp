#include "jsonexport.h"

#include <array>
#include <cerrno>
#include <cmath>
#include <cstdio>
#include <cstring>
#include <string>
#include <system_error>
#include <vector>

#include "codepage.h"
#include "contactrecord.h"
#include "datafile.h"
#include "oledate.h"
#include "recordreader.h"

namespace corvane {
namespace {

// A record's line never exceeds this: every stored byte escaped to six
// characters, the 35 field names and the dates, with room to spare.
constexpr std::size_t kMaxLineSize = ContactRecord::kSize * 6 + 4096;

// What each stored byte becomes inside a JSON string: itself, its UTF-8
// character, or its escape, as jsonQuote() writes them. Worked out once.
struct JsonByte {
    char text[8];
    std::uint8_t length;
};
const std::array<JsonByte, 256>& jsonBytes() {
    static const std::array<JsonByte, 256> table = [] {
        std::array<JsonByte, 256> t{};
        for (int b = 0; b < 256; ++b) {
            std::string text;
            if (b >= 0x80) {
                text = cp1252::utf8Of(static_cast<unsigned char>(b));
            } else {
                const std::string quoted = jsonQuote(std::string(1, static_cast<char>(b)));
                text = quoted.substr(1, quoted.size() - 2);
            }
            std::copy(text.begin(), text.end(), t[b].text);
            t[b].length = static_cast<std::uint8_t>(text.size());
        }
        return t;
    }();
    return table;
}

// The text before each field's value: ,"Name":
const std::array<std::string, kFieldCount + 1>& fieldPrefixes() {
    static const std::array<std::string, kFieldCount + 1> prefixes = [] {
        std::array<std::string, kFieldCount + 1> p;
        for (int i = 1; i <= kFieldCount; ++i) {
            p[i] = ",\"" + std::string(fieldInfo(static_cast<Field>(i)).name) + "\":";
        }
        return p;
    }();
    return prefixes;
}

// True when none of the eight bytes in `word` needs more than itself inside
// a JSON string: none is 0x80 or above, below 0x20, a quote or a backslash.
bool standsForItself(std::uint64_t word) {
    constexpr std::uint64_t kOnes = 0x0101010101010101ULL;
    constexpr std::uint64_t kHighs = 0x8080808080808080ULL;
    auto hasZeroByte = [](std::uint64_t v) { return (v - kOnes) & ~v & kHighs; };
    const bool high = (word & kHighs) != 0;
    const bool control = ((word - 0x20 * kOnes) & ~word & kHighs) != 0;
    const bool quote = hasZeroByte(word ^ ('"' * kOnes)) != 0;
    const bool backslash = hasZeroByte(word ^ ('\\' * kOnes)) != 0;
    return !(high || control || quote || backslash);
}

// Writes into a buffer that is known to be large enough (kMaxLineSize).
class LineWriter {
  public:
    explicit LineWriter(char* start) : m_at(start) {}
    char* at() const { return m_at; }
    void put(char c) { *m_at++ = c; }
    void put(std::string_view text) {
        std::memcpy(m_at, text.data(), text.size());
        m_at += text.size();
    }
    // `value` in decimal, zero-padded to `width` digits; never negative here.
    void number(unsigned value, int width = 1) {
        char digits[12];
        int n = 0;
        do {
            digits[n++] = static_cast<char>('0' + value % 10);
            value /= 10;
        } while (value != 0 || n < width);
        while (n > 0) {
            *m_at++ = digits[--n];
        }
    }
    // A field's stored Windows-1252 bytes as a JSON string. Eight bytes at a
    // time that all stand for themselves (plain ASCII, as most text is) are
    // copied at once; the others go through the table.
    void text(std::string_view bytes) {
        const auto& table = jsonBytes();
        *m_at++ = '"';
        const char* p = bytes.data();
        const char* const end = p + bytes.size();
        while (p < end) {
            std::uint64_t word = 0;
            if (end - p >= 8 && (std::memcpy(&word, p, 8), standsForItself(word))) {
                std::memcpy(m_at, p, 8);
                m_at += 8;
                p += 8;
                continue;
            }
            const JsonByte& b = table[static_cast<unsigned char>(*p++)];
            std::memcpy(m_at, b.text, sizeof b.text);  // the buffer has room to spare
            m_at += b.length;
        }
        *m_at++ = '"';
    }
    // "YYYY-MM-DDTHH:MM:SS", quotes included.
    void date(const DateTimeParts& p) {
        put('"');
        m_at = writeIsoDateTime(p, m_at);
        put('"');
    }

  private:
    char* m_at;
};

// One record as a JSON object, written into `buffer` (kMaxLineSize bytes);
// returns its length. A date that cannot be a date is written as null and
// named in `problems`. The buffer is reused from record to record, so a
// whole export makes no string per field.
std::size_t writeRecordLine(char* buffer, const ContactRecord& record, int number,
                            std::vector<std::string>& problems) {
    const auto& prefixes = fieldPrefixes();
    LineWriter w(buffer);
    w.put("{\"RecordNumber\":");
    w.number(static_cast<unsigned>(number));
    for (int i = 1; i <= kFieldCount; ++i) {
        const auto field = static_cast<Field>(i);
        const FieldInfo& info = fieldInfo(field);
        w.put(prefixes[i]);
        switch (info.kind) {
            case FieldKind::Text:
                w.text(record.rawText(field));
                break;
            case FieldKind::Byte:
                w.number(record.creatorVersion());
                break;
            case FieldKind::Date: {
                if (const auto parts = exportedDate(record, field, number, problems)) {
                    w.date(*parts);
                } else {
                    w.put("null");
                }
                break;
            }
        }
    }
    w.put("}\n");
    return static_cast<std::size_t>(w.at() - buffer);
}

}  // namespace

std::string jsonQuote(std::string_view text) {
    std::string out = "\"";
    for (char c : text) {
        switch (c) {
            case '"':
                out += "\\\"";
                break;
            case '\\':
                out += "\\\\";
                break;
            case '\n':
                out += "\\n";
                break;
            case '\r':
                out += "\\r";
                break;
            case '\t':
                out += "\\t";
                break;
            default:
                if (static_cast<unsigned char>(c) < 0x20) {
                    char escaped[8];
                    std::snprintf(escaped, sizeof escaped, "\\u%04x", c);
                    out += escaped;
                } else {
                    out += c;
                }
        }
    }
    out += '"';
    return out;
}

int exportJsonLines(FileSystem& fs, const std::string& dataPath, std::ostream& out,
                    std::ostream& err, const std::set<int>* only) {
    std::vector<char> line(kMaxLineSize);
    return exportRecords(
        fs, dataPath, out, err,
        [&](const ContactRecord& record, int number, std::ostream& to,
            std::vector<std::string>& problems) {
            const std::size_t size = writeRecordLine(line.data(), record, number, problems);
            to.write(line.data(), static_cast<std::streamsize>(size));
        },
        only);
}

}  // namespace corvane
