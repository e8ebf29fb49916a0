#pragma once

// The column chooser's items and what each shows in the list's second column.

#include <QString>

#include "contactrecord.h"

namespace corvane {

inline constexpr int kDefaultColumnToIndex = 3;  // "Birthday"
inline constexpr int kColumnMenuItems = 25;
inline constexpr int kExitColumnMenu = 25;

// The caption of column chooser item `index` (1 to 25): a field's name,
// "-" for a separator, "E&xit this Menu" for the last. Empty out of range.
QString columnMenuCaption(int index);

// True for the items that name a field (not a separator, not the exit).
bool isColumnField(int index);

// The second column's text for `record` under item `index`: the field
// trimmed, a date as "MMM dd, yyyy" (empty up to 1899), comments and
// affiliations flattened to one line and cut to 45 characters. Empty for a
// separator or an index without a field.
QString columnText(const ContactRecord& record, int index);

}  // namespace corvane
