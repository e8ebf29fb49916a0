// The export's lines, made straight into one buffer for speed, must be byte
// for byte what the format says: each field's text decoded from Windows-1252
// and quoted by jsonQuote(), dates as "YYYY-MM-DDTHH:MM:SS" or null. Checked
// against that plain rule on slots of random bytes.

#include "jsonexport.h"

#include <gtest/gtest.h>

#include <cmath>
#include <limits>
#include <random>
#include <sstream>

#include "contactrecord.h"
#include "datafile.h"
#include "oledate.h"
#include "powercutfilesystem.h"

namespace corvane {
namespace {

// The format as plainly as it can be written.
std::string plainLine(const ContactRecord& record, int number) {
    std::string line = "{\"RecordNumber\":" + std::to_string(number);
    for (int i = 1; i <= kFieldCount; ++i) {
        const auto field = static_cast<Field>(i);
        const FieldInfo& info = fieldInfo(field);
        line += ",\"" + std::string(info.name) + "\":";
        if (info.kind == FieldKind::Text) {
            line += jsonQuote(record.text(field));
        } else if (info.kind == FieldKind::Byte) {
            line += std::to_string(record.creatorVersion());
        } else {
            const double value = record.date(field);
            const auto p = value == 0.0 ? std::nullopt : oleToDateTime(value);
            char date[40] = "null";
            if (p) {
                std::snprintf(date, sizeof date, "\"%04d-%02d-%02dT%02d:%02d:%02d\"", p->year,
                              p->month, p->day, p->hour, p->minute, p->second);
            }
            line += date;
        }
    }
    return line + "}\n";
}

TEST(JsonExport, EveryLineIsWhatThePlainRuleMakesOfRandomSlots) {
    std::mt19937 random(20261208);
    std::uniform_int_distribution<int> byte(0, 255);
    std::uniform_int_distribution<int> pick(0, 5);
    const double dates[] = {0.0,
                            std::numeric_limits<double>::quiet_NaN(),
                            std::numeric_limits<double>::infinity(),
                            -657434.9999985,
                            2958465.9999959,
                            46000.5,
                            -1.25,
                            1e300};
    test::Bytes file;
    std::string expected;
    for (int number = 1; number <= 500; ++number) {
        ContactRecord::Bytes slot{};
        for (std::size_t i = 0; i < slot.size(); ++i) {
            // Mostly plain text, sometimes any byte at all, often blanks.
            const int kind = pick(random);
            slot[i] = kind == 0   ? static_cast<std::uint8_t>(byte(random))
                      : kind == 1 ? ' '
                                  : static_cast<std::uint8_t>('a' + byte(random) % 26);
        }
        ContactRecord record = ContactRecord::decode(slot);
        for (Field date :
             {Field::Birthday, Field::Anniversary, Field::Created, Field::LastModified}) {
            record.setDate(date, dates[byte(random) % 8] + (pick(random) == 0 ? byte(random) : 0));
        }
        file.insert(file.end(), record.encode().begin(), record.encode().end());
        expected += plainLine(record, number);
    }
    test::PowerCutFileSystem fs({{"Corvane.Data", file}});
    std::ostringstream out;
    std::ostringstream err;
    EXPECT_EQ(exportJsonLines(fs, "Corvane.Data", out, err), kExportDamaged);  // the bad dates
    // Line by line, so that a fault shows one record, not the whole export.
    std::istringstream made(out.str());
    std::istringstream meant(expected);
    std::string madeLine;
    std::string meantLine;
    int number = 0;
    while (std::getline(meant, meantLine)) {
        ++number;
        ASSERT_TRUE(std::getline(made, madeLine)) << "the export stops before record " << number;
        ASSERT_EQ(madeLine, meantLine) << "record " << number;
    }
    EXPECT_FALSE(std::getline(made, madeLine)) << "the export has more lines than records";
    EXPECT_NE(err.str().find("which is not a date"), std::string::npos);
}

}  // namespace
}  // namespace corvane
