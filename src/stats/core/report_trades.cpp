#include "stats/core/report_trades.h"

#include "db/core/columns.h"
#include "db/core/cp1251.h"
#include "db/core/numbers.h"
#include "db/core/reasons.h"
#include "db/core/sqlite_database.h"

#include <algorithm>
#include <cmath>
#include <iterator>
#include <limits>

namespace {

// The columns read: the grouped ones at the positions ReportTrades::Column
// names, then the rest.
constexpr t_sdelki::Column kRead[] = {
    t_sdelki::Type,    t_sdelki::Item,  t_sdelki::Verno,   t_sdelki::Strategia, t_sdelki::Taktika,
    t_sdelki::Psixo,   t_sdelki::Pravilo, t_sdelki::Pravilo2, t_sdelki::OpenTime, t_sdelki::Profit,
    t_sdelki::Nedobral, t_sdelki::Id,   t_sdelki::Commission, t_sdelki::Taxes, t_sdelki::Swap};
using R = ReportTrades;
static_assert(sql::position(kRead, t_sdelki::Type) == R::Type && sql::position(kRead, t_sdelki::Item) == R::Item
              && sql::position(kRead, t_sdelki::Verno) == R::Verno
              && sql::position(kRead, t_sdelki::Strategia) == R::Strategia
              && sql::position(kRead, t_sdelki::Taktika) == R::Taktika
              && sql::position(kRead, t_sdelki::Psixo) == R::Psixo
              && sql::position(kRead, t_sdelki::Pravilo) == R::Pravilo
              && sql::position(kRead, t_sdelki::Pravilo2) == R::Pravilo2);
constexpr int kOpenTime = sql::position(kRead, t_sdelki::OpenTime);
constexpr int kProfit = sql::position(kRead, t_sdelki::Profit);
constexpr int kNedobral = sql::position(kRead, t_sdelki::Nedobral);
constexpr int kId = sql::position(kRead, t_sdelki::Id);
constexpr int kCommission = sql::position(kRead, t_sdelki::Commission);
constexpr int kTaxes = sql::position(kRead, t_sdelki::Taxes);
constexpr int kSwap = sql::position(kRead, t_sdelki::Swap);

// A profit as stored: short ASCII texts are widened on the stack rather
// than decoded into a string of their own; anything else takes the long way.
std::optional<double> readProfit(QByteArrayView bytes)
{
    constexpr qsizetype kShort = 32;
    if (bytes.size() <= kShort) {
        char16_t wide[kShort];
        bool ascii = true;
        for (qsizetype i = 0; i < bytes.size(); ++i) {
            const auto c = static_cast<unsigned char>(bytes[i]);
            ascii = ascii && c < 0x80;
            wide[i] = c;
        }
        if (ascii)
            return num::parseComma(QStringView(wide, bytes.size()));
    }
    return num::parseComma(cp1251::decode(bytes.data(), bytes.size()));
}

} // namespace

