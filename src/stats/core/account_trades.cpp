#include "stats/core/account_trades.h"

#include "db/core/columns.h"
#include "db/core/numbers.h"
#include "db/core/reasons.h"
#include "db/core/sqlite_database.h"

#include <algorithm>
#include <iterator>
#include <limits>

namespace {

// "yyyy.mm.dd hh:mm" or "yyyy.mm.dd hh:mm:ss" as a number that sorts like
// the text: the digits, then the length (a shorter text that is a prefix of
// a longer one comes first). Nothing for any other form.
std::optional<quint64> timeKey(QByteArrayView t)
{
    static constexpr char kShape[] = "0000.00.00 00:00:00";
    if (t.size() != 16 && t.size() != 19)
        return std::nullopt;
    quint64 key = 0;
    for (qsizetype i = 0; i < 19; ++i) {
        if (i >= t.size()) {
            if (kShape[i] == '0')
                key *= 10; // absent seconds count as 00 (the colon before them is no digit)
            continue;
        }
        const char c = t[i];
        if (kShape[i] == '0') {
            if (c < '0' || c > '9')
                return std::nullopt;
            key = key * 10 + static_cast<quint64>(c - '0');
        } else if (c != kShape[i]) {
            return std::nullopt;
        }
    }
    return key * 2 + (t.size() == 19 ? 1 : 0);
}

// The columns read, at the positions AccountTrades::Column names.
constexpr t_sdelki::Column kRead[] = {
    t_sdelki::Id,        t_sdelki::Ticket,     t_sdelki::OpenTime,   t_sdelki::Type,    t_sdelki::Size,
    t_sdelki::Item,      t_sdelki::PriceOpen,  t_sdelki::Sl,         t_sdelki::Tp,      t_sdelki::CloseTime,
    t_sdelki::PriceClose, t_sdelki::Commission, t_sdelki::Swap,      t_sdelki::Profit,  t_sdelki::Taktika,
    t_sdelki::Pravilo2,  t_sdelki::Comment,    t_sdelki::Ocenka,     t_sdelki::Profit2, t_sdelki::Taxes};
static_assert(std::size(kRead) == AccountTrades::ColumnCount);
using C = AccountTrades;
static_assert(kRead[C::Id] == t_sdelki::Id && kRead[C::Ticket] == t_sdelki::Ticket
              && kRead[C::OpenTime] == t_sdelki::OpenTime && kRead[C::Type] == t_sdelki::Type
              && kRead[C::Size] == t_sdelki::Size && kRead[C::Item] == t_sdelki::Item
              && kRead[C::PriceOpen] == t_sdelki::PriceOpen && kRead[C::Sl] == t_sdelki::Sl
              && kRead[C::Tp] == t_sdelki::Tp && kRead[C::CloseTime] == t_sdelki::CloseTime
              && kRead[C::PriceClose] == t_sdelki::PriceClose && kRead[C::Commission] == t_sdelki::Commission
              && kRead[C::Swap] == t_sdelki::Swap && kRead[C::Profit] == t_sdelki::Profit
              && kRead[C::Taktika] == t_sdelki::Taktika && kRead[C::Pravilo2] == t_sdelki::Pravilo2
              && kRead[C::Comment] == t_sdelki::Comment && kRead[C::Ocenka] == t_sdelki::Ocenka
              && kRead[C::Profit2] == t_sdelki::Profit2 && kRead[C::Taxes] == t_sdelki::Taxes);

std::vector<int> identity(int n)
{
    std::vector<int> order(static_cast<size_t>(n));
    for (int i = 0; i < n; ++i)
        order[i] = i;
    return order;
}

} // namespace

AccountTrades::AccountTrades(TSQLiteDatabase& db, const QString& account)
    : m_rows(db.openResultTable(QStringLiteral("SELECT %1 FROM %2 WHERE %3=?")
                                    .arg(sql::columnList(kRead), t_sdelki::table, t_sdelki::name(t_sdelki::Chet)),
                                {account}))
{
}

AccountTrades::~AccountTrades() = default;
AccountTrades::AccountTrades(AccountTrades&&) noexcept = default;

int AccountTrades::count() const { return m_rows->rowCount(); }

const std::vector<int>& AccountTrades::byProfitDescending()
{
    if (m_byProfit)
        return *m_byProfit;
    // Sorted as (key, row) pairs side by side in memory; a trade without a
    // profit gets the lowest key, so it comes after every real profit.
    struct Key {
        double profit;
        int row;
    };
    TSQLiteTable& rows = *m_rows;
    std::vector<Key> keys;
    keys.reserve(static_cast<size_t>(count()));
    for (rows.seek(0); !rows.atEnd(); rows.moveNext()) {
        const double key = rows.isNull(Profit2) ? -std::numeric_limits<double>::infinity() : rows.fieldNumber(Profit2);
        keys.push_back({key, rows.currentRow()});
    }
    rows.seek(0);
    // Equal profits keep the stored order (the row breaks the tie).
    std::sort(keys.begin(), keys.end(), [](const Key& a, const Key& b) {
        return a.profit != b.profit ? a.profit > b.profit : a.row < b.row;
    });
    std::vector<int> order;
    order.reserve(keys.size());
    for (const Key& k : keys)
        order.push_back(k.row);
    m_byProfit = std::move(order);
    return *m_byProfit;
}

