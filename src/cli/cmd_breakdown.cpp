// tradejournal-cli breakdown --by KEY --account ID [--from D] [--to D]
// The net results of an account's trades grouped by the open time's hour or
// weekday, the symbol or an annotation field, as TSV.
#include "cli/cli_support.h"
#include "cli/commands.h"
#include "cli/trade_filter_options.h"

#include "db/core/sqlite_database.h"
#include "stats/core/breakdown.h"
#include "stats/core/report_trades.h"

int runBreakdown(const QStringList& arguments)
{
    QStringList args = arguments;
    const std::optional<QString> by = cli::takeOption(args, QStringLiteral("--by"));
    const std::optional<BreakdownKey> key = by ? breakdownKeyFromName(*by) : std::nullopt;
    cli::FilteredRequest request;
    const int code = key ? cli::takeFilteredRequest(args, false, request) : 2;
    if (code == 2)
        return cli::usageError(QStringLiteral("breakdown"));
    if (code != 0)
        return code;
    Breakdown b;
    try {
        const ReportTrades trades(request.journal->db(), request.account);
        b = buildBreakdown(trades, selectTrades(trades, request.filter), *key);
        // A trade left out by the filter is still named when its money does not read.
        b.stop(trades.moneyProblem());
    } catch (const ESQLiteException& e) {
        cli::err(e.message());
        return 1;
    }
    cli::tsvLine({QStringLiteral("key"), QStringLiteral("trades"), QStringLiteral("wins"), QStringLiteral("losses"),
                  QStringLiteral("net"), QStringLiteral("average")});
    for (const BreakdownRow& r : b.rows)
        cli::tsvLine({r.key, QString::number(r.trades), QString::number(r.wins), QString::number(r.losses),
                      cli::pointNumber(r.net, 2), cli::pointNumber(r.average(), 2)});
    if (!b.complete()) {
        cli::err(QStringLiteral("Ошибка - Во время обновление данных: ") + b.problem);
        return 1;
    }
    return 0;
}
