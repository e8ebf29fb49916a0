#include "frmmain.h"

#include <QApplication>
#include <QCloseEvent>

#include "appstate.h"
#include "modfadeinout.h"
#include "storemessages.h"
#include "twips.h"

namespace corvane {

frmMain::frmMain(AppState& app, QWidget* parent) : QWidget(parent), m_app(app) {
    setObjectName(QStringLiteral("frmMain"));
    setAttribute(Qt::WA_DeleteOnClose);
    setWindowTitle(QStringLiteral("Corvane"));
    resize(twipsSize(7200, 6600));
    m_fade = new FadeController(this);
    m_fade->setClosingStep([this] { endProgram(); });
    Form_Load();
}

// The probe of per-window opacity: the main window is made transparent
// before it is first shown. Where that works and the user wants no fading
// it becomes opaque again; where it cannot work fading is off for good.
void frmMain::Form_Load() {
    const bool layered = modFadeInOut::ApplyWindowAlpha(this, 0, true, false);
    m_app.FadeEnabled = layered;
    if (layered) {
        if (!m_app.settings.fadeStatus()) {
            modFadeInOut::ApplyWindowAlpha(this, 255, true, false);
            m_app.FadeEnabled = false;
        }
    } else {
        m_app.settings.setFadeStatus(false);
        m_fadeSwitchAvailable = false;
    }
}

void frmMain::showEvent(QShowEvent* event) {
    QWidget::showEvent(event);
    if (!m_activated) {
        m_activated = true;
        Form_Activate();
    }
}

void frmMain::Form_Activate() {
    if (m_app.FadeEnabled) {
        m_fade->StartFade(0, 255, 20, false);
    }
    // Opening the data file creates it on a first run; a folder that cannot
    // be written is reported now, and what exists can still be read.
    const StoreStatus opened = m_app.store.RefreshRecordCount();
    if (!opened.ok()) {
        reportStoreError(m_app, this, opened);
    } else if (m_app.store.damage()) {
        reportFileDamage(m_app, this, *m_app.store.damage());
    }
}

void frmMain::closeEvent(QCloseEvent* event) {
    if (m_shuttingDown) {
        event->accept();
        return;
    }
    event->ignore();
    shutDown();
}

void frmMain::shutDown() {
    if (m_shuttingDown) {
        return;
    }
    m_shuttingDown = true;
    (void)m_app.store.CloseDataFile();
    if (m_app.FadeEnabled) {
        m_fade->StartFade(255, 0, 20, true);
    } else {
        endProgram();
    }
}

void frmMain::endProgram() {
    QApplication::closeAllWindows();
    m_app.endProcess();
}

}  // namespace corvane
