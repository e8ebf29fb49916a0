#pragma once

// The main window. For now it stands empty with its caption: it makes the
// data file ready, fades as the preference says, and shuts the program
// down in order. The contact list comes into it next.

#include <QWidget>

namespace corvane {

class AppState;
class FadeController;

class frmMain : public QWidget {
    Q_OBJECT
  public:
    explicit frmMain(AppState& app, QWidget* parent = nullptr);

    FadeController* fade() const { return m_fade; }
    // False where windows cannot fade: the fade switch is then hidden.
    bool fadeSwitchAvailable() const { return m_fadeSwitchAvailable; }

    // Closes every open file, fades out when fading, closes every window and
    // ends the program. Nothing is written: every change is already stored.
    void shutDown();

  protected:
    void showEvent(QShowEvent* event) override;
    void closeEvent(QCloseEvent* event) override;

  private:
    void Form_Load();
    void Form_Activate();
    void endProgram();

    AppState& m_app;
    FadeController* m_fade;
    bool m_activated = false;
    bool m_fadeSwitchAvailable = true;
    bool m_shuttingDown = false;
};

}  // namespace corvane
