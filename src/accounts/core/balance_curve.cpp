#include "accounts/core/balance_curve.h"

#include "db/core/cash_store.h"
#include "db/core/numbers.h"
#include "db/core/reasons.h"

#include <algorithm>

BalanceCurveBuilder::BalanceCurveBuilder(const QString& initialBalance, const std::vector<CashMovement>& cash)
    : m_cash(cash)
    , m_nextCash(cash.begin())
{
    if (!initialBalance.trimmed().isEmpty()) {
        const auto start = num::parseComma(initialBalance);
        if (!start) {
            m_curve.stop(QStringLiteral("Начальный баланс «%1» не является числом").arg(initialBalance));
            m_startReads = false;
            return;
        }
        m_balance = *start;
    }
}

void BalanceCurveBuilder::add(QStringView time, QStringView profit, double commission, QStringView taxes,
                              QStringView swap)
{
    ++m_trades;
    // Nothing is drawn from an unreadable start.
    if (!m_startReads)
        return;
    for (; m_nextCash != m_cash.end() && QStringView(m_nextCash->time) <= time; ++m_nextCash)
        if (m_nextCash->countsInBalance())
            m_balance += m_nextCash->amount;
    // A trade whose money does not read is left out of the curve; the first
    // one is named.
    auto skip = [&](const char* what, QStringView text) {
        if (m_unreadable++ == 0)
            m_firstBad = QStringLiteral("%1 «%2» не является числом").arg(QString::fromUtf8(what), text);
    };
    const auto profitValue = num::parseComma(profit);
    if (!profitValue)
        return skip("Прибыль", profit);
    const auto taxesValue = num::parseTaxes(taxes);
    if (!taxesValue)
        return skip("Налог", taxes);
    const auto swapValue = num::parseSwap(swap);
    if (!swapValue)
        return skip("Своп", swap);
    m_balance += *profitValue + commission + *taxesValue + *swapValue;
    m_curve.points.push_back(m_balance);
}

BalanceCurve BalanceCurveBuilder::finish()
{
    if (m_unreadable > 0)
        m_curve.stop(unreadableTradesText(m_firstBad, m_unreadable));
    return std::move(m_curve);
}

BalanceCurve buildBalanceCurve(const QString& initialBalance, const std::vector<BalanceStep>& steps,
                               const std::vector<CashMovement>& cash)
{
    BalanceCurveBuilder builder(initialBalance, cash);
    for (const BalanceStep& step : steps)
        builder.add(step.time, step.profit, step.commission, step.taxes, step.swap);
    BalanceCurve curve = builder.finish();
    curve.points.shrink_to_fit();
    return curve;
}

QList<QPointF> curvePlotPoints(const std::vector<double>& values, int columns)
{
    const size_t n = values.size();
    columns = std::max(columns, 1);
    QList<QPointF> points;
    auto keep = [&](size_t k) { points.append(QPointF(static_cast<double>(k), values[k])); };
    if (n <= 4 * static_cast<size_t>(columns)) {
        points.reserve(static_cast<qsizetype>(n));
        for (size_t k = 0; k < n; ++k)
            keep(k);
        return points;
    }
    points.reserve(4 * static_cast<qsizetype>(columns));
    for (size_t column = 0, first = 0; first < n; ++column) {
        // The points of this column: those whose index maps into it.
        const size_t end = std::min(n, ((column + 1) * n + columns - 1) / columns);
        size_t low = first, high = first;
        for (size_t k = first + 1; k < end; ++k) {
            if (values[k] < values[low])
                low = k;
            if (values[k] > values[high])
                high = k;
        }
        size_t picks[] = {first, std::min(low, high), std::max(low, high), end - 1};
        size_t last = n; // none kept yet in this column
        for (size_t k : picks) {
            if (k != last)
                keep(k);
            last = k;
        }
        first = end;
    }
    return points;
}
