// Prints a short printout as a PDF file over PATH, in a process of its own,
// so that a test can run it with a file size limit standing in for a full
// disk. Prints each message the user would see, "title: text", and exits 0
// when the printout was written.
//
//   corvane_pdf_child PATH

#include <QApplication>
#include <cstdio>

#include "../shell/fakeplatform.h"
#include "qtprintersurface.h"

using namespace corvane;

int main(int argc, char** argv) {
    if (argc != 2) {
        std::fprintf(stderr, "usage: corvane_pdf_child PATH\n");
        return 64;
    }
    qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication application(argc, argv);
    test::FakePlatform platform;
    {
        auto pdf =
            QtPrinterSurface::toPdf(platform, nullptr, QString::fromLocal8Bit(argv[1]),
                                    QPageSize(QPageSize::A4), QStringLiteral("Corvane entry"));
        for (int line = 0; line < 40 && pdf->active(); ++line) {
            pdf->print(QStringLiteral("Adams, Ann    555-0100    ann@example.org"));
            pdf->endLine();
        }
        pdf->endDoc();
        pdf->report();
    }
    bool written = false;  // said to be saved
    for (const MessageBoxSpec& message : platform.messages) {
        std::printf("%s: %s\n", qPrintable(message.title), qPrintable(message.text));
        written = message.icon == MsgIcon::Information;
    }
    return written ? 0 : 1;
}
