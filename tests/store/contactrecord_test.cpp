#include "contactrecord.h"

#include <gtest/gtest.h>

#include <cstring>
#include <string>

namespace corvane {
namespace {

std::string slotText(const ContactRecord& record, int offset, int width) {
    return std::string(reinterpret_cast<const char*>(record.encode().data() + offset), width);
}

double slotDate(const ContactRecord& record, int offset) {
    double value = 0;
    std::memcpy(&value, record.encode().data() + offset, sizeof value);
    return value;
}

TEST(ContactRecordLayout, EveryFieldSitsAtItsOffsetWithItsWidth) {
    // The slot layout of the data file, as the earlier releases wrote it.
    const struct {
        Field field;
        const char* name;
        int offset, width;
    } expected[] = {
        {Field::Title, "Title", 0, 7},
        {Field::FullName, "FullName", 7, 75},
        {Field::Nickname, "Nickname", 82, 24},
        {Field::PicturePath, "PicturePath", 106, 100},
        {Field::HomeEmail, "HomeEmail", 356, 50},
        {Field::HomePhone, "HomePhone", 456, 22},
        {Field::HomeOtherInfo, "HomeOtherInfo", 588, 300},
        {Field::WorkAddress1, "WorkAddress1", 888, 50},
        {Field::WorkOtherPhone, "WorkOtherPhone", 1248, 22},
        {Field::WorkOtherInfo, "WorkOtherInfo", 1270, 300},
        {Field::Comments, "Comments", 1570, 1097},
        {Field::Birthday, "Birthday", 2667, 8},
        {Field::Anniversary, "Anniversary", 2675, 8},
        {Field::Affiliations, "Affiliations", 2683, 300},
        {Field::CreatorVersion, "CreatorVersion", 2983, 1},
        {Field::Created, "Created", 2984, 8},
        {Field::LastModified, "LastModified", 2992, 8},
    };
    for (const auto& e : expected) {
        SCOPED_TRACE(e.name);
        EXPECT_EQ(fieldInfo(e.field).name, e.name);
        EXPECT_EQ(fieldInfo(e.field).offset, e.offset);
        EXPECT_EQ(fieldInfo(e.field).width, e.width);
    }
}

TEST(ContactRecordLayout, EachTextLandsInItsOwnBytesOnly) {
    // Writing a distinct letter into every text field in turn must change
    // exactly that field's bytes and nothing around it.
    for (int i = 1; i <= kFieldCount; ++i) {
        const auto field = static_cast<Field>(i);
        const FieldInfo& info = fieldInfo(field);
        if (info.kind != FieldKind::Text) {
            continue;
        }
        SCOPED_TRACE(std::string(info.name));
        ContactRecord record;
        record.setText(field, std::string(info.width, 'x'));
        const auto& bytes = record.encode();
        const ContactRecord blank;
        for (int b = 0; b < static_cast<int>(ContactRecord::kSize); ++b) {
            const bool inside = b >= info.offset && b < info.offset + info.width;
            EXPECT_EQ(bytes[b], inside ? 'x' : blank.encode()[b]) << "byte " << b;
        }
    }
}

TEST(ContactRecordLayout, DatesAndTheCreatorByteAreLittleEndianAtOddOffsets) {
    ContactRecord record;
    record.setDate(Field::Birthday, 20000.5);
    record.setCreatorVersion(8);
    record.setDate(Field::Created, 45658.25);
    const auto& bytes = record.encode();
    EXPECT_EQ(slotDate(record, 2667), 20000.5);
    EXPECT_EQ(bytes[2983], 8);
    EXPECT_EQ(slotDate(record, 2984), 45658.25);
    // 1.0 as a little-endian double: the exponent is in the last two bytes.
    record.setDate(Field::LastModified, 1.0);
    EXPECT_EQ(bytes[2992], 0x00);
    EXPECT_EQ(bytes[2998], 0xF0);
    EXPECT_EQ(bytes[2999], 0x3F);
}

TEST(ContactRecordText, AClearedRecordIsSpacesAndZeros) {
    ContactRecord record;
    record.setText(Field::FullName, "Someone");
    record.setDate(Field::Anniversary, 3.0);
    record.setCreatorVersion(8);
    record.clear();
    EXPECT_EQ(slotText(record, 0, 2667), std::string(2667, ' '));
    EXPECT_EQ(slotText(record, 2683, 300), std::string(300, ' '));
    for (int b : {2667, 2674, 2675, 2682, 2983, 2984, 2999}) {
        EXPECT_EQ(record.encode()[b], 0) << "byte " << b;
    }
}

TEST(ContactRecordText, LongValuesAreCutAndSpacesRemoved) {
    ContactRecord record;
    const std::string eighty(80, 'n');
    record.setText(Field::FullName, eighty);
    EXPECT_EQ(record.text(Field::FullName), std::string(75, 'n'));

    record.setText(Field::Nickname, "   Bob  ");
    EXPECT_EQ(slotText(record, 82, 24), "Bob" + std::string(21, ' '));
    EXPECT_EQ(record.text(Field::Nickname), "Bob");

    record.setText(Field::Title, "     ");
    EXPECT_EQ(record.text(Field::Title), "");
}

TEST(ContactRecordText, OnlyBlanksAreTrimmedNotTabsOrLineBreaks) {
    ContactRecord record;
    record.setText(Field::Comments, "\tfirst line\r\nsecond line\r\n");
    EXPECT_EQ(record.text(Field::Comments), "\tfirst line\r\nsecond line\r\n");
    EXPECT_EQ(slotText(record, 1570, 26), "\tfirst line\r\nsecond line\r\n");
}

TEST(ContactRecordText, CodePageCharactersRoundTripAndOthersBecomeQuestionMarks) {
    ContactRecord record;
    record.setText(Field::FullName, "Müller, José · “Pepe” €");
    EXPECT_EQ(record.text(Field::FullName), "Müller, José · “Pepe” €");
    EXPECT_EQ(slotText(record, 7, 6), "M\xFCller");

    // Each character is one byte, so the width counts characters.
    record.setText(Field::Title, "ÉÉÉÉÉÉÉÉÉ");
    EXPECT_EQ(record.text(Field::Title), "ÉÉÉÉÉÉÉ");

    record.setText(Field::Nickname, "Ωmega 😀!");
    EXPECT_EQ(record.text(Field::Nickname), "?mega ?!");
    EXPECT_FALSE(ContactRecord::fitsWhole(Field::Nickname, "Ωmega"));
    EXPECT_TRUE(ContactRecord::fitsWhole(Field::PicturePath, "/home/zoë/Bilder/Zoë.png"));
    EXPECT_FALSE(ContactRecord::fitsWhole(Field::PicturePath, "/" + std::string(100, 'p')));
}

TEST(ContactRecordText, EncodingAndDecodingGiveAnEqualRecord) {
    ContactRecord record;
    for (int i = 1; i <= kFieldCount; ++i) {
        record.setText(static_cast<Field>(i), "value " + std::to_string(i) + " é€");
    }
    record.setDate(Field::Birthday, -18159.0);  // 15 March 1850
    record.setDate(Field::Anniversary, 0.0);
    record.setCreatorVersion(8);
    record.setDate(Field::Created, 46000.123456);
    record.setDate(Field::LastModified, 46001.5);

    const ContactRecord copy = ContactRecord::decode(record.encode());
    EXPECT_EQ(copy, record);
    EXPECT_EQ(copy.text(Field::Affiliations), "value 32 é€");
    EXPECT_EQ(copy.date(Field::Birthday), -18159.0);
    EXPECT_EQ(copy.creatorVersion(), 8);
    EXPECT_EQ(copy.date(Field::LastModified), 46001.5);
}

TEST(ContactRecordText, OnlyTheExactMarkerMeansDeleted) {
    ContactRecord record;
    record.setText(Field::FullName, "  $Killed$ ");
    EXPECT_TRUE(record.isKilled());
    record.setText(Field::FullName, "$killed$");
    EXPECT_FALSE(record.isKilled());
    record.setText(Field::FullName, "$Killed$ Smith");
    EXPECT_FALSE(record.isKilled());
}

TEST(OldContactRecord, FieldsAreReadFromTheirOffsets) {
    std::array<std::uint8_t, OldContactRecord::kSize> bytes;
    bytes.fill(' ');
    auto put = [&](int offset, const std::string& text) {
        std::memcpy(bytes.data() + offset, text.data(), text.size());
    };
    put(0, "Doe, Jane");
    put(75, "Chess club");
    put(275, "555-1000");
    put(295, "555-2000");
    put(575, "  note");
    put(1999, "!");
    const auto old = OldContactRecord::decode(bytes);
    EXPECT_EQ(old.text(OldField::Name), "Doe, Jane");
    EXPECT_EQ(old.text(OldField::Affiliation), "Chess club");
    EXPECT_EQ(old.text(OldField::HomePhone), "555-1000");
    EXPECT_EQ(old.text(OldField::WorkPhone), "555-2000");
    EXPECT_EQ(old.text(OldField::Comments), "note" + std::string(1418, ' ') + "!");
}

}  // namespace
}  // namespace corvane
