#include "stats/core/balance_chart.h"

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

BalanceChart buildBalanceChartData(TSQLiteDatabase& db, const QString& account, const QString& initialBalance)
{
    BalanceChart chart;
    try {
        // Oldest trade first, so the curve reads left to right.
        const auto rows = db.openResultTable(
            QStringLiteral("SELECT Profit, Commission, Swap FROM t_sdelki WHERE chet=? ORDER BY OpenTime ASC"), {account});
        const std::optional<double> start = num::parseComma(initialBalance);
        if (!start) {
            chart.failed = true;
            chart.failure = QStringLiteral("Начальный баланс «%1» не является числом").arg(initialBalance);
            return chart;
        }
        chart.withCommission = chart.withoutCommission = *start;
        chart.tradeCount = rows->rowCount();
        chart.balanceCurve.reserve(rows->rowCount());
        chart.noCommissionCurve.reserve(rows->rowCount());
        // Each total moves as soon as its own number reads, so a failure
        // leaves the totals of the trades and parts read before it.
        auto read = [&](int column, const QString& what, double& value) {
            const QString text = rows->fieldTextOf(column);
            const std::optional<double> parsed = num::parseComma(text);
            if (!parsed) {
                chart.failed = true;
                chart.failure = what.arg(text);
                return false;
            }
            value = *parsed;
            return true;
        };
        double profit = 0, commission = 0, swap = 0;
        for (; !rows->atEnd(); rows->moveNext()) {
            if (!read(0, QStringLiteral("Прибыль «%1» не является числом"), profit))
                return chart;
            chart.withCommission += profit;
            if (!read(1, QStringLiteral("Комиссия «%1» не является числом"), commission))
                return chart;
            chart.withoutCommission += profit - commission;
            if (!read(2, QStringLiteral("Своп «%1» не является числом"), swap))
                return chart;
            chart.swaps += swap;
            chart.balanceCurve.push_back(chart.withCommission);
            chart.noCommissionCurve.push_back(chart.withoutCommission);
        }
    } catch (const ESQLiteException& e) {
        chart.failed = true;
        chart.failure = e.message();
    }
    return chart;
}
