#pragma once

#include "stats/core/result_charts.h"

#include <QChartView>

#include <vector>

class QAreaSeries;
class QCategoryAxis;
class QLineSeries;
class QValueAxis;

// How far the balance was below its peak, trade by trade along a date axis:
// a red area of the money below 0 against the left axis, and the same
// drawdown in percent of the peak as a line against the right axis (left
// out where the peak was 0 or below).
class DrawdownChartView : public QChartView {
    Q_OBJECT
public:
    explicit DrawdownChartView(QWidget* parent = nullptr);

    void showCurve(DrawdownCurve curve);
    const DrawdownCurve& curve() const { return m_curve; }

    QLineSeries* moneySeries() const { return m_money; }
    // One line per stretch of trades that have a percentage.
    const std::vector<QLineSeries*>& percentSeries() const { return m_percent; }
    QValueAxis* moneyAxis() const { return m_axisMoney; }
    QValueAxis* percentAxis() const { return m_axisPercent; }
    QCategoryAxis* dateLabels() const { return m_axisDates; }

protected:
    void resizeEvent(QResizeEvent* event) override;

private:
    void setRanges();
    void updateSeries();
    QLineSeries* newPercentLine();

    DrawdownCurve m_curve;
    std::vector<double> m_moneyDepth;   // -drawdown: the area hangs below 0
    std::vector<double> m_percentDepth; // -percent
    // Stretches of m_percentDepth without NaN: first and last position.
    std::vector<std::pair<size_t, size_t>> m_percentRuns;
    QLineSeries* m_money = nullptr;
    QLineSeries* m_zero = nullptr;
    QAreaSeries* m_area = nullptr;
    std::vector<QLineSeries*> m_percent;
    QValueAxis* m_axisX = nullptr;
    QCategoryAxis* m_axisDates = nullptr;
    QValueAxis* m_axisMoney = nullptr;
    QValueAxis* m_axisPercent = nullptr;
};
