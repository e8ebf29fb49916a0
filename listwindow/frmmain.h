#pragma once

// The main window: the list of entries with its command buttons. It lives
// for the whole run; every command that changes the data or what the list
// shows ends by rebuilding the list from the data file with LoadGrid.

#include <QTimer>
#include <QWidget>
#include <memory>

#include "listlink.h"
#include "searchstate.h"

class QAction;
class QLabel;
class QFrame;
class QMenu;

namespace corvane {

struct ListExportChoice;
struct SyncOutcome;

class AppState;
class BackgroundSync;
class ContactGrid;
class FadeController;
class OrielButton;

class frmMain : public QWidget, public ListLink {
    Q_OBJECT
  public:
    explicit frmMain(AppState& app, QWidget* parent = nullptr);
    ~frmMain() override;

    // Rebuilds the list from the data file: all entries, or while a sub-list
    // is shown only those matching the search state; sorted, shaded, with
    // the highlight where it belongs.
    void LoadGrid();
    // Shows or hides the command buttons to suit the list.
    void UpdateCommandButtons();

    // The commands.
    void cmdAddEntry_Click();
    void cmdSeeEntry_Click();
    void cmdDeleteEntry_Click();
    void cmdSeeAllEntries_Click();
    void cmdFindEntries_Click(int index);
    void cmdHelp_Click();
    void cmdPrintList_Click();
    void cmdBirthday_Click();
    void menuBirthdayList_Click(int index);
    void menuAffiliationList_Click(int index);
    void cmdFindEntries_MouseUp(int index, int button);
    void cmdListWith_Click();
    void menuList_Click(int index);
    void cmdEmailFriend_Click();
    // A right click on the print button offers labels for the list.
    void cmdPrintList_MouseUp(int button);
    // Deleted entries come back: Ctrl+Z restores the last one deleted in
    // this run (again, the one before); a right click on the delete button
    // offers the last few and the window of all of them.
    void undoDeletion();
    void cmdDeleteEntry_MouseUp(int button);
    void showDeletedEntries();
    // The list's right-click menu: a sync with the CardDAV account, whose
    // outcome is shown. With an account, the window also syncs quietly at
    // start and a few seconds after each change to the book, and tells of
    // a failure once, not at every change.
    void grid_ContextMenu(const QPoint& at);
    void syncNow();
    bool syncRunning() const;
    QMenu* menuGrid() const { return m_menuGrid; }
    // Puts entry `index` of the trash back and highlights it.
    void restoreDeleted(std::size_t index);
    QMenu* menuDeleted() const { return m_menuDeleted; }
    void printListLabels();
    void exportThisList(const ListExportChoice& choice);
    QMenu* menuPrintOptions() const { return m_menuPrintOptions; }
    void cmdQuit_Click();
    void cmdFormFade_Click();
    void timerFlash_Timer();

    // ListLink: what the entry editor sees of the list.
    int Rows() const override;
    int Row() const override;
    void setRow(int row) override;
    void setTopRow(int row) override;
    QString TextMatrix(int row, int column) const override;
    void setAddEntryTag(const QString& name) override { m_addEntryTag = name; }
    void markEntrySaved() override { m_seeEntryTag = QStringLiteral("*"); }
    void setSavedRecord(int record) override { m_savedRecord = record; }
    int rowOfRecord(int record) const;

    ContactGrid* grid() const { return m_grid; }
    FadeController* fade() const { return m_fade; }
    bool fadeSwitchAvailable() const { return m_fadeSwitchAvailable; }
    bool subListShown() const { return m_subListShown; }
    // Shows (or leaves) a sub-list of the current search state, as a find does.
    void setSubListShown(bool shown);
    int columnToIndex() const { return m_columnToIndex; }
    void setColumnToIndex(int index) { m_columnToIndex = index; }
    bool isFlashing() const { return m_timerFlash.isActive(); }
    // The popups as last built: the reminders, the affiliations, the columns.
    QMenu* menuBirthdayListmenu() const { return m_menuBirthdayListmenu; }
    QMenu* menuAffiliationListMenu() const { return m_menuAffiliationListMenu; }
    QMenu* menuListOptions() const { return m_menuListOptions; }
    // The user said once in this run that the printer is ready.
    bool printerConfirmed() const { return m_PrinterConfirmed; }

    // Closes every open file, fades out when fading, closes every window and
    // ends the program. Nothing is written: every change is already stored.
    void shutDown();

  protected:
    void showEvent(QShowEvent* event) override;
    void closeEvent(QCloseEvent* event) override;
    void resizeEvent(QResizeEvent* event) override;
    bool eventFilter(QObject* watched, QEvent* event) override;

