// The copy of a 6 711-trade statement through the real main window,
// offscreen: from the click on "2. Скопировать сделки на счет" to the trade
// table page shown with every refresh that follows the copy. Also the
// activation of an account that holds those trades (what start-up does).
#include "accounts/core/account_store.h"
#include "accounts/ui/accounts_page.h"
#include "context/core/journal.h"
#include "context/core/prompts.h"
#include "shell/main_window.h"
#include "db/core/schema_setup.h"
#include "import/ui/import_panel.h"
#include "stats/ui/trade_table_page.h"

#include "statement_generator.h"
#include "widget_by_name.h"

#include <QApplication>
#include <QFile>
#include <QLabel>
#include <QPushButton>
#include <QTabWidget>
#include <QTableView>
#include <QTemporaryDir>

#include <benchmark/benchmark.h>

#include <cstdio>
#include <memory>

namespace {

constexpr int kTrades = 6711;

// Any message is a failure of the run; the file dialog answers the statement.
class BenchPrompts : public Prompts {
public:
    QString file;
    QStringList shown;
    void showMessage(Icon, const QString&, const QString& text) override { shown << text; }
    bool confirm(const QString&) override { return true; }
    std::optional<QString> askText(const QString&, const QString&, const QString&) override { return std::nullopt; }
    std::optional<QString> chooseFile(const FileRequest&) override { return file; }
};

QString schema()
{
    QFile f(QStringLiteral(TJ_SCHEMA_SQL));
    if (!f.open(QIODevice::ReadOnly))
        std::abort();
    return QString::fromUtf8(f.readAll());
}

const QString& statementPath()
{
    static QTemporaryDir dir;
    static const QString path = [] {
        const QString p = dir.filePath(QStringLiteral("statement.htm"));
        QFile f(p);
        if (!f.open(QIODevice::WriteOnly) || f.write(statementgen::mt4Statement(kTrades).bytes) < 0)
            std::abort();
        return p;
    }();
    return path;
}

// A program folder with one account (capital 0, as the dialog offers) and
// the main window over it, shown and started.
struct Window {
    QTemporaryDir dir;
    std::unique_ptr<Journal> journal;
    BenchPrompts prompts;
    std::unique_ptr<TForm1> window;

    explicit Window(bool withTrades)
    {
        createDatabaseFromSchema(dir.filePath(QStringLiteral("datamoney.db")), schema());
        journal = std::make_unique<Journal>(dir.path());
        journal->openDatabase();
        AccountRecord account;
        account.name = QStringLiteral("bench");
        account.capital = QStringLiteral("0");
        AccountStore(journal->db(), dir.filePath(QStringLiteral("img"))).addAccount(account);
        prompts.file = statementPath();
        window = std::make_unique<TForm1>(*journal, prompts);
        window->resize(1600, 900);
        window->show();
        QApplication::processEvents();
        if (withTrades)
            copy();
    }
    void activate()
    {
        AccountsPage* accounts = window->accountsPage();
        widgetByName<QTableView>(accounts, "ListView1")->selectRow(0);
        accounts->activateAccount();
        QApplication::processEvents();
    }
    void copy()
    {
        activate();
        widgetByName<QPushButton>(window->importPanel(), "BitBtn2")->click();
        widgetByName<QPushButton>(window->importPanel(), "BitBtn3")->click();
        QApplication::processEvents();
    }
};

void BM_GuiCopyIntoNewAccount(benchmark::State& state)
{
    statementPath();
    for (auto _ : state) {
        state.PauseTiming();
        auto w = std::make_unique<Window>(false);
        w->activate();
        widgetByName<QPushButton>(w->window->importPanel(), "BitBtn2")->click(); // opening and the preview are not timed
        QApplication::processEvents();
        state.ResumeTiming();
        widgetByName<QPushButton>(w->window->importPanel(), "BitBtn3")->click();
        QApplication::processEvents();
        state.PauseTiming();
        if (pageTabs(w->window.get())->currentIndex() != TForm1::PageTrades
            || widgetByName<QTableView>(w->window->tradeTablePage(), "StringGrid_All")->model()->rowCount() < kTrades)
            state.SkipWithError("the trade table does not show the copied trades");
        if (!w->prompts.shown.isEmpty())
            state.SkipWithError(qPrintable(w->prompts.shown.join(u'|')));
        w.reset();
        state.ResumeTiming();
    }
}
BENCHMARK(BM_GuiCopyIntoNewAccount)->Unit(benchmark::kMillisecond)->Iterations(3);

void BM_ActivateAccountWithTrades(benchmark::State& state)
{
    Window w(true); // set up before the timed loop
    for (auto _ : state)
        w.activate();
}
BENCHMARK(BM_ActivateAccountWithTrades)->Unit(benchmark::kMillisecond)->Iterations(5);

} // namespace
