#pragma once

// The default-button and cancel-button roles of a window: Enter that no
// other control uses clicks the window's default OrielButton, Esc its cancel
// button. One filter per window serves every button in it, so a role can
// move from button to button simply by setting it.

#include <QObject>

class QWidget;

namespace corvane {

class ButtonRoles : public QObject {
    Q_OBJECT
  public:
    // Makes sure `window` has its filter.
    static void attachTo(QWidget* window);

  protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

  private:
    explicit ButtonRoles(QWidget* window);
};

}  // namespace corvane
