#include "entrychanges.h"

namespace corvane {

void mergeEntryChanges(ContactRecord& record, const EntryChanges& changes) {
    for (const auto& [field, text] : changes.texts) {
        record.setText(field, text);
    }
    for (const auto& [field, value] : changes.dates) {
        record.setDate(field, value);
    }
    if (changes.isNew) {
        record.setCreatorVersion(changes.creatorVersion);
        record.setDate(Field::Created, changes.now);
    }
    record.setDate(Field::LastModified, changes.now);
}

}  // namespace corvane
