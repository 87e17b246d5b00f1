#include "stats/core/text_table_model.h"

void TextTableModel::setTable(TextTable table)
{
    beginResetModel();
    m_table = std::move(table);
    endResetModel();
}

int TextTableModel::rowCount(const QModelIndex& parent) const { return parent.isValid() ? 0 : m_table.rowCount(); }

int TextTableModel::columnCount(const QModelIndex& parent) const
{
    return parent.isValid() ? 0 : m_table.columnCount();
}

QVariant TextTableModel::data(const QModelIndex& index, int role) const
{
    if (!index.isValid() || index.row() >= m_table.rowCount() || index.column() >= m_table.columnCount())
        return {};
    if (role == Qt::DisplayRole)
        return m_table.cellText(index.row(), index.column());
    return cellData(index.row(), index.column(), role);
}

QVariant TextTableModel::headerData(int section, Qt::Orientation orientation, int role) const
{
    if (orientation == Qt::Horizontal && role == Qt::DisplayRole && section < m_table.headers().size())
        return m_table.headers()[section];
    return QAbstractTableModel::headerData(section, orientation, role);
}

QVariant TextTableModel::cellData(int, int, int) const { return {}; }
