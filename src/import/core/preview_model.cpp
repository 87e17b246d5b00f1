#include "import/core/preview_model.h"

#include <QColor>

#include <algorithm>

PreviewModel::PreviewModel(QObject* parent)
    : SortableTableModel(parent)
{
}

int PreviewModel::rowCount(const QModelIndex& parent) const
{
    return parent.isValid() ? 0 : static_cast<int>(m_rows.size()) + 1;
}

int PreviewModel::columnCount(const QModelIndex& parent) const
{
    return parent.isValid() ? 0 : StatementRow::ColumnCount;
}

QVariant PreviewModel::data(const QModelIndex& index, int role) const
{
    const int row = baseRow(index.row());
    if (!index.isValid() || row >= static_cast<int>(m_rows.size()))
        return {};
    if (role == Qt::BackgroundRole)
        return isProblemRow(row) ? QVariant(QColor(255, 182, 193)) : QVariant();
    if (role != Qt::DisplayRole)
        return {};
    return m_rows[static_cast<std::size_t>(row)][index.column()];
}

QVariant PreviewModel::headerData(int section, Qt::Orientation orientation, int role) const
{
    if (role != Qt::DisplayRole)
        return {};
    if (orientation == Qt::Horizontal)
        return section >= 0 && section < StatementRow::ColumnCount ? previewHeaderTexts()[section] : QVariant();
    return QString(); // rows are numbered in "№"; the row header is only a handle to drag rows by

}

QString PreviewModel::cell(int gridRow, int column) const
{
    if (column < 0 || column >= StatementRow::ColumnCount)
        return {};
    if (gridRow == 0)
        return previewHeaderTexts()[column];
    const int row = baseRow(gridRow - 1);
    if (row < 0 || row >= static_cast<int>(m_rows.size()))
        return {};
    return m_rows[static_cast<std::size_t>(row)][column];
}

void PreviewModel::setRows(std::vector<StatementRow> rows)
{
    beginResetModel();
    m_rows = std::move(rows);
    m_problemRows.clear();
    resortWithinReset();
    endResetModel();
}

void PreviewModel::clear() { setRows({}); }

void PreviewModel::setProblemRows(std::vector<int> rows)
{
    std::sort(rows.begin(), rows.end());
    m_problemRows = std::move(rows);
    if (!m_rows.empty())
        emit dataChanged(index(0, 0), index(rowCount() - 1, columnCount() - 1), {Qt::BackgroundRole});
}

bool PreviewModel::isProblemRow(int row) const
{
    return std::binary_search(m_problemRows.begin(), m_problemRows.end(), row);
}

QString PreviewModel::sortText(int baseRow, int column) const
{
    return baseRow < static_cast<int>(m_rows.size()) ? m_rows[static_cast<std::size_t>(baseRow)][column] : QString();
}
