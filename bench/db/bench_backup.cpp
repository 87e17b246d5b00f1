// What keeping the journal safe costs on a trader with years of history
// (the shared 100 000-trade journal of bench/stats/bench_journal.h):
//   build/bench/db/bench_backup
// - a checked copy with SQLite's backup API (the automatic backup),
// - PRAGMA quick_check of the journal (every start),
// - a statement-sized write (1 000 trades in one transaction) and a single
//   annotation saved, with synchronous=FULL against NORMAL.
#include "bench_journal.h"

#include "db/core/backup.h"
#include "db/core/schema_setup.h"
#include "db/core/sqlite_database.h"

#include <QFile>
#include <QFileInfo>
#include <QTemporaryDir>

#include <benchmark/benchmark.h>

namespace {

QString journalFile() { return benchJournalFolder() + QStringLiteral("/datamoney.db"); }

void BM_BackupOf100000Trades(benchmark::State& state)
{
    const QString source = journalFile();
    QTemporaryDir dir;
    const QString target = dir.filePath(QStringLiteral("copy.db"));
    for (auto _ : state) {
        copyDatabase(source, target);
        state.PauseTiming();
        QFile::remove(target);
        state.ResumeTiming();
    }
    state.counters["db_MB"] = static_cast<double>(QFileInfo(source).size()) / (1024.0 * 1024.0);
}
BENCHMARK(BM_BackupOf100000Trades)->Unit(benchmark::kMillisecond)->UseRealTime();

void BM_QuickCheckOf100000Trades(benchmark::State& state)
{
    const QString file = journalFile();
    for (auto _ : state)
        benchmark::DoNotOptimize(databaseProblem(file));
}
BENCHMARK(BM_QuickCheckOf100000Trades)->Unit(benchmark::kMillisecond)->UseRealTime();

// Arg 0: synchronous=NORMAL, 1: FULL (the program's setting). Arg 2: rows
// per transaction.
void BM_Write(benchmark::State& state)
{
    QTemporaryDir dir;
    const QString file = dir.filePath(QStringLiteral("datamoney.db"));
    QFile schema(QStringLiteral(TJ_SCHEMA_SQL));
    schema.open(QIODevice::ReadOnly);
    createDatabaseFromSchema(file, QString::fromUtf8(schema.readAll()));
    TSQLiteDatabase db(file);
    db.executeStatement(state.range(0) ? QStringLiteral("PRAGMA synchronous=FULL") : QStringLiteral("PRAGMA synchronous=NORMAL"));
    const auto rows = state.range(1);
    int ticket = 0;
    for (auto _ : state) {
        SqlTransaction t(db);
        for (int i = 0; i < rows; ++i)
            db.executeStatement(QStringLiteral("INSERT INTO t_sdelki (chet, Ticket, Item, Profit) VALUES ('1', ?, 'eurusd', '1,5')"),
                                {++ticket});
        t.commit();
    }
}
BENCHMARK(BM_Write)->ArgsProduct({{0, 1}, {1, 1000}})->ArgNames({"full", "rows"})->Unit(benchmark::kMillisecond)->UseRealTime();

} // namespace
