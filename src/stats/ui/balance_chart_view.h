#pragma once

#include "stats/core/balance_chart.h"

#include <QChartView>

#include <span>

class QAreaSeries;
class QCategoryAxis;
class QLineSeries;
class QValueAxis;

// The chart Chart1: the red balance line (Series1) against both value axes,
// the blue line without commission (Series3) on demand, diamond point
// markers, percentage marks, a depth look, and zooming with the wheel
// (a double click shows the whole curve again).
class BalanceChartView : public QChartView {
    Q_OBJECT
public:
    explicit BalanceChartView(QWidget* parent = nullptr);

    // Shows new curves (the whole of them, unzoomed). The marker size
    // follows the number of trades unless that number leaves it as it was.
    void showChart(BalanceChart data, bool showNoCommission);
    const BalanceChart& data() const { return m_data; }

    void setPointsShown(bool shown);       // "Точки"
    void setPercentMarksShown(bool shown); // "Проценты"
    void setDepth(bool on);                // "3D график"
    // "Даты по оси X": the trades at their open times along a date axis;
    // otherwise one after another by number, as the chart always showed them.
    void setDateAxis(bool on);
    bool dateAxis() const { return m_dates; }
    int markerSize() const { return m_markerSize; }

    QLineSeries* balanceSeries() const { return m_balance; }
    QLineSeries* noCommissionSeries() const { return m_noCommission; }
    QValueAxis* numberAxis() const { return m_axisX; }
    QCategoryAxis* dateLabels() const { return m_axisDates; }

protected:
    void wheelEvent(QWheelEvent* event) override;
    void mouseDoubleClickEvent(QMouseEvent* event) override;
    void drawForeground(QPainter* painter, const QRectF& rect) override;
    void resizeEvent(QResizeEvent* event) override;

private:
    static QChart* makeChart();
    void addSeries(QChart* chart);
    void addAxes(QChart* chart);

    // What the axes show: trade numbers across, money up both sides.
    struct ShownRanges {
        qreal xMin = 0, xMax = 1, yMin = 0, yMax = 1;
    };

    // Shows the whole curve; zooming out stops there.
    void setFullRanges();
    // The one way ranges reach the axes: with ticks that suit them.
    void setRanges(const ShownRanges& ranges);
    ShownRanges shownRanges() const;
    void applyMarkers();
    // Feeds the series the points of the shown range, thinned to what the
    // plot's pixels can show, and redraws the depth ribbon.
    void updateSeries();
    void zoomAround(QPointF position, qreal factor);
    // The x of every point: its open time on the date axis, none (its
    // number) otherwise.
    std::span<const double> xs() const;

    BalanceChart m_data;
    bool m_showNoCommission = false;
    bool m_pointsShown = false;
    bool m_percentShown = false;
    bool m_depth = false;
    bool m_updating = false;
    bool m_dates = false;
    int m_markerSize = 5;
    QLineSeries* m_balance = nullptr;
    QLineSeries* m_noCommission = nullptr;
    QLineSeries* m_ribbonTop = nullptr;
    QLineSeries* m_ribbonBottom = nullptr;
    QAreaSeries* m_ribbon = nullptr;
    QValueAxis* m_axisX = nullptr;
    QCategoryAxis* m_axisDates = nullptr;
    QValueAxis* m_axisLeft = nullptr;
    QValueAxis* m_axisRight = nullptr;
    ShownRanges m_full;
};
