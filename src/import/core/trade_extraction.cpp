#include "import/core/trade_extraction.h"

#include "db/core/cp1251.h"
#include "db/core/numbers.h"
#include "import/core/cell_runs.h"
#include "db/core/large_pages.h"
#include "import/core/mt5_positions.h"
#include "import/core/regex.h"

#include <algorithm>
#include <array>
#include <charconv>
#include <optional>
#include <string>
#include <string_view>
#include <unordered_map>

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
    if (!m.forEachMatch(all.data(), length, [&] { rows.push_back(m.text(1)); }))
        return std::nullopt;
    return rows;
}

// Builds the trades found into cell rows and hands them on; keeps the
// texts that are not slices of the statement (running numbers, cells without
// blanks, sums) until the next trade.
class TradeWriter {
public:
    TradeWriter(const TradeCellsSink& sink, const std::function<void(std::size_t)>& expect)
        : m_sink(sink)
        , m_expect(expect)
    {
    }
    int count() const { return m_count; }
    // Tells the receiver how many trades may follow, at most about.
    void expect(std::size_t trades) const
    {
        if (m_expect)
            m_expect(trades);
    }

    // A cell with every blank (code 32) removed, so "1 234.56" reads 1234.56.
    std::string_view withoutBlanks(int slot, std::string_view cell)
    {
        std::string& s = m_scratch[static_cast<std::size_t>(slot)];
        s.assign(cell);
        s.erase(std::remove(s.begin(), s.end(), ' '), s.end());
        return s;
    }
    std::string& scratch(int slot) { return m_scratch[static_cast<std::size_t>(slot)]; }

    void write(TradeCells& cells)
    {
        ++m_count;
        const auto [end, ec] = std::to_chars(m_number, m_number + sizeof m_number, m_count);
        cells[StatementRow::Number] = std::string_view(m_number, static_cast<std::size_t>(end - m_number));
        m_sink(cells);
    }

private:
    const TradeCellsSink& m_sink;
    const std::function<void(std::size_t)>& m_expect;
    int m_count = 0;
    char m_number[16];
    std::array<std::string, 4> m_scratch;
};

// ---------------------------------------------------------------------------
// MetaTrader 4

// Every opening cell tag, whatever its attributes, becomes "<td>".
bool normalizeCellTags(std::string_view row, RegexMatcher& m, std::string& out)
{
    const std::size_t length = throughLast(row, ">");
    std::size_t copied = 0;
    const bool complete = m.forEachMatch(row.data(), length, [&] {
        out.append(row.substr(copied, m.begin(0) - copied));
        out.append("<td>");
        copied = m.end(0);
    });
    if (!complete)
        return false;
    out.append(row.substr(copied));
    return true;
}

QString extractMt4(const QByteArray& text, TradeWriter& out, ExtractionProgress* progress, const RegexLimits& limits)
{
    const auto rows = collectRows(text, mt4RowPattern(), limits);
    if (!rows)
        return problemInRows();
    if (progress)
        progress->start(2 * static_cast<int>(rows->size()));
    out.expect(rows->size());

    // Each row is normalised and then parsed, in one reused buffer.
    std::string row;
    RegexMatcher tags(mt4CellTagPattern(), limits);
    CellRunFinder cells(mt4CellsPattern(), "<td>", 14, limits);
    for (std::size_t i = 0; i < rows->size(); ++i) {
        row.clear();
        if (!normalizeCellTags((*rows)[i], tags, row))
            return problemAt(static_cast<int>(i) + 1, out.count());
        if (progress)
            progress->advance();
        cells.setRow(row);
        Status s;
        while ((s = cells.next()) == Status::Found) {
            if (cells.group(1).empty())
                continue; // no ticket: a row of another table
            if (progress)
                progress->advance();
            if (cells.group(9) == "&nbsp;")
                continue; // an open position
            TradeCells c{};
            c[StatementRow::Ticket] = cells.group(1);
            c[StatementRow::OpenTime] = cells.group(2);
            c[StatementRow::Type] = cells.group(3);
            c[StatementRow::Size] = cells.group(4);
            c[StatementRow::Item] = cells.group(5);
            c[StatementRow::PriceOpen] = cells.group(6);
            c[StatementRow::StopLoss] = cells.group(7);
            c[StatementRow::TakeProfit] = cells.group(8);
            c[StatementRow::CloseTime] = cells.group(9);
            c[StatementRow::PriceClose] = cells.group(10);
            c[StatementRow::Commission] = out.withoutBlanks(0, cells.group(11));
            c[StatementRow::Taxes] = cells.group(12);
            c[StatementRow::Swap] = out.withoutBlanks(1, cells.group(13));
            c[StatementRow::Profit] = out.withoutBlanks(2, cells.group(14));
            out.write(c);
        }
        if (s == Status::LimitExceeded)
            return problemAt(static_cast<int>(i) + 1, out.count());
    }
    return {};
}