const std::vector<int>& AccountTrades::byOpenTime()
{
    if (m_byOpenTime)
        return *m_byOpenTime;
    TSQLiteTable& rows = *m_rows;
    struct Key {
        quint64 time;
        int row;
    };
    std::vector<Key> keys;
    keys.reserve(static_cast<size_t>(count()));
    for (rows.seek(0); !rows.atEnd(); rows.moveNext()) {
        // The stored bytes: a time of the usual form is ASCII, so no decoding.
        const std::optional<QByteArrayView> bytes = rows.fieldBytesOf(OpenTime);
        const std::optional<quint64> key = bytes ? timeKey(*bytes) : std::nullopt;
        if (!key)
            break;
        keys.push_back({*key, rows.currentRow()});
    }
    std::vector<int> order;
    order.reserve(static_cast<size_t>(count()));
    if (keys.size() == static_cast<size_t>(count())) {
        std::sort(keys.begin(), keys.end(),
                  [](const Key& a, const Key& b) { return a.time != b.time ? a.time < b.time : a.row < b.row; });
        for (const Key& k : keys)
            order.push_back(k.row);
    } else {
        // Times of other forms: compared as texts. Trade times are ASCII, so
        // comparing code units is SQLite's text order.
        std::vector<QString> times;
        times.reserve(static_cast<size_t>(count()));
        for (rows.seek(0); !rows.atEnd(); rows.moveNext())
            times.push_back(rows.fieldTextOf(OpenTime));
        order = identity(count());
        std::stable_sort(order.begin(), order.end(),
                         [&](int a, int b) { return QStringView(times[a]).compare(times[b]) < 0; });
    }
    rows.seek(0);
    m_byOpenTime = std::move(order);
    return *m_byOpenTime;
}

const AccountTrades::Numbers& AccountTrades::numbers()
{
    if (m_numbers)
        return *m_numbers;
    Numbers n;
    const size_t size = static_cast<size_t>(count());
    n.profit.resize(size);
    n.commission.resize(size);
    n.swap.resize(size);
    n.taxes.resize(size);
    n.bad.resize(size);
    TSQLiteTable& rows = *m_rows;
    QString buffer;
    auto read = [&](Column column, double& value, quint8 flag, quint8& bad) {
        buffer.clear();
        rows.appendFieldTextOf(column, buffer);
        const std::optional<double> parsed = column == Swap ? num::parseSwap(buffer) : num::parseComma(buffer);
        value = parsed.value_or(0.0);
        if (!parsed)
            bad |= flag;
    };
    for (rows.seek(0); !rows.atEnd(); rows.moveNext()) {
        const int r = rows.currentRow();
        read(Profit, n.profit[r], Numbers::BadProfit, n.bad[r]);
        read(Commission, n.commission[r], Numbers::BadCommission, n.bad[r]);
        read(Swap, n.swap[r], Numbers::BadSwap, n.bad[r]);
        buffer.clear();
        rows.appendFieldTextOf(Taxes, buffer);
        const std::optional<double> taxes = num::parseTaxes(buffer);
        n.taxes[r] = taxes.value_or(0.0);
        if (!taxes)
            n.bad[r] |= Numbers::BadTaxes;
    }
    rows.seek(0);
    m_numbers = std::move(n);
    return *m_numbers;
}

QString AccountTrades::text(int row, Column column)
{
    m_rows->seek(row);
    const QString t = m_rows->fieldTextOf(column);
    m_rows->seek(0);
    return t;
}

QString AccountTrades::badMoneyText(int row)
{
    const quint8 bad = numbers().bad[row];
    if (!bad)
        return {};
    static constexpr std::pair<quint8, Column> kChecks[] = {{Numbers::BadProfit, Profit},
                                                           {Numbers::BadCommission, Commission},
                                                           {Numbers::BadTaxes, Taxes},
                                                           {Numbers::BadSwap, Swap}};
    static const QString kWhat[] = {QStringLiteral("Прибыль"), QStringLiteral("Комиссия"), QStringLiteral("Налог"),
                                    QStringLiteral("Своп")};
    for (size_t i = 0; i < std::size(kChecks); ++i) {
        if (bad & kChecks[i].first)
            return unreadableTradeText(text(row, Id), kWhat[i], text(row, kChecks[i].second));
    }
    return {};
}
