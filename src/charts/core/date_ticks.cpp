#include "charts/core/date_ticks.h"

#include <QDate>

#include <algorithm>
#include <cmath>
#include <initializer_list>

namespace {

constexpr qint64 kMsecsPerHour = 3'600'000;
constexpr qint64 kJulianDayOfEpoch = 2440588; // 1970-01-01

qint64 floorDiv(qint64 a, qint64 b) { return a / b - ((a % b != 0) && ((a < 0) != (b < 0))); }

qint64 msecsOf(const QDate& date) { return (date.toJulianDay() - kJulianDayOfEpoch) * kMsecsPerDay; }
QDate dateOf(qint64 msecs) { return QDate::fromJulianDay(floorDiv(msecs, kMsecsPerDay) + kJulianDayOfEpoch); }

const qint64 kEarliest = msecsOf(QDate(1900, 1, 1));
const qint64 kLatest = msecsOf(QDate(9999, 12, 31));

struct Choice {
    DateUnit unit;
    int step;
};

// From the finest to the coarsest; the years go on far enough for any
// range the bounds allow.
constexpr Choice kChoices[] = {
    {DateUnit::Hour, 1},  {DateUnit::Hour, 2},  {DateUnit::Hour, 3},   {DateUnit::Hour, 6},
    {DateUnit::Hour, 12}, {DateUnit::Day, 1},   {DateUnit::Day, 2},    {DateUnit::Day, 7},
    {DateUnit::Month, 1}, {DateUnit::Month, 2}, {DateUnit::Month, 3},  {DateUnit::Month, 6},
    {DateUnit::Year, 1},  {DateUnit::Year, 2},  {DateUnit::Year, 5},   {DateUnit::Year, 10},
    {DateUnit::Year, 20}, {DateUnit::Year, 50}, {DateUnit::Year, 100}, {DateUnit::Year, 200},
    {DateUnit::Year, 500}, {DateUnit::Year, 1000}, {DateUnit::Year, 2000}, {DateUnit::Year, 5000}, {DateUnit::Year, 10000},
};

// The first tick at or after t for the choice.
qint64 firstTick(qint64 t, Choice c)
{
    const QDate day = dateOf(t);
    switch (c.unit) {
    case DateUnit::Hour: {
        const qint64 step = c.step * kMsecsPerHour; // steps that divide a day: aligned on midnight
        return floorDiv(t + step - 1, step) * step;
    }
    case DateUnit::Day: {
        qint64 d = floorDiv(t + kMsecsPerDay - 1, kMsecsPerDay);
        if (c.step == 7) {
            // Mondays: 1970-01-01 was a Thursday, so Monday is d % 7 == 4.
            d += ((4 - d) % 7 + 7) % 7;
        } else {
            d = floorDiv(d + c.step - 1, c.step) * c.step;
        }
        return d * kMsecsPerDay;
    }
    case DateUnit::Month: {
        QDate m(day.year(), day.month(), 1);
        if (msecsOf(m) < t)
            m = m.addMonths(1);
        while ((m.month() - 1) % c.step != 0)
            m = m.addMonths(1);
        return msecsOf(m);
    }
    case DateUnit::Year: {
        int y = day.year();
        if (msecsOf(QDate(y, 1, 1)) < t)
            ++y;
        y = static_cast<int>(floorDiv(y + c.step - 1, c.step) * c.step);
        return y > 9999 ? kLatest + 1 : msecsOf(QDate(y, 1, 1));
    }
    }
    return t;
}

qint64 nextTick(qint64 t, Choice c)
{
    switch (c.unit) {
    case DateUnit::Hour:
        return t + c.step * kMsecsPerHour;
    case DateUnit::Day:
        return t + c.step * kMsecsPerDay;
    case DateUnit::Month:
        return msecsOf(dateOf(t).addMonths(c.step));
    case DateUnit::Year: {
        const int y = dateOf(t).year() + c.step;
        return y > 9999 ? kLatest + 1 : msecsOf(QDate(y, 1, 1));
    }
    }
    return t + 1;
}

QString labelOf(qint64 t, DateUnit unit, bool oneDay)
{
    const QDate day = dateOf(t);
    switch (unit) {
    case DateUnit::Hour: {
        const qint64 ofDay = t - msecsOf(day);
        const QString time = QStringLiteral("%1:%2")
                                 .arg(ofDay / kMsecsPerHour, 2, 10, QLatin1Char('0'))
                                 .arg(ofDay % kMsecsPerHour / 60'000, 2, 10, QLatin1Char('0'));
        if (ofDay == 0)
            return day.toString(QStringLiteral("dd.MM"));
        // Over more than one day an hour repeats: the day tells them apart.
        return oneDay ? time : day.toString(QStringLiteral("dd.MM ")) + time;
    }
    case DateUnit::Day:
        return day.toString(QStringLiteral("dd.MM.yy"));
    case DateUnit::Month:
        return day.toString(QStringLiteral("MM.yyyy"));
    case DateUnit::Year:
        return QString::number(day.year());
    }
    return {};
}

} // namespace

DateTicks dateTicks(qint64 from, qint64 to, int maxTicks)
{
    maxTicks = std::max(2, maxTicks);
    if (from > to)
        std::swap(from, to);
    from = std::clamp(from, kEarliest, kLatest);
    to = std::clamp(to, kEarliest, kLatest);
    if (to - from < kMsecsPerHour) {
        // One trade, or trades at one time: the whole day they fall in
        // (both days when the hour crosses midnight).
        const qint64 middle = from + (to - from) / 2;
        if (to == from) {
            from = floorDiv(middle, kMsecsPerDay) * kMsecsPerDay;
            to = from + kMsecsPerDay;
        } else {
            from = floorDiv(from, kMsecsPerHour) * kMsecsPerHour;
            to = floorDiv(to + kMsecsPerHour - 1, kMsecsPerHour) * kMsecsPerHour;
            if (to - from < kMsecsPerHour)
                to = from + kMsecsPerHour;
        }
    }
    DateTicks result;
    result.min = from;
    result.max = to;
    const bool oneDay = to - floorDiv(from, kMsecsPerDay) * kMsecsPerDay <= kMsecsPerDay;
    for (const Choice c : kChoices) {
        std::vector<qint64> at;
        for (qint64 t = firstTick(from, c); t <= to && static_cast<int>(at.size()) <= maxTicks; t = nextTick(t, c))
            at.push_back(t);
        if (static_cast<int>(at.size()) > maxTicks)
            continue;
        result.unit = c.unit;
        result.step = c.step;
        for (const qint64 t : at)
            result.ticks.push_back({t, labelOf(t, c.unit, oneDay)});
        break;
    }
    return result;
}

std::pair<qint64, qint64> paddedTimeRange(qint64 from, qint64 to, double fraction)
{
    if (from > to)
        std::swap(from, to);
    const qint64 pad = std::max<qint64>(60'000, static_cast<qint64>(std::llround((to - from) * fraction)));
    return {from - pad, to + pad};
}
