#include "stats/core/trade_table.h"

#include "stats/core/account_trades.h"
#include "stats/core/column_widths.h"
#include "stats/core/two_halves.h"

#include "db/core/numbers.h"
#include "db/core/reasons.h"
#include "db/core/sqlite_database.h"

#include <algorithm>
#include <array>
#include <limits>

ProfitBand profitBand(double p)
{
    if (p > 4)
        return ProfitBand::LargeGain;
    if (p > 3 && p < 4)
        return ProfitBand::Gain;
    if (p > 0 && p < 3)
        return ProfitBand::SmallGain;
    if (p >= -1.8 && p < 0)
        return ProfitBand::SmallLoss;
    if (p < -1.8)
        return ProfitBand::LargeLoss;
    return ProfitBand::None;
}

std::optional<QColor> bandColour(ProfitBand band)
{
    switch (band) {
    case ProfitBand::Unreadable: return QColor(211, 211, 211);
    case ProfitBand::LargeGain: return QColor(179, 238, 58);
    case ProfitBand::Gain: return QColor(204, 255, 204);
    case ProfitBand::SmallGain: return QColor(255, 255, 204);
    case ProfitBand::SmallLoss: return QColor(255, 228, 225);
    case ProfitBand::LargeLoss: return QColor(255, 182, 193);
    case ProfitBand::None: break;
    }
    return std::nullopt;
}

std::optional<QColor> cellTextColour(QStringView text)
{
    if (text.contains(u"Низкая"))
        return QColor(0, 128, 0);
    if (text.contains(u"Обычная"))
        return QColor(128, 128, 128);
    return std::nullopt;
}

const QStringList& tradeTableHeaders()
{
    static const QStringList headers = {
        QStringLiteral("№"),        QStringLiteral("id"),         QStringLiteral("Ticket"),
        QStringLiteral("Open Time"), QStringLiteral("Type"),      QStringLiteral("Size"),
        QStringLiteral("Item"),     QStringLiteral("PriceOpen"),  QStringLiteral("S / L"),
        QStringLiteral("T / P"),    QStringLiteral("Close Time"), QStringLiteral("PriceClose"),
        QStringLiteral("Comission"), QStringLiteral("Swap"),      QStringLiteral("Profit"),
        QStringLiteral("Вход"),     QStringLiteral("Выход"),      QStringLiteral("Комметарий"),
        QStringLiteral("Оценка")};
    return headers;
}

QString tradeSummary(int listed, int wins, int losses)
{
    auto percent = [listed](int x) { return num::formatFixed(listed == 0 ? 0.0 : 100.0 * x / listed, 1); };
    return QStringLiteral("Кол-во сделок: %1, прибыльных %2 (%3%), проигравших %4 (%5%)")
        .arg(listed)
        .arg(wins)
        .arg(percent(wins))
        .arg(losses)
        .arg(percent(losses));
}

QString TradeTable::summary() const { return tradeSummary(listed, wins, losses); }

namespace {

// Rows from which the column widths are measured in two halves at once.
constexpr int kHalvesFrom = 50000;

// A whole number as its decimal digits (the text QString::number gives),
// without a string on the heap.
struct DecimalText {
    char digits[24];
    int start = 24;
    QByteArrayView view() const { return QByteArrayView(digits + start, 24 - start); }
};

DecimalText decimalText(qint64 value)
{
    DecimalText t;
    quint64 magnitude = value < 0 ? 0 - static_cast<quint64>(value) : static_cast<quint64>(value);
    do {
        t.digits[--t.start] = static_cast<char>('0' + magnitude % 10);
        magnitude /= 10;
    } while (magnitude > 0);
    if (value < 0)
        t.digits[--t.start] = '-';
    return t;
}

} // namespace

TradeTable::TradeTable(std::shared_ptr<AccountTrades> trades, std::vector<int> order)
    : m_trades(std::move(trades))
    , m_order(std::move(order))
{
}

QString TradeTable::cell(int row, int column) const
{
    if (column == tradecol::Number)
        return QString::number(row + 1);
    return m_trades->text(m_order[row], AccountTrades::Column(column - 1));
}

void TradeTable::appendCell(int row, int column, QString& out) const
{
    if (column == tradecol::Number)
        out += QString::number(row + 1);
    else
        m_trades->appendText(m_order[row], AccountTrades::Column(column - 1), out);
}

