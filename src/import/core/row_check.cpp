#include "import/core/row_check.h"

#include "db/core/cp1251.h"
#include "import/core/statement_facts.h"

#include <QSet>

namespace {

// bytes: the caller's buffer, reused from cell to cell.
bool isNumber(const QString& text, QByteArray& bytes)
{
    cp1251::encodeInto(text, bytes);
    return parseStatementCents(std::string_view(bytes.constData(), static_cast<size_t>(bytes.size()))).has_value();
}

bool isTime(const QString& t)
{
    if (t.size() < 10)
        return false;
    for (int i = 0; i < 10; ++i) {
        const QChar c = t[i];
        if ((i == 4 || i == 7) ? c != u'.' : !c.isDigit())
            return false;
    }
    return true;
}

constexpr int kNumbers[] = {StatementRow::Size,       StatementRow::PriceOpen,  StatementRow::StopLoss,
                            StatementRow::TakeProfit, StatementRow::PriceClose, StatementRow::Commission,
                            StatementRow::Taxes,      StatementRow::Swap,       StatementRow::Profit};

} // namespace

QString RowProblem::describe() const
{
    const QString header = previewHeaderTexts()[column];
    const bool time = column == StatementRow::OpenTime || column == StatementRow::CloseTime;
    return QStringLiteral("Сделка %1: %2 «%3» не является %4")
        .arg(ticket, header, text, time ? QStringLiteral("датой и временем") : QStringLiteral("числом"));
}

std::vector<RowProblem> checkStatementRows(const std::vector<StatementRow>& rows)
{
    std::vector<RowProblem> problems;
    QByteArray bytes;
    for (size_t r = 0; r < rows.size(); ++r) {
        const StatementRow& row = rows[r];
        auto add = [&](int column) {
            problems.push_back({static_cast<int>(r), column, row[StatementRow::Ticket], row[column]});
        };
        if (!isTime(row[StatementRow::OpenTime]))
            add(StatementRow::OpenTime);
        // MetaTrader 5 rows read from deals have no close: "0".
        const QString& closed = row[StatementRow::CloseTime];
        if (closed != QLatin1String("0") && !isTime(closed))
            add(StatementRow::CloseTime);
        for (const int column : kNumbers) {
            // A volume closed in parts reads "0.05 / 0.1"; it is kept as the statement wrote it.
            if (column == StatementRow::Size && row[column].contains(u'/'))
                continue;
            if (!isNumber(row[column], bytes))
                add(column);
        }
    }
    return problems;
}

std::vector<StatementRow> rowsWithoutProblems(const std::vector<StatementRow>& rows,
                                              const std::vector<RowProblem>& problems)
{
    QSet<int> bad;
    for (const RowProblem& p : problems)
        bad.insert(p.row);
    std::vector<StatementRow> good;
    good.reserve(rows.size());
    for (size_t r = 0; r < rows.size(); ++r)
        if (!bad.contains(static_cast<int>(r)))
            good.push_back(rows[r]);
    return good;
}

QString problemsLine(const std::vector<RowProblem>& problems)
{
    if (problems.empty())
        return {};
    QSet<int> rows;
    for (const RowProblem& p : problems)
        rows.insert(p.row);
    return QStringLiteral("Сделок с ошибками: %1, они не будут скопированы. %2")
        .arg(rows.size())
        .arg(problems.front().describe());
}
