#pragma once

#include "charts/core/histogram_bins.h"

#include <QChartView>

class QAreaSeries;
class QLineSeries;
class QValueAxis;

// How many trades ended with each result: the bins of the net results as
// bars, green right of 0 and red left of it, over a money axis.
class NetHistogramView : public QChartView {
    Q_OBJECT
public:
    explicit NetHistogramView(QWidget* parent = nullptr);

    void showHistogram(Histogram histogram);
    const Histogram& histogram() const { return m_histogram; }

    QLineSeries* gainsOutline() const { return m_gainsTop; }
    QLineSeries* lossesOutline() const { return m_lossesTop; }
    QValueAxis* moneyAxis() const { return m_axisX; }
    QValueAxis* countAxis() const { return m_axisY; }

private:
    QAreaSeries* makeBars(QLineSeries*& top, const QColor& fill, const QColor& edge, const QString& name);

    Histogram m_histogram;
    QLineSeries* m_gainsTop = nullptr;
    QLineSeries* m_lossesTop = nullptr;
    QValueAxis* m_axisX = nullptr;
    QValueAxis* m_axisY = nullptr;
};
