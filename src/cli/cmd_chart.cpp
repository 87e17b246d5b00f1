// tradejournal-cli chart: the balance curve of an account and the totals
// of the chart's side panel.
#include "cli/cli_support.h"
#include "cli/commands.h"

#include "db/core/numbers.h"
#include "db/core/sqlite_database.h"
#include "stats/core/balance_chart.h"


int runChart(const QStringList& arguments)
{
    QStringList args = arguments;
    const auto account = cli::takeOption(args, QStringLiteral("--account"));
    const auto balance = cli::takeOption(args, QStringLiteral("--balance"));
    auto journal = cli::openJournal(args);
    if (!journal)
        return 1;
    if (!account || !args.isEmpty())
        return cli::usageError(QStringLiteral("chart"));
    if (!cli::requireAccount(*journal, *account))
        return 1;
    try {
        const QString start = balance ? *balance : cli::accountCapital(*journal, *account);
        const BalanceChart chart = buildBalanceChartData(journal->db(), *account, start);
        cli::tsvLine({QStringLiteral("#"), QStringLiteral("Баланс"), QStringLiteral("Без комиссии")});
        for (size_t k = 0; k < chart.balanceCurve.size(); ++k)
            cli::tsvLine({QString::number(k), num::formatGeneral(chart.balanceCurve[k]),
                          num::formatGeneral(chart.noCommissionCurve[k])});
        for (const QString& line : {chart.withCommissionText(), chart.withoutCommissionText(), chart.commissionText(),
                                    chart.swapsText()})
            cli::out(line + u'\n');
        if (!chart.complete()) {
            cli::err(QStringLiteral("Ошибка - Во время обновление данных: ") + chart.problem);
            return 1;
        }
    } catch (const ESQLiteException& e) {
        cli::err(e.message());
        return 1;
    }
    return 0;
}
