#include "frmfind.h"

#include <QCheckBox>
#include <QLabel>
#include <QLineEdit>
#include <QRadioButton>

#include "appstate.h"
#include "backgroundtiles.h"
#include "buttonstyles.h"
#include "modfadeinout.h"
#include "modstandard.h"
#include "orielbutton.h"
#include "recordtext.h"
#include "twips.h"

namespace corvane {

frmFind::frmFind(AppState& app, QWidget* parent) : QDialog(parent), m_app(app) {
    setObjectName(QStringLiteral("frmFind"));
    m_fade = new FadeController(this);
    m_fade->setClosingStep([this] { QDialog::accept(); });
    m_app.FadeEnabled = modFadeInOut::ApplyWindowAlpha(this, 0, false, m_app.settings.fadeStatus());
    // 6300 x 4260 twips with the old border and caption; Qt sizes the inside.
    setFixedSize(twipsSize(6300 - 120, 4260 - 480));
    setWindowTitle(QStringLiteral(" Corvane - Find Entries"));

    m_lblFind = new QLabel(this);
    m_lblFind->setObjectName(QStringLiteral("lblFind"));
    m_lblFind->setText(
        QStringLiteral("\nEnter a word or phrase\n(whole or partial)\nto search for--"));
    m_lblFind->setAlignment(Qt::AlignLeft | Qt::AlignTop);
    m_lblFind->setGeometry(twipsRect(240, 60, 2400, 1200));

    static const char* const kOptions[] = {"Search all text", "Search all text except 'Comments'",
                                           "Search 'Comments' only", "Search 'Affiliations' only"};
    for (int i = 1; i <= 4; ++i) {
        auto* option = new QRadioButton(QString::fromLatin1(kOptions[i - 1]), this);
        option->setObjectName(QStringLiteral("optFind(%1)").arg(i));
        option->setGeometry(twipsRect(2760, 180 + (i - 1) * 300, 3240, 300));
        m_optFind[i] = option;
    }
    m_optFind[1]->setChecked(true);

    m_txtSearchPhrase = new QLineEdit(this);
    m_txtSearchPhrase->setObjectName(QStringLiteral("txtSearchPhrase"));
    m_txtSearchPhrase->setGeometry(twipsRect(240, 1500, 5700, 345));
    connect(m_txtSearchPhrase, &QLineEdit::textChanged, this, &frmFind::txtSearchPhrase_Change);

    m_chkCaseOpt = new QCheckBox(QStringLiteral("Ignore capitalization"), this);
    m_chkCaseOpt->setObjectName(QStringLiteral("chkCaseOpt"));
    m_chkCaseOpt->setGeometry(twipsRect(240, 2040, 3000, 300));

    m_cmdFind = new OrielButton(this);
    m_cmdFind->setObjectName(QStringLiteral("cmdFind"));
    m_cmdFind->readProperties(buttonStyles::captionButton(QStringLiteral("&Find")));
    m_cmdFind->setGeometry(twipsRect(2640, 2880, 1560, 450));
    m_cmdFind->setDefaultButton(true);
    connect(m_cmdFind, &OrielButton::Click, this, &frmFind::cmdFind_Click);

    m_cmdCancel = new OrielButton(this);
    m_cmdCancel->setObjectName(QStringLiteral("cmdCancel"));
    m_cmdCancel->readProperties(buttonStyles::captionButton(QStringLiteral("&Cancel")));
    m_cmdCancel->setGeometry(twipsRect(4380, 2880, 1560, 450));
    m_cmdCancel->setCancelButton(true);
    connect(m_cmdCancel, &OrielButton::Click, this, &frmFind::cmdCancel_Click);

    setTabOrder(m_txtSearchPhrase, m_optFind[1]);
    modStandard::TileBackground(dialogTile(DialogTile::Find), this);
}

void frmFind::showEvent(QShowEvent* event) {
    QDialog::showEvent(event);
    m_firstShowing.shown();
}

void frmFind::Form_Activate() {
    m_cmdFind->Refresh();
    m_cmdCancel->Refresh();
    m_txtSearchPhrase->setText(m_app.SearchPhrase);
    if (!m_app.SearchPhrase.isEmpty()) {
        m_txtSearchPhrase->selectAll();
    } else {
        txtSearchPhrase_Change();
    }
    // The dialog's choices are the scopes' numbers; before the first find, all text.
    const int option = std::clamp(static_cast<int>(m_app.SearchOption), 1, 4);
    m_optFind[option]->setChecked(true);
    m_chkCaseOpt->setChecked(m_app.SearchCompareMode == SearchCompare::IgnoreCase);
    if (m_app.FadeEnabled) {
        m_fade->StartFade(0, 255, 20, false);
    }
    m_txtSearchPhrase->setFocus();
}

void frmFind::txtSearchPhrase_Change() {
    m_cmdFind->setEnabled(!trimBlanks(m_txtSearchPhrase->text()).isEmpty());
}

void frmFind::cmdFind_Click() {
    m_findPressed = true;
    cmdCancel_Click();
}

void frmFind::cmdCancel_Click() {
    if (m_closing) {
        return;
    }
    m_closing = true;
    m_app.SearchPhrase = m_findPressed ? trimBlanks(m_txtSearchPhrase->text()) : QString();
    for (int i = 1; i <= 4; ++i) {
        if (m_optFind[i]->isChecked()) {
            m_app.SearchOption = static_cast<SearchScope>(i);
            break;
        }
    }
    m_app.SearchCompareMode =
        m_chkCaseOpt->isChecked() ? SearchCompare::IgnoreCase : SearchCompare::Exact;
    if (m_app.FadeEnabled) {
        m_fade->StartFade(255, 0, 20, true);
    } else {
        QDialog::accept();
    }
}

// Closing the dialog any other way (its close box) is Cancel: the phrase is
// cleared, so an earlier phrase is not searched again by mistake.
void frmFind::reject() {
    if (!m_closing) {
        cmdCancel_Click();
    }
}

}  // namespace corvane
