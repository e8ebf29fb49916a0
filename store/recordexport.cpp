#include "recordexport.h"

#include <cerrno>
#include <cstdio>
#include <system_error>

#include "recordreader.h"

namespace corvane {

void reportOutputFailure(std::ostream& err, int errnoValue) {
    err << "corvane: cannot write to standard output: "
        << std::generic_category().message(errnoValue) << '\n';
}

std::optional<DateTimeParts> exportedDate(const ContactRecord& record, Field field, int number,
                                          std::vector<std::string>& problems) {
    const double value = record.date(field);
    if (value == 0.0) {
        return std::nullopt;
    }
    const auto parts = oleToDateTime(value);
    if (!parts) {
        char shown[64];
        std::snprintf(shown, sizeof shown, "%g", value);
        problems.push_back("record " + std::to_string(number) + ": " +
                           std::string(fieldInfo(field).name) + " holds " + shown +
                           ", which is not a date");
    }
    return parts;
}

int exportRecords(FileSystem& fs, const std::string& dataPath, std::ostream& out, std::ostream& err,
                  const RecordExporter& exportOne, const std::set<int>* only) {
    std::vector<std::string> problems;
    std::vector<std::string> fileProblems;
    errno = 0;
    const bool finished = readWholeRecords(
        fs, dataPath,
        [&](const ContactRecord& record, int number) {
            if (only == nullptr || only->contains(number)) {
                exportOne(record, number, out, problems);
            }
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
