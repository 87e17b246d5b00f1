// tradejournal-cli analysis --account ID --from YYYY-MM-DD --to YYYY-MM-DD
// The period analysis as the page "Анализ" shows it.
#include "cli/cli_support.h"
#include "cli/commands.h"
#include "cli/tsv_writer.h"
#include "stats/core/period_analysis.h"

#include <QDate>

int runAnalysisCommand(const QStringList& arguments)
{
    QStringList args = arguments;
    auto journal = cli::openJournal(args);
    if (!journal)
        return 1;
    const auto account = cli::takeOption(args, QStringLiteral("--account"));
    const auto from = cli::takeOption(args, QStringLiteral("--from"));
    const auto to = cli::takeOption(args, QStringLiteral("--to"));
    const QDate start = QDate::fromString(from.value_or(QString()), Qt::ISODate);
    const QDate end = QDate::fromString(to.value_or(QString()), Qt::ISODate);
    if (!account || !start.isValid() || !end.isValid() || !args.isEmpty())
        return cli::usageError(QStringLiteral("analysis"));
    if (!cli::requireAccount(*journal, *account))
        return 1;
    // Each trade is printed as it is read, from its stored bytes: nothing
    // is kept per trade.
    cli::TsvWriter tsv;
    tsv.utf8Line(analysisDateLabel(start).toUtf8());
    tsv.utf8Line(analysisHeaders().join(u'\t').toUtf8());
    const AnalysisTotals a = readPeriodAnalysis(journal->db(), *account, start, end, [&](const AnalysisTrade& trade) {
        for (const QByteArrayView cell : trade.cells)
            tsv.cell(cell);
        tsv.endLine();
    });
    tsv.flush();
    cli::out(a.dayLabel() + u'\n');
    if (!a.complete()) {
        cli::err(QStringLiteral("Ошибка - Во время обновление данных: ") + a.problem);
        return 1;
    }
    return 0;
}
