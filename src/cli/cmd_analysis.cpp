// tradejournal-cli analysis --account ID --from YYYY-MM-DD --to YYYY-MM-DD
// The period analysis as the page "Анализ" shows it.
#include "cli/cli_support.h"
#include "cli/commands.h"
#include "cli/tsv_writer.h"
#include "stats/core/period_analysis.h"

#include <QDate>

#include <memory>
#include <string>
#include <utility>

namespace {

// A part's lines without their numbers ("№"), each ending in a line break;
// their room is made at the first on the part's own thread. On cache lines
// of its own: the parts' threads write their keepers at every trade.
class alignas(64) LinesPart : public AnalysisPart {
public:
    explicit LinesPart(qint64 trades)
        : m_expected(trades)
    {
    }
    void take(const AnalysisTrade& trade) override
    {
        if (m_expected > 0)
            text.reserve(static_cast<size_t>(std::exchange(m_expected, 0)) * kLineBytes);
        for (int column = analysiscol::Id; column < kAnalysisColumns; ++column) {
            if (column > analysiscol::Id)
                text.push_back('\t');
            cli::appendTsvText(text, trade.cells[column]);
        }
        text.push_back('\n');
    }
    cli::LargeText text;

private:
    static constexpr size_t kLineBytes = 112; // about what a trade's line takes
    qint64 m_expected;
};

} // namespace

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
    // is kept per trade. A large account read in parts at once has its
    // first part printed as it is read and the later parts' lines made on
    // their own threads, numbered as they are printed.
    cli::TsvWriter tsv;
    tsv.utf8Line(analysisDateLabel(start).toUtf8());
    tsv.utf8Line(analysisHeaders().join(u'\t').toUtf8());
    const AnalysisParts parts{[](qint64 trades, qint64) { return std::make_unique<LinesPart>(trades); },
                              [&](AnalysisPart& part, qint64 before) {
                                  LinesPart& lines = static_cast<LinesPart&>(part);
                                  tsv.numberedLines(before + 1, std::string_view(lines.text.data(), lines.text.size()));
                                  lines.text = cli::LargeText(); // printed: its memory goes back
                              },
                              true};
    const AnalysisTotals a = readPeriodAnalysis(
        journal->db(), *account, start, end,
        [&](const AnalysisTrade& trade) {
            for (const QByteArrayView cell : trade.cells)
                tsv.cell(cell);
            tsv.endLine();
        },
        {}, &parts);
    tsv.flush();
    cli::out(a.dayLabel() + u'\n');
    if (!a.complete()) {
        cli::err(QStringLiteral("Ошибка - Во время обновление данных: ") + a.problem);
        return 1;
    }
    return 0;
}
