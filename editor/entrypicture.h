#pragma once

// An entry's picture: fitting it into a frame, loading it at the size it is
// shown, and whether its path can be stored in the record whole.

#include <QImage>
#include <QString>

class QWidget;

namespace corvane {

class Platform;

// The frames pictures are fitted into, in twips.
inline constexpr int kEditorFrameWidth = 4005;
inline constexpr int kEditorFrameHeight = 3480;
inline constexpr int kViewerFrameWidth = 8000;
inline constexpr int kViewerFrameHeight = 6000;

struct PictureSize {
    int width = 0;  // twips
    int height = 0;
};

// The picture of natural size `natural` fitted to `maxWidth` x `maxHeight`:
// a wide picture takes the whole width, an upright or square one the whole
// height, the other side in proportion with the remainder dropped; and where
// that side would not fit, it fills the frame instead, so that every picture
// stands whole inside its frame.
PictureSize FitPicture(PictureSize natural, int maxWidth, int maxHeight);

// What became of an attempt to show the picture at a path. Only Missing
// and NotAPicture are reasons to take the path off an entry: the others
// may show the picture on another machine, another day, or in a later
// build, and the book goes back to the Windows releases with it.
enum class PictureState {
    Shown,        // decoded
    Unreachable,  // not a path of this machine (C:\..., \\server\...), or its
                  // folder cannot be reached (a disk not mounted, no permission)
    Unreadable,   // a file that could not be read or decoded here: an I/O error,
                  // a format this build lacks (WMF, EMF, HEIF), too large to decode
    Missing,      // its folder is there and holds other files, but not this one
    NotAPicture,  // a folder, device or pipe, or a readable file that is no picture
};

struct LoadedPicture {
    QImage image;         // decoded at the fitted size; null when it failed
    PictureSize natural;  // twips, from the file's own pixel size
    PictureSize fitted;   // twips
    QString error;        // why it failed, for the user
    PictureState state = PictureState::Missing;
};

// Reads the picture at `path` through Qt's image readers, decoding it at
// the size it is shown in the frame (a large photograph never decodes
// whole), fitted as FitPicture does. Only a regular file is opened, and
// opening it never waits: a path naming a pipe or a terminal is no picture.
LoadedPicture loadFittedPicture(const QString& path, int maxWidth, int maxHeight);

// The picture at `path` decoded for print: up to 1875 pixels across (6.25
// inches at 300 dpi), never more than the file holds; `fallback` when the
// file cannot be read again.
QImage loadPictureForPrint(const QString& path, const QImage& fallback);

// Tells the user the picture at `path` cannot be found or read.
void reportMissingPicture(Platform& platform, QWidget* owner, const QString& path);

// Why `path` cannot be stored in the record's 100-character field exactly
// (too long, characters Windows-1252 cannot hold, a blank at an end), and
// what the user can do about it; both empty when it can.
struct PictureStorageProblem {
    QString reason;
    QString remedy;
    bool none() const { return reason.isEmpty(); }
};
PictureStorageProblem pictureStorageProblem(const QString& path);

}  // namespace corvane