ReportTrades::ReportTrades(TSQLiteDatabase& db, const QString& account)
{
    const QString query = QStringLiteral("SELECT %1 FROM %2 WHERE %3=?")
                              .arg(sql::columnList(kRead), t_sdelki::table, t_sdelki::name(t_sdelki::Chet));
    db.readRows(query, {account}, [this](const SqlRow& r) {
        const int row = count();
        const QByteArrayView profitBytes = r.bytes(kProfit);
        const std::optional<double> p = readProfit(profitBytes);
        m_profit.push_back(p.value_or(0.0));
        m_profitRead.push_back(p.has_value());
        if (!p)
            m_badProfits.push_back({row, r.integer(kId), profitBytes.toByteArray()});
        // The commission is a REAL column, read as a number as everywhere;
        // the swap is stored with a comma, the taxes as the statement wrote them.
        const QByteArrayView swapBytes = r.bytes(kSwap), taxesBytes = r.bytes(kTaxes);
        const std::optional<double> swap = swapBytes.isEmpty() ? std::optional<double>(0.0) : readProfit(swapBytes);
        const std::optional<double> taxes = num::parseTaxes(cp1251::decode(taxesBytes.data(), taxesBytes.size()));
        if (p && swap && taxes) {
            m_net.push_back(*p + r.number(kCommission) + *taxes + *swap);
        } else {
            m_net.push_back(std::numeric_limits<double>::quiet_NaN());
            if (p) // a bad profit is told by m_badProfits
                m_badCosts.push_back({row, r.integer(kId), (swap ? taxesBytes : swapBytes).toByteArray()});
        }
        m_nedobral.push_back(r.integer(kNedobral)); // declared INTEGER
        for (int c = 0; c < ColumnCount; ++c) {
            const QByteArrayView bytes = r.bytes(c);
            m_categories.push_back(bytes.isNull() ? -1 : textIndex(c, bytes));
        }
        const QByteArrayView time = r.bytes(kOpenTime);
        if (!time.isEmpty())
            m_times.append(time.data(), static_cast<size_t>(time.size()));
        m_timeEnds.push_back(static_cast<quint32>(m_times.size()));
    });

    // Byte order is SQLite's order of texts; the row breaks ties (a stable
    // sort). Statements are usually imported oldest first, so the rows
    // often come in order.
    m_timeOrder.resize(m_profit.size());
    for (size_t i = 0; i < m_timeOrder.size(); ++i)
        m_timeOrder[i] = static_cast<int>(i);
    const auto timeOf = [this](int row) {
        const QByteArrayView t = openTimeBytes(row);
        return std::string_view(t.data(), static_cast<size_t>(t.size()));
    };
    const auto earlier = [&timeOf](int a, int b) { return timeOf(a) < timeOf(b); };
    if (!std::is_sorted(m_timeOrder.begin(), m_timeOrder.end(), earlier))
        std::stable_sort(m_timeOrder.begin(), m_timeOrder.end(), earlier);
}

int ReportTrades::textIndex(int column, QByteArrayView bytes)
{
    constexpr size_t kFew = 16;
    const std::string_view key(bytes.data(), static_cast<size_t>(bytes.size()));
    std::vector<Known>& few = m_columnTexts[column];
    for (const Known& k : few) {
        if (k.text == key)
            return k.index;
    }
    int index;
    if (const auto it = m_textIndex.find(key); it != m_textIndex.end()) {
        index = it->second;
    } else {
        const std::string& kept = m_texts.emplace_back(key);
        index = static_cast<int>(m_texts.size()) - 1;
        m_textIndex.emplace(std::string_view(kept), index);
    }
    if (few.size() < kFew)
        few.push_back({m_texts[static_cast<size_t>(index)], index});
    return index;
}

QByteArrayView ReportTrades::openTimeBytes(int row) const
{
    const quint32 begin = row > 0 ? m_timeEnds[row - 1] : 0;
    return QByteArrayView(m_times.data() + begin, m_timeEnds[row] - begin);
}

QString ReportTrades::openTime(int row) const
{
    const QByteArrayView t = openTimeBytes(row);
    return cp1251::decode(t.data(), t.size());
}

std::optional<double> ReportTrades::profit(int row) const
{
    if (!m_profitRead[row])
        return std::nullopt;
    return m_profit[row];
}

QString ReportTrades::profitProblem(int row) const
{
    const auto it = std::lower_bound(m_badProfits.begin(), m_badProfits.end(), row,
                                     [](const BadProfit& b, int r) { return b.row < r; });
    if (it == m_badProfits.end() || it->row != row)
        return QString();
    return unreadableTradeText(QString::number(it->id), QStringLiteral("Прибыль"), cp1251::decode(it->text));
}

std::optional<double> ReportTrades::net(int row) const
{
    const double n = m_net[static_cast<size_t>(row)];
    return std::isnan(n) ? std::nullopt : std::optional<double>(n);
}

QString ReportTrades::netProblem(int row) const
{
    if (!m_profitRead[row])
        return profitProblem(row);
    const auto it = std::lower_bound(m_badCosts.begin(), m_badCosts.end(), row,
                                     [](const BadProfit& b, int r) { return b.row < r; });
    if (it == m_badCosts.end() || it->row != row)
        return QString();
    return unreadableTradeText(QString::number(it->id), QStringLiteral("Своп или налог"), cp1251::decode(it->text));
}
