#include "stats/core/period_totals.h"

#include "db/core/columns.h"
#include "db/core/cp1251.h"
#include "db/core/numbers.h"
#include "db/core/reasons.h"
#include "db/core/sqlite_database.h"
#include "stats/core/account_trades.h"
#include "stats/core/trade_time.h"

#include <algorithm>
#include <cstdlib>
#include <iterator>
#include <string_view>

namespace {

using Col = AccountTrades::Column;

// The stored bytes of a text cell. SQLite compares texts byte by byte, and
// so does std::string_view (its characters compare as unsigned).
std::string_view bytesOf(const AccountTrades& trades, int row, Col column)
{
    const QByteArrayView bytes = trades.bytes(row, column);
    return std::string_view(bytes.data(), static_cast<size_t>(bytes.size()));
}

std::string_view view(const QByteArray& bytes) { return std::string_view(bytes.constData(), bytes.size()); }

// The day a trade time begins with ("2013.07.05 ..."), when the text goes on
// after it; nothing for any other form.
std::optional<QDate> datePrefix(std::string_view t)
{
    if (t.size() <= 10)
        return std::nullopt;
    const auto parts = tradeDayParts(QByteArrayView(t.data(), static_cast<qsizetype>(t.size())));
    return parts ? std::optional<QDate>(QDate((*parts)[0], (*parts)[1], (*parts)[2])) : std::nullopt;
}

} // namespace

QString periodBoundText(const QDate& date) { return date.toString(QStringLiteral("yyyy.MM.dd")); }

bool moneyBefore(TSQLiteDatabase& db, const QString& account, const QDate& bound, MoneyBefore& money,
                 QString& reason)
{
    return moneyBefore(*AccountTrades::read(db, account), bound, money, reason);
}

bool moneyBefore(const AccountTrades& trades, const QDate& bound, MoneyBefore& money, QString& reason)
{
    // The trades opened up to the bound as SQLite compares the texts (a
    // trade without a time is in no range), in the order they were stored.
    const QByteArray boundText = periodBoundText(bound).toLatin1();
    const std::string_view upTo = view(boundText);
    const AccountTrades::Numbers& n = trades.numbers();
    // A trade whose money does not read is left out; the reason names the
    // first of them as stored (the lowest id).
    int firstBad = -1;
    for (int r = 0; r < trades.count(); ++r) {
        const QByteArrayView time = trades.bytes(r, Col::OpenTime);
        if (time.isNull() || bytesOf(trades, r, Col::OpenTime) > upTo)
            continue;
        if (n.bad[r]) {
            if (firstBad < 0 || trades.id(r) < trades.id(firstBad))
                firstBad = r;
            continue;
        }
        money.profit += n.profit[r];
        money.net += n.net(r);
    }
    if (firstBad < 0)
        return true;
    using N = AccountTrades::Numbers;
    const quint8 bad = n.bad[firstBad];
    const auto [what, column] = bad & N::BadProfit ? std::pair(u"Прибыль", Col::Profit)
        : bad & N::BadCommission                   ? std::pair(u"Комиссия", Col::Commission)
        : bad & N::BadTaxes                        ? std::pair(u"Налог", Col::Taxes)
                                                   : std::pair(u"Своп", Col::Swap);
    reason = unreadableTradeText(trades.text(firstBad, Col::Id), QString::fromUtf16(what), trades.text(firstBad, column));
    return false;
}

int wholeDaysBetween(const QDateTime& from, const QDateTime& to)
{
    constexpr qint64 kDay = 24 * 60 * 60 * 1000;
    const qint64 msecs = from.date().daysTo(to.date()) * kDay
        + (to.time().msecsSinceStartOfDay() - from.time().msecsSinceStartOfDay());
    return static_cast<int>(std::llabs(msecs) / kDay);
}

PeriodTrades::PeriodTrades(TSQLiteDatabase& db, const QString& account, const std::vector<QDate>& bounds)
    : PeriodTrades(bounds.size() >= 2 ? AccountTrades::read(db, account) : nullptr, bounds)
{
}

PeriodTrades::PeriodTrades(std::shared_ptr<AccountTrades> trades, const std::vector<QDate>& bounds)
    : m_trades(std::move(trades))
    , m_excellent(cp1251::encode(u"Отлично"))
    , m_bad(cp1251::encode(u"Плохо"))
{
    group(bounds, nullptr);
}

PeriodTrades::PeriodTrades(const PeriodTrades& wider, const std::vector<QDate>& bounds)
    : m_trades(wider.m_trades)
    , m_excellent(wider.m_excellent)
    , m_bad(wider.m_bad)
{
    group(bounds, &wider.m_order);
}

