#include "stats/core/report_trades.h"

#include "db/core/columns.h"
#include "db/core/cp1251.h"
#include "db/core/numbers.h"
#include "db/core/reasons.h"
#include "db/core/sqlite_database.h"
#include "stats/core/account_trades.h"
#include "stats/core/trade_time.h"

#include <QDate>

#include <algorithm>
#include <thread>
#include <cmath>
#include <iterator>
#include <limits>

namespace {

// The digest's columns of the grouped ones, at the positions
// ReportTrades::Column names.
using A = AccountTrades;
constexpr A::Column kGrouped[ReportTrades::ColumnCount] = {A::Type,    A::Item,  A::Verno,   A::Strategia, A::Taktika,
                                                           A::Psixo,   A::Pravilo, A::Pravilo2, A::Ocenka};
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

// Trades from which their figures are worked out on a thread of their own.
constexpr int kThreadFrom = 50000;

// What is worked out from a text the digest keeps once (a price, a pair, a
// side), by where the text is stored: a text that repeats is read once. A
// small table, each slot holding the last text that fell into it.
template <typename T>
class ByStoredText {
public:
    ByStoredText()
        : m_slots(size_t(1) << kBits)
    {
    }
    template <typename Make>
    T get(QByteArrayView bytes, Make make)
    {
        if (!bytes.data())
            return make(bytes);
        const auto key = reinterpret_cast<quintptr>(bytes.data());
        Slot& slot = m_slots[static_cast<size_t>((quint64(key) * 0x9E3779B97F4A7C15ull) >> (64 - kBits))];
        if (slot.at != bytes.data() || slot.size != bytes.size()) {
            slot.value = make(bytes);
            slot.at = bytes.data();
            slot.size = bytes.size();
        }
        return slot.value;
    }

private:
    static constexpr int kBits = 12;
    struct Slot {
        const char* at = nullptr;
        qsizetype size = 0;
        T value{};
    };
    std::vector<Slot> m_slots;
};

} // namespace

ReportTrades::ReportTrades(TSQLiteDatabase& db, const QString& account)
    : ReportTrades(AccountTrades::read(db, account))
{
}