std::vector<int> TradeTable::columnWidths(TextWidthMeasure& measure, int lineWidth) const
{
    const QStringList& headers = tradeTableHeaders();
    std::vector<int> widest(tradecol::Count);
    for (int col = 0; col < tradecol::Count; ++col)
        widest[col] = measure.width(headers[col]);
    measure.prepareBytes();
    // In a font that sums its characters and draws every digit alike, the
    // numbers of the rows are as wide as their count of digits, and the
    // column's texts are measured by their shapes (forEachTextShape), not
    // row by row.
    const bool byShape = measure.sumsBytes() && measure.digitsAlike();
    if (byShape && rowCount() > 0) {
        widest[tradecol::Number] = std::max(widest[tradecol::Number], measure.widthOfCp1251(decimalText(rowCount()).view()));
    } else {
        for (int row = 1; row <= rowCount(); ++row)
            widest[tradecol::Number] = std::max(widest[tradecol::Number], measure.widthOfCp1251(decimalText(row).view()));
    }
    if (!m_trades) {
        // Nothing was read (the database failed): the headers alone.
        for (int& w : widest)
            w = columnWidthFor(w, lineWidth);
        return widest;
    }
    // Only the shown rows count, which are every row unless the reading
    // stopped early; the order does not matter for a maximum. A text that
    // repeats (the pair, the side) is measured once per run of it.
    const AccountTrades& trades = *m_trades;
    if (byShape && m_order.size() == size_t(trades.count())) {
        for (int col = 1; col < tradecol::Count; ++col) {
            int& w = widest[col];
            trades.forEachTextShape(AccountTrades::Column(col - 1), [&](QByteArrayView bytes) {
                const std::optional<int> summed = measure.summedWidthOfCp1251(bytes);
                w = std::max(w, summed ? *summed : measure.widthOfCp1251(bytes));
            });
        }
        for (int& w : widest)
            w = columnWidthFor(w, lineWidth);
        return widest;
    }
    std::vector<bool> shown(static_cast<size_t>(trades.count()), m_order.size() == size_t(trades.count()));
    if (m_order.size() != size_t(trades.count())) {
        for (const int r : m_order)
            shown[r] = true;
    }
    // A large table is measured in two halves at once. A text that needs a
    // real layout (a line break, a tab) is measured on this thread: at once
    // in its own half, afterwards from the other one.
    struct Span {
        std::array<int, tradecol::Count> widest{};
        std::vector<std::pair<int, int>> laidOut; // row, column
    };
    auto measureSpan = [&](int from, int to, Span& span, bool here) {
        // Kept on this thread's own stack until the end: two threads writing
        // the widths side by side would take the cache line from each other
        // at every cell.
        std::array<int, tradecol::Count> widest{};
        const char* last[tradecol::Count] = {};
        for (int r = from; r < to; ++r) {
            if (!shown[r])
                continue;
            for (int col = 1; col < tradecol::Count; ++col) {
                const QByteArrayView bytes = trades.bytes(r, AccountTrades::Column(col - 1));
                if (bytes.data() == last[col] && bytes.data())
                    continue; // the same stored text as the row before
                last[col] = bytes.data();
                if (const std::optional<int> w = measure.summedWidthOfCp1251(bytes))
                    widest[col] = std::max(widest[col], *w);
                else if (here)
                    widest[col] = std::max(widest[col], measure.widthOfCp1251(bytes));
                else
                    span.laidOut.emplace_back(r, col);
            }
        }
        span.widest = widest;
    };
    Span spans[2];
    inTwoHalves(trades.count(), measure.sumsBytes() ? kHalvesFrom : std::numeric_limits<int>::max(),
                [&](int from, int to, int half) { measureSpan(from, to, spans[half], half == 0); });
    for (const Span* span : {&spans[0], &spans[1]}) {
        for (int col = 1; col < tradecol::Count; ++col)
            widest[col] = std::max(widest[col], span->widest[col]);
        for (const auto& [r, col] : span->laidOut)
            widest[col] = std::max(widest[col], measure.widthOfCp1251(trades.bytes(r, AccountTrades::Column(col - 1))));
    }
    for (int& w : widest)
        w = columnWidthFor(w, lineWidth);
    return widest;
}

TradeTable buildTradeTable(const std::shared_ptr<AccountTrades>& trades, TradeOrder order)
{
    const std::vector<int>& sequence =
        order == TradeOrder::Profit ? trades->byProfitDescending() : trades->byOpenTime();
    const AccountTrades::Numbers& numbers = trades->numbers();

    // Every row is shown; a win or a loss is told by the trade's net result,
    // and a trade whose money does not read counts as neither. The rows are
    // taken in stored order (the numbers read one after the other) and
    // their bands then laid out in the order shown.
    const int count = trades->count();
    std::vector<ProfitBand> rowBands(static_cast<size_t>(count));
    struct Counts {
        int listed = 0, wins = 0, losses = 0, unreadable = 0;
    };
    auto band = [&](int from, int to, Counts& c) {
        for (int r = from; r < to; ++r) {
            if (numbers.bad[r]) {
                rowBands[static_cast<size_t>(r)] = ProfitBand::Unreadable;
                ++c.unreadable;
                continue;
            }
            rowBands[static_cast<size_t>(r)] = profitBand(numbers.profit[r]);
            ++c.listed;
            const double net = numbers.net(r);
            if (net > 0)
                ++c.wins;
            else if (net < 0)
                ++c.losses;
        }
    };
    Counts halves[2];
    inTwoHalves(count, kHalvesFrom, [&](int from, int to, int half) { band(from, to, halves[half]); });
    const int listed = halves[0].listed + halves[1].listed, wins = halves[0].wins + halves[1].wins;
    const int losses = halves[0].losses + halves[1].losses, unreadable = halves[0].unreadable + halves[1].unreadable;
    std::vector<ProfitBand> bands;
    bands.reserve(sequence.size());
    QString problem;
    for (const int r : sequence) {
        bands.push_back(rowBands[static_cast<size_t>(r)]);
        if (problem.isEmpty() && bands.back() == ProfitBand::Unreadable)
            problem = trades->badMoneyText(r); // the first one shown
    }
    TradeTable result(trades, sequence);
    result.bands = std::move(bands);
    result.listed = listed;
    result.wins = wins;
    result.losses = losses;
    if (!problem.isEmpty())
        result.stop(unreadableTradesText(problem, unreadable));
    return result;
}

TradeTable buildTradeTable(TSQLiteDatabase& db, const QString& account, TradeOrder order)
{
    try {
        return buildTradeTable(AccountTrades::read(db, account), order);
    } catch (const ESQLiteException& e) {
        TradeTable result;
        result.stop(e.message());
        return result;
    }
}
