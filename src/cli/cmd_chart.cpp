// tradejournal-cli chart: the balance curve of an account and the totals
// of the chart's side panel.
#include "cli/commands.h"

#include "db/core/numbers.h"
#include "db/core/records.h"
#include "db/core/sqlite_database.h"
#include "stats/core/balance_chart.h"

#include <QFileInfo>

#include <cstdio>

namespace {

void printLine(const QString& line) { std::printf("%s\n", line.toUtf8().constData()); }

int usage()
{
    std::fprintf(stderr, "Usage: tradejournal-cli chart --account ID [--balance N] [--db FILE]\n");
    return 2;
}

// The initial balance the account page would show: the account's capital.
QString accountCapital(TSQLiteDatabase& db, const QString& account)
{
    const auto rows = db.openResultTable(QStringLiteral("SELECT * FROM t_chet WHERE id=?"), {account});
    if (rows->atEnd())
        return QStringLiteral("0");
    return AccountColumns(*rows).read(*rows).capital;
}

} // namespace

int runChart(const QStringList& args)
{
    QString account;
    QString db = QStringLiteral("datamoney.db");
    std::optional<QString> balance;
    for (qsizetype i = 0; i < args.size(); ++i) {
        const QString& a = args[i];
        if (i + 1 >= args.size())
            return usage();
        if (a == QLatin1String("--account"))
            account = args[++i];
        else if (a == QLatin1String("--db"))
            db = args[++i];
        else if (a == QLatin1String("--balance"))
            balance = args[++i];
        else
            return usage();
    }
    if (account.isEmpty())
        return usage();
    if (!QFileInfo::exists(db)) {
        std::fprintf(stderr, "tradejournal-cli: no database %s\n", qPrintable(db));
        return 1;
    }
    try {
        TSQLiteDatabase database(db);
        const QString start = balance ? *balance : accountCapital(database, account);
        const BalanceChart chart = buildBalanceChartData(database, account, start);
        printLine(QStringLiteral("#\tБаланс\tБез комиссии"));
        for (size_t k = 0; k < chart.balanceCurve.size(); ++k)
            printLine(QStringLiteral("%1\t%2\t%3")
                          .arg(k)
                          .arg(num::formatGeneral(chart.balanceCurve[k]), num::formatGeneral(chart.noCommissionCurve[k])));
        printLine(chart.withCommissionText());
        printLine(chart.withoutCommissionText());
        printLine(chart.commissionText());
        printLine(chart.swapsText());
        if (chart.failed) {
            std::fprintf(stderr, "Ошибка - Во время обновление данных: %s\n", chart.failure.toUtf8().constData());
            return 1;
        }
    } catch (const ESQLiteException& e) {
        std::fprintf(stderr, "%s\n", e.message().toUtf8().constData());
        return 1;
    }
    return 0;
}
