// The main window's commands: add, see/edit, delete, find, See All with its
// pulse, help, quit and the fade switch.

#include <QApplication>
#include <QLabel>
#include <QLocale>
#include <QPointer>

#include "appstate.h"
#include "backgroundsync.h"
#include "contactgrid.h"
#include "frmfind.h"
#include "frmmain.h"
#include "listprintout.h"
#include "modfadeinout.h"
#include "orielbutton.h"
#include "printjob.h"
#include "storemessages.h"

namespace corvane {

void frmMain::dim() {
    if (m_app.FadeEnabled) {
        m_fade->StartFade(255, 204, 2, false);
    }
}

void frmMain::undim() {
    if (m_app.FadeEnabled) {
        m_fade->StartFade(204, 255, 2, false);
    }
}

void frmMain::focusGrid() {
    if (m_grid->isVisible() && m_grid->isEnabled()) {
        m_grid->setFocus();
    }
}

void frmMain::cmdAddEntry_Click() {
    dim();
    if (m_app.openEntryEditor) {
        m_app.openEntryEditor(this, EditorMode::Add, *this);
    }
    undim();
    if (!m_addEntryTag.isEmpty()) {
        LoadGrid();
        UpdateCommandButtons();
        m_addEntryTag.clear();
    }
    focusGrid();
}

void frmMain::cmdSeeEntry_Click() {
    dim();
    if (m_app.openEntryEditor) {
        m_app.openEntryEditor(this, EditorMode::View, *this);
    }
    undim();
    if (m_seeEntryTag == QLatin1String("*")) {
        LoadGrid();
        UpdateCommandButtons();
        m_seeEntryTag.clear();
    }
    focusGrid();
}

void frmMain::cmdDeleteEntry_Click() {
    if (m_grid->Row() < 1) {
        return;  // no entry is highlighted, so none is to be deleted
    }
    // The question names the entry, so that a highlight the user did not
    // expect is seen before anything is deleted.
    const QString name = m_grid->TextMatrix(m_grid->Row(), 0);
    const MsgAnswer answer = m_app.platform.messageBox(
        this, {QStringLiteral("Confirm"),
               QStringLiteral("Are you SURE you wish to delete this entry?\n\n") + name,
               MsgIcon::Question, MsgButtons::YesNo, 2});
    if (answer != MsgAnswer::Yes) {
        return;
    }
    QApplication::setOverrideCursor(Qt::WaitCursor);
    const int row = m_grid->Row();
    const int topRow = m_grid->TopRow();
    const int number = m_grid->TextMatrix(row, 2).toInt();
    const StoreStatus deleted = m_app.store.DeleteAndCompact(number);
    QApplication::restoreOverrideCursor();
    if (!deleted.ok()) {
        reportStoreError(m_app, this, deleted);
    } else {
        ++m_undoableDeletions;
    }
    reportStoreNotices(m_app, this);
    LoadGrid();
    // Nothing was deleted: the highlight stays on the entry the user chose.
    if (!deleted.ok() && row < m_grid->Rows()) {
        m_grid->setRow(row);
        m_grid->setTopRow(topRow);
        m_grid->selectCurrentRow();
    }
    UpdateCommandButtons();
    if (m_grid->Rows() > 1) {
        focusGrid();
    } else if (m_cmdAddEntry->isVisible()) {
        m_cmdAddEntry->setFocus();
    }
}

void frmMain::cmdFindEntries_Click(int index) {
    if (m_grid->Rows() > 2) {
        m_savedRow = m_grid->Row();
        m_savedTopRow = m_grid->TopRow();
    }
    if (index == 2) {
        filterByAffiliation();
        return;
    }
    dim();
    QPointer<frmFind> find = new frmFind(m_app, this);
    find->exec();
    delete find;
    undim();
    // Only the find re-runs its phrase: the filter builds its own sub-list.
    if (!m_app.SearchPhrase.isEmpty()) {
        m_subListShown = true;
        m_subListOption = m_app.SearchOption;
        LoadGrid();
        UpdateCommandButtons();
    }
}

void frmMain::cmdSeeAllEntries_Click() {
    m_subListShown = false;
    m_timerFlash.stop();
    LoadGrid();
    UpdateCommandButtons();
}

// The See-All button pulses from dark on yellow to yellow on dark and back.
void frmMain::timerFlash_Timer() {
    if (m_foreLevel < 8) {
        m_backLevel = 248;
        m_levelStep = 4;
    } else if (m_foreLevel > 248) {
        m_backLevel = 2;
        m_levelStep = -4;
    }
    m_foreLevel = static_cast<short>(m_foreLevel + m_levelStep);
    m_backLevel = static_cast<short>(m_backLevel - m_levelStep);
    m_cmdSeeAllEntries->setBackColor(oleRgb(m_backLevel, m_backLevel, 0));
    m_cmdSeeAllEntries->setForeColor(oleRgb(m_foreLevel, m_foreLevel, 0));
}

void frmMain::cmdHelp_Click() {
    dim();
    m_app.HelpStartTopic = 3;
    if (m_app.openHelp) {
        m_app.openHelp(this);
    }
    undim();
}

void frmMain::cmdPrintList_Click() {
    if (m_grid->Rows() < 2) {
        return;  // no entries: nothing to print
    }
    // Only a printer can be ready; without one the list goes to a PDF file.
    if (!m_PrinterConfirmed && !m_app.platform.defaultPrinterName().isEmpty()) {
        const MsgAnswer answer = m_app.platform.messageBox(
            this, {QStringLiteral("Corvane"), QStringLiteral("Is your printer ready?"),
                   MsgIcon::Question, MsgButtons::YesNoCancel, 1});
        if (answer != MsgAnswer::Yes) {
            return;
        }
        m_PrinterConfirmed = true;
    }
    std::unique_ptr<PrinterSurface> printer =
        openPrinterSurface(m_app, this, QStringLiteral("Corvane list"));
    if (!printer) {
        return;
    }
    {
        const BusyWindow busy(this);
        const ContactGrid* grid = m_grid;
        PrintList(*printer,
                  {QStringLiteral("Corvane"), m_lblGridHeader->text().trimmed(),
                   QLocale().toString(m_app.platform.now(), QLocale::ShortFormat), grid->Rows(),
                   [grid](int r, int c) { return grid->TextMatrix(r, c); }});
    }
    printer->report();
}

void frmMain::cmdQuit_Click() {
    if (m_asking) {
        return;
    }
    bool yes = m_app.QuitWithoutAsking;
    if (!yes) {
        m_asking = true;
        if (m_app.FadeEnabled) {
            m_fade->StartFade(255, 204, 2, false);
            while (m_fade->isRunning()) {
                QCoreApplication::processEvents(QEventLoop::WaitForMoreEvents);
            }
        }
        yes =
            m_app.platform.messageBox(
                this, {QStringLiteral("Confirm"), QStringLiteral("Are you sure you wish to quit?"),
                       MsgIcon::Question, MsgButtons::YesNo, 1}) == MsgAnswer::Yes;
        QCoreApplication::processEvents();
        m_asking = false;
    }
    if (yes) {
        shutDown();
    } else if (m_app.FadeEnabled) {
        m_fade->StartFade(204, 255, 2, false);
    }
}

void frmMain::shutDown() {
    if (m_ending) {
        return;
    }
    m_sync.reset();  // a sync under way is cut short; the next one finds its work
    (void)m_app.store.CloseDataFile();
    if (m_app.FadeEnabled) {
        m_ending = true;
        m_fade->StartFade(204, 0, 20, true);
    } else {
        endProgram();
    }
}

void frmMain::cmdFormFade_Click() {
    m_app.FadeEnabled = !m_app.FadeEnabled;
    m_app.settings.setFadeStatus(m_app.FadeEnabled);
}

}  // namespace corvane
