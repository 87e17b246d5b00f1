#include "accounts/core/balance_curve.h"

#include "db/core/cash_store.h"
#include "db/core/numbers.h"

BalanceCurve buildBalanceCurve(const QString& initialBalance, const std::vector<BalanceStep>& steps,
                               const std::vector<CashMovement>& cash)
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
    curve.points.reserve(steps.size());
    auto nextCash = cash.begin();
    for (const BalanceStep& step : steps) {
        for (; nextCash != cash.end() && nextCash->time <= step.time; ++nextCash)
            if (nextCash->countsInBalance())
                balance += nextCash->amount;
        const auto profit = num::parseComma(step.profit);
        if (!profit) {
            curve.stop(QStringLiteral("Прибыль «%1» не является числом").arg(step.profit));
            break;
        }
        const auto swap = num::parseSwap(step.swap);
        if (!swap) {
            curve.stop(QStringLiteral("Своп «%1» не является числом").arg(step.swap));
            break;
        }
        const auto taxes = num::parseTaxes(step.taxes);
        if (!taxes) {
            curve.stop(QStringLiteral("Налог «%1» не является числом").arg(step.taxes));
            break;
        }
        balance += *profit + step.commission + *taxes + *swap;
        curve.points.push_back(balance);
    }
    return curve;
}
