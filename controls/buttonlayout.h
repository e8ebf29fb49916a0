#pragma once

// Geometry of a button: its access key, where the caption and the picture
// go, the focus rectangle and the window region that rounds its corners.

#include <QChar>
#include <QFont>
#include <QRect>
#include <QRegion>
#include <QSize>

#include <QString>
#include "buttoncolours.h"

namespace corvane {

// The access key of `caption`: the character after its first single "&",
// lower-cased ("&&" is a literal ampersand and is skipped). None (a null
// QChar) for a caption of one character or less, or one that ends in "&".
QChar accessKeyOf(const QString& caption);

// `caption` as it reads on screen: single "&" removed, "&&" shown as "&".
QString plainCaption(const QString& caption);

// Where a caption goes, and the same place one pixel down and right for the
// pressed look.
struct CaptionLayout {
    QRect normal;
    QRect pressed;
};

// The caption rectangle for a button of `size` whose picture of `picture`
// size (empty for none) stands at `position` (0 left of the caption, 1
// right, 2 above, 3 below, 4 behind): the word-wrapped caption's extent,
// centred in the room the picture leaves.
CaptionLayout layoutCaption(const QString& caption, const QFont& font, QSize size, QSize picture,
                            int position);

// The top-left corner of the picture; a button without a caption centres it.
QPoint picturePosition(int position, QSize size, QSize picture, bool hasCaption);

// The dotted focus rectangle of a button of `buttonType` and `size`.
QRect focusRectFor(ButtonType buttonType, QSize size);

// The shape of a button: style 3 has rounded corners, style 14 has its four
// corner pixels cut, every other style is the full rectangle.
QRegion windowRegionFor(ButtonType buttonType, QSize size);

}  // namespace corvane
