#pragma once

#include "db/core/partial_result.h"
#include "stats/core/text_table.h"
#include "stats/core/trade_filter.h"

#include <QString>

#include <optional>
#include <vector>

class ReportTrades;

// What trades are grouped by: the open time's hour (0-23, the statement's
// server time as stored) or weekday (Monday = 1 ... Sunday = 7), the
// symbol, or an annotation field.
enum class BreakdownKey { Hour, Weekday, Symbol, Timeframe, Market, Entry, Exit, Errors, Rating };
inline constexpr int kBreakdownKeyCount = 9;

// The name of a key on the command line ("hour", "weekday", ...) and back.
QString breakdownKeyName(BreakdownKey key);
std::optional<BreakdownKey> breakdownKeyFromName(const QString& name);
// Its title on the page ("Час", "День недели", ...).
QString breakdownKeyTitle(BreakdownKey key);
// The field of an annotation key; nothing for hour, weekday and symbol.
std::optional<AnnotationField> annotationFieldOf(BreakdownKey key);

// One group: its key as the command line prints it ("9", "1", "EURUSD",
// "H1"; an empty text for trades without the annotation), and the net
// results (profit, commission, taxes, swap) of its trades.
struct BreakdownRow {
    QString key;
    int trades = 0;
    int wins = 0;   // net above 0
    int losses = 0; // net below 0
    double net = 0;
    double average() const { return trades == 0 ? 0.0 : net / trades; }
    double winPercent() const { return trades == 0 ? 0.0 : 100.0 * wins / trades; }
};

// The groups that have trades, in key order: hours and weekdays by number,
// texts in code point order with the empty text last. A trade counts once
// in each of its errors. A trade whose money does not read is left out and
// the problem names it; one whose open time does not read is left out of
// the hour and weekday groups, and named too.
struct Breakdown : PartialResult {
    BreakdownKey key = BreakdownKey::Hour;
    std::vector<BreakdownRow> rows;
};

Breakdown buildBreakdown(const ReportTrades& trades, const std::vector<int>& rows, BreakdownKey key);

// The page's words for a key ("Пн", "09:00", "(нет)").
QString breakdownKeyLabel(BreakdownKey key, const QString& keyText);

// The table of a breakdown as the page shows it: the key's title, "Сделок",
// "Выигрышных", "Проигрышных", "% выигрышных", "Результат", "Средний".
TextTable breakdownTable(const Breakdown& breakdown);
