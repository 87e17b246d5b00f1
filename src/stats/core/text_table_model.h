#pragma once

#include "stats/core/column_widths.h"
#include "stats/core/text_table.h"

#include <QAbstractTableModel>

#include <vector>

// A read-only grid over a TextTable: the cells are read from the table when
// a view asks, so a large table costs no item per cell. Subclasses add
// colours through cellData.
class TextTableModel : public QAbstractTableModel, public ColumnWidthSource {
    Q_OBJECT
public:
    using QAbstractTableModel::QAbstractTableModel;

    // The rows are shown in the given order of the table's rows (all of
    // them, in their own order, when none is given).
    void setTable(TextTable table, std::vector<int> rowOrder = {});
    const TextTable& table() const { return m_table; }
    // The text of a shown row.
    QStringView cell(int row, int column) const { return m_table.cell(tableRow(row), column); }
    int tableRow(int row) const { return m_order.empty() ? row : m_order[row]; }

    int rowCount(const QModelIndex& parent = {}) const override;
    int columnCount(const QModelIndex& parent = {}) const override;
    QVariant data(const QModelIndex& index, int role = Qt::DisplayRole) const override;
    QVariant headerData(int section, Qt::Orientation orientation, int role = Qt::DisplayRole) const override;
    std::vector<int> columnWidths(TextWidthMeasure& measure, int lineWidth) const override
    {
        return fitColumnWidths(m_table, measure, lineWidth);
    }

protected:
    // Roles other than the text; called inside a model reset too.
    virtual QVariant cellData(int row, int column, int role) const;
    // Swaps the texts in without a reset, for subclasses that reset
    // themselves because they replace more than the texts.
    void replaceTable(TextTable table, std::vector<int> rowOrder)
    {
        m_table = std::move(table);
        m_order = std::move(rowOrder);
    }

private:
    TextTable m_table;
    std::vector<int> m_order;
};
