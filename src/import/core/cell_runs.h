#pragma once

#include "import/core/regex.h"

#include <string>
#include <string_view>
#include <vector>

// Finds, one after the other, the runs of `count` adjacent cells that a
// pattern "<open>(.*?)</td>" repeated `count` times matches in one table row.
//
// Before each search it decides, from the positions of the opening tags,
// the closing tags and the "</td><open>" joins, whether the search can find
// anything: a run exists from the first opening tag at or after the search
// position exactly when the earliest joins after it, taken one after the
// other, give count - 1 joins and a closing tag follows the last. When no run
// exists the regular expression is not run at all (its failing search is the
// one that backtracks through every way of splitting the cells), and when one
// exists the lazy groups find it on their first try. The regular expression
// still decides every match and its groups.
class CellRunFinder {
public:
    // `open` in lower case, e.g. "<td>" or "<td nowrap>".
    CellRunFinder(const Regex& pattern, std::string_view open, int count, const RegexLimits& limits = {});

    void setRow(std::string_view row);
    RegexMatcher::Status next();
    std::string_view group(int index) const { return m_matcher.text(index); }

private:
    bool runExistsFrom(std::size_t from) const;

    RegexMatcher m_matcher;
    std::string m_open;
    int m_count;
    std::string_view m_row;
    std::size_t m_from = 0;
    std::vector<std::size_t> m_opens, m_closes, m_joins;
};

// One cell of a table row: its opening tag and its text, slices of the row.
struct TableCell {
    std::string_view tag;
    std::string_view text;
};

// Any cell, whatever its attributes: "<td ...>(.*?)</td>".
const Regex& anyCellPattern();

// Every cell of a row, in order, with a matcher of anyCellPattern(). False
// when a search reached its limits.
bool splitCells(std::string_view row, RegexMatcher& m, std::vector<TableCell>& cells);

// The length of text up to and including the last occurrence of a lower-case
// literal (case-insensitive), or 0. A match that must end with the literal
// cannot reach past it, so searching only this far finds the same matches;
// and every search that starts before it then succeeds, instead of scanning
// to the end of the text for a closing tag that is not there.
std::size_t throughLast(std::string_view text, std::string_view lower);

// Case-insensitive (ASCII) comparison of text at a position with a lower-case
// literal of letters and punctuation.
inline bool equalsLowerAt(std::string_view text, std::size_t at, std::string_view lower)
{
    if (at > text.size() || text.size() - at < lower.size())
        return false;
    for (std::size_t i = 0; i < lower.size(); ++i) {
        const char c = text[at + i];
        const char folded = c >= 'A' && c <= 'Z' ? static_cast<char>(c | 0x20) : c;
        if (folded != lower[i])
            return false;
    }
    return true;
}
