// Timings of the store on a full data file (32,767 entries, 98 MB), beside the
// floors the disk and the system set for the same work:
//   BM_ReadAllRecords        the list rebuild's loop: open, read every record, close
//   BM_PlainRead             one sequential read of the whole file into memory
//   BM_DeleteFirstAndCompact deleting the first entry, which rewrites the whole file
//   BM_PlainCopySync         a copy of the file, flushed to disk
//   BM_SaveEntry             saving one entry as the editor does: open, read it,
//                            change it, write it through the journal, close
//   BM_PlainSlotWriteSync    one 3000-byte pwrite of a slot and its fdatasync
//   BM_ExportJson            `corvane --export json` of the whole file to a sink
//                            that drops what it is given (compare BM_PlainRead)
//   BM_ExportJsonFullBook    the same for a book whose every text field is two
//                            thirds full of Western text, quotes and backslashes
//   BM_ExportCsv, BM_ExportVCard  the CSV and vCard 4.0 exports, likewise
//   BM_ImportVCard           `corvane --import` of 32,767 vCards 3.0 as a terminal
//                            address book writes them, into an empty book: the
//                            file read, the cards read, the book written and flushed
//   BM_PlainWriteSync        writing a 98 MB data file and its fdatasync
//   BM_LoadGrid              the real main window (offscreen) rebuilding its list
//   BM_FindAllText           the same rebuild as a find over all text
//   BM_Reminders             the reminder popup's reading of every entry's dates
//   BM_CollectAffiliations   the affiliation filter's gathering of every entry's lines
//   BM_LoadEntryPhoto        a 6000 x 4000 JPEG loaded and fitted for the editor's frame
//   BM_DecodeFullJpeg        a plain QImage load of the same file
//   BM_PrintListPdf          the list printout of every entry to a PDF file
//   BM_PlainPdfText          a QPainter on a QPdfWriter drawing the same strings
//                            at the same places in the same font, nothing else
//   BM_ListLabelsPdf         labels for every entry to a PDF file
//   BM_PlainLabelsPdfText    the floor for the labels' strings, as above

#include <benchmark/benchmark.h>
#include <fcntl.h>
#include <unistd.h>

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <sstream>
#include <string>
#include <vector>

#include <QApplication>
#include <QFile>
#include <QPdfWriter>
#include <QSettings>

#include "affiliations.h"
#include "appstate.h"
#include "csvexport.h"
#include "datafile.h"
#include "entrypicture.h"
#include "frmmain.h"
#include "importer.h"
#include "jsonexport.h"
#include "listlabels.h"
#include "listprintout.h"
#include "oledate.h"
#include "qtprintersurface.h"
#include "reminders.h"
#include "vcardexport.h"

namespace {

using corvane::ContactRecord;
using corvane::DataFile;
using corvane::Field;

constexpr int kRecords = 32767;

// A folder holding a full data file, made once per run, and the pristine
// copy of that file that each deletion starts from.
struct BenchFolder {
    std::filesystem::path dir;
    std::string data, master, copy;

    BenchFolder() {
        std::string pattern = (std::filesystem::temp_directory_path() / "corvane-bench-XXXXXX");
        dir = ::mkdtemp(pattern.data());
        data = (dir / "Corvane.Data").string();
        master = (dir / "master.Data").string();
        copy = (dir / "copy.Data").string();
        std::ofstream out(master, std::ios::binary);
        ContactRecord record;
        for (int i = 0; i < kRecords; ++i) {
            record.setText(Field::FullName, "Entry " + std::to_string(i) + ", Somebody");
            record.setText(Field::HomeAddress1, std::to_string(i) + " Long Street");
            record.setText(Field::Comments,
                           "Met at the conference in " + std::to_string(1990 + i % 30));
            out.write(reinterpret_cast<const char*>(record.encode().data()), ContactRecord::kSize);
        }
        out.close();
        std::filesystem::copy_file(master, data, std::filesystem::copy_options::overwrite_existing);
    }
    ~BenchFolder() { std::filesystem::remove_all(dir); }
};

BenchFolder& folder() {
    static BenchFolder f;
    return f;
}

// Reads the whole file into `bytes`, which is already as large as the file.
void readWhole(const std::string& path, std::vector<char>& bytes) {
    const int fd = ::open(path.c_str(), O_RDONLY);
    std::size_t done = 0;
    while (done < bytes.size()) {
        const ssize_t n = ::read(fd, bytes.data() + done, bytes.size() - done);
        if (n <= 0) {
            break;
        }
        done += static_cast<std::size_t>(n);
    }
    ::close(fd);
}

void BM_ReadAllRecords(benchmark::State& state) {
    DataFile store(corvane::realFileSystem(), folder().dir.string());
    std::size_t names = 0;
    for (auto _ : state) {
        if (!store.OpenDataFile().ok()) {
            state.SkipWithError("open failed");
            break;
        }
        for (int i = 1; i <= store.RecordCount(); ++i) {
            (void)store.ReadRecord(i);
            names += store.CurrentRecord().encode()[7];
        }
        (void)store.CloseDataFile();
    }
    benchmark::DoNotOptimize(names);
    state.SetBytesProcessed(state.iterations() * kRecords * ContactRecord::kSize);
}

void BM_PlainRead(benchmark::State& state) {
    // The buffer is made once, as the store's own buffers are.
    std::vector<char> bytes(std::filesystem::file_size(folder().data));
    for (auto _ : state) {
        readWhole(folder().data, bytes);
        benchmark::DoNotOptimize(bytes.data());
    }
    state.SetBytesProcessed(state.iterations() * kRecords * ContactRecord::kSize);
}

// A full address book whose entries all have a birthday, an anniversary
// and three affiliations (out of 600, in varied capitals): made once, when
// the two benchmarks that read them run.
struct DatedFolder {
    std::filesystem::path dir;

