#include "stats/core/trade_calendar.h"

#include "db/core/numbers.h"
#include "db/core/reasons.h"
#include "stats/core/report_trades.h"

#include <algorithm>
#include <cmath>

int CalendarMonth::rowOf(int day) const
{
    const int offset = columnOf(first); // empty cells before day 1
    return (offset + day - 1) / 7;
}

CalendarMonth buildCalendarMonth(const ReportTrades& trades, const std::vector<int>& rows, int year, int month)
{
    CalendarMonth c;
    c.first = QDate(year, month, 1);
    if (!c.first.isValid())
        return c;
    const int days = c.first.daysInMonth();
    c.days.assign(static_cast<size_t>(days), {});
    c.weeks.assign(static_cast<size_t>(c.rowOf(days) + 1), {});
    const qint64 begin = c.first.toJulianDay(), end = begin + days;
    int unreadable = 0;
    QString firstBad;
    for (const int row : rows) {
        const int day = trades.openDay(row);
        if (day == ReportTrades::kNoDay || day < begin || day >= end)
            continue;
        const std::optional<double> net = trades.net(row);
        if (!net) {
            if (unreadable++ == 0)
                firstBad = trades.netProblem(row);
            continue;
        }
        CalendarCell& cell = c.days[static_cast<size_t>(day - begin)];
        ++cell.trades;
        cell.net += *net;
    }
    for (int d = 1; d <= days; ++d) {
        const CalendarCell& cell = c.days[static_cast<size_t>(d - 1)];
        CalendarCell& week = c.weeks[static_cast<size_t>(c.rowOf(d))];
        week.trades += cell.trades;
        week.net += cell.net;
        c.total.trades += cell.trades;
        c.total.net += cell.net;
        if (cell.trades > 0)
            c.largest = std::max(c.largest, std::abs(cell.net));
    }
    if (unreadable > 0)
        c.stop(unreadableTradesText(firstBad, unreadable));
    return c;
}

QColor calendarShade(double net, double largest)
{
    if (net == 0 || largest <= 0)
        return QColor(255, 255, 255);
    // From a pale tint for the smallest results to the full colour for the
    // largest one; a quarter at least, so a small day is still seen.
    const double share = std::clamp(0.25 + 0.75 * std::abs(net) / largest, 0.0, 1.0);
    const QColor full = net > 0 ? QColor(60, 170, 60) : QColor(220, 60, 60);
    const auto mix = [share](int c) { return static_cast<int>(std::lround(255 - (255 - c) * share)); };
    return QColor(mix(full.red()), mix(full.green()), mix(full.blue()));
}

QString calendarCellText(const QString& head, const CalendarCell& c)
{
    if (c.trades == 0)
        return head;
    return QStringLiteral("%1\n%2\nсделок: %3").arg(head, num::money(c.net)).arg(c.trades);
}

QString calendarMonthTitle(const QDate& month)
{
    static const char16_t* const names[12] = {u"Январь", u"Февраль", u"Март",     u"Апрель",  u"Май",    u"Июнь",
                                              u"Июль",   u"Август",  u"Сентябрь", u"Октябрь", u"Ноябрь", u"Декабрь"};
    return month.isValid() ? QStringLiteral("%1 %2").arg(QString::fromUtf16(names[month.month() - 1])).arg(month.year())
                           : QString();
}
