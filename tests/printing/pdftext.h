#pragma once

// The words of a PDF file with their boxes, as pdftotext -bbox reads them:
// to check a real printout's text and where it landed.

#include <QRegularExpression>
#include <QString>
#include <vector>

#include "testsupport.h"

namespace corvane::test {

struct PdfWord {
    int page;     // from 1
    double left;  // points from the paper's left edge
    double top;   // points from the paper's top edge
    QString text;
    double right = 0;  // points from the paper's left edge to the word's end
};

struct PdfText {
    double pageWidth = 0;  // points
    double pageHeight = 0;
    std::vector<PdfWord> words;

    // The words of page `page`, read in order, joined by blanks.
    QString pageText(int page) const {
        QStringList out;
        for (const PdfWord& w : words) {
            if (w.page == page) {
                out << w.text;
            }
        }
        return out.join(u' ');
    }
    int pages() const { return words.empty() ? 0 : words.back().page; }
    // The first word equal to `text`, or null.
    const PdfWord* find(const QString& text) const {
        for (const PdfWord& w : words) {
            if (w.text == text) {
                return &w;
            }
        }
        return nullptr;
    }
};

inline PdfText readPdf(const std::string& path) {
    const ProgramResult run = runProgram("/usr/bin/pdftotext", {"-bbox", path, "-"}, "/");
    PdfText pdf;
    if (run.exitStatus != 0) {
        return pdf;
    }
    static const QRegularExpression pageTag(
        QStringLiteral(R"re(<page width="([\d.]+)" height="([\d.]+)">)re"));
    static const QRegularExpression wordTag(QStringLiteral(
        R"re(<word xMin="([\d.]+)" yMin="([\d.]+)" xMax="([\d.]+)" yMax="[\d.]+">([^<]*)</word>)re"));
    int page = 0;
    for (const QString& line : QString::fromStdString(run.out).split(u'\n')) {
        if (const auto m = pageTag.match(line); m.hasMatch()) {
            ++page;
            pdf.pageWidth = m.captured(1).toDouble();
            pdf.pageHeight = m.captured(2).toDouble();
        } else if (const auto w = wordTag.match(line); w.hasMatch()) {
            QString text = w.captured(4);
            text.replace(QStringLiteral("&lt;"), QStringLiteral("<"))
                .replace(QStringLiteral("&gt;"), QStringLiteral(">"))
                .replace(QStringLiteral("&quot;"), QStringLiteral("\""))
                .replace(QStringLiteral("&amp;"), QStringLiteral("&"));
            pdf.words.push_back({page, w.captured(1).toDouble(), w.captured(2).toDouble(), text,
                                 w.captured(3).toDouble()});
        }
    }
    return pdf;
}

}  // namespace corvane::test
