// The balance curve of the account page ("Менеджер счетов"), drawn on every
// activation, over an account of 10 000, 100 000 and (TJ_BENCH_1M=1)
// 1 000 000 trades:
//   build/bench/stats/bench_account_curve
// FromSteps reads every trade into a step of texts, builds the curve from
// them and hands every point to the plot (as the page did); Streamed reads
// the money row by row into reused buffers and hands the plot at most four
// points per pixel column of a 1920-pixel screen (as the page does now).
#include "bench_journal.h"

#include "accounts/core/account_store.h"
#include "accounts/core/balance_curve.h"
#include "db/core/cash_store.h"
#include "db/core/sqlite_database.h"

#include <map>
#include <memory>

#include <benchmark/benchmark.h>

#include <sys/resource.h>

namespace {

TSQLiteDatabase& database(const benchmark::State& state)
{
    static std::map<int, std::unique_ptr<TSQLiteDatabase>> open;
    const int trades = static_cast<int>(state.range(0));
    auto& db = open[trades];
    if (!db)
        db = std::make_unique<TSQLiteDatabase>(benchJournalFolder(trades) + QStringLiteral("/datamoney.db"));
    return *db;
}

const QString kAccount = QStringLiteral("1");
const QString kCapital = QStringLiteral("10000");

void reportPeak(benchmark::State& state)
{
    rusage usage{};
    getrusage(RUSAGE_SELF, &usage);
    state.counters["peak_rss_MB"] = static_cast<double>(usage.ru_maxrss) / 1024.0;
}

void BM_CurveFromSteps(benchmark::State& state)
{
    TSQLiteDatabase& db = database(state);
    AccountStore store(db, QString());
    for (auto _ : state) {
        const std::vector<CashMovement> cash = CashStore(db).list(kAccount);
        const std::vector<BalanceStep> steps = store.balanceSteps(kAccount);
        const BalanceCurve curve = buildBalanceCurve(kCapital, steps, cash);
        QList<QPointF> points;
        points.reserve(static_cast<qsizetype>(curve.points.size()));
        for (size_t k = 0; k < curve.points.size(); ++k)
            points.append(QPointF(static_cast<double>(k), curve.points[k]));
        benchmark::DoNotOptimize(points.data());
    }
    reportPeak(state);
}
BENCHMARK(BM_CurveFromSteps)->Apply(benchSizes)->Unit(benchmark::kMillisecond);

void BM_CurveStreamed(benchmark::State& state)
{
    TSQLiteDatabase& db = database(state);
    AccountStore store(db, QString());
    for (auto _ : state) {
        const std::vector<CashMovement> cash = CashStore(db).list(kAccount);
        const AccountStore::Curve read = store.balanceCurve(kAccount, kCapital, cash);
        const QList<QPointF> points = curvePlotPoints(read.curve.points, 1920);
        benchmark::DoNotOptimize(points.data());
    }
    reportPeak(state);
}
BENCHMARK(BM_CurveStreamed)->Apply(benchSizes)->Unit(benchmark::kMillisecond);

} // namespace