    DatedFolder() {
        std::string pattern = (std::filesystem::temp_directory_path() / "corvane-dated-XXXXXX");
        dir = ::mkdtemp(pattern.data());
        std::ofstream out(dir / "master.Data", std::ios::binary);
        ContactRecord record;
        for (int i = 0; i < kRecords; ++i) {
            record.setText(Field::FullName, "Entry " + std::to_string(i) + ", Somebody");
            record.setDate(Field::Birthday,
                           corvane::oleFromDateTime({1950 + i % 50, 1 + i % 12, 1 + i % 28}));
            record.setDate(Field::Anniversary, corvane::oleFromDateTime(
                                                   {1980 + i % 40, 1 + (i / 12) % 12, 1 + i % 27}));
            std::string affiliations;
            for (int k = 0; k < 3; ++k) {
                const int club = (i * 7 + k * 131) % 600;
                affiliations +=
                    (club % 2 ? "Rotary Club " : "ROTARY club ") + std::to_string(club) + "\r\n";
            }
            record.setText(Field::Affiliations, affiliations);
            out.write(reinterpret_cast<const char*>(record.encode().data()), ContactRecord::kSize);
        }
        out.close();
        // Copied as the main folder's file is, so that both sit in the page
        // cache alike and read at the same speed as the plain read's file.
        std::filesystem::copy_file(dir / "master.Data", dir / "Corvane.Data");
    }
    ~DatedFolder() { std::filesystem::remove_all(dir); }
};

const DatedFolder& datedFolder() {
    static const DatedFolder folder;
    return folder;
}

void BM_Reminders(benchmark::State& state) {
    DataFile store(corvane::realFileSystem(), datedFolder().dir.string());
    std::size_t lines = 0;
    for (auto _ : state) {
        std::vector<corvane::Reminder> reminders;
        (void)corvane::collectReminders(store, QDate(2026, 12, 20), reminders);
        lines = reminders.size();
    }
    state.counters["lines"] = static_cast<double>(lines);
    state.SetBytesProcessed(state.iterations() * kRecords * ContactRecord::kSize);
}

void BM_CollectAffiliations(benchmark::State& state) {
    DataFile store(corvane::realFileSystem(), datedFolder().dir.string());
    qsizetype found = 0;
    for (auto _ : state) {
        QStringList affiliations;
        (void)corvane::collectAffiliations(store, affiliations);
        found = affiliations.size();
    }
    state.counters["affiliations"] = static_cast<double>(found);
    state.SetBytesProcessed(state.iterations() * kRecords * ContactRecord::kSize);
}

// Writes `bytes` as the whole file `path` and flushes its data: the floor
// of every change that writes a whole book.
bool writeWholeSync(const std::string& path, const std::vector<char>& bytes) {
    const int fd = ::open(path.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0644);
    std::size_t done = 0;
    while (fd >= 0 && done < bytes.size()) {
        const ssize_t n = ::write(fd, bytes.data() + done, bytes.size() - done);
        if (n <= 0) {
            break;
        }
        done += static_cast<std::size_t>(n);
    }
    const bool synced = fd >= 0 && done == bytes.size() && ::fdatasync(fd) == 0;
    if (fd >= 0) {
        ::close(fd);
    }
    return synced;
}

void BM_DeleteFirstAndCompact(benchmark::State& state) {
    DataFile store(corvane::realFileSystem(), folder().dir.string());
    for (auto _ : state) {
        state.PauseTiming();
        std::filesystem::copy_file(folder().master, folder().data,
                                   std::filesystem::copy_options::overwrite_existing);
        state.ResumeTiming();
        if (!store.DeleteAndCompact(1).ok()) {
            state.SkipWithError("delete failed");
            break;
        }
    }
    std::filesystem::copy_file(folder().master, folder().data,
                               std::filesystem::copy_options::overwrite_existing);
}

void BM_PlainCopySync(benchmark::State& state) {
    std::vector<char> bytes(std::filesystem::file_size(folder().data));
    for (auto _ : state) {
        readWhole(folder().data, bytes);
        (void)writeWholeSync(folder().copy, bytes);
    }
}

// 32,767 cards in the style of a terminal address book's vCard 3.0 export.
const std::string& importFile() {
    static const std::string path = [] {
        const std::string file = (folder().dir / "cards.vcf").string();
        std::ofstream out(file, std::ios::binary);
        for (int i = 0; i < kRecords; ++i) {
            const std::string n = std::to_string(i);
            out << "BEGIN:VCARD\r\nVERSION:3.0\r\nN:Entry " << n
                << ";Somebody\r\nFN:Somebody Entry " << n << "\r\nEMAIL;type=internet:somebody" << n
                << "@example.org\r\n"
                << "ADR:;;" << n << " Long Street;Portland;OR;97201;USA\r\n"
                << "TEL;type=home:555-" << n << "\r\nTEL;type=cell:555-9" << n << "\r\n"
                << "NICKNAME:Some" << n << "\r\nURL:http://example.org/" << n << "\r\n"
                << "NOTE:Met at the conference in " << 1990 + i % 30 << "\r\nEND:VCARD\r\n";
        }
        return file;
    }();
    return path;
}

void BM_ImportVCard(benchmark::State& state) {
    const std::filesystem::path into = folder().dir / "import";
    std::filesystem::create_directories(into);
    const std::string& cards = importFile();
    for (auto _ : state) {
        state.PauseTiming();
        std::filesystem::remove(into / "Corvane.Data");
        state.ResumeTiming();
        std::vector<char> text(std::filesystem::file_size(cards));
        readWhole(cards, text);
        DataFile store(corvane::realFileSystem(), into.string());
        corvane::ImportReading reading;
        const corvane::ImportResult result = corvane::importText(
            store, std::string_view(text.data(), text.size()), 46364.5, false, reading);
        if (!result.status.ok() || result.written != kRecords) {
            state.SkipWithError("import failed");
            break;
        }
    }
    std::filesystem::remove_all(into);
}

void BM_PlainWriteSync(benchmark::State& state) {
    std::vector<char> bytes(std::filesystem::file_size(folder().master));
    readWhole(folder().master, bytes);
    for (auto _ : state) {
        state.PauseTiming();
        std::filesystem::remove(folder().copy);
        state.ResumeTiming();
        if (!writeWholeSync(folder().copy, bytes)) {
            state.SkipWithError("write failed");
        }
    }
}

void BM_SaveEntry(benchmark::State& state) {
    DataFile store(corvane::realFileSystem(), folder().dir.string());
    int number = 0;
    for (auto _ : state) {
        number = number % kRecords + 1;
        if (!store.OpenDataFile().ok() || !store.ReadRecord(number).ok()) {
            state.SkipWithError("open failed");
            break;
        }
        store.CurrentRecord().setText(Field::Comments, "Saved " + std::to_string(number));
        const bool written = store.WriteRecord(number).ok();
        (void)store.CloseDataFile();
        if (!written) {
            state.SkipWithError("save failed");
            break;
        }
    }
}

void BM_PlainSlotWriteSync(benchmark::State& state) {
    const int fd = ::open(folder().data.c_str(), O_WRONLY);
    std::vector<char> slot(ContactRecord::kSize, 'x');
    int number = 0;
    for (auto _ : state) {
        number = number % kRecords + 1;
        const auto offset = static_cast<off_t>(number - 1) * ContactRecord::kSize;
        if (::pwrite(fd, slot.data(), slot.size(), offset) != static_cast<ssize_t>(slot.size()) ||
            ::fdatasync(fd) != 0) {
            state.SkipWithError("write failed");
            break;
        }
    }
    ::close(fd);
    std::filesystem::copy_file(folder().master, folder().data,
                               std::filesystem::copy_options::overwrite_existing);
}

// An output stream that takes everything and keeps nothing.
class NullBuffer final : public std::streambuf {
  protected:
    int overflow(int c) override { return c; }
    std::streamsize xsputn(const char*, std::streamsize n) override { return n; }
};

// A full book whose every text field is two thirds full: the export's
// worst case, where the text, not the file, is most of the work.
struct FullTextFolder {
    std::filesystem::path dir;
    FullTextFolder() {
        std::string pattern = (std::filesystem::temp_directory_path() / "corvane-full-XXXXXX");
        dir = ::mkdtemp(pattern.data());
        std::ofstream out(dir / "Corvane.Data", std::ios::binary);
        static const char* const kWords[] = {"Müller",      "Straße", "café", "Zoë",
                                             "road",        "the",    "of",   "\"quoted\"",
                                             "back\\slash", "Ørsted", "Åse",  "line"};
        ContactRecord record;
        for (int i = 0; i < kRecords; ++i) {
            for (int f = 1; f <= corvane::kFieldCount; ++f) {
                const auto field = static_cast<Field>(f);
                const auto& info = corvane::fieldInfo(field);
                if (info.kind != corvane::FieldKind::Text) {
                    continue;
                }
                std::string text;
                for (int w = i + f; static_cast<int>(text.size()) < info.width * 2 / 3; ++w) {
                    text += kWords[w % 12];
                    text += ' ';
                }
                record.setText(field, text);
            }
            record.setDate(Field::Birthday, 20000 + i);
            out.write(reinterpret_cast<const char*>(record.encode().data()), ContactRecord::kSize);
        }
    }
    ~FullTextFolder() { std::filesystem::remove_all(dir); }
};

void BM_ExportJsonFullBook(benchmark::State& state) {
    static FullTextFolder full;
    NullBuffer sink;
    std::ostream out(&sink);
    std::ostringstream err;
    const std::string data = (full.dir / "Corvane.Data").string();
    for (auto _ : state) {
        if (exportJsonLines(corvane::realFileSystem(), data, out, err) != corvane::kExportOk) {
            state.SkipWithError("export failed");
            break;
        }
    }
    state.SetBytesProcessed(state.iterations() * kRecords * ContactRecord::kSize);
}

template <typename Export>
void exportToNull(benchmark::State& state, Export run) {
    NullBuffer sink;
    std::ostream out(&sink);
    std::ostringstream err;
    for (auto _ : state) {
        if (run(out, err) != corvane::kExportOk) {
            state.SkipWithError("export failed");
            break;
        }
    }
    state.SetBytesProcessed(state.iterations() * kRecords * ContactRecord::kSize);
}

void BM_ExportCsv(benchmark::State& state) {
    exportToNull(state, [](std::ostream& out, std::ostream& err) {
        return corvane::exportCsv(corvane::realFileSystem(), folder().data, out, err);
    });
}

void BM_ExportVCard(benchmark::State& state) {
    exportToNull(state, [](std::ostream& out, std::ostream& err) {
        return corvane::exportVCards(corvane::realFileSystem(), folder().data,
                                     corvane::VCardVersion::V4, out, err);
    });
}

void BM_ExportJson(benchmark::State& state) {
    NullBuffer sink;
    std::ostream out(&sink);
    std::ostringstream err;
    for (auto _ : state) {
        if (exportJsonLines(corvane::realFileSystem(), folder().data, out, err) !=
            corvane::kExportOk) {
            state.SkipWithError("export failed");
            break;
        }
    }
    state.SetBytesProcessed(state.iterations() * kRecords * ContactRecord::kSize);
}

// A desktop that answers every question with its default and shows nothing.
class SilentPlatform final : public corvane::Platform {
  public:
    corvane::MsgAnswer messageBox(QWidget*, const corvane::MessageBoxSpec& spec) override {
        return corvane::answersOf(spec.buttons).value(spec.defaultButton - 1);
    }
    bool openAddress(const QString&) override { return true; }
    QDateTime now() override { return QDateTime::currentDateTime(); }
    QString saveFileName(QWidget*, const QString&, const QString&, const QString&) override {
        return saveAs;
    }
    QString openFileName(QWidget*, const QString&) override { return {}; }
    QString defaultPrinterName() override { return {}; }

