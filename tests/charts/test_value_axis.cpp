// Ranges put on a live axis of a shown chart, where Qt Charts lays out one
// item per tick as soon as the range or the interval changes: a tick
// interval left from a narrow range on a wide one hangs here (the CTest
// timeout then fails the test).
#include "charts/ui/value_axis.h"

#include <QApplication>
#include <QChart>
#include <QChartView>
#include <QLineSeries>
#include <QValueAxis>

#include <gtest/gtest.h>

#include <cmath>
#include <limits>
#include <memory>

namespace {

class ValueAxisTest : public ::testing::Test {
protected:
    ValueAxisTest()
    {
        auto* chart = new QChart;
        auto* series = new QLineSeries;
        series->append({{0, 0}, {1, 1}});
        chart->addSeries(series);
        chart->addAxis(axis, Qt::AlignLeft);
        chart->addAxis(mirror, Qt::AlignRight);
        series->attachAxis(axis);
        view.setChart(chart);
        view.resize(600, 400);
        view.show();
        QApplication::processEvents();
    }

    // The ticks the axis lays out over its range.
    static int ticksOn(const QValueAxis& a)
    {
        return static_cast<int>(std::floor((a.max() - a.min()) / a.tickInterval())) + 1;
    }

    QChartView view;
    QValueAxis* axis = new QValueAxis;
    QValueAxis* mirror = new QValueAxis;
};

struct RangeCase {
    double low, high;
    double min, max, interval;
    const char* format;
};

// Narrow to wide and back, as an account of a few trades and then one of
// thousands, each range laid out on the screen before the next.
TEST_F(ValueAxisTest, NarrowThenWideThenNarrowKeepsAFewTicks)
{
    const double nan = std::numeric_limits<double>::quiet_NaN();
    const RangeCase cases[] = {
        {0, 4, 0, 4, 0.5, "%.1f"},
        {-500, 600000, -500, 600000, 100000, "%.0f"},
        {0, 4, 0, 4, 0.5, "%.1f"},
        {1, 1.0004, 1, 1.0004, 0.00005, "%.5f"},
        {-1e9, 1e9, -1e9, 1e9, 2.5e8, "%.0f"},
        {0.5, 0.5, -0.5, 1.5, 0.25, "%.2f"},
        {nan, nan, 0, 1, 0.2, "%.1f"},
    };
    for (const RangeCase& c : cases) {
        const AxisTicks ticks = setAxisRange(*axis, c.low, c.high);
        QApplication::processEvents();
        EXPECT_DOUBLE_EQ(axis->min(), c.min) << c.low << ".." << c.high;
        EXPECT_DOUBLE_EQ(axis->max(), c.max) << c.low << ".." << c.high;
        EXPECT_DOUBLE_EQ(axis->tickInterval(), c.interval) << c.low << ".." << c.high;
        EXPECT_EQ(axis->tickType(), QValueAxis::TicksDynamic);
        EXPECT_EQ(axis->tickAnchor(), 0);
        EXPECT_EQ(axis->labelFormat(), QLatin1String(c.format));
        EXPECT_LE(ticksOn(*axis), kMaxAxisTicks) << c.low << ".." << c.high;
        EXPECT_GE(ticksOn(*axis), 2) << c.low << ".." << c.high;

        // A second axis shows the same.
        applyAxisTicks(*mirror, ticks);
        EXPECT_EQ(mirror->min(), axis->min());
        EXPECT_EQ(mirror->max(), axis->max());
        EXPECT_EQ(mirror->tickInterval(), axis->tickInterval());
        EXPECT_EQ(mirror->labelFormat(), axis->labelFormat());
    }
}

// An axis left by other code with a small interval on a small range (as the
// charts used to leave theirs) takes a wide range without ever counting
// more ticks than either range needs.
TEST_F(ValueAxisTest, StaleSmallIntervalMeetsAWideRange)
{
    axis->setTickType(QValueAxis::TicksDynamic);
    axis->setRange(-1, 1);
    axis->setTickInterval(0.5);
    QApplication::processEvents();

    int mostTicks = 0;
    auto count = [&] { mostTicks = std::max(mostTicks, ticksOn(*axis)); };
    QObject::connect(axis, &QValueAxis::rangeChanged, axis, count);
    QObject::connect(axis, &QValueAxis::tickIntervalChanged, axis, count);
    setAxisRange(*axis, -500, 600000);
    EXPECT_EQ(axis->tickInterval(), 100000);
    EXPECT_LE(mostTicks, kMaxAxisTicks);

    mostTicks = 0;
    setAxisRange(*axis, 0, 4);
    EXPECT_EQ(axis->tickInterval(), 0.5);
    EXPECT_LE(mostTicks, kMaxAxisTicks);
}

} // namespace
