#include "stats/core/balance_chart.h"

#include "stats/core/account_trades.h"
#include "stats/core/chart_times.h"

#include "db/core/cash_store.h"
#include "db/core/numbers.h"
#include "db/core/reasons.h"
#include "db/core/sqlite_database.h"

#include <cmath>
#include <numeric>

QString BalanceChart::withCommissionText() const
{
    // The label begins with a Latin "c", as the trader has always seen it.
    return QStringLiteral("c коммисией: ") + num::money(withCommission);
}

QString BalanceChart::withoutCommissionText() const
{
    return QStringLiteral("без коммисии: ") + num::money(withoutCommission);
}

QString BalanceChart::commissionText() const { return QStringLiteral("коммисия: ") + num::money(commission); }

QString BalanceChart::swapsText() const { return QStringLiteral("Свопы: ") + num::money(swaps); }

QString BalanceChart::percentMarkText(size_t k) const
{
    if (!m_curveSum)
        m_curveSum = std::accumulate(balanceCurve.begin(), balanceCurve.end(), 0.0);
    const double share = *m_curveSum == 0 ? 0.0 : balanceCurve[k] / *m_curveSum * 100;
    // "##0.##": up to two decimals, no trailing zeros.
    QString text = num::formatFixed(share, 2);
    while (text.endsWith(u'0'))
        text.chop(1);
    if (text.endsWith(u','))
        text.chop(1);
    return text + QStringLiteral(" %");
}

std::optional<int> markerSizeFor(int n)
{
    if (n <= 0 || n == 50 || n == 100 || n == 200)
        return std::nullopt;
    if (n < 50)
        return 5;
    if (n < 100)
        return 3;
    if (n < 200)
        return 1;
    return 0;
}

BalanceChart buildBalanceChartData(AccountTrades& trades, const QString& initialBalance,
                                   const std::vector<CashMovement>& cash, bool withTimes)
{
    using Col = AccountTrades::Column;
    BalanceChart chart;
    const std::optional<double> start = num::parseComma(initialBalance);
    if (!start) {
        chart.stop(QStringLiteral("Начальный баланс «%1» не является числом").arg(initialBalance));
        return chart;
    }
    chart.withCommission = chart.withoutCommission = *start;
    chart.tradeCount = trades.count();
    chart.balanceCurve.reserve(trades.count());
    chart.noCommissionCurve.reserve(trades.count());
    if (withTimes)
        chart.times.reserve(trades.count());
    const AccountTrades::Numbers& n = trades.numbers();
    // A movement enters both balances once the trades reach its time.
    auto nextCash = cash.begin();
    auto addCash = [&](const QString* upTo) {
        for (; nextCash != cash.end() && (!upTo || nextCash->time <= *upTo); ++nextCash) {
            if (nextCash->countsInBalance()) {
                chart.withCommission += nextCash->amount;
                chart.withoutCommission += nextCash->amount;
            }
        }
    };
    // Oldest trade first, so the curve reads left to right. A trade whose
    // money does not read enters no total; the problem names the first.
    QString firstBad;
    int unreadable = 0;
    for (const int r : trades.byOpenTime()) {
        if (n.bad[r]) {
            if (unreadable++ == 0)
                firstBad = trades.badMoneyText(r);
            continue;
        }
        if (nextCash != cash.end() || withTimes) {
            const QString openTime = trades.text(r, Col::OpenTime);
            addCash(&openTime);
            if (withTimes) {
                const std::optional<qint64> time = tradeMsecs(openTime);
                chart.times.push_back(time ? static_cast<double>(*time) : NAN);
            }
        }
        chart.withCommission += n.net(r);
        chart.withoutCommission += n.profit[r];
        chart.commission += n.commission[r];
        chart.swaps += n.swap[r];
        chart.balanceCurve.push_back(chart.withCommission);
        chart.noCommissionCurve.push_back(chart.withoutCommission);
    }
    addCash(nullptr);
    settleChartTimes(chart.times);
    if (unreadable > 0)
        chart.stop(unreadableTradesText(firstBad, unreadable));
    return chart;
}

BalanceChart buildBalanceChartData(TSQLiteDatabase& db, const QString& account, const QString& initialBalance,
                                   bool withTimes)
{
    try {
        const std::shared_ptr<AccountTrades> trades = AccountTrades::read(db, account);
        return buildBalanceChartData(*trades, initialBalance, CashStore(db).list(account), withTimes);
    } catch (const ESQLiteException& e) {
        BalanceChart chart;
        chart.stop(e.message());
        return chart;
    }
}