// ---------------------------------------------------------------------------
// MetaTrader 5

int decimalsOf(std::string_view number)
{
    const std::size_t point = number.find('.');
    return point == std::string_view::npos ? 0 : static_cast<int>(number.size() - point - 1);
}

// Newer terminals book a fee apart from the commission; the journal has
// one commission column, so it holds both.
std::string_view commissionWithFee(std::string_view commission, std::string_view fee, std::string& sum)
{
    const auto c = num::parsePoint(QString(QLatin1String(commission.data(), static_cast<qsizetype>(commission.size()))));
    const auto f = num::parsePoint(QString(QLatin1String(fee.data(), static_cast<qsizetype>(fee.size()))));
    if (!c || !f || *f == 0.0)
        return commission; // no fee, or not numbers: the commission as written
    double total = *c + *f;
    if (total == 0.0)
        total = 0.0; // no "-0.00"
    sum = num::formatFixed(total, std::max(decimalsOf(commission), decimalsOf(fee)))
              .replace(QLatin1Char(','), QLatin1Char('.'))
              .toStdString();
    return sum;
}

bool isPlainNowrap(std::string_view tag) { return tag.size() == 11 && equalsLowerAt(tag, 0, "<td nowrap>"); }

// Deal rows of 14 cells (a Fee after the Commission) and of 15 (also a Cost
// cell, often hidden, after the Order): the positions of Commission, Fee,
// Swap and Profit, or nothing for any other row.
struct DealLayout {
    int commission, fee, swap, profit;
};

std::optional<DealLayout> dealLayout(const std::vector<TableCell>& cells)
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

TradeCells mt5Cells(std::string_view time, std::string_view deal, std::string_view symbol, std::string_view type,
                    std::string_view volume, std::string_view price)
{
    TradeCells c{};
    c[StatementRow::Ticket] = deal;
    c[StatementRow::OpenTime] = time;
    c[StatementRow::Type] = type;
    c[StatementRow::Size] = volume;
    c[StatementRow::Item] = symbol;
    c[StatementRow::PriceOpen] = price;
    for (int column : {StatementRow::StopLoss, StatementRow::TakeProfit, StatementRow::CloseTime,
                       StatementRow::PriceClose, StatementRow::Taxes})
        c[static_cast<std::size_t>(column)] = "0";
    return c;
}

