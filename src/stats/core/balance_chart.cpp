#include "stats/core/balance_chart.h"

#include "stats/core/account_trades.h"

#include "db/core/numbers.h"
#include "db/core/sqlite_database.h"

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

QString BalanceChart::commissionText() const
{
    return QStringLiteral("коммисия: ") + num::money(withoutCommission - withCommission);
}

QString BalanceChart::swapsText() const { return QStringLiteral("Свопы: ") + num::formatGeneral(swaps); }

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

BalanceChart buildBalanceChartData(AccountTrades& trades, const QString& initialBalance)
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
    const AccountTrades::Numbers& n = trades.numbers();
    using Bad = AccountTrades::Numbers;
    // Oldest trade first, so the curve reads left to right. Each total moves
    // as soon as its own number reads, so a failure leaves the totals of the
    // trades and parts read before it.
    for (const int r : trades.byOpenTime()) {
        if (n.bad[r] & Bad::BadProfit) {
            chart.stop(QStringLiteral("Прибыль «%1» не является числом").arg(trades.text(r, Col::Profit)));
            break;
        }
        chart.withCommission += n.profit[r];
        if (n.bad[r] & Bad::BadCommission) {
            chart.stop(QStringLiteral("Комиссия «%1» не является числом").arg(trades.text(r, Col::Commission)));
            break;
        }
        chart.withoutCommission += n.profit[r] - n.commission[r];
        if (n.bad[r] & Bad::BadSwap) {
            chart.stop(QStringLiteral("Своп «%1» не является числом").arg(trades.text(r, Col::Swap)));
            break;
        }
        chart.swaps += n.swap[r];
        chart.balanceCurve.push_back(chart.withCommission);
        chart.noCommissionCurve.push_back(chart.withoutCommission);
    }
    return chart;
}

BalanceChart buildBalanceChartData(TSQLiteDatabase& db, const QString& account, const QString& initialBalance)
{
    try {
        AccountTrades trades(db, account);
        return buildBalanceChartData(trades, initialBalance);
    } catch (const ESQLiteException& e) {
        BalanceChart chart;
        chart.stop(e.message());
        return chart;
    }
}
