#include "stats/core/trade_table.h"

#include "db/core/numbers.h"
#include "db/core/records.h"
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

namespace {

// Only the columns the table shows: the picture lists and the analysis
// texts of a large account would otherwise be read for nothing.
const char* const kSelect = "SELECT id, Ticket, OpenTime, Type, Size, Item, PriceOpen, sl, tp, CloseTime, "
                            "PriceClose, Commission, Swap, Profit, taktika, pravilo2, comment, ocenka "
                            "FROM t_sdelki WHERE chet=?";

void appendRow(TextTable& texts, int number, const TradeRecord& t)
{
    texts.append(QString::number(number));
    for (const QString* field : {&t.id, &t.ticket, &t.openTime, &t.type, &t.size, &t.item, &t.priceOpen, &t.sl,
                                 &t.tp, &t.closeTime, &t.priceClose, &t.commission, &t.swap, &t.profit,
                                 &t.taktika, &t.pravilo2, &t.comment, &t.ocenka})
        texts.append(*field);
    texts.endRow();
}

} // namespace

TradeTable buildTradeTable(TSQLiteDatabase& db, const QString& account, TradeOrder order)
{
    TradeTable result;
    try {
        const QString sql = QLatin1String(kSelect)
            + (order == TradeOrder::Profit ? QLatin1String(" ORDER BY Profit2 DESC") : QLatin1String(" ORDER BY OpenTime ASC"));
        const auto rows = db.openResultTable(sql, {account});
        const TradeColumns columns(*rows);
        result.texts.reserve(rows->rowCount(), qsizetype(rows->rowCount()) * 96);
        result.bands.reserve(rows->rowCount());
        for (; !rows->atEnd(); rows->moveNext()) {
            const TradeRecord trade = columns.read(*rows);
            appendRow(result.texts, result.listed + 1, trade);
            const std::optional<double> profit = num::parseComma(trade.profit);
            if (!profit) {
                result.bands.push_back(ProfitBand::None);
                result.failed = true;
                result.failure = QStringLiteral("Прибыль «%1» не является числом").arg(trade.profit);
                break;
            }
            result.bands.push_back(profitBand(*profit));
            ++result.listed;
            if (*profit > 0)
                ++result.wins;
            else if (*profit < 0)
                ++result.losses;
        }
    } catch (const ESQLiteException& e) {
        result.failed = true;
        result.failure = e.message();
    }
    return result;
}
