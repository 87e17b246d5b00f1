#pragma once

#include "db/core/large_pages.h"

#include "db/core/cash_store.h"
#include "db/core/partial_result.h"

#include <QString>

#include <optional>
#include <vector>

class TSQLiteDatabase;
class AccountTrades;

// The balance chart of the page "База данных": the balance after every
// trade of an account, oldest trade first, net of commission, taxes and
// swap and from the profits alone, and the totals of the side panel. A
// trade whose money does not read is left out of the curves and totals,
// and the problem names it.
struct BalanceChart : PartialResult {
    // Point k: the initial balance, the cash movements up to the open time
    // of the k+1st oldest trade and the net results of the k+1 oldest trades
    // (noCommissionCurve: their profits alone).
    LargeVector<double> balanceCurve;
    LargeVector<double> noCommissionCurve;
    // The open time of point k's trade, for a date axis: milliseconds as
    // chart_times.h reads them, ascending; empty unless asked for (reading
    // the times of 100 000 trades costs more than the rest of the chart).
    LargeVector<double> times;
    // A: the balance net of everything (with every cash movement, also
    // those after the last trade): what the broker's statement calls the
    // balance. B: the same from the profits alone. C and S: the sums of the
    // commissions (as stored, a cost is negative) and of the swaps.
    double withCommission = 0;
    double withoutCommission = 0;
    double commission = 0;
    double swaps = 0;
    // The number of trades of the account, known once the trades were read
    // and the initial balance was a number.
    std::optional<int> tradeCount;

    QString withCommissionText() const;    // kom1: "c коммисией: " A
    QString withoutCommissionText() const; // kom2: "без коммисии: " B
    QString commissionText() const;        // kom3: "коммисия: " C
    QString swapsText() const;             // capswap: "Свопы: " S, two decimals
    // The mark of point k: its share of the sum of all points, "12,34 %".
    QString percentMarkText(size_t k) const;

private:
    mutable std::optional<double> m_curveSum;
};

// The marker size of the balance curve for n trades: 5 up to 49, 3 from 51
// to 99, 1 from 101 to 199, 0 above 200; none (keep the size) for 0, 50,
// 100 and 200.
std::optional<int> markerSizeFor(int tradeCount);

// Reads the trades and the cash movements of the account in time order.
// initialBalance is the text of the initial-balance field (decimal comma);
// when it is not a number the chart fails at once and counts from 0.
// withTimes: also the open time of every point, for a date axis.
BalanceChart buildBalanceChartData(TSQLiteDatabase& db, const QString& account, const QString& initialBalance,
                                   bool withTimes = false);
// The same over trades and movements already read (movements in time order).
BalanceChart buildBalanceChartData(AccountTrades& trades, const QString& initialBalance,
                                   const std::vector<CashMovement>& cash, bool withTimes = false);
