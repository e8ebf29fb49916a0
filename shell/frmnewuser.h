#pragma once

// The welcome window: a short greeting and the program overview, shown at
// each start until the user ticks "Don't show this Welcome screen again".

#include <QDialog>
#include "windowlife.h"

class QCheckBox;
class QLabel;

namespace corvane {

class AppState;
class FadeController;
class OrielButton;

class frmNewUser : public QDialog {
    Q_OBJECT
  public:
    explicit frmNewUser(AppState& app, QWidget* parent = nullptr);

    // The greeting and overview the window shows.
    static QString welcomeText();

  protected:
    void showEvent(QShowEvent* event) override;

  private:
    void Form_Activate();
    void cmdContinue_Click();

    AppState& m_app;
    QLabel* m_labelNewUser;
    QCheckBox* m_chkNoShow;
    OrielButton* m_cmdContinue;
    FadeController* m_fade;
    FirstShowing m_firstShowing{[this] { Form_Activate(); }};
};

}  // namespace corvane
