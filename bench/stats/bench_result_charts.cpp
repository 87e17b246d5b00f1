// What the charts under the metrics of "Показатели" cost for an account of
// 100 000 trades: the drawdown curve and the histogram of the net results,
// over a reading of the trades (shared with the reports), and with it.
//   build/bench/stats/bench_result_charts
#include "bench_journal.h"

#include "db/core/sqlite_database.h"
#include "stats/core/account_trades.h"
#include "stats/core/balance_chart.h"
#include "stats/core/report_trades.h"
#include "stats/core/result_charts.h"

#include <benchmark/benchmark.h>

namespace {

TSQLiteDatabase& database()
{
    static TSQLiteDatabase db(benchJournalFolder() + QStringLiteral("/datamoney.db"));
    return db;
}

void BM_DrawdownAndHistogram(benchmark::State& state)
{
    const ReportTrades trades(database(), QStringLiteral("1"));
    for (auto _ : state) {
        DrawdownCurve curve = buildDrawdownCurve(trades, QStringLiteral("10000"), {});
        Histogram histogram = buildNetHistogram(trades);
        benchmark::DoNotOptimize(curve.drawdown.data());
        benchmark::DoNotOptimize(histogram.bins.data());
        if (curve.drawdown.size() != size_t(kBenchTrades) || histogram.bins.empty())
            state.SkipWithError("unexpected charts");
    }
}
BENCHMARK(BM_DrawdownAndHistogram)->Unit(benchmark::kMillisecond);

void BM_DrawdownCurve(benchmark::State& state)
{
    const ReportTrades trades(database(), QStringLiteral("1"));
    for (auto _ : state) {
        DrawdownCurve curve = buildDrawdownCurve(trades, QStringLiteral("10000"), {});
        benchmark::DoNotOptimize(curve.drawdown.data());
    }
}
BENCHMARK(BM_DrawdownCurve)->Unit(benchmark::kMillisecond);

void BM_NetHistogram(benchmark::State& state)
{
    const ReportTrades trades(database(), QStringLiteral("1"));
    for (auto _ : state) {
        Histogram histogram = buildNetHistogram(trades);
        benchmark::DoNotOptimize(histogram.bins.data());
    }
}
BENCHMARK(BM_NetHistogram)->Unit(benchmark::kMillisecond);

// From the reading on, as the page does it.
void BM_ReadAndCharts(benchmark::State& state)
{
    for (auto _ : state) {
        const ReportTrades trades(database(), QStringLiteral("1"));
        DrawdownCurve curve = buildDrawdownCurve(trades, QStringLiteral("10000"), {});
        Histogram histogram = buildNetHistogram(trades);
        benchmark::DoNotOptimize(curve.drawdown.data());
        benchmark::DoNotOptimize(histogram.bins.data());
    }
}
BENCHMARK(BM_ReadAndCharts)->Unit(benchmark::kMillisecond);

// The balance chart of "База данных" with its date axis: the curves and the
// open time of every trade, over a reading of the trades.
void BM_BalanceChartWithDates(benchmark::State& state)
{
    AccountTrades trades(database(), QStringLiteral("1"));
    const bool dates = state.range(0) != 0;
    for (auto _ : state) {
        BalanceChart chart = buildBalanceChartData(trades, QStringLiteral("10000"), {}, dates);
        benchmark::DoNotOptimize(chart.times.data());
        if (dates && chart.times.size() != size_t(kBenchTrades))
            state.SkipWithError("unexpected times");
    }
}
BENCHMARK(BM_BalanceChartWithDates)->ArgName("dates")->Arg(0)->Arg(1)->Unit(benchmark::kMillisecond);

} // namespace
