#include "charts/ui/small_chart.h"

#include <QChart>
#include <QLocale>

void useRussianNumbers(QChart& chart)
{
    QLocale locale(QLocale::Russian, QLocale::Russia);
    locale.setNumberOptions(QLocale::OmitGroupSeparator);
    chart.setLocale(locale);
    chart.setLocalizeNumbers(true);
}

QChart* makeSmallChart()
{
    auto* chart = new QChart;
    chart->setBackgroundRoundness(0);
    chart->setMargins(QMargins(2, 4, 2, 2));
    useRussianNumbers(*chart);
    return chart;
}
