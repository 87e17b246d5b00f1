#pragma once

#include "db/core/cash_store.h"
#include "db/core/partial_result.h"

#include <QList>
#include <QPointF>
#include <QString>

#include <vector>


// The money of one trade as stored, for the account's small balance curve.
struct BalanceStep {
    QString time;
    QString profit; // decimal comma
    double commission = 0;
    QString taxes;  // as the statement wrote it; empty is 0
    QString swap;   // decimal comma; empty is 0
};

// The balance of an account trade by trade, in time order: point k is the
// initial balance plus the cash movements up to the open time of the k+1st
// oldest trade plus the net results (profit, commission, taxes, swap) of the
// oldest k+1 trades, so the last point is the account's balance.
// A trade whose money does not read is left out of the curve, and problem
// names the first (see PartialResult).
struct BalanceCurve : PartialResult {
    std::vector<double> points;
};

// initialBalance: the text of the starting balance (decimal comma; an empty
// field counts as 0). steps: the trades, oldest first; cash: the account's
// movements in time order.
BalanceCurve buildBalanceCurve(const QString& initialBalance, const std::vector<BalanceStep>& steps,
                               const std::vector<CashMovement>& cash = {});

// The same curve built one trade at a time, for a caller that streams an
// account's trades and keeps only the points (buildBalanceCurve uses it too).
class BalanceCurveBuilder {
public:
    BalanceCurveBuilder(const QString& initialBalance, const std::vector<CashMovement>& cash);
    // One trade, in time order: its open time and money as stored.
    void add(QStringView time, QStringView profit, double commission, QStringView taxes, QStringView swap);
    // The trades added so far, drawn or not.
    int trades() const { return m_trades; }
    BalanceCurve finish();

private:
    BalanceCurve m_curve;
    double m_balance = 0;
    bool m_startReads = true;
    const std::vector<CashMovement>& m_cash;
    std::vector<CashMovement>::const_iterator m_nextCash;
    int m_trades = 0;
    int m_unreadable = 0;
    QString m_firstBad;
};

// The points of a curve to draw on a plot `columns` pixels wide: point k is
// (k, values[k]). A curve of more than about four points per column keeps, of
// the points that fall into one column, only the first, the lowest, the
// highest and the last, in their order, so the line drawn has the same shape
// (every peak and trough) as the whole curve.
QList<QPointF> curvePlotPoints(const std::vector<double>& values, int columns);
