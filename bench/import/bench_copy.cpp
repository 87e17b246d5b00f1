// Copying 10 000 extracted trades into an empty account, and copying them
// again (every row an update).
#include "db/core/schema_setup.h"
#include "db/core/sqlite_database.h"
#include "import/core/report_file.h"
#include "import/core/trade_copy.h"
#include "import/core/trade_extraction.h"

#include "statement_generator.h"

#include <QFile>
#include <QTemporaryDir>

#include <benchmark/benchmark.h>

namespace {

constexpr int kTrades = 10000;

const std::vector<StatementRow>& rows()
{
    static const std::vector<StatementRow> r = [] {
        const QByteArray text = decodeReportBytes(statementgen::mt4Statement(kTrades).bytes);
        return extractTrades(text, ReportKind::MetaTrader4).rows;
    }();
    return r;
}

QString schema()
{
    QFile f(QStringLiteral(TJ_SCHEMA_SQL));
    if (!f.open(QIODevice::ReadOnly))
        std::abort();
    return QString::fromUtf8(f.readAll());
}

// A fresh datamoney.db in a temporary folder, with one account.
struct Journal {
    QTemporaryDir dir;
    std::unique_ptr<TSQLiteDatabase> db;
    Journal()
    {
        const QString path = dir.filePath(QStringLiteral("datamoney.db"));
        createDatabaseFromSchema(path, schema());
        db = std::make_unique<TSQLiteDatabase>(path);
        db->executeStatement(QStringLiteral("INSERT INTO t_chet (chet_name) VALUES ('bench')"));
    }
};

void BM_CopyIntoEmptyAccount(benchmark::State& state)
{
    rows();
    for (auto _ : state) {
        state.PauseTiming();
        auto journal = std::make_unique<Journal>();
        state.ResumeTiming();
        const CopyOutcome o = copyTrades(*journal->db, QStringLiteral("1"), rows(), journal->dir.filePath("img"));
        if (o.inserted != kTrades)
            state.SkipWithError("not every trade inserted");
        state.PauseTiming();
        journal.reset();
        state.ResumeTiming();
    }
    state.counters["trades"] = kTrades;
}

void BM_CopyAgainAllUpdates(benchmark::State& state)
{
    Journal journal;
    copyTrades(*journal.db, QStringLiteral("1"), rows(), journal.dir.filePath("img"));
    for (auto _ : state) {
        const CopyOutcome o = copyTrades(*journal.db, QStringLiteral("1"), rows(), journal.dir.filePath("img"));
        if (o.updated != kTrades)
            state.SkipWithError("not every trade updated");
    }
    state.counters["trades"] = kTrades;
}

BENCHMARK(BM_CopyIntoEmptyAccount)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_CopyAgainAllUpdates)->Unit(benchmark::kMillisecond);

} // namespace
