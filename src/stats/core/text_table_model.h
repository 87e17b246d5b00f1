#pragma once

#include "stats/core/column_widths.h"
#include "stats/core/text_table.h"
#include "db/core/sortable_table_model.h"

#include <vector>

// A read-only grid over a TextTable: the cells are read from the table when
// a view asks, so a large table costs no item per cell. Subclasses add
// colours through cellData. The trader sorts the rows by a column header;
// blank rows (the grids' empty last row) stay at the bottom.
class TextTableModel : public SortableTableModel, public ColumnWidthSource {
    Q_OBJECT
public:
    using SortableTableModel::SortableTableModel;

    // The rows are shown in the given order of the table's rows (all of
    // them, in their own order, when none is given).
    void setTable(TextTable table, std::vector<int> rowOrder = {});
    const TextTable& table() const { return m_table; }
    // The text of a shown row.
    QStringView cell(int row, int column) const { return m_table.cell(tableRow(row), column); }
    // The table's row shown at a row.
    int tableRow(int row) const
    {
        const int base = baseRow(row);
        return m_order.empty() ? base : m_order[base];
    }

    int rowCount(const QModelIndex& parent = {}) const override;
    int columnCount(const QModelIndex& parent = {}) const override;
    QVariant data(const QModelIndex& index, int role = Qt::DisplayRole) const override;
    QVariant headerData(int section, Qt::Orientation orientation, int role = Qt::DisplayRole) const override;
    std::vector<int> columnWidths(TextWidthMeasure& measure, int lineWidth) const override
    {
        return fitColumnWidths(m_table, measure, lineWidth);
    }

protected:
    QString sortText(int baseRow, int column) const override;
    bool keptLast(int baseRow) const override;
    // Roles other than the text; called inside a model reset too.
    virtual QVariant cellData(int row, int column, int role) const;
    // Swaps the texts in without a reset, for subclasses that reset
    // themselves because they replace more than the texts; the rows take
    // the trader's sort again.
    void replaceTable(TextTable table, std::vector<int> rowOrder)
    {
        m_table = std::move(table);
        m_order = std::move(rowOrder);
        resortWithinReset();
    }

private:
    TextTable m_table;
    std::vector<int> m_order;
};
