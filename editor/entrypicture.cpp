#include "entrypicture.h"

#include <QImageReader>

#include "codepage.h"
#include "contactrecord.h"
#include "platform.h"
#include "twips.h"

namespace corvane {
namespace {

// Pictures are measured as the windows measure: 15 twips to a pixel, a
// 96-dpi screen, whatever resolution the file claims.
constexpr int kTwipsPerPixel = 15;

}  // namespace

PictureSize FitPicture(PictureSize natural, int maxWidth, int maxHeight) {
    if (natural.width <= 0 || natural.height <= 0) {
        return {};
    }
    if (natural.height < natural.width) {
        return {maxWidth, static_cast<int>(static_cast<long long>(natural.height) * maxWidth /
                                           natural.width)};
    }
    return {static_cast<int>(static_cast<long long>(natural.width) * maxHeight / natural.height),
            maxHeight};
}

LoadedPicture loadFittedPicture(const QString& path, int maxWidth, int maxHeight) {
    LoadedPicture picture;
    QImageReader reader(path);
    reader.setAutoTransform(true);
    QSize pixels = reader.size();
    if (!pixels.isValid()) {
        picture.error = reader.errorString();
        return picture;
    }
    if (reader.transformation() & QImageIOHandler::TransformationRotate90) {
        pixels.transpose();
    }
    picture.natural = {pixels.width() * kTwipsPerPixel, pixels.height() * kTwipsPerPixel};
    picture.fitted = FitPicture(picture.natural, maxWidth, maxHeight);
    const QSize shown(std::max(1, twipsX(picture.fitted.width)),
                      std::max(1, twipsY(picture.fitted.height)));
    // Decoded no larger than shown, and never larger than the file itself.
    if (shown.width() < pixels.width()) {
        const bool turned = reader.transformation() & QImageIOHandler::TransformationRotate90;
        reader.setScaledSize(turned ? shown.transposed() : shown);
    }
    picture.image = reader.read();
    if (picture.image.isNull()) {
        picture.error = reader.errorString();
    }
    return picture;
}

QImage loadPictureForPrint(const QString& path, const QImage& fallback) {
    constexpr int kPrintPixels = 1875;
    QImageReader reader(path);
    reader.setAutoTransform(true);
    const QSize pixels = reader.size();
    if (pixels.isValid() && pixels.width() > kPrintPixels && pixels.height() > 0) {
        reader.setScaledSize(
            QSize(kPrintPixels, static_cast<int>(static_cast<long long>(pixels.height()) *
                                                 kPrintPixels / pixels.width())));
    }
    QImage image = reader.read();
    return image.isNull() ? fallback : image;
}

void reportMissingPicture(Platform& platform, QWidget* owner, const QString& path) {
    platform.messageBox(
        owner, {QStringLiteral("Error loading picture"),
                QStringLiteral("Can't find the picture file\nat the indicated location--\n\n(") +
                    path + u')',
                MsgIcon::Critical, MsgButtons::Ok, 1});
}

QString pictureStorageProblem(const QString& path) {
    const std::string utf8 = path.toStdString();
    if (!cp1252::canEncode(utf8)) {
        QString odd;
        for (const QChar c : path) {
            if (!cp1252::canEncode(QString(c).toStdString()) && !odd.contains(c)) {
                odd += c;
            }
        }
        return QStringLiteral("its name holds characters an entry cannot store (%1)").arg(odd);
    }
    if (path.startsWith(u' ') || path.endsWith(u' ')) {
        return QStringLiteral(
            "its full path begins or ends with a blank, which an entry does "
            "not keep");
    }
    const int width = fieldInfo(Field::PicturePath).width;
    if (path.size() > width) {
        return QStringLiteral(
                   "its full path is %1 characters long, more than the %2 an entry "
                   "can store")
            .arg(path.size())
            .arg(width);
    }
    return {};
}

}  // namespace corvane
