#pragma once

// The record of one address-book entry, exactly as it lies in a 3000-byte slot
// of the data file, and the 2000-byte record of the previous data format.
//
// The record keeps its slot's bytes: reading a slot is one copy, and a record
// read and written back unchanged is written back byte for byte. The
// accessors convert between those bytes and UTF-8 text or plain values.

#include <array>
#include <cstddef>
#include <cstdint>
#include <span>
#include <string>
#include <string_view>

namespace corvane {

// The 35 fields in slot order; the numbers are the fields' places in the
// record, which the editor's text boxes and the list columns refer to.
enum class Field : int {
    Title = 1,
    FullName,
    Nickname,
    PicturePath,
    HomeAddress1,
    HomeAddress2,
    HomeCityStateZip,
    HomeEmail,
    HomeWebPage,
    HomePhone,
    HomeFax,
    HomePager,
    HomeCell1,
    HomeCell2,
    HomeOtherPhone,
    HomeOtherInfo,
    WorkAddress1,
    WorkAddress2,
    WorkCityStateZip,
    WorkEmail,
    WorkWebPage,
    WorkPhone,
    WorkFax,
    WorkPager,
    WorkCell1,
    WorkCell2,
    WorkOtherPhone,
    WorkOtherInfo,
    Comments,
    Birthday,
    Anniversary,
    Affiliations,
    CreatorVersion,
    Created,
    LastModified,
};

// The home and the business halves of an entry: the same twelve kinds of
// field on each side.
struct AddressSide {
    Field address1, address2, cityStateZip, email, webPage, phone, fax, pager, cell1, cell2,
        otherPhone, otherInfo;
};
inline constexpr AddressSide kHomeSide{
    Field::HomeAddress1, Field::HomeAddress2, Field::HomeCityStateZip, Field::HomeEmail,
    Field::HomeWebPage,  Field::HomePhone,    Field::HomeFax,          Field::HomePager,
    Field::HomeCell1,    Field::HomeCell2,    Field::HomeOtherPhone,   Field::HomeOtherInfo};
inline constexpr AddressSide kWorkSide{
    Field::WorkAddress1, Field::WorkAddress2, Field::WorkCityStateZip, Field::WorkEmail,
    Field::WorkWebPage,  Field::WorkPhone,    Field::WorkFax,          Field::WorkPager,
    Field::WorkCell1,    Field::WorkCell2,    Field::WorkOtherPhone,   Field::WorkOtherInfo};

enum class FieldKind { Text, Date, Byte };

struct FieldInfo {
    std::string_view name;  // the field's name, as the export writes it
    FieldKind kind;
    int width;   // bytes in the slot
    int offset;  // first byte inside the slot
};

inline constexpr int kFieldCount = 35;

// Layout of `field`: name, kind, width and offset.
const FieldInfo& fieldInfo(Field field);

// The name that marks a record as deleted until the next compaction.
inline constexpr std::string_view kKilledMarker = "$Killed$";

// Removes leading and trailing blanks (0x20 only; tabs and line breaks stay).
std::string_view trimSpaces(std::string_view text);

class ContactRecord {
  public:
    static constexpr std::size_t kSize = 3000;
    using Bytes = std::array<std::uint8_t, kSize>;

    // A cleared record: texts all spaces, dates 0, the byte 0.
    ContactRecord();

    void clear();

    // The text of a text field, decoded to UTF-8, with leading and trailing
    // spaces removed. Empty for a field that is not text.
    std::string text(Field field) const;

    // The stored bytes of a text field (Windows-1252), padding and all; a
    // view into the record. Empty for a field that is not text.
    std::string_view fieldBytes(Field field) const;

    // The stored bytes of a text field (Windows-1252) with leading and
    // trailing spaces removed; a view into the record. Empty for a field that
    // is not text.
    std::string_view rawText(Field field) const;

    // Stores `value` (UTF-8) left-aligned: leading and trailing spaces removed,
    // cut to the field's width, padded with spaces. Each character takes one
    // byte; one the code page cannot hold is stored as '?'. Ignored for a field
    // that is not text.
    void setText(Field field, std::string_view value);

    // True when `value` would be stored whole: every character has its own
    // byte and the trimmed text fits the width.
    static bool fitsWhole(Field field, std::string_view value);

    // A date field's OLE Automation value (days since 30 December 1899; 0 is
    // no date). 0 for a field that is not a date.
    double date(Field field) const;
    void setDate(Field field, double value);

    std::uint8_t creatorVersion() const { return m_bytes[2983]; }
    void setCreatorVersion(std::uint8_t version) { m_bytes[2983] = version; }

    // True when the trimmed name is exactly the deletion marker.
    bool isKilled() const;

    // The slot's bytes, in field order at the fields' offsets.
    const Bytes& encode() const { return m_bytes; }
    static ContactRecord decode(std::span<const std::uint8_t, kSize> bytes);

    // The bytes a cleared record has at `offset` inside the slot (a space in a
    // text field, 0 elsewhere): what stands in for bytes beyond a file's end.
    static std::uint8_t blankByteAt(std::size_t offset);

    friend bool operator==(const ContactRecord&, const ContactRecord&) = default;

  private:
    Bytes m_bytes;
};

// The fields of the previous data format's record, in slot order.
enum class OldField : int {
    Name = 1,
    Affiliation,
    Address1,
    Address2,
    CityStateZip,
    HomePhone,
    WorkPhone,
    Fax,
    Cell,
    Pager,
    Email,
    WebPage,
    OtherInfo,
    Comments,
};

// The previous format's 2000-byte record: all text, same encoding and
// padding. It is only ever read, to be converted.
class OldContactRecord {
  public:
    static constexpr std::size_t kSize = 2000;

    OldContactRecord();
    static OldContactRecord decode(std::span<const std::uint8_t, kSize> bytes);

    // The field's text decoded to UTF-8, leading and trailing spaces removed.
    std::string text(OldField field) const;

  private:
    std::array<std::uint8_t, kSize> m_bytes;
};

}  // namespace corvane
