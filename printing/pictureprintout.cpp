#include "pictureprintout.h"

namespace corvane {

PicturePlace picturePlace(double width, double height, double printableHeight) {
    PicturePlace place{kPictureLeft, kPictureTop, kPictureWidth, height * kPictureWidth / width};
    // A tall picture keeps its proportions and ends at the printable area's foot.
    const double room = printableHeight - kPictureTop;
    if (place.height > room && room > 0) {
        place.width = place.width * room / place.height;
        place.height = room;
    }
    return place;
}

void PrintPicture(PrinterSurface& printer, const QString& title, const QImage& image, double width,
                  double height) {
    printer.setFont(PrintFont{QStringLiteral("Arial"), 9});
    printer.x = static_cast<float>(kPictureLeft);
    printer.y = static_cast<float>(kPictureTitleY);
    printer.print(title);
    printer.endLine();
    const PicturePlace place = picturePlace(width, height, printer.printableHeight());
    printer.drawPicture(image, place.left, place.top, place.width, place.height);
    printer.endDoc();
}

}  // namespace corvane
