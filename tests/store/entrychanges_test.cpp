// Saving an entry changes only what the user changed.

#include "entrychanges.h"

#include <gtest/gtest.h>

namespace corvane {
namespace {

TEST(EntryChanges, AnUntouchedFieldKeepsItsStoredBytesAndEverySaveIsStamped) {
    ContactRecord stored;
    stored.setText(Field::FullName, "Adams, Ann");
    stored.setText(Field::Comments, std::string(1097, 'c'));  // longer than the editor takes
    stored.setDate(Field::Birthday, 25000.0);
    stored.setDate(Field::Created, 40000.0);
    stored.setCreatorVersion(7);
    const ContactRecord::Bytes before = stored.encode();

    ContactRecord edited = stored;
    mergeEntryChanges(edited,
                      {{{Field::Nickname, "Annie"}}, {{Field::Birthday, 0.0}}, false, 46000.5, 8});
    ContactRecord expected = stored;
    expected.setText(Field::Nickname, "Annie");
    expected.setDate(Field::Birthday, 0.0);
    expected.setDate(Field::LastModified, 46000.5);
    EXPECT_EQ(edited.encode(), expected.encode());
    EXPECT_EQ(edited.rawText(Field::Comments), stored.rawText(Field::Comments));
    EXPECT_NE(edited.encode(), before);

    ContactRecord added;
    mergeEntryChanges(added, {{{Field::FullName, "Baker"}}, {}, true, 46000.5, 8});
    EXPECT_EQ(added.creatorVersion(), 8);
    EXPECT_EQ(added.date(Field::Created), 46000.5);
    EXPECT_EQ(added.date(Field::LastModified), 46000.5);
}

}  // namespace
}  // namespace corvane
