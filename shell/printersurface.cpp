#include "printersurface.h"

namespace corvane {

void PrinterSurface::setFont(const PrintFont& font) {
    if (font != m_font) {
        m_font = font;
        fontChanged();
    }
}

void PrinterSurface::setUnderline(bool on) {
    PrintFont font = m_font;
    font.underline = on;
    setFont(font);
}

void PrinterSurface::print(const QString& text) {
    printRepeated(text, 1);
}

void PrinterSurface::printRepeated(const QString& text, int count) {
    if (!active() || count < 1 || text.isEmpty()) {
        return;
    }
    drawText(count == 1 ? text : text.repeated(count), x + m_shiftX, y + m_shiftY);
    // The position moves as it would by `count` single prints, in the
    // single precision the layouts compare against.
    const auto width = static_cast<float>(measure(text));
    for (int i = 0; i < count; ++i) {
        x += width;
    }
}

void PrinterSurface::endLine() {
    x = 0;
    y += static_cast<float>(fontLineHeight());
}

void PrinterSurface::newPage() {
    if (!active()) {
        return;
    }
    startNewPage();
    ++m_page;
    x = 0;
    y = 0;
}

void PrinterSurface::endDoc() {
    if (m_ended) {
        return;
    }
    m_ended = true;
    finishDocument();
}

}  // namespace corvane
