#include "stats/ui/net_histogram_view.h"

#include "charts/ui/small_chart.h"
#include "charts/ui/value_axis.h"

#include <QAreaSeries>
#include <QLineSeries>
#include <QValueAxis>

#include <algorithm>

namespace {

// The outline of adjacent bars: up the left edge of each, across its top,
// down its right edge; the area below it down to 0 are the bars.
QList<QPointF> barOutline(const std::vector<HistogramBin>& bins)
{
    QList<QPointF> points;
    points.reserve(static_cast<qsizetype>(bins.size()) * 4);
    for (const HistogramBin& b : bins) {
        points.append({b.low, 0.0});
        points.append({b.low, static_cast<double>(b.count)});
        points.append({b.high, static_cast<double>(b.count)});
        points.append({b.high, 0.0});
    }
    return points;
}

} // namespace

NetHistogramView::NetHistogramView(QWidget* parent)
    : QChartView(parent)
{
    setObjectName(QStringLiteral("Chart_Histogram"));
    QChart* chart = makeSmallChart();
    chart->legend()->hide();
    setChart(chart);

    m_axisX = new QValueAxis;
    m_axisY = new QValueAxis;
    chart->addAxis(m_axisX, Qt::AlignBottom);
    chart->addAxis(m_axisY, Qt::AlignLeft);
    // Small labels: the chart shares the page with the metrics and the months.
    QFont small = m_axisX->labelsFont();
    small.setPixelSize(11);
    m_axisX->setLabelsFont(small);
    m_axisY->setLabelsFont(small);
    for (QAreaSeries* bars : {makeBars(m_lossesTop, QColor(255, 0, 0), QColor(160, 0, 0), QStringLiteral("Убыток")),
                              makeBars(m_gainsTop, QColor(0, 160, 0), QColor(0, 100, 0), QStringLiteral("Прибыль"))}) {
        chart->addSeries(bars);
        bars->attachAxis(m_axisX);
        bars->attachAxis(m_axisY);
    }
    setRenderHint(QPainter::Antialiasing, false);
    showHistogram({});
}

QAreaSeries* NetHistogramView::makeBars(QLineSeries*& top, const QColor& fill, const QColor& edge, const QString& name)
{
    top = new QLineSeries(this);
    auto* bars = new QAreaSeries(top);
    bars->setName(name);
    bars->setBrush(fill);
    bars->setPen(QPen(edge, 1));
    return bars;
}

void NetHistogramView::showHistogram(Histogram histogram)
{
    m_histogram = std::move(histogram);
    const auto& bins = m_histogram.bins;
    // Zero is an edge: the bins below it are losses, the rest gains (a
    // result of exactly 0 counts with the bin above 0).
    const auto firstGain = std::find_if(bins.begin(), bins.end(), [](const HistogramBin& b) { return b.low >= 0; });
    m_lossesTop->replace(barOutline({bins.begin(), firstGain}));
    m_gainsTop->replace(barOutline({firstGain, bins.end()}));
    if (bins.empty()) {
        setAxisRange(*m_axisX, -1, 1);
        setAxisRange(*m_axisY, 0, 1, AxisKind::Counts);
        return;
    }
    // 0 stays in sight, so gains and losses read against it.
    const double low = std::min(0.0, bins.front().low), high = std::max(0.0, bins.back().high);
    setAxisRange(*m_axisX, low, high);
    setAxisRange(*m_axisY, 0, std::max(1.0, m_histogram.largestCount * 1.05), AxisKind::Counts);
}
