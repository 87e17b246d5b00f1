#include "stats/core/r_multiples.h"

#include "db/core/numbers.h"

#include <QString>

#include <algorithm>
#include <cmath>

TradeSide tradeSide(QStringView type)
{
    const QStringView t = type.trimmed();
    if (t.compare(u"buy", Qt::CaseInsensitive) == 0)
        return TradeSide::Buy;
    if (t.compare(u"sell", Qt::CaseInsensitive) == 0)
        return TradeSide::Sell;
    return TradeSide::Other;
}

std::optional<double> parsePrice(QStringView text)
{
    const QStringView t = text.trimmed();
    if (t.isEmpty())
        return std::nullopt;
    if (const auto point = num::parsePoint(t))
        return point;
    return num::parseTaxes(t); // a comma, or groups of digits apart by blanks
}

std::optional<double> rMultiple(TradeSide side, double open, double close, double stopLoss)
{
    if (stopLoss == 0 || !std::isfinite(open) || !std::isfinite(close) || !std::isfinite(stopLoss))
        return std::nullopt;
    if (side == TradeSide::Buy && stopLoss < open)
        return (close - open) / (open - stopLoss);
    if (side == TradeSide::Sell && stopLoss > open)
        return (open - close) / (stopLoss - open);
    return std::nullopt;
}

RStats computeRStats(const std::vector<double>& rs)
{
    RStats s;
    s.count = static_cast<int>(rs.size());
    if (rs.empty())
        return s;
    double sum = 0, winSum = 0, lossSum = 0;
    int wins = 0, losses = 0;
    for (const double r : rs) {
        sum += r;
        if (r > 0) {
            ++wins;
            winSum += r;
        } else if (r < 0) {
            ++losses;
            lossSum += r;
        }
    }
    const double n = static_cast<double>(rs.size());
    const double mean = sum / n;
    s.average = mean;
    const double averageWin = wins > 0 ? winSum / wins : 0.0;
    const double averageLoss = losses > 0 ? -lossSum / losses : 0.0;
    s.expectancy = wins / n * averageWin - losses / n * averageLoss;
    const auto [low, high] = std::minmax_element(rs.begin(), rs.end());
    s.smallest = *low;
    s.largest = *high;
    if (rs.size() >= 2) {
        double squares = 0;
        for (const double r : rs)
            squares += (r - mean) * (r - mean);
        const double deviation = std::sqrt(squares / (n - 1));
        if (deviation > 0)
            s.sqn = std::sqrt(n) * mean / deviation;
    }
    return s;
}
