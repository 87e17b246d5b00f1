// tradejournal-cli stats --account ID [filters]
// The trading metrics of the trades a filter takes, as on "Показатели"
// with the page's filter bar: key<TAB>value lines.
#include "cli/cli_support.h"
#include "cli/commands.h"
#include "cli/trade_filter_options.h"

#include "db/core/cash_store.h"
#include "db/core/sqlite_database.h"
#include "stats/core/report_trades.h"
#include "stats/core/trading_metrics.h"

int runStats(const QStringList& arguments)
{
    QStringList args = arguments;
    cli::FilteredRequest request;
    const int code = cli::takeFilteredRequest(args, true, request);
    if (code == 2)
        return cli::usageError(QStringLiteral("stats"));
    if (code != 0)
        return code;
    TradingMetrics m;
    try {
        Journal& journal = *request.journal;
        const ReportTrades trades(journal.db(), request.account);
        m = buildTradingMetrics(trades, selectTrades(trades, request.filter),
                                cli::accountCapital(journal, request.account),
                                CashStore(journal.db()).list(request.account));
        // A trade left out by the filter is still named when its money does not read.
        m.stop(trades.moneyProblem());
    } catch (const ESQLiteException& e) {
        cli::err(e.message());
        return 1;
    }
    for (int i = 0; i < metricrow::Count; ++i) {
        const std::optional<double>& v = m.values[static_cast<size_t>(i)];
        QString value;
        switch (i) {
        case metricrow::Trades: case metricrow::WinningStreak: case metricrow::LosingStreak:
        case metricrow::TradesWithR:
            value = v ? QString::number(static_cast<qint64>(*v)) : QString();
            break;
        case metricrow::DrawdownDates:
            value = m.texts.rowCount() > i && m.texts.cellText(i, 1) != QStringLiteral("—") ? m.texts.cellText(i, 1)
                                                                                           : QString();
            break;
        case metricrow::AverageR: case metricrow::ExpectancyR: case metricrow::Sqn: case metricrow::LargestR:
        case metricrow::SmallestR:
            value = cli::pointNumber(v, 4);
            break;
        default:
            value = cli::pointNumber(v, 2);
        }
        cli::tsvLine({QLatin1String(metricKeys()[static_cast<size_t>(i)]), value});
    }
    if (!m.complete()) {
        cli::err(QStringLiteral("Ошибка - Во время обновление данных: ") + m.problem);
        return 1;
    }
    return 0;
}
