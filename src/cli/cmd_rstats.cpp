// tradejournal-cli rstats --account ID [--from D] [--to D]
// The R-multiples of an account's trades with a stop loss: how many, their
// mean, SQN, the largest and the smallest.
#include "cli/cli_support.h"
#include "cli/commands.h"
#include "cli/trade_filter_options.h"

#include "db/core/sqlite_database.h"
#include "stats/core/r_multiples.h"
#include "stats/core/report_trades.h"

int runRStats(const QStringList& arguments)
{
    QStringList args = arguments;
    cli::FilteredRequest request;
    const int code = cli::takeFilteredRequest(args, false, request);
    if (code == 2)
        return cli::usageError(QStringLiteral("rstats"));
    if (code != 0)
        return code;
    RStats s;
    QString problem;
    try {
        const ReportTrades trades(request.journal->db(), request.account);
        std::vector<double> rs;
        for (const int row : selectTrades(trades, request.filter)) {
            if (const std::optional<double> r = trades.r(row))
                rs.push_back(*r);
        }
        s = computeRStats(rs);
        // R needs no money, but a trade whose money does not read is named
        // as in every figure of the account.
        problem = trades.moneyProblem();
    } catch (const ESQLiteException& e) {
        cli::err(e.message());
        return 1;
    }
    cli::tsvLine({QStringLiteral("trades_with_r"), QString::number(s.count)});
    cli::tsvLine({QStringLiteral("average_r"), cli::pointNumber(s.average, 4)});
    cli::tsvLine({QStringLiteral("sqn"), cli::pointNumber(s.sqn, 4)});
    cli::tsvLine({QStringLiteral("max_r"), cli::pointNumber(s.largest, 4)});
    cli::tsvLine({QStringLiteral("min_r"), cli::pointNumber(s.smallest, 4)});
    if (!problem.isEmpty()) {
        cli::err(QStringLiteral("Ошибка - Во время обновление данных: ") + problem);
        return 1;
    }
    return 0;
}
