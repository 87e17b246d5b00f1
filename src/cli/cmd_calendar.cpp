// tradejournal-cli calendar --month YYYY-MM --account ID
// The days of a month that have trades, with their count and net result.
#include "cli/cli_support.h"
#include "cli/commands.h"
#include "cli/trade_filter_options.h"

#include "db/core/sqlite_database.h"
#include "stats/core/report_trades.h"
#include "stats/core/trade_calendar.h"

#include <QDate>

int runCalendar(const QStringList& arguments)
{
    QStringList args = arguments;
    const std::optional<QString> monthText = cli::takeOption(args, QStringLiteral("--month"));
    const QDate month = QDate::fromString(monthText.value_or(QString()) + QStringLiteral("-01"), Qt::ISODate);
    cli::FilteredRequest request;
    const int code = month.isValid() ? cli::takeFilteredRequest(args, false, request) : 2;
    if (code == 2)
        return cli::usageError(QStringLiteral("calendar"));
    if (code != 0)
        return code;
    CalendarMonth c;
    try {
        const ReportTrades trades(request.journal->db(), request.account);
        c = buildCalendarMonth(trades, selectTrades(trades, request.filter), month.year(), month.month());
        // A trade left out by the filter is still named when its money does not read.
        c.stop(trades.moneyProblem());
    } catch (const ESQLiteException& e) {
        cli::err(e.message());
        return 1;
    }
    cli::tsvLine({QStringLiteral("date"), QStringLiteral("trades"), QStringLiteral("net")});
    for (int d = 1; d <= static_cast<int>(c.days.size()); ++d) {
        const CalendarCell& cell = c.days[static_cast<size_t>(d - 1)];
        if (cell.trades > 0)
            cli::tsvLine({QDate(month.year(), month.month(), d).toString(Qt::ISODate), QString::number(cell.trades),
                          cli::pointNumber(cell.net, 2)});
    }
    if (!c.complete()) {
        cli::err(QStringLiteral("Ошибка - Во время обновление данных: ") + c.problem);
        return 1;
    }
    return 0;
}
