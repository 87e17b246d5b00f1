// The trade table and balance chart of a trader with years of history:
// 100 000 trades in one account. Run offscreen:
//   QT_QPA_PLATFORM=offscreen build/bench/stats/bench_stats
// The journal is made once in the temporary folder and reused, so that a
// whole-process run (/usr/bin/time -v ... --benchmark_filter=Refresh)
// measures the refresh and not the making of the data.
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
    Fixture()
        : folder(benchJournalFolder())
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

Fixture& fixture()
{
    static Fixture f;
    return f;
}

void reportPeak(benchmark::State& state)
{
    rusage usage{};
    getrusage(RUSAGE_SELF, &usage);
    state.counters["peak_rss_MB"] = static_cast<double>(usage.ru_maxrss) / 1024.0;
}

void BM_BuildTradeTable(benchmark::State& state)
{
    Fixture& f = fixture();
    for (auto _ : state) {
        TradeTable t = buildTradeTable(f.journal->db(), QStringLiteral("1"), TradeOrder(state.range(0)));
        benchmark::DoNotOptimize(t.listed);
    }
    reportPeak(state);
}
BENCHMARK(BM_BuildTradeTable)->ArgName("order")->Arg(0)->Arg(1)->Unit(benchmark::kMillisecond);

void BM_BuildBalanceChart(benchmark::State& state)
{
    Fixture& f = fixture();
    for (auto _ : state) {
        BalanceChart c = buildBalanceChartData(f.journal->db(), QStringLiteral("1"), QStringLiteral("10000"));
        benchmark::DoNotOptimize(c.withCommission);
    }
}
BENCHMARK(BM_BuildBalanceChart)->Unit(benchmark::kMillisecond);

void BM_FitColumnWidths(benchmark::State& state)
{
    Fixture& f = fixture();
    const TradeTable t = buildTradeTable(f.journal->db(), QStringLiteral("1"), TradeOrder::Profit);
    const QFont font = gridFont(QStringLiteral("Tahoma"), 13);
    for (auto _ : state) {
        TextWidthMeasure measure(font);
        benchmark::DoNotOptimize(t.columnWidths(measure, 1));
    }
}
BENCHMARK(BM_FitColumnWidths)->Unit(benchmark::kMillisecond);

// Where the time of one refresh goes, phase by phase (milliseconds).
void BM_RefreshPhases(benchmark::State& state)
{
    Fixture& f = fixture();
    const QFont font = gridFont(QStringLiteral("Tahoma"), 13);
    double query = 0, sorts = 0, numbers = 0, table = 0, chart = 0, widths = 0;
    auto lap = [](QElapsedTimer& t, double& sum) { sum += t.nsecsElapsed() / 1e6; t.restart(); };
    for (auto _ : state) {
        QElapsedTimer t;
        t.start();
        auto trades = std::make_shared<AccountTrades>(f.journal->db(), QStringLiteral("1"));
        lap(t, query);
        trades->byProfitDescending();
        trades->byOpenTime();
        lap(t, sorts);
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
    state.counters["sorts"] = sorts / n;
    state.counters["numbers"] = numbers / n;
    state.counters["table"] = table / n;
    state.counters["chart"] = chart / n;
    state.counters["widths"] = widths / n;
}
BENCHMARK(BM_RefreshPhases)->Unit(benchmark::kMillisecond);

// refreshTradeTable end to end on a shown page: query, table, model, chart,
// column widths and, with painted:1, the repaint of the whole page with its
// 100 000-point curve.
void BM_RefreshTradeTable(benchmark::State& state)
{
    Fixture& f = fixture();
    TradeTablePage page(*f.journal, f.prompts);
    page.resize(1600, 860);
    page.show();
    QApplication::processEvents();
    for (auto _ : state) {
        page.refreshTradeTable();
        if (state.range(0))
            page.repaint();
    }
    reportPeak(state);
}
BENCHMARK(BM_RefreshTradeTable)->ArgName("painted")->Arg(0)->Arg(1)->Unit(benchmark::kMillisecond)->MinTime(3.0);

} // namespace
