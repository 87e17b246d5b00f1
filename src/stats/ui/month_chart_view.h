#pragma once

#include "stats/core/trading_metrics.h"

#include <QChartView>

#include <vector>

class QBarCategoryAxis;
class QBarSet;
class QValueAxis;

// The result of every month as a bar: green above 0, red below. The chart
// is small: it shows the latest months, as many as keep every label legible.
class MonthChartView : public QChartView {
    Q_OBJECT
public:
    static constexpr int kMaxShownMonths = 24;

    explicit MonthChartView(QWidget* parent = nullptr);
    // Shows the last kMaxShownMonths of the months; returns how many it shows.
    int showMonths(const std::vector<MonthResult>& months);

    QBarSet* gains() const { return m_gains; }
    QBarSet* losses() const { return m_losses; }
    QValueAxis* valueAxis() const { return m_axisY; }

protected:
    void resizeEvent(QResizeEvent* event) override;

private:
    // The value axis over m_low..m_high with as many ticks as the chart's
    // height leaves room for: labels closer than a line are elided to "…".
    void applyValueRange();

    double m_low = 0, m_high = 1;
    QBarSet* m_gains = nullptr;
    QBarSet* m_losses = nullptr;
    QBarCategoryAxis* m_axisX = nullptr;
    QValueAxis* m_axisY = nullptr;
};
