#include "listcolumns.h"

#include <array>

#include "modsupport.h"
#include "recordtext.h"

namespace corvane {
namespace {

struct ColumnItem {
    const char* caption;
    Field field;
    bool isField;
};

constexpr Field kNone = Field::Title;  // unused for separators

constexpr std::array<ColumnItem, kColumnMenuItems> kItems = {{
    {"Nickname", Field::Nickname, true},
    {"-", kNone, false},
    {"Birthday", Field::Birthday, true},
    {"Anniversary", Field::Anniversary, true},
    {"-", kNone, false},
    {"Home Phone", Field::HomePhone, true},
    {"Home Fax", Field::HomeFax, true},
    {"Home Cell Phone", Field::HomeCell1, true},
    {"Home Pager", Field::HomePager, true},
    {"-", kNone, false},
    {"Work Phone", Field::WorkPhone, true},
    {"Work Fax", Field::WorkFax, true},
    {"Work Cell Phone", Field::WorkCell1, true},
    {"Work Pager", Field::WorkPager, true},
    {"-", kNone, false},
    {"Home Email", Field::HomeEmail, true},
    {"Home Web Page", Field::HomeWebPage, true},
    {"-", kNone, false},
    {"Work Email", Field::WorkEmail, true},
    {"Work Web Page", Field::WorkWebPage, true},
    {"-", kNone, false},
    {"Comments", Field::Comments, true},
    {"Affiliations", Field::Affiliations, true},
    {"-", kNone, false},
    {"E&xit this Menu", kNone, false},
}};

}  // namespace

QString columnMenuCaption(int index) {
    if (index < 1 || index > kColumnMenuItems) {
        return {};
    }
    return QString::fromLatin1(kItems[index - 1].caption);
}

bool isColumnField(int index) {
    return index >= 1 && index <= kColumnMenuItems && kItems[index - 1].isField;
}

QString columnText(const ContactRecord& record, int index) {
    if (!isColumnField(index)) {
        return {};
    }
    const Field field = kItems[index - 1].field;
    if (fieldInfo(field).kind == FieldKind::Date) {
        return formatRecordDate(record.date(field));
    }
    if (field == Field::Comments || field == Field::Affiliations) {
        // Flattened with the field's padding, as the list always did: a break
        // before the padding shows as a trailing separator.
        const QString flat = modSupport::FlattenLines(fromCp1252(record.fieldBytes(field)));
        return trimBlanks(flat.left(45));
    }
    return recordText(record, field);
}

}  // namespace corvane
