// Flowing text and rules on a recording printer surface: where every
// character lands, where lines and pages break, and the page footers.

#include "printlayout.h"

#include <gtest/gtest.h>

#include <QApplication>
#include <QWidget>

#include "recordingsurface.h"

namespace corvane {
namespace {

using test::PrintedText;

class FlowText : public testing::Test {
  protected:
    test::RecordingSurface printer;
    QWidget owner;

    // The help printout's arguments: heading underlined, on the first page
    // only, owner busy, document ended, one inch to seven and a half.
    void flow(const QString& text, const QString& heading = {}) {
        printLayout::PrintFlowText(printer, &owner, text, heading);
    }
    // The lines printed, as the text of each distinct (page, y), in order.
    std::vector<QString> lines() const {
        std::vector<QString> out;
        int page = 0;
        float y = -1;
        for (const PrintedText& t : printer.texts) {
            if (t.page != page || t.y != y) {
                out.emplace_back();
                page = t.page;
                y = t.y;
            }
            out.back() += t.text;
        }
        return out;
    }
    // Where a text ends on its line, in inches.
    float endOf(const PrintedText& t) const {
        return t.x + static_cast<float>(printer.textWidth(t.text));
    }
};

TEST_F(FlowText, AnEmptyTextPrintsNothingNotEvenTheHeadingButEndsTheDocument) {
    flow({}, QStringLiteral("Corvane, Help Section: Overview"));
    EXPECT_TRUE(printer.texts.empty());
    EXPECT_TRUE(printer.ended);

    test::RecordingSurface kept;
    printLayout::PrintFlowText(kept, &owner, {}, {},
                               {.leaveOwnerAlone = true, .keepDocumentOpen = true});
    EXPECT_FALSE(kept.ended);
}

TEST_F(FlowText, OnlyCarriageReturnWithLineFeedEndsALine) {
    flow(QStringLiteral("a\rb\nc\r\nd\r\n"));
    EXPECT_EQ(lines(), (std::vector<QString>{QStringLiteral("a\rb\nc"), QStringLiteral("d")}));
    const PrintedText& a = printer.texts.front();
    EXPECT_FLOAT_EQ(a.x, 1.0f);
    EXPECT_FLOAT_EQ(a.y, 1.0f);
    // The closing line end leaves no empty page behind.
    EXPECT_EQ(printer.pagesStarted, 1);
    EXPECT_TRUE(printer.ended);
}

TEST_F(FlowText, LinesBreakAfterTheFirstBlankBeyondAnInchShortOfTheLimit) {
    QString text;
    for (int i = 0; i < 60; ++i) {
        text += QStringLiteral("word%1 ").arg(i);
    }
    flow(text);
    const std::vector<QString> printed = lines();
    ASSERT_GT(printed.size(), 2u);
    // Every line but the last ends in the blank that broke it; the words
    // come through whole and in order.
    QString joined;
    for (std::size_t l = 0; l + 1 < printed.size(); ++l) {
        EXPECT_TRUE(printed[l].endsWith(u' ')) << printed[l].toStdString();
        joined += printed[l];
    }
    EXPECT_EQ(joined + printed.back(), text);
    // The blank that ends a line is the first one to end beyond 6.5 inches.
    for (std::size_t i = 0; i + 1 < printer.texts.size(); ++i) {
        const PrintedText& t = printer.texts[i];
        if (t.text == u" " && endOf(t) > 6.5f) {
            EXPECT_NE(printer.texts[i + 1].y, t.y) << "no break after a blank at " << endOf(t);
        }
        if (printer.texts[i + 1].y == t.y) {
            EXPECT_FALSE(t.text == u" " && endOf(t) > 6.5f);
        }
    }
    // Each new line starts at the left margin.
    for (const PrintedText& t : printer.texts) {
        EXPECT_GE(t.x, 1.0f);
    }
}

TEST_F(FlowText, AWordTooLongForTheLineIsBrokenHalfAnInchPastTheLimit) {
    flow(QString(300, u'm'));
    const std::vector<QString> printed = lines();
    ASSERT_GE(printed.size(), 3u);
    for (std::size_t i = 0; i + 1 < printer.texts.size(); ++i) {
        const PrintedText& t = printer.texts[i];
        const bool lineEnds = printer.texts[i + 1].y != t.y;
        // The line ends at the first letter that ends beyond 8 inches.
        EXPECT_EQ(lineEnds, endOf(t) > 8.0f) << "letter " << i << " ends at " << endOf(t);
    }
}

TEST_F(FlowText, AThreePageTextCarriesFootersTwoAndThreeOnly) {
    printer.fixedLineHeight = 0.5;
    QString text;
    for (int i = 1; i <= 40; ++i) {
        text += QStringLiteral("Line %1\r\n").arg(i);
    }
    flow(text, QStringLiteral("Corvane, Help Section: Main Screen"));
    EXPECT_EQ(printer.pagesStarted, 3);
    std::vector<const PrintedText*> footers;
    for (const PrintedText& t : printer.texts) {
        if (t.text.startsWith(QStringLiteral("(page"))) {
            footers.push_back(&t);
        }
    }
    ASSERT_EQ(footers.size(), 2u);
    EXPECT_EQ(footers[0]->text, "(page 2)");
    EXPECT_EQ(footers[0]->page, 2);
    EXPECT_EQ(footers[1]->text, "(page 3)");
    EXPECT_EQ(footers[1]->page, 3);
    for (const PrintedText* footer : footers) {
        EXPECT_FLOAT_EQ(footer->x, 6.0f);
        EXPECT_FLOAT_EQ(footer->y, 9.2f);
    }
    // The heading, underlined, once: at the top of the first page, the
    // text two lines below it at one inch.
    const PrintedText* heading = printer.find(QStringLiteral("Corvane, Help Section: Main Screen"));
    ASSERT_NE(heading, nullptr);
    EXPECT_EQ(heading->page, 1);
    EXPECT_FLOAT_EQ(heading->y, 1.0f);
    EXPECT_TRUE(heading->font.underline);
    const PrintedText& first = *std::find_if(printer.texts.begin(), printer.texts.end(),
                                             [](const PrintedText& t) { return t.text == u"L"; });
    EXPECT_FLOAT_EQ(first.y, 2.0f);
    EXPECT_FLOAT_EQ(first.x, 1.0f);
    EXPECT_FALSE(first.font.underline);
    // Later pages start at the top margin; no page ends below 8.8 inches
    // except by its footer.
    for (const PrintedText& t : printer.texts) {
        EXPECT_GE(t.y, 1.0f);
        if (!t.text.startsWith(QStringLiteral("(page"))) {
            EXPECT_LE(t.y, 9.0f);
        }
    }
}

TEST_F(FlowText, AHeadingCanBeCentredOnThePaperAndRepeatedOnEveryPage) {
    printer.fixedLineHeight = 0.5;
    printer.pageWidth = 11906;  // A4
    QString text;
    for (int i = 1; i <= 20; ++i) {
        text += QStringLiteral("Line %1\r\n").arg(i);
    }
    printLayout::PrintFlowText(
        printer, &owner, text, QStringLiteral("Heading"),
        {.underlineHeading = false, .centreHeading = true, .headingOnEveryPage = true});
    std::vector<const PrintedText*> headings;
    for (const PrintedText& t : printer.texts) {
        if (t.text == u"Heading") {
            headings.push_back(&t);
        }
    }
    ASSERT_EQ(headings.size(), 2u);
    const float centred =
        static_cast<float>(11906 / 2880.0 - printer.textWidth(QStringLiteral("Heading")) / 2);
    for (const PrintedText* h : headings) {
        EXPECT_FLOAT_EQ(h->x, centred);
        EXPECT_FALSE(h->font.underline);
    }
    EXPECT_EQ(headings[1]->page, 2);
}

TEST_F(FlowText, ATextStartingBelowTheFullMarkStartsOnTheNextPageWithItsHeading) {
    // As the entry report does: more text under output already on the page,
    // the document kept open and the owner left to the caller, who numbers
    // the last page.
    printer.y = 8.9f;
    printLayout::PrintFlowText(printer, &owner, QStringLiteral("abc"), QStringLiteral("Comments-"),
                               {.leaveOwnerAlone = true, .keepDocumentOpen = true});
    ASSERT_EQ(printer.texts.size(), 4u);
    EXPECT_EQ(printer.texts[0].text, "Comments-");
    EXPECT_EQ(printer.texts[0].page, 2);
    EXPECT_FLOAT_EQ(printer.texts[0].y, 1.0f);
    EXPECT_EQ(printer.texts[1].text, "a");
    EXPECT_EQ(printer.texts[1].page, 2);
    EXPECT_EQ(printer.texts.back().text, "c");
    EXPECT_FALSE(printer.ended);
}

TEST_F(FlowText, TheOwnerIsBusyWhilePrintingAndItselfAgainAfterwards) {
    owner.show();
    printer.onDraw = [&] {
        EXPECT_FALSE(owner.isEnabled());
        ASSERT_NE(QApplication::overrideCursor(), nullptr);
        EXPECT_EQ(QApplication::overrideCursor()->shape(), Qt::WaitCursor);
    };
    flow(QStringLiteral("Some help"));
    EXPECT_TRUE(owner.isEnabled());
    EXPECT_EQ(QApplication::overrideCursor(), nullptr);

    // A job the printer gave up on stops drawing and still frees the owner.
    test::RecordingSurface broken;
    broken.failing = true;
    printLayout::PrintFlowText(broken, &owner, QStringLiteral("Some help"), {});
    EXPECT_TRUE(broken.texts.empty());
    EXPECT_TRUE(owner.isEnabled());
    EXPECT_EQ(QApplication::overrideCursor(), nullptr);
}

TEST(PrintRule, RunsFromItsStartToAtLeastItsEndAndEndsTheLine) {
    test::RecordingSurface printer;
    printer.y = 2.0f;
    printer.print(QStringLiteral("Name"));
    printLayout::PrintRule(printer, 0.5f, 7.6f);
    ASSERT_EQ(printer.texts.size(), 2u);
    const PrintedText& rule = printer.texts[1];
    EXPECT_FLOAT_EQ(rule.x, 0.5f);
    EXPECT_FLOAT_EQ(rule.y, 2.0f);  // on the line of the text: it underlines it
    ASSERT_FALSE(rule.text.isEmpty());
    EXPECT_EQ(rule.text, QString(rule.text.size(), u'_'));
    const float underscore = static_cast<float>(printer.textWidth(QStringLiteral("_")));
    float end = 0.5f;
    for (int i = 0; i < rule.text.size() - 1; ++i) {
        end += underscore;
    }
    EXPECT_LT(end, 7.6f);               // one fewer would not reach
    EXPECT_GE(end + underscore, 7.6f);  // these do
    EXPECT_FLOAT_EQ(printer.x, 0.0f);
    EXPECT_GT(printer.y, 2.0f);

    // A rule that starts past its end still prints one underscore.
    printLayout::PrintRule(printer, 7.7f, 7.6f);
    EXPECT_EQ(printer.texts.back().text, "_");
}

}  // namespace
}  // namespace corvane
