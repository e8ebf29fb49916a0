// The vCard and CSV exports: escaping and folding as the RFCs say, the
// mapping of each field, and what a spreadsheet gets.

#include <gtest/gtest.h>

#include <set>
#include <sstream>

#include "csvexport.h"
#include "oledate.h"
#include "powercutfilesystem.h"
#include "recordexport.h"
#include "vcardexport.h"

namespace corvane {
namespace {

// Joins folded lines again, as a reader does (RFC 6350 3.2).
std::string unfold(const std::string& folded) {
    std::string out;
    for (std::size_t i = 0; i < folded.size(); ++i) {
        if (folded.compare(i, 3, "\r\n ") == 0) {
            i += 2;
        } else {
            out += folded[i];
        }
    }
    return out;
}

TEST(VCardText, IsEscapedAsTheRfcsSay) {
    EXPECT_EQ(vcardEscape("Smith, Jo; Esq."), "Smith\\, Jo\\; Esq.");
    EXPECT_EQ(vcardEscape("C:\\Pictures"), "C:\\\\Pictures");
    EXPECT_EQ(vcardEscape("one\r\ntwo\nthree\rfour"), "one\\ntwo\\nthree\\nfour");
    EXPECT_EQ(vcardEscape("Zoë Ørsted"), "Zoë Ørsted");
}

TEST(VCardText, LongLinesFoldAtSeventyFiveOctetsNeverInsideACharacter) {
    for (const std::string& unit : {std::string("a"), std::string("é"), std::string("€")}) {
        std::string line = "NOTE:";
        for (int i = 0; i < 200; ++i) {
            line += unit;
        }
        const std::string folded = foldLine(line);
        SCOPED_TRACE(unit);
        std::istringstream lines(folded);
        std::string each;
        while (std::getline(lines, each)) {
            ASSERT_FALSE(each.empty());
            EXPECT_EQ(each.back(), '\r');
            EXPECT_LE(each.size() - 1, 75u);
            // Each line is whole UTF-8: it does not start inside a character.
            const std::string body = each.front() == ' ' ? each.substr(1) : each;
            EXPECT_NE(static_cast<unsigned char>(body.front()) & 0xC0, 0x80);
        }
        EXPECT_EQ(unfold(folded), line + "\r\n");
    }
    EXPECT_EQ(foldLine("FN:Short"), "FN:Short\r\n");
}

ContactRecord fullEntry() {
    ContactRecord r;
    r.setText(Field::Title, "Dr.");
    r.setText(Field::FullName, "Müller, Anna");
    r.setText(Field::Nickname, "Annie");
    r.setText(Field::PicturePath, "/home/anna/Bilder/Anna 1.jpg");
    r.setText(Field::HomeAddress1, "12 Elm Street");
    r.setText(Field::HomeAddress2, "Apt. 3");
    r.setText(Field::HomeCityStateZip, "Portland, OR 97201");
    r.setText(Field::HomeEmail, "anna@example.org");
    r.setText(Field::HomeWebPage, "anna.example.org");
    r.setText(Field::HomePhone, "555-0101");
    r.setText(Field::HomeCell1, "555-0102");
    r.setText(Field::HomeOtherInfo, "Gate code 1234");
    r.setText(Field::WorkAddress1, "1 Main Square");
    r.setText(Field::WorkCityStateZip, "London SW1A 1AA");
    r.setText(Field::WorkPhone, "555-0200");
    r.setText(Field::WorkFax, "555-0201");
    r.setText(Field::WorkPager, "555-0202");
    r.setText(Field::Comments, "Met in Lyon; likes tea, not coffee.\r\nSecond line");
    r.setText(Field::Affiliations, "Choir\r\nRotary, Portland\r\n");
    r.setDate(Field::Birthday, oleFromDateTime({1967, 1, 28}));
    r.setDate(Field::Anniversary, oleFromDateTime({1990, 6, 2}));
    r.setDate(Field::Created, oleFromDateTime({2025, 12, 9, 12, 0, 0}));
    r.setDate(Field::LastModified, oleFromDateTime({2026, 12, 8, 9, 30, 5}));
    return r;
}

TEST(VCardExport, EveryFieldOfAnEntryInVersionFour) {
    std::vector<std::string> problems;
    const std::string card = vcardOf(fullEntry(), 1, VCardVersion::V4, problems);
    EXPECT_TRUE(problems.empty());
    const std::string expected =
        "BEGIN:VCARD\r\n"
        "VERSION:4.0\r\n"
        "PRODID:-//Corvane//Corvane 8//EN\r\n"
        "FN:Müller\\, Anna\r\n"
        "N:Müller;Anna;;Dr.;\r\n"
        "NICKNAME:Annie\r\n"
        "ADR;TYPE=home:;Apt. 3;12 Elm Street;Portland;OR;97201;\r\n"
        "TEL;TYPE=home,voice:555-0101\r\n"
        "TEL;TYPE=home,cell:555-0102\r\n"
        "EMAIL;TYPE=home:anna@example.org\r\n"
        "URL;TYPE=home;X-CORVANE-BARE=TRUE:http://anna.example.org\r\n"
        "X-CORVANE-HOME-OTHER-INFO:Gate code 1234\r\n"
        "ADR;TYPE=work:;;1 Main Square;London SW1A 1AA;;;\r\n"
        "TEL;TYPE=work,voice:555-0200\r\n"
        "TEL;TYPE=work,fax:555-0201\r\n"
        "TEL;TYPE=work,pager:555-0202\r\n"
        "BDAY:19670128\r\n"
        "ANNIVERSARY:19900602\r\n"
        "NOTE:Met in Lyon\\; likes tea\\, not coffee.\\nSecond line\r\n"
        "CATEGORIES:Choir,Rotary\\, Portland\r\n"
        "PHOTO:file:///home/anna/Bilder/Anna%201.jpg\r\n"
        "X-CORVANE-CREATOR-VERSION:0\r\n"
        "X-CORVANE-CREATED:20251209T120000\r\n"
        "REV:20261208T093005\r\n";
    ASSERT_GE(card.size(), expected.size());
    EXPECT_EQ(card.substr(0, expected.size()), expected);
    EXPECT_EQ(card.substr(expected.size(), 13), "UID:urn:uuid:");
    EXPECT_TRUE(card.ends_with("\r\nEND:VCARD\r\n"));
}

TEST(VCardExport, VersionThreeWritesDatesAndTheAnniversaryItsOwnWay) {
    std::vector<std::string> problems;
    const std::string card = vcardOf(fullEntry(), 1, VCardVersion::V3, problems);
    EXPECT_NE(card.find("VERSION:3.0\r\n"), std::string::npos);
    EXPECT_NE(card.find("BDAY:1967-01-28\r\n"), std::string::npos);
    EXPECT_NE(card.find("X-ANNIVERSARY:1990-06-02\r\n"), std::string::npos);
    EXPECT_EQ(card.find("\r\nANNIVERSARY"), std::string::npos);
    EXPECT_NE(card.find("PHOTO;VALUE=uri:file:///home/anna/Bilder/Anna%201.jpg\r\n"),
              std::string::npos);
    EXPECT_NE(card.find("REV:2026-12-08T09:30:05\r\n"), std::string::npos);
}

TEST(VCardExport, TheUidStaysWithTheEntryAndABusinessIsOneName) {
    std::vector<std::string> problems;
    auto uid = [&](const ContactRecord& r) {
        const std::string card = vcardOf(r, 1, VCardVersion::V4, problems);
        const auto at = card.find("UID:");
        return card.substr(at, card.find("\r\n", at) - at);
    };
    ContactRecord changed = fullEntry();
    changed.setText(Field::HomePhone, "555-9999");
    EXPECT_EQ(uid(fullEntry()), uid(changed));  // the same entry, edited
    ContactRecord other = fullEntry();
    other.setText(Field::FullName, "Müller, Berta");
    EXPECT_NE(uid(fullEntry()), uid(other));

    ContactRecord business;
    business.setText(Field::FullName, "Dunmore Hardware");
    business.setDate(Field::Birthday, std::numeric_limits<double>::quiet_NaN());
    const std::string card = vcardOf(business, 7, VCardVersion::V4, problems);
    EXPECT_NE(card.find("FN:Dunmore Hardware\r\nN:Dunmore Hardware;;;;\r\n"), std::string::npos);
    EXPECT_EQ(card.find("BDAY"), std::string::npos);
    ASSERT_EQ(problems.size(), 1u);
    EXPECT_EQ(problems[0], "record 7: Birthday holds nan, which is not a date");
}

// A picture path as a URI other programs can open: Windows paths of the
// earlier releases with a drive or on a share, and a relative path, which
// has no URI, in Corvane's own property.
TEST(VCardExport, PicturePathsAreFileUrisWithoutAHostOfTheirOwn) {
    const std::pair<const char*, const char*> cases[] = {
        {"C:\\Pictures\\Anna 1.jpg", "PHOTO:file:///C:/Pictures/Anna%201.jpg"},
        {"\\\\server\\share\\p.jpg", "PHOTO:file://server/share/p.jpg"},
        {"/home/a/x:y.jpg", "PHOTO:file:///home/a/x%3Ay.jpg"},
        {"pics\\rel.jpg", "X-CORVANE-PICTURE:pics\\\\rel.jpg"},
    };
    for (const auto& [path, line] : cases) {
        ContactRecord r;
        r.setText(Field::PicturePath, path);
        std::vector<std::string> problems;
        EXPECT_NE(
            vcardOf(r, 1, VCardVersion::V4, problems).find(std::string("\r\n") + line + "\r\n"),
            std::string::npos)
            << path;
    }
}

// Two entries with the same name made in the same second (an import) are
// two contacts to the program that receives them, in every export.
TEST(VCardExport, EntriesSharingANameAndAStampHaveTheirOwnUids) {
    ContactRecord twin;
    twin.setText(Field::FullName, "Doe, Jane");
    twin.setDate(Field::Created, oleFromDateTime({2026, 12, 8, 12, 0, 0}));
    test::Bytes file;
    for (int i = 0; i < 3; ++i) {
        file.insert(file.end(), twin.encode().begin(), twin.encode().end());
    }
    test::PowerCutFileSystem fs({{"Corvane.Data", file}});
    auto uids = [&] {
        std::ostringstream out;
        std::ostringstream err;
        EXPECT_EQ(exportVCards(fs, "Corvane.Data", VCardVersion::V4, out, err), kExportOk);
        std::vector<std::string> found;
        const std::string cards = out.str();
        for (auto at = cards.find("UID:"); at != std::string::npos;
             at = cards.find("UID:", at + 1)) {
            found.push_back(cards.substr(at, cards.find("\r\n", at) - at));
        }
        return found;
    };
    const std::vector<std::string> first = uids();
    ASSERT_EQ(first.size(), 3u);
    EXPECT_EQ(std::set<std::string>(first.begin(), first.end()).size(), 3u);
    EXPECT_EQ(uids(), first);  // and the same from export to export
}

TEST(CsvExport, FieldsAreQuotedOnlyWhereTheyMustBe) {
    EXPECT_EQ(csvField("plain text"), "plain text");
    EXPECT_EQ(csvField(""), "");
    EXPECT_EQ(csvField("Adams, Ruth"), "\"Adams, Ruth\"");
    EXPECT_EQ(csvField("6\" tall"), "\"6\"\" tall\"");
    EXPECT_EQ(csvField("one\r\ntwo"), "\"one\r\ntwo\"");
    EXPECT_EQ(csvField(" blank"), "\" blank\"");
}

TEST(CsvExport, AHeaderRowThenOneRowPerEntryWithCrLf) {
    test::Bytes file;
    const ContactRecord entry = fullEntry();
    file.insert(file.end(), entry.encode().begin(), entry.encode().end());
    test::PowerCutFileSystem fs({{"Corvane.Data", file}});
    std::ostringstream out;
    std::ostringstream err;
    EXPECT_EQ(exportCsv(fs, "Corvane.Data", out, err), 0) << err.str();
    const std::string csv = out.str();
    EXPECT_TRUE(csv.starts_with("RecordNumber,Title,FullName,Nickname,PicturePath,HomeAddress1,"));
    const auto headerEnd = csv.find("\r\n");
    EXPECT_TRUE(
        csv.substr(0, headerEnd).ends_with(",Affiliations,CreatorVersion,Created,LastModified"));
    const std::string row = csv.substr(headerEnd + 2);
    EXPECT_TRUE(row.starts_with("1,Dr.,\"Müller, Anna\",Annie,/home/anna/Bilder/Anna 1.jpg,"));
    EXPECT_NE(row.find(",\"Met in Lyon; likes tea, not coffee.\r\nSecond line\","),
              std::string::npos);
    EXPECT_NE(
        row.find(",1967-01-28T00:00:00,1990-06-02T00:00:00,\"Choir\r\nRotary, Portland\r\n\",0,"),
        std::string::npos);
    EXPECT_TRUE(row.ends_with(",2025-12-09T12:00:00,2026-12-08T09:30:05\r\n"));
}

}  // namespace
}  // namespace corvane
