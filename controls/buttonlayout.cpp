#include "buttonlayout.h"

#include <QFontMetrics>
#include <algorithm>

namespace corvane {
namespace {

// A rectangle given as left, top, right and bottom, the right and bottom
// edges outside it.
QRect fromEdges(int left, int top, int right, int bottom) {
    return QRect(left, top, right - left, bottom - top);
}

}  // namespace

QChar accessKeyOf(const QString& caption) {
    if (caption.size() <= 1 || caption.endsWith(u'&')) {
        return {};
    }
    for (qsizetype i = 0; i + 1 < caption.size(); ++i) {
        if (caption[i] != u'&') {
            continue;
        }
        if (caption[i + 1] == u'&') {
            ++i;
            continue;
        }
        return caption[i + 1].toLower();
    }
    return {};
}

QString plainCaption(const QString& caption) {
    QString out;
    out.reserve(caption.size());
    for (qsizetype i = 0; i < caption.size(); ++i) {
        if (caption[i] == u'&' && i + 1 < caption.size()) {
            ++i;
        }
        out += caption[i];
    }
    return out;
}

CaptionLayout layoutCaption(const QString& caption, const QFont& font, QSize size, QSize picture,
                            int position) {
    const int w = size.width();
    const int h = size.height();
    const int pw = picture.width();
    const int ph = picture.height();
    QRect room;
    switch (position) {
        case 1:
            room = fromEdges(4, 4, w - pw - 8, h - 8);
            break;
        case 2:
            room = fromEdges(4, ph + 4, w - 8, h - 8);
            break;
        case 3:
            room = fromEdges(4, 4, w - 8, h - ph - 8);
            break;
        case 4:
            room = fromEdges(4, 1, w - 8, h - 4);
            break;
        default:
            room = fromEdges(pw + 4, 4, w - 8, h - 8);
            break;
    }
    // Measured as the caption will be drawn: word-wrapped within the room.
    const QFontMetrics metrics(font);
    const QRect measured = metrics.boundingRect(
        QRect(room.left(), room.top(), std::max(1, room.width()), std::max(1, room.height())),
        Qt::TextWordWrap | Qt::TextShowMnemonic | Qt::AlignLeft | Qt::AlignTop, caption);
    const int right = room.left() + measured.width();
    const int bottom = room.top() + measured.height();
    const int dx = position == 1 ? (w - pw - right - 4) / 2 : (w - right) / 2;
    const int dy = position == 3 ? (h - ph - bottom - 4) / 2 : (h - bottom) / 2;
    CaptionLayout layout;
    layout.normal = fromEdges(room.left(), room.top(), right, bottom).translated(dx, dy);
    layout.pressed = layout.normal.translated(1, 1);
    return layout;
}

QPoint picturePosition(int position, QSize size, QSize picture, bool hasCaption) {
    const int centreX = (size.width() - picture.width()) / 2;
    const int centreY = (size.height() - picture.height()) / 2;
    if (!hasCaption) {
        return {centreX, centreY};
    }
    switch (position) {
        case 0:
            return {4, centreY};
        case 1:
            return {size.width() - picture.width() - 4, centreY};
        case 2:
            return {centreX, 4};
        case 3:
            return {centreX, size.height() - picture.height() - 4};
        default:
            return {centreX, centreY};
    }
}

QRect focusRectFor(ButtonType buttonType, QSize size) {
    const QRect all(QPoint(0, 0), size);
    switch (buttonType) {
        case ButtonType::Picture:
            return all.adjusted(3, 3, -3, -3);
        case ButtonType::Dialog:
            return all.adjusted(5, 5, -5, -5).translated(1, 1);
        default:
            return all.adjusted(4, 4, -4, -4);
    }
}

QRegion windowRegionFor(ButtonType buttonType, QSize size) {
    const int w = size.width();
    const int h = size.height();
    QRegion region(0, 0, w, h);
    if (buttonType == ButtonType::SeeAll) {
        for (const QRect& notch :
             {QRect(0, 0, 2, 1), QRect(0, 1, 1, 1), QRect(w - 2, 0, 2, 1), QRect(w - 1, 1, 1, 1),
              QRect(0, h - 1, 2, 1), QRect(0, h - 2, 1, 1), QRect(w - 2, h - 1, 2, 1),
              QRect(w - 1, h - 2, 1, 1)}) {
            region -= notch;
        }
    } else if (buttonType == ButtonType::Dialog) {
        for (const QPoint& corner :
             {QPoint(0, 0), QPoint(w - 1, 0), QPoint(0, h - 1), QPoint(w - 1, h - 1)}) {
            region -= QRect(corner, QSize(1, 1));
        }
    }
    return region;
}

}  // namespace corvane
