#include "stats/ui/balance_chart_view.h"

#include "charts/core/chart_zoom.h"
#include "charts/core/curve_points.h"
#include "charts/ui/date_axis.h"
#include "charts/ui/small_chart.h"
#include "charts/ui/value_axis.h"

#include <QAreaSeries>
#include <QDateTime>
#include <QCategoryAxis>
#include <QLineSeries>
#include <QLinearGradient>
#include <QMouseEvent>
#include <QPainter>
#include <QPainterPath>
#include <QValueAxis>
#include <QWheelEvent>

#include <algorithm>
#include <cmath>
#include <tuple>

namespace {

const QColor kMaroon(128, 0, 0);
constexpr qreal kDepth = 8;      // pixels of the depth look
constexpr qreal kArrowLength = 8; // pixels from a point to its mark
constexpr qreal kWheelZoom = 1.25;
// The deepest zoom: two trades across, ten cents up the side.
constexpr qreal kNarrowestX = 2;
constexpr qreal kNarrowestY = 0.1;
// On the date axis: an hour across.
constexpr qreal kNarrowestTime = 3'600'000;
// Room beside the first and the last trade on the date axis.
constexpr double kTimePadding = 0.02;

QImage diamondMarker()
{
    QImage image(32, 32, QImage::Format_ARGB32_Premultiplied);
    image.fill(Qt::transparent);
    QPainter p(&image);
    p.setRenderHint(QPainter::Antialiasing);
    p.setPen(Qt::NoPen);
    p.setBrush(kMaroon);
    p.drawPolygon(QPolygonF({QPointF(16, 0), QPointF(32, 16), QPointF(16, 32), QPointF(0, 16)}));
    return image;
}

QList<QPointF> shifted(QList<QPointF> points, qreal dx, qreal dy)
{
    for (QPointF& p : points)
        p += QPointF(dx, dy);
    return points;
}

} // namespace

BalanceChartView::BalanceChartView(QWidget* parent)
    : QChartView(parent)
{
    setObjectName(QStringLiteral("Chart1"));
    auto* chart = makeChart();
    addSeries(chart);
    addAxes(chart);
    // A new plot size changes how many points the series need, not the ranges.
    connect(chart, &QChart::plotAreaChanged, this, [this] { updateSeries(); });

    setChart(chart);
    setRenderHint(QPainter::Antialiasing, false);
    setMinimumHeight(0);
    applyMarkers();
    setFullRanges();
}

// The chart without its series: a grey-to-white wall and Russian numbers.
QChart* BalanceChartView::makeChart()
{
    auto* chart = new QChart;
    chart->legend()->hide();
    chart->setBackgroundRoundness(0);
    chart->setMargins(QMargins(2, 6, 2, 2));
    QLinearGradient wall(0, 0, 0, 1);
    wall.setCoordinateMode(QGradient::ObjectMode);
    wall.setColorAt(0, QColor(238, 238, 238));
    wall.setColorAt(1, Qt::white);
    chart->setPlotAreaBackgroundBrush(wall);
    chart->setPlotAreaBackgroundVisible(true);
    useRussianNumbers(*chart);
    return chart;
}

void BalanceChartView::addSeries(QChart* chart)
{
    m_ribbonTop = new QLineSeries(this);
    m_ribbonBottom = new QLineSeries(this);
    m_ribbon = new QAreaSeries(m_ribbonTop, m_ribbonBottom);
    m_ribbon->setPen(Qt::NoPen);
    m_ribbon->setBrush(QColor(128, 0, 0, 90));
    m_ribbon->setVisible(false);

    m_noCommission = new QLineSeries;
    m_noCommission->setObjectName(QStringLiteral("Series3"));
    m_noCommission->setPen(QPen(Qt::blue, 1));
    m_noCommission->setVisible(false);

    m_balance = new QLineSeries;
    m_balance->setObjectName(QStringLiteral("Series1"));
    m_balance->setName(QStringLiteral("График счета"));
    m_balance->setPen(QPen(Qt::red, 2));

    chart->addSeries(m_ribbon); // first, so that the lines are drawn over it
    chart->addSeries(m_noCommission);
    chart->addSeries(m_balance);
}

// Every range reaches the axes through setRanges, which also feeds the
// series the points of the new range.
void BalanceChartView::addAxes(QChart* chart)
{
    m_axisX = new QValueAxis;
    m_axisLeft = new QValueAxis;
    m_axisRight = new QValueAxis;
    // The date labels: shown instead of the numbers on demand, attached to
    // no series, their range set with that of the numbers.
    m_axisDates = new QCategoryAxis;
    m_axisDates->setLabelsPosition(QCategoryAxis::AxisLabelsPositionOnValue);
    m_axisDates->setVisible(false);
    chart->addAxis(m_axisX, Qt::AlignBottom);
    chart->addAxis(m_axisDates, Qt::AlignBottom);
    chart->addAxis(m_axisLeft, Qt::AlignLeft);
    chart->addAxis(m_axisRight, Qt::AlignRight);
    for (QAbstractSeries* s : {static_cast<QAbstractSeries*>(m_ribbon), static_cast<QAbstractSeries*>(m_noCommission),
                               static_cast<QAbstractSeries*>(m_balance)}) {
        s->attachAxis(m_axisX);
        s->attachAxis(m_axisLeft);
    }
}

