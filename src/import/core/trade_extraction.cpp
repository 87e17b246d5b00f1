#include "import/core/trade_extraction.h"

#include "db/core/cp1251.h"
#include "db/core/numbers.h"
#include "import/core/cell_runs.h"
#include "import/core/regex.h"

#include <algorithm>
#include <optional>
#include <string>
#include <string_view>

namespace {

using Status = RegexMatcher::Status;

std::string repeated(std::string_view piece, int times)
{
    std::string s;
    for (int i = 0; i < times; ++i)
        s += piece;
    return s;
}

// The statement's patterns, compiled once for the whole run.
const Regex& mt4RowPattern()
{
    static const Regex r("align=right>(.*?)</tr>");
    return r;
}
const Regex& mt4CellTagPattern()
{
    static const Regex r("<td(.*?)>");
    return r;
}
const Regex& mt4CellsPattern()
{
    static const Regex r(repeated("<td>(.*?)</td>", 14));
    return r;
}
const Regex& mt5RowPattern()
{
    static const Regex r(R"(align="right">(.*?)</tr>)");
    return r;
}
const Regex& mt5CellsPattern()
{
    static const Regex r(repeated("<td nowrap>(.*?)</td>", 11));
    return r;
}
// Any cell, to count the cells of an MT5 deal row.
const Regex& anyCellPattern()
{
    static const Regex r(R"(<td(?:\s[^<>]*)?>(.*?)</td>)");
    return r;
}

// The length of text up to and including the last occurrence of a lower-case
// literal (case-insensitive), or 0. A match that must end with the literal
// cannot reach past it, so searching only this far finds the same matches;
// and every search that starts before it then succeeds, instead of scanning
// to the end of the text for a closing tag that is not there.
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

QString problemAt(int tableRow, int found)
{
    return QStringLiteral("Отчет разобран не полностью: строка %1 таблицы сделок слишком сложна для разбора "
                          "(превышен предел поиска). Найдено сделок до нее: %2. Проверьте, что файл - "
                          "неповрежденный отчет MetaTrader, и сохраните его из терминала заново.")
        .arg(tableRow)
        .arg(found);
}

QString problemInRows()
{
    return QStringLiteral("Отчет разобран не полностью: поиск строк таблицы сделок превысил предел. "
                          "Проверьте, что файл - неповрежденный отчет MetaTrader, и сохраните его из терминала заново.");
}

// Group 1 of every match of a row pattern, in order.
std::optional<std::vector<std::string_view>> collectRows(const QByteArray& text, const Regex& pattern,
                                                         const RegexLimits& limits)
{
    std::vector<std::string_view> rows;
    const std::string_view all(text.constData(), static_cast<std::size_t>(text.size()));
    const std::size_t length = throughLast(all, "</tr>");
    RegexMatcher m(pattern, limits);
    std::size_t at = 0;
    for (;;) {
        const Status s = m.find(all.data(), length, at);
        if (s == Status::NotFound)
            return rows;
        if (s == Status::LimitExceeded)
            return std::nullopt;
        rows.push_back(m.text(1));
        at = m.end(0);
    }
}

QString cellText(std::string_view cell) { return cp1251::decode(cell.data(), static_cast<qsizetype>(cell.size())); }

// A cell with every blank (code 32) removed, so "1 234.56" reads 1234.56.
QString withoutBlanks(std::string_view cell)
{
    std::string s(cell);
    s.erase(std::remove(s.begin(), s.end(), ' '), s.end());
    return cellText(s);
}

// ---------------------------------------------------------------------------
// MetaTrader 4

// Every opening cell tag, whatever its attributes, becomes "<td>". The
// rows are written one after the other into one buffer.
bool normalizeCellTags(std::string_view row, RegexMatcher& m, std::string& out)
{
    const std::size_t length = throughLast(row, ">");
    std::size_t at = 0;
    for (;;) {
        const Status s = m.find(row.data(), length, at);
        if (s == Status::LimitExceeded)
            return false;
        if (s == Status::NotFound)
            break;
        out.append(row.substr(at, m.begin(0) - at));
        out.append("<td>");
        at = m.end(0);
    }
    out.append(row.substr(at));
    return true;
}

Extraction extractMt4(const QByteArray& text, ExtractionProgress* progress, const RegexLimits& limits)
{
    Extraction result;
    const auto rows = collectRows(text, mt4RowPattern(), limits);
    if (!rows) {
        result.problem = problemInRows();
        return result;
    }
    if (progress)
        progress->start(2 * static_cast<int>(rows->size()));

    std::size_t total = 0;
    for (std::string_view row : *rows)
        total += row.size();
    std::string buffer;
    buffer.reserve(total);
    std::vector<std::size_t> ends; // where each normalised row ends in the buffer
    ends.reserve(rows->size());
    RegexMatcher tags(mt4CellTagPattern(), limits);
    for (std::size_t i = 0; i < rows->size(); ++i) {
        if (!normalizeCellTags((*rows)[i], tags, buffer)) {
            result.problem = problemAt(static_cast<int>(i) + 1, 0);
            return result;
        }
        ends.push_back(buffer.size());
        if (progress)
            progress->advance();
    }

    CellRunFinder cells(mt4CellsPattern(), "<td>", 14, limits);
    result.rows.reserve(rows->size());
    for (std::size_t i = 0; i < ends.size(); ++i) {
        const std::size_t begin = i ? ends[i - 1] : 0;
        cells.setRow(std::string_view(buffer).substr(begin, ends[i] - begin));
        Status s;
        while ((s = cells.next()) == Status::Found) {
            if (cells.group(1).empty())
                continue; // no ticket: a row of another table
            if (progress)
                progress->advance();
            if (cells.group(9) == "&nbsp;")
                continue; // an open position
            StatementRow r;
            r[StatementRow::Number] = QString::number(result.rows.size() + 1);
            r[StatementRow::Ticket] = cellText(cells.group(1));
            r[StatementRow::OpenTime] = cellText(cells.group(2));
            r[StatementRow::Type] = cellText(cells.group(3));
            r[StatementRow::Size] = cellText(cells.group(4));
            r[StatementRow::Item] = cellText(cells.group(5));
            r[StatementRow::PriceOpen] = cellText(cells.group(6));
            r[StatementRow::StopLoss] = cellText(cells.group(7));
            r[StatementRow::TakeProfit] = cellText(cells.group(8));
            r[StatementRow::CloseTime] = cellText(cells.group(9));
            r[StatementRow::PriceClose] = cellText(cells.group(10));
            r[StatementRow::Commission] = withoutBlanks(cells.group(11));
            r[StatementRow::Taxes] = cellText(cells.group(12));
            r[StatementRow::Swap] = withoutBlanks(cells.group(13));
            r[StatementRow::Profit] = withoutBlanks(cells.group(14));
            result.rows.push_back(std::move(r));
        }
        if (s == Status::LimitExceeded) {
            result.problem = problemAt(static_cast<int>(i) + 1, static_cast<int>(result.rows.size()));
            return result;
        }
    }
    return result;
}

// ---------------------------------------------------------------------------
// MetaTrader 5

// Number of decimals written after the point.
int decimalsOf(const QString& number)
{
    const qsizetype point = number.indexOf(QLatin1Char('.'));
    return point < 0 ? 0 : static_cast<int>(number.size() - point - 1);
}

// Newer terminals book a fee apart from the commission; the journal has
// one commission column, so it holds both.
QString commissionWithFee(const QString& commission, const QString& fee)
{
    const auto c = num::parsePoint(commission);
    const auto f = num::parsePoint(fee);
    if (!c || !f)
        return commission; // not numbers: keep the commission as written
    if (*f == 0.0)
        return commission;
    const int decimals = std::max(decimalsOf(commission), decimalsOf(fee));
    double sum = *c + *f;
    if (sum == 0.0)
        sum = 0.0; // no "-0.00"
    return num::formatFixed(sum, decimals).replace(QLatin1Char(','), QLatin1Char('.'));
}

struct Cell {
    std::string_view tag; // the opening tag
    std::string_view text;
};

std::optional<std::vector<Cell>> allCells(std::string_view row, RegexMatcher& m)
{
    std::vector<Cell> cells;
    const std::size_t length = throughLast(row, "</td>");
    std::size_t at = 0;
    for (;;) {
        const Status s = m.find(row.data(), length, at);
        if (s == Status::LimitExceeded)
            return std::nullopt;
        if (s == Status::NotFound)
            return cells;
        cells.push_back({row.substr(m.begin(0), m.begin(1) - m.begin(0)), m.text(1)});
        at = m.end(0);
    }
}

bool isPlainNowrap(std::string_view tag) { return tag.size() == 11 && equalsLowerAt(tag, 0, "<td nowrap>"); }

// Deal rows of 14 cells (a Fee after the Commission) and of 15 (also a Cost
// cell, often hidden, after the Order): the positions of Commission, Fee,
// Swap and Profit, or nothing for any other row.
struct DealLayout {
    int commission, fee, swap, profit;
};

std::optional<DealLayout> dealLayout(const std::vector<Cell>& cells)
{
    if (cells.size() != 14 && cells.size() != 15)
        return std::nullopt;
    const bool withCost = cells.size() == 15;
    for (std::size_t i = 0; i < cells.size(); ++i) {
        const bool costCell = withCost && i == 8;
        if (costCell ? !equalsLowerAt(cells[i].tag, 0, "<td nowrap") : !isPlainNowrap(cells[i].tag))
            return std::nullopt;
    }
    const int c = withCost ? 9 : 8;
    return DealLayout{c, c + 1, c + 2, c + 3};
}

StatementRow mt5Row(std::size_t number, std::string_view time, std::string_view deal, std::string_view symbol,
                    std::string_view type, std::string_view volume, std::string_view price)
{
    StatementRow r;
    r[StatementRow::Number] = QString::number(number);
    r[StatementRow::Ticket] = cellText(deal);
    r[StatementRow::OpenTime] = cellText(time);
    r[StatementRow::Type] = cellText(type);
    r[StatementRow::Size] = cellText(volume);
    r[StatementRow::Item] = cellText(symbol);
    r[StatementRow::PriceOpen] = cellText(price);
    const QString zero = QStringLiteral("0");
    for (int column : {StatementRow::StopLoss, StatementRow::TakeProfit, StatementRow::CloseTime,
                       StatementRow::PriceClose, StatementRow::Taxes})
        r[column] = zero;
    return r;
}

Extraction extractMt5(const QByteArray& text, ExtractionProgress* progress, const RegexLimits& limits)
{
    Extraction result;
    const auto rows = collectRows(text, mt5RowPattern(), limits);
    if (!rows) {
        result.problem = problemInRows();
        return result;
    }
    std::vector<std::string_view> deals;
    for (std::string_view row : *rows) {
        if (row.find("out") != std::string_view::npos)
            deals.push_back(row);
    }
    if (progress)
        progress->start(static_cast<int>(deals.size()));

    RegexMatcher anyCell(anyCellPattern(), limits);
    CellRunFinder cells(mt5CellsPattern(), "<td nowrap>", 11, limits);
    for (std::size_t i = 0; i < deals.size(); ++i) {
        const auto all = allCells(deals[i], anyCell);
        if (!all) {
            result.problem = problemAt(static_cast<int>(i) + 1, static_cast<int>(result.rows.size()));
            return result;
        }
        if (const auto layout = dealLayout(*all)) {
            const auto& c = *all;
            if (!c[0].text.empty()) {
                StatementRow r = mt5Row(result.rows.size() + 1, c[0].text, c[1].text, c[2].text, c[3].text,
                                        c[5].text, c[6].text);
                r[StatementRow::Commission] =
                    commissionWithFee(withoutBlanks(c[layout->commission].text), withoutBlanks(c[layout->fee].text));
                r[StatementRow::Swap] = withoutBlanks(c[layout->swap].text);
                r[StatementRow::Profit] = withoutBlanks(c[layout->profit].text);
                result.rows.push_back(std::move(r));
            }
        } else {
            cells.setRow(deals[i]);
            Status s;
            while ((s = cells.next()) == Status::Found) {
                if (cells.group(1).empty())
                    continue;
                StatementRow r = mt5Row(result.rows.size() + 1, cells.group(1), cells.group(2), cells.group(3),
                                        cells.group(4), cells.group(6), cells.group(7));
                r[StatementRow::Commission] = withoutBlanks(cells.group(9));
                r[StatementRow::Swap] = withoutBlanks(cells.group(10));
                r[StatementRow::Profit] = withoutBlanks(cells.group(11));
                result.rows.push_back(std::move(r));
            }
            if (s == Status::LimitExceeded) {
                result.problem = problemAt(static_cast<int>(i) + 1, static_cast<int>(result.rows.size()));
                return result;
            }
        }
        if (progress)
            progress->advance();
    }
    return result;
}

} // namespace

Extraction extractTrades(const QByteArray& text, ReportKind kind, ExtractionProgress* progress,
                         const RegexLimits& limits)
{
    switch (kind) {
    case ReportKind::MetaTrader4: return extractMt4(text, progress, limits);
    case ReportKind::MetaTrader5: return extractMt5(text, progress, limits);
    case ReportKind::None: break;
    }
    return {};
}
