#include "stats/core/trade_table_model.h"

void TradeTableModel::setTrades(TradeTable&& trades)
{
    beginResetModel();
    replaceTable(std::move(trades.texts), std::move(trades.order));
    m_bands = std::move(trades.bands);
    endResetModel();
}

ProfitBand TradeTableModel::band(int row) const
{
    return row >= 0 && static_cast<size_t>(row) < m_bands.size() ? m_bands[row] : ProfitBand::None;
}

QVariant TradeTableModel::cellData(int row, int column, int role) const
{
    if (role == Qt::BackgroundRole) {
        if (const auto colour = bandColour(band(row)))
            return *colour;
    } else if (role == Qt::ForegroundRole) {
        if (const auto colour = cellTextColour(cell(row, column)))
            return *colour;
    }
    return {};
}
