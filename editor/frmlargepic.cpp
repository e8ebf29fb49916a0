#include "frmlargepic.h"

#include <QCoreApplication>
#include <QLabel>

#include "appstate.h"
#include "backgroundtiles.h"
#include "buttonstyles.h"
#include "entrypicture.h"
#include "mainicons.h"
#include "modfadeinout.h"
#include "modstandard.h"
#include "orielbutton.h"
#include "pictureprintout.h"
#include "printjob.h"
#include "twips.h"

namespace corvane {

frmLargePic::frmLargePic(AppState& app, QWidget* parent) : QDialog(parent), m_app(app) {
    setObjectName(QStringLiteral("frmLargePic"));
    m_fade = new FadeController(this);
    m_close = std::make_unique<FadingClose>(*m_fade, [this] { QDialog::reject(); });
    m_app.FadeEnabled = modFadeInOut::ApplyWindowAlpha(this, 0, false, m_app.settings.fadeStatus());
    setFixedSize(twipsSize(8310 - 120, 7185 - 480));

    m_imgPicture = new QLabel(this);
    m_imgPicture->setObjectName(QStringLiteral("imgPicture"));
    m_imgPicture->setGeometry(twipsRect(75, 75, kViewerFrameWidth, kViewerFrameHeight));
    m_imgPicture->hide();

    auto makeButton = [this](const char* name, MainIcon icon, int left) {
        auto* button = new OrielButton(this);
        button->setObjectName(QString::fromLatin1(name));
        button->readProperties(buttonStyles::pictureButton());
        button->setPictureNormal(mainIcon(icon));
        button->setGeometry(twipsRect(left, 6150, 540, 540));
        return button;
    };
    m_cmdPrintPic = makeButton("cmdPrintPic", MainIcon::PrintEntry, 6960);
    m_cmdReturn = makeButton("cmdReturn", MainIcon::Quit, 7560);
    m_cmdReturn->setCancelButton(true);
    connect(m_cmdPrintPic, &OrielButton::Click, this, &frmLargePic::cmdPrintPic_Click);
    connect(m_cmdReturn, &OrielButton::Click, this, &frmLargePic::cmdReturn_Click);

    modStandard::TileBackground(dialogTile(DialogTile::Picture), this);
}

bool frmLargePic::loadPicture(const QString& path) {
    const LoadedPicture picture = loadFittedPicture(path, kViewerFrameWidth, kViewerFrameHeight);
    if (picture.image.isNull()) {
        reportMissingPicture(m_app.platform, this, path);
        m_imgPicture->hide();
        return false;
    }
    m_path = path;
    m_image = picture.image;
    m_app.PictureWidth = picture.natural.width;
    m_app.PictureHeight = picture.natural.height;
    m_imgPicture->setPixmap(QPixmap::fromImage(m_image));
    m_imgPicture->setScaledContents(true);
    m_imgPicture->setGeometry(twipsRect(75, 75, picture.fitted.width, picture.fitted.height));
    m_imgPicture->setToolTip(path);
    m_imgPicture->show();
    return true;
}

void frmLargePic::showEvent(QShowEvent* event) {
    QDialog::showEvent(event);
    m_firstShowing.shown();
}

void frmLargePic::Form_Activate() {
    setWindowTitle(m_tag);
    if (m_app.PrintPictureAtOnce) {
        m_app.PrintPictureAtOnce = false;
        cmdPrintPic_Click();
        QCoreApplication::processEvents();
        cmdReturn_Click();
        QCoreApplication::processEvents();
        return;
    }
    m_cmdPrintPic->setToolTip(QStringLiteral(" Print this Picture "));
    m_cmdReturn->setToolTip(QStringLiteral(" Finished Viewing "));
    m_cmdPrintPic->Refresh();
    m_cmdReturn->Refresh();
    if (m_app.FadeEnabled) {
        m_fade->StartFade(0, 255, 20, false);
    }
}

void frmLargePic::cmdPrintPic_Click() {
    if (m_image.isNull()) {
        return;  // nothing was loaded: nothing to print
    }
    std::unique_ptr<PrinterSurface> printer =
        openPrinterSurface(m_app, this, QStringLiteral("Corvane picture"));
    if (!printer) {
        return;
    }
    {
        const BusyWindow busy(this);
        QCoreApplication::processEvents(QEventLoop::ExcludeUserInputEvents);
        // The printout is drawn from the file at print resolution, not from
        // the screen-sized copy in the frame.
        const QImage print = loadPictureForPrint(m_path, m_image);
        PrintPicture(*printer, windowTitle(), print, m_image.width(), m_image.height());
    }
    printer->report();
}

void frmLargePic::cmdReturn_Click() {
    m_close->close(m_app.FadeEnabled && !m_app.PrintPictureAtOnce && isVisible() &&
                   m_fade->currentAlpha() > 0);
}

void frmLargePic::reject() {
    if (!m_close->closing()) {
        cmdReturn_Click();
    }
}

}  // namespace corvane
