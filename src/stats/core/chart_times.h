#pragma once

#include <QByteArrayView>
#include <QStringView>

#include <optional>
#include <span>
#include <vector>

// Trade times as the x values of a date axis (charts/core/date_ticks.h):
// milliseconds since 1970-01-01 00:00 of the trade server's clock, read as
// UTC. The stored forms are those of parseTradeTime: "2013.05.21 10:15",
// with seconds or the date alone. Read in place, for loops over every trade.
std::optional<qint64> tradeMsecs(QStringView text);
std::optional<qint64> tradeMsecs(QByteArrayView bytes);

// Makes the times of trades in journal order (NaN for a time that does
// not read) usable along an axis: a missing time takes the one before it
// (the first ones the first time that reads), and a time earlier than the
// one before it (a form that sorts differently as text) takes that one, so
// the times ascend as the trades do. Nothing reads: every time is 0.
void settleChartTimes(std::span<double> times);
