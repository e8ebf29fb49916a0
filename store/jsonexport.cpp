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

namespace corvane {
namespace {

constexpr std::size_t kSlot = ContactRecord::kSize;
constexpr std::size_t kChunkSlots = 256;

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

int exportJsonLines(FileSystem& fs, const std::string& dataPath, std::ostream& out,
                    std::ostream& err) {
    int handle = -1;
    if (int openErr = fs.open(dataPath, OpenMode::ReadOnly, handle)) {
        if (openErr == ENOENT) {
            return kExportOk;
        }
        err << dataPath << ": " << std::generic_category().message(openErr) << '\n';
        return kExportDamaged;
    }
    std::vector<std::string> problems;
    std::uint64_t length = 0;
    if (int sizeErr = fs.size(handle, length)) {
        err << dataPath << ": " << std::generic_category().message(sizeErr) << '\n';
        fs.close(handle);
        return kExportDamaged;
    }
    const std::uint64_t wholeSlots = length / kSlot;
    if (length % kSlot != 0) {
        problems.push_back("the file is " + std::to_string(length) +
                           " bytes long, not a multiple of 3000; the last " +
                           std::to_string(length % kSlot) + " bytes are not a whole record");
    }
    if (wholeSlots > static_cast<std::uint64_t>(kMaxRecords)) {
        problems.push_back("the file holds " + std::to_string(wholeSlots) +
                           " records, more than the " + std::to_string(kMaxRecords) +
                           " Corvane can count");
    }

    std::vector<std::uint8_t> chunk(kChunkSlots * kSlot);
    std::uint64_t number = 0;
    while (number < wholeSlots) {
        const std::uint64_t slots = std::min<std::uint64_t>(kChunkSlots, wholeSlots - number);
        std::size_t got = 0;
        if (int readErr = fs.readAt(handle, number * kSlot, chunk.data(), slots * kSlot, got)) {
            problems.push_back("reading record " + std::to_string(number + 1) +
                               " failed: " + std::generic_category().message(readErr));
            break;
        }
        errno = 0;
        for (std::size_t i = 0; i + kSlot <= got; i += kSlot) {
            const auto record =
                ContactRecord::decode(std::span<const std::uint8_t, kSlot>(&chunk[i], kSlot));
            out << recordLine(record, static_cast<int>(++number), problems);
        }
        if (!out) {  // a full disk or a closed pipe: the reason is fresh now
            const int reason = errno != 0 ? errno : EIO;
            fs.close(handle);
            err << "corvane: cannot write to standard output: "
                << std::generic_category().message(reason) << '\n';
            return kExportOutputFailed;
        }
        if (got < slots * kSlot) {  // the file shrank while it was read
            problems.push_back("the file ended early, after record " + std::to_string(number));
            break;
        }
    }
    fs.close(handle);
    errno = 0;
    if (!out.flush()) {
        const int reason = errno != 0 ? errno : EIO;
        err << "corvane: cannot write to standard output: "
            << std::generic_category().message(reason) << '\n';
        return kExportOutputFailed;
    }
    for (const std::string& problem : problems) {
        err << dataPath << ": " << problem << '\n';
    }
    return problems.empty() ? kExportOk : kExportDamaged;
}

}  // namespace corvane