ReportTrades::ReportTrades(std::shared_ptr<AccountTrades> digest)
    : m_digest(std::move(digest))
{
    const AccountTrades& t = *m_digest;
    const AccountTrades::Numbers& numbers = t.numbers();
    const int rows = t.count();
    // The rows in stored order (by id): the reports list categories and
    // name the first unreadable trade in the order the trades were copied.
    // The digest comes by open time, which is usually the same order.
    bool stored = true;
    for (int r = 1; r < rows && stored; ++r)
        stored = t.id(r - 1) < t.id(r);
    if (!stored) {
        m_rows.resize(static_cast<size_t>(rows));
        for (int r = 0; r < rows; ++r)
            m_rows[static_cast<size_t>(r)] = r;
        std::sort(m_rows.begin(), m_rows.end(), [&t](int a, int b) { return t.id(a) < t.id(b); });
    }
    m_categories.reserve(static_cast<size_t>(rows) * ColumnCount);
    m_net.resize(static_cast<size_t>(rows));
    m_days.resize(static_cast<size_t>(rows));
    m_seconds.resize(static_cast<size_t>(rows));
    m_sides.resize(static_cast<size_t>(rows));
    m_r.resize(static_cast<size_t>(rows));

    // Each trade's own figures: its net, side, R and time of day.
    auto figures = [&](int from, int to) {
        using N = AccountTrades::Numbers;
        ByStoredText<double> prices[3];
        auto price = [](QByteArrayView bytes) { return readPrice(bytes).value_or(kNaN); };
        // Trades of one day follow each other: its number is worked out
        // once per run of them (the day of a valid date's first ten bytes).
        QByteArrayView lastDay;
        int lastDayNumber = kNoDay;
        for (int row = from; row < to; ++row) {
            const int d = at(row);
            const size_t i = static_cast<size_t>(row);
            const quint8 bad = numbers.bad[d];
            // The swap is stored with a comma (an empty one is none), the
            // taxes as the statement wrote them, the commission in a REAL
            // column.
            if (bad & (N::BadProfit | N::BadTaxes | N::BadSwap)) {
                m_net[i] = kNaN;
            } else {
                const QByteArrayView swapBytes = t.bytes(d, A::Swap);
                std::optional<double> swap = numbers.swap[d];
                if (!swapBytes.isEmpty() && *swap == 0.0)
                    swap = num::parseCommaBytes(swapBytes); // a blank swap is no number here
                else if (swapBytes.isEmpty())
                    swap = 0.0;
                m_net[i] = swap ? numbers.profit[d] + numbers.commission[d] + numbers.taxes[d] + *swap : kNaN;
            }
            const TradeSide side = sideOf(t.bytes(d, A::Type));
            m_sides[i] = static_cast<quint8>(side);
            const double open = prices[0].get(t.bytes(d, A::PriceOpen), price);
            const double close = prices[1].get(t.bytes(d, A::PriceClose), price);
            const double stop = prices[2].get(t.bytes(d, A::Sl), price);
            m_r[i] = rMultiple(side, open, close, stop).value_or(kNaN);
            const QByteArrayView time = t.bytes(d, A::OpenTime);
            if (!lastDay.isEmpty() && time.size() >= 10 && time.first(10) == lastDay) {
                m_days[i] = lastDayNumber;
                m_seconds[i] = secondOfDay(time);
            } else if (const auto day = tradeDayParts(time)) {
                lastDayNumber = static_cast<int>(QDate((*day)[0], (*day)[1], (*day)[2]).toJulianDay());
                lastDay = time.first(10);
                m_days[i] = lastDayNumber;
                m_seconds[i] = secondOfDay(time);
            } else {
                m_days[i] = kNoDay;
                m_seconds[i] = kNoTime;
            }
        }
    };
    // A large account's figures are worked out on a thread of their own
    // while this one numbers the grouped texts, which must go in order.
    std::thread other;
    if (rows >= kThreadFrom)
        other = std::thread(figures, 0, rows);
    else
        figures(0, rows);

    // A text the digest keeps once is looked up once.
    std::vector<ByStoredText<int>> indexes(ColumnCount);
    for (int row = 0; row < rows; ++row) {
        const int d = at(row);
        for (int c = 0; c < ColumnCount; ++c) {
            const QByteArrayView bytes = t.bytes(d, kGrouped[c]);
            if (bytes.isNull()) {
                m_categories.push_back(-1);
                continue;
            }
            m_categories.push_back(indexes[static_cast<size_t>(c)].get(bytes, [&](QByteArrayView b) { return textIndex(c, b); }));
        }
    }
    if (other.joinable())
        other.join();

    // Byte order is SQLite's order of texts; the row breaks ties (a stable
    // sort). Statements are usually imported oldest first, so the rows
    // often come in order.
    m_timeOrder.resize(m_net.size());
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

ReportTrades::~ReportTrades() = default;
ReportTrades::ReportTrades(ReportTrades&&) noexcept = default;

qint64 ReportTrades::nedobral(int row) const { return m_digest->numbers().nedobral[static_cast<size_t>(at(row))]; }

qint64 ReportTrades::id(int row) const { return m_digest->id(at(row)); }

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
    const QByteArrayView t = m_digest->bytes(at(row), A::OpenTime);
    return t.isNull() ? QByteArrayView("", 0) : t;
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
    const int d = at(row);
    const AccountTrades::Numbers& n = m_digest->numbers();
    if (n.bad[d] & AccountTrades::Numbers::BadProfit)
        return std::nullopt;
    return n.profit[d];
}

QString ReportTrades::profitProblem(int row) const
{
    if (profit(row))
        return QString();
    const int d = at(row);
    return unreadableTradeText(QString::number(m_digest->id(d)), QStringLiteral("Прибыль"),
                               m_digest->text(d, A::Profit));
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
    if (!profit(row))
        return profitProblem(row);
    if (net(row))
        return QString();
    // The first of the swap and the taxes that does not read.
    const int d = at(row);
    const QByteArrayView swapBytes = m_digest->bytes(d, A::Swap);
    const bool swapReads = swapBytes.isEmpty() || num::parseCommaBytes(swapBytes);
    const A::Column column = swapReads ? A::Taxes : A::Swap;
    const QByteArrayView bytes = m_digest->bytes(d, column);
    return unreadableTradeText(QString::number(m_digest->id(d)), QStringLiteral("Своп или налог"),
                               cp1251::decode(bytes.data(), bytes.size()));
}
