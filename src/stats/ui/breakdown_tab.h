#pragma once

#include "stats/core/breakdown.h"

#include <QWidget>

class BarChartWidget;
class QComboBox;
class QTableView;
class TextTableModel;

// The tab "По часам и дням" of "Отчеты": the trades the filter takes by the
// open time's hour (server time, as the statement wrote it) and by weekday,
// and by a symbol or annotation field of the trader's choice; each as a
// bar chart of the chosen figure and a table of all of them.
class BreakdownTab : public QWidget {
    Q_OBJECT
public:
    explicit BreakdownTab(QWidget* parent = nullptr);

    // The third breakdown's key (symbol or an annotation field).
    BreakdownKey otherKey() const;
    void showBreakdowns(const Breakdown& hours, const Breakdown& weekdays, const Breakdown& other);

signals:
    void otherKeyChanged();

private:
    QWidget* makeGroup(const QString& name, const QString& title, BarChartWidget* chart, QTableView* grid,
                       QWidget* top);
    QTableView* makeGrid(const QString& name, TextTableModel*& model);
    void drawCharts();

    QComboBox* ComboBox_BreakdownMeasure = nullptr;
    QComboBox* ComboBox_BreakdownKey = nullptr;
    BarChartWidget* Chart_Hours = nullptr;
    BarChartWidget* Chart_Weekdays = nullptr;
    BarChartWidget* Chart_Other = nullptr;
    QTableView* StringGrid_Hours = nullptr;
    QTableView* StringGrid_Weekdays = nullptr;
    QTableView* StringGrid_Other = nullptr;
    TextTableModel* m_hoursModel = nullptr;
    TextTableModel* m_weekdaysModel = nullptr;
    TextTableModel* m_otherModel = nullptr;
    Breakdown m_hours, m_weekdays, m_other;
};
