#include "jsonexport.h"

#include <cerrno>
#include <cmath>
#include <cstdio>
#include <string>
#include <system_error>
#include <vector>

#include "contactrecord.h"
#include "datafile.h"
#include "oledate.h"
#include "recordreader.h"

namespace corvane {
namespace {

std::string formatDate(const DateTimeParts& p) {
    char buffer[32];
    std::snprintf(buffer, sizeof buffer, "\"%04d-%02d-%02dT%02d:%02d:%02d\"", p.year, p.month,
                  p.day, p.hour, p.minute, p.second);
    return buffer;
}

// One record as a JSON object; a date that cannot be a date is written as null
// and named in `problems`.
std::string recordLine(const ContactRecord& record, int number,
                       std::vector<std::string>& problems) {
    std::string line = "{\"RecordNumber\":" + std::to_string(number);
    for (int i = 1; i <= kFieldCount; ++i) {
        const auto field = static_cast<Field>(i);
        const FieldInfo& info = fieldInfo(field);
        line += ",\"";
        line += info.name;
        line += "\":";
        switch (info.kind) {
            case FieldKind::Text:
                line += jsonQuote(record.text(field));
                break;
            case FieldKind::Byte:
                line += std::to_string(record.creatorVersion());
                break;
            case FieldKind::Date: {
                const double value = record.date(field);
                const auto parts = value == 0.0 ? std::nullopt : oleToDateTime(value);
                if (value != 0.0 && !parts) {
                    char shown[64];
                    std::snprintf(shown, sizeof shown, "%g", value);
                    problems.push_back("record " + std::to_string(number) + ": " +
                                       std::string(info.name) + " holds " + shown +
                                       ", which is not a date");
                }
                line += parts ? formatDate(*parts) : "null";
                break;
            }
        }
    }
    line += "}\n";
    return line;
}

}  // namespace

std::string jsonQuote(std::string_view text) {
    std::string out = "\"";
    for (char c : text) {
        switch (c) {
            case '"':
                out += "\\\"";
                break;
            case '\\':
                out += "\\\\";
                break;
            case '\n':
                out += "\\n";
                break;
            case '\r':
                out += "\\r";
                break;
            case '\t':
                out += "\\t";
                break;
            default:
                if (static_cast<unsigned char>(c) < 0x20) {
                    char escaped[8];
                    std::snprintf(escaped, sizeof escaped, "\\u%04x", c);
                    out += escaped;
                } else {
                    out += c;
                }
        }
    }
    out += '"';
    return out;
}

void reportOutputFailure(std::ostream& err, int errnoValue) {
    err << "corvane: cannot write to standard output: "
        << std::generic_category().message(errnoValue) << '\n';
}

int exportJsonLines(FileSystem& fs, const std::string& dataPath, std::ostream& out,
                    std::ostream& err) {
    std::vector<std::string> problems;
    std::vector<std::string> fileProblems;
    errno = 0;
    const bool finished = readWholeRecords(
        fs, dataPath,
        [&](const ContactRecord& record, int number) {
            out << recordLine(record, number, problems);
            return static_cast<bool>(out);
        },
        fileProblems);
    errno = finished ? 0 : errno;  // a refused write leaves its reason fresh
    if (!finished || !out.flush()) {
        reportOutputFailure(err, errno != 0 ? errno : EIO);
        return kExportOutputFailed;
    }
    fileProblems.insert(fileProblems.end(), problems.begin(), problems.end());
    for (const std::string& problem : fileProblems) {
        err << dataPath << ": " << problem << '\n';
    }
    return fileProblems.empty() ? kExportOk : kExportDamaged;
}

}  // namespace corvane
