#include "charts/core/curve_points.h"

#include <gtest/gtest.h>

namespace {

// By number or by time, the shown points are those of the range and one
// more on each side.
TEST(CurvePoints, PointsOfTheRangeAndOneBeyond)
{
    const std::vector<double> ys = {1, 2, 3, 4, 5, 6};
    const std::vector<double> times = {100, 200, 200, 300, 700, 900};
    struct Case {
        std::vector<double> xs;
        double from, to;
        std::vector<double> shownYs;
    };
    const Case cases[] = {
        {{}, 2, 3, {2, 3, 4, 5}},
        {{}, -10, 100, {1, 2, 3, 4, 5, 6}},
        {times, 200, 300, {1, 2, 3, 4, 5}},      // equal times both shown
        {times, 400, 600, {4, 5}},               // none inside: the neighbours
        {times, 1000, 2000, {6}},
        {times, 0, 50, {1}},
    };
    for (const Case& c : cases) {
        const QList<QPointF> points = shownPoints(ys, c.xs, c.from, c.to, 1000);
        std::vector<double> shown;
        for (const QPointF& p : points)
            shown.push_back(p.y());
        EXPECT_EQ(shown, c.shownYs) << c.from << ".." << c.to;
    }
    EXPECT_TRUE(shownPoints({}, {}, 0, 1, 100).isEmpty());
}

// Many points over few columns: each column keeps its first, lowest,
// highest and last point, so the extremes stay on the chart.
TEST(CurvePoints, ThinningKeepsTheExtremes)
{
    std::vector<double> ys(100000, 0.0), xs(100000);
    for (size_t k = 0; k < ys.size(); ++k)
        xs[k] = static_cast<double>(k) * 10;
    ys[31234] = -500;
    ys[77777] = 800;
    const QList<QPointF> points = shownPoints(ys, xs, 0, xs.back(), 200);
    EXPECT_LE(points.size(), 4 * 200 + 8);
    double low = 0, high = 0;
    for (qsizetype i = 0; i < points.size(); ++i) {
        low = std::min(low, points[i].y());
        high = std::max(high, points[i].y());
        if (i > 0) {
            EXPECT_GE(points[i].x(), points[i - 1].x());
        }
    }
    EXPECT_EQ(low, -500);
    EXPECT_EQ(high, 800);
    EXPECT_EQ(points.front().x(), 0);
    EXPECT_EQ(points.back().x(), xs.back());
}

} // namespace
