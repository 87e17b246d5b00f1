#pragma once

#include "db/core/partial_result.h"

#include <QString>
#include <QStringList>

#include <vector>

// The balance of an account trade by trade, in time order: point k is the
// initial balance plus the profits of the oldest k+1 trades, so the first
// point follows the oldest trade and the last holds every profit.
// A number that does not read stops the curve; the points up to it are kept
// and problem says which number it was (see PartialResult).
struct BalanceCurve : PartialResult {
    std::vector<double> points;
};

// initialBalance: the text of the starting balance (decimal comma; an empty
// field counts as 0). profits: the trades' profit texts, oldest first.
BalanceCurve buildBalanceCurve(const QString& initialBalance, const QStringList& profits);
