// tradejournal-cli days / weeks --account ID --from YYYY-MM-DD --to YYYY-MM-DD
// The day and the week table of the page "По дням". The two commands differ
// only in the builder they call, so they share this file.
#include "cli/cli_support.h"
#include "cli/commands.h"

#include "db/core/sqlite_database.h"
#include "stats/core/period_tables.h"

#include <QDate>

namespace {

using Builder = PeriodTable (*)(TSQLiteDatabase&, const QString&, const QDateTime&, const QDateTime&, const QString&);

int runPeriodTable(const char* command, Builder build, const QStringList& arguments)
{
    QStringList args = arguments;
    const auto account = cli::takeOption(args, QStringLiteral("--account"));
    const auto from = cli::takeOption(args, QStringLiteral("--from"));
    const auto to = cli::takeOption(args, QStringLiteral("--to"));
    const auto balance = cli::takeOption(args, QStringLiteral("--balance"));
    auto journal = cli::openJournal(args);
    if (!journal)
        return 1;
    // The pickers' values: the dates at 00:00.
    const QDate start = QDate::fromString(from.value_or(QString()), Qt::ISODate);
    const QDate end = QDate::fromString(to.value_or(QString()), Qt::ISODate);
    if (!account || !start.isValid() || !end.isValid() || !args.isEmpty())
        return cli::usageError(QLatin1String(command));
    if (!cli::requireAccount(*journal, *account))
        return 1;
    try {
        const QString initial = balance ? *balance : cli::accountCapital(*journal, *account);
        const PeriodTable table = build(journal->db(), *account, start.startOfDay(), end.startOfDay(), initial);
        cli::tsvTable(table.texts);
        if (!table.complete()) {
            cli::err(QStringLiteral("Ошибка - Во время обновление данных: ") + table.problem);
            return 1;
        }
    } catch (const ESQLiteException& e) {
        cli::err(e.message());
        return 1;
    }
    return 0;
}

} // namespace

int runDays(const QStringList& args) { return runPeriodTable("days", buildDayTable, args); }
int runWeeks(const QStringList& args) { return runPeriodTable("weeks", buildWeekTable, args); }
