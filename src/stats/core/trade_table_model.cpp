#include "stats/core/trade_table_model.h"

void TradeTableModel::setTrades(TradeTable trades)
{
    beginResetModel();
    m_trades = std::move(trades);
    resortWithinReset();
    endResetModel();
}

int TradeTableModel::rowCount(const QModelIndex& parent) const { return parent.isValid() ? 0 : m_trades.rowCount(); }

int TradeTableModel::columnCount(const QModelIndex& parent) const { return parent.isValid() ? 0 : tradecol::Count; }

QVariant TradeTableModel::data(const QModelIndex& index, int role) const
{
    if (!index.isValid() || index.row() >= m_trades.rowCount() || index.column() >= tradecol::Count)
        return {};
    const int row = baseRow(index.row());
    switch (role) {
    case Qt::DisplayRole: return m_trades.cell(row, index.column());
    case Qt::BackgroundRole:
        if (const auto colour = bandColour(m_trades.band(row)))
            return *colour;
        break;
    case Qt::ForegroundRole:
        if (const auto colour = cellTextColour(m_trades.cell(row, index.column())))
            return *colour;
        break;
    default: break;
    }
    return {};
}

QVariant TradeTableModel::headerData(int section, Qt::Orientation orientation, int role) const
{
    if (orientation == Qt::Horizontal && role == Qt::DisplayRole && section < tradecol::Count)
        return tradeTableHeaders()[section];
    return QAbstractTableModel::headerData(section, orientation, role);
}

std::vector<int> TradeTableModel::columnWidths(TextWidthMeasure& measure, int lineWidth) const
{
    return m_trades.columnWidths(measure, lineWidth);
}
