#include "contactgrid.h"

#include <QCollator>
#include <QFont>
#include <QHeaderView>
#include <QScrollBar>
#include <algorithm>
#include <cmath>
#include <numeric>

#include "twips.h"

namespace corvane {

int GridModel::rowCount(const QModelIndex& parent) const {
    return parent.isValid() ? 0 : static_cast<int>(m_rows.size());
}

int GridModel::columnCount(const QModelIndex& parent) const {
    return parent.isValid() ? 0 : 3;
}

QVariant GridModel::data(const QModelIndex& index, int role) const {
    if (!index.isValid() || index.row() >= static_cast<int>(m_rows.size())) {
        return {};
    }
    switch (role) {
        case Qt::DisplayRole:
            return cell(static_cast<std::size_t>(index.row()), index.column());
        case Qt::BackgroundRole:
            return m_rows[index.row()].shaded ? QVariant(QColor(240, 240, 240)) : QVariant();
        case Qt::TextAlignmentRole:
            return QVariant(Qt::AlignLeft | Qt::AlignVCenter);
        default:
            return {};
    }
}

void GridModel::clear() {
    m_rows.clear();
    m_text.clear();  // keeps its capacity for the next rebuild
}

void GridModel::append(QStringView name, QStringView associated, int record) {
    Row row;
    row.name = m_text.size();
    row.nameLength = name.size();
    m_text.append(name);
    row.associated = m_text.size();
    row.associatedLength = associated.size();
    m_text.append(associated);
    row.record = record;
    m_rows.push_back(row);
}

QStringView GridModel::cellView(const Row& row, int column) const {
    return column == 0 ? QStringView(m_text).mid(row.name, row.nameLength)
                       : QStringView(m_text).mid(row.associated, row.associatedLength);
}

QString GridModel::cell(std::size_t row, int column) const {
    if (row >= m_rows.size() || column < 0 || column > 2) {
        return {};
    }
    if (column == 2) {
        return QString::number(m_rows[row].record);
    }
    return cellView(m_rows[row], column).toString();
}

QVariant GridModel::headerData(int section, Qt::Orientation orientation, int role) const {
    if (orientation != Qt::Horizontal || section < 0 || section > 2) {
        return {};
    }
    switch (role) {
        case Qt::DisplayRole:
            return m_headings[section];
        case Qt::FontRole: {
            QFont bold;
            bold.setBold(true);
            return bold;
        }
        case Qt::TextAlignmentRole:
            return QVariant(Qt::AlignLeft | Qt::AlignVCenter);
        default:
            return {};
    }
}

void GridModel::beginRebuild() {
    beginResetModel();
}

void GridModel::endRebuild() {
    endResetModel();
}

ContactGrid::ContactGrid(QWidget* parent) : QTableView(parent) {
    setModel(&m_model);
    setSelectionBehavior(QAbstractItemView::SelectRows);
    setSelectionMode(QAbstractItemView::SingleSelection);
    setEditTriggers(QAbstractItemView::NoEditTriggers);
    setTabKeyNavigation(false);
    setWordWrap(false);
    setCornerButtonEnabled(false);
    setMouseTracking(true);
    verticalHeader()->hide();
    verticalHeader()->setSectionResizeMode(QHeaderView::Fixed);
    verticalHeader()->setDefaultSectionSize(fontMetrics().height() + 4);
    horizontalHeader()->setSectionsClickable(false);
    horizontalHeader()->setHighlightSections(false);
    horizontalHeader()->setSectionResizeMode(QHeaderView::Fixed);
    setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    connect(selectionModel(), &QItemSelectionModel::currentChanged, this,
            [this] { emit RowColChange(); });
}

void ContactGrid::clearRows() {
    m_model.clear();
}

int ContactGrid::Row() const {
    const QModelIndex current = currentIndex();
    return current.isValid() ? current.row() + 1 : 0;
}

void ContactGrid::setRow(int row) {
    if (row < 1 || row >= Rows()) {
        return;
    }
    setCurrentIndex(m_model.index(row - 1, 0));
}

int ContactGrid::TopRow() const {
    const int top = rowAt(0);
    return top < 0 ? (Rows() > 1 ? 1 : 0) : top + 1;
}

void ContactGrid::setTopRow(int row) {
    if (row < 1 || row >= Rows()) {
        return;
    }
    verticalScrollBar()->setValue(row - 1);
}

bool ContactGrid::isRowVisible(int row) const {
    if (row < 1 || row >= Rows()) {
        return false;
    }
    const int y = rowViewportPosition(row - 1);
    return y >= 0 && y + rowHeight(row - 1) <= viewport()->height();
}

void ContactGrid::AddItem(const QString& text) {
    const QStringList parts = text.split(u'\t');
    addRow(parts.value(0), parts.value(1), parts.value(2).toInt());
}

void ContactGrid::addRow(QStringView name, QStringView associated, int record) {
    m_model.append(name, associated, record);
}

QString ContactGrid::TextMatrix(int row, int column) const {
    if (column < 0 || column > 2) {
        return {};
    }
    if (row == 0) {
        return m_model.headings()[column];
    }
    if (row < 1 || row >= Rows()) {
        return {};
    }
    return m_model.cell(static_cast<std::size_t>(row - 1), column);
}

void ContactGrid::setFormatString(const QString& format) {
    const QStringList parts = format.split(u'|');
    for (int c = 0; c < 3; ++c) {
        QString heading = parts.value(c);
        if (heading.startsWith(u'<') || heading.startsWith(u'>') || heading.startsWith(u'^')) {
            heading.remove(0, 1);
        }
        m_model.headings()[c] = heading;
    }
    m_model.headerDataChanged(Qt::Horizontal, 0, 2);
}

void ContactGrid::setColumnWidthTwips(int column, int twips) {
    setColumnWidth(column, twipsX(twips));
}

int ContactGrid::columnWidthTwips(int column) const {
    return static_cast<int>(std::lround(columnWidth(column) * 1440.0 / logicalDpiX()));
}

int ContactGrid::widthTwips() const {
    // The viewport's width as it will be once the rows are in: without the
    // vertical scroll bar when they fit, beside it when they do not, so that
    // the two columns fill it exactly and never run under the bar. (The bar
    // is shown later, when the view lays itself out.)
    const int bar = verticalScrollBar()->sizeHint().width();
    int width = viewport()->width() + (verticalScrollBar()->isVisible() ? bar : 0);
    const int rowPixels = std::max(1, verticalHeader()->defaultSectionSize());
    if ((Rows() - 1) * rowPixels > viewport()->height()) {
        width -= bar;
    }
    return static_cast<int>(std::lround(width * 1440.0 / logicalDpiX()));
}

void ContactGrid::sortRows() {
    std::vector<GridModel::Row>& rows = m_model.rows();
    QCollator collator;
    collator.setCaseSensitivity(Qt::CaseInsensitive);
    if (collator.locale().language() == QLocale::C) {
        // The C locale has no collation of its own (and Qt's sort keys for it
        // keep capitals apart): compare the case-folded texts, folded once.
        const QString folded = m_model.text().toCaseFolded();
        if (folded.size() == m_model.text().size()) {
            const QStringView text(folded);
            std::stable_sort(rows.begin(), rows.end(), [&](const auto& a, const auto& b) {
                const int byName =
                    text.mid(a.name, a.nameLength).compare(text.mid(b.name, b.nameLength));
                if (byName != 0) {
                    return byName < 0;
                }
                return text.mid(a.associated, a.associatedLength)
                           .compare(text.mid(b.associated, b.associatedLength)) < 0;
            });
            return;
        }
    }
    // Sort keys are made once per cell; comparing them is a plain byte compare.
    std::vector<std::array<QCollatorSortKey, 2>> keys;
    keys.reserve(rows.size());
    for (const GridModel::Row& row : rows) {
        keys.push_back({collator.sortKey(m_model.cellView(row, 0).toString()),
                        collator.sortKey(m_model.cellView(row, 1).toString())});
    }
    std::vector<std::size_t> order(rows.size());
    std::iota(order.begin(), order.end(), 0);
    std::stable_sort(order.begin(), order.end(), [&](std::size_t a, std::size_t b) {
        const int byName = keys[a][0].compare(keys[b][0]);
        return byName != 0 ? byName < 0 : keys[a][1].compare(keys[b][1]) < 0;
    });
    std::vector<GridModel::Row> sorted;
    sorted.reserve(rows.size());
    for (std::size_t i : order) {
        sorted.push_back(rows[i]);
    }
    rows = std::move(sorted);
}

void ContactGrid::shadeRow(int row) {
    if (row >= 1 && row < Rows()) {
        m_model.rows()[row - 1].shaded = true;
    }
}

void ContactGrid::selectCurrentRow() {
    const int row = Row();
    if (row >= 1) {
        selectionModel()->select(m_model.index(row - 1, 0),
                                 QItemSelectionModel::ClearAndSelect | QItemSelectionModel::Rows);
    }
}

void ContactGrid::endRebuild() {
    m_model.endRebuild();
    setColumnHidden(2, true);
}

}  // namespace corvane
