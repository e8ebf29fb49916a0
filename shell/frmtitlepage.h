#pragma once

// The title window every start passes through: the program's name, version
// and maker, and the Continue button that hands over to the main window,
// offering on the way to convert an old data file and to show the welcome.

#include <QWidget>
#include <functional>
#include "windowlife.h"

class QLabel;

namespace corvane {

class AppState;
class FadeController;
class LinkLabel;
class OrielButton;

class frmTitlePage : public QWidget {
    Q_OBJECT
  public:
    // `showMainWindow` is called once, when the title window has gone.
    frmTitlePage(AppState& app, std::function<void()> showMainWindow, QWidget* parent = nullptr);

    // "Version w8.14.29": each number as plain digits, a zero as nothing.
    static QString versionText(int major, int minor, int revision);

    FadeController* fade() const { return m_fade; }

  protected:
    void showEvent(QShowEvent* event) override;
    void paintEvent(QPaintEvent* event) override;

  private:
    void Form_Activate();
    void cmdContinue_Click();
    void labelOrielContact_Click(int index);
    void leaveForMainWindow();

    AppState& m_app;
    std::function<void()> m_showMainWindow;
    FadeController* m_fade;
    OrielButton* m_cmdContinue;
    QLabel* m_labelAppTitle;
    QLabel* m_labelAppDescription;
    QLabel* m_labelVersion;
    QLabel* m_labelCopyright;
    QLabel* m_labelOrielSoftware;
    QLabel* m_labelOrielAddress;
    LinkLabel* m_labelOrielContact[3] = {nullptr, nullptr, nullptr};
    FirstShowing m_firstShowing{[this] { Form_Activate(); }};
    bool m_handingOver = false;
};

}  // namespace corvane
