#pragma once

// The printer as every printout sees it: a current position in inches from
// the top-left corner of the printable area, a font, text that advances the
// position, lines, pages and the end of the document. The program prints on
// a QPainter (the default printer, or a PDF file when there is none); tests
// record what is printed where.

#include <QImage>
#include <QPointF>
#include <QString>

namespace corvane {

struct PrintFont {
    QString name = QStringLiteral("Arial");
    double size = 10;  // points
    bool bold = false;
    bool italic = false;
    bool underline = false;

    bool operator==(const PrintFont&) const = default;
};

class PrinterSurface {
  public:
    virtual ~PrinterSurface() = default;

    // The current position in inches. Printing a text advances `x` by its
    // width; ending a line sets `x` to 0 and advances `y` by one line.
    float x = 0;
    float y = 0;

    const PrintFont& font() const { return m_font; }
    void setFont(const PrintFont& font);
    void setUnderline(bool on);

    // Prints `text` at the current position without ending the line.
    void print(const QString& text);
    // Prints `count` copies of `text` side by side, as `count` calls of
    // print would, in one piece.
    void printRepeated(const QString& text, int count);
    void endLine();
    // Draws `image` scaled into the rectangle at (`atX`, `atY`), `width` x
    // `height` inches.
    void drawPicture(const QImage& image, double atX, double atY, double width, double height) {
        if (active()) {
            drawImage(image, atX + m_shiftX, atY + m_shiftY, width, height);
        }
    }
    // Ends the page; the next one starts at (0, 0).
    void newPage();
    // Ends the document: the job is sent, or the file written. Nothing is
    // printed after it.
    void endDoc();

    // The number of the page being printed, from 1.
    int page() const { return m_page; }
    // How far a printout of `total` items (entries, labels) is: a long one
    // shows it on a progress bar.
    void setProgressTotal(int total) { m_progressTotal = total; }
    void setProgressDone(int done) { m_progressDone = done; }
    int progressTotal() const { return m_progressTotal; }
    int progressDone() const { return m_progressDone; }
    // The width of `text` in the current font, in inches.
    double textWidth(const QString& text) const { return measure(text); }
    // The height of one line of the current font, in inches.
    double lineHeight() const { return fontLineHeight(); }
    // The physical width of the paper, in twips (1/1440 inch).
    virtual int pageWidthTwips() const = 0;
    // The height of the printable area, in inches.
    virtual double printableHeight() const = 0;

    // The distance from the paper's top-left corner to the printable area's,
    // in inches.
    virtual QPointF physicalOffset() const = 0;
    // Moves the origin: positions from now on are drawn `dx`, `dy` inches
    // from where they would be. A new document starts with none.
    void shiftOrigin(double dx, double dy) {
        m_shiftX = dx;
        m_shiftY = dy;
    }

    // False once the document ended, the job failed or the user cancelled
    // it: nothing more reaches the paper.
    virtual bool active() const { return !m_ended; }
    // True once the document ended whole: the job sent or the file written,
    // not cancelled and not failed.
    virtual bool completed() const { return m_ended; }
    // Tells the user how the job ended, where that needs telling: why it
    // failed, or where the file it wrote is. Called once the window that
    // printed is enabled again.
    virtual void report() {}

  protected:
    // Draws `text` with its top-left corner at (`atX`, `atY`) inches.
    virtual void drawText(const QString& text, double atX, double atY) = 0;
    virtual void drawImage(const QImage& image, double atX, double atY, double width,
                           double height) = 0;
    virtual double measure(const QString& text) const = 0;
    virtual double fontLineHeight() const = 0;
    virtual void fontChanged() {}
    virtual void startNewPage() = 0;
    virtual void finishDocument() = 0;

  private:
    PrintFont m_font;
    double m_shiftX = 0;
    double m_shiftY = 0;
    int m_page = 1;
    int m_progressTotal = 0;
    int m_progressDone = 0;
    bool m_ended = false;
};

}  // namespace corvane
