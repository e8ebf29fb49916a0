#pragma once

// The tiled background pictures of the dialog windows, drawn by the program
// itself: a soft linen weave, each dialog in its own tint.

#include <QPixmap>

namespace corvane {

enum class DialogTile { NewUser, Find, Help, EditorAdd, EditorView, Label, Picture };

// A seamless tile for `which`.
QPixmap dialogTile(DialogTile which);

}  // namespace corvane
