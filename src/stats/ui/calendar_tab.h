#pragma once

#include "stats/core/trade_calendar.h"

#include <QWidget>

class QLabel;
class QPushButton;
class QTableWidget;

// The tab "Календарь" of "Отчеты": a month of the trades the filter takes,
// Monday first, each day with its net result and trade count in a shade of
// green or red, each week's total at the side and the month's below;
// arrows go between months. A click on a day with trades asks for the
// analysis of that day.
class CalendarTab : public QWidget {
    Q_OBJECT
public:
    explicit CalendarTab(QWidget* parent = nullptr);

    void showMonth(const CalendarMonth& month);
    const CalendarMonth& month() const { return m_month; }

signals:
    void monthStepRequested(int months); // -1 the month before, +1 the month after
    void dayClicked(QDate day);

private:
    // The grid as high as its weeks, without a scroll bar.
    void fitGridHeight(int weeks);
    QPushButton* Button_PrevMonth = nullptr;
    QPushButton* Button_NextMonth = nullptr;
    QLabel* Label_CalendarMonth = nullptr;
    QLabel* Label_CalendarTotal = nullptr;
    QTableWidget* Grid_Calendar = nullptr;
    CalendarMonth m_month;
};
