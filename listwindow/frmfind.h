#pragma once

// The find dialog: asks for a word or phrase, which fields to search and
// whether capitalization matters, and leaves the answer in the program's
// search state for the main window to list the matching entries.

#include <QDialog>
#include "windowlife.h"

class QCheckBox;
class QLabel;
class QLineEdit;
class QRadioButton;

namespace corvane {

class AppState;
class FadeController;
class OrielButton;

class frmFind : public QDialog {
    Q_OBJECT
  public:
    explicit frmFind(AppState& app, QWidget* parent = nullptr);

    bool findPressed() const { return m_findPressed; }

  public slots:
    void reject() override;

  protected:
    void showEvent(QShowEvent* event) override;

  private:
    void Form_Activate();
    void txtSearchPhrase_Change();
    void cmdFind_Click();
    void cmdCancel_Click();

    AppState& m_app;
    FadeController* m_fade;
    QLabel* m_lblFind;
    QLineEdit* m_txtSearchPhrase;
    QRadioButton* m_optFind[5] = {nullptr, nullptr, nullptr, nullptr, nullptr};
    QCheckBox* m_chkCaseOpt;
    OrielButton* m_cmdFind;
    OrielButton* m_cmdCancel;
    bool m_findPressed = false;
    FirstShowing m_firstShowing{[this] { Form_Activate(); }};
    bool m_closing = false;
};

}  // namespace corvane
