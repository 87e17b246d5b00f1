#include "import/core/cell_runs.h"

#include <algorithm>
#include <cstring>

CellRunFinder::CellRunFinder(const Regex& pattern, std::string_view open, int count, const RegexLimits& limits)
    : m_matcher(pattern, limits)
    , m_open(open)
    , m_count(count)
{
}

void CellRunFinder::setRow(std::string_view row)
{
    static constexpr std::string_view kClose = "</td>";
    m_row = row;
    m_from = 0;
    m_opens.clear();
    m_closes.clear();
    m_joins.clear();
    const char* base = row.data();
    std::size_t at = 0;
    while (at < row.size()) {
        const void* lt = std::memchr(base + at, '<', row.size() - at);
        if (!lt)
            break;
        at = static_cast<std::size_t>(static_cast<const char*>(lt) - base);
        const bool closing = at + 1 < row.size() && row[at + 1] == '/';
        if (!closing && equalsLowerAt(row, at, m_open)) {
            m_opens.push_back(at);
        } else if (closing && equalsLowerAt(row, at, kClose)) {
            m_closes.push_back(at);
            if (equalsLowerAt(row, at + kClose.size(), m_open))
                m_joins.push_back(at);
        }
        ++at;
    }
}

bool CellRunFinder::runExistsFrom(std::size_t from) const
{
    const auto firstAtOrAfter = [](const std::vector<std::size_t>& positions, std::size_t at) {
        return std::lower_bound(positions.begin(), positions.end(), at);
    };
    const auto start = firstAtOrAfter(m_opens, from);
    if (start == m_opens.end())
        return false;
    std::size_t at = *start + m_open.size(); // where the first group begins
    for (int cell = 1; cell < m_count; ++cell) {
        const auto join = firstAtOrAfter(m_joins, at);
        if (join == m_joins.end())
            return false;
        at = *join + 5 + m_open.size();
    }
    return firstAtOrAfter(m_closes, at) != m_closes.end();
}

RegexMatcher::Status CellRunFinder::next()
{
    if (m_from >= m_row.size() || !runExistsFrom(m_from))
        return RegexMatcher::Status::NotFound;
    const auto status = m_matcher.find(m_row.data(), m_row.size(), m_from);
    if (status == RegexMatcher::Status::Found)
        m_from = std::max(m_matcher.end(0), m_from + 1);
    return status;
}

const Regex& anyCellPattern()
{
    static const Regex r(R"(<td(?:\s[^<>]*)?>(.*?)</td>)");
    return r;
}

bool splitCells(std::string_view row, RegexMatcher& m, std::vector<TableCell>& cells)
{
    cells.clear();
    const std::size_t length = throughLast(row, "</td>");
    return m.forEachMatch(row.data(), length,
                          [&] { cells.push_back({row.substr(m.begin(0), m.begin(1) - m.begin(0)), m.text(1)}); });
}

std::size_t throughLast(std::string_view text, std::string_view lower)
{
    if (text.size() < lower.size())
        return 0;
    const char last = lower.back();
    for (std::size_t end = text.size(); end >= lower.size(); --end) {
        const char c = text[end - 1];
        if ((c == last || (c >= 'A' && c <= 'Z' && c - 'A' + 'a' == last))
            && equalsLowerAt(text, end - lower.size(), lower))
            return end;
    }
    return 0;
}
