#pragma once

#include "stats/core/column_widths.h"
#include "stats/core/trade_table.h"
#include "db/core/sortable_table_model.h"

// The trade grid's model over a built trade table: the texts, the row's
// profit band as its background and the "Обычная"/"Низкая" text colours.
// A click on a column header sorts the rows; "№" stays each trade's number
// in the order the table was built in ("Сортировать").
class TradeTableModel : public SortableTableModel, public ColumnWidthSource {
    Q_OBJECT
public:
    using SortableTableModel::SortableTableModel;

    void setTrades(TradeTable trades);
    const TradeTable& trades() const { return m_trades; }
    // The text of a shown row.
    QString cell(int row, int column) const { return m_trades.cell(baseRow(row), column); }

    int rowCount(const QModelIndex& parent = {}) const override;
    int columnCount(const QModelIndex& parent = {}) const override;
    QVariant data(const QModelIndex& index, int role = Qt::DisplayRole) const override;
    QVariant headerData(int section, Qt::Orientation orientation, int role = Qt::DisplayRole) const override;
    std::vector<int> columnWidths(TextWidthMeasure& measure, int lineWidth) const override;

protected:
    QString sortText(int baseRow, int column) const override { return m_trades.cell(baseRow, column); }

private:
    TradeTable m_trades;
};
