#pragma once

#include "import/core/statement_row.h"

#include <QString>

#include <vector>

// A cell of a statement's trade that does not read as what it must be: a
// number or a time. Such a trade is not copied; the preview and the import
// name it.
struct RowProblem {
    int row = 0;    // position in the rows checked
    int column = 0; // StatementRow column
    QString ticket, text;
    // "Сделка 40000002: Profit «12abc» не является числом"
    QString describe() const;
};

// Every cell of every trade: sizes, prices, S / L, T / P, commission, taxes,
// swap and profit are numbers as the statements write them (a point, blanks
// between groups of digits); the open time, and the close time where there
// is one, begin with a date yyyy.mm.dd. A row may have several problems;
// they come in row order.
std::vector<RowProblem> checkStatementRows(const std::vector<StatementRow>& rows);

// The rows without a problem, in their order.
std::vector<StatementRow> rowsWithoutProblems(const std::vector<StatementRow>& rows,
                                              const std::vector<RowProblem>& problems);

// One line for the trader: the number of trades left out and the first
// problem; empty without problems.
QString problemsLine(const std::vector<RowProblem>& problems);
