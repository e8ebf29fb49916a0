// Reading other address books' files: round trips through every export,
// the RFC's own example, what phones and web accounts write, CSV's quoting,
// what does not fit, a book that fills up, and files that are no address
// book at all.

#include "importer.h"

#include <gtest/gtest.h>
#include <unistd.h>

#include <filesystem>
#include <sstream>

#include "csvexport.h"
#include "generatedbook.h"
#include "jsonexport.h"
#include "oledate.h"
#include "powercutfilesystem.h"
#include "storetestdata.h"
#include "testsupport.h"
#include "vcardexport.h"

namespace corvane {
namespace {

constexpr double kNow = 46364.5;  // 8 December 2026, noon

test::Bytes bytesOf(const std::vector<ContactRecord>& book) {
    test::Bytes file;
    for (const ContactRecord& r : book) {
        file.insert(file.end(), r.encode().begin(), r.encode().end());
    }
    return file;
}

// Every export of a book that uses every field, read back: the same book,
// and not a word of change in the report. CSV cannot carry a NUL, which its
// export leaves out and names, nor a date's fraction of a second.
TEST(Import, EveryExportReadsBackAsTheSameBook) {
    for (const char* format : {"vcard", "vcard3", "csv"}) {
        SCOPED_TRACE(format);
        const bool csv = std::string(format) == "csv";
        // CSV writes dates to the second, as its columns always have.
        const std::vector<ContactRecord> book = test::everyFieldBook(600, !csv);
        test::PowerCutFileSystem fs({{"Corvane.Data", bytesOf(book)}});
        std::ostringstream out;
        std::ostringstream err;
        const int status =
            csv ? exportCsv(fs, "Corvane.Data", out, err)
                : exportVCards(fs, "Corvane.Data",
                               format == std::string("vcard") ? VCardVersion::V4 : VCardVersion::V3,
                               out, err);
        EXPECT_EQ(status, csv ? kExportDamaged : kExportOk) << err.str();
        const ImportReading reading = readImport(out.str(), kNow);
        ASSERT_TRUE(reading.refusal.empty()) << reading.refusal;
        EXPECT_TRUE(reading.skipped.empty()) << reading.skipped[0];
        std::vector<ContactRecord> read;
        for (const ImportedEntry& e : reading.entries) {
            EXPECT_TRUE(e.changes.empty()) << e.label << ": " << e.changes[0];
            read.push_back(e.record);
        }
        std::vector<ContactRecord> expected = book;
        for (ContactRecord& r : expected) {
            for (int f = 1; f <= kFieldCount && csv; ++f) {
                std::string text = r.text(static_cast<Field>(f));
                std::erase(text, '\0');
                r.setText(static_cast<Field>(f), text);
            }
        }
        test::expectSameBook(expected, read);
        EXPECT_TRUE(csv == (err.str().find("the NUL characters in") != std::string::npos));
    }
}

// A folder in memory where there is one, for the full book's 32,767 saves.
std::string fastFolder() {
    std::string base = ::access("/dev/shm", W_OK) == 0 ? "/dev/shm" : "/tmp";
    std::string templ = base + "/corvane-import-XXXXXX";
    return ::mkdtemp(templ.data());
}

// A full book of 32,767 such entries, through vCard 3.0 (what most phones
// and web accounts read), into a new book.
TEST(Import, AFullBookReadsBackWhole) {
    const std::vector<ContactRecord> book = test::everyFieldBook(kMaxRecords);
    test::PowerCutFileSystem fs({{"Corvane.Data", bytesOf(book)}});
    std::ostringstream out;
    std::ostringstream err;
    ASSERT_EQ(exportVCards(fs, "Corvane.Data", VCardVersion::V3, out, err), kExportOk) << err.str();
    const std::string folder = fastFolder();
    DataFile store(realFileSystem(), folder);
    ImportReading reading;
    const ImportResult result = importText(store, out.str(), kNow, false, reading);
    ASSERT_TRUE(result.status.ok()) << result.status.message();
    EXPECT_EQ(result.written, kMaxRecords);
    const test::Bytes file = test::readFile(folder + "/Corvane.Data");
    std::vector<ContactRecord> read;
    for (std::size_t at = 0; at + ContactRecord::kSize <= file.size(); at += ContactRecord::kSize) {
        read.push_back(ContactRecord::decode(std::span<const std::uint8_t, ContactRecord::kSize>(
            file.data() + at, ContactRecord::kSize)));
    }
    test::expectSameBook(book, read);
    std::filesystem::remove_all(folder);
}

// RFC 6350's own example (section 8), and RFC 2426's (section 7).
TEST(Import, TheRfcsExamples) {
    const std::string rfc6350 =
        "BEGIN:VCARD\r\nVERSION:4.0\r\nFN:Simon Perreault\r\nN:Perreault;Simon;;;ing. jr,M.Sc.\r\n"
        "BDAY:--0203\r\nANNIVERSARY:20090808T1430-0500\r\nGENDER:M\r\nLANG;PREF=1:fr\r\n"
        "LANG;PREF=2:en\r\nORG;TYPE=work:Viagenie\r\n"
        "ADR;TYPE=work:;Suite D2-630;2875 Laurier;\r\n Quebec;QC;G1V 2M2;Canada\r\n"
        "TEL;VALUE=uri;TYPE=\"work,voice\";PREF=1:tel:+1-418-656-9254;ext=102\r\n"
        "TEL;VALUE=uri;TYPE=\"work,cell,voice,video,text\":tel:+1-418-262-6501\r\n"
        "EMAIL;TYPE=work:simon.perreault@viagenie.ca\r\n"
        "GEO;TYPE=work:geo:46.772673,-71.282945\r\n"
        "KEY;TYPE=work;VALUE=uri:\r\n http://www.viagenie.ca/simon.perreault/simon.asc\r\n"
        "TZ:-0500\r\nURL;TYPE=home:http://nomis80.org\r\nEND:VCARD\r\n";
    const ImportReading r = readImport(rfc6350, kNow);
    ASSERT_TRUE(r.refusal.empty()) << r.refusal;
    ASSERT_EQ(r.entries.size(), 1u);
    const ContactRecord& e = r.entries[0].record;
    EXPECT_EQ(e.text(Field::FullName), "Perreault, Simon ing. jr, M.Sc.");  // N adds the suffixes
    EXPECT_EQ(e.text(Field::WorkAddress1), "2875 Laurier");
    EXPECT_EQ(e.text(Field::WorkAddress2), "Suite D2-630");
    EXPECT_EQ(e.text(Field::WorkCityStateZip), "Quebec, QC G1V 2M2, Canada");
    EXPECT_EQ(e.text(Field::WorkPhone), "+1-418-656-9254 x102");
    EXPECT_EQ(e.text(Field::WorkCell1), "+1-418-262-6501");
    EXPECT_EQ(e.text(Field::WorkEmail), "simon.perreault@viagenie.ca");
    EXPECT_EQ(e.text(Field::HomeWebPage), "http://nomis80.org");
    EXPECT_EQ(e.text(Field::WorkOtherInfo), "Organisation: Viagenie");
    // A birthday without a year and a time with a zone are no dates Corvane
    // holds: said, and kept in the comments with the other properties.
    EXPECT_EQ(e.date(Field::Birthday), 0.0);
    const std::string comments = e.text(Field::Comments);
    for (const char* kept :
         {"Birthday: February 3", "GENDER: M", "LANG: fr", "GEO: geo:46.772673",
          "KEY: http://www.viagenie.ca/simon.perreault/simon.asc", "TZ: -0500"}) {
        EXPECT_NE(comments.find(kept), std::string::npos) << kept << "\n" << comments;
    }
    EXPECT_FALSE(r.entries[0].changes.empty());

    const std::string rfc2426 =
        "BEGIN:vCard\r\nVERSION:3.0\r\nFN:Frank Dawson\r\nORG:Lotus Development Corporation\r\n"
        "ADR;TYPE=WORK,POSTAL,PARCEL:;;6544 Battleford Drive\r\n ;Raleigh;NC;27613-3502;U.S.A.\r\n"
        "TEL;TYPE=VOICE,MSG,WORK:+1-919-676-9515\r\nTEL;TYPE=FAX,WORK:+1-919-676-9564\r\n"
        "EMAIL;TYPE=INTERNET,PREF:Frank_Dawson@Lotus.com\r\n"
        "EMAIL;TYPE=INTERNET:fdawson@earthlink.net\r\nURL:http://home.earthlink.net/~fdawson\r\n"
        "END:vCard\r\n";
    const ImportReading d = readImport(rfc2426, kNow);
    ASSERT_EQ(d.entries.size(), 1u);
    const ContactRecord& f = d.entries[0].record;
    EXPECT_EQ(f.text(Field::FullName), "Frank Dawson");
    EXPECT_EQ(f.text(Field::WorkCityStateZip), "Raleigh, NC 27613-3502, U.S.A.");
    EXPECT_EQ(f.text(Field::WorkFax), "+1-919-676-9564");
    EXPECT_EQ(f.text(Field::HomeEmail), "Frank_Dawson@Lotus.com");
    // The second e-mail address has no field left: it is in the comments, and said.
    EXPECT_NE(f.text(Field::Comments).find("Another home e-mail address: fdawson@earthlink.net"),
              std::string::npos);
}

// As an old phone writes them (vCard 2.1: bare types, quoted-printable in
// the phone's own code page), and as Apple writes groups.
TEST(Import, OldPhonesAndGroupedProperties) {
    const std::string card =
        "BEGIN:VCARD\r\nVERSION:2.1\r\nN;CHARSET=ISO-8859-1:M\xFCller;J\xFCrgen\r\n"
        "TEL;CELL:+49 170 1234567\r\nTEL;HOME;VOICE:+49 30 1234567\r\n"
        "NOTE;ENCODING=QUOTED-PRINTABLE;CHARSET=UTF-8:Erste Zeile=0D=0AZweite =\r\nZeile =C3=A4\r\n"
        "item1.EMAIL;type=INTERNET:j@example.de\r\nitem1.X-ABLabel:Privat\r\nEND:VCARD\r\n";
    const ImportReading r = readImport(card, kNow);
    ASSERT_TRUE(r.refusal.empty()) << r.refusal;
    ASSERT_EQ(r.entries.size(), 1u);
    const ContactRecord& e = r.entries[0].record;
    EXPECT_EQ(e.text(Field::FullName), "Müller, Jürgen");
    EXPECT_EQ(e.text(Field::HomeCell1), "+49 170 1234567");
    EXPECT_EQ(e.text(Field::HomePhone), "+49 30 1234567");
    EXPECT_EQ(e.text(Field::HomeEmail), "j@example.de");
    EXPECT_TRUE(e.text(Field::Comments).starts_with("Erste Zeile\r\nZweite Zeile ä"))
        << e.text(Field::Comments);
}

TEST(Import, CsvFromWebAccountsWithQuotesCommasAndLineBreaks) {
    const std::string outlook =
        "First Name,Last Name,E-mail Address,Home Phone,Business Phone,Mobile Phone,Home Street,"
        "Home City,Home State,Home Postal Code,Birthday,Notes,Categories\r\n"
        "Ruth,Adams,ruth@example.org,555-0142,555-0143,555-0144,\"12 Elm St, Apt 3\",Portland,OR,"
        "97201,1967-01-28,\"She said \"\"hi\"\"\r\nthen left\",Choir\r\n";
    const ImportReading r = readImport(outlook, kNow);
    ASSERT_TRUE(r.refusal.empty()) << r.refusal;
    ASSERT_EQ(r.entries.size(), 1u);
    const ContactRecord& e = r.entries[0].record;
    EXPECT_EQ(e.text(Field::FullName), "Adams, Ruth");
    EXPECT_EQ(e.text(Field::HomeAddress1), "12 Elm St, Apt 3");
    EXPECT_EQ(e.text(Field::HomeCityStateZip), "Portland, OR 97201");
    EXPECT_EQ(e.text(Field::HomeCell1), "555-0144");
    EXPECT_EQ(e.text(Field::WorkPhone), "555-0143");
    EXPECT_EQ(e.text(Field::Comments), "She said \"hi\"\r\nthen left");
    EXPECT_EQ(e.date(Field::Birthday), oleFromDateTime({1967, 1, 28}));
    EXPECT_EQ(e.text(Field::Affiliations), "Choir");

    const std::string google =
        "Name,Given Name,Family Name,Group Membership,E-mail 1 - Type,E-mail 1 - Value\n"
        "Jo Smith,Jo,Smith,* myContacts ::: Family,Home,jo@example.com\n";
    const ImportReading g = readImport(google, kNow);
    ASSERT_EQ(g.entries.size(), 1u);
    EXPECT_EQ(g.entries[0].record.text(Field::FullName), "Jo Smith");
    EXPECT_EQ(g.entries[0].record.text(Field::Affiliations), "Family");  // not Google's own list
    EXPECT_EQ(g.entries[0].record.text(Field::HomeEmail), "jo@example.com");
}

TEST(Import, WhatDoesNotFitIsKeptInTheCommentsAndSaid) {
    const std::string card =
        "BEGIN:VCARD\r\nVERSION:4.0\r\nFN:" + std::string(80, 'N') +
        "\r\nNICKNAME:Ωmega\r\nEMAIL:a@example.org\r\nEMAIL:b@example.org\r\n"
        "X-SOCIALPROFILE:@someone\r\nEND:VCARD\r\n"
        "BEGIN:VCARD\r\nVERSION:4.0\r\nEMAIL:nameless@example.org\r\nEND:VCARD\r\n";
    const ImportReading r = readImport(card, kNow);
    ASSERT_EQ(r.entries.size(), 2u);
    const ImportedEntry& e = r.entries[0];
    EXPECT_EQ(e.record.text(Field::FullName), std::string(75, 'N'));
    EXPECT_EQ(e.record.text(Field::Nickname), "?mega");
    const std::string comments = e.record.text(Field::Comments);
    EXPECT_NE(comments.find("Name: " + std::string(80, 'N')), std::string::npos);
    EXPECT_NE(comments.find("Another home e-mail address: b@example.org"), std::string::npos);
    EXPECT_NE(comments.find("X-SOCIALPROFILE: @someone"), std::string::npos);
    // A card with only an e-mail address is named by it, as phones do.
    EXPECT_EQ(r.entries[1].record.text(Field::FullName), "nameless@example.org");
    EXPECT_TRUE(r.skipped.empty());
    const std::string report = importReport(r, ImportResult{StoreStatus::success(), 2, 0}, false);
    EXPECT_NE(report.find("Imported 2 entries.\n"), std::string::npos);
    EXPECT_NE(report.find("the name was cut to 75 characters"), std::string::npos);
    EXPECT_NE(report.find("the nickname: characters outside Windows-1252 became \"?\""),
              std::string::npos);
    EXPECT_NE(report.find("it has no name; it is named by its e-mail address"), std::string::npos);
}

TEST(Import, FilesThatAreNoAddressBookAreRefused) {
    const std::string cases[] = {
        "BEGIN:VCARD\r\nVERSION:3.0\r\nFN:Cut short\r\n",  // truncated
        std::string("\x89PNG\r\n\x1a\n\0\0\0\rIHDR", 16),  // binary junk
        "",                                                // empty
        "just some words, nothing more\r\n",               // no known column
        "Name" + std::string(20000, ',') + "\r\n",         // no address book's header
        "FullName,Comments\r\n\"Adams,never closed\r\n",   // broken quoting
        "hello\r\nBEGIN:VCARD\r\nFN:x\r\nEND:VCARD\r\n",   // text outside a card
    };
    for (const std::string& text : cases) {
        SCOPED_TRACE(text.substr(0, 20));
        EXPECT_FALSE(readImport(text, kNow).refusal.empty());
    }
}

TEST(Import, ABookFillsAtItsLastEntryAndTheRestIsReported) {
    std::string cards;
    for (int i = 0; i < 40000; ++i) {
        cards +=
            "BEGIN:VCARD\r\nVERSION:3.0\r\nFN:Entry " + std::to_string(i) + "\r\nEND:VCARD\r\n";
    }
    const ImportReading r = readImport(cards, kNow);
    ASSERT_EQ(r.entries.size(), 40000u);
    const std::string folder = fastFolder();
    test::writeFile(folder + "/Corvane.Data", test::slotsOf({"Already here"}));
    DataFile store(realFileSystem(), folder);
    const ImportResult dry = writeImport(store, r.entries, true);
    EXPECT_EQ(dry.written, kMaxRecords - 1);
    EXPECT_EQ(test::readFile(folder + "/Corvane.Data").size(), 3000u);  // nothing written
    const ImportResult result = writeImport(store, r.entries, false);
    ASSERT_TRUE(result.status.ok()) << result.status.message();
    EXPECT_EQ(result.written, kMaxRecords - 1);
    EXPECT_EQ(result.leftOut, 40000 - (kMaxRecords - 1));
    EXPECT_EQ(std::filesystem::file_size(folder + "/Corvane.Data"), kMaxRecords * 3000ull);
    EXPECT_NE(
        importReport(r, result, false)
            .find("Stopped at 32767 entries, all a book holds: 7234 entries were not imported."),
        std::string::npos);
    std::filesystem::remove_all(folder);
}

}  // namespace
}  // namespace corvane