  private:
    void Form_Load();
    void Form_Activate();
    void buildButtons();
    void layoutControls();
    OrielButton* makeToolButton(const char* name, int iconKind, const char* tooltip);
    // `onGrid`: the key was pressed in the grid.
    bool Form_KeyDown(int key, bool onGrid);
    bool Form_Keypress(const QString& text);
    void grid_RowColChange();
    void grid_MouseMove();
    void cmdFormFade_MouseMove();
    void dim();
    void undim();
    void rebuildRows(bool& failed);
    void showSubList();
    void showAllEntries();
    void fillGrid(bool& failed);
    void buildMenus();
    void filterByAffiliation();
    void showSingleTopicHelp();
    // Empties `menu` down to its first `kept` items (1-based array `items`).
    // A name or affiliation shown as a menu item: an "&" is shown, not taken
    // as the mark of an access key, and a Tab is a blank, not a shortcut
    // column. The item's data keeps the text itself.
    static QString menuCaption(QString text);
    static void trimMenu(QMenu* menu, QList<QAction*>& items, int kept);
    static QAction* addMenuItem(QMenu* menu, QList<QAction*>& items, const QString& arrayName,
                                const QString& caption);
    void placeHighlight();
    void setButtonShown(OrielButton* button, bool shown);
    void focusGrid();
    void endProgram();
    void startSyncing();
    void startSync(bool quiet);
    void syncDone(const SyncOutcome& outcome, bool quiet);
    // Whether the sync may write the book and rebuild the list: the window
    // is in no command and shows no dialog or menu.
    bool windowIdle() const;

    AppState& m_app;
    FadeController* m_fade;
    ContactGrid* m_grid;
    QLabel* m_lblGridHeader;
    QFrame* m_shape1;
    OrielButton* m_cmdAddEntry;
    OrielButton* m_cmdSeeEntry;
    OrielButton* m_cmdDeleteEntry;
    OrielButton* m_cmdFindEntries[3] = {nullptr, nullptr, nullptr};
    OrielButton* m_cmdListWith;
    OrielButton* m_cmdBirthday;
    OrielButton* m_cmdPrintList;
    OrielButton* m_cmdEmailFriend;
    OrielButton* m_cmdFormFade;
    OrielButton* m_cmdHelp;
    OrielButton* m_cmdQuit;
    OrielButton* m_cmdSeeAllEntries;
    QTimer m_timerFlash;
    QMenu* m_menuBirthdayListmenu;
    QList<QAction*> m_menuBirthdayList;  // 1-based: [0] is unused
    QMenu* m_menuAffiliationListMenu;
    QList<QAction*> m_menuAffiliationList;
    QMenu* m_menuListOptions;
    QMenu* m_menuPrintOptions;
    QMenu* m_menuDeleted = nullptr;
    QMenu* m_menuGrid = nullptr;
    QString m_syncPassword;  // asked for once a run, when the secret store has none
    std::unique_ptr<BackgroundSync> m_sync;
    QTimer m_syncSoon;              // the quiet sync after a change to the book
    bool m_syncAgain = false;       // a change or a command came while a sync ran
    bool m_syncAgainShown = false;  // ... and the sync it asks for shows its outcome
    bool m_passwordAsked = false;   // the quiet syncs ask for it once a run
    QString m_lastSyncFailure;      // told once, until a sync goes through
    bool m_loadingGrid = false;
    int m_undoableDeletions = 0;  // deletions of this run Ctrl+Z can still undo
    QList<QAction*> m_menulist;
    int m_checkedColumn = 0;  // the column menu's ticked item; none at start

    int m_columnToIndex = 3;
    bool m_subListShown = false;
    SearchScope m_savedSearchOption = SearchScope::None;  // None: none to restore
    // What the shown sub-list searches: the find's or the filter's scope,
    // kept apart from the option the find dialog remembers, so that every
    // rebuild of the sub-list lists the same entries.
    SearchScope m_subListOption = SearchScope::AllText;
    int m_savedRow = 0;
    int m_savedTopRow = 0;
    int m_hintStage = 0;
    bool m_firstActivationDone = false;
    bool m_activationPending = false;
    bool m_rebuilding = false;
    short m_foreLevel = 0;
    short m_backLevel = 0;
    short m_levelStep = 0;
    QString m_addEntryTag;
    int m_savedRecord = 0;  // the entry just saved, to be highlighted
    QString m_seeEntryTag;
    bool m_fadeSwitchAvailable = true;
    bool m_ending = false;
    bool m_asking = false;
    bool m_PrinterConfirmed = false;

    friend class frmMainTest;
};

}  // namespace corvane
