#include "stats/core/period_totals.h"

#include "db/core/columns.h"
#include "db/core/cp1251.h"
#include "db/core/numbers.h"
#include "db/core/reasons.h"
#include "db/core/sqlite_database.h"
#include "stats/core/trade_time.h"

#include <algorithm>
#include <cstdlib>
#include <iterator>
#include <string_view>

namespace {

// The columns the totals need, in the order of the select list.
constexpr t_sdelki::Column kRead[] = {t_sdelki::Id,       t_sdelki::OpenTime, t_sdelki::Profit,
                                      t_sdelki::Commission, t_sdelki::Nedobral, t_sdelki::Ocenka,
                                      t_sdelki::Swap,       t_sdelki::Taxes};
constexpr int kId = sql::position(kRead, t_sdelki::Id);
constexpr int kOpenTime = sql::position(kRead, t_sdelki::OpenTime);
constexpr int kProfit = sql::position(kRead, t_sdelki::Profit);
constexpr int kCommission = sql::position(kRead, t_sdelki::Commission);
constexpr int kNedobral = sql::position(kRead, t_sdelki::Nedobral);
constexpr int kOcenka = sql::position(kRead, t_sdelki::Ocenka);
constexpr int kSwap = sql::position(kRead, t_sdelki::Swap);
constexpr int kTaxes = sql::position(kRead, t_sdelki::Taxes);

// The stored bytes of a text cell. SQLite compares texts byte by byte, and
// so does std::string_view (its characters compare as unsigned).
std::string_view bytesOf(const TSQLiteTable& rows, int column)
{
    const std::optional<QByteArrayView> bytes = rows.fieldBytesOf(column);
    return bytes ? std::string_view(bytes->data(), static_cast<size_t>(bytes->size())) : std::string_view();
}

// A number of a REAL or INTEGER column is taken as it is stored (its text
// would only write it back out with a comma); a text is read with the
// comma. text is left holding what was read, for a message.
std::optional<double> readNumber(const TSQLiteTable& rows, int column, QString& text)
{
    text.clear();
    const TSQLiteTable::Kind kind = rows.columnKind(column);
    if (kind == TSQLiteTable::Kind::Number || kind == TSQLiteTable::Kind::Integer)
        return rows.fieldNumber(column);
    rows.appendFieldTextOf(column, text);
    return num::parseComma(text);
}

std::optional<qint64> readInteger(const TSQLiteTable& rows, int column, QString& text)
{
    text.clear();
    if (rows.columnKind(column) == TSQLiteTable::Kind::Integer)
        return rows.fieldInteger(column);
    rows.appendFieldTextOf(column, text);
    return num::parseInteger(text);
}

std::optional<double> readTaxes(const TSQLiteTable& rows, int column, QString& text)
{
    text.clear();
    rows.appendFieldTextOf(column, text);
    return num::parseTaxes(text);
}

std::optional<double> readSwap(const TSQLiteTable& rows, int column, QString& text)
{
    text.clear();
    rows.appendFieldTextOf(column, text);
    return num::parseSwap(text);
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
    using namespace t_sdelki;
    static constexpr Column kMoney[] = {Id, Profit, Commission, Taxes, Swap};
    const auto rows = db.openResultTable(QStringLiteral("SELECT %1 FROM %2 WHERE %3=? AND %4<=?")
                                             .arg(sql::columnList(kMoney), t_sdelki::table, name(Chet), name(OpenTime)),
                                         {account, periodBoundText(bound)});
    QString text;
    bool whole = true;
    auto skip = [&](const char16_t* what) {
        if (whole)
            reason = unreadableTradeText(rows->fieldTextOf(0), QString::fromUtf16(what), text);
        whole = false;
    };
    for (; !rows->atEnd(); rows->moveNext()) {
        const std::optional<double> profit = readNumber(*rows, 1, text);
        if (!profit) {
            skip(u"Прибыль");
            continue;
        }
        const std::optional<double> commission = readNumber(*rows, 2, text);
        if (!commission) {
            skip(u"Комиссия");
            continue;
        }
        const std::optional<double> taxes = readTaxes(*rows, 3, text);
        if (!taxes) {
            skip(u"Налог");
            continue;
        }
        const std::optional<double> swap = readSwap(*rows, 4, text);
        if (!swap) {
            skip(u"Своп");
            continue;
        }
        money.profit += *profit;
        money.net += *profit + *commission + *taxes + *swap;
    }
    return whole;
}

int wholeDaysBetween(const QDateTime& from, const QDateTime& to)
{
    constexpr qint64 kDay = 24 * 60 * 60 * 1000;
    const qint64 msecs = from.date().daysTo(to.date()) * kDay
        + (to.time().msecsSinceStartOfDay() - from.time().msecsSinceStartOfDay());
    return static_cast<int>(std::llabs(msecs) / kDay);
}

PeriodTrades::PeriodTrades(TSQLiteDatabase& db, const QString& account, const std::vector<QDate>& bounds)
    : m_excellent(cp1251::encode(u"Отлично"))
    , m_bad(cp1251::encode(u"Плохо"))
{
    if (bounds.size() >= 2) {
        using namespace t_sdelki;
        m_rows = db.openResultTable(QStringLiteral("SELECT %1 FROM %2 WHERE %3=? and %4>? and %4<?")
                                        .arg(sql::columnList(kRead), table, name(Chet), name(OpenTime)),
                                    {account, periodBoundText(bounds.front()), periodBoundText(bounds.back())});
    }
    group(bounds, nullptr);
}

PeriodTrades::PeriodTrades(const PeriodTrades& wider, const std::vector<QDate>& bounds)
    : m_rows(wider.m_rows)
    , m_excellent(wider.m_excellent)
    , m_bad(wider.m_bad)
{
    group(bounds, &wider.m_order);
}

void PeriodTrades::group(const std::vector<QDate>& bounds, const std::vector<int>* timeOrder)
{
    m_periodBegin.assign(std::max<size_t>(bounds.size(), 1), 0);
    if (bounds.size() < 2 || !m_rows)
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
    TSQLiteTable& rows = *m_rows;
    std::vector<int> source;
    if (!timeOrder) {
        source.resize(static_cast<size_t>(rows.rowCount()));
        for (int row = 0; row < rows.rowCount(); ++row)
            source[row] = row;
    }
    const std::vector<int>& from = timeOrder ? *timeOrder : source;
    std::vector<int> periodOf(static_cast<size_t>(rows.rowCount()), -1);
    std::vector<int> sizes(static_cast<size_t>(periods), 0);
    for (const int row : from) {
        rows.seek(row);
        const std::string_view time = bytesOf(rows, kOpenTime);
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
    rows.seek(0);
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
        for (int i = m_periodBegin[p]; i < m_periodBegin[p + 1]; ++i) {
            rows.seek(m_order[i]);
            keys.push_back({bytesOf(rows, kOpenTime), rows.fieldInteger(kId), m_order[i]});
        }
        std::sort(keys.begin(), keys.end(),
                  [](const Key& a, const Key& b) { return a.time != b.time ? a.time < b.time : a.id < b.id; });
        for (size_t k = 0; k < keys.size(); ++k)
            m_order[m_periodBegin[p] + k] = keys[k].row;
    }
    rows.seek(0);
}

PeriodTrades::~PeriodTrades() = default;

QString PeriodTrades::firstOpenTime(int period) const
{
    m_rows->seek(m_order[m_periodBegin[period]]);
    const QString time = m_rows->fieldTextOf(kOpenTime);
    m_rows->seek(0);
    return time;
}

bool PeriodTrades::totals(int period, PeriodTotals& t, QString& reason) const
{
    TSQLiteTable& rows = *m_rows;
    QString text;
    // A trade whose number does not read is named and left out; the others count.
    bool whole = true;
    auto skip = [&](const char16_t* what) {
        if (whole)
            reason = unreadableTradeText(rows.fieldTextOf(kId), QString::fromUtf16(what), text);
        whole = false;
        ++t.unreadable;
    };
    int winRun = 0, lossRun = 0;
    for (int i = m_periodBegin[period]; i < m_periodBegin[period + 1]; ++i) {
        rows.seek(m_order[i]);
        text.clear();
        rows.appendFieldTextOf(kProfit, text);
        const std::optional<double> profit = num::parseComma(text);
        if (!profit) {
            skip(u"Прибыль");
            continue;
        }
        const std::optional<double> commission = readNumber(rows, kCommission, text);
        if (!commission) {
            skip(u"Комиссия");
            continue;
        }
        const std::optional<double> taxes = readTaxes(rows, kTaxes, text);
        if (!taxes) {
            skip(u"Налог");
            continue;
        }
        const std::optional<double> swap = readSwap(rows, kSwap, text);
        if (!swap) {
            skip(u"Своп");
            continue;
        }
        const std::optional<qint64> nedobral = readInteger(rows, kNedobral, text);
        if (!nedobral) {
            skip(u"НЛ");
            continue;
        }
        ++t.n;
        t.commission += *commission;
        t.swap += *swap;
        t.taxes += *taxes;
        t.nedobralSum += *nedobral;
        if (*profit > 0) {
            ++t.wins;
            t.sumPos += *profit;
            t.maxPos = std::max(t.maxPos, *profit);
            ++winRun;
            lossRun = 0;
        } else if (*profit < 0) {
            ++t.losses;
            t.sumNeg += *profit;
            t.minNeg = std::min(t.minNeg, *profit);
            ++lossRun;
            winRun = 0;
        } else {
            winRun = lossRun = 0; // a trade at zero ends both runs
        }
        t.longestWinningRun = std::max(t.longestWinningRun, winRun);
        t.longestLosingRun = std::max(t.longestLosingRun, lossRun);

        const std::string_view rating = bytesOf(rows, kOcenka);
        if (rating == std::string_view(m_excellent.constData(), m_excellent.size()))
            t.ratingPoints += 10;
        else if (rating == std::string_view(m_bad.constData(), m_bad.size()))
            t.ratingPoints += 3;
    }
    return whole;
}
