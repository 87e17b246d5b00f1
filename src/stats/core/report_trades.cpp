#include "stats/core/report_trades.h"

#include "db/core/columns.h"
#include "db/core/cp1251.h"
#include "db/core/numbers.h"
#include "db/core/reasons.h"
#include "db/core/sqlite_database.h"
#include "stats/core/trade_time.h"

#include <QDate>

#include <algorithm>
#include <cmath>
#include <iterator>
#include <limits>

namespace {

// The columns read: the grouped ones at the positions ReportTrades::Column
// names, then the rest.
constexpr t_sdelki::Column kRead[] = {
    t_sdelki::Type,    t_sdelki::Item,  t_sdelki::Verno,   t_sdelki::Strategia, t_sdelki::Taktika,
    t_sdelki::Psixo,   t_sdelki::Pravilo, t_sdelki::Pravilo2, t_sdelki::Ocenka, t_sdelki::OpenTime, t_sdelki::Profit,
    t_sdelki::Nedobral, t_sdelki::Id,   t_sdelki::Commission, t_sdelki::Taxes, t_sdelki::Swap,
    t_sdelki::PriceOpen, t_sdelki::PriceClose, t_sdelki::Sl};
using R = ReportTrades;
static_assert(sql::position(kRead, t_sdelki::Type) == R::Type && sql::position(kRead, t_sdelki::Item) == R::Item
              && sql::position(kRead, t_sdelki::Verno) == R::Verno
              && sql::position(kRead, t_sdelki::Strategia) == R::Strategia
              && sql::position(kRead, t_sdelki::Taktika) == R::Taktika
              && sql::position(kRead, t_sdelki::Psixo) == R::Psixo
              && sql::position(kRead, t_sdelki::Pravilo) == R::Pravilo
              && sql::position(kRead, t_sdelki::Pravilo2) == R::Pravilo2
              && sql::position(kRead, t_sdelki::Ocenka) == R::Ocenka);
constexpr int kOpenTime = sql::position(kRead, t_sdelki::OpenTime);
constexpr int kProfit = sql::position(kRead, t_sdelki::Profit);
constexpr int kNedobral = sql::position(kRead, t_sdelki::Nedobral);
constexpr int kId = sql::position(kRead, t_sdelki::Id);
constexpr int kCommission = sql::position(kRead, t_sdelki::Commission);
constexpr int kTaxes = sql::position(kRead, t_sdelki::Taxes);
constexpr int kSwap = sql::position(kRead, t_sdelki::Swap);
constexpr int kPrices[3] = {sql::position(kRead, t_sdelki::PriceOpen), sql::position(kRead, t_sdelki::PriceClose),
                            sql::position(kRead, t_sdelki::Sl)};
constexpr double kNaN = std::numeric_limits<double>::quiet_NaN();

// A number as stored, read by parse: short ASCII texts are widened on the
// stack rather than decoded into a string of their own; anything else takes
// the long way.
template <typename Parse>
std::optional<double> readStoredNumber(QByteArrayView bytes, Parse parse)
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
            return parse(QStringView(wide, bytes.size()));
    }
    return parse(cp1251::decode(bytes.data(), bytes.size()));
}

std::optional<double> readProfit(QByteArrayView bytes)
{
    return readStoredNumber(bytes, [](QStringView text) { return num::parseComma(text); });
}

// A price as stored. The statement's plain form ("1.23456", "0") is read
// here: its digits as a whole number divided by a power of ten, both exact
// in a double, which rounds the one division as a full parse would.
// Anything else takes the long way.
std::optional<double> readPrice(QByteArrayView bytes)
{
    if (bytes.isEmpty())
        return std::nullopt;
    static constexpr double kTens[] = {1e0, 1e1, 1e2, 1e3, 1e4, 1e5, 1e6, 1e7, 1e8, 1e9, 1e10, 1e11, 1e12, 1e13, 1e14, 1e15};
    qint64 digits = 0;
    int count = 0, decimals = -1;
    bool plain = bytes.size() <= 16;
    for (qsizetype i = 0; plain && i < bytes.size(); ++i) {
        const char c = bytes[i];
        if (c >= '0' && c <= '9') {
            digits = digits * 10 + (c - '0');
            ++count;
            if (decimals >= 0)
                ++decimals;
        } else if (c == '.' && decimals < 0 && i > 0 && i + 1 < bytes.size()) {
            decimals = 0;
        } else {
            plain = false;
        }
    }
    if (plain && count > 0 && count <= 15)
        return static_cast<double>(digits) / kTens[decimals < 0 ? 0 : decimals];
    return readStoredNumber(bytes, [](QStringView text) { return parsePrice(text); });
}

