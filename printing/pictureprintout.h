#pragma once

// The picture printout: an entry's picture on a page of its own, 6.25
// inches wide under a one-line title, scaled down whole when it would run
// past the foot of the printable area.

#include <QImage>
#include <QString>

#include "printersurface.h"

namespace corvane {

inline constexpr double kPictureLeft = 0.75;
inline constexpr double kPictureTitleY = 1.8;
inline constexpr double kPictureTop = 2.0;
inline constexpr double kPictureWidth = 6.25;

// Where the picture of shown size `width` x `height` (any unit) lands:
// left, top, width and height in inches.
struct PicturePlace {
    double left, top, width, height;
};
PicturePlace picturePlace(double width, double height, double printableHeight);

// Prints `title` and `image` (shown `width` x `height`) and ends the document.
void PrintPicture(PrinterSurface& printer, const QString& title, const QImage& image, double width,
                  double height);

}  // namespace corvane
