#pragma once

#include "db/core/cash_store.h"
#include "db/core/partial_result.h"
#include "stats/core/text_table.h"

#include <QDate>
#include <QString>

#include <array>
#include <optional>
#include <vector>

class ReportTrades;
class TSQLiteDatabase;

// The result of one calendar month: the sum of the net results of the
// trades opened in it.
struct MonthResult {
    QDate month; // its first day
    double result = 0;
};

// What a trader checks first about an account, from the net results of its
// trades in time order: each figure with a line that says what it means,
// and the result of every month from the first trade's to the last one's
// (months without trades at 0). A trade whose money does not read stops the
// figures: they are then left empty and problem says which trade.
struct TradingMetrics : PartialResult {
    TextTable texts; // "Показатель", "Значение", "Пояснение"
    std::vector<MonthResult> months;
    // Each figure as a number, in the order of metricrow (the drawdown's
    // dates are none); nothing where the page shows "—".
    std::array<std::optional<double>, 22> values{};
};

namespace metricrow {
enum : int {
    Trades, WinPercent, Net, ProfitFactor, Expectancy, AverageWin, AverageLoss, WinLossRatio, LargestWin,
    LargestLoss, WinningStreak, LosingStreak, Drawdown, DrawdownPercent, DrawdownDates, RecoveryFactor,
    TradesWithR, AverageR, ExpectancyR, Sqn, LargestR, SmallestR, Count
};
}

// initialBalance: where the balance curve starts (the account's capital as
// text with a decimal comma; empty is 0); cash: the account's movements in
// time order, which move the balance (and its peak) when their time comes.
TradingMetrics buildTradingMetrics(const ReportTrades& trades, const QString& initialBalance,
                                   const std::vector<CashMovement>& cash);
// The same over some of the trades: rows in time order (selectTrades).
TradingMetrics buildTradingMetrics(const ReportTrades& trades, const std::vector<int>& rows,
                                   const QString& initialBalance, const std::vector<CashMovement>& cash);
// The same from a reading of the account's trades; throws ESQLiteException.
TradingMetrics buildTradingMetrics(TSQLiteDatabase& db, const QString& account, const QString& initialBalance);

// The figures of every trade beside those of a what-if: "Показатель",
// "Все сделки", "С фильтром", "Разница" (the filtered figure less the whole
// one, where both are numbers), "Пояснение".
TextTable compareTradingMetrics(const TradingMetrics& all, const TradingMetrics& filtered);

// The command line's names of the figures ("trades", "win_percent", ...),
// in the order of metricrow.
const std::array<const char*, metricrow::Count>& metricKeys();
