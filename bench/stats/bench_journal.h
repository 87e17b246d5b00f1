#pragma once

#include <QString>

// The journal of a trader with years of history, shared by the statistics
// benchmarks: account 1 ("Основной", capital 10000) with N trades, one every
// 10 to 60 minutes from 5 January 2009 on (100 000 trades reach about six
// and a half years, 1 000 000 about sixty), and account 2 ("Второй") with
// 100 trades, to switch to. Made once per size in the build folder
// (bench-data/) and reused, so that a whole-process run measures the work
// and not the making of the data. The same seed gives the same trades at
// every size: the first 10 000 of every journal are the same.
inline constexpr int kBenchTrades = 100000;

// The sizes the benchmarks run at; the million only when the environment
// asks for it (TJ_BENCH_1M=1), so that a routine run stays short.
inline constexpr int kBenchSizes[] = {10000, 100000, 1000000};
bool benchMillionWanted();

// The program folder holding the journal of that many trades' datamoney.db.
QString benchJournalFolder(int trades = kBenchTrades);

// Adds an argument per size of kBenchSizes to a Google Benchmark
// (->Apply(benchSizes)); the million only when benchMillionWanted().
namespace benchmark::internal {
class Benchmark;
}
void benchSizes(benchmark::internal::Benchmark* b);
