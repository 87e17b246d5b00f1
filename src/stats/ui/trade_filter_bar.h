#pragma once

#include "stats/core/trade_filter.h"

#include <QWidget>

#include <array>

class ChoiceButton;
class QCheckBox;
class QComboBox;
class QDateEdit;
class QLabel;
class QPushButton;
class ReportTrades;

// The what-if bar of "Отчеты": the period (both days included), symbols,
// direction, weekdays, hours of the open time and each annotation field.
// Every change says filterChanged; the page applies it to "Показатели",
// the calendar and the breakdowns.
class TradeFilterBar : public QWidget {
    Q_OBJECT
public:
    explicit TradeFilterBar(QWidget* parent = nullptr);

    // The symbols and annotation texts of the account's trades to choose from.
    void setChoices(const ReportTrades& trades);
    // Shows a filter without saying filterChanged.
    void setFilter(const TradeFilter& filter);
    TradeFilter filter() const;
    // "С фильтром: 120 из 500 сделок"; no filter: "Фильтр не задан: 500 сделок".
    void setCounts(int taken, int all);

signals:
    void filterChanged();

private:
    QWidget* makePeriod();
    void changed();

    QCheckBox* CheckBox_FilterPeriod = nullptr;
    QDateEdit* DateEdit_FilterFrom = nullptr;
    QDateEdit* DateEdit_FilterTo = nullptr;
    ChoiceButton* Button_FilterSymbols = nullptr;
    QComboBox* ComboBox_FilterType = nullptr;
    ChoiceButton* Button_FilterWeekdays = nullptr;
    ChoiceButton* Button_FilterHours = nullptr;
    std::array<ChoiceButton*, kAnnotationFieldCount> m_fields{};
    QPushButton* Button_FilterReset = nullptr;
    QLabel* Label_FilterCount = nullptr;
    bool m_showing = false;
};