void PeriodTrades::group(const std::vector<QDate>& bounds, const std::vector<int>* timeOrder)
{
    m_periodBegin.assign(std::max<size_t>(bounds.size(), 1), 0);
    if (bounds.size() < 2 || !m_trades)
        return;
    std::vector<QByteArray> boundText;
    std::vector<qint64> boundDay;
    for (const QDate& d : bounds) {
        boundText.push_back(periodBoundText(d).toLatin1());
        boundDay.push_back(d.toJulianDay());
    }

    // The period of every trade. A time that begins with a real date and
    // goes on after it lies after that date's text and before the next
    // day's, so its period follows from the date alone; any other text is
    // placed among the bounds' texts.
    const int periods = periodCount();
    const AccountTrades& trades = *m_trades;
    std::vector<int> source;
    if (!timeOrder) {
        source.resize(static_cast<size_t>(trades.count()));
        for (int row = 0; row < trades.count(); ++row)
            source[row] = row;
    }
    const std::vector<int>& from = timeOrder ? *timeOrder : source;
    std::vector<int> periodOf(static_cast<size_t>(trades.count()), -1);
    std::vector<int> sizes(static_cast<size_t>(periods), 0);
    for (const int row : from) {
        if (trades.bytes(row, Col::OpenTime).isNull())
            continue; // a trade without a time lies in no range
        const std::string_view time = bytesOf(trades, row, Col::OpenTime);
        int period = -1;
        if (const std::optional<QDate> date = datePrefix(time)) {
            const auto above = std::upper_bound(boundDay.begin(), boundDay.end(), date->toJulianDay());
            period = static_cast<int>(above - boundDay.begin()) - 1;
        } else {
            const auto above = std::lower_bound(boundText.begin(), boundText.end(), time,
                                                [](const QByteArray& b, std::string_view t) { return view(b) < t; });
            if (above != boundText.end() && view(*above) != time) // exactly on a bound: in no period
                period = static_cast<int>(above - boundText.begin()) - 1;
        }
        if (period < 0 || period >= periods)
            continue;
        periodOf[row] = period;
        ++sizes[period];
    }
    for (int p = 0; p < periods; ++p)
        m_periodBegin[p + 1] = m_periodBegin[p] + sizes[p];

    // Grouped by period, keeping the order of the source.
    m_order.resize(static_cast<size_t>(m_periodBegin[periods]));
    std::vector<int> next(m_periodBegin.begin(), m_periodBegin.end() - 1);
    for (const int row : from)
        if (periodOf[row] >= 0)
            m_order[next[periodOf[row]]++] = row;
    if (timeOrder)
        return; // the split of a reading already in time order

    // Each period sorted by time here rather than by SQLite, whose sorter is
    // the slow part of a large read; equal times keep the order in which the
    // trades were entered.
    struct Key {
        std::string_view time;
        qint64 id;
        int row;
    };
    std::vector<Key> keys;
    for (int p = 0; p < periods; ++p) {
        keys.clear();
        for (int i = m_periodBegin[p]; i < m_periodBegin[p + 1]; ++i)
            keys.push_back({bytesOf(trades, m_order[i], Col::OpenTime), trades.id(m_order[i]), m_order[i]});
        std::sort(keys.begin(), keys.end(),
                  [](const Key& a, const Key& b) { return a.time != b.time ? a.time < b.time : a.id < b.id; });
        for (size_t k = 0; k < keys.size(); ++k)
            m_order[m_periodBegin[p] + k] = keys[k].row;
    }
}

PeriodTrades::~PeriodTrades() = default;

QString PeriodTrades::firstOpenTime(int period) const
{
    return m_trades->text(m_order[m_periodBegin[period]], Col::OpenTime);
}

bool PeriodTrades::totals(int period, PeriodTotals& t, QString& reason) const
{
    const AccountTrades& trades = *m_trades;
    const AccountTrades::Numbers& n = trades.numbers();
    using N = AccountTrades::Numbers;
    // A trade whose number does not read is named and left out; the others count.
    bool whole = true;
    auto skip = [&](int row, const char16_t* what, Col column) {
        if (whole)
            reason = unreadableTradeText(trades.text(row, Col::Id), QString::fromUtf16(what), trades.text(row, column));
        whole = false;
        ++t.unreadable;
    };
    const std::string_view excellent = view(m_excellent), bad = view(m_bad);
    int winRun = 0, lossRun = 0;
    for (int i = m_periodBegin[period]; i < m_periodBegin[period + 1]; ++i) {
        const int row = m_order[i];
        if (const quint8 flags = n.bad[row]) {
            if (flags & N::BadProfit)
                skip(row, u"Прибыль", Col::Profit);
            else if (flags & N::BadCommission)
                skip(row, u"Комиссия", Col::Commission);
            else if (flags & N::BadTaxes)
                skip(row, u"Налог", Col::Taxes);
            else
                skip(row, u"Своп", Col::Swap);
            continue;
        }
        if (n.badNedobral[row]) {
            skip(row, u"НЛ", Col::Nedobral);
            continue;
        }
        const double profit = n.profit[row];
        ++t.n;
        t.commission += n.commission[row];
        t.swap += n.swap[row];
        t.taxes += n.taxes[row];
        t.nedobralSum += n.nedobral[row];
        if (profit > 0) {
            ++t.wins;
            t.sumPos += profit;
            t.maxPos = std::max(t.maxPos, profit);
            ++winRun;
            lossRun = 0;
        } else if (profit < 0) {
            ++t.losses;
            t.sumNeg += profit;
            t.minNeg = std::min(t.minNeg, profit);
            ++lossRun;
            winRun = 0;
        } else {
            winRun = lossRun = 0; // a trade at zero ends both runs
        }
        t.longestWinningRun = std::max(t.longestWinningRun, winRun);
        t.longestLosingRun = std::max(t.longestLosingRun, lossRun);

        const std::string_view rating = bytesOf(trades, row, Col::Ocenka);
        if (rating == excellent)
            t.ratingPoints += 10;
        else if (rating == bad)
            t.ratingPoints += 3;
    }
    return whole;
}
