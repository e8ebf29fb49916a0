#include "listexport.h"

#include <QSaveFile>
#include <sstream>

#include "csvexport.h"
#include "datafile.h"
#include "jsonexport.h"
#include "vcardexport.h"

namespace corvane {

const std::array<ListExportChoice, 4>& listExportChoices() {
    static const std::array<ListExportChoice, 4> choices = {{
        {ListExportFormat::VCard4, QStringLiteral("as vCards (4.0)..."),
         QStringLiteral("vCard files (*.vcf)"), QStringLiteral(".vcf")},
        {ListExportFormat::VCard3, QStringLiteral("as vCards for phones (3.0)..."),
         QStringLiteral("vCard files (*.vcf)"), QStringLiteral(".vcf")},
        {ListExportFormat::Csv, QStringLiteral("as CSV for spreadsheets..."),
         QStringLiteral("CSV files (*.csv)"), QStringLiteral(".csv")},
        {ListExportFormat::JsonLines, QStringLiteral("as JSON Lines..."),
         QStringLiteral("JSON Lines files (*.jsonl)"), QStringLiteral(".jsonl")},
    }};
    return choices;
}

QString exportList(const std::string& dataPath, const std::set<int>& records,
                   ListExportFormat format, const QString& path) {
    std::ostringstream out;
    std::ostringstream err;
    FileSystem& fs = realFileSystem();
    switch (format) {
        case ListExportFormat::VCard4:
            (void)exportVCards(fs, dataPath, VCardVersion::V4, out, err, &records);
            break;
        case ListExportFormat::VCard3:
            (void)exportVCards(fs, dataPath, VCardVersion::V3, out, err, &records);
            break;
        case ListExportFormat::Csv:
            (void)exportCsv(fs, dataPath, out, err, &records);
            break;
        case ListExportFormat::JsonLines:
            (void)exportJsonLines(fs, dataPath, out, err, &records);
            break;
    }
    // A damaged date is exported as no date; the window has told of the
    // file's damage already, so only an unreadable file stops the export.
    if (out.str().empty() && !err.str().empty()) {
        return QString::fromStdString(err.str()).trimmed();
    }
    QSaveFile file(path);
    const std::string& text = out.str();
    if (!file.open(QIODevice::WriteOnly) ||
        file.write(text.data(), static_cast<qint64>(text.size())) !=
            static_cast<qint64>(text.size()) ||
        !file.commit()) {
        return file.errorString();
    }
    return {};
}

}  // namespace corvane
