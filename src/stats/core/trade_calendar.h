#pragma once

#include "db/core/partial_result.h"

#include <QColor>
#include <QDate>
#include <QString>

#include <vector>

class ReportTrades;

// One day or one week of the calendar: its trades and their net result.
struct CalendarCell {
    int trades = 0;
    double net = 0;
};

// A month of trades as a grid of weeks, Monday first: every day of the
// month with the trades opened on it (by the stored open time's date), the
// total of each week row (only the days of this month) and of the month.
// A trade whose money does not read is left out and named.
struct CalendarMonth : PartialResult {
    QDate first;                     // the month's first day
    std::vector<CalendarCell> days;  // day 1 at index 0
    std::vector<CalendarCell> weeks; // one per grid row, Monday first
    CalendarCell total;
    double largest = 0;              // the largest absolute day result, for the shades

    // The grid position of a day of the month: its row and its column
    // (Monday = 0).
    int rowOf(int day) const;
    static int columnOf(const QDate& date) { return date.dayOfWeek() - 1; }
};

// rows: the trades to count (selectTrades), in any order.
CalendarMonth buildCalendarMonth(const ReportTrades& trades, const std::vector<int>& rows, int year, int month);

// The text of a calendar cell: the day's number (or "Неделя"), then, when
// it has trades, the net result and "сделок: N" on lines of their own.
QString calendarCellText(const QString& head, const CalendarCell& cell);
// "Октябрь 2017"
QString calendarMonthTitle(const QDate& month);

// The fill of a day: green for a gain, red for a loss, the deeper the
// larger the result beside the month's largest; white for no result.
QColor calendarShade(double net, double largest);
