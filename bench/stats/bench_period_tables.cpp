// The day and the week table of a five-year range over an account of
// 10 000, 100 000 and (TJ_BENCH_1M=1) 1 000 000 trades, as the page
// "По дням" builds them on "Сформировать", and the period analysis of the
// page "Анализ" over the same five years.
//   build/bench/stats/bench_period_tables
// A "kept" run builds from the account's digest read before (nothing
// changed); the others read the trades anew, as after a change.
// For the peak memory of a build, time the whole process:
//   /usr/bin/time -v build-rel/bench/stats/bench_period_tables --benchmark_filter=BothTables
#include "bench_journal.h"

#include "db/core/sqlite_database.h"
#include "stats/core/account_trades.h"
#include "stats/core/analysis_model.h"
#include "stats/core/period_analysis.h"
#include "stats/core/period_tables.h"

#include <map>
#include <memory>

#include <QDateTime>

#include <benchmark/benchmark.h>

#include <sys/resource.h>

namespace {

TSQLiteDatabase& database(int trades)
{
    static std::map<int, std::unique_ptr<TSQLiteDatabase>> open;
    auto& db = open[trades];
    if (!db)
        db = std::make_unique<TSQLiteDatabase>(benchJournalFolder(trades) + QStringLiteral("/datamoney.db"));
    return *db;
}

TSQLiteDatabase& database(const benchmark::State& state) { return database(static_cast<int>(state.range(0))); }

// Five years from the first trade: about 75 000 of the account's trades
// (all 10 000 of the smallest journal).
const QDateTime kFrom(QDate(2009, 1, 5), QTime(0, 0));
const QDateTime kTo(QDate(2014, 1, 5), QTime(0, 0));

void reportPeak(benchmark::State& state)
{
    rusage usage{};
    getrusage(RUSAGE_SELF, &usage);
    state.counters["peak_rss_MB"] = static_cast<double>(usage.ru_maxrss) / 1024.0;
}

void BM_DayTable(benchmark::State& state)
{
    TSQLiteDatabase& db = database(state);
    for (auto _ : state) {
        AccountTrades::forgetKept();
        PeriodTable t = buildDayTable(db, QStringLiteral("1"), kFrom, kTo, QStringLiteral("10000"));
        benchmark::DoNotOptimize(t.rows.data());
    }
}
BENCHMARK(BM_DayTable)->Apply(benchSizes)->Unit(benchmark::kMillisecond);

void BM_WeekTable(benchmark::State& state)
{
    TSQLiteDatabase& db = database(state);
    for (auto _ : state) {
        AccountTrades::forgetKept();
        PeriodTable t = buildWeekTable(db, QStringLiteral("1"), kFrom, kTo, QStringLiteral("10000"));
        benchmark::DoNotOptimize(t.rows.data());
    }
}
BENCHMARK(BM_WeekTable)->Apply(benchSizes)->Unit(benchmark::kMillisecond);

// What one "Сформировать" costs: both tables from one reading (kept:1, from
// the digest the trade table read before).
void BM_BothTables(benchmark::State& state)
{
    TSQLiteDatabase& db = database(state);
    int days = 0, weeks = 0;
    if (state.range(1)) // the digest read once before, as by the trade table
        buildPeriodTables(db, QStringLiteral("1"), kFrom, kTo, QStringLiteral("10000"));
    for (auto _ : state) {
        if (!state.range(1))
            AccountTrades::forgetKept();
        PeriodTables t = buildPeriodTables(db, QStringLiteral("1"), kFrom, kTo, QStringLiteral("10000"));
        weeks = t.weeks.texts.rowCount();
        days = t.days.texts.rowCount();
        benchmark::DoNotOptimize(t.days.rows.data());
    }
    state.counters["day_rows"] = days;
    state.counters["week_rows"] = weeks;
    reportPeak(state);
}
BENCHMARK(BM_BothTables)
    ->ArgNames({"trades", "kept"})
    ->ArgsProduct({{10000, 100000}, {0, 1}})
    ->Unit(benchmark::kMillisecond);

void BM_BothTablesMillion(benchmark::State& state)
{
    if (!benchMillionWanted()) {
        state.SkipWithError("TJ_BENCH_1M=1 runs the million");
        return;
    }
    BM_BothTables(state);
}
BENCHMARK(BM_BothTablesMillion)->ArgNames({"trades", "kept"})->ArgsProduct({{1000000}, {0, 1}})->Unit(benchmark::kMillisecond);

// The page "Анализ" over the five years, and over one day (what it shows
// most often); the million with TJ_BENCH_1M=1.
void BM_PeriodAnalysis(benchmark::State& state)
{
    TSQLiteDatabase& db = database(state);
    const QDate from = kFrom.date();
    const QDate to = state.range(1) ? kFrom.date().addDays(1) : kTo.date();
    int rows = 0;
    for (auto _ : state) {
        PeriodAnalysis a = buildPeriodAnalysis(db, QStringLiteral("1"), from, to);
        rows = static_cast<int>(a.rows.size());
        benchmark::DoNotOptimize(a);
    }
    state.counters["rows"] = rows;
    reportPeak(state);
}
BENCHMARK(BM_PeriodAnalysis)
    ->ArgNames({"trades", "one_day"})
    ->Apply([](benchmark::internal::Benchmark* b) {
        for (const int n : kBenchSizes) {
            if (n < 1000000 || benchMillionWanted()) {
                b->Args({n, 0});
                b->Args({n, 1});
            }
        }
    })
    ->Unit(benchmark::kMillisecond);

// The page "Анализ" over the account's whole history (every trade of the
// journal: 1 000 000 rows with TJ_BENCH_1M=1), the rows as the page keeps
// them and its model over them.
void BM_PeriodAnalysisAllHistory(benchmark::State& state)
{
    TSQLiteDatabase& db = database(state);
    int rows = 0;
    for (auto _ : state) {
        AnalysisModel model;
        model.setAnalysis(buildPeriodAnalysis(db, QStringLiteral("1"), QDate(2000, 1, 1), QDate(2100, 1, 1)));
        rows = model.rowCount();
        benchmark::DoNotOptimize(rows);
    }
    state.counters["rows"] = rows;
    reportPeak(state);
}
BENCHMARK(BM_PeriodAnalysisAllHistory)->Apply(benchSizes)->Unit(benchmark::kMillisecond);

// The reading alone over the whole history, each trade handed over and
// dropped as the command line prints it: what the page adds is the keeping.
void BM_PeriodAnalysisReading(benchmark::State& state)
{
    TSQLiteDatabase& db = database(state);
    qint64 rows = 0;
    for (auto _ : state) {
        rows = 0;
        const AnalysisTotals totals = readPeriodAnalysis(db, QStringLiteral("1"), QDate(2000, 1, 1), QDate(2100, 1, 1),
                                                         [&](const AnalysisTrade& trade) {
                                                             benchmark::DoNotOptimize(trade.cells[analysiscol::Id].data());
                                                             ++rows;
                                                         });
        benchmark::DoNotOptimize(totals.count);
    }
    state.counters["rows"] = static_cast<double>(rows);
    reportPeak(state);
}
BENCHMARK(BM_PeriodAnalysisReading)->Apply(benchSizes)->Unit(benchmark::kMillisecond);

// The same reading as the command line makes it: a whole history of a large
// account read in parts at once, the first part handed over as it is read,
// the later parts' trades dropped as they are read on their own threads.
void BM_PeriodAnalysisReadingInParts(benchmark::State& state)
{
    struct Dropped : AnalysisPart {
        qint64 trades = 0;
        void take(const AnalysisTrade& trade) override
        {
            benchmark::DoNotOptimize(trade.cells[analysiscol::Id].data());
            ++trades;
        }
    };
    TSQLiteDatabase& db = database(state);
    qint64 rows = 0;
    const AnalysisParts parts{[](qint64, qint64) { return std::make_unique<Dropped>(); },
                              [&](AnalysisPart& part, qint64) { rows += static_cast<Dropped&>(part).trades; }, true};
    for (auto _ : state) {
        rows = 0;
        const AnalysisTotals totals = readPeriodAnalysis(
            db, QStringLiteral("1"), QDate(2000, 1, 1), QDate(2100, 1, 1),
            [&](const AnalysisTrade& trade) {
                benchmark::DoNotOptimize(trade.cells[analysiscol::Id].data());
                ++rows;
            },
            {}, &parts);
        benchmark::DoNotOptimize(totals.count);
    }
    state.counters["rows"] = static_cast<double>(rows);
    reportPeak(state);
}
BENCHMARK(BM_PeriodAnalysisReadingInParts)->Apply(benchSizes)->Unit(benchmark::kMillisecond);

} // namespace
