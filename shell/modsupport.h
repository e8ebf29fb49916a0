#pragma once

// Text routines shared by the list and its printout.

#include <QString>

namespace corvane::modSupport {

// `text` on one line: every CR LF pair inside it becomes " · "; a pair at
// the very start or the very end is dropped. A break followed by the
// field's padding is inside the text, so "Church", CR LF, spaces gives
// "Church · " and the spaces.
QString FlattenLines(QString text);

}  // namespace corvane::modSupport
