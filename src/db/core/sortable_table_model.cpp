#include "db/core/sortable_table_model.h"

#include "db/core/cell_order.h"

int SortableTableModel::shownRow(int base) const
{
    if (m_shown.empty())
        return base;
    for (int row = 0; row < static_cast<int>(m_shown.size()); ++row) {
        if (m_shown[row] == base)
            return row;
    }
    return -1;
}

bool SortableTableModel::keptLast(int) const { return false; }

std::vector<int> SortableTableModel::orderFor(int column, Qt::SortOrder order) const
{
    const int rows = rowCount();
    if (column < 0 || column >= columnCount())
        return {};
    std::vector<int> sorted, last;
    std::vector<cellorder::SortKey> keys;
    sorted.reserve(static_cast<std::size_t>(rows));
    keys.reserve(static_cast<std::size_t>(rows));
    for (int row = 0; row < rows; ++row) {
        const int base = baseRow(row);
        if (keptLast(base)) {
            last.push_back(base);
        } else {
            sorted.push_back(base);
            keys.push_back(cellorder::sortKey(sortText(base, column)));
        }
    }
    std::vector<int> shown;
    shown.reserve(static_cast<std::size_t>(rows));
    for (const int position : cellorder::sortedPositions(keys, order == Qt::DescendingOrder))
        shown.push_back(sorted[static_cast<std::size_t>(position)]);
    shown.insert(shown.end(), last.begin(), last.end());
    return shown;
}

void SortableTableModel::sort(int column, Qt::SortOrder order)
{
    emit layoutAboutToBeChanged({}, QAbstractItemModel::VerticalSortHint);
    // Persistent indexes are kept by base row across the new order.
    const QModelIndexList before = persistentIndexList();
    std::vector<int> bases;
    bases.reserve(static_cast<std::size_t>(before.size()));
    for (const QModelIndex& index : before)
        bases.push_back(baseRow(index.row()));
    m_sortColumn = column;
    m_sortOrder = order;
    m_shown = orderFor(column, order);
    std::vector<int> shownOf(m_shown.size());
    for (int row = 0; row < static_cast<int>(m_shown.size()); ++row)
        shownOf[static_cast<std::size_t>(m_shown[row])] = row;
    QModelIndexList after;
    after.reserve(before.size());
    for (qsizetype i = 0; i < before.size(); ++i) {
        const int base = bases[static_cast<std::size_t>(i)];
        const int row = m_shown.empty() ? base : shownOf[static_cast<std::size_t>(base)];
        after << index(row, before[i].column());
    }
    changePersistentIndexList(before, after);
    emit layoutChanged({}, QAbstractItemModel::VerticalSortHint);
}

void SortableTableModel::resortWithinReset()
{
    m_shown.clear(); // new rows: sorted from the order they were built in
    m_shown = orderFor(m_sortColumn, m_sortOrder);
}

void SortableTableModel::resortKeepingSelection()
{
    if (m_sortColumn >= 0)
        sort(m_sortColumn, m_sortOrder);
}

void SortableTableModel::forgetBaseRow(int base)
{
    if (m_shown.empty())
        return;
    std::vector<int> kept;
    kept.reserve(m_shown.size());
    for (const int b : m_shown) {
        if (b != base)
            kept.push_back(b > base ? b - 1 : b);
    }
    m_shown = std::move(kept);
}

void SortableTableModel::appendBaseRow(int base)
{
    if (!m_shown.empty())
        m_shown.push_back(base);
}
