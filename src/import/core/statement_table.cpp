#include "import/core/statement_table.h"

#include <cstring>

namespace statement_table {

namespace {

constexpr std::size_t npos = std::string_view::npos;

char lower(char c) { return c >= 'A' && c <= 'Z' ? static_cast<char>(c | 0x20) : c; }

bool equalsLowerAt(std::string_view text, std::size_t at, std::string_view needle)
{
    if (at > text.size() || text.size() - at < needle.size())
        return false;
    for (std::size_t k = 0; k < needle.size(); ++k)
        if (lower(text[at + k]) != needle[k])
            return false;
    return true;
}

// The next '<' at or after from, or npos.
std::size_t nextLt(std::string_view text, std::size_t from)
{
    if (from >= text.size())
        return npos;
    const void* hit = std::memchr(text.data() + from, '<', text.size() - from);
    return hit ? static_cast<std::size_t>(static_cast<const char*>(hit) - text.data()) : npos;
}

// An opening tag "<name" followed by a blank or '>' at this place.
bool isTagAt(std::string_view text, std::size_t at, std::string_view name)
{
    if (!equalsLowerAt(text, at, name))
        return false;
    const std::size_t after = at + name.size();
    if (after >= text.size())
        return false;
    const char c = text[after];
    return c == '>' || c == ' ' || c == '\t' || c == '\r' || c == '\n';
}

enum class CellTag { None, Td, Th };

CellTag cellTagAt(std::string_view row, std::size_t at)
{
    if (isTagAt(row, at, "<td"))
        return CellTag::Td;
    if (isTagAt(row, at, "<th"))
        return CellTag::Th;
    return CellTag::None;
}

// The first cell tag at or after from.
std::size_t nextCellTag(std::string_view row, std::size_t from, CellTag& kind)
{
    for (std::size_t at = nextLt(row, from); at != npos; at = nextLt(row, at + 1)) {
        kind = cellTagAt(row, at);
        if (kind != CellTag::None)
            return at;
    }
    return npos;
}

std::size_t nextRowTag(std::string_view text, std::size_t from)
{
    for (std::size_t at = nextLt(text, from); at != npos; at = nextLt(text, at + 1))
        if (isTagAt(text, at, "<tr"))
            return at;
    return npos;
}

} // namespace

std::size_t findCi(std::string_view text, std::string_view needle, std::size_t from)
{
    if (needle.empty())
        return from <= text.size() ? from : npos;
    const char first = needle[0];
    const bool letter = first >= 'a' && first <= 'z';
    for (std::size_t i = from; i < text.size() && text.size() - i >= needle.size(); ++i) {
        if (!letter) {
            // Not a letter: only that very byte folds to it.
            const void* hit = std::memchr(text.data() + i, first, text.size() - i);
            if (!hit)
                return npos;
            i = static_cast<std::size_t>(static_cast<const char*>(hit) - text.data());
            if (text.size() - i < needle.size())
                return npos;
        }
        if (equalsLowerAt(text, i, needle))
            return i;
    }
    return npos;
}

void cellsOf(std::string_view row, std::vector<Cell>& cells)
{
    cells.clear();
    CellTag kind = CellTag::None;
    std::size_t start = nextCellTag(row, 0, kind);
    while (start != npos) {
        const std::size_t tagEnd = row.find('>', start);
        if (tagEnd == npos)
            break;
        Cell cell;
        cell.header = kind == CellTag::Th;
        cell.attrs = row.substr(start + 3, tagEnd - start - 3);
        // The cell ends at its closing tag or at the next cell, whichever
        // comes first.
        const std::string_view close = cell.header ? "</th" : "</td";
        std::size_t end = row.size(), next = npos;
        for (std::size_t at = nextLt(row, tagEnd + 1); at != npos; at = nextLt(row, at + 1)) {
            if (equalsLowerAt(row, at, close)) {
                end = at;
                next = nextCellTag(row, at + 1, kind);
                break;
            }
            if ((kind = cellTagAt(row, at)) != CellTag::None) {
                end = next = at;
                break;
            }
        }
        cell.inner = row.substr(tagEnd + 1, end - tagEnd - 1);
        cells.push_back(cell);
        start = next;
    }
}

void forEachRow(std::string_view text, const std::function<void(const Row&)>& onRow)
{
    Row row;
    std::size_t at = nextRowTag(text, 0);
    while (at != npos) {
        const std::size_t tagEnd = text.find('>', at);
        if (tagEnd == npos)
            break;
        // The row ends at its closing tag or at the next row.
        std::size_t end = text.size(), next = npos;
        for (std::size_t p = nextLt(text, tagEnd + 1); p != npos; p = nextLt(text, p + 1)) {
            if (equalsLowerAt(text, p, "</tr")) {
                end = p;
                next = nextRowTag(text, p + 1);
                break;
            }
            if (isTagAt(text, p, "<tr")) {
                end = next = p;
                break;
            }
        }
        row.attrs = text.substr(at + 3, tagEnd - at - 3);
        cellsOf(text.substr(tagEnd + 1, end - tagEnd - 1), row.cells);
        onRow(row);
        at = next;
    }
}

} // namespace statement_table
