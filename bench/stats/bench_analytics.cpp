// What the tabs beside the metrics on "Отчеты" cost for an account of
// 100 000 trades (the shared journal of bench_journal.h): each tab from a
// reading of the trades, the what-if comparison on "Показатели", the
// calendar month, a change of the filter over the reading the page keeps,
// and the whole page through its widgets. Run offscreen:
//   build/bench/stats/bench_analytics
#include "bench_journal.h"

#include "context/core/journal.h"
#include "context/core/prompts.h"
#include "db/core/sqlite_database.h"
#include "stats/core/breakdown.h"
#include "stats/core/report_trades.h"
#include "stats/core/trade_calendar.h"
#include "stats/core/trade_filter.h"
#include "stats/core/trading_metrics.h"
#include "stats/ui/reports_page.h"

#include <QDir>
#include <QFile>
#include <QTableView>

#include <benchmark/benchmark.h>

namespace {

const QString kAccount = QStringLiteral("1");
const QString kCapital = QStringLiteral("10000");

TSQLiteDatabase& database()
{
    static TSQLiteDatabase db(benchJournalFolder() + QStringLiteral("/datamoney.db"));
    return db;
}

// The what-if the trader asks most: every trade but Monday's.
TradeFilter withoutMondays()
{
    TradeFilter f;
    f.weekdays = TradeFilter::kAllWeekdays & ~1u;
    return f;
}

// "Показатели" with a filter set: a reading, the figures of every trade
// and of the filtered ones, and the table of both with the difference.
void BM_WhatIfComparison(benchmark::State& state)
{
    for (auto _ : state) {
        const ReportTrades trades(database(), kAccount);
        const TradingMetrics all = buildTradingMetrics(trades, kCapital, {});
        const TradingMetrics filtered = buildTradingMetrics(trades, selectTrades(trades, withoutMondays()), kCapital, {});
        TextTable t = compareTradingMetrics(all, filtered);
        benchmark::DoNotOptimize(t.rowCount());
        if (all.values[metricrow::Trades] != kBenchTrades)
            state.SkipWithError("unexpected trades");
    }
}
BENCHMARK(BM_WhatIfComparison)->Unit(benchmark::kMillisecond);

// "По часам и дням": a reading, then by hour, by weekday and by symbol
// with their tables.
void BM_BreakdownTab(benchmark::State& state)
{
    for (auto _ : state) {
        const ReportTrades trades(database(), kAccount);
        const std::vector<int> rows = selectTrades(trades, withoutMondays());
        for (const BreakdownKey key : {BreakdownKey::Hour, BreakdownKey::Weekday, BreakdownKey::Symbol}) {
            TextTable t = breakdownTable(buildBreakdown(trades, rows, key));
            benchmark::DoNotOptimize(t.rowCount());
        }
    }
}
BENCHMARK(BM_BreakdownTab)->Unit(benchmark::kMillisecond);

// "Календарь": a reading and the month of the last trade.
void BM_CalendarTab(benchmark::State& state)
{
    for (auto _ : state) {
        const ReportTrades trades(database(), kAccount);
        const QDate last = QDate::fromJulianDay(trades.openDay(trades.timeOrder().back()));
        CalendarMonth m = buildCalendarMonth(trades, selectTrades(trades, withoutMondays()), last.year(), last.month());
        benchmark::DoNotOptimize(m.total.trades);
    }
}
BENCHMARK(BM_CalendarTab)->Unit(benchmark::kMillisecond);

// An arrow of the calendar: one month over the reading the page keeps.
void BM_CalendarMonth(benchmark::State& state)
{
    const ReportTrades trades(database(), kAccount);
    const std::vector<int> rows = selectTrades(trades, withoutMondays());
    int month = 0;
    for (auto _ : state) {
        CalendarMonth m = buildCalendarMonth(trades, rows, 2012, 1 + month++ % 12);
        benchmark::DoNotOptimize(m.total.trades);
        if (m.total.trades == 0)
            state.SkipWithError("an empty month");
    }
}
BENCHMARK(BM_CalendarMonth)->Unit(benchmark::kMillisecond);

// A change on the filter bar: everything it applies to, over the kept reading.
void BM_FilterChange(benchmark::State& state)
{
    const ReportTrades trades(database(), kAccount);
    for (auto _ : state) {
        const std::vector<int> rows = selectTrades(trades, withoutMondays());
        const TradingMetrics all = buildTradingMetrics(trades, kCapital, {});
        const TradingMetrics filtered = buildTradingMetrics(trades, rows, kCapital, {});
        TextTable t = compareTradingMetrics(all, filtered);
        for (const BreakdownKey key : {BreakdownKey::Hour, BreakdownKey::Weekday, BreakdownKey::Symbol})
            benchmark::DoNotOptimize(buildBreakdown(trades, rows, key).rows.size());
        benchmark::DoNotOptimize(buildCalendarMonth(trades, rows, 2012, 1).total.trades);
        benchmark::DoNotOptimize(t.rowCount());
    }
}
BENCHMARK(BM_FilterChange)->Unit(benchmark::kMillisecond);

// R-multiples read for every trade: the same journal with a stop loss on
// each trade (a copy; the shared one has none).
void BM_ReadTradesWithStops(benchmark::State& state)
{
    const QString folder = QDir::tempPath() + QStringLiteral("/tj-bench-analytics-stops");
    const QString file = folder + QStringLiteral("/datamoney.db");
    if (!QFile::exists(file)) {
        QDir().mkpath(folder);
        QFile::copy(benchJournalFolder() + QStringLiteral("/datamoney.db"), file);
        TSQLiteDatabase(file).executeStatement(QStringLiteral(
            "UPDATE t_sdelki SET sl = printf('%.5f', PriceOpen + CASE Type WHEN 'buy' THEN -0.005 ELSE 0.005 END)"));
    }
    TSQLiteDatabase db(file);
    for (auto _ : state) {
        const ReportTrades trades(db, kAccount);
        const TradingMetrics m = buildTradingMetrics(trades, kCapital, {});
        if (m.values[metricrow::TradesWithR] != kBenchTrades)
            state.SkipWithError("trades without R");
        benchmark::DoNotOptimize(m.values.data());
    }
}
BENCHMARK(BM_ReadTradesWithStops)->Unit(benchmark::kMillisecond);

class SilentPrompts : public Prompts {
public:
    void showMessage(Icon, const QString&, const QString& text) override { qWarning("%s", qPrintable(text)); }
    bool confirm(const QString&) override { return false; }
    std::optional<QString> askText(const QString&, const QString&, const QString&) override { return {}; }
    std::optional<QString> chooseFile(const FileRequest&) override { return {}; }
};

struct Page {
    Page()
        : journal(benchJournalFolder())
    {
        journal.openDatabase();
        journal.activeAccount = kAccount;
        journal.initialBalance = kCapital;
        page = std::make_unique<ReportsPage>(journal, prompts);
        page->resize(1024, 600);
        page->show();
        page->rebuild();
    }
    Journal journal;
    SilentPrompts prompts;
    std::unique_ptr<ReportsPage> page;
};

// The whole page through its widgets: a rebuild (the eight category
// reports, the metrics beside the what-if, the calendar and the breakdowns).
void BM_ReportsPageRebuild(benchmark::State& state)
{
    Page p;
    p.page->setFilter(withoutMondays());
    for (auto _ : state)
        p.page->rebuild();
    p.page->setFilter(TradeFilter());
}
BENCHMARK(BM_ReportsPageRebuild)->Unit(benchmark::kMillisecond);

// A change on the bar through the page: the figures, the calendar, the
// breakdowns and the filter written to filters.json.
void BM_ReportsPageFilterChange(benchmark::State& state)
{
    Page p;
    TradeFilter sells;
    sells.direction = TradeFilter::Direction::Sell;
    int i = 0;
    for (auto _ : state)
        p.page->setFilter(i++ % 2 ? withoutMondays() : sells);
    p.page->setFilter(TradeFilter());
}
BENCHMARK(BM_ReportsPageFilterChange)->Unit(benchmark::kMillisecond);

} // namespace
