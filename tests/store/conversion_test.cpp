#include "conversion.h"

#include <gtest/gtest.h>

#include <cstring>

#include "faultyfilesystem.h"
#include "storetestdata.h"
#include "testsupport.h"

namespace corvane {
namespace {

using test::Bytes;
using test::readFile;
using test::writeFile;

// One previous-format slot with the given fields at their offsets.
struct OldSlot {
    Bytes bytes = Bytes(2000, ' ');
    OldSlot& put(int offset, const std::string& text) {
        std::memcpy(bytes.data() + offset, text.data(), text.size());
        return *this;
    }
};

OldSlot fullOldSlot(const std::string& homePhone, const std::string& workPhone) {
    OldSlot slot;
    slot.put(0, "Doe, Jane")
        .put(75, "Chess club")
        .put(125, "1 Main St")
        .put(175, "Apt 2")
        .put(225, "Springfield")
        .put(275, homePhone)
        .put(295, workPhone)
        .put(315, "555-0003")
        .put(335, "555-0004")
        .put(355, "555-0005")
        .put(375, "jane@example.org")
        .put(425, "www.example.org")
        .put(475, "  other info  ")
        .put(575, "A comment");
    return slot;
}

ContactRecord convertOne(const OldSlot& slot) {
    test::TempDir dir;
    writeFile(dir.file("Corvane.Dat"), slot.bytes);
    DataFile store(realFileSystem(), dir.path().string());
    const ConversionResult result = ConvertOldDataFile(store, [] { return 46000.25; });
    EXPECT_TRUE(result.status.ok()) << result.status.message();
    const Bytes data = readFile(dir.file("Corvane.Data"));
    EXPECT_EQ(data.size(), 3000u);
    return ContactRecord::decode(std::span<const std::uint8_t, 3000>(data.data(), 3000));
}

TEST(Conversion, AnEntryWithOnlyABusinessPhoneGoesToTheBusinessSide) {
    const ContactRecord r = convertOne(fullOldSlot("", "555-0002"));
    EXPECT_EQ(r.text(Field::FullName), "Doe, Jane");
    EXPECT_EQ(r.text(Field::WorkAddress1), "1 Main St");
    EXPECT_EQ(r.text(Field::WorkAddress2), "Apt 2");
    EXPECT_EQ(r.text(Field::WorkCityStateZip), "Springfield");
    EXPECT_EQ(r.text(Field::WorkEmail), "jane@example.org");
    EXPECT_EQ(r.text(Field::WorkWebPage), "www.example.org");
    EXPECT_EQ(r.text(Field::WorkPhone), "555-0002");
    EXPECT_EQ(r.text(Field::WorkFax), "555-0003");
    EXPECT_EQ(r.text(Field::WorkCell1), "555-0004");
    EXPECT_EQ(r.text(Field::WorkPager), "555-0005");
    EXPECT_EQ(r.text(Field::WorkOtherInfo), "other info");
    for (Field home : {Field::HomeAddress1, Field::HomeEmail, Field::HomePhone, Field::HomeFax,
                       Field::HomeCell1, Field::HomePager, Field::HomeOtherInfo}) {
        EXPECT_EQ(r.text(home), "") << fieldInfo(home).name;
    }
    EXPECT_EQ(r.text(Field::Affiliations), "Chess club");
    EXPECT_EQ(r.text(Field::Comments), "A comment");
}

TEST(Conversion, BothPhonesOrNeitherGoToTheHomeSide) {
    for (const auto& [home, work] :
         {std::pair{"555-0001", "555-0002"}, std::pair{"", ""}, std::pair{"555-0001", ""}}) {
        SCOPED_TRACE(std::string(home) + "/" + work);
        const ContactRecord r = convertOne(fullOldSlot(home, work));
        EXPECT_EQ(r.text(Field::HomeAddress1), "1 Main St");
        EXPECT_EQ(r.text(Field::HomeCityStateZip), "Springfield");
        EXPECT_EQ(r.text(Field::HomeEmail), "jane@example.org");
        EXPECT_EQ(r.text(Field::HomeFax), "555-0003");
        EXPECT_EQ(r.text(Field::HomeCell1), "555-0004");
        EXPECT_EQ(r.text(Field::HomePager), "555-0005");
        EXPECT_EQ(r.text(Field::HomeOtherInfo), "other info");
        EXPECT_EQ(r.text(Field::HomePhone), home);
        EXPECT_EQ(r.text(Field::WorkPhone), work);
        EXPECT_EQ(r.text(Field::WorkAddress1), "");
        EXPECT_EQ(r.text(Field::WorkFax), "");
    }
}

TEST(Conversion, StampsVersionAndDatesAndLeavesTheRestBlank) {
    const ContactRecord r = convertOne(fullOldSlot("555-0001", ""));
    EXPECT_EQ(r.creatorVersion(), 8);
    EXPECT_EQ(r.date(Field::Created), 46000.25);
    EXPECT_EQ(r.date(Field::LastModified), 46000.25);
    EXPECT_EQ(r.date(Field::Birthday), 0.0);
    EXPECT_EQ(r.date(Field::Anniversary), 0.0);
    for (Field f : {Field::Title, Field::Nickname, Field::PicturePath, Field::HomeCell2,
                    Field::HomeOtherPhone, Field::WorkCell2, Field::WorkOtherPhone}) {
        EXPECT_EQ(r.text(f), "") << fieldInfo(f).name;
    }
}

TEST(Conversion, LongCommentsAreCutToTheNewWidthAfterTrimming) {
    OldSlot slot;
    slot.put(0, "Long");
    slot.put(575, "   " + std::string(1200, 'c'));
    const ContactRecord r = convertOne(slot);
    EXPECT_EQ(r.text(Field::Comments), std::string(1097, 'c'));
}

TEST(Conversion, EveryRecordInOrderAndTheOldFileUntouched) {
    test::TempDir dir;
    Bytes old;
    for (const char* name : {"First", "Second", "Third"}) {
        OldSlot slot;
        slot.put(0, name);
        old.insert(old.end(), slot.bytes.begin(), slot.bytes.end());
    }
    writeFile(dir.file("Corvane.Dat"), old);
    DataFile store(realFileSystem(), dir.path().string());
    double clock = 46000.0;
    int reads = 0;
    const ConversionResult result = ConvertOldDataFile(store, [&] {
        ++reads;
        return clock += 0.00001;
    });
    ASSERT_TRUE(result.status.ok());
    EXPECT_EQ(result.recordsConverted, 3);
    EXPECT_EQ(store.RecordCount(), 3);
    EXPECT_EQ(reads, 6);  // the clock is read for each stamp
    const Bytes data = readFile(dir.file("Corvane.Data"));
    EXPECT_EQ(data.size(), 9000u);
    EXPECT_EQ(test::namesIn(data), (std::vector<std::string>{"First", "Second", "Third"}));
    EXPECT_EQ(readFile(dir.file("Corvane.Dat")), old);
    EXPECT_FALSE(test::fileExists(dir.file("TempFile.Data")));
}

TEST(Conversion, NeverOverwritesAnExistingDataFile) {
    test::TempDir dir;
    writeFile(dir.file("Corvane.Dat"), OldSlot().put(0, "Old").bytes);
    const Bytes existing = test::slotsOf({"Current"});
    writeFile(dir.file("Corvane.Data"), existing);
    DataFile store(realFileSystem(), dir.path().string());
    const ConversionResult result = ConvertOldDataFile(store, [] { return 1.0; });
    EXPECT_EQ(result.status.error, StoreError::AlreadyExists);
    EXPECT_EQ(readFile(dir.file("Corvane.Data")), existing);
}

TEST(Conversion, AMissingOldFileIsReportedAndCreatesNothing) {
    test::TempDir dir;
    DataFile store(realFileSystem(), dir.path().string());
    const ConversionResult result = ConvertOldDataFile(store, [] { return 1.0; });
    EXPECT_EQ(result.status.error, StoreError::Io);
    EXPECT_EQ(result.status.fileName, dir.file("Corvane.Dat"));
    EXPECT_EQ(result.status.reason, "No such file or directory");
    EXPECT_FALSE(test::fileExists(dir.file("Corvane.Data")));
    EXPECT_FALSE(test::fileExists(dir.file("TempFile.Data")));
}

}  // namespace
}  // namespace corvane

