#pragma once

#include "charts/core/histogram_bins.h"
#include "db/core/cash_store.h"
#include "db/core/partial_result.h"

#include <QString>

#include <vector>

class ReportTrades;

// How far the balance was below its running peak after every trade, in
// time order: the curve behind the figures "Максимальная просадка" and
// "Просадка от пика" of the trading metrics, counted as they count them.
// The balance starts at the initial balance; a deposit or a withdrawal
// moves the balance and its peak alike once the trades reach its time (it
// is no gain or loss of the trading); each trade adds its net result. A
// trade whose money does not read is left out, and the problem names it.
struct DrawdownCurve : PartialResult {
    std::vector<double> times;    // the trade's open time (chart_times.h), ascending
    std::vector<double> drawdown; // peak - balance, 0 or more
    std::vector<double> percent;  // drawdown / peak * 100; NaN where the peak is 0 or below
    // The deepest point: its drawdown and percent (NaN as above), and its
    // position in the vectors (-1 without a drawdown).
    double deepest = 0;
    double deepestPercent = 0;
    int deepestIndex = -1;
};

// initialBalance: the account's capital as text with a decimal comma, empty
// for 0; cash: the account's movements in time order.
DrawdownCurve buildDrawdownCurve(const ReportTrades& trades, const QString& initialBalance,
                                 const std::vector<CashMovement>& cash);

// The histogram of the trades' net results (profit + commission + taxes +
// swap); a trade whose money does not read is left out.
Histogram buildNetHistogram(const ReportTrades& trades, int maxBins = 40);
