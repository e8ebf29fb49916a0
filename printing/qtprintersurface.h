#pragma once

// The printer surface on paper: a QPainter on the default printer, or on a
// PDF file when there is no printer. Positions are inches from the top-left
// corner of the printable area; text widths and line heights come from the
// device's own font metrics.
//
// A job that fails (the printer refuses it, the file cannot be written) or
// that the user cancels is abandoned: nothing more is drawn, no partial
// PDF is left under the chosen name, and report() tells the user. A PDF
// that was written is announced with its place.

#include <QElapsedTimer>
#include <QFont>
#include <QFontMetricsF>
#include <QHash>
#include <QPageLayout>
#include <QPageSize>
#include <QPainter>
#include <memory>
#include <optional>

#include "printersurface.h"

class QPagedPaintDevice;
class QPdfWriter;
class QPrinter;
class QProgressDialog;
class QSaveFile;
class QWidget;

namespace corvane {

class Platform;

// A PDF file has no unprintable edge; these margins give it the printable
// area of a common office printer, so that a layout measured from that
// area's corner sits on the page as it would on paper.
inline constexpr double kPdfMarginInches = 0.25;

// The Qt font a printout's font prints in: without kerning, so that text
// printed piece by piece lands where the same text in one piece does.
QFont printerFont(const PrintFont& font);

class QtPrinterSurface final : public PrinterSurface {
  public:
    // A job on the printer called `printerName`, on its own paper or on
    // `paper` (labels go on the Letter sheet they are made on).
    static std::unique_ptr<QtPrinterSurface> onPrinter(
        Platform& platform, QWidget* owner, const QString& printerName, const QString& documentName,
        const std::optional<QPageSize>& paper = std::nullopt);
    // Sets `printer` up for a job: the printable area's margins, the
    // document's name, and `paper` when given. False when the printer
    // cannot take that paper.
    static bool setUpPrinter(QPrinter& printer, const QString& documentName,
                             const std::optional<QPageSize>& paper);
    // A job written as a PDF file at `path` on `paper`, with the margins a
    // printer's printable area would have.
    static std::unique_ptr<QtPrinterSurface> toPdf(Platform& platform, QWidget* owner,
                                                   const QString& path, const QPageSize& paper,
                                                   const QString& documentName);
    ~QtPrinterSurface() override;

    int pageWidthTwips() const override;
    double printableHeight() const override;
    QPointF physicalOffset() const override;
    bool active() const override;
    bool completed() const override { return m_written; }

    // Tells the user, once, why the job failed or where the PDF file is.
    void report() override;
    // After how long a progress window with a Cancel button shows.
    void setProgressDelay(int milliseconds) { m_progressDelay = milliseconds; }
    // The place the job goes: the printer's name or the file's path.
    const QString& target() const { return m_target; }

  protected:
    void drawText(const QString& text, double atX, double atY) override;
    void drawImage(const QImage& image, double atX, double atY, double width,
                   double height) override;
    double measure(const QString& text) const override;
    double fontLineHeight() const override { return m_lineHeight; }
    void fontChanged() override;
    void startNewPage() override;
    void finishDocument() override;

  private:
    QtPrinterSurface(Platform& platform, QWidget* owner, QString target);
    bool begin(QPagedPaintDevice* device);
    // The paper and printable area of the printer or the PDF.
    QPageLayout pageLayout() const;
    void flushRun();
    void abandon(const QString& why);
    void showProgress();

    Platform& m_platform;
    QWidget* m_owner;
    QString m_target;
    std::unique_ptr<QPrinter> m_printer;
    std::unique_ptr<QSaveFile> m_file;
    std::unique_ptr<QPdfWriter> m_pdf;
    QPagedPaintDevice* m_device = nullptr;
    QPainter m_painter;
    double m_dpi = 1200;

    QFont m_qfont;
    std::unique_ptr<QFontMetricsF> m_metrics;
    double m_ascent = 0;
    double m_lineHeight = 0;
    mutable QHash<QChar, double> m_charWidths;

    // Text printed piece by piece along a line is drawn as one run.
    QString m_run;
    double m_runX = 0;
    double m_runY = 0;
    double m_runEnd = 0;

    QElapsedTimer m_clock;
    int m_progressDelay = 500;
    qint64 m_progressShownAt = 0;
    std::unique_ptr<QProgressDialog> m_progress;

    bool m_drewAnything = false;
    bool m_abandoned = false;
    bool m_cancelled = false;
    bool m_written = false;
    bool m_reported = false;
    QString m_failure;
};

}  // namespace corvane
