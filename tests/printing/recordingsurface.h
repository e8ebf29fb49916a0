#pragma once

// A printer surface that records every text with its page, place and font,
// measuring text as a 1200-dpi PDF does. Its line height can be set, so a
// test can put a line exactly where an edge case needs it.

#include <QBuffer>
#include <QFontMetricsF>
#include <QPdfWriter>
#include <functional>
#include <memory>
#include <vector>

#include "printersurface.h"
#include "qtprintersurface.h"

namespace corvane::test {

struct PrintedText {
    int page;
    float x;
    float y;
    QString text;
    PrintFont font;
};

class RecordingSurface final : public PrinterSurface {
  public:
    RecordingSurface() : m_pdf(&m_buffer) {
        m_pdf.setResolution(1200);
        fontChanged();
    }

    std::vector<PrintedText> texts;
    int pagesStarted = 1;
    bool ended = false;
    int pageWidth = 12240;         // Letter
    double fixedLineHeight = 0;    // 0: the font's own
    bool failing = false;          // as a job the printer gave up on
    std::function<void()> onDraw;  // runs as each text is printed
    // Runs as the document ends, with everything printed.
    std::function<void(const RecordingSurface&)> onEnd;

    int pageWidthTwips() const override { return pageWidth; }
    double printableHeight() const override { return printable; }
    QPointF physicalOffset() const override { return offset; }
    QPointF offset{0.25, 0.25};  // a laser printer's unprintable edge
    double printable = 10.5;     // Letter within quarter-inch margins

    struct PrintedPicture {
        int page;
        double x, y, width, height;
        QSize pixels;
    };
    std::vector<PrintedPicture> pictures;
    bool active() const override { return PrinterSurface::active() && !failing; }
    bool completed() const override { return PrinterSurface::completed() && !failing; }

    // The texts of page `page`, in the order printed.
    std::vector<PrintedText> onPage(int page) const {
        std::vector<PrintedText> out;
        for (const PrintedText& t : texts) {
            if (t.page == page) {
                out.push_back(t);
            }
        }
        return out;
    }
    // The first text equal to `text`, or null.
    const PrintedText* find(const QString& text) const {
        for (const PrintedText& t : texts) {
            if (t.text == text) {
                return &t;
            }
        }
        return nullptr;
    }

  protected:
    void drawText(const QString& text, double atX, double atY) override {
        texts.push_back({page(), static_cast<float>(atX), static_cast<float>(atY), text, font()});
        if (onDraw) {
            onDraw();
        }
    }
    void drawImage(const QImage& image, double atX, double atY, double width,
                   double height) override {
        pictures.push_back({page(), atX, atY, width, height, image.size()});
    }
    double measure(const QString& text) const override {
        return m_metrics->horizontalAdvance(text) / 1200.0;
    }
    double fontLineHeight() const override {
        return fixedLineHeight > 0 ? fixedLineHeight : m_metrics->lineSpacing() / 1200.0;
    }
    void fontChanged() override {
        m_metrics = std::make_unique<QFontMetricsF>(printerFont(font()), &m_pdf);
    }
    void startNewPage() override { ++pagesStarted; }
    void finishDocument() override {
        ended = true;
        if (onEnd) {
            onEnd(*this);
        }
    }

  private:
    QBuffer m_buffer;
    QPdfWriter m_pdf;
    std::unique_ptr<QFontMetricsF> m_metrics;
};

}  // namespace corvane::test
