#pragma once

#include <QStringView>

#include <optional>
#include <vector>

// The direction of a trade as its Type column says: "buy" or "sell" in any
// letter case; anything else (a balance row, an empty text) is neither.
enum class TradeSide { Other, Buy, Sell };
TradeSide tradeSide(QStringView type);

// A price as the journal stores it: the statement's point ("1.23456"), a
// decimal comma (typed by hand) or groups of digits apart by blanks
// ("34 500.5"); nothing for an empty or unreadable text.
std::optional<double> parsePrice(QStringView text);

// The trade's result in units of the risk it took: how far the price moved
// its way, divided by the distance from the open price to the stop loss.
// Only a stop loss on the losing side of the open price gives one (below it
// for a buy, above it for a sell); a stop loss of 0 is none.
std::optional<double> rMultiple(TradeSide side, double open, double close, double stopLoss);

// The R-multiples of a set of trades: their count, the mean, the
// expectancy (the win share times the average winning R less the loss share
// times the average losing R, which is the mean again, said the way traders
// check it), Van Tharp's system quality number SQN = sqrt(N) * mean / s with
// s the sample standard deviation (N - 1), and the largest and smallest R.
// SQN needs two trades and an R that varies.
struct RStats {
    int count = 0;
    std::optional<double> average;
    std::optional<double> expectancy;
    std::optional<double> sqn;
    std::optional<double> largest;
    std::optional<double> smallest;
};
RStats computeRStats(const std::vector<double>& rs);
