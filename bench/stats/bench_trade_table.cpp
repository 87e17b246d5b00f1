// The trade table and balance chart of a trader with years of history:
// 10 000, 100 000 and (TJ_BENCH_1M=1) 1 000 000 trades in one account. Run
// offscreen:
//   QT_QPA_PLATFORM=offscreen build/bench/stats/bench_stats
//   TJ_BENCH_1M=1 QT_QPA_PLATFORM=offscreen build/bench/stats/bench_stats
// The journals are made once in the build folder and reused, so that a
// whole-process run (/usr/bin/time -v ... --benchmark_filter=Refresh)
// measures the refresh and not the making of the data. Every run reads the
// trades anew (as after a change) unless its name says "kept".
#include "bench_journal.h"

#include "context/core/journal.h"
#include "context/core/prompts.h"
#include "db/core/sqlite_database.h"
#include "stats/core/account_trades.h"
#include "stats/core/balance_chart.h"
#include "stats/core/column_widths.h"
#include "stats/core/trade_table.h"
#include "stats/ui/trade_table_page.h"

#include <QApplication>
#include <QElapsedTimer>
#include <QTableView>

#include <map>
#include <memory>

#include <benchmark/benchmark.h>

#include <sys/resource.h>

namespace {

class SilentPrompts : public Prompts {
public:
    void showMessage(Icon, const QString&, const QString& text) override { qWarning("%s", qPrintable(text)); }
    bool confirm(const QString&) override { return false; }
    std::optional<QString> askText(const QString&, const QString&, const QString&) override { return {}; }
    std::optional<QString> chooseFile(const FileRequest&) override { return {}; }
};

struct Fixture {
    explicit Fixture(int trades)
        : folder(benchJournalFolder(trades))
    {
        journal = std::make_unique<Journal>(folder);
        journal->openDatabase();
        journal->activeAccount = QStringLiteral("1");
        journal->initialBalance = QStringLiteral("10000");
    }
    QString folder;
    std::unique_ptr<Journal> journal;
    SilentPrompts prompts;
};

Fixture& fixture(const benchmark::State& state)
{
    static std::map<int, std::unique_ptr<Fixture>> made;
    auto& f = made[static_cast<int>(state.range(0))];
    if (!f)
        f = std::make_unique<Fixture>(static_cast<int>(state.range(0)));
    return *f;
}

void reportPeak(benchmark::State& state)
{
    rusage usage{};
    getrusage(RUSAGE_SELF, &usage);
    state.counters["peak_rss_MB"] = static_cast<double>(usage.ru_maxrss) / 1024.0;
}

void BM_BuildTradeTable(benchmark::State& state)
{
    Fixture& f = fixture(state);
    for (auto _ : state) {
        AccountTrades::forgetKept();
        TradeTable t = buildTradeTable(f.journal->db(), QStringLiteral("1"), TradeOrder(state.range(1)));
        benchmark::DoNotOptimize(t.listed);
    }
    reportPeak(state);
}
void sizesAndOrders(benchmark::internal::Benchmark* b)
{
    b->ArgNames({"trades", "order"});
    for (const int n : kBenchSizes) {
        if (n < 1000000 || benchMillionWanted()) {
            b->Args({n, 0});
            b->Args({n, 1});
        }
    }
}
BENCHMARK(BM_BuildTradeTable)->Apply(sizesAndOrders)->Unit(benchmark::kMillisecond);

void BM_BuildBalanceChart(benchmark::State& state)
{
    Fixture& f = fixture(state);
    for (auto _ : state) {
        AccountTrades::forgetKept();
        BalanceChart c = buildBalanceChartData(f.journal->db(), QStringLiteral("1"), QStringLiteral("10000"));
        benchmark::DoNotOptimize(c.withCommission);
    }
}
BENCHMARK(BM_BuildBalanceChart)->Apply(benchSizes)->Unit(benchmark::kMillisecond);

void BM_FitColumnWidths(benchmark::State& state)
{
    Fixture& f = fixture(state);
    const TradeTable t = buildTradeTable(f.journal->db(), QStringLiteral("1"), TradeOrder::Profit);
    const QFont font = gridFont(QStringLiteral("Tahoma"), 13);
    for (auto _ : state) {
        TextWidthMeasure measure(font);
        benchmark::DoNotOptimize(t.columnWidths(measure, 1));
    }
}
BENCHMARK(BM_FitColumnWidths)->Apply(benchSizes)->Unit(benchmark::kMillisecond);

// Where the time of one refresh goes, phase by phase (milliseconds).
void BM_RefreshPhases(benchmark::State& state)
{
    Fixture& f = fixture(state);
    const QFont font = gridFont(QStringLiteral("Tahoma"), 13);
    double query = 0, byProfit = 0, byTime = 0, numbers = 0, table = 0, chart = 0, widths = 0;
    auto lap = [](QElapsedTimer& t, double& sum) { sum += t.nsecsElapsed() / 1e6; t.restart(); };
    for (auto _ : state) {
        QElapsedTimer t;
        t.start();
        auto trades = std::make_shared<AccountTrades>(f.journal->db(), QStringLiteral("1"));
        lap(t, query);
        trades->byProfitDescending();
        lap(t, byProfit);
        trades->byOpenTime();
        lap(t, byTime);
        trades->numbers();
        lap(t, numbers);
        TradeTable tab = buildTradeTable(trades, TradeOrder::Profit);
        lap(t, table);
        BalanceChart c = buildBalanceChartData(*trades, QStringLiteral("10000"), {});
        lap(t, chart);
        TextWidthMeasure measure(font);
        benchmark::DoNotOptimize(tab.columnWidths(measure, 1));
        lap(t, widths);
    }
    const double n = static_cast<double>(state.iterations());
    state.counters["query"] = query / n;
    state.counters["by_profit"] = byProfit / n;
    state.counters["by_time"] = byTime / n;
    state.counters["numbers"] = numbers / n;
    state.counters["table"] = table / n;
    state.counters["chart"] = chart / n;
    state.counters["widths"] = widths / n;
}
BENCHMARK(BM_RefreshPhases)->Apply(benchSizes)->Unit(benchmark::kMillisecond);

// refreshTradeTable end to end on a shown page: query, table, model, chart,
// column widths and, with painted:1, the repaint of the whole page with its
// curve of every trade; kept:1 with nothing changed since the last refresh.
void BM_RefreshTradeTable(benchmark::State& state)
{
    Fixture& f = fixture(state);
    TradeTablePage page(*f.journal, f.prompts);
    page.resize(1600, 860);
    page.show();
    QApplication::processEvents();
    AccountTrades::forgetKept();
    page.refreshTradeTable(); // kept:1 starts from this reading
    for (auto _ : state) {
        if (!state.range(2))
            AccountTrades::forgetKept();
        page.refreshTradeTable();
        if (state.range(1))
            page.repaint();
    }
    reportPeak(state);
}
BENCHMARK(BM_RefreshTradeTable)
    ->ArgNames({"trades", "painted", "kept"})
    ->Apply([](benchmark::internal::Benchmark* b) {
        for (const int n : kBenchSizes) {
            if (n < 1000000 || benchMillionWanted()) {
                b->Args({n, 0, 0});
                b->Args({n, 1, 0});
                b->Args({n, 1, 1});
            }
        }
    })
    ->Unit(benchmark::kMillisecond);

// Switching the page between the accounts: the 100-trade account, then the
// large one, each read anew (the digest keeps one account).
void BM_SwitchAccount(benchmark::State& state)
{
    Fixture& f = fixture(state);
    TradeTablePage page(*f.journal, f.prompts);
    page.resize(1600, 860);
    page.show();
    QApplication::processEvents();
    for (auto _ : state) {
        f.journal->activeAccount = QStringLiteral("2");
        page.refreshTradeTable();
        page.repaint();
        f.journal->activeAccount = QStringLiteral("1");
        page.refreshTradeTable();
        page.repaint();
    }
    reportPeak(state);
}
BENCHMARK(BM_SwitchAccount)->Apply(benchSizes)->Unit(benchmark::kMillisecond);

} // namespace
