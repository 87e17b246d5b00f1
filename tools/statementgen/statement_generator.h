#pragma once

#include <QByteArray>
#include <QString>
#include <QStringList>

// Writes realistic MetaTrader statements of any size for benchmarks, tests
// and the examples. Everything depends on the seed only.
namespace statementgen {

struct Generated {
    QByteArray bytes;          // the file as the terminal writes it
    QStringList closedTickets; // the tickets a correct import lists, in order
};

// A detailed MetaTrader 4 statement in Windows-1251: closed trades with
// commissions, swaps and money written with blanks between digit groups
// ("-1 234.56"), deposits and withdrawals, cancelled pending orders, a few
// open positions, and the summary and details whose totals the trades add up
// to. currency: the account's, written in the header.
Generated mt4Statement(int closedTrades, unsigned seed = 1, const QString& currency = QStringLiteral("USD"));

enum class Mt5Layout {
    Current,   // Positions table; deals of 15 cells, a hidden Cost and a Fee (newer terminals)
    Older,     // Positions table; deals of 13 cells (older terminals)
    DealsOnly, // no Positions table, deals as Current: a report read by its deals
};

// A MetaTrader 5 trade history report in UTF-16LE with a byte order mark:
// positions (as the terminal's template writes them, a hidden comment cell
// spanning eight columns), orders and deals. Each position is opened by an
// "in" deal and closed by an "out", now and then in two parts (its volume
// then written "closed / initial"), or by the "in/out" of a reversal. The
// closed tickets are the position numbers, or the closing deals' numbers
// when there is no Positions table.
// The account's state and the results close the report, its trades adding
// up to the net profit.
Generated mt5Report(int closedTrades, unsigned seed = 1, Mt5Layout layout = Mt5Layout::Current,
                    const QString& currency = QStringLiteral("USD"));

} // namespace statementgen
