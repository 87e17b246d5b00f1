#pragma once

#include "db/core/cash_store.h"
#include "db/core/partial_result.h"

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
