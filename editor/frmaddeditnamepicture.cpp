// The entry editor's picture: showing it at LoadEntry, choosing, removing
// and viewing it larger. The picture's path is the frame's tooltip; in view
// mode a choice or a removal is written to the entry at once.

#include <QCoreApplication>
#include <QDir>
#include <QFileInfo>
#include <QLabel>

#include "appstate.h"
#include "entrypicture.h"
#include "frmaddeditname.h"
#include "frmlargepic.h"
#include "modfadeinout.h"
#include "orielbutton.h"
#include "recordtext.h"
#include "storemessages.h"
#include "twips.h"

namespace corvane {
namespace {

constexpr int kFrameLeft = 2985;
constexpr int kFrameTop = 1200;

}  // namespace

QString frmAddEditName::picturePath() const {
    return m_imgPicture->toolTip();
}

bool frmAddEditName::pictureShown() const {
    return !m_imgPicture->pixmap().isNull();
}

void frmAddEditName::clearPicture() {
    m_imgPicture->hide();
    m_imgPicture->clear();
    m_imgPicture->setToolTip({});
    m_imgPicture->setGeometry(
        twipsRect(kFrameLeft, kFrameTop, kEditorFrameWidth, kEditorFrameHeight));
    m_imgPicture->show();
}

void frmAddEditName::showPicture(const LoadedPicture& picture, const QString& path) {
    m_app.PictureWidth = picture.natural.width;
    m_app.PictureHeight = picture.natural.height;
    m_imgPicture->setPixmap(QPixmap::fromImage(picture.image));
    m_imgPicture->setGeometry(
        twipsRect(kFrameLeft, kFrameTop, picture.fitted.width, picture.fitted.height));
    m_imgPicture->setToolTip(path);
    m_imgPicture->show();
}

void frmAddEditName::showPictureButtons(bool picture, bool shown) {
    m_lblPicture->setVisible(!picture);
    m_cmdPicAddEdit[1]->setVisible(!picture);
    m_cmdPicAddEdit[2]->setVisible(picture);
    m_cmdLargerPic->setVisible(picture && shown);
    m_cmdPicDelete->setVisible(picture);
}

// The picture step of LoadEntry. A picture that cannot be shown is taken
// off the entry only when its folder is there and the file is not, or the
// file is no picture: a path of another machine (the Windows releases'
// C:\ and \\server\ paths), a folder that cannot be reached (a disk not
// mounted) and a picture this build cannot read keep the reference, and
// the entry shows no picture this time, only a quiet note in the frame
// with the path, so that the user knows which file and why.
void frmAddEditName::loadEntryPicture(const QString& path) {
    clearPicture();
    QCoreApplication::processEvents(QEventLoop::ExcludeUserInputEvents);
    QString kept;
    if (!path.isEmpty()) {
        const LoadedPicture picture =
            loadFittedPicture(path, kEditorFrameWidth, kEditorFrameHeight);
        if (picture.state == PictureState::Shown) {
            showPicture(picture, path);
            kept = path;
        } else if (picture.state == PictureState::Unreachable ||
                   picture.state == PictureState::Unreadable) {
            const QString why = picture.state == PictureState::Unreachable
                                    ? QStringLiteral("The picture's folder cannot be reached here:")
                                    : QStringLiteral("The picture cannot be read here:");
            const QString shownPath = m_imgPicture->fontMetrics().elidedText(
                path, Qt::ElideMiddle, m_imgPicture->width() - twipsX(240));
            m_imgPicture->setWordWrap(true);
            m_imgPicture->setText(why + QStringLiteral("\n\n") + shownPath);
            m_imgPicture->setAlignment(Qt::AlignCenter);
            m_imgPicture->setToolTip(path);
            kept = path;
        } else {
            // While the scroll bar steps, the message waits for the step to
            // end (a message up mid-step lets the bar run on).
            if (m_stepping) {
                m_missingPicture = path;
            } else {
                reportMissingPicture(m_app.platform, this, path);
            }
            if (!storePicturePath({}, false)) {
                kept = path;  // could not be taken off: it stays as stored
                m_imgPicture->setToolTip(path);
            }
        }
    }
    showPictureButtons(!kept.isEmpty(), pictureShown());
}

// Writes `path` (empty: none) into the stored entry, with the modification
// stamp when asked; tells the user and returns false when that fails.
bool frmAddEditName::storePicturePath(const QString& path, bool stampModified) {
    DataFile& store = m_app.store;
    const StoreStatus status = store.UseDataFile([&] {
        StoreStatus read = store.ReadRecord(m_entryRecordNumber);
        if (!read.ok()) {
            return read;
        }
        store.CurrentRecord().setText(Field::PicturePath, path.toStdString());
        if (stampModified) {
            store.CurrentRecord().setDate(Field::LastModified, m_app.now());
        }
        return store.WriteRecord(m_entryRecordNumber);
    });
    if (!status.ok()) {
        reportStoreError(m_app, this, status);
        return false;
    }
    m_loadedPicture = path;
    return true;
}

void frmAddEditName::cmdPicAddEdit_Click(int) {
    // The dialog may wander the folders; the program's own stays put.
    const QString folder = QDir::currentPath();
    const QString start =
        picturePath().isEmpty() ? QDir::homePath() : QFileInfo(picturePath()).absolutePath();
    const QString chosen = m_app.platform.openFileName(this, start);
    QDir::setCurrent(folder);
    if (chosen.isEmpty()) {
        return;
    }
    if (const PictureStorageProblem problem = pictureStorageProblem(chosen); !problem.none()) {
        m_app.platform.messageBox(
            this, {QStringLiteral("File Access Error"),
                   QStringLiteral("This picture cannot be kept with the entry: %1.\n\n(%2)\n\n%3")
                       .arg(problem.reason, chosen, problem.remedy),
                   MsgIcon::Exclamation, MsgButtons::Ok, 1});
        return;
    }
    const LoadedPicture picture = loadFittedPicture(chosen, kEditorFrameWidth, kEditorFrameHeight);
    if (picture.image.isNull()) {
        // The earlier picture, if any, stays shown and stored.
        m_app.platform.messageBox(this, {QStringLiteral("File Access Error"),
                                         QStringLiteral("There is some kind of problem\nin trying "
                                                        "to access that picture file..."),
                                         MsgIcon::None, MsgButtons::Ok, 1});
        return;
    }
    if (!isAddMode() && !storePicturePath(chosen, true)) {
        return;
    }
    showPicture(picture, chosen);
    showPictureButtons(true);
}

void frmAddEditName::cmdPicDelete_Click() {
    QCoreApplication::processEvents(QEventLoop::ExcludeUserInputEvents);
    const MsgAnswer answer = m_app.platform.messageBox(
        this, {QStringLiteral("Confirm Picture Delete"),
               QStringLiteral("Are you SURE that you want\nto delete this picture?"),
               MsgIcon::Question, MsgButtons::YesNo, 2});
    if (answer != MsgAnswer::Yes) {
        return;
    }
    if (!isAddMode() && !storePicturePath({}, false)) {
        return;
    }
    clearPicture();
    showPictureButtons(false);
}

// The editor dims to 80 % under a window it opens, and brightens after.
void frmAddEditName::dim() {
    if (m_app.FadeEnabled) {
        m_fade->StartFade(255, 204, 2, false);
    }
}

void frmAddEditName::undim() {
    if (m_app.FadeEnabled) {
        m_fade->StartFade(204, 255, 2, false);
    }
}

void frmAddEditName::cmdLargerPic_Click() {
    dim();
    {
        frmLargePic viewer(m_app, this);
        viewer.setTag(fieldText(2));
        viewer.loadPicture(picturePath());
        viewer.exec();
    }
    undim();
}

}  // namespace corvane
