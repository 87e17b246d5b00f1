// The change to the page "По дням" in the real main window, offscreen: the
// week and day tables of an account with 100 000 trades over five years,
// built and painted, with the pickers covering all of them.
#include "accounts/ui/accounts_page.h"
#include "context/core/journal.h"
#include "context/core/prompts.h"
#include "shell/main_window.h"
#include "db/core/numbers.h"
#include "db/core/schema_setup.h"
#include "db/core/sqlite_database.h"
#include "stats/core/period_tables.h"
#include "stats/ui/days_page.h"
#include "stats/ui/fit_column_widths.h"

#include "bench_journal.h"
#include "widget_by_name.h"

#include <QApplication>
#include <QDateTimeEdit>
#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QRandomGenerator>
#include <QTabWidget>
#include <QTableView>

#include <benchmark/benchmark.h>

#include <memory>

namespace {

const QDate kFirstDay(2009, 1, 5);

class BenchPrompts : public Prompts {
public:
    QStringList shown;
    void showMessage(Icon, const QString&, const QString& text) override { shown << text; }
    bool confirm(const QString&) override { return false; }
    std::optional<QString> askText(const QString&, const QString&, const QString&) override { return {}; }
    std::optional<QString> chooseFile(const FileRequest&) override { return {}; }
};

void BM_ChangeToDaysPage(benchmark::State& state)
{
    Journal journal(benchJournalFolder()); // 100 000 trades from kFirstDay on
    journal.openDatabase();
    BenchPrompts prompts;
    TForm1 window(journal, prompts);
    window.resize(1600, 900);
    window.show();
    QApplication::processEvents();
    widgetByName<QTableView>(window.accountsPage(), "ListView1")->selectRow(0);
    window.accountsPage()->activateAccount();
    QApplication::processEvents();
    DaysPage& days = *window.daysPage();
    widgetByName<QDateTimeEdit>(&days, "DateTimePicker3")->setDate(kFirstDay.addDays(-1));
    widgetByName<QDateTimeEdit>(&days, "DateTimePicker4")->setDate(kFirstDay.addYears(5).addDays(30));
    const QTableView* dayGrid = widgetByName<QTableView>(&days, "StringGrid_Day");
    int listed = 0;
    for (auto _ : state) {
        pageTabs(&window)->setCurrentIndex(TForm1::PageDays);
        QApplication::processEvents();
        state.PauseTiming();
        listed = dayGrid->model()->rowCount() - 1;
        pageTabs(&window)->setCurrentIndex(TForm1::PageAccounts);
        QApplication::processEvents();
        state.ResumeTiming();
    }
    state.counters["days"] = listed;
    state.counters["weeks"] = widgetByName<QTableView>(&days, "StringGrid_Ned")->model()->rowCount() - 1;
    if (listed < 1500)
        state.SkipWithError("the day table does not list the five years");
    if (!prompts.shown.isEmpty())
        state.SkipWithError(qPrintable(prompts.shown.join(u'|')));
}
BENCHMARK(BM_ChangeToDaysPage)->Unit(benchmark::kMillisecond)->Iterations(10);

// Where the time of the change goes (milliseconds): the two builders, the
// build as the page runs it (models, scrolling, column widths) and the paint.
void BM_DaysPagePhases(benchmark::State& state)
{
    Journal journal(benchJournalFolder()); // 100 000 trades from kFirstDay on
    journal.openDatabase();
    journal.activeAccount = QStringLiteral("1");
    journal.initialBalance = QStringLiteral("10000");
    BenchPrompts prompts;
    DaysPage page(journal, prompts);
    page.resize(1600, 860);
    page.show();
    QApplication::processEvents();
    const QDateTime from(kFirstDay.addDays(-1), QTime(0, 0));
    const QDateTime to(kFirstDay.addYears(5).addDays(30), QTime(0, 0));
    widgetByName<QDateTimeEdit>(&page, "DateTimePicker3")->setDateTime(from);
    widgetByName<QDateTimeEdit>(&page, "DateTimePicker4")->setDateTime(to);
    QTableView* dayGrid = widgetByName<QTableView>(&page, "StringGrid_Day");
    QTableView* weekGrid = widgetByName<QTableView>(&page, "StringGrid_Ned");
    double builders = 0, build = 0, widths = 0, paint = 0;
    auto lap = [](QElapsedTimer& t, double& sum) {
        sum += static_cast<double>(t.nsecsElapsed()) / 1e6;
        t.restart();
    };
    for (auto _ : state) {
        QElapsedTimer t;
        t.start();
        benchmark::DoNotOptimize(buildPeriodTables(journal.db(), journal.activeAccount, from, to, journal.initialBalance));
        lap(t, builders);
        page.Button_DayClick();
        lap(t, build);
        fitColumnWidths(dayGrid);
        fitColumnWidths(weekGrid);
        lap(t, widths);
        page.repaint();
        lap(t, paint);
    }
    const double n = static_cast<double>(state.iterations());
    state.counters["builders"] = builders / n;
    state.counters["page_build"] = build / n;
    state.counters["widths"] = widths / n;
    state.counters["paint"] = paint / n;
}
BENCHMARK(BM_DaysPagePhases)->Unit(benchmark::kMillisecond)->Iterations(5);

} // namespace
