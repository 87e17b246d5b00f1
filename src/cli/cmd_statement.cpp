// tradejournal-cli statement FILE: what a statement says besides its trades
// and whether its trades add up to its own totals, as key<TAB>value lines.
#include "cli/cli_support.h"
#include "import/core/report_file.h"
#include "import/core/statement_facts.h"
#include "import/core/trade_extraction.h"

#include <cstdio>

namespace {

QString plain(const std::optional<qint64>& cents) { return cents ? centsPlain(*cents) : QString(); }

} // namespace

int runStatement(const QStringList& args)
{
    if (args.size() != 1 || args[0].startsWith(QLatin1String("--")))
        return cli::usageError(QStringLiteral("statement"));
    QByteArray text;
    try {
        text = readTextFile(args[0]);
    } catch (const ReportReadError& e) {
        cli::err(e.message());
        return 1;
    }
    const ReportKind kind = recognizeReport(text);
    if (kind == ReportKind::None) {
        cli::err(notAReportMessage());
        return 1;
    }
    const Extraction extraction = extractTrades(text, kind);
    if (!extraction.complete()) {
        cli::err(extraction.problem);
        return 1;
    }
    const StatementFacts facts = readStatementFacts(text, kind);
    const Reconciliation r = reconcile(facts, extraction.rows);
    const std::pair<const char*, QString> lines[] = {
        {"account", facts.account},
        {"name", facts.name},
        {"currency", facts.currency},
        {"trades", QString::number(r.trades)},
        {"deposits", plain(r.deposits)},
        {"closed_pl_statement", plain(facts.closedPl)},
        {"closed_pl_trades", plain(r.tradesNet)},
        {"balance_statement", plain(facts.balance)},
        {"opening_balance", plain(r.openingBalance)},
        {"reconciled", r.reconciled ? QStringLiteral("yes") : QStringLiteral("no")},
    };
    for (const auto& [key, value] : lines)
        cli::tsvLine({QString::fromLatin1(key), value});
    if (!r.reconciled)
        cli::err(QStringLiteral("Отчет не сверяется со своими итогами: ") + r.reason());
    return 0;
}
