#include "accounts/core/balance_curve.h"

#include "db/core/cash_store.h"
#include "db/core/numbers.h"
#include "db/core/reasons.h"

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
    int unreadable = 0;
    QString firstBad;
    // A trade whose money does not read is left out of the curve; the first
    // one is named.
    auto skip = [&](const char* what, const QString& text) {
        if (unreadable++ == 0)
            firstBad = QStringLiteral("%1 «%2» не является числом").arg(QString::fromUtf8(what), text);
    };
    for (const BalanceStep& step : steps) {
        for (; nextCash != cash.end() && nextCash->time <= step.time; ++nextCash)
            if (nextCash->countsInBalance())
                balance += nextCash->amount;
        const auto profit = num::parseComma(step.profit);
        const auto swap = num::parseSwap(step.swap);
        const auto taxes = num::parseTaxes(step.taxes);
        if (!profit) {
            skip("Прибыль", step.profit);
            continue;
        }
        if (!taxes) {
            skip("Налог", step.taxes);
            continue;
        }
        if (!swap) {
            skip("Своп", step.swap);
            continue;
        }
        balance += *profit + step.commission + *taxes + *swap;
        curve.points.push_back(balance);
    }
    if (unreadable > 0)
        curve.stop(unreadableTradesText(firstBad, unreadable));
    return curve;
}
