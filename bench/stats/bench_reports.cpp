// What the page "Отчеты" costs for an account of 100 000 trades: one
// reading of the trades, the eight category reports and the trading
// metrics with the month results. kept:0 reads the account from disk,
// kept:1 builds on the digest the trade table read (AccountTrades::read).
//   build-rel/bench/stats/bench_reports
//   TJ_BENCH_1M=1 build-rel/bench/stats/bench_reports   (the million too)
#include "db/core/cash_store.h"
#include "bench_journal.h"

#include "db/core/sqlite_database.h"
#include "journal/core/reference_lists.h"
#include "stats/core/account_trades.h"
#include "stats/core/category_reports.h"
#include "stats/core/report_trades.h"
#include "stats/core/trading_metrics.h"

#include <benchmark/benchmark.h>

#include <map>
#include <memory>

namespace {

TSQLiteDatabase& database(int trades = kBenchTrades)
{
    static std::map<int, std::unique_ptr<TSQLiteDatabase>> open;
    auto& db = open[trades];
    if (!db)
        db = std::make_unique<TSQLiteDatabase>(benchJournalFolder(trades) + QStringLiteral("/datamoney.db"));
    return *db;
}

// Lists as a trader keeps them; the journal's entries and exits use the
// four named ones.
ReferenceLists lists()
{
    ReferenceLists l;
    const QStringList used = {"", "Низкая", "Обычная", "Отбой от тренда", "Пробой уровня"};
    l.entries(ListId::Timeframe) = {"", "D1", "H1", "H4", "M15", "M5"};
    l.entries(ListId::Enter) = used;
    l.entries(ListId::Exit) = used;
    l.entries(ListId::Psixo) = {"", "Жадность", "Страх"};
    l.entries(ListId::Technique) = {"", "Поздний вход", "Ранний вход"};
    return l;
}

void BM_ReportsAndMetrics(benchmark::State& state)
{
    TSQLiteDatabase& db = database(static_cast<int>(state.range(0)));
    const ReferenceLists l = lists();
    AccountTrades::forgetKept();
    if (state.range(1))
        AccountTrades::read(db, QStringLiteral("1")); // kept:1 starts from this reading
    for (auto _ : state) {
        if (!state.range(1))
            AccountTrades::forgetKept();
        const ReportTrades trades(db, QStringLiteral("1"));
        CategoryReports reports = buildCategoryReports(trades, l);
        TradingMetrics metrics = buildTradingMetrics(trades, QStringLiteral("10000"), {});
        benchmark::DoNotOptimize(reports.reports.data());
        benchmark::DoNotOptimize(metrics.months.data());
        if (reports[CategoryReportKind::Pairs].texts.rowCount() != 8 || metrics.texts.rowCount() != metricrow::Count)
            state.SkipWithError("unexpected reports");
    }
}
void sizesKept(benchmark::internal::Benchmark* b)
{
    b->ArgNames({"trades", "kept"});
    for (const int n : kBenchSizes) {
        if (n < 1000000 || benchMillionWanted()) {
            b->Args({n, 0});
            b->Args({n, 1});
        }
    }
}
BENCHMARK(BM_ReportsAndMetrics)->Apply(sizesKept)->Unit(benchmark::kMillisecond);

// The parts: the reading alone, the reports alone over a reading.
void BM_ReadTrades(benchmark::State& state)
{
    TSQLiteDatabase& db = database(static_cast<int>(state.range(0)));
    AccountTrades::forgetKept();
    if (state.range(1))
        AccountTrades::read(db, QStringLiteral("1")); // kept:1 starts from this reading
    for (auto _ : state) {
        if (!state.range(1))
            AccountTrades::forgetKept();
        const ReportTrades trades(db, QStringLiteral("1"));
        benchmark::DoNotOptimize(trades.count());
    }
}
BENCHMARK(BM_ReadTrades)->Apply(sizesKept)->Unit(benchmark::kMillisecond);

void BM_ReportsOnly(benchmark::State& state)
{
    const ReportTrades trades(database(), QStringLiteral("1"));
    const ReferenceLists l = lists();
    for (auto _ : state) {
        CategoryReports reports = buildCategoryReports(trades, l);
        benchmark::DoNotOptimize(reports.reports.data());
    }
}
BENCHMARK(BM_ReportsOnly)->Unit(benchmark::kMillisecond);

void BM_MetricsOnly(benchmark::State& state)
{
    const ReportTrades trades(database(), QStringLiteral("1"));
    for (auto _ : state) {
        TradingMetrics metrics = buildTradingMetrics(trades, QStringLiteral("10000"), {});
        benchmark::DoNotOptimize(metrics.months.data());
    }
}
BENCHMARK(BM_MetricsOnly)->Unit(benchmark::kMillisecond);

} // namespace
