#pragma once

#include "import/core/cell_runs.h"

#include <optional>
#include <string_view>
#include <vector>

// One row of the "Positions" table of a MetaTrader 5 history report: a
// position from its opening to its closing, as slices of the row.
//
// The terminal writes the table's heading in the trader's language, so the
// table is known by the shape of its rows instead: fourteen cells, namely the
// open time, the position number, the symbol, buy or sell, a comment cell
// (hidden in most reports, spanning the eight columns that follow), the
// volume, the open price, S / L, T / P, the close time, the close price, the
// commission, the swap and the profit. No other table of the report has two
// times in its first and tenth cells.
struct ClosedPosition {
    std::string_view openTime, position, symbol, type, volume, openPrice, stopLoss, takeProfit, closeTime,
        closePrice, commission, swap, profit;
};

// Whether a row has exactly the fourteen cell ends of a position row: a
// cheap test that spares splitting the rows of every other table.
bool mayBeClosedPosition(std::string_view row);

// The position a row's cells describe, or nothing for a row of another shape.
std::optional<ClosedPosition> closedPosition(const std::vector<TableCell>& cells);

// The volume a position is stored with. A position closed in parts is
// written "closed / initial" (e.g. "0.05 / 0.1"): its profit, commission and
// close price are those of the closed volume, so that is its size. Any other
// text is taken as written.
std::string_view closedVolume(std::string_view volume);
