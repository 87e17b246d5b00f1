// tradejournal-cli trades: the trade table of an account, as the page
// "База данных" shows it.
#include "cli/commands.h"

#include "db/core/sqlite_database.h"
#include "stats/core/trade_table.h"

#include <QFileInfo>

#include <cstdio>

namespace {

void printLine(const QString& line) { std::printf("%s\n", line.toUtf8().constData()); }

int usage()
{
    std::fprintf(stderr, "Usage: tradejournal-cli trades --account ID [--order profit|date] [--db FILE]\n");
    return 2;
}

} // namespace

int runTrades(const QStringList& args)
{
    QString account;
    QString db = QStringLiteral("datamoney.db");
    TradeOrder order = TradeOrder::Profit;
    for (qsizetype i = 0; i < args.size(); ++i) {
        const QString& a = args[i];
        if (i + 1 >= args.size())
            return usage();
        if (a == QLatin1String("--account"))
            account = args[++i];
        else if (a == QLatin1String("--db"))
            db = args[++i];
        else if (a == QLatin1String("--order")) {
            const QString o = args[++i];
            if (o != QLatin1String("profit") && o != QLatin1String("date"))
                return usage();
            order = o == QLatin1String("date") ? TradeOrder::Date : TradeOrder::Profit;
        } else
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
        const TradeTable table = buildTradeTable(database, account, order);
        printLine(tradeTableHeaders().join(u'\t'));
        for (int row = 0; row < table.rowCount(); ++row) {
            QStringList cells;
            for (int col = 0; col < tradecol::Count; ++col)
                cells.append(table.cell(row, col));
            printLine(cells.join(u'\t'));
        }
        printLine(table.summary());
        if (table.failed) {
            std::fprintf(stderr, "Ошибка - Во время обновление данных: %s\n", table.failure.toUtf8().constData());
            return 1;
        }
    } catch (const ESQLiteException& e) {
        std::fprintf(stderr, "%s\n", e.message().toUtf8().constData());
        return 1;
    }
    return 0;
}
