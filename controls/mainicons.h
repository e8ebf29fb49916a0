#pragma once

// The pictures of the program's tool buttons: the desktop theme's icon
// where it has a fitting one, otherwise a picture the program draws itself.
// The add button's picture is always the program's own green and white one,
// which the empty-book message points the user to.

#include <QPixmap>

namespace corvane {

enum class MainIcon {
    AddEntry,
    SeeEntry,
    DeleteEntry,
    FindEntries,
    FilterEntries,
    ListWith,
    Birthday,
    PrintList,
    EmailFriend,
    FormFade,
    Help,
    Quit,
    PrintEntry,
    LabelHome,
    LabelWork,
};

// The picture for `which`, `size` pixels square.
QPixmap mainIcon(MainIcon which, int size = 24);

// The program's own picture for `which`, ignoring the theme.
QPixmap ownMainIcon(MainIcon which, int size = 24);

}  // namespace corvane
