// The main window's list: LoadGrid, which rebuilds it from the data file,
// and UpdateCommandButtons, which suits the buttons to it.

#include <QApplication>
#include <QLabel>
#include <QScopedValueRollback>
#include <utility>

#include "appstate.h"
#include "contactgrid.h"
#include "frmmain.h"
#include "listcolumns.h"
#include "modstandard.h"
#include "orielbutton.h"
#include "recordtext.h"
#include "search.h"
#include "storemessages.h"

namespace corvane {
namespace {

// Lets the window paint without letting the user start anything: the
// rebuild runs to its end before any command can.
void processPendingMessages() {
    QCoreApplication::processEvents(QEventLoop::ExcludeUserInputEvents);
}

}  // namespace

void frmMain::LoadGrid() {
    // The window lets paint messages through while it rebuilds; a sync
    // does not write the book meanwhile.
    const QScopedValueRollback loading(m_loadingGrid, true);
    bool failed = false;
    rebuildRows(failed);
    if (failed) {
        return;  // the user has been told; no message about an empty list
    }
    if (m_subListShown) {
        showSubList();
    } else {
        showAllEntries();
    }
}

// Steps 1 to 7 of the rebuild: every record read into the rows, sorted,
// shaded and drawn once; `failed` when a file error ended the reading.
void frmMain::rebuildRows(bool& failed) {
    // 1. Hourglass; the grid stops drawing until it is complete.
    QApplication::setOverrideCursor(Qt::WaitCursor);
    m_lblGridHeader->clear();
    m_rebuilding = true;
    m_grid->setUpdatesEnabled(false);
    m_grid->beginRebuild();
    m_grid->clearRows();

    // 2. Headings and column widths.
    m_grid->setFormatString(QStringLiteral("<Name (or Business)|<") +
                            columnMenuCaption(m_columnToIndex));
    m_grid->setColumnWidthTwips(0, 5000);

    // 3. and 4. Every record, once, in file order.
    fillGrid(failed);

    // 5. Sorted by name, then by the second column.
    if (m_grid->Rows() > 2) {
        m_grid->sortRows();
    }
    // 6. Every second row shaded.
    for (int r = 2; r <= m_grid->Rows() - 1; r += 2) {
        m_grid->shadeRow(r);
    }

    // 7. Drawn once, complete; the second column fills what the rows leave,
    // now that they tell whether a scroll bar takes its share.
    m_grid->setColumnWidthTwips(1, std::max(0, m_grid->widthTwips() - 5000));
    m_grid->endRebuild();
    m_grid->setUpdatesEnabled(true);
    m_rebuilding = false;
    QApplication::restoreOverrideCursor();
    processPendingMessages();
}

// Step 8: the sub-list a find or an affiliation made, or the message that
// nothing matched (and all entries again).
void frmMain::showSubList() {
    // 8. A sub-list.
    if (m_grid->Rows() == 1) {
        m_app.platform.messageBox(
            this, {QStringLiteral("No matches"),
                   QStringLiteral("There were no matches\nsearching for\n\n") + m_app.SearchPhrase,
                   MsgIcon::Critical, MsgButtons::Ok, 1});
        cmdSeeAllEntries_Click();
        return;
    }
    // The entry just saved, when it is in the sub-list, else the first.
    const int saved = rowOfRecord(std::exchange(m_savedRecord, 0));
    m_grid->setRow(saved > 0 ? saved : 1);
    m_grid->setTopRow(saved > 0 ? saved : 1);
    m_grid->selectCurrentRow();
    UpdateCommandButtons();
    m_timerFlash.start();
    m_lblGridHeader->setText(QStringLiteral(" Sub-list of entries containing '") +
                             m_app.SearchPhrase + QStringLiteral("' "));
    if (m_savedSearchOption != SearchScope::None) {
        m_app.SearchOption = m_savedSearchOption;
        m_savedSearchOption = SearchScope::None;
    }
}

// Step 9: all entries, or the message that the book is empty.
void frmMain::showAllEntries() {
    // 9. All entries.
    if (m_grid->Rows() == 1) {
        m_cmdAddEntry->show();
        processPendingMessages();
        m_app.platform.messageBox(this, {QStringLiteral("Corvane"),
                                         QStringLiteral("Your Corvane database \n"
                                                        "is currently empty!\n"
                                                        "\n"
                                                        "To add an entry to your\n"
                                                        "Corvane list, just\n"
                                                        "click on the green & white\n"
                                                        "'Add Entry' icon above..."),
                                         MsgIcon::Information, MsgButtons::Ok, 1});
        return;
    }
    placeHighlight();
    m_lblGridHeader->setText(QStringLiteral(" All entries "));
}

// Reads every record into the grid; a file error is reported and ends the
// reading, with `failed` set.
void frmMain::fillGrid(bool& failed) {
    DataFile& store = m_app.store;
    const StoreStatus status = store.UseDataFile([&] {
        if (store.damage() && store.damage()->worthTelling() && !m_app.damageReported) {
            m_app.damageReported = true;
            reportFileDamage(m_app, this, *store.damage());
        }
        reportStoreNotices(m_app, this);
        const SearchMatcher matcher(m_app.SearchPhrase, m_subListOption, m_app.SearchCompareMode);
        const ContactRecord& record = store.CurrentRecord();
        for (int i = 1; i <= store.RecordCount(); ++i) {
            if (StoreStatus read = store.ReadRecord(i); !read.ok()) {
                return read;
            }
            if (!m_subListShown || matcher.matches(record)) {
                m_grid->addRow(recordText(record, Field::FullName),
                               columnText(record, m_columnToIndex), i);
            }
        }
        return StoreStatus::success();
    });
    if (!status.ok()) {
        reportStoreError(m_app, this, status);
        failed = true;
    }
}

// The row showing record `record`, or 0.
int frmMain::rowOfRecord(int record) const {
    for (int r = 1; record > 0 && r < m_grid->Rows(); ++r) {
        if (m_grid->TextMatrix(r, 2).toInt() == record) {
            return r;
        }
    }
    return 0;
}

// The highlight after a rebuild of all entries: on the entry just added, or
// back where it was before the last sub-list, within the list as it is now.
// A list with entries always has a current row, so that See/Edit and Delete
// act on an entry the user can see.
void frmMain::placeHighlight() {
    const int lastRow = m_grid->Rows() - 1;
    int added = rowOfRecord(std::exchange(m_savedRecord, 0));
    if (added == 0 && !m_addEntryTag.isEmpty()) {
        for (int r = 1; r <= lastRow && added == 0; ++r) {
            if (m_grid->TextMatrix(r, 0) == m_addEntryTag) {
                added = r;
            }
        }
    }
    if (added > 0) {
        m_grid->setRow(added);
        m_grid->setTopRow(added);
    } else {
        m_grid->setRow(std::min(std::max(m_savedRow, 1), lastRow));
        m_grid->setTopRow(std::min(std::max(m_savedTopRow, 1), lastRow));
    }
    m_grid->selectCurrentRow();
}

void frmMain::setButtonShown(OrielButton* button, bool shown) {
    button->setVisible(shown);
    button->Refresh();
}

void frmMain::UpdateCommandButtons() {
    const int rows = m_grid->Rows();
    setButtonShown(m_cmdSeeEntry, rows > 1);
    setButtonShown(m_cmdFindEntries[1], rows > 2 && !m_subListShown);
    setButtonShown(m_cmdFindEntries[2], rows > 2 && !m_subListShown);
    setButtonShown(m_cmdBirthday, rows > 1 && !m_subListShown);
    setButtonShown(m_cmdListWith, rows > 1);
    setButtonShown(m_cmdSeeAllEntries, m_subListShown);
    m_cmdSeeAllEntries->setCancelButton(m_subListShown);
    setButtonShown(m_cmdAddEntry, m_app.store.RecordCount() < 32000 && !m_subListShown);
    setButtonShown(m_cmdPrintList, rows > 2);
    setButtonShown(m_cmdDeleteEntry, rows > 1 && !m_subListShown);
    m_cmdEmailFriend->setToolTip(QStringLiteral(" Email a friend about Corvane! "));
    m_cmdHelp->Refresh();
    m_cmdQuit->setCancelButton(!m_subListShown);
}

}  // namespace corvane
