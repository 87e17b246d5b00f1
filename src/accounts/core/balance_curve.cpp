#include "accounts/core/balance_curve.h"

#include "db/core/numbers.h"

BalanceCurve buildBalanceCurve(const QString& initialBalance, const QStringList& profits)
{
    BalanceCurve curve;
    double balance = 0;
    if (!initialBalance.trimmed().isEmpty()) {
        const auto start = num::parseComma(initialBalance);
        if (!start) {
            curve.stop(QStringLiteral("Начальный баланс «%1» не является числом").arg(initialBalance));
            return curve;
        }
        balance = *start;
    }
    curve.points.reserve(profits.size());
    for (const QString& text : profits) {
        const auto profit = num::parseComma(text);
        if (!profit) {
            curve.stop(QStringLiteral("Прибыль «%1» не является числом").arg(text));
            break;
        }
        balance += *profit;
        curve.points.push_back(balance);
    }
    return curve;
}
