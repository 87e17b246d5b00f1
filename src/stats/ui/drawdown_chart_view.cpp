#include "stats/ui/drawdown_chart_view.h"

#include "charts/core/curve_points.h"
#include "charts/ui/date_axis.h"
#include "charts/ui/small_chart.h"
#include "charts/ui/value_axis.h"

#include <QAreaSeries>
#include <QCategoryAxis>
#include <QDateTime>
#include <QLegendMarker>
#include <QLineSeries>
#include <QValueAxis>

#include <algorithm>
#include <cmath>

namespace {

// A stretch without a percentage splits the line; past this many lines the
// last one bridges the gaps (an account whose peak keeps falling to 0).
constexpr size_t kMaxPercentLines = 16;
constexpr double kTimePadding = 0.02;
const QColor kPercentColour(0, 0, 128);

} // namespace

DrawdownChartView::DrawdownChartView(QWidget* parent)
    : QChartView(parent)
{
    setObjectName(QStringLiteral("Chart_Drawdown"));
    QChart* chart = makeSmallChart();
    chart->legend()->setAlignment(Qt::AlignBottom);

    m_money = new QLineSeries(this);
    m_zero = new QLineSeries(this);
    m_area = new QAreaSeries(m_money, m_zero);
    m_area->setName(QStringLiteral("Просадка, деньги (левая шкала)"));
    m_area->setPen(QPen(QColor(180, 0, 0), 1));
    m_area->setBrush(QColor(255, 0, 0, 110));
    chart->addSeries(m_area);

    m_axisX = new QValueAxis;
    m_axisX->setVisible(false);
    m_axisDates = new QCategoryAxis;
    m_axisDates->setLabelsPosition(QCategoryAxis::AxisLabelsPositionOnValue);
    m_axisMoney = new QValueAxis;
    m_axisPercent = new QValueAxis;
    m_axisPercent->setLinePenColor(kPercentColour);
    m_axisPercent->setLabelsColor(kPercentColour);
    m_axisPercent->setGridLineVisible(false);
    chart->addAxis(m_axisX, Qt::AlignBottom);
    chart->addAxis(m_axisDates, Qt::AlignBottom);
    chart->addAxis(m_axisMoney, Qt::AlignLeft);
    chart->addAxis(m_axisPercent, Qt::AlignRight);
    m_area->attachAxis(m_axisX);
    m_area->attachAxis(m_axisMoney);
    // Small labels: the chart shares the page with the metrics and the months.
    QFont small = chart->legend()->font();
    small.setPixelSize(11);
    for (QAbstractAxis* axis : chart->axes())
        axis->setLabelsFont(small);
    chart->legend()->setFont(small);

    setChart(chart);
    setRenderHint(QPainter::Antialiasing, false);
    connect(chart, &QChart::plotAreaChanged, this, [this] { updateSeries(); });
    showCurve({});
}

QLineSeries* DrawdownChartView::newPercentLine()
{
    auto* line = new QLineSeries;
    line->setPen(QPen(kPercentColour, 1));
    line->setName(QStringLiteral("Просадка, % от пика (правая шкала)"));
    chart()->addSeries(line);
    line->attachAxis(m_axisX);
    line->attachAxis(m_axisPercent);
    // One entry in the legend for all the lines.
    if (!m_percent.empty()) {
        for (QLegendMarker* marker : chart()->legend()->markers(line))
            marker->setVisible(false);
    }
    m_percent.push_back(line);
    return line;
}

void DrawdownChartView::showCurve(DrawdownCurve curve)
{
    m_curve = std::move(curve);
    m_moneyDepth.resize(m_curve.drawdown.size());
    std::transform(m_curve.drawdown.begin(), m_curve.drawdown.end(), m_moneyDepth.begin(),
                   [](double d) { return -d; });
    m_percentDepth.resize(m_curve.percent.size());
    std::transform(m_curve.percent.begin(), m_curve.percent.end(), m_percentDepth.begin(),
                   [](double p) { return -p; });
    m_percentRuns.clear();
    for (size_t k = 0; k < m_percentDepth.size(); ++k) {
        if (std::isnan(m_percentDepth[k]))
            continue;
        if (!m_percentRuns.empty() && (m_percentRuns.back().second + 1 == k || m_percentRuns.size() == kMaxPercentLines))
            m_percentRuns.back().second = k;
        else
            m_percentRuns.emplace_back(k, k);
    }
    while (m_percent.size() < std::max<size_t>(1, m_percentRuns.size()))
        newPercentLine();
    setRanges();
}

void DrawdownChartView::setRanges()
{
    const std::vector<double>& t = m_curve.times;
    const qint64 now = QDateTime::currentDateTimeUtc().toMSecsSinceEpoch();
    const qint64 first = t.empty() ? now : static_cast<qint64>(t.front());
    const qint64 last = t.empty() ? now : static_cast<qint64>(t.back());
    const auto [from, to] = first == last ? std::pair(first, last) : paddedTimeRange(first, last, kTimePadding);
    setDateRange(*m_axisX, *m_axisDates, from, to, dateTicksFor(width() - 140));

    // Down from 0 to a little below the deepest point.
    const double deepest = m_curve.deepest > 0 ? m_curve.deepest : 1;
    setAxisRange(*m_axisMoney, -deepest * 1.05, 0);
    double deepestPercent = 0;
    for (const double p : m_curve.percent) {
        if (!std::isnan(p))
            deepestPercent = std::max(deepestPercent, p);
    }
    setAxisRange(*m_axisPercent, -(deepestPercent > 0 ? deepestPercent : 1) * 1.05, 0);
    updateSeries();
}

void DrawdownChartView::updateSeries()
{
    const int columns = static_cast<int>(chart()->plotArea().width());
    const double fromX = m_axisX->min(), toX = m_axisX->max();
    const QList<QPointF> money = shownPoints(m_moneyDepth, m_curve.times, fromX, toX, columns);
    m_money->replace(money);
    m_zero->replace(money.isEmpty() ? QList<QPointF>()
                                    : QList<QPointF>{{money.front().x(), 0.0}, {money.back().x(), 0.0}});
    for (size_t i = 0; i < m_percent.size(); ++i) {
        QList<QPointF> points;
        if (i < m_percentRuns.size()) {
            const auto [a, b] = m_percentRuns[i];
            // The stretch's own values; a bridged gap (NaN) is left out.
            std::vector<double> xs, ys;
            xs.reserve(b - a + 1);
            ys.reserve(b - a + 1);
            for (size_t k = a; k <= b; ++k) {
                if (!std::isnan(m_percentDepth[k])) {
                    xs.push_back(m_curve.times[k]);
                    ys.push_back(m_percentDepth[k]);
                }
            }
            points = shownPoints(ys, xs, fromX, toX, columns);
        }
        m_percent[i]->replace(points);
    }
}

void DrawdownChartView::resizeEvent(QResizeEvent* event)
{
    QChartView::resizeEvent(event);
    // How many dates fit across follows the width.
    setRanges();
}
