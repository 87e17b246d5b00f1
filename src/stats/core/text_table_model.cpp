#include "stats/core/text_table_model.h"

void TextTableModel::setTable(TextTable table, std::vector<int> rowOrder)
{
    beginResetModel();
    replaceTable(std::move(table), std::move(rowOrder));
    endResetModel();
}

int TextTableModel::rowCount(const QModelIndex& parent) const
{
    if (parent.isValid())
        return 0;
    return m_order.empty() ? m_table.rowCount() : static_cast<int>(m_order.size());
}

int TextTableModel::columnCount(const QModelIndex& parent) const
{
    return parent.isValid() ? 0 : m_table.columnCount();
}

QVariant TextTableModel::data(const QModelIndex& index, int role) const
{
    if (!index.isValid() || index.row() >= rowCount() || index.column() >= m_table.columnCount())
        return {};
    if (role == Qt::DisplayRole)
        return cell(index.row(), index.column()).toString();
    return cellData(index.row(), index.column(), role);
}

QVariant TextTableModel::headerData(int section, Qt::Orientation orientation, int role) const
{
    if (orientation == Qt::Horizontal && role == Qt::DisplayRole && section < m_table.headers().size())
        return m_table.headers()[section];
    return QAbstractTableModel::headerData(section, orientation, role);
}

QVariant TextTableModel::cellData(int, int, int) const { return {}; }

QString TextTableModel::sortText(int baseRow, int column) const
{
    return m_table.cellText(m_order.empty() ? baseRow : m_order[baseRow], column);
}

bool TextTableModel::keptLast(int baseRow) const
{
    const int row = m_order.empty() ? baseRow : m_order[baseRow];
    for (int column = 0; column < m_table.columnCount(); ++column) {
        if (!m_table.cell(row, column).trimmed().isEmpty())
            return false;
    }
    return true;
}
