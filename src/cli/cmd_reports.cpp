// tradejournal-cli reports --account ID [--data DIR]
// The eight category reports of the page "Отчеты" with the lists of the
// program folder, then the account's trading metrics and its result by
// month: each table under its title, tables apart by an empty line.
#include "cli/cli_support.h"
#include "cli/commands.h"
#include "db/core/cash_store.h"

#include "db/core/numbers.h"
#include "db/core/sqlite_database.h"
#include "stats/core/category_reports.h"
#include "stats/core/report_trades.h"
#include "stats/core/trading_metrics.h"

namespace {

void printTable(const QString& title, const TextTable& table)
{
    cli::tsvLine({title});
    cli::tsvTable(table);
}

} // namespace

int runReports(const QStringList& arguments)
{
    QStringList args = arguments;
    const auto account = cli::takeOption(args, QStringLiteral("--account"));
    auto journal = cli::openJournal(args);
    if (!journal)
        return 1;
    if (!account || !args.isEmpty())
        return cli::usageError(QStringLiteral("reports"));
    if (!cli::requireAccount(*journal, *account))
        return 1;
    if (!journal->lists.loadAll(journal->appDir())) {
        cli::err(QStringLiteral("Не удалось прочитать справочники в папке %1").arg(journal->path(QStringLiteral("sprav"))));
        return 1;
    }
    QStringList problems;
    try {
        const ReportTrades trades(journal->db(), *account);
        const CategoryReports reports = buildCategoryReports(trades, journal->lists);
        const TradingMetrics metrics = buildTradingMetrics(trades, cli::accountCapital(*journal, *account),
                                                           CashStore(journal->db()).list(*account));
        for (const CategoryReport& report : reports.reports) {
            printTable(report.title, report.texts);
            cli::out(QStringLiteral("\n"));
            problems << report.failures;
        }
        printTable(QStringLiteral("Показатели"), metrics.texts);
        cli::out(QStringLiteral("\n"));
        cli::tsvLine({QStringLiteral("Результат по месяцам")});
        cli::tsvLine({QStringLiteral("Месяц"), QStringLiteral("Результат")});
        for (const MonthResult& m : metrics.months)
            cli::tsvLine({m.month.toString(QStringLiteral("MM.yyyy")), num::money(m.result)});
        if (!metrics.complete())
            problems << metrics.problem;
    } catch (const ESQLiteException& e) {
        cli::err(e.message());
        return 1;
    }
    for (const QString& problem : problems)
        cli::err(QStringLiteral("Ошибка - Во время обновление данных: ") + problem);
    return problems.isEmpty() ? 0 : 1;
}
