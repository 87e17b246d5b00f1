#pragma once

#include <QString>

// The journal of a trader with years of history, shared by the statistics
// benchmarks: account 1 ("Основной", capital 10000) with 100 000 trades, one
// every 10 to 60 minutes from 5 January 2009 on (about six and a half
// years). Made once in the temporary folder and reused, so that a
// whole-process run measures the work and not the making of the data.
inline constexpr int kBenchTrades = 100000;

// The program folder holding that journal's datamoney.db.
QString benchJournalFolder();
