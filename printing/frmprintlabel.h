#pragma once

// The label window: the four lines of one mailing label, editable, and the
// row and column of the sheet to print it on, so that a partly used sheet
// can be used up label by label.

#include <QDialog>
#include <array>
#include <memory>
#include "windowlife.h"

class QLabel;
class QLineEdit;
class QScrollBar;

namespace corvane {

class AppState;
class FadeController;
class OrielButton;

class frmPrintLabel : public QDialog {
    Q_OBJECT
  public:
    explicit frmPrintLabel(AppState& app, QWidget* parent = nullptr);

    // Fills line `index` (1 to 4), cut to the label's 35 characters.
    void setLine(int index, const QString& text);
    QString line(int index) const;

    void scroll_Change(int index);
    void cmdPrintLabel_Click();
    void cmdCancel_Click();

  protected:
    void showEvent(QShowEvent* event) override;
    bool eventFilter(QObject* watched, QEvent* event) override;
    void reject() override;

  private:
    void Form_Activate();
    // Says which lines are too long for the label at the normal size.
    void updateShrinkNote();

    AppState& m_app;
    std::array<QLineEdit*, 5> m_txtPrintLabel{};
    std::array<QScrollBar*, 3> m_scroll{};
    std::array<QLabel*, 3> m_lblPosition{};
    QLabel* m_lblShrink;  // names the lines printed smaller to fit the label
    OrielButton* m_cmdPrintLabel;
    OrielButton* m_cmdCancel;
    FadeController* m_fade;
    FirstShowing m_firstShowing{[this] { Form_Activate(); }};
    std::unique_ptr<FadingClose> m_close;
};

}  // namespace corvane
