#include "stats/core/trade_table.h"

#include "stats/core/account_trades.h"

#include "db/core/numbers.h"
#include "db/core/sqlite_database.h"

ProfitBand profitBand(double p)
{
    if (p > 4)
        return ProfitBand::LargeGain;
    if (p > 3 && p < 4)
        return ProfitBand::Gain;
    if (p > 0 && p < 3)
        return ProfitBand::SmallGain;
    if (p >= -1.8 && p < 0)
        return ProfitBand::SmallLoss;
    if (p < -1.8)
        return ProfitBand::LargeLoss;
    return ProfitBand::None;
}

std::optional<QColor> bandColour(ProfitBand band)
{
    switch (band) {
    case ProfitBand::LargeGain: return QColor(179, 238, 58);
    case ProfitBand::Gain: return QColor(204, 255, 204);
    case ProfitBand::SmallGain: return QColor(255, 255, 204);
    case ProfitBand::SmallLoss: return QColor(255, 228, 225);
    case ProfitBand::LargeLoss: return QColor(255, 182, 193);
    case ProfitBand::None: break;
    }
    return std::nullopt;
}

std::optional<QColor> cellTextColour(QStringView text)
{
    if (text.contains(u"Низкая"))
        return QColor(0, 128, 0);
    if (text.contains(u"Обычная"))
        return QColor(128, 128, 128);
    return std::nullopt;
}

const QStringList& tradeTableHeaders()
{
    static const QStringList headers = {
        QStringLiteral("№"),        QStringLiteral("id"),         QStringLiteral("Ticket"),
        QStringLiteral("Open Time"), QStringLiteral("Type"),      QStringLiteral("Size"),
        QStringLiteral("Item"),     QStringLiteral("PriceOpen"),  QStringLiteral("S / L"),
        QStringLiteral("T / P"),    QStringLiteral("Close Time"), QStringLiteral("PriceClose"),
        QStringLiteral("Comission"), QStringLiteral("Swap"),      QStringLiteral("Profit"),
        QStringLiteral("Вход"),     QStringLiteral("Выход"),      QStringLiteral("Комметарий"),
        QStringLiteral("Оценка")};
    return headers;
}

QString tradeSummary(int listed, int wins, int losses)
{
    auto percent = [listed](int x) { return num::formatFixed(listed == 0 ? 0.0 : 100.0 * x / listed, 1); };
    return QStringLiteral("Кол-во сделок: %1, прибыльных %2 (%3%), проигравших %4 (%5%)")
        .arg(listed)
        .arg(wins)
        .arg(percent(wins))
        .arg(losses)
        .arg(percent(losses));
}

QString TradeTable::summary() const { return tradeSummary(listed, wins, losses); }

TradeTable buildTradeTable(AccountTrades& trades, TradeOrder order)
{
    using Col = AccountTrades::Column;
    TradeTable result;
    const std::vector<int>& sequence =
        order == TradeOrder::Profit ? trades.byProfitDescending() : trades.byOpenTime();
    const AccountTrades::Numbers& numbers = trades.numbers();

    // The rows in the order shown: counted until a profit does not read;
    // that row is still shown, the rows after it are not.
    size_t shown = sequence.size();
    result.bands.reserve(shown);
    for (size_t i = 0; i < sequence.size(); ++i) {
        const int r = sequence[i];
        if (numbers.bad[r] & AccountTrades::Numbers::BadProfit) {
            result.bands.push_back(ProfitBand::None);
            result.failed = true;
            result.failure = QStringLiteral("Прибыль «%1» не является числом").arg(trades.text(r, Col::Profit));
            shown = i + 1;
            break;
        }
        const double profit = numbers.profit[r];
        result.bands.push_back(profitBand(profit));
        ++result.listed;
        if (profit > 0)
            ++result.wins;
        else if (profit < 0)
            ++result.losses;
    }

    // The texts are gathered in the order the rows were read, front to back
    // through memory; the shown order only indexes them.
    std::vector<int> position(static_cast<size_t>(trades.count()), -1);
    for (size_t i = 0; i < shown; ++i)
        position[sequence[i]] = static_cast<int>(i);
    result.order.resize(shown);
    TSQLiteTable& rows = trades.rows();
    result.texts.reserve(static_cast<int>(shown), qsizetype(shown) * 100);
    for (int r = 0; r < trades.count(); ++r) {
        if (position[r] < 0)
            continue;
        rows.seek(r);
        result.order[position[r]] = result.texts.rowCount();
        result.texts.append(QString::number(position[r] + 1));
        for (int col = Col::Id; col <= Col::Ocenka; ++col) {
            rows.appendFieldTextOf(col, result.texts.openCell());
            result.texts.closeCell();
        }
        result.texts.endRow();
    }
    rows.seek(0);
    return result;
}

TradeTable buildTradeTable(TSQLiteDatabase& db, const QString& account, TradeOrder order)
{
    try {
        AccountTrades trades(db, account);
        return buildTradeTable(trades, order);
    } catch (const ESQLiteException& e) {
        TradeTable result;
        result.failed = true;
        result.failure = e.message();
        return result;
    }
}
