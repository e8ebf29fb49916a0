#pragma once

// The help window: one topic at a time in a scrolling text, another chosen
// from the topic menu (the button or F1), an about box, the maker's mail
// and web page, and a printout of the topic shown. The opener sets
// HelpStartTopic (and HelpSingleTopic, to hide the topics button) first.

#include <QDialog>
#include <memory>
#include "windowlife.h"

class QLabel;
class QMenu;
class QPlainTextEdit;

namespace corvane {

class AppState;
class FadeController;
class OrielButton;

class frmManual : public QDialog {
    Q_OBJECT
  public:
    explicit frmManual(AppState& app, QWidget* parent = nullptr);

    // The items of the topic menu, 1 to 15, separators included.
    static constexpr int kMenuItems = 15;
    // The caption of menu item `index` ("-" for a separator).
    static QString topicCaption(int index);
    // The help context number of menu item `index`: its text's number, or
    // 1111 mail, 2222 web page, 7777 about box, 0 nothing.
    static int topicNumber(int index);

    int currentTopic() const { return m_currentTopic; }
    const QString& aboutText() const { return m_aboutText; }
    QMenu* menuHelpMenu() const { return m_menuHelpMenu; }

    void cmdHelpTopic_Click();
    void menuHelpTopic_Click(int index);
    void cmdPrintHelp_Click();
    void cmdReturn_Click();

  protected:
    void showEvent(QShowEvent* event) override;
    void reject() override;

  private:
    void Form_Activate();

    AppState& m_app;
    QPlainTextEdit* m_txtManual;
    QLabel* m_labelHelpTopic;
    OrielButton* m_cmdHelpTopic;
    OrielButton* m_cmdPrintHelp;
    OrielButton* m_cmdReturn;
    QMenu* m_menuHelpMenu;
    QList<QAction*> m_menuHelpTopic;  // 1-based: [0] is unused
    FadeController* m_fade;
    int m_currentTopic = 0;
    QString m_aboutText;
    FirstShowing m_firstShowing{[this] { Form_Activate(); }};
    std::unique_ptr<FadingClose> m_close;
};

}  // namespace corvane
