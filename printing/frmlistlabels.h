#pragma once

// Labels for the whole list: the entries the main window shows, with their
// home or business address, from a chosen place on the first sheet.

#include <QDialog>
#include <array>
#include <vector>

class QLabel;
class QRadioButton;
class QScrollBar;

namespace corvane {

class AppState;
class OrielButton;

class frmListLabels : public QDialog {
    Q_OBJECT
  public:
    // `records`: the record numbers of the entries, in the list's order.
    frmListLabels(AppState& app, const std::vector<int>& records, QWidget* parent = nullptr);

    void cmdPrint_Click();
    // The entries that have the chosen address, and the sheets they take.
    int labelCount() const;

  private:
    struct Entry {
        QString name;
        std::array<QString, 2> street;  // home, business
        std::array<QString, 2> city;
    };
    int addressIndex() const;
    void update();

    AppState& m_app;
    std::vector<Entry> m_entries;
    std::array<QRadioButton*, 3> m_optAddress{};
    std::array<QScrollBar*, 3> m_scroll{};
    std::array<QLabel*, 3> m_lblPosition{};
    QLabel* m_lblSheets = nullptr;
    OrielButton* m_cmdPrint;
    OrielButton* m_cmdCancel;
};

}  // namespace corvane
