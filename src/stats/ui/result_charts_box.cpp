#include "stats/ui/result_charts_box.h"

#include "db/core/numbers.h"
#include "stats/core/result_charts.h"
#include "stats/ui/drawdown_chart_view.h"
#include "stats/ui/net_histogram_view.h"
#include "stats/ui/stats_grid.h"

#include <QGroupBox>
#include <QHBoxLayout>
#include <QSplitter>
#include <QVBoxLayout>

#include <cmath>

namespace {

const QString kDrawdownTitle = QStringLiteral("Просадка от пика баланса");
const QString kHistogramTitle = QStringLiteral("Распределение результатов сделок");

} // namespace

ResultChartsBox::ResultChartsBox(QWidget* parent)
    : QWidget(parent)
{
    setObjectName(QStringLiteral("Panel_ResultCharts"));
    // Both charts need this height for their scales to be read; on a small
    // screen the page scrolls instead of squeezing them.
    setMinimumHeight(300);
    Chart_Drawdown = new DrawdownChartView(this);
    Chart_Histogram = new NetHistogramView(this);
    GroupBox_Drawdown = makeGroup("GroupBox_Drawdown", kDrawdownTitle, Chart_Drawdown);
    GroupBox_Histogram = makeGroup("GroupBox_Histogram", kHistogramTitle, Chart_Histogram);
    GroupBox_Drawdown->setToolTip(QStringLiteral("Насколько баланс был ниже своего предыдущего пика после каждой "
                                                 "сделки; пополнения и снятия просадкой не считаются"));
    GroupBox_Histogram->setToolTip(QStringLiteral("Число сделок по чистому результату (прибыль, комиссия, налоги "
                                                  "и свопы); результат 0 - в первом столбце справа от нуля"));

    auto* splitter = new QSplitter(Qt::Horizontal, this);
    splitter->setObjectName(QStringLiteral("Splitter_ResultCharts"));
    splitter->setChildrenCollapsible(false);
    splitter->addWidget(GroupBox_Drawdown);
    splitter->addWidget(GroupBox_Histogram);
    splitter->setStretchFactor(0, 3);
    splitter->setStretchFactor(1, 2);
    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->addWidget(splitter);
}

QGroupBox* ResultChartsBox::makeGroup(const char* name, const QString& title, QWidget* chart)
{
    auto* group = new QGroupBox(title, this);
    group->setObjectName(QString::fromLatin1(name));
    group->setFont(statsFont(true));
    chart->setFont(statsFont(false));
    auto* box = new QVBoxLayout(group);
    box->setContentsMargins(4, 4, 4, 4);
    box->addWidget(chart, 1);
    return group;
}

void ResultChartsBox::showTrades(const ReportTrades& trades, const QString& initialBalance,
                                 const std::vector<CashMovement>& cash)
{
    DrawdownCurve curve = buildDrawdownCurve(trades, initialBalance, cash);
    QString title = kDrawdownTitle;
    if (curve.deepest > 0) {
        title += QStringLiteral(" (наибольшая %1").arg(num::money(curve.deepest));
        if (!std::isnan(curve.deepestPercent))
            title += QStringLiteral(", %1%").arg(num::formatFixed(curve.deepestPercent, 2));
        title += u')';
    }
    GroupBox_Drawdown->setTitle(title);
    Chart_Drawdown->showCurve(std::move(curve));

    Histogram histogram = buildNetHistogram(trades);
    GroupBox_Histogram->setTitle(histogram.bins.empty()
                                     ? kHistogramTitle
                                     : kHistogramTitle + QStringLiteral(" (шаг %1)").arg(num::money(histogram.width)));
    Chart_Histogram->showHistogram(std::move(histogram));
}
