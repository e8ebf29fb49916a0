#include "mainicons.h"

#include <QIcon>
#include <QPainter>
#include <QPainterPath>

namespace corvane {
namespace {

const char* themeName(MainIcon which) {
    switch (which) {
        case MainIcon::SeeEntry:
            return "x-office-address-book";
        case MainIcon::DeleteEntry:
            return "edit-delete";
        case MainIcon::FindEntries:
            return "edit-find";
        case MainIcon::FilterEntries:
            return "view-filter";
        case MainIcon::ListWith:
            return "view-list-details";
        case MainIcon::PrintList:
        case MainIcon::PrintEntry:
            return "document-print";
        case MainIcon::EmailFriend:
            return "mail-send";
        case MainIcon::Help:
            return "help-contents";
        case MainIcon::Quit:
            return "application-exit";
        default:
            return nullptr;  // the add, birthday and fade pictures are always our own
    }
}

// The ink of the outlines.
QColor darkInk() {
    return {60, 60, 70};
}

void drawAddEntry(QPainter& p) {
    p.setPen(QPen(QColor(20, 110, 40), 1));
    p.setBrush(QColor(40, 160, 60));
    p.drawEllipse(QRectF(1.5, 1.5, 21, 21));
    p.fillRect(QRectF(10.5, 5.5, 3, 13), Qt::white);
    p.fillRect(QRectF(5.5, 10.5, 13, 3), Qt::white);
}

void drawSeeEntry(QPainter& p) {
    const QColor dark = darkInk();
    p.setPen(QPen(dark, 1));
    p.setBrush(QColor(255, 252, 235));
    p.drawRect(QRectF(2.5, 4.5, 19, 15));
    p.fillRect(QRectF(4, 6, 5, 6), QColor(120, 150, 200));
    for (int y : {7, 10, 13, 16}) {
        p.fillRect(QRectF(11, y, 8, 1.2), QColor(90, 90, 110));
    }
}

void drawDeleteEntry(QPainter& p) {
    p.setPen(QPen(QColor(140, 20, 20), 1));
    p.setBrush(QColor(205, 40, 40));
    p.drawEllipse(QRectF(1.5, 1.5, 21, 21));
    p.setPen(QPen(Qt::white, 3, Qt::SolidLine, Qt::RoundCap));
    p.drawLine(QPointF(7.5, 7.5), QPointF(16.5, 16.5));
    p.drawLine(QPointF(16.5, 7.5), QPointF(7.5, 16.5));
}

void drawFindEntries(QPainter& p) {
    const QColor dark = darkInk();
    p.setPen(QPen(dark, 2.5));
    p.setBrush(QColor(210, 230, 250));
    p.drawEllipse(QRectF(3, 3, 12, 12));
    p.setPen(QPen(dark, 3.5, Qt::SolidLine, Qt::RoundCap));
    p.drawLine(QPointF(14, 14), QPointF(21, 21));
}

void drawFilterEntries(QPainter& p) {
    QPainterPath funnel;
    funnel.moveTo(2.5, 3.5);
    funnel.lineTo(21.5, 3.5);
    funnel.lineTo(14, 12);
    funnel.lineTo(14, 20.5);
    funnel.lineTo(10, 18);
    funnel.lineTo(10, 12);
    funnel.closeSubpath();
    p.setPen(QPen(QColor(30, 70, 130), 1));
    p.setBrush(QColor(80, 140, 210));
    p.drawPath(funnel);
}

void drawListWith(QPainter& p) {
    const QColor dark = darkInk();
    p.setPen(QPen(dark, 1));
    p.setBrush(Qt::white);
    p.drawRect(QRectF(2.5, 3.5, 19, 17));
    p.fillRect(QRectF(3, 4, 18, 4), QColor(120, 150, 200));
    p.drawLine(QPointF(11.5, 8), QPointF(11.5, 20.5));
    for (int y : {11, 14, 17}) {
        p.drawLine(QPointF(3, y + 0.5), QPointF(21, y + 0.5));
    }
}

void drawBirthday(QPainter& p) {
    p.setPen(QPen(QColor(150, 60, 100), 1));
    p.setBrush(QColor(240, 150, 190));
    p.drawRect(QRectF(3.5, 12.5, 17, 9));
    p.fillRect(QRectF(4, 15.5, 16, 2), QColor(255, 240, 245));
    for (double x : {7.0, 11.5, 16.0}) {
        p.fillRect(QRectF(x, 7, 1.5, 5.5), QColor(80, 120, 220));
        p.setPen(Qt::NoPen);
        p.setBrush(QColor(255, 200, 0));
        p.drawEllipse(QRectF(x - 0.75, 3, 3, 4));
        p.setPen(QPen(QColor(150, 60, 100), 1));
    }
}

void drawPrinter(QPainter& p) {
    const QColor dark = darkInk();
    p.setPen(QPen(dark, 1));
    p.setBrush(Qt::white);
    p.drawRect(QRectF(6.5, 2.5, 11, 8));
    p.setBrush(QColor(150, 150, 160));
    p.drawRoundedRect(QRectF(2.5, 9.5, 19, 9), 2, 2);
    p.setBrush(Qt::white);
    p.drawRect(QRectF(6.5, 15.5, 11, 6));
}

void drawEnvelope(QPainter& p) {
    const QColor dark = darkInk();
    p.setPen(QPen(dark, 1));
    p.setBrush(QColor(250, 245, 225));
    p.drawRect(QRectF(2.5, 5.5, 19, 13));
    p.drawLine(QPointF(2.5, 5.5), QPointF(12, 13));
    p.drawLine(QPointF(21.5, 5.5), QPointF(12, 13));
}

void drawFade(QPainter& p) {
    p.setPen(Qt::NoPen);
    p.setBrush(QColor(60, 90, 160));
    p.drawRect(QRectF(3, 3, 12, 12));
    p.setBrush(QColor(60, 90, 160, 110));
    p.drawRect(QRectF(9, 9, 12, 12));
}

void drawHelp(QPainter& p) {
    p.setPen(QPen(QColor(20, 60, 140), 1));
    p.setBrush(QColor(50, 110, 200));
    p.drawEllipse(QRectF(1.5, 1.5, 21, 21));
    p.setPen(Qt::white);
    {
        QFont font(QStringLiteral("Liberation Sans"));
        font.setPixelSize(16);
        font.setBold(true);
        p.setFont(font);
    }
    p.drawText(QRectF(1.5, 1.5, 21, 21), Qt::AlignCenter, QStringLiteral("?"));
}

void drawLabel(QPainter& p, MainIcon which) {
    const QColor dark = darkInk();
    // An address label with a house or a briefcase on it.
    p.setPen(QPen(dark, 1));
    p.setBrush(Qt::white);
    p.drawRoundedRect(QRectF(1.5, 5.5, 21, 13), 2, 2);
    for (int y : {10, 13, 16}) {
        p.fillRect(QRectF(10, y, 10, 1.2), QColor(90, 90, 110));
    }
    p.setPen(Qt::NoPen);
    if (which == MainIcon::LabelHome) {
        QPainterPath house;
        house.moveTo(3.5, 12);
        house.lineTo(6.5, 8.5);
        house.lineTo(9.5, 12);
        house.closeSubpath();
        p.setBrush(QColor(200, 60, 40));
        p.drawPath(house);
        p.fillRect(QRectF(4.5, 12, 4, 4), QColor(200, 60, 40));
    } else {
        p.setBrush(QColor(120, 80, 40));
        p.drawRect(QRectF(3.5, 10, 6, 5));
        p.fillRect(QRectF(5.5, 8.5, 2, 1.5), QColor(120, 80, 40));
    }
}

void drawQuit(QPainter& p) {
    const QColor dark = darkInk();
    p.setPen(QPen(dark, 1));
    p.setBrush(QColor(180, 140, 90));
    p.drawRect(QRectF(3.5, 2.5, 10, 19));
    p.setPen(QPen(QColor(200, 30, 30), 2.5, Qt::SolidLine, Qt::RoundCap));
    p.drawLine(QPointF(10, 12), QPointF(21, 12));
    p.drawLine(QPointF(17, 8), QPointF(21, 12));
    p.drawLine(QPointF(17, 16), QPointF(21, 12));
}

// All drawings are made on a 24-unit square and scaled to the size asked.
void drawOwn(QPainter& p, MainIcon which) {
    p.setRenderHint(QPainter::Antialiasing);
    switch (which) {
        case MainIcon::AddEntry:
            return drawAddEntry(p);
        case MainIcon::SeeEntry:
            return drawSeeEntry(p);
        case MainIcon::DeleteEntry:
            return drawDeleteEntry(p);
        case MainIcon::FindEntries:
            return drawFindEntries(p);
        case MainIcon::FilterEntries:
            return drawFilterEntries(p);
        case MainIcon::ListWith:
            return drawListWith(p);
        case MainIcon::Birthday:
            return drawBirthday(p);
        case MainIcon::PrintList:
            return drawPrinter(p);
        case MainIcon::PrintEntry:
            return drawPrinter(p);
        case MainIcon::EmailFriend:
            return drawEnvelope(p);
        case MainIcon::FormFade:
            return drawFade(p);
        case MainIcon::Help:
            return drawHelp(p);
        case MainIcon::LabelHome:
            return drawLabel(p, which);
        case MainIcon::LabelWork:
            return drawLabel(p, which);
        case MainIcon::Quit:
            return drawQuit(p);
    }
}

}  // namespace

QPixmap ownMainIcon(MainIcon which, int size) {
    QPixmap picture(size, size);
    picture.fill(Qt::transparent);
    QPainter painter(&picture);
    painter.scale(size / 24.0, size / 24.0);
    drawOwn(painter, which);
    return picture;
}

QPixmap mainIcon(MainIcon which, int size) {
    if (const char* name = themeName(which)) {
        const QIcon themed = QIcon::fromTheme(QLatin1String(name));
        if (!themed.isNull()) {
            const QPixmap picture = themed.pixmap(size, size);
            if (!picture.isNull()) {
                return picture;
            }
        }
    }
    return ownMainIcon(which, size);
}

}  // namespace corvane
