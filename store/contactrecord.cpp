#include "contactrecord.h"

#include <algorithm>
#include <bit>
#include <cstring>

#include "codepage.h"

namespace corvane {
namespace {

using K = FieldKind;

// Slot layout. The fields follow one another with no padding, so the first
// two dates start at odd offsets and the byte sits between two dates.
constexpr std::array<FieldInfo, kFieldCount> kFields = {{
    {"Title", K::Text, 7, 0},
    {"FullName", K::Text, 75, 7},
    {"Nickname", K::Text, 24, 82},
    {"PicturePath", K::Text, 100, 106},
    {"HomeAddress1", K::Text, 50, 206},
    {"HomeAddress2", K::Text, 50, 256},
    {"HomeCityStateZip", K::Text, 50, 306},
    {"HomeEmail", K::Text, 50, 356},
    {"HomeWebPage", K::Text, 50, 406},
    {"HomePhone", K::Text, 22, 456},
    {"HomeFax", K::Text, 22, 478},
    {"HomePager", K::Text, 22, 500},
    {"HomeCell1", K::Text, 22, 522},
    {"HomeCell2", K::Text, 22, 544},
    {"HomeOtherPhone", K::Text, 22, 566},
    {"HomeOtherInfo", K::Text, 300, 588},
    {"WorkAddress1", K::Text, 50, 888},
    {"WorkAddress2", K::Text, 50, 938},
    {"WorkCityStateZip", K::Text, 50, 988},
    {"WorkEmail", K::Text, 50, 1038},
    {"WorkWebPage", K::Text, 50, 1088},
    {"WorkPhone", K::Text, 22, 1138},
    {"WorkFax", K::Text, 22, 1160},
    {"WorkPager", K::Text, 22, 1182},
    {"WorkCell1", K::Text, 22, 1204},
    {"WorkCell2", K::Text, 22, 1226},
    {"WorkOtherPhone", K::Text, 22, 1248},
    {"WorkOtherInfo", K::Text, 300, 1270},
    {"Comments", K::Text, 1097, 1570},
    {"Birthday", K::Date, 8, 2667},
    {"Anniversary", K::Date, 8, 2675},
    {"Affiliations", K::Text, 300, 2683},
    {"CreatorVersion", K::Byte, 1, 2983},
    {"Created", K::Date, 8, 2984},
    {"LastModified", K::Date, 8, 2992},
}};

// The layout must tile the slot exactly; a slip in the table above fails the build.
constexpr bool layoutIsContiguous() {
    int next = 0;
    for (const FieldInfo& f : kFields) {
        if (f.offset != next) {
            return false;
        }
        next += f.width;
    }
    return next == static_cast<int>(ContactRecord::kSize);
}
static_assert(layoutIsContiguous());

struct OldFieldInfo {
    int width;
    int offset;
};

constexpr std::array<OldFieldInfo, 14> kOldFields = {{
    {75, 0},
    {50, 75},
    {50, 125},
    {50, 175},
    {50, 225},
    {20, 275},
    {20, 295},
    {20, 315},
    {20, 335},
    {20, 355},
    {50, 375},
    {50, 425},
    {100, 475},
    {1425, 575},
}};
static_assert(kOldFields.back().offset + kOldFields.back().width == OldContactRecord::kSize);

// A cleared slot, built once: what every new record and every missing byte is.
const ContactRecord::Bytes& blankSlot() {
    static const ContactRecord::Bytes blank = [] {
        ContactRecord::Bytes bytes{};
        for (const FieldInfo& f : kFields) {
            if (f.kind == K::Text) {
                std::memset(bytes.data() + f.offset, ' ', f.width);
            }
        }
        return bytes;
    }();
    return blank;
}

std::string readText(const std::uint8_t* start, int width) {
    const std::string_view raw(reinterpret_cast<const char*>(start), width);
    return cp1252::decode(trimSpaces(raw));
}

void writeText(std::uint8_t* start, int width, std::string_view value) {
    const std::string_view text = trimSpaces(value);
    // Plain ASCII, most text an import brings, is its own Windows-1252.
    const bool ascii = std::all_of(text.begin(), text.end(),
                                   [](char c) { return static_cast<unsigned char>(c) < 0x80; });
    const std::string encoded = ascii ? std::string() : cp1252::encode(text);
    const std::string_view bytes = ascii ? text : std::string_view(encoded);
    const std::size_t kept = std::min<std::size_t>(bytes.size(), width);
    std::memcpy(start, bytes.data(), kept);
    std::memset(start + kept, ' ', width - kept);
}

}  // namespace

const FieldInfo& fieldInfo(Field field) {
    return kFields[static_cast<int>(field) - 1];
}

std::string_view trimSpaces(std::string_view text) {
    // The fields are mostly padding, so the end is scanned 32 and then eight
    // bytes at a time: a find over the whole book trims some 85 MB of blanks.
    constexpr std::uint64_t kEightBlanks = 0x2020202020202020ull;
    std::size_t end = text.size();
    while (end >= 32) {
        std::uint64_t words[4];
        std::memcpy(words, text.data() + end - 32, 32);
        if (((words[0] ^ kEightBlanks) | (words[1] ^ kEightBlanks) | (words[2] ^ kEightBlanks) |
             (words[3] ^ kEightBlanks)) != 0) {
            break;
        }
        end -= 32;
    }
    while (end >= 8) {
        std::uint64_t word = 0;
        std::memcpy(&word, text.data() + end - 8, 8);
        if (word != kEightBlanks) {
            break;
        }
        end -= 8;
    }
    while (end > 0 && text[end - 1] == ' ') {
        --end;
    }
    std::size_t begin = 0;
    while (begin < end && text[begin] == ' ') {
        ++begin;
    }
    return text.substr(begin, end - begin);
}

ContactRecord::ContactRecord() : m_bytes(blankSlot()) {}

void ContactRecord::clear() {
    m_bytes = blankSlot();
}

std::string ContactRecord::text(Field field) const {
    const FieldInfo& f = fieldInfo(field);
    if (f.kind != K::Text) {
        return {};
    }
    return readText(m_bytes.data() + f.offset, f.width);
}

std::string_view ContactRecord::fieldBytes(Field field) const {
    const FieldInfo& f = fieldInfo(field);
    if (f.kind != K::Text) {
        return {};
    }
    return std::string_view(reinterpret_cast<const char*>(m_bytes.data() + f.offset), f.width);
}

std::string_view ContactRecord::rawText(Field field) const {
    return trimSpaces(fieldBytes(field));
}

void ContactRecord::setText(Field field, std::string_view value) {
    const FieldInfo& f = fieldInfo(field);
    if (f.kind == K::Text) {
        writeText(m_bytes.data() + f.offset, f.width, value);
    }
}

bool ContactRecord::fitsWhole(Field field, std::string_view value) {
    const FieldInfo& f = fieldInfo(field);
    const std::string_view trimmed = trimSpaces(value);
    return f.kind == K::Text && cp1252::canEncode(trimmed) &&
           cp1252::encode(trimmed).size() <= static_cast<std::size_t>(f.width);
}

double ContactRecord::date(Field field) const {
    const FieldInfo& f = fieldInfo(field);
    if (f.kind != K::Date) {
        return 0.0;
    }
    // The file is little-endian, as is every machine this program builds for.
    static_assert(std::endian::native == std::endian::little);
    double value = 0.0;
    std::memcpy(&value, m_bytes.data() + f.offset, sizeof value);
    return value;
}

void ContactRecord::setDate(Field field, double value) {
    const FieldInfo& f = fieldInfo(field);
    if (f.kind == K::Date) {
        std::memcpy(m_bytes.data() + f.offset, &value, sizeof value);
    }
}

bool ContactRecord::isKilled() const {
    return rawText(Field::FullName) == kKilledMarker;
}

ContactRecord ContactRecord::decode(std::span<const std::uint8_t, kSize> bytes) {
    ContactRecord record;
    std::memcpy(record.m_bytes.data(), bytes.data(), kSize);
    return record;
}

std::uint8_t ContactRecord::blankByteAt(std::size_t offset) {
    return blankSlot()[offset % kSize];
}

OldContactRecord::OldContactRecord() {
    m_bytes.fill(' ');
}

OldContactRecord OldContactRecord::decode(std::span<const std::uint8_t, kSize> bytes) {
    OldContactRecord record;
    std::memcpy(record.m_bytes.data(), bytes.data(), kSize);
    return record;
}

std::string OldContactRecord::text(OldField field) const {
    const OldFieldInfo& f = kOldFields[static_cast<int>(field) - 1];
    return readText(m_bytes.data() + f.offset, f.width);
}

}  // namespace corvane
