// tradejournal-cli trades: the trade table of an account, as the page
// "База данных" shows it.
#include "cli/cli_support.h"
#include "cli/commands.h"

#include "db/core/sqlite_database.h"
#include "stats/core/trade_table.h"


int runTrades(const QStringList& arguments)
{
    QStringList args = arguments;
    const auto account = cli::takeOption(args, QStringLiteral("--account"));
    const QString orderText = cli::takeOption(args, QStringLiteral("--order")).value_or(QStringLiteral("profit"));
    auto journal = cli::openJournal(args);
    if (!journal)
        return 1;
    if (!account || !args.isEmpty() || (orderText != QLatin1String("profit") && orderText != QLatin1String("date")))
        return cli::usageError(QStringLiteral("trades"));
    if (!cli::requireAccount(*journal, *account))
        return 1;
    const TradeOrder order = orderText == QLatin1String("date") ? TradeOrder::Date : TradeOrder::Profit;
    const TradeTable table = buildTradeTable(journal->db(), *account, order);
    cli::tsvLine(tradeTableHeaders());
    for (int row = 0; row < table.rowCount(); ++row) {
        QStringList cells;
        for (int col = 0; col < tradecol::Count; ++col)
            cells.append(table.cell(row, col));
        cli::tsvLine(cells);
    }
    cli::out(table.summary() + u'\n');
    if (!table.complete()) {
        cli::err(QStringLiteral("Ошибка - Во время обновление данных: ") + table.problem);
        return 1;
    }
    return 0;
}
