#include "frmnewuser.h"

#include <QCheckBox>
#include <QFrame>
#include <QLabel>

#include "appstate.h"
#include "backgroundtiles.h"
#include "buttonstyles.h"
#include "helptopics.h"
#include "modfadeinout.h"
#include "modstandard.h"
#include "orielbutton.h"
#include "twips.h"

namespace corvane {

frmNewUser::frmNewUser(AppState& app, QWidget* parent) : QDialog(parent), m_app(app) {
    setObjectName(QStringLiteral("frmNewUser"));
    m_fade = new FadeController(this);
    m_fade->setClosingStep([this] { accept(); });
    m_app.FadeEnabled = modFadeInOut::ApplyWindowAlpha(this, 0, false, m_app.settings.fadeStatus());

    // 5985 x 6120 twips as a window of the Windows releases measured it,
    // with its border and caption; the inside is what Qt sizes.
    setFixedSize(twipsSize(5985 - 120, 6120 - 480));
    setWindowTitle(QStringLiteral(" Corvane - New User Overview"));

    auto* frame = new QFrame(this);
    frame->setObjectName(QStringLiteral("shapeFrame"));
    frame->setFrameShape(QFrame::Box);
    frame->setStyleSheet(QStringLiteral("QFrame#shapeFrame { border: 1px solid #7f9db9; }"));
    frame->setGeometry(twipsRect(120, 120, 5625, 4800));

    m_labelNewUser = new QLabel(this);
    m_labelNewUser->setObjectName(QStringLiteral("labelNewUser"));
    m_labelNewUser->setWordWrap(true);
    m_labelNewUser->setAlignment(Qt::AlignLeft | Qt::AlignTop);
    m_labelNewUser->setGeometry(twipsRect(240, 200, 5385, 4640));
    m_labelNewUser->setText(welcomeText());

    m_chkNoShow = new QCheckBox(QStringLiteral("Don't show this Welcome screen again"), this);
    m_chkNoShow->setObjectName(QStringLiteral("chkNoShow"));
    m_chkNoShow->setGeometry(twipsRect(180, 5070, 3600, 300));

    m_cmdContinue = new OrielButton(this);
    m_cmdContinue->setObjectName(QStringLiteral("cmdContinue"));
    m_cmdContinue->readProperties(buttonStyles::captionButton(QStringLiteral("&Continue")));
    m_cmdContinue->setGeometry(twipsRect(4080, 5000, 1665, 450));
    m_cmdContinue->setDefaultButton(true);
    connect(m_cmdContinue, &OrielButton::Click, this, &frmNewUser::cmdContinue_Click);

    auto* img = new QLabel(this);
    img->setObjectName(QStringLiteral("img"));
    img->setPixmap(dialogTile(DialogTile::NewUser));
    img->hide();
    modStandard::TileBackground(img->pixmap(), this);
}

QString frmNewUser::welcomeText() {
    // The help text keeps its lines as CR LF; a label shows line feeds.
    return QStringLiteral("Are you a new user? Let's take a moment for a quick overview--\n\n") +
           helpTopicText(1000).replace(QStringLiteral("\r\n"), QStringLiteral("\n"));
}

void frmNewUser::showEvent(QShowEvent* event) {
    QDialog::showEvent(event);
    m_firstShowing.shown();
}

void frmNewUser::Form_Activate() {
    m_cmdContinue->Refresh();
    if (m_app.FadeEnabled) {
        m_fade->StartFade(0, 255, 20, false);
    }
}

void frmNewUser::cmdContinue_Click() {
    if (m_chkNoShow->isChecked()) {
        m_app.settings.setNewUser(QStringLiteral("NoShow"));
    }
    if (m_app.FadeEnabled) {
        m_fade->StartFade(255, 0, 20, true);
    } else {
        accept();
    }
}

}  // namespace corvane
