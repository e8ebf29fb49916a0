#include "qtprintersurface.h"

#include <QCoreApplication>
#include <QDir>
#include <QPdfWriter>
#include <QPrinter>
#include <QPrinterInfo>
#include <QProgressDialog>
#include <QSaveFile>

#include "platform.h"

namespace corvane {
namespace {}  // namespace

QFont printerFont(const PrintFont& font) {
    QFont f(font.name);
    f.setPointSizeF(font.size);
    f.setBold(font.bold);
    f.setItalic(font.italic);
    f.setUnderline(font.underline);
    // Text printed piece by piece must land where the same text printed in
    // one piece does, so no pair of letters is moved closer.
    f.setKerning(false);
    f.setHintingPreference(QFont::PreferNoHinting);
    return f;
}

QtPrinterSurface::QtPrinterSurface(Platform& platform, QWidget* owner, QString target)
    : m_platform(platform), m_owner(owner), m_target(std::move(target)) {
    m_clock.start();
}

bool QtPrinterSurface::setUpPrinter(QPrinter& printer, const QString& documentName,
                                    const std::optional<QPageSize>& paper) {
    printer.setFullPage(false);
    printer.setDocName(documentName);
    return !paper || printer.setPageSize(*paper);
}

std::unique_ptr<QtPrinterSurface> QtPrinterSurface::onPrinter(
    Platform& platform, QWidget* owner, const QString& printerName, const QString& documentName,
    const std::optional<QPageSize>& paper) {
    std::unique_ptr<QtPrinterSurface> surface(new QtPrinterSurface(platform, owner, printerName));
    const QPrinterInfo info = QPrinterInfo::printerInfo(printerName);
    surface->m_printer = std::make_unique<QPrinter>(info, QPrinter::HighResolution);
    surface->m_printer->setOutputFormat(QPrinter::NativeFormat);
    if (info.isNull() || !surface->m_printer->isValid()) {
        surface->abandon(QStringLiteral("Corvane could not find the printer \"%1\".\n\n"
                                        "Nothing was printed.")
                             .arg(printerName));
        return surface;
    }
    if (!setUpPrinter(*surface->m_printer, documentName, paper)) {
        surface->abandon(QStringLiteral("The printer \"%1\" cannot take %2 paper, which the "
                                        "labels are made on.\n\nNothing was printed.")
                             .arg(printerName, paper->name()));
        return surface;
    }
    if (!surface->begin(surface->m_printer.get())) {
        surface->abandon(QStringLiteral("The printer \"%1\" did not accept the printout.\n\n"
                                        "Nothing was printed.")
                             .arg(printerName));
    }
    return surface;
}

std::unique_ptr<QtPrinterSurface> QtPrinterSurface::toPdf(Platform& platform, QWidget* owner,
                                                          const QString& path,
                                                          const QPageSize& paper,
                                                          const QString& documentName) {
    const QString shown = QDir::toNativeSeparators(path);
    std::unique_ptr<QtPrinterSurface> surface(new QtPrinterSurface(platform, owner, shown));
    // Written beside the chosen name and put in its place only when whole.
    surface->m_file = std::make_unique<QSaveFile>(path);
    if (!surface->m_file->open(QIODevice::WriteOnly)) {
        surface->abandon(QStringLiteral("Corvane could not write the PDF file\n%1\n\n(%2). "
                                        "Nothing was saved.")
                             .arg(shown, surface->m_file->errorString()));
        return surface;
    }
    surface->m_pdf = std::make_unique<QPdfWriter>(surface->m_file.get());
    QPdfWriter& pdf = *surface->m_pdf;
    pdf.setResolution(1200);
    pdf.setCreator(QStringLiteral("Corvane"));
    pdf.setTitle(documentName);
    pdf.setPageLayout(QPageLayout(
        paper, QPageLayout::Portrait,
        QMarginsF(kPdfMarginInches, kPdfMarginInches, kPdfMarginInches, kPdfMarginInches),
        QPageLayout::Inch));
    if (!surface->begin(surface->m_pdf.get())) {
        surface->abandon(
            QStringLiteral("Corvane could not write the PDF file\n%1\n\nNothing was saved.")
                .arg(shown));
    }
    return surface;
}

QtPrinterSurface::~QtPrinterSurface() {
    if (!m_abandoned && !m_written) {
        abandon({});  // never ended: nothing reaches the paper or the file
    }
    if (!m_reported && !m_failure.isEmpty()) {
        report();
    }
}

bool QtPrinterSurface::begin(QPagedPaintDevice* device) {
    if (!m_painter.begin(device)) {
        return false;
    }
    m_device = device;
    m_dpi = device->logicalDpiX();
    fontChanged();
    return true;
}

QPageLayout QtPrinterSurface::pageLayout() const {
    return m_printer ? m_printer->pageLayout() : m_pdf ? m_pdf->pageLayout() : QPageLayout();
}

int QtPrinterSurface::pageWidthTwips() const {
    const QPageLayout layout = pageLayout();
    return qRound(layout.fullRect(QPageLayout::Inch).width() * 1440);
}

double QtPrinterSurface::printableHeight() const {
    const QPageLayout layout = pageLayout();
    return layout.paintRect(QPageLayout::Inch).height();
}

QPointF QtPrinterSurface::physicalOffset() const {
    const QPageLayout layout = pageLayout();
    return layout.paintRect(QPageLayout::Inch).topLeft();
}

bool QtPrinterSurface::active() const {
    return PrinterSurface::active() && !m_abandoned;
}

void QtPrinterSurface::fontChanged() {
    flushRun();
    m_qfont = printerFont(font());
    m_charWidths.clear();
    if (m_device == nullptr) {
        return;
    }
    m_painter.setFont(m_qfont);
    m_metrics = std::make_unique<QFontMetricsF>(m_qfont, m_device);
    m_ascent = m_metrics->ascent() / m_dpi;
    m_lineHeight = m_metrics->lineSpacing() / m_device->logicalDpiY();
}

double QtPrinterSurface::measure(const QString& text) const {
    if (!m_metrics) {
        return 0;
    }
    if (text.size() == 1) {
        auto found = m_charWidths.constFind(text[0]);
        if (found == m_charWidths.cend()) {
            found = m_charWidths.insert(text[0], m_metrics->horizontalAdvance(text) / m_dpi);
        }
        return *found;
    }
    // Latin text, printed without kerning, is as wide as its letters one by
    // one (checked for every pair of them), and those widths are known: the
    // list and label printouts measure a hundred thousand texts that way.
    // Anything else is shaped whole.
    double sum = 0;
    for (const QChar c : text) {
        if (c.unicode() >= 0x0250 || c.category() == QChar::Mark_NonSpacing) {
            return m_metrics->horizontalAdvance(text) / m_dpi;
        }
        sum += measure(QString(c));
    }
    return sum;
}

void QtPrinterSurface::drawText(const QString& text, double atX, double atY) {
    m_drewAnything = true;
    if (!m_run.isEmpty() && atY == m_runY && qAbs(atX - m_runEnd) < 1e-4) {
        m_run += text;
    } else {
        flushRun();
        m_run = text;
        m_runX = atX;
        m_runY = atY;
    }
    m_runEnd = atX + measure(text);
}

void QtPrinterSurface::drawImage(const QImage& image, double atX, double atY, double width,
                                 double height) {
    flushRun();
    m_drewAnything = true;
    if (m_painter.isActive()) {
        const double dpiY = m_device->logicalDpiY();
        m_painter.setRenderHint(QPainter::SmoothPixmapTransform);
        m_painter.drawImage(QRectF(atX * m_dpi, atY * dpiY, width * m_dpi, height * dpiY), image);
    }
}

void QtPrinterSurface::flushRun() {
    if (m_run.isEmpty()) {
        return;
    }
    if (m_painter.isActive()) {
        m_painter.drawText(
            QPointF(m_runX * m_dpi, m_runY * m_device->logicalDpiY() + m_ascent * m_dpi), m_run);
    }
    m_run.clear();
}

void QtPrinterSurface::startNewPage() {
    flushRun();
    if (!m_device->newPage()) {
        abandon(m_printer ? QStringLiteral("The printer \"%1\" stopped taking the printout "
                                           "after page %2.\n\nThe job was cancelled.")
                                .arg(m_target)
                                .arg(page())
                          : QStringLiteral("Corvane could not write the PDF file\n%1\n\n"
                                           "Nothing was saved.")
                                .arg(m_target));
        return;
    }
    // Shown after a while, and brought up to date a few times a second:
    // each look at the window's events costs as much as a page.
    const qint64 now = m_clock.elapsed();
    if (now >= m_progressDelay && (!m_progress || now - m_progressShownAt >= 100)) {
        m_progressShownAt = now;
        showProgress();
    }
}

// A long printout shows how far it is and can be cancelled.
void QtPrinterSurface::showProgress() {
    if (!m_progress) {
        // Over the window it serves, not wherever the desktop puts a window
        // of its own.
        m_progress = std::make_unique<QProgressDialog>(m_owner);
        m_progress->setObjectName(QStringLiteral("printProgress"));
        m_progress->setWindowTitle(QStringLiteral("Printing"));
        m_progress->setCancelButtonText(QStringLiteral("Cancel"));
        m_progress->setMinimumDuration(0);
        m_progress->setWindowModality(Qt::ApplicationModal);
        m_progress->setAutoReset(false);
        m_progress->setAutoClose(false);
        m_progress->show();
    }
    // A bar against the number of entries or labels where the printout
    // knows it; a busy bar where it does not.
    m_progress->setRange(0, progressTotal());
    if (progressTotal() > 0) {
        m_progress->setValue(progressDone());
    }
    m_progress->setLabelText(QStringLiteral("Printing page %1...").arg(page() + 1));
    QCoreApplication::processEvents();
    if (m_progress->wasCanceled()) {
        m_cancelled = true;
        abandon({});
    }
}

void QtPrinterSurface::finishDocument() {
    flushRun();
    m_progress.reset();
    if (m_abandoned) {
        return;
    }
    if (!m_drewAnything) {
        abandon({});  // an empty document sends no blank page and writes no file
        return;
    }
    if (!m_painter.end()) {
        abandon(
            m_printer
                ? QStringLiteral("The printer \"%1\" did not finish the printout.").arg(m_target)
                : QStringLiteral("Corvane could not write the PDF file\n%1\n\n"
                                 "Nothing was saved.")
                      .arg(m_target));
        return;
    }
    // A short printout still sits in the file's buffer here, and a failure
    // of the write that empties it goes unnoticed by commit(): flushed and
    // checked first, it never replaces the earlier file with a broken one.
    if (m_file && (!m_file->flush() || m_file->error() != QFileDevice::NoError)) {
        abandon(QStringLiteral("Corvane could not write the PDF file\n%1\n\n(%2). "
                               "Nothing was saved.")
                    .arg(m_target, m_file->errorString()));
        return;
    }
    if (m_file && !m_file->commit()) {
        abandon(QStringLiteral("Corvane could not write the PDF file\n%1\n\n(%2). "
                               "Nothing was saved.")
                    .arg(m_target, m_file->errorString()));
        return;
    }
    m_written = true;
}

void QtPrinterSurface::abandon(const QString& why) {
    if (m_abandoned) {
        return;
    }
    m_abandoned = true;
    m_failure = why;
    m_run.clear();
    m_progress.reset();
    if (m_printer && m_painter.isActive()) {
        m_printer->abort();
    }
    if (m_painter.isActive()) {
        m_painter.end();
    }
    if (m_file) {
        m_file->cancelWriting();  // the chosen name never holds a partial file
    }
}

void QtPrinterSurface::report() {
    if (m_reported) {
        return;
    }
    m_reported = true;
    if (!m_failure.isEmpty()) {
        m_platform.messageBox(m_owner, {QStringLiteral("Printing"), m_failure, MsgIcon::Exclamation,
                                        MsgButtons::Ok, 1});
    } else if (m_written && m_pdf) {
        m_platform.messageBox(
            m_owner, {QStringLiteral("Corvane"),
                      QStringLiteral("There is no printer, so the printout was saved as a PDF "
                                     "file:\n\n%1")
                          .arg(m_target),
                      MsgIcon::Information, MsgButtons::Ok, 1});
    }
}

}  // namespace corvane
