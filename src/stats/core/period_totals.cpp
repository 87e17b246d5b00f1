#include "stats/core/period_totals.h"

#include "db/core/columns.h"
#include "db/core/cp1251.h"
#include "db/core/numbers.h"
#include "db/core/sqlite_database.h"

#include <algorithm>
#include <cstdlib>
#include <iterator>
#include <string_view>

namespace {

// The columns the totals need, in the order of the select list.
constexpr t_sdelki::Column kRead[] = {t_sdelki::Id,         t_sdelki::OpenTime, t_sdelki::Profit,
                                      t_sdelki::Commission, t_sdelki::Nedobral, t_sdelki::Ocenka};
constexpr int kId = sql::position(kRead, t_sdelki::Id);
constexpr int kOpenTime = sql::position(kRead, t_sdelki::OpenTime);
constexpr int kProfit = sql::position(kRead, t_sdelki::Profit);
constexpr int kCommission = sql::position(kRead, t_sdelki::Commission);
constexpr int kNedobral = sql::position(kRead, t_sdelki::Nedobral);
constexpr int kOcenka = sql::position(kRead, t_sdelki::Ocenka);

// The stored bytes of a text cell. SQLite compares texts byte by byte, and
// so does std::string_view (its characters compare as unsigned).
std::string_view bytesOf(const TSQLiteTable& rows, int column)
{
    const std::optional<QByteArrayView> bytes = rows.fieldBytesOf(column);
    return bytes ? std::string_view(bytes->data(), static_cast<size_t>(bytes->size())) : std::string_view();
}

} // namespace

QString periodBoundText(const QDate& date) { return date.toString(QStringLiteral("yyyy.MM.dd")); }

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
    std::vector<QByteArray> boundText;
    boundText.reserve(bounds.size());
    for (const QDate& d : bounds)
        boundText.push_back(periodBoundText(d).toLatin1());
    m_periodBegin.assign(std::max<size_t>(bounds.size(), 1), 0);
    if (bounds.size() < 2)
        return;

    using namespace t_sdelki;
    m_rows = db.openResultTable(QStringLiteral("SELECT %1 FROM %2 WHERE %3=? and %4>? and %4<?")
                                    .arg(sql::columnList(kRead), table, name(Chet), name(OpenTime)),
                                {account, QString::fromLatin1(boundText.front()), QString::fromLatin1(boundText.back())});

    // Sorted here rather than by SQLite (its sorter is the slow part of a
    // large read); equal times keep the order in which they were entered.
    struct Key {
        std::string_view time;
        qint64 id;
        int row;
    };
    TSQLiteTable& rows = *m_rows;
    std::vector<Key> keys;
    keys.reserve(static_cast<size_t>(rows.rowCount()));
    for (rows.seek(0); !rows.atEnd(); rows.moveNext())
        keys.push_back({bytesOf(rows, kOpenTime), rows.fieldInteger(kId), rows.currentRow()});
    std::sort(keys.begin(), keys.end(),
              [](const Key& a, const Key& b) { return a.time != b.time ? a.time < b.time : a.id < b.id; });

    // One sweep over the sorted times puts each trade into the period
    // whose bounds enclose it.
    m_order.reserve(keys.size());
    size_t period = 0;
    const size_t last = boundText.size() - 1;
    for (const Key& k : keys) {
        while (period < last && std::string_view(boundText[period + 1].constData(), boundText[period + 1].size()) <= k.time) {
            ++period;
            m_periodBegin[period] = static_cast<int>(m_order.size());
        }
        const std::string_view lower(boundText[period].constData(), boundText[period].size());
        if (period == last || k.time == lower)
            continue; // on a bound or past the last one: in no period
        m_order.push_back(k.row);
    }
    while (period < last)
        m_periodBegin[++period] = static_cast<int>(m_order.size());
}

PeriodTrades::~PeriodTrades() = default;

bool PeriodTrades::totals(int period, PeriodTotals& t, QString& reason) const
{
    TSQLiteTable& rows = *m_rows;
    QString text;
    // The trade's own words for a number that does not read.
    auto fail = [&](const char16_t* what) {
        reason = QStringLiteral("%1 сделки id %2 не читается как число: \"%3\"")
                     .arg(QString::fromUtf16(what), rows.fieldTextOf(kId), text);
        return false;
    };
    int winRun = 0, lossRun = 0;
    for (int i = m_periodBegin[period]; i < m_periodBegin[period + 1]; ++i) {
        rows.seek(m_order[i]);
        text.clear();
        rows.appendFieldTextOf(kProfit, text);
        const std::optional<double> profit = num::parseComma(text);
        if (!profit)
            return fail(u"Прибыль");
        text.clear();
        rows.appendFieldTextOf(kCommission, text);
        const std::optional<double> commission = num::parseComma(text);
        if (!commission)
            return fail(u"Комиссия");
        text.clear();
        rows.appendFieldTextOf(kNedobral, text);
        const std::optional<qint64> nedobral = num::parseInteger(text);
        if (!nedobral)
            return fail(u"НЛ");

        ++t.n;
        t.commission += *commission;
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
    return true;
}
