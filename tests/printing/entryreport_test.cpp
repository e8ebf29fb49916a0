// The entry report on a recording surface: what is printed, where, and in
// what order.

#include "entryreport.h"

#include <gtest/gtest.h>

#include <algorithm>

#include <QWidget>

#include "oledate.h"
#include "recordingsurface.h"

namespace corvane {
namespace {

using test::PrintedText;

class Report : public testing::Test {
  protected:
    test::RecordingSurface printer;
    EntryReport report;
    float line = 0;

    void SetUp() override {
        report.title = QStringLiteral("Corvane");
        report.printedAt = QStringLiteral("08 Dec 2026 09:30:15");
        report.fields[2] = QStringLiteral("Smith, Ann");
        line = static_cast<float>(printer.lineHeight());
    }
    void print() { PrintEntryReport(printer, nullptr, report); }
    // The texts of each printed line, joined, in order.
    std::vector<QString> lines() const { return linesOf(printer); }
    static std::vector<QString> linesOf(const test::RecordingSurface& paper) {
        std::vector<QString> out;
        float y = -1;
        int page = 0;
        for (const PrintedText& t : paper.texts) {
            if (t.y != y || t.page != page) {
                out.emplace_back();
                y = t.y;
                page = t.page;
            }
            out.back() += t.text;
        }
        return out;
    }
    const PrintedText& at(const QString& text) const {
        const PrintedText* found = printer.find(text);
        EXPECT_NE(found, nullptr) << text.toStdString();
        static const PrintedText none{};
        return found ? *found : none;
    }
    float endOf(const PrintedText& t) const {
        return t.x + static_cast<float>(printer.textWidth(t.text));
    }
};

TEST_F(Report, AnEntryWithOnlyANamePrintsTheHeaderAndTheNameLine) {
    print();
    EXPECT_EQ(lines(), (std::vector<QString>{"Corvane information report, ", "08 Dec 2026 09:30:15",
                                             "Smith, Ann"}));
    const PrintedText& header = printer.texts[0];
    EXPECT_FLOAT_EQ(header.x, 1.0f);
    EXPECT_FLOAT_EQ(header.y, 1.0f);
    EXPECT_EQ(header.font, PrintFont{});
    // Header, date, two empty lines: the name stands on the fifth line.
    EXPECT_NEAR(at("Smith, Ann").y, 1.0f + 4 * line, 1e-4);
    EXPECT_FLOAT_EQ(at("Smith, Ann").x, 1.0f);
    EXPECT_FALSE(printer.ended);  // the caller ends the document
}

TEST_F(Report, TitleAndNicknameForms) {
    report.fields[1] = QStringLiteral("Dr.");
    report.fields[3] = QStringLiteral("Annie");
    print();
    EXPECT_EQ(lines()[2], "(Dr.) Smith, Ann(Annie)");

    test::RecordingSurface titleOnly;
    report.fields[3].clear();
    PrintEntryReport(titleOnly, nullptr, report);
    EXPECT_EQ(titleOnly.texts[2].text + titleOnly.texts[3].text, "(Dr.) Smith, Ann");
}

TEST_F(Report, DatesOf1899OrEarlierAreLeftOut) {
    report.birthday = oleFromDateTime({1962, 3, 15, 0, 0, 0});
    report.anniversary = oleFromDateTime({1899, 12, 31, 0, 0, 0});
    print();
    EXPECT_FLOAT_EQ(at("Birthday: Mar 15, 1962").x, 1.0f);
    EXPECT_NEAR(at("Birthday: Mar 15, 1962").y, at("Smith, Ann").y + 2 * line, 1e-4);
    for (const QString& l : lines()) {
        EXPECT_FALSE(l.startsWith(QStringLiteral("Anniversary")));
    }
}

TEST_F(Report, LabelsEndAtTheValueColumnAndAnAddressStartsOnTheLabelsLine) {
    report.fields[8] = QStringLiteral("Springfield, OR 97000");  // only the third line
    report.fields[11] = QStringLiteral("555-0101");
    report.fields[23] = QStringLiteral("555-0202");
    report.fields[21] = QStringLiteral("ann@work.example");
    print();
    const PrintedText& label = at("Home Address: ");
    const PrintedText& city = at("Springfield, OR 97000");
    EXPECT_NEAR(endOf(label), 2.1f, 1e-4);
    EXPECT_FLOAT_EQ(city.x, 2.1f);
    EXPECT_EQ(city.y, label.y);
    // No e-mail, no web page: the link part still ends one line.
    const PrintedText& phone = at("Home phone: 555-0101");
    EXPECT_NEAR(endOf(phone) - static_cast<float>(printer.textWidth("555-0101")), 2.1f, 1e-4);
    EXPECT_NEAR(phone.y, label.y + 2 * line, 1e-4);
    // The work e-mail comes after a line end, and the work phone after it.
    const PrintedText& mail = at("Work email: ann@work.example");
    const PrintedText& work = at("Work phone: 555-0202");
    EXPECT_NEAR(work.y, mail.y + line, 1e-4);
    EXPECT_GT(mail.y, phone.y + 2 * line - 1e-4);  // the empty line between the sections
}

// The continuation of other contact information stays at the value column.
TEST_F(Report, OtherInformationKeepsFiftyCharactersAndItsSecondLineInTheMargins) {
    report.fields[17] =
        QStringLiteral("Call after six\r\nor on weekends at the lake house, please");
    print();
    const PrintedText& first = at("Other Home Info: Call after six");
    const PrintedText* second = printer.find(QStringLiteral("or on weekends at the lake house, "));
    ASSERT_NE(second, nullptr);  // 50 characters: 14 + 2 + 34
    EXPECT_FLOAT_EQ(second->x, 2.1f);
    EXPECT_NEAR(second->y, first.y + line, 1e-4);
}

// Comments of every length up to past a page: each section starts where its
// heading and first line fit, no word is split, nothing is printed below the
// page's foot, and the pages are numbered 2, 3, ... through the report.
TEST_F(Report, NotesFlowOverPagesThatAreNumberedThroughTheReport) {
    report.includeNotes = true;
    report.fields[31] = QStringLiteral("Rotary Club\r\nGolf");
    for (int count = 30; count <= 110; ++count) {
        SCOPED_TRACE(count);
        QString comments;
        for (int i = 1; i <= count; ++i) {
            comments += QStringLiteral("Comment line %1\r\n").arg(i);
        }
        // A long word that starts where the wrap used to cut it.
        report.fields[30] = comments + QString(70 + count % 13, u'x') +
                            QStringLiteral(" Unsplittablewordthatislong");
        test::RecordingSurface paper;
        PrintEntryReport(paper, nullptr, report);
        EXPECT_FALSE(paper.ended);
        // The heading, and on its page, after an empty line, the first line.
        const PrintedText* heading = paper.find(QStringLiteral("Affiliations-"));
        ASSERT_NE(heading, nullptr);
        EXPECT_TRUE(heading->font.underline);
        const auto after =
            std::find_if(paper.texts.begin(), paper.texts.end(), [&](const PrintedText& t) {
                return t.y > heading->y + line * 1.5f && t.page == heading->page;
            });
        ASSERT_NE(after, paper.texts.end());
        EXPECT_EQ(after->text, "R");
        QStringList footers;
        for (const PrintedText& t : paper.texts) {
            if (t.text.startsWith(QStringLiteral("(page"))) {
                footers << QStringLiteral("%1:%2").arg(t.page).arg(t.text);
                EXPECT_FLOAT_EQ(t.y, 9.2f);
            } else {
                EXPECT_LE(t.y, 8.8f + line) << t.text.toStdString();
            }
        }
        QStringList expected;
        for (int page = 2; page <= paper.page(); ++page) {
            expected << QStringLiteral("%1:(page %1)").arg(page);
        }
        EXPECT_EQ(footers, expected);
        const std::vector<QString> printed = linesOf(paper);
        EXPECT_EQ(std::count(printed.begin(), printed.end(), QStringLiteral("Rotary Club")), 1);
        EXPECT_EQ(std::count_if(printed.begin(), printed.end(),
                                [](const QString& l) {
                                    return l.contains(QStringLiteral("Unsplittablewordthatislong"));
                                }),
                  1);
    }

    test::RecordingSurface empty;
    report.fields[30].clear();
    report.fields[31].clear();
    PrintEntryReport(empty, nullptr, report);
    EXPECT_EQ(empty.find(QStringLiteral("Comments-")), nullptr);
}

}  // namespace
}  // namespace corvane
