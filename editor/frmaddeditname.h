#pragma once

// The entry editor: adds a new entry or shows, changes and saves the one
// behind the main list's current row, on four tabs. It is opened modally by
// the main window with a mode tag, "**" to add and "***" to view, and
// leaves its signals for the main window through the list link.

#include <QDialog>

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

    bool isAddMode() const { return m_mode == EditorMode::Add; }
    int EntryRecordNumber() const { return m_entryRecordNumber; }
    bool EditorReady() const { return m_editorReady; }

    // The text of field `index` (1 to 31); multi-line fields with CR LF.
    QString fieldText(int index) const;
    void setFieldText(int index, const QString& text);

    // Whether the entry may be saved now.
    bool HasSaveableChanges() const;

    // Shows the entry behind the list's current row. When it cannot be read
    // the user is told and the editor closes without saving anything.
    void LoadEntry();
    void cmdSave_Click();
    void cmdCancel_Click();
    void cmdPicAddEdit_Click(int index);
    void cmdPicDelete_Click();
    void cmdLargerPic_Click();
    void cmdPrintEntry_Click();
    void cmdPrintLabel_Click(int index);
    // The picture frame's working value: the picture's path, or empty.
    QString picturePath() const;
    void scrollNames_Change(int value);

  public slots:
    void reject() override;

  protected:
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
    void showPictureButtons(bool picture);
    bool storePicturePath(const QString& path, bool stampModified);
    bool convertDate(int index, const char* what, double& value);
    EntryChanges changes(double birthday, double anniversary) const;

    AppState& m_app;
    ListLink& m_list;
    EditorMode m_mode;
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