    QString saveAs;  // where a printout's PDF goes
};

// The main window over the full file, shown once (which builds the list).
struct MainWindowBench {
    SilentPlatform platform;
    corvane::AppState app{platform, folder().dir.string()};
    corvane::frmMain window{app};

    MainWindowBench() {
        app.endProcess = [] {};
        window.setAttribute(Qt::WA_DeleteOnClose, false);
        window.show();
        QCoreApplication::processEvents();
        QCoreApplication::processEvents();
    }
};

void BM_LoadGrid(benchmark::State& state) {
    MainWindowBench bench;
    for (auto _ : state) {
        bench.window.LoadGrid();
    }
    state.counters["rows"] = bench.window.Rows() - 1;
}

void BM_FindAllText(benchmark::State& state) {
    MainWindowBench bench;
    bench.app.SearchPhrase = QStringLiteral("conference in 1995");
    bench.app.SearchOption = corvane::SearchScope::AllText;
    bench.app.SearchCompareMode = corvane::SearchCompare::IgnoreCase;
    bench.window.setSubListShown(true);
    for (auto _ : state) {
        bench.window.LoadGrid();
    }
    state.counters["rows"] = bench.window.Rows() - 1;
}

// The list as the print button hands it to the printout.
corvane::ListPrintout gridList(const corvane::frmMain& window) {
    return {QStringLiteral("Corvane"), QStringLiteral("All entries"),
            QStringLiteral("08 Dec 2026 09:30:15"), window.Rows(),
            [&window](int r, int c) { return window.TextMatrix(r, c); }};
}

QString pdfPath() {
    return QString::fromStdString((folder().dir / "list.pdf").string());
}

void BM_PrintListPdf(benchmark::State& state) {
    MainWindowBench bench;
    int pages = 0;
    for (auto _ : state) {
        auto printer = corvane::QtPrinterSurface::toPdf(bench.platform, nullptr, pdfPath(),
                                                        QPageSize(QPageSize::A4),
                                                        QStringLiteral("Corvane list"));
        corvane::PrintList(*printer, gridList(bench.window));
        pages = printer->page();
    }
    state.counters["pages"] = pages;
    state.counters["MB"] = static_cast<double>(QFile(pdfPath()).size()) / 1e6;
}

// Every text a printout puts on paper, with its page and place, measured
// as the PDF surface measures: what the floor below draws.
class PlacementRecorder final : public corvane::PrinterSurface {
  public:
    struct Placed {
        int page;
        double x, y;
        QString text;
    };
    std::vector<Placed> texts;

