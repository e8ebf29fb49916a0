#pragma once

// A book that uses every field in many combinations, with the values that
// need care on their way out and back in: names with commas where the
// reader may split them, a second mobile without a first, missing stamps,
// Windows and relative picture paths, bare web hosts, control characters,
// lone line breaks, blank affiliation lines, fields filled to their width,
// entries of the earlier releases, and entries that share a name and a stamp.
// And the comparison of a book read back with it, field by field.

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "contactrecord.h"
#include "oledate.h"

namespace corvane::test {

// With `fractions`, some dates hold a time of day or a fraction of a second
// that their written form does not show.
inline std::vector<ContactRecord> everyFieldBook(int count, bool fractions = true) {
    static const char* const kNames[] = {
        "Smith,John", ", Leading",        "Doe, Jane",     "Doe, Jane",
        "",           "Ünïcödé, Zoë",     "O'Brien; Pat",  "Back\\slash, Bo",
        "Trailing,",  "Dunmore Hardware", "Line\r\nbreak", "=3D not printable",
        "Tab\t"};
    static const char* const kTexts[] = {"a;b,c\\d",
                                         "two\r\nlines",
                                         "lone\rCR",
                                         "lone\nLF",
                                         "ctl\x01\x1F here",
                                         "tab\tinside",
                                         "€uro ŒÆ",
                                         "END:VCARD",
                                         "BEGIN:VCARD",
                                         "\xC2\x81 undefined byte",
                                         "x=",
                                         "nul\x00in",
                                         "tel:1;ext=2",
                                         "data:text/html,hi",
                                         "tab at the end\t"};
    static const char* const kPictures[] = {"/home/a/b c.jpg",
                                            "C:\\Pictures\\Anna.jpg",
                                            "C:/Mixed\\way.jpg",
                                            "\\\\server\\share\\p.jpg",
                                            "pics\\rel.jpg",
                                            "rel/x.jpg",
                                            "/odd%25/name:1.jpg",
                                            "D:",
                                            "\\\\localhost\\share\\x.png",
                                            "C:\\dir\\",
                                            "data:image/png;base64,AAAA"};
    static const char* const kWeb[] = {"www.example.org", "https://x.org/a?b=c,d",
                                       "example.org:8080/x", "mailto:x@example.org"};
    static const char* const kCities[] = {"Portland, OR 97201", "London SW1A 1AA", "Berlin; Mitte",
                                          "Quebec, QC G1V 2M2, Canada", "Springfield,IL 62701"};
    static const char* const kAffiliations[] = {"Choir\r\n\r\nRotary, Portland", "Family",
                                                "A\r\nB\r\nC", "a\nb\rc", "ctl\x01 in it"};
    std::vector<ContactRecord> book;
    for (int i = 0; i < count; ++i) {
        ContactRecord r;
        auto pick = [&](auto& pool, int salt) {
            return std::string(pool[(i * 7 + salt * 13 + i / 5) % std::size(pool)]);
        };
        // Field f is there in about two entries of three, a different two each time.
        auto there = [&](int f) { return (i * 31 + f * 17 + (i >> 3) * f) % 3 != 0; };
        for (int f = 1; f <= kFieldCount; ++f) {
            const auto field = static_cast<Field>(f);
            if (fieldInfo(field).kind != FieldKind::Text || !there(f)) {
                continue;
            }
            std::string value = pick(kTexts, f);
            if (value == "nul") {
                value = std::string("nul\0in", 6);
            }
            if ((i + f) % 11 == 0) {  // filled to the width
                value = std::string(static_cast<std::size_t>(fieldInfo(field).width), 'w');
            }
            r.setText(field, std::to_string(i) + " " + value);
        }
        if (there(2)) {
            r.setText(Field::FullName, pick(kNames, 2));
        }
        if (there(4)) {
            r.setText(Field::PicturePath, pick(kPictures, 4));
        }
        r.setText(Field::HomeWebPage, there(9) ? pick(kWeb, 9) : "");
        r.setText(Field::WorkCityStateZip, there(19) ? pick(kCities, 19) : "");
        r.setText(Field::Affiliations, there(32) ? pick(kAffiliations, 32) : "");
        if (i % 4 == 1) {  // a second mobile alone
            r.setText(Field::HomeCell1, "");
            r.setText(Field::HomeCell2, "555-01" + std::to_string(i % 100));
        }
        r.setDate(Field::Birthday,
                  there(30) ? oleFromDateTime({1900 + i % 120, 1 + i % 12, 1 + i % 28}) : 0.0);
        r.setDate(Field::Anniversary, there(31) ? oleFromDateTime({2000, 2, 29}) : 0.0);
        r.setDate(Field::Created,
                  there(34) ? oleFromDateTime({2001 + i % 20, 3, 4, i % 24, i % 60, 7}) : 0.0);
        r.setDate(Field::LastModified,
                  there(35) ? oleFromDateTime({2026, 12, 8, 9, 30, i % 60}) : 0.0);
        if (fractions && i % 13 == 0) {
            r.setDate(Field::Birthday, 12345.75);
            r.setDate(Field::Created, 40000.1234567);
        }
        r.setCreatorVersion(static_cast<std::uint8_t>(i % 9));  // the earlier releases too
        book.push_back(r);
    }
    return book;
}

// `text` as a book read back must hold it: an affiliation a line, no blank ones.
inline std::string withoutBlankLines(const std::string& text) {
    std::string out;
    std::size_t at = 0;
    while (at <= text.size()) {
        const auto end = text.find("\r\n", at);
        std::string line = text.substr(at, end == std::string::npos ? end : end - at);
        line.erase(0, line.find_first_not_of(' '));
        line.erase(line.find_last_not_of(' ') + 1);
        if (!line.empty()) {
            out += (out.empty() ? "" : "\r\n") + line;
        }
        if (end == std::string::npos) {
            break;
        }
        at = end + 2;
    }
    return out;
}

// Every field of `read` as in `book`, affiliations perhaps without blank lines.
inline void expectSameBook(const std::vector<ContactRecord>& book,
                           const std::vector<ContactRecord>& read) {
    ASSERT_EQ(read.size(), book.size());
    int differing = 0;
    for (std::size_t i = 0; i < book.size() && differing < 5; ++i) {
        for (int f = 1; f <= kFieldCount; ++f) {
            const auto field = static_cast<Field>(f);
            const bool same = field == Field::Affiliations
                                  ? read[i].text(field) == withoutBlankLines(book[i].text(field)) ||
                                        read[i].text(field) == book[i].text(field)
                              : fieldInfo(field).kind == FieldKind::Text
                                  ? read[i].text(field) == book[i].text(field)
                              : fieldInfo(field).kind == FieldKind::Date
                                  ? read[i].date(field) == book[i].date(field)
                                  : read[i].creatorVersion() == book[i].creatorVersion();
            if (!same) {
                ++differing;
                ADD_FAILURE() << "entry " << i + 1 << ", " << fieldInfo(field).name << ": \""
                              << read[i].text(field) << "\" (" << read[i].date(field)
                              << ") instead of \"" << book[i].text(field) << "\" ("
                              << book[i].date(field) << ")";
            }
        }
    }
}

}  // namespace corvane::test
