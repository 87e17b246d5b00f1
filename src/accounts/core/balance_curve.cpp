#include "accounts/core/balance_curve.h"

#include "db/core/numbers.h"

BalanceCurve buildBalanceCurve(const QString& initialBalance, const QStringList& profits)
{
    BalanceCurve curve;
    double balance = 0;
    if (!initialBalance.trimmed().isEmpty()) {
        const auto start = num::parseComma(initialBalance);
        if (!start) {
            curve.complete = false;
            return curve;
        }
        balance = *start;
    }
    curve.points.reserve(profits.size());
    for (const QString& text : profits) {
        const auto profit = num::parseComma(text);
        if (!profit) {
            curve.complete = false;
            break;
        }
        balance += *profit;
        curve.points.push_back(balance);
    }
    return curve;
}