// The deal rule, for reports without a Positions table: every deal row that
// mentions "out" is a trade, read from the closing deal alone.
QString extractDeals(const std::vector<std::string_view>& rows, TradeWriter& out, ExtractionProgress* progress,
                     RegexMatcher& anyCell, const RegexLimits& limits)
{
    std::vector<std::string_view> deals;
    for (std::string_view row : rows) {
        if (row.find("out") != std::string_view::npos)
            deals.push_back(row);
    }
    if (progress)
        progress->start(static_cast<int>(deals.size()));
    out.expect(deals.size());

    CellRunFinder cells(mt5CellsPattern(), "<td nowrap>", 11, limits);
    std::vector<TableCell> all;
    for (std::size_t i = 0; i < deals.size(); ++i) {
        if (!splitCells(deals[i], anyCell, all))
            return problemAt(static_cast<int>(i) + 1, out.count());
        if (const auto layout = dealLayout(all)) {
            if (!all[0].text.empty()) {
                TradeCells c = mt5Cells(all[0].text, all[1].text, all[2].text, all[3].text, all[5].text, all[6].text);
                c[StatementRow::Commission] =
                    commissionWithFee(out.withoutBlanks(0, all[static_cast<std::size_t>(layout->commission)].text),
                                      out.withoutBlanks(3, all[static_cast<std::size_t>(layout->fee)].text),
                                      out.scratch(3));
                c[StatementRow::Swap] = out.withoutBlanks(1, all[static_cast<std::size_t>(layout->swap)].text);
                c[StatementRow::Profit] = out.withoutBlanks(2, all[static_cast<std::size_t>(layout->profit)].text);
                out.write(c);
            }
        } else {
            cells.setRow(deals[i]);
            Status s;
            while ((s = cells.next()) == Status::Found) {
                if (cells.group(1).empty())
                    continue;
                TradeCells c = mt5Cells(cells.group(1), cells.group(2), cells.group(3), cells.group(4), cells.group(6),
                                        cells.group(7));
                c[StatementRow::Commission] = out.withoutBlanks(0, cells.group(9));
                c[StatementRow::Swap] = out.withoutBlanks(1, cells.group(10));
                c[StatementRow::Profit] = out.withoutBlanks(2, cells.group(11));
                out.write(c);
            }
            if (s == Status::LimitExceeded)
                return problemAt(static_cast<int>(i) + 1, out.count());
        }
        if (progress)
            progress->advance();
    }
    return {};
}

TradeCells positionCells(const ClosedPosition& p, TradeWriter& out)
{
    TradeCells c{};
    c[StatementRow::Ticket] = p.position;
    c[StatementRow::OpenTime] = p.openTime;
    c[StatementRow::Type] = p.type;
    c[StatementRow::Size] = closedVolume(p.volume);
    c[StatementRow::Item] = p.symbol;
    c[StatementRow::PriceOpen] = p.openPrice;
    c[StatementRow::StopLoss] = p.stopLoss;
    c[StatementRow::TakeProfit] = p.takeProfit;
    c[StatementRow::CloseTime] = p.closeTime;
    c[StatementRow::PriceClose] = p.closePrice;
    c[StatementRow::Commission] = out.withoutBlanks(0, p.commission);
    c[StatementRow::Taxes] = "0";
    c[StatementRow::Swap] = out.withoutBlanks(1, p.swap);
    c[StatementRow::Profit] = out.withoutBlanks(2, p.profit);
    return c;
}

// A history report lists every closed position with its own open and close,
// whole commission and result: one trade each. Only a report without that
// table falls back on its deals.
QString extractMt5(const QByteArray& text, TradeWriter& out, ExtractionProgress* progress, const RegexLimits& limits)
{
    const auto rows = collectRows(text, mt5RowPattern(), limits);
    if (!rows)
        return problemInRows();
    std::vector<std::string_view> candidates;
    for (std::string_view row : *rows) {
        if (mayBeClosedPosition(row))
            candidates.push_back(row);
    }
    if (progress)
        progress->start(static_cast<int>(candidates.size()));
    out.expect(candidates.size());

    RegexMatcher anyCell(anyCellPattern(), limits);
    std::vector<TableCell> cells;
    for (std::size_t i = 0; i < candidates.size(); ++i) {
        if (!splitCells(candidates[i], anyCell, cells))
            return problemAt(static_cast<int>(i) + 1, out.count());
        if (const auto position = closedPosition(cells)) {
            TradeCells c = positionCells(*position, out);
            out.write(c);
        }
        if (progress)
            progress->advance();
    }
    if (out.count() > 0)
        return {};
    return extractDeals(*rows, out, progress, anyCell, limits);
}

