#pragma once

// Saving an entry changes only what the user changed: every other field
// keeps its stored bytes, even text longer than the editor lets anyone
// type (a converted comment of up to 1097 characters) or characters the
// editor shows differently.

#include <map>
#include <string>

#include "contactrecord.h"

namespace corvane {

// What the editor changed of one entry.
struct EntryChanges {
    std::map<Field, std::string> texts;  // each touched text field's new text (UTF-8)
    std::map<Field, double> dates;       // each touched date field's new value (0: none)
    bool isNew = false;                  // a new entry: it gets its creation stamps
    double now = 0;                      // the time of the save
    int creatorVersion = 0;              // the program's major version, for a new entry
};

// Puts `changes` into `record`, which holds the entry as stored. A field
// not in `changes` keeps its stored bytes exactly. A new entry gets
// CreatorVersion and Created; every save stamps LastModified with `now`.
void mergeEntryChanges(ContactRecord& record, const EntryChanges& changes);

}  // namespace corvane
