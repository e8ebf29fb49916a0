#include "csvexport.h"

#include <cstdio>

#include "contactrecord.h"
#include "recordexport.h"

namespace corvane {

std::string csvField(std::string_view text) {
    const bool quoted = text.find_first_of(",\"\r\n") != std::string_view::npos ||
                        (!text.empty() && (text.front() == ' ' || text.back() == ' '));
    if (!quoted) {
        return std::string(text);
    }
    std::string out = "\"";
    for (char c : text) {
        out += c;
        if (c == '"') {
            out += '"';
        }
    }
    return out + '"';
}

namespace {

// A NUL is the one character no text file carries (Corvane's import takes
// a file holding one for binary data): it is left out, and said.
std::string withoutNul(std::string text, Field field, int number,
                       std::vector<std::string>& problems) {
    if (text.find('\0') != std::string::npos) {
        std::erase(text, '\0');
        problems.push_back("record " + std::to_string(number) + ": the NUL characters in " +
                           std::string(fieldInfo(field).name) + " were left out");
    }
    return text;
}

}  // namespace

int exportCsv(FileSystem& fs, const std::string& dataPath, std::ostream& out, std::ostream& err,
              const std::set<int>* only) {
    std::string header = "RecordNumber";
    for (int i = 1; i <= kFieldCount; ++i) {
        header += ',';
        header += fieldInfo(static_cast<Field>(i)).name;
    }
    out << header << "\r\n";
    std::string row;
    return exportRecords(
        fs, dataPath, out, err,
        [&](const ContactRecord& record, int number, std::ostream& to,
            std::vector<std::string>& problems) {
            row = std::to_string(number);
            for (int i = 1; i <= kFieldCount; ++i) {
                const auto field = static_cast<Field>(i);
                row += ',';
                switch (fieldInfo(field).kind) {
                    case FieldKind::Text:
                        if (!record.rawText(field).empty()) {  // most fields are empty
                            row +=
                                csvField(withoutNul(record.text(field), field, number, problems));
                        }
                        break;
                    case FieldKind::Byte:
                        row += std::to_string(record.creatorVersion());
                        break;
                    case FieldKind::Date:
                        if (const auto p = exportedDate(record, field, number, problems)) {
                            char date[kIsoDateTimeSize];
                            row.append(date, writeIsoDateTime(*p, date));
                        }
                        break;
                }
            }
            row += "\r\n";
            to.write(row.data(), static_cast<std::streamsize>(row.size()));
        },
        only);
}

}  // namespace corvane
