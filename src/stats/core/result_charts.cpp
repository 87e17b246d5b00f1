#include "stats/core/result_charts.h"

#include "db/core/numbers.h"
#include "db/core/reasons.h"
#include "stats/core/chart_times.h"
#include "stats/core/report_trades.h"

#include <cmath>

DrawdownCurve buildDrawdownCurve(const ReportTrades& trades, const QString& initialBalance,
                                 const std::vector<CashMovement>& cash)
{
    DrawdownCurve curve;
    double balance = 0;
    if (!initialBalance.trimmed().isEmpty()) {
        const std::optional<double> value = num::parseComma(initialBalance);
        if (!value) {
            curve.stop(QStringLiteral("Начальный баланс не читается как число: \"%1\"").arg(initialBalance));
            return curve;
        }
        balance = *value;
    }
    double peak = balance;
    const size_t n = static_cast<size_t>(trades.count());
    curve.times.reserve(n);
    curve.drawdown.reserve(n);
    curve.percent.reserve(n);
    auto nextCash = cash.begin();
    int unreadable = 0;
    QString firstBad;
    for (const int row : trades.timeOrder()) {
        const std::optional<double> net = trades.net(row);
        if (!net) {
            if (unreadable++ == 0)
                firstBad = trades.netProblem(row);
            continue;
        }
        const QByteArrayView openTime = trades.openTimeBytes(row);
        for (; nextCash != cash.end() && QByteArrayView(nextCash->time.toLatin1()) <= openTime; ++nextCash) {
            if (nextCash->countsInBalance()) {
                balance += nextCash->amount;
                peak += nextCash->amount;
            }
        }
        balance += *net;
        peak = std::max(peak, balance);
        const double down = peak - balance;
        const double percent = peak > 0 ? down / peak * 100.0 : NAN;
        if (down > curve.deepest) {
            curve.deepest = down;
            curve.deepestPercent = percent;
            curve.deepestIndex = static_cast<int>(curve.drawdown.size());
        }
        const std::optional<qint64> time = tradeMsecs(openTime);
        curve.times.push_back(time ? static_cast<double>(*time) : NAN);
        curve.drawdown.push_back(down);
        curve.percent.push_back(percent);
    }
    settleChartTimes(curve.times);
    if (unreadable > 0)
        curve.stop(unreadableTradesText(firstBad, unreadable));
    return curve;
}

Histogram buildNetHistogram(const ReportTrades& trades, int maxBins)
{
    std::vector<double> nets;
    nets.reserve(static_cast<size_t>(trades.count()));
    for (int row = 0; row < trades.count(); ++row) {
        if (const std::optional<double> net = trades.net(row))
            nets.push_back(*net);
    }
    return histogramBins(std::move(nets), maxBins);
}
