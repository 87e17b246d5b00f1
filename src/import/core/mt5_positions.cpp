#include "import/core/mt5_positions.h"

#include <cstring>

namespace {

constexpr std::size_t kPositionCells = 14;

bool isDigit(char c) { return c >= '0' && c <= '9'; }

// "yyyy.mm.dd hh:mm" with or without ":ss", as the terminal writes times.
bool isTerminalTime(std::string_view s)
{
    static constexpr std::string_view shape = "dddd.dd.dd dd:dd:dd";
    if (s.size() != 16 && s.size() != 19)
        return false;
    for (std::size_t i = 0; i < s.size(); ++i) {
        if (shape[i] == 'd' ? !isDigit(s[i]) : s[i] != shape[i])
            return false;
    }
    return true;
}

bool isNumber(std::string_view s)
{
    if (s.empty() || s.size() > 20)
        return false;
    for (const char c : s) {
        if (!isDigit(c))
            return false;
    }
    return true;
}

bool isSide(std::string_view s)
{
    return (s.size() == 3 && equalsLowerAt(s, 0, "buy")) || (s.size() == 4 && equalsLowerAt(s, 0, "sell"));
}

std::string_view trimmed(std::string_view s)
{
    while (!s.empty() && s.front() == ' ')
        s.remove_prefix(1);
    while (!s.empty() && s.back() == ' ')
        s.remove_suffix(1);
    return s;
}

} // namespace

bool mayBeClosedPosition(std::string_view row)
{
    std::size_t ends = 0;
    const char* base = row.data();
    for (std::size_t at = 0; at < row.size(); ++at) {
        const void* lt = std::memchr(base + at, '<', row.size() - at);
        if (!lt)
            break;
        at = static_cast<std::size_t>(static_cast<const char*>(lt) - base);
        if (equalsLowerAt(row, at, "</td>") && ++ends > kPositionCells)
            return false;
    }
    return ends == kPositionCells;
}

std::optional<ClosedPosition> closedPosition(const std::vector<TableCell>& c)
{
    if (c.size() != kPositionCells || !isTerminalTime(c[0].text) || !isNumber(c[1].text) || !isSide(c[3].text)
        || !isTerminalTime(c[9].text))
        return std::nullopt;
    // c[4] is the comment.
    return ClosedPosition{c[0].text, c[1].text, c[2].text,  c[3].text,  c[5].text,  c[6].text,  c[7].text,
                          c[8].text, c[9].text, c[10].text, c[11].text, c[12].text, c[13].text};
}

std::string_view closedVolume(std::string_view volume)
{
    const std::size_t slash = volume.find('/');
    return slash == std::string_view::npos ? volume : trimmed(volume.substr(0, slash));
}
