// The day and the week table of a five-year range over an account of
// 100 000 trades, as the page "По дням" builds them on "Сформировать".
//   build-rel/bench/stats/bench_period_tables
// For the peak memory of a build, time the whole process:
//   /usr/bin/time -v build-rel/bench/stats/bench_period_tables --benchmark_filter=BothTables
#include "bench_journal.h"

#include "db/core/sqlite_database.h"
#include "stats/core/period_tables.h"

#include <QDateTime>

#include <benchmark/benchmark.h>

#include <sys/resource.h>

namespace {

TSQLiteDatabase& database()
{
    static TSQLiteDatabase db(benchJournalFolder() + QStringLiteral("/datamoney.db"));
    return db;
}

// Five years from the first trade: about 75 000 of the account's trades.
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
    TSQLiteDatabase& db = database();
    for (auto _ : state) {
        PeriodTable t = buildDayTable(db, QStringLiteral("1"), kFrom, kTo, QStringLiteral("10000"));
        benchmark::DoNotOptimize(t.rows.data());
    }
}
BENCHMARK(BM_DayTable)->Unit(benchmark::kMillisecond);

void BM_WeekTable(benchmark::State& state)
{
    TSQLiteDatabase& db = database();
    for (auto _ : state) {
        PeriodTable t = buildWeekTable(db, QStringLiteral("1"), kFrom, kTo, QStringLiteral("10000"));
        benchmark::DoNotOptimize(t.rows.data());
    }
}
BENCHMARK(BM_WeekTable)->Unit(benchmark::kMillisecond);

// What one "Сформировать" costs: both tables from one reading.
void BM_BothTables(benchmark::State& state)
{
    TSQLiteDatabase& db = database();
    int days = 0, weeks = 0;
    for (auto _ : state) {
        PeriodTables t = buildPeriodTables(db, QStringLiteral("1"), kFrom, kTo, QStringLiteral("10000"));
        weeks = t.weeks.texts.rowCount();
        days = t.days.texts.rowCount();
        benchmark::DoNotOptimize(t.days.rows.data());
    }
    state.counters["day_rows"] = days;
    state.counters["week_rows"] = weeks;
    reportPeak(state);
}
BENCHMARK(BM_BothTables)->Unit(benchmark::kMillisecond);

} // namespace
