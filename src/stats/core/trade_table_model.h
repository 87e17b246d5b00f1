#pragma once

#include "stats/core/text_table_model.h"
#include "stats/core/trade_table.h"

// The trade grid's model: the texts of the trade table, the row's profit
// band as its background and the "Обычная"/"Низкая" text colours.
class TradeTableModel : public TextTableModel {
    Q_OBJECT
public:
    using TextTableModel::TextTableModel;

    // Takes the texts and bands of a built table.
    void setTrades(TradeTable&& trades);
    ProfitBand band(int row) const;

protected:
    QVariant cellData(int row, int column, int role) const override;

private:
    std::vector<ProfitBand> m_bands;
};
