#include "import/core/preview_model.h"

PreviewModel::PreviewModel(QObject* parent)
    : QAbstractTableModel(parent)
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
    if (role != Qt::DisplayRole || !index.isValid() || index.row() >= static_cast<int>(m_rows.size()))
        return {};
    return m_rows[static_cast<std::size_t>(index.row())][index.column()];
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
    const int row = gridRow - 1;
    if (row < 0 || row >= static_cast<int>(m_rows.size()))
        return {};
    return m_rows[static_cast<std::size_t>(row)][column];
}

void PreviewModel::setRows(std::vector<StatementRow> rows)
{
    beginResetModel();
    m_rows = std::move(rows);
    endResetModel();
}

void PreviewModel::clear() { setRows({}); }
