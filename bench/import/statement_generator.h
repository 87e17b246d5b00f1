#pragma once

#include <QByteArray>
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
// open positions and the summary.
Generated mt4Statement(int closedTrades, unsigned seed = 1);

// A MetaTrader 5 trade history report in UTF-16LE with a byte order mark:
// positions, orders and deals, each position opened by an "in" deal and
// closed by an "out" or by the "in/out" of a reversal. withCostAndFee writes
// the deal rows of newer terminals (15 cells, a hidden Cost and a Fee);
// otherwise the 13 cells of older ones.
Generated mt5Report(int closedTrades, unsigned seed = 1, bool withCostAndFee = true);

} // namespace statementgen