// The extraction, telling `expect` before the trades how many may follow.
QString extractExpecting(const QByteArray& text, ReportKind kind, const TradeCellsSink& sink,
                         const std::function<void(std::size_t)>& expect, ExtractionProgress* progress,
                         const RegexLimits& limits)
{
    TradeWriter out(sink, expect);
    switch (kind) {
    case ReportKind::MetaTrader4: return extractMt4(text, out, progress, limits);
    case ReportKind::MetaTrader5: return extractMt5(text, out, progress, limits);
    case ReportKind::None: break;
    }
    return {};
}

} // namespace

QString extractTradeCells(const QByteArray& text, ReportKind kind, const TradeCellsSink& sink,
                          ExtractionProgress* progress, const RegexLimits& limits)
{
    return extractExpecting(text, kind, sink, {}, progress, limits);
}

StatementRow statementRow(const TradeCells& cells)
{
    static const QString zero = QStringLiteral("0"); // shared, not one copy per cell
    StatementRow row;
    for (std::size_t i = 0; i < cells.size(); ++i) {
        const std::string_view cell = cells[i];
        if (cell == "0")
            row.cells[i] = zero;
        else if (!cell.empty())
            row.cells[i] = cp1251::decode(cell.data(), static_cast<qsizetype>(cell.size()));
    }
    return row;
}

namespace {

// Builds the preview rows of an extraction. Many cells repeat from trade to
// trade (the type, the symbol, the size, a zero stop): a text seen before in
// its column is shared with the earlier row instead of being decoded and
// stored again. A column whose texts keep changing (tickets, times) soon
// stops being looked up.
class StatementRowBuilder {
public:
    StatementRow build(const TradeCells& cells)
    {
        StatementRow row;
        for (std::size_t i = 0; i < cells.size(); ++i) {
            const std::string_view cell = cells[i];
            if (cell.empty())
                continue;
            Column& column = m_columns[i];
            if (column.misses > kMaxMisses) {
                row.cells[i] = cp1251::decode(cell.data(), static_cast<qsizetype>(cell.size()));
                continue;
            }
            const auto it = column.seen.find(cell);
            if (it != column.seen.end()) {
                row.cells[i] = it->second;
                continue;
            }
            ++column.misses;
            row.cells[i] = cp1251::decode(cell.data(), static_cast<qsizetype>(cell.size()));
            column.seen.emplace(std::string(cell), row.cells[i]);
        }
        return row;
    }

private:
    static constexpr int kMaxMisses = 64; // distinct texts kept per column
    struct Hash {
        using is_transparent = void;
        std::size_t operator()(std::string_view s) const { return std::hash<std::string_view>()(s); }
    };
    struct Column {
        std::unordered_map<std::string, QString, Hash, std::equal_to<>> seen;
        int misses = 0;
    };
    std::array<Column, StatementRow::ColumnCount> m_columns;
};

} // namespace

Extraction extractTrades(const QByteArray& text, ReportKind kind, ExtractionProgress* progress,
                         const RegexLimits& limits)
{
    Extraction result;
    StatementRowBuilder rows;
    // Room for the rows up front, bounded by what the text can hold (a
    // trade's row takes well over a hundred bytes), so that they are never
    // moved and the memory is touched once.
    const auto expect = [&](std::size_t trades) {
        const std::size_t room = std::min(trades, static_cast<std::size_t>(text.size()) / 128);
        if (room <= result.rows.capacity())
            return;
        result.rows.reserve(room);
        adviseLargePages(result.rows.data(), room * sizeof(StatementRow));
    };
    result.problem = extractExpecting(
        text, kind, [&](const TradeCells& cells) { result.rows.push_back(rows.build(cells)); }, expect, progress,
        limits);
    return result;
}
