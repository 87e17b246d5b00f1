#include "stats_fixture.h"

#include "db/core/cash_store.h"

#include "db/core/numbers.h"

StatsFixture::StatsFixture()
    : m_journal(m_dir.openJournal())
{
    db().executeStatement(QStringLiteral("INSERT INTO t_chet (chet_name, chet_kapital) VALUES (?, ?)"),
                          {QStringLiteral("Основной"), 1000});
    m_journal->activeAccount = QStringLiteral("1");
    m_journal->initialBalance = QStringLiteral("1000");
}

QString StatsFixture::insert(const TradeRow& r)
{
    db().executeStatement(
        QStringLiteral("INSERT INTO t_sdelki (chet, Ticket, OpenTime, Type, Size, Item, PriceOpen, sl, tp, CloseTime, "
                       "PriceClose, Commission, Taxes, Swap, Profit, Profit2, comment, taktika, pravilo2, ocenka) "
                       "VALUES (?, ?, ?, 'buy', '0.10', 'eurusd', '1.30000', '0', '0', '2013.05.21 12:00', '1.30100', "
                       "?, ?, ?, ?, ?, ?, ?, '', ?)"),
        {r.chet, r.ticket, r.openTime, r.commission, r.taxes, r.swap, r.profit, r.profit2, r.comment, r.taktika,
         r.ocenka});
    return QString::number(db().lastInsertId());
}

QString StatsFixture::insertProfit(double profit, const QString& openTime)
{
    TradeRow row;
    row.profit = num::formatGeneral(profit);
    row.profit2 = profit;
    row.openTime = openTime;
    return insert(row);
}

void StatsFixture::insertCash(const QString& time, double amount, const QString& type)
{
    static int ticket = 0;
    CashStore(db()).save(QStringLiteral("1"), {QString::number(++ticket), time, type, QString(), amount});
}