// "buy" or "sell" in any letter case, compared in place.
TradeSide sideOf(QByteArrayView type)
{
    const auto is = [&type](const char* word, qsizetype n) {
        if (type.size() != n)
            return false;
        for (qsizetype i = 0; i < n; ++i) {
            if ((type[i] | 0x20) != word[i])
                return false;
        }
        return true;
    };
    if (is("buy", 3))
        return TradeSide::Buy;
    if (is("sell", 4))
        return TradeSide::Sell;
    if (type.size() > 0 && (type[0] == ' ' || type[type.size() - 1] == ' ')) // blanks around: the long way
        return tradeSide(QString::fromLatin1(type.data(), type.size()));
    return TradeSide::Other;
}

int twoDigits(QByteArrayView t, qsizetype at)
{
    const char a = t[at], b = t[at + 1];
    if (a < '0' || a > '9' || b < '0' || b > '9')
        return -1;
    return (a - '0') * 10 + (b - '0');
}

// "2013.05.21 10:15" or "2013.05.21 10:15:07": the second of the day.
int secondOfDay(QByteArrayView t)
{
    if (t.size() < 16 || t[10] != ' ' || t[13] != ':')
        return ReportTrades::kNoTime;
    const int h = twoDigits(t, 11), m = twoDigits(t, 14);
    int s = 0;
    if (t.size() >= 19 && t[16] == ':')
        s = twoDigits(t, 17);
    if (h < 0 || h > 23 || m < 0 || m > 59 || s < 0 || s > 59)
        return ReportTrades::kNoTime;
    return h * 3600 + m * 60 + s;
}

} // namespace

ReportTrades::ReportTrades(TSQLiteDatabase& db, const QString& account)
{
    // Room for every trade of the journal at most, taken at once: the
    // largest id bounds the count and is found without a scan. Memory
    // reserved but not filled costs nothing, and no column is copied as
    // it grows.
    {
        qint64 largestId = 0;
        db.readRows(QStringLiteral("SELECT max(%1) FROM %2").arg(t_sdelki::name(t_sdelki::Id), t_sdelki::table), {},
                    [&largestId](const SqlRow& r) { largestId = r.integer(0); });
        reserve(static_cast<size_t>(std::clamp<qint64>(largestId, 0, 2'000'000)));
    }
    // The rows in stored order (the unary plus keeps SQLite off the index
    // by account and open time, which would hand them over by time): the
    // reports list categories and name the first unreadable trade in the
    // order the trades were copied.
    const QString query = QStringLiteral("SELECT %1 FROM %2 WHERE +%3=?")
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
        m_ids.push_back(r.integer(kId));
        m_sides.push_back(static_cast<quint8>(sideOf(r.bytes(Type))));
        double prices[3];
        for (int i = 0; i < 3; ++i)
            prices[i] = readPrice(r.bytes(kPrices[i])).value_or(kNaN);
        m_r.push_back(rMultiple(static_cast<TradeSide>(m_sides.back()), prices[0], prices[1], prices[2]).value_or(kNaN));
        const QByteArrayView time = r.bytes(kOpenTime);
        const auto day = tradeDayParts(time);
        m_days.push_back(day ? static_cast<int>(QDate((*day)[0], (*day)[1], (*day)[2]).toJulianDay()) : kNoDay);
        m_seconds.push_back(day ? secondOfDay(time) : kNoTime);
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

void ReportTrades::reserve(size_t rows)
{
    m_profit.reserve(rows);
    m_profitRead.reserve(rows);
    m_net.reserve(rows);
    m_nedobral.reserve(rows);
    m_categories.reserve(rows * ColumnCount);
    m_times.reserve(rows * 19); // "2013.05.21 10:15:07"
    m_timeEnds.reserve(rows);
    m_ids.reserve(rows);
    m_days.reserve(rows);
    m_seconds.reserve(rows);
    m_sides.reserve(rows);
    m_r.reserve(rows);
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

int ReportTrades::openWeekday(int row) const
{
    const int day = m_days[static_cast<size_t>(row)];
    // Julian day 0 was a Monday.
    return day == kNoDay ? 0 : static_cast<int>(((static_cast<qint64>(day) % 7) + 7) % 7) + 1;
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

QString ReportTrades::moneyProblem() const
{
    int bad = 0;
    int first = -1;
    for (size_t i = 0; i < m_net.size(); ++i) {
        if (std::isnan(m_net[i]) && bad++ == 0)
            first = static_cast<int>(i);
    }
    return bad == 0 ? QString() : unreadableTradesText(netProblem(first), bad);
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
