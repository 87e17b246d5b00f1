// The reading of a statement's table rows and cells against the plain
// reading it replaced (a search per tag from every cell), on the shapes of
// markup statements come in: unclosed rows and cells, header cells, tags in
// capitals, names that only begin like a cell's, text cut in a tag.
#include "import/core/report_file.h"
#include "import/core/statement_table.h"

#include "import_test_support.h"
#include "statement_generator.h"
#include "temp_journal.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace {

using statement_table::Cell;
using statement_table::Row;

// The plain reading: every boundary found by its own search from the start
// of a cell or a row.
namespace plain {

char lower(char c) { return c >= 'A' && c <= 'Z' ? static_cast<char>(c | 0x20) : c; }

size_t findCi(std::string_view text, std::string_view needle, size_t from = 0)
{
    if (needle.size() > text.size())
        return std::string_view::npos;
    for (size_t i = from; i + needle.size() <= text.size(); ++i) {
        size_t k = 0;
        while (k < needle.size() && lower(text[i + k]) == needle[k])
            ++k;
        if (k == needle.size())
            return i;
    }
    return std::string_view::npos;
}

size_t findTag(std::string_view text, std::string_view name, size_t from)
{
    for (size_t at = findCi(text, name, from); at != std::string_view::npos; at = findCi(text, name, at + 1)) {
        const size_t after = at + name.size();
        if (after < text.size() && (text[after] == '>' || text[after] == ' ' || text[after] == '\t'
                                    || text[after] == '\r' || text[after] == '\n'))
            return at;
    }
    return std::string_view::npos;
}

std::vector<Cell> cellsOf(std::string_view row)
{
    std::vector<Cell> cells;
    size_t at = 0;
    for (;;) {
        const size_t td = findTag(row, "<td", at), th = findTag(row, "<th", at);
        const size_t start = std::min(td, th);
        if (start == std::string_view::npos)
            break;
        const size_t tagEnd = row.find('>', start);
        if (tagEnd == std::string_view::npos)
            break;
        Cell cell;
        cell.header = start == th;
        cell.attrs = row.substr(start + 3, tagEnd - start - 3);
        const size_t close = findCi(row, cell.header ? "</th" : "</td", tagEnd + 1);
        const size_t nextTd = findTag(row, "<td", tagEnd + 1), nextTh = findTag(row, "<th", tagEnd + 1);
        const size_t end = std::min({close, nextTd, nextTh, row.size()});
        cell.inner = row.substr(tagEnd + 1, end - tagEnd - 1);
        cells.push_back(cell);
        at = end;
    }
    return cells;
}

std::vector<Row> rowsOf(std::string_view text)
{
    std::vector<Row> rows;
    size_t at = findTag(text, "<tr", 0);
    while (at != std::string_view::npos) {
        const size_t tagEnd = text.find('>', at);
        if (tagEnd == std::string_view::npos)
            break;
        const size_t close = findCi(text, "</tr", tagEnd + 1);
        const size_t next = findTag(text, "<tr", tagEnd + 1);
        const size_t end = std::min({close, next, text.size()});
        rows.push_back({text.substr(at + 3, tagEnd - at - 3), cellsOf(text.substr(tagEnd + 1, end - tagEnd - 1))});
        at = next;
    }
    return rows;
}

} // namespace plain

// Rows and cells as text, with their places in the text, for a readable
// difference.
std::string describe(std::string_view text, const std::vector<Row>& rows)
{
    const auto where = [&](std::string_view part) {
        return std::to_string(part.data() - text.data()) + "+" + std::to_string(part.size());
    };
    std::string out;
    for (const Row& row : rows) {
        out += "row " + where(row.attrs) + " [" + std::string(row.attrs) + "]\n";
        for (const Cell& cell : row.cells)
            out += std::string(cell.header ? "  th " : "  td ") + where(cell.attrs) + " " + where(cell.inner) + " ["
                + std::string(cell.inner) + "]\n";
    }
    return out;
}

std::vector<Row> scanned(std::string_view text)
{
    std::vector<Row> rows;
    statement_table::forEachRow(text, [&](const Row& row) { rows.push_back(row); });
    return rows;
}

void expectSameReading(std::string_view text)
{
    EXPECT_EQ(describe(text, scanned(text)), describe(text, plain::rowsOf(text)));
}

TEST(StatementTable, ReadsMarkupAsThePlainReading)
{
    const char* cases[] = {
        "",
        "no table at all",
        "<tr>",
        "<tr",
        "<tr><td>",
        "<tr><td>a",
        "<tr><td>a</td><td>b</td></tr>",
        "<TR ALIGN=right><TD>a</TD><Td nowrap>b</tD></Tr>",
        "<tr><td>a<td>b<td>c</tr><tr><td>d",
        "<tr><td>a</tr><td>outside</td><tr><td>b</td>",
        "<tr><th>label</th><th><b>value</b></th></tr>",
        "<tr><th>a</td>still a<td>b</th>c</tr>",
        "<tr><td>a</th>b</td></tr>",
        "<thead><tr><td>a</td></tr></thead><tbody><tr><td>b</td></tr></tbody>",
        "<tr><tdx>not a cell</tdx><td\tclass=x>tab</td><td\r\nid=y>lines</td></tr>",
        "<tr><td>cut in a tag <b",
        "<tr><td colspan=2><b>A:</b></td><td class=mspt><b>1 000.00</b></td></tr>",
        "<tr><td>a</td><td>b</td></tr>\r\n<tr align=right><td>c</td></tr",
        "<tr><td>a</td><td",
        "<tr><td>a</td><td>",
        "<tr><td>a</td></tr></tr></tr><tr >x<td >y",
        "<trx><td>not a row</td></trx><tr><td>row</td></tr>",
        "<<tr>><<td>>a<</td>><</tr>>",
        "<tr><td><!-- <td>comment</td> --></td></tr>",
        "<tr><td>a</TD ><TH>b</TH ></TR >",
    };
    for (const char* c : cases) {
        SCOPED_TRACE(c);
        expectSameReading(c);
    }
}

TEST(StatementTable, ReadsWholeStatementsAsThePlainReading)
{
    std::vector<QByteArray> texts = {decodeReportBytes(statementgen::mt4Statement(40, 3).bytes),
                                     decodeReportBytes(statementgen::mt5Report(40, 3).bytes),
                                     decodeReportBytes(statementgen::mt5Report(40, 3, statementgen::Mt5Layout::Older).bytes)};
    for (const char* name : {"mt4_reuniware_DetailedStatement.htm", "mt5_template_ReportHistory_2023.htm"}) {
        const QString path = importtest::fixture(QString::fromLatin1(name));
        if (!path.isEmpty())
            texts.push_back(decodeReportBytes(readBytes(path)));
    }
    for (const QByteArray& text : texts) {
        const std::string_view all(text.constData(), static_cast<size_t>(text.size()));
        expectSameReading(all);
        // A statement cut anywhere, as a download cut short.
        for (size_t cut : {all.size() / 3, all.size() / 2 + 7, all.size() - 5})
            expectSameReading(all.substr(0, cut));
    }
}

} // namespace
