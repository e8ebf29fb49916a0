#include "entrypicture.h"

#include <dirent.h>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <QFile>
#include <QFileInfo>
#include <QImageReader>
#include <memory>

#include "codepage.h"
#include "contactrecord.h"
#include "platform.h"
#include "twips.h"

namespace corvane {
namespace {

// Pictures are measured as the windows measure: 15 twips to a pixel, a
// 96-dpi screen, whatever resolution the file claims.
constexpr int kTwipsPerPixel = 15;

// Whether `folder` is a folder that can be listed and holds something: an
// empty folder is what an unmounted disk's mount point looks like.
bool reachableFolder(const QByteArray& folder) {
    DIR* dir = ::opendir(folder.constData());
    if (dir == nullptr) {
        return false;
    }
    bool holdsSomething = false;
    while (const dirent* entry = ::readdir(dir)) {
        const std::string_view name = entry->d_name;
        if (name != "." && name != "..") {
            holdsSomething = true;
            break;
        }
    }
    ::closedir(dir);
    return holdsSomething;
}

// Whether the first bytes of a file are those of a picture format, whether
// or not this build can decode it.
bool looksLikeAPicture(const QByteArray& head) {
    auto at = [&](int offset, const char* magic, int size) {
        return head.size() >= offset + size && head.mid(offset, size) == QByteArray(magic, size);
    };
    return at(0, "\xD7\xCD\xC6\x9A", 4)  // placeable WMF
           || at(0, "\x01\x00\x09\x00\x00\x03", 6) || at(0, "\x02\x00\x09\x00\x00\x03", 6)  // WMF
           || (at(0, "\x01\x00\x00\x00", 4) && at(40, " EMF", 4))                           // EMF
           || at(0, "II*\x00", 4) || at(0, "MM\x00*", 4)                                    // TIFF
           || at(4, "ftyp", 4)  // HEIF, AVIF
           || at(0, "\xFF\xD8\xFF", 3) || at(0, "\x89PNG", 4) || at(0, "GIF8", 4) ||
           at(0, "BM", 2) || at(0, "8BPS", 4) || (at(0, "RIFF", 4) && at(8, "WEBP", 4));
}

// Opens the picture file at `path` for reading, or says why not. Never
// follows a path into a pipe or a device, and never waits.
PictureState openPictureFile(const QString& path, QFile& file) {
    if (!path.startsWith(u'/')) {
        return PictureState::Unreachable;  // a Windows path, or no full path at all
    }
    const QByteArray name = QFile::encodeName(path);
    struct stat st {};
    if (::stat(name.constData(), &st) != 0) {
        const bool gone =
            errno == ENOENT && reachableFolder(QFile::encodeName(QFileInfo(path).absolutePath()));
        return gone ? PictureState::Missing : PictureState::Unreachable;
    }
    if (!S_ISREG(st.st_mode)) {
        return PictureState::NotAPicture;
    }
    const int fd = ::open(name.constData(), O_RDONLY | O_NONBLOCK | O_CLOEXEC);
    if (fd < 0) {
        return PictureState::Unreadable;
    }
    if (::fstat(fd, &st) != 0 || !S_ISREG(st.st_mode)) {  // swapped since the look
        ::close(fd);
        return PictureState::NotAPicture;
    }
    if (!file.open(fd, QIODevice::ReadOnly, QFileDevice::AutoCloseHandle)) {
        ::close(fd);
        return PictureState::Unreadable;
    }
    return PictureState::Shown;
}

// What a file that opened but gave no picture is: no picture at all, or a
// picture this build cannot show.
PictureState undecoded(QFile& file) {
    file.seek(0);
    const QByteArray head = file.read(64);
    return looksLikeAPicture(head) ? PictureState::Unreadable : PictureState::NotAPicture;
}

}  // namespace

PictureSize FitPicture(PictureSize natural, int maxWidth, int maxHeight) {
    if (natural.width <= 0 || natural.height <= 0) {
        return {};
    }
    const auto scaled = [](int side, int to, int from) {
        return static_cast<int>(static_cast<long long>(side) * to / from);
    };
    // The longer side fills the frame; where the other side would then run
    // past the frame (a wide but nearly square picture in a wide frame), the
    // other side fills it instead.
    const bool wide = natural.height < natural.width;
    if (wide && scaled(natural.height, maxWidth, natural.width) <= maxHeight) {
        return {maxWidth, scaled(natural.height, maxWidth, natural.width)};
    }
    if (!wide && scaled(natural.width, maxHeight, natural.height) <= maxWidth) {
        return {scaled(natural.width, maxHeight, natural.height), maxHeight};
    }
    return wide ? PictureSize{scaled(natural.width, maxHeight, natural.height), maxHeight}
                : PictureSize{maxWidth, scaled(natural.height, maxWidth, natural.width)};
}

LoadedPicture loadFittedPicture(const QString& path, int maxWidth, int maxHeight) {
    LoadedPicture picture;
    QFile file;
    picture.state = openPictureFile(path, file);
    if (picture.state != PictureState::Shown) {
        picture.error = QStringLiteral("the file cannot be opened as a picture");
        return picture;
    }
    QImageReader reader(&file);
    reader.setAutoTransform(true);
    QSize pixels = reader.size();
    if (!pixels.isValid()) {
        picture.error = reader.errorString();
        picture.state = undecoded(file);
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
        // A picture by its header that would not decode: too large, cut short.
        picture.error = reader.errorString();
        picture.state = PictureState::Unreadable;
    }
    return picture;
}

QImage loadPictureForPrint(const QString& path, const QImage& fallback) {
    constexpr int kPrintPixels = 1875;
    QFile file;
    if (openPictureFile(path, file) != PictureState::Shown) {
        return fallback;
    }
    QImageReader reader(&file);
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

PictureStorageProblem pictureStorageProblem(const QString& path) {
    const std::string utf8 = path.toStdString();
    if (!cp1252::canEncode(utf8)) {
        QString odd;
        for (const QChar c : path) {
            if (!cp1252::canEncode(QString(c).toStdString()) && !odd.contains(c)) {
                odd += c;
            }
        }
        return {QStringLiteral("its name holds characters an entry cannot store (%1)").arg(odd),
                QStringLiteral("Rename the file or its folder without those characters, "
                               "and choose it again.")};
    }
    if (path.startsWith(u' ') || path.endsWith(u' ')) {
        return {QStringLiteral("its full path begins or ends with a blank, which an entry does "
                               "not keep"),
                QStringLiteral("Rename the file or its folder without that blank, and choose "
                               "it again.")};
    }
    const int width = fieldInfo(Field::PicturePath).width;
    if (path.size() > width) {
        return {QStringLiteral("its full path is %1 characters long, more than the %2 an entry "
                               "can store")
                    .arg(path.size())
                    .arg(width),
                QStringLiteral("Move it to a folder with a shorter path, or give it a shorter "
                               "name, and choose it again.")};
    }
    return {};
}

}  // namespace corvane
