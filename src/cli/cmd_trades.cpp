// tradejournal-cli trades: the trade table of an account, as the page
// "База данных" shows it.
#include "cli/cli_support.h"
#include "cli/commands.h"

#include "db/core/sqlite_database.h"
#include "stats/core/trade_table.h"

namespace {

// The cell that ends text, from position from on, as tsvLine writes a cell:
// tabs and line breaks become spaces ("\r\n" one space).
void tsvCellInPlace(QString& text, qsizetype from)
{
    for (qsizetype i = from; i < text.size(); ++i) {
        const char16_t c = std::as_const(text)[i].unicode();
        if (c == u'\r' && i + 1 < text.size() && std::as_const(text)[i + 1] == u'\n') {
            text[i] = u' ';
            text.remove(i + 1, 1);
        } else if (c == u'\t' || c == u'\n' || c == u'\r') {
            text[i] = u' ';
        }
    }
}

} // namespace

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
    // The lines as tsvLine writes them, gathered into one buffer written a
    // few hundred rows at a time.
    QString lines;
    for (int row = 0; row < table.rowCount(); ++row) {
        for (int col = 0; col < tradecol::Count; ++col) {
            if (col)
                lines += u'\t';
            const qsizetype from = lines.size();
            table.appendCell(row, col, lines);
            tsvCellInPlace(lines, from);
        }
        lines += u'\n';
        if (lines.size() > 64 * 1024) {
            cli::out(lines);
            lines.clear();
        }
    }
    cli::out(lines);
    cli::out(table.summary() + u'\n');
    if (!table.complete()) {
        cli::err(QStringLiteral("Ошибка - Во время обновление данных: ") + table.problem);
        return 1;
    }
    return 0;
}