namespace corvane {
namespace {

TEST(ConversionOfRaggedFiles, APartialLastRecordIsConvertedNotDropped) {
    const struct {
        std::size_t length;
        std::vector<std::string> names;
    } cases[] = {{500, {"Tail"}}, {2999, {"First", "Tail"}}, {4000, {"First", "Tail"}}};
    for (const auto& c : cases) {
        SCOPED_TRACE(c.length);
        test::TempDir dir;
        Bytes old(c.length, ' ');
        const std::string first = c.names.front();
        std::memcpy(old.data(), first.data(), first.size());
        if (c.names.size() > 1) {
            std::memcpy(old.data() + 2000, "Tail", 4);
        }
        writeFile(dir.file("Corvane.Dat"), old);
        DataFile store(realFileSystem(), dir.path().string());
        const ConversionResult result = ConvertOldDataFile(store, [] { return 46000.0; });
        ASSERT_TRUE(result.status.ok()) << result.status.message();
        EXPECT_EQ(result.recordsConverted, static_cast<int>(c.names.size()));
        EXPECT_EQ(test::namesIn(readFile(dir.file("Corvane.Data"))), c.names);
    }
}

TEST(ConversionRace, ADataFileThatAppearsMeanwhileIsNeverReplaced) {
    test::TempDir dir;
    writeFile(dir.file("Corvane.Dat"), Bytes(2000, 'x'));
    test::FaultyFileSystem fs;
    const Bytes theirs = test::slotsOf({"Made meanwhile"});
    fs.beforeRename = [&] { writeFile(dir.file("Corvane.Data"), theirs); };
    DataFile store(fs, dir.path().string());
    const ConversionResult result = ConvertOldDataFile(store, [] { return 46000.0; });
    EXPECT_EQ(result.status.error, StoreError::AlreadyExists);
    EXPECT_EQ(readFile(dir.file("Corvane.Data")), theirs);
    EXPECT_FALSE(test::fileExists(dir.file("TempFile.Data")));
}

}  // namespace
}  // namespace corvane