    PlacementRecorder() : m_pdf(pdfPath() + QStringLiteral(".metrics")) {
        m_pdf.setResolution(1200);
        fontChanged();
    }
    int pageWidthTwips() const override { return 11906; }
    double printableHeight() const override { return 11.19; }
    QPointF physicalOffset() const override { return {0.25, 0.25}; }

  protected:
    void drawText(const QString& text, double atX, double atY) override {
        texts.push_back({page(), atX, atY, text});
    }
    void drawImage(const QImage&, double, double, double, double) override {}
    double measure(const QString& text) const override {
        return m_metrics->horizontalAdvance(text) / 1200.0;
    }
    double fontLineHeight() const override { return m_metrics->lineSpacing() / 1200.0; }
    void fontChanged() override {
        m_metrics = std::make_unique<QFontMetricsF>(corvane::printerFont(font()), &m_pdf);
    }
    void startNewPage() override {}
    void finishDocument() override {}

  private:
    QPdfWriter m_pdf;
    std::unique_ptr<QFontMetricsF> m_metrics;
};

// Draws the recorded texts on a plain QPdfWriter on `paper`: the floor.
void drawPlainPdf(const PlacementRecorder& placed, const QPageSize& paper) {
    QFile file(pdfPath());
    (void)file.open(QIODevice::WriteOnly);
    QPdfWriter pdf(&file);
    pdf.setResolution(1200);
    const double m = corvane::kPdfMarginInches;
    pdf.setPageLayout(
        QPageLayout(paper, QPageLayout::Portrait, QMarginsF(m, m, m, m), QPageLayout::Inch));
    QPainter painter(&pdf);
    const QFont font = corvane::printerFont(corvane::PrintFont{});
    painter.setFont(font);
    const double ascent = QFontMetricsF(font, &pdf).ascent();
    int page = 1;
    for (const PlacementRecorder::Placed& t : placed.texts) {
        if (t.page != page) {
            pdf.newPage();
            page = t.page;
        }
        painter.drawText(QPointF(t.x * 1200, t.y * 1200 + ascent), t.text);
    }
    painter.end();
}

void BM_PlainPdfText(benchmark::State& state) {
    MainWindowBench bench;
    PlacementRecorder placed;
    corvane::PrintList(placed, gridList(bench.window));
    for (auto _ : state) {
        drawPlainPdf(placed, QPageSize(QPageSize::A4));
    }
    state.counters["texts"] = static_cast<double>(placed.texts.size());
}

// Every entry's name, street and city, as the list labels take them.
std::vector<corvane::LabelLines> everyLabel() {
    std::vector<corvane::LabelLines> labels;
    for (int i = 0; i < kRecords; ++i) {
        labels.push_back({QStringLiteral("Entry %1, Somebody").arg(i),
                          QStringLiteral("%1 Long Street").arg(i),
                          QStringLiteral("Harbour Bay, OR 97000"), QString()});
    }
    return labels;
}

void BM_ListLabelsPdf(benchmark::State& state) {
    SilentPlatform platform;
    const std::vector<corvane::LabelLines> labels = everyLabel();
    int pages = 0;
    for (auto _ : state) {
        auto printer = corvane::QtPrinterSurface::toPdf(platform, nullptr, pdfPath(),
                                                        QPageSize(QPageSize::Letter),
                                                        QStringLiteral("Corvane labels"));
        corvane::PrintListLabels(*printer, labels, 1, 1);
        pages = printer->page();
    }
    state.counters["pages"] = pages;
}

void BM_PlainLabelsPdfText(benchmark::State& state) {
    PlacementRecorder placed;
    corvane::PrintListLabels(placed, everyLabel(), 1, 1);
    for (auto _ : state) {
        drawPlainPdf(placed, QPageSize(QPageSize::Letter));
    }
    state.counters["texts"] = static_cast<double>(placed.texts.size());
}

// A 24-megapixel photograph, made once: noise over a gradient, so that it
// compresses as a photograph does.
const QString& photoPath() {
    static const QString path = [] {
        QImage photo(6000, 4000, QImage::Format_RGB32);
        std::uint32_t seed = 12345;
        for (int y = 0; y < photo.height(); ++y) {
            auto* line = reinterpret_cast<QRgb*>(photo.scanLine(y));
            for (int x = 0; x < photo.width(); ++x) {
                seed = seed * 1664525 + 1013904223;
                const int noise = static_cast<int>(seed >> 28);
                line[x] = qRgb((x / 24 + noise) & 255, (y / 16 + noise) & 255, (x + y) / 40 & 255);
            }
        }
        const QString file = QString::fromStdString((folder().dir / "photo.jpg").string());
        photo.save(file, "JPEG", 90);
        return file;
    }();
    return path;
}

void BM_LoadEntryPhoto(benchmark::State& state) {
    const QString& path = photoPath();
    for (auto _ : state) {
        const corvane::LoadedPicture picture = corvane::loadFittedPicture(
            path, corvane::kEditorFrameWidth, corvane::kEditorFrameHeight);
        benchmark::DoNotOptimize(picture.image.constBits());
    }
}

void BM_DecodeFullJpeg(benchmark::State& state) {
    const QString& path = photoPath();
    for (auto _ : state) {
        const QImage image(path);
        benchmark::DoNotOptimize(image.constBits());
    }
}

BENCHMARK(BM_ReadAllRecords)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_PlainRead)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_ExportJson)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_ExportJsonFullBook)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_ExportCsv)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_ExportVCard)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_Reminders)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_CollectAffiliations)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_DeleteFirstAndCompact)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_PlainCopySync)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_ImportVCard)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_PlainWriteSync)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_SaveEntry)->Unit(benchmark::kMicrosecond);
BENCHMARK(BM_PlainSlotWriteSync)->Unit(benchmark::kMicrosecond);
BENCHMARK(BM_LoadGrid)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_FindAllText)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_LoadEntryPhoto)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_DecodeFullJpeg)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_PrintListPdf)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_PlainPdfText)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_ListLabelsPdf)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_PlainLabelsPdfText)->Unit(benchmark::kMillisecond);

}  // namespace

int main(int argc, char** argv) {
    // The windows are real, on no display; their settings go to the bench folder.
    qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication application(argc, argv);
    QSettings::setPath(QSettings::NativeFormat, QSettings::UserScope,
                       QString::fromStdString(folder().dir.string()));
    benchmark::Initialize(&argc, argv);
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    return 0;
}