void BalanceChartView::showChart(BalanceChart data, bool showNoCommission)
{
    m_data = std::move(data);
    m_showNoCommission = showNoCommission;
    if (m_data.tradeCount) {
        if (const auto size = markerSizeFor(*m_data.tradeCount))
            m_markerSize = *size;
    }
    m_noCommission->setVisible(showNoCommission);
    applyMarkers();
    setFullRanges();
    viewport()->update();
}

void BalanceChartView::setFullRanges()
{
    const auto& a = m_data.balanceCurve;
    ShownRanges full;
    full.xMax = std::max<qreal>(1, static_cast<qreal>(a.size()) - 1);
    if (m_dates) {
        // No trades: today's date; one trade or all at one time: its day
        // (the axis widens a flat range to the day).
        const std::span<const double> t = xs();
        const qint64 now = QDateTime::currentDateTimeUtc().toMSecsSinceEpoch();
        const qint64 first = t.empty() ? now : static_cast<qint64>(t.front());
        const qint64 last = t.empty() ? now : static_cast<qint64>(t.back());
        const auto [from, to] = first == last ? std::pair(first, last) : paddedTimeRange(first, last, kTimePadding);
        full.xMin = static_cast<qreal>(from);
        full.xMax = static_cast<qreal>(to);
    }
    if (a.empty()) {
        full.yMin = m_data.withCommission - 1;
        full.yMax = m_data.withCommission + 1;
    } else {
        auto [lo, hi] = std::minmax_element(a.begin(), a.end());
        qreal min = *lo, max = *hi;
        if (m_showNoCommission && !m_data.noCommissionCurve.empty()) {
            auto [blo, bhi] = std::minmax_element(m_data.noCommissionCurve.begin(), m_data.noCommissionCurve.end());
            min = std::min<qreal>(min, *blo);
            max = std::max<qreal>(max, *bhi);
        }
        std::tie(full.yMin, full.yMax) = paddedRange(min, max, 0.05);
    }
    setRanges(full);
    // What the axes made of it (a flat curve widened) is what zooming out
    // comes back to.
    m_full = shownRanges();
}

BalanceChartView::ShownRanges BalanceChartView::shownRanges() const
{
    return {m_axisX->min(), m_axisX->max(), m_axisLeft->min(), m_axisLeft->max()};
}

void BalanceChartView::setRanges(const ShownRanges& ranges)
{
    if (m_dates) {
        setDateRange(*m_axisX, *m_axisDates, static_cast<qint64>(ranges.xMin), static_cast<qint64>(ranges.xMax),
                     dateTicksFor(width() - 120));
    } else {
        setAxisRange(*m_axisX, ranges.xMin, ranges.xMax, AxisKind::Counts);
    }
    // The right axis mirrors the left one, so the balance reads on both sides.
    applyAxisTicks(*m_axisRight, setAxisRange(*m_axisLeft, ranges.yMin, ranges.yMax));
    updateSeries();
}

void BalanceChartView::setPointsShown(bool shown)
{
    m_pointsShown = shown;
    applyMarkers();
}

void BalanceChartView::applyMarkers()
{
    if (m_pointsShown && m_markerSize > 0) {
        static const QImage diamond = diamondMarker();
        m_balance->setLightMarker(diamond);
        m_balance->setMarkerSize(2 * m_markerSize + 1); // the size counts out from the point, as before
        m_balance->setPointsVisible(true);
    } else {
        m_balance->setPointsVisible(false);
        m_balance->setLightMarker(QImage());
    }
}

void BalanceChartView::setPercentMarksShown(bool shown)
{
    m_percentShown = shown;
    viewport()->update();
}

void BalanceChartView::setDepth(bool on)
{
    m_depth = on;
    m_ribbon->setVisible(on);
    updateSeries();
}

void BalanceChartView::setDateAxis(bool on)
{
    if (on == m_dates)
        return;
    m_dates = on;
    m_axisX->setVisible(!on);
    m_axisDates->setVisible(on);
    setFullRanges();
    viewport()->update();
}

std::span<const double> BalanceChartView::xs() const
{
    // Curves built without their times (the option was just ticked) wait
    // for the chart that has them.
    if (m_dates && m_data.times.size() == m_data.balanceCurve.size())
        return m_data.times;
    return {};
}

