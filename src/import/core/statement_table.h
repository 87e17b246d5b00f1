#pragma once

#include <cstddef>
#include <functional>
#include <string_view>
#include <vector>

// A forgiving reading of a statement's table rows and cells. The terminals
// write plain HTML 4 without nesting tables, but rows and cells are not
// always closed: a row ends at its closing tag, at the next row or at the end
// of the text; a cell ends at its closing tag, at the next cell or at the end
// of its row. Tag names are matched without regard to case.
namespace statement_table {

struct Cell {
    bool header = false;    // <th>
    std::string_view attrs; // between the name and '>'
    std::string_view inner; // the markup inside
};

struct Row {
    std::string_view attrs;
    std::vector<Cell> cells;
};

// The cells of the markup inside one row, in order, into `cells`.
void cellsOf(std::string_view row, std::vector<Cell>& cells);

// Hands every row of the text to `onRow`, in order. The row (and its cells,
// slices of the text) is valid only during the call.
void forEachRow(std::string_view text, const std::function<void(const Row&)>& onRow);

// The first place of a lower-case needle at or after `from`, ignoring case
// (ASCII), or npos.
std::size_t findCi(std::string_view text, std::string_view needle, std::size_t from = 0);

} // namespace statement_table
