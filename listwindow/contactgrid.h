#pragma once

// The main window's list: a heading row and three columns (the name, the
// chosen associated field, and the record number, which stays hidden), kept
// in one model behind a table view. The class offers the operations the
// list's routines are written in: Rows, Row, the top row, AddItem,
// TextMatrix, the sort, the shading and the column widths. Row 0 is the
// heading; data rows are 1 to Rows() - 1.

#include <QAbstractTableModel>
#include <QTableView>
#include <array>
#include <vector>

namespace corvane {

class GridModel : public QAbstractTableModel {
    Q_OBJECT
  public:
    // A row's two visible cells are spans of one text shared by every row,
    // so that rebuilding 32,767 rows makes no allocation per row; the third
    // cell is the record number, shown as text only when asked for.
    struct Row {
        qsizetype name = 0;
        qsizetype nameLength = 0;
        qsizetype associated = 0;
        qsizetype associatedLength = 0;
        int record = 0;
        bool shaded = false;
    };

    int rowCount(const QModelIndex& parent = {}) const override;
    int columnCount(const QModelIndex& parent = {}) const override;
    QVariant data(const QModelIndex& index, int role) const override;
    QVariant headerData(int section, Qt::Orientation orientation, int role) const override;

    std::vector<Row>& rows() { return m_rows; }
    const std::vector<Row>& rows() const { return m_rows; }
    const QString& text() const { return m_text; }
    std::array<QString, 3>& headings() { return m_headings; }
    const std::array<QString, 3>& headings() const { return m_headings; }

    void clear();
    void append(QStringView name, QStringView associated, int record);
    // The text of cell (row, column) of the data rows (0-based row).
    QString cell(std::size_t row, int column) const;
    QStringView cellView(const Row& row, int column) const;

    // Rebuilding happens between these two calls, with no signal per row.
    void beginRebuild();
    void endRebuild();

  private:
    std::vector<Row> m_rows;
    QString m_text;
    std::array<QString, 3> m_headings;
};

class ContactGrid : public QTableView {
    Q_OBJECT
  public:
    explicit ContactGrid(QWidget* parent = nullptr);

    // Rows including the heading row.
    int Rows() const { return static_cast<int>(m_model.rows().size()) + 1; }
    // Removes every data row (Rows becomes 1). Call between beginRebuild and endRebuild.
    void clearRows();
    // The current data row (1-based), 0 when there is none.
    int Row() const;
    void setRow(int row);
    // The first data row in view.
    int TopRow() const;
    void setTopRow(int row);
    bool isRowVisible(int row) const;

    // Appends a row whose cells are the tab-separated parts of `text`.
    void AddItem(const QString& text);
    void addRow(QStringView name, QStringView associated, int record);
    // A cell's text; row 0 is the heading row.
    QString TextMatrix(int row, int column) const;

    // The headings and alignments, as "<Name (or Business)|<Birthday".
    void setFormatString(const QString& format);
    void setColumnWidthTwips(int column, int twips);
    int columnWidthTwips(int column) const;
    // The width the columns can share without a horizontal scroll bar, in twips.
    int widthTwips() const;

    // Sorts every data row by column 0, then column 1, each compared as
    // text without regard to capitalization in the user's language; rows
    // that compare equal keep their order.
    void sortRows();
    // Gives data row `row` the light grey of the shaded rows.
    void shadeRow(int row);
    // Selects the two visible cells of the current row.
    void selectCurrentRow();

    void beginRebuild() { m_model.beginRebuild(); }
    void endRebuild();

    GridModel& gridModel() { return m_model; }

    // The list's own first-letter jump is the only typing search: Qt's
    // type-ahead would move on any character.
    void keyboardSearch(const QString&) override {}

  signals:
    // The current cell changed (by the user or by a rebuild).
    void RowColChange();

  private:
    GridModel m_model;
};

}  // namespace corvane