void BalanceChartView::updateSeries()
{
    if (m_updating)
        return;
    m_updating = true;
    const QRectF plot = chart()->plotArea();
    const int columns = static_cast<int>(plot.width());
    const qreal fromX = m_axisX->min(), toX = m_axisX->max();
    const QList<QPointF> balance = shownPoints(m_data.balanceCurve, xs(), fromX, toX, columns);
    m_balance->replace(balance);
    m_noCommission->replace(m_showNoCommission ? shownPoints(m_data.noCommissionCurve, xs(), fromX, toX, columns)
                                               : QList<QPointF>());
    // The depth look: a ribbon from the line to a copy of it set back up and
    // to the right, as if the line were a band standing in the chart.
    if (m_depth && plot.width() > 0 && plot.height() > 0) {
        const qreal dx = kDepth * (toX - fromX) / plot.width();
        const qreal dy = kDepth * (m_axisLeft->max() - m_axisLeft->min()) / plot.height();
        m_ribbonTop->replace(shifted(balance, dx, dy));
        m_ribbonBottom->replace(balance);
    } else {
        m_ribbonTop->clear();
        m_ribbonBottom->clear();
    }
    m_updating = false;
}

void BalanceChartView::zoomAround(QPointF position, qreal factor)
{
    const QRectF plot = chart()->plotArea();
    if (plot.width() <= 0 || plot.height() <= 0)
        return;
    if (!plot.contains(position))
        position = plot.center();
    const ShownRanges shown = shownRanges();
    const qreal x = shown.xMin + (position.x() - plot.left()) / plot.width() * (shown.xMax - shown.xMin);
    const qreal y = shown.yMin + (plot.bottom() - position.y()) / plot.height() * (shown.yMax - shown.yMin);
    ShownRanges zoomed;
    std::tie(zoomed.xMin, zoomed.xMax) = zoomedRange({shown.xMin, shown.xMax}, x, factor,
                                                     m_dates ? kNarrowestTime : kNarrowestX, {m_full.xMin, m_full.xMax});
    std::tie(zoomed.yMin, zoomed.yMax) =
        zoomedRange({shown.yMin, shown.yMax}, y, factor, kNarrowestY, {m_full.yMin, m_full.yMax});
    setRanges(zoomed);
}

void BalanceChartView::wheelEvent(QWheelEvent* event)
{
    const int delta = event->angleDelta().y();
    if (delta == 0) {
        event->ignore();
        return;
    }
    const QPointF scenePos = mapToScene(event->position().toPoint());
    zoomAround(chart()->mapFromScene(scenePos), delta > 0 ? kWheelZoom : 1 / kWheelZoom);
    event->accept();
}

void BalanceChartView::mouseDoubleClickEvent(QMouseEvent* event)
{
    setRanges(m_full);
    event->accept();
}

void BalanceChartView::resizeEvent(QResizeEvent* event)
{
    QChartView::resizeEvent(event);
    // How many dates fit across follows the width.
    if (m_dates)
        setRanges(shownRanges());
    else
        updateSeries();
}

// The percentage marks: above each point, on an arrow 8 pixels long, the
// point's share of the sum of all points. Marks that would overlap the one
// before are left out, so a long curve stays readable.
void BalanceChartView::drawForeground(QPainter* painter, const QRectF& rect)
{
    QChartView::drawForeground(painter, rect);
    const auto& curve = m_data.balanceCurve;
    if (!m_percentShown || curve.empty())
        return;
    const QRectF plot = chart()->mapToScene(chart()->plotArea()).boundingRect();
    painter->save();
    painter->setClipRect(plot);
    painter->setRenderHint(QPainter::Antialiasing, false);
    const QFontMetrics fm(font());
    const std::span<const double> x = xs();
    auto [k, last] = shownIndexRange(curve, x, m_axisX->min(), m_axisX->max());
    const qreal pixelsPerX = plot.width() / std::max<qreal>(1e-9, m_axisX->max() - m_axisX->min());
    while (k <= last) {
        const qreal xk = x.empty() ? static_cast<qreal>(k) : x[k];
        const QPointF point =
            chart()->mapToScene(chart()->mapToPosition(QPointF(xk, curve[k]), m_balance));
        const QString text = m_data.percentMarkText(static_cast<size_t>(k));
        const int w = fm.horizontalAdvance(text) + 6;
        const QRectF box(point.x() - w / 2.0, point.y() - kArrowLength - fm.height() - 2, w, fm.height() + 2);
        painter->setPen(Qt::black);
        painter->drawLine(point, QPointF(point.x(), point.y() - kArrowLength));
        painter->fillRect(box, QColor(255, 255, 225));
        painter->drawRect(box);
        painter->drawText(box, Qt::AlignCenter, text);
        // The next mark that clears this one.
        const qreal clear = xk + (w + 2) / pixelsPerX;
        if (x.empty())
            k = std::max<qsizetype>(k + 1, static_cast<qsizetype>(std::ceil(clear)));
        else
            k = std::max<qsizetype>(k + 1, std::lower_bound(x.begin(), x.end(), clear) - x.begin());
    }
    painter->restore();
}
