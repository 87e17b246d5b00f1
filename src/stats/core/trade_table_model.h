#pragma once

#include "stats/core/column_widths.h"
#include "stats/core/trade_table.h"

#include <QAbstractTableModel>

// The trade grid's model over a built trade table: the texts, the row's
// profit band as its background and the "Обычная"/"Низкая" text colours.
class TradeTableModel : public QAbstractTableModel, public ColumnWidthSource {
    Q_OBJECT
public:
    using QAbstractTableModel::QAbstractTableModel;

    void setTrades(TradeTable trades);
    const TradeTable& trades() const { return m_trades; }
    QString cell(int row, int column) const { return m_trades.cell(row, column); }

    int rowCount(const QModelIndex& parent = {}) const override;
    int columnCount(const QModelIndex& parent = {}) const override;
    QVariant data(const QModelIndex& index, int role = Qt::DisplayRole) const override;
    QVariant headerData(int section, Qt::Orientation orientation, int role = Qt::DisplayRole) const override;
    std::vector<int> columnWidths(TextWidthMeasure& measure, int lineWidth) const override;

private:
    TradeTable m_trades;
};
