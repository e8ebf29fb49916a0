#include "editorfields.h"

#include <QString>
#include <algorithm>
#include <cmath>

namespace corvane {
namespace {

constexpr std::array<EditorField, kEditorFields> kFields = {{
    {0, "Title", Field::Title, 7},
    {0, "*Last Name, First Name(s)  ---  (or Business Name)", Field::FullName, 75},
    {0, "Nickname", Field::Nickname, 24},
    {0, "Birthday", Field::Birthday, 20},
    {0, "Anniversary", Field::Anniversary, 20},
    {1, "Home address", Field::HomeAddress1, 50},
    {1, "Home address (cont.)", Field::HomeAddress2, 50},
    {1, "City/State/Zip", Field::HomeCityStateZip, 50},
    {1, "Personal email", Field::HomeEmail, 50},
    {1, "Web Page (do NOT type 'http://')", Field::HomeWebPage, 50},
    {1, "Phone (home)", Field::HomePhone, 22},
    {1, "Phone (fax)", Field::HomeFax, 22},
    {1, "Phone (pager)", Field::HomePager, 22},
    {1, "Phone (cell)", Field::HomeCell1, 22},
    {1, "Phone (cell)", Field::HomeCell2, 22},
    {1, "Phone (other)", Field::HomeOtherPhone, 22},
    {1, "Misc./Other Contact Information", Field::HomeOtherInfo, 300},
    {2, "Business address (or name)", Field::WorkAddress1, 50},
    {2, "Business address (cont.)", Field::WorkAddress2, 50},
    {2, "City/State/Zip", Field::WorkCityStateZip, 50},
    {2, "Business email", Field::WorkEmail, 50},
    {2, "Web Page (do NOT type 'http://')", Field::WorkWebPage, 50},
    {2, "Phone (business)", Field::WorkPhone, 22},
    {2, "Phone (fax)", Field::WorkFax, 22},
    {2, "Phone (pager)", Field::WorkPager, 22},
    {2, "Phone (cell)", Field::WorkCell1, 22},
    {2, "Phone (cell)", Field::WorkCell2, 22},
    {2, "Phone (other)", Field::WorkOtherPhone, 22},
    {2, "Misc./Other Contact Information", Field::WorkOtherInfo, 300},
    {3, "Comments", Field::Comments, 1073},
    {3, "Affliation(s)", Field::Affiliations, 300},
}};

}  // namespace

const EditorField& editorField(int index) {
    return kFields[static_cast<std::size_t>(std::clamp(index, 1, kEditorFields) - 1)];
}

bool isMultiLineField(int index) {
    return index == 17 || index == 29 || index == 30 || index == 31;
}

QString spaceFullText(int length, int maxLength) {
    const double ratio = std::max(static_cast<double>(length) / maxLength, 0.01);
    // An old file's field can hold more than the editor lets one type.
    if (std::lround(ratio * 100) > 100) {
        return QStringLiteral(" full ");
    }
    return QStringLiteral(" %1% full ").arg(std::lround(ratio * 100));
}

}  // namespace corvane
