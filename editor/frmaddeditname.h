#pragma once

// The entry editor: adds a new entry or shows, changes and saves the one
// behind the main list's current row, on four tabs. It is opened modally by
// the main window with a mode tag, "**" to add and "***" to view, and
// leaves its signals for the main window through the list link.

#include <QDialog>
#include <QElapsedTimer>

#include "listlink.h"
#include "windowlife.h"

class QLabel;
class QScrollBar;
class QTabWidget;
class QWidget;

namespace corvane {

class AppState;
class ContactRecord;
struct EntryChanges;
struct LoadedPicture;
class FadeController;
class OrielButton;

class frmAddEditName : public QDialog {
    Q_OBJECT
  public:
    // The editor over `list`: a new entry (Add), or the entry behind the
    // list's current row (View); its window tag is the mode's ("**", "***").
    frmAddEditName(AppState& app, ListLink& list, EditorMode mode, QWidget* parent = nullptr);

    // Whether the editor adds a new entry (rather than showing one).
    bool isAddMode() const { return m_mode == EditorMode::Add; }
    // The record number of the entry shown, or to be added (RecordCount + 1).
    int EntryRecordNumber() const { return m_entryRecordNumber; }
    // False while the editor fills its fields, when their changes are not the user's.
    bool EditorReady() const { return m_editorReady; }

    // The text of field `index` (1 to 31); multi-line fields with CR LF.
    QString fieldText(int index) const;
    // Puts `text` into field `index` as typing would (the field's limits apply).
    void setFieldText(int index, const QString& text);

    // Whether the entry may be saved now: a name, and in View a change.
    bool HasSaveableChanges() const;
    // Whether any field differs from the entry as loaded (view mode), the
    // name included, saveable or not.
    bool HasChanges() const;

    // Shows the entry behind the list's current row. When it cannot be read
    // the user is told and the editor closes without saving anything.
    void LoadEntry();
    // Saves the entry: the dates are checked first (nothing is saved when
    // one is wrong), then only the changed fields are written; a failure is
    // reported and the typed values stay. On success the list's change
    // signal is left and the editor closes.
    void cmdSave_Click();
    // In View with changes pending, puts the stored entry back in the
    // fields; otherwise closes the editor (an added entry is not saved).
    void cmdCancel_Click();
    // Chooses a picture (both buttons alike); in View it is stored at once.
    void cmdPicAddEdit_Click(int index);
    // Asks, then removes the picture; in View the removal is stored at once.
    void cmdPicDelete_Click();
    // Opens the picture viewer on the picture, the editor dimmed meanwhile.
    void cmdLargerPic_Click();
    // Asks whether to print the comments and affiliations (and the picture,
    // when there is one), then prints the entry's report as the fields show it.
    void cmdPrintEntry_Click();
    // Opens the label window for the home (1) or the business (2) address.
    void cmdPrintLabel_Click(int index);
    // The picture frame's working value: the picture's path, or empty.
    QString picturePath() const;
    // Whether the entry's picture is shown: a kept path of a picture that
    // cannot be shown here offers neither the larger view nor its printout.
    bool pictureShown() const;
    // In View, moves the list to row `value` and shows that entry (the
    // scroll bar beside the name).
    void scrollNames_Change(int value);

  public slots:
    // Closes the editor as "Finished Viewing" or "Cancel New Entry" would;
    // the close box first asks about pending changes (closeEvent).
    void reject() override;

  protected:
    // The close box with changes pending asks whether to save them (Yes),
    // drop them (No) or go on editing (Cancel): never a silent loss.
    void closeEvent(QCloseEvent* event) override;
    void showEvent(QShowEvent* event) override;
    bool eventFilter(QObject* watched, QEvent* event) override;

  private:
    void buildWindow();
    void buildTopRow();
    void buildTabs();
    QWidget* buildPage(int tab, const char* heading, QColor colour);
    void buildFields(QWidget* pages[4]);
    void buildNameTabExtras(QWidget* page);
    void Form_Activate();
    void txtField_Change(int index);
    void txtField_GotFocus(int index);
    void txtField_LostFocus(int index);
    void cmdInternet_Click(int index);
    void cmdHelp_Click();
    void updateLabelButtons();
    void closeEditor();
    void closeAfterFailedLoad();
    void dim();
    void undim();
    void loadEntryPicture(const QString& path);
    void showPicture(const LoadedPicture& picture, const QString& path);
    void clearPicture();
    // The frame's buttons for an entry with or without a picture path; the
    // larger view only for a picture that is shown.
    void showPictureButtons(bool picture, bool shown = true);
    bool storePicturePath(const QString& path, bool stampModified);
    bool convertDate(int index, const char* what, double& value);
    EntryChanges changes(double birthday, double anniversary) const;

    AppState& m_app;
    ListLink& m_list;
    EditorMode m_mode;
    QElapsedTimer m_sinceSave;      // since the last click on Save
    bool m_stepping = false;        // the scroll bar's step is loading an entry
    QString m_missingPicture;       // its missing picture, told after the step
    bool m_changesPending = false;  // View: typed changes not yet saved ("&Cancel Changes")
    FadeController* m_fade;
    QTabWidget* m_nameTab;
    QWidget* m_fields[32] = {};
    QLabel* m_lblSpaceFull[32] = {};
    QString m_loaded[32];
    OrielButton* m_cmdInternet[32] = {};
    OrielButton* m_cmdSave;
    OrielButton* m_cmdCancel;
    OrielButton* m_cmdPrintEntry;
    OrielButton* m_cmdPrintLabel[3] = {};
    OrielButton* m_cmdHelp;
    OrielButton* m_cmdPicAddEdit[3] = {};
    OrielButton* m_cmdLargerPic;
    OrielButton* m_cmdPicDelete;
    QLabel* m_imgPicture;
    QLabel* m_lblPicture;
    QLabel* m_lblDataInfo[3] = {};
    QLabel* m_lblScrollNames;
    QScrollBar* m_scrollNames;
    QString m_loadedPicture;
    int m_entryRecordNumber = 0;
    bool m_loadFailed = false;  // nothing may be saved over an entry that did not load
    bool m_editorReady = false;
    FirstShowing m_firstShowing{[this] { Form_Activate(); }};
    bool m_closing = false;
};

}  // namespace corvane
