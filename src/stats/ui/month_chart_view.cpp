#include "stats/ui/month_chart_view.h"

#include "charts/ui/small_chart.h"
#include "charts/ui/value_axis.h"

#include <QBarCategoryAxis>
#include <QBarSet>
#include <QStackedBarSeries>
#include <QValueAxis>

#include <algorithm>

MonthChartView::MonthChartView(QWidget* parent)
    : QChartView(parent)
{
    setObjectName(QStringLiteral("Chart_Months"));
    QChart* chart = makeSmallChart();
    chart->legend()->hide();

    // Two stacked sets, one of them 0 in every month: each bar takes the
    // colour of its sign.
    m_gains = new QBarSet(QStringLiteral("Прибыль"));
    m_gains->setColor(QColor(0, 128, 0));
    m_gains->setBorderColor(QColor(0, 100, 0));
    m_losses = new QBarSet(QStringLiteral("Убыток"));
    m_losses->setColor(QColor(255, 0, 0));
    m_losses->setBorderColor(QColor(200, 0, 0));
    auto* series = new QStackedBarSeries;
    series->append(m_gains);
    series->append(m_losses);
    series->setBarWidth(0.8);
    chart->addSeries(series);

    m_axisX = new QBarCategoryAxis;
    m_axisY = new QValueAxis;
    chart->addAxis(m_axisX, Qt::AlignBottom);
    chart->addAxis(m_axisY, Qt::AlignLeft);
    series->attachAxis(m_axisX);
    series->attachAxis(m_axisY);
    setChart(chart);
    applyValueRange();
    setRenderHint(QPainter::Antialiasing, false);
}

int MonthChartView::showMonths(const std::vector<MonthResult>& months)
{
    QStringList labels;
    QList<qreal> gains, losses;
    double low = 0, high = 0;
    const size_t first = months.size() > size_t(kMaxShownMonths) ? months.size() - kMaxShownMonths : 0;
    for (size_t i = first; i < months.size(); ++i) {
        const MonthResult& m = months[i];
        labels << m.month.toString(QStringLiteral("MM.yy"));
        gains << (m.result > 0 ? m.result : 0.0);
        losses << (m.result < 0 ? m.result : 0.0);
        low = std::min(low, m.result);
        high = std::max(high, m.result);
    }
    m_gains->remove(0, m_gains->count());
    m_losses->remove(0, m_losses->count());
    m_gains->append(gains);
    m_losses->append(losses);
    m_axisX->clear();
    m_axisX->append(labels);
    const auto [padLow, padHigh] = paddedRange(low, high, 0.05);
    m_low = low < 0 ? padLow : 0;
    m_high = high > 0 ? padHigh : (low < 0 ? 0 : 1);
    applyValueRange();
    return static_cast<int>(labels.size());
}

void MonthChartView::applyValueRange()
{
    // About two lines of text between ticks; the margins and the month
    // labels under the bars take some 40 pixels.
    const int lineHeight = fontMetrics().height();
    const int room = std::max(0, height() - 40);
    const int ticks = std::clamp(room / std::max(1, 2 * lineHeight) + 1, 2, kMaxAxisTicks);
    setAxisRange(*m_axisY, m_low, m_high, AxisKind::Values, ticks);
}

void MonthChartView::resizeEvent(QResizeEvent* event)
{
    QChartView::resizeEvent(event);
    applyValueRange();
}
