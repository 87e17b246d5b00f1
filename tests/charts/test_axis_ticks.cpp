// The tick arithmetic of every chart axis, over spans from cents to
// billions and values that are not numbers at all.
#include "charts/core/axis_ticks.h"
#include "charts/core/chart_zoom.h"

#include <gtest/gtest.h>

#include <cmath>
#include <limits>

namespace {

constexpr double kNaN = std::numeric_limits<double>::quiet_NaN();
constexpr double kInf = std::numeric_limits<double>::infinity();

struct TicksCase {
    double low, high;
    int maxTicks;
    AxisKind kind;
    double min, max, interval;
    int decimals, ticks;
};

TEST(AxisTicks, RoundIntervalsAndDecimalsForEveryKindOfRange)
{
    const AxisKind V = AxisKind::Values, C = AxisKind::Counts;
    const TicksCase cases[] = {
        {0, 4, 10, V, 0, 4, 0.5, 1, 9},
        {-500, 600000, 10, V, -500, 600000, 100000, 0, 7},
        {1, 1.0004, 10, V, 1, 1.0004, 0.00005, 5, 9},
        {-3, -1, 10, V, -3, -1, 0.25, 2, 9},
        {0, 1e9, 10, V, 0, 1e9, 2e8, 0, 6},
        {-20, 30, 10, V, -20, 30, 10, 0, 6},
        {0, 4.5, 7, V, 0, 4.5, 1, 0, 5},
        // Flat: one on each side.
        {100, 100, 10, V, 99, 101, 0.25, 2, 9},
        // A bound that is not a number takes the other one.
        {kNaN, 5, 10, V, 4, 6, 0.25, 2, 9},
        {1000, kInf, 10, V, 999, 1001, 0.25, 2, 9},
        {kNaN, kNaN, 10, V, 0, 1, 0.2, 1, 6},
        {-kInf, kInf, 10, V, 0, 1, 0.2, 1, 6},
        // Reversed bounds.
        {4, 0, 10, V, 0, 4, 0.5, 1, 9},
        // Beyond 1e15 values are held there, widened by a billionth.
        {1e300, 1e300, 10, V, 1e15 - 1e6, 1e15 + 1e6, 250000, 0, 9},
        // Trade numbers step by whole trades.
        {0, 4, 10, C, 0, 4, 1, 0, 5},
        {0, 49, 10, C, 0, 49, 10, 0, 5},
        {0, 5000, 7, C, 0, 5000, 1000, 0, 6},
        {0, 100000, 10, C, 0, 100000, 20000, 0, 6},
        {10.5, 37, 10, C, 10.5, 37, 5, 0, 5},
    };
    for (const TicksCase& c : cases) {
        const AxisTicks t = axisTicks(c.low, c.high, c.maxTicks, c.kind);
        const std::string what = std::to_string(c.low) + ".." + std::to_string(c.high);
        EXPECT_DOUBLE_EQ(t.min, c.min) << what;
        EXPECT_DOUBLE_EQ(t.max, c.max) << what;
        EXPECT_DOUBLE_EQ(t.interval, c.interval) << what;
        EXPECT_EQ(t.decimals, c.decimals) << what;
        EXPECT_EQ(t.labelFormat(), QStringLiteral("%.%1f").arg(c.decimals)) << what;
        EXPECT_EQ(t.tickCount(), c.ticks) << what;
    }
}

// A very narrow range far from zero is widened: finer steps would vanish in
// the rounding of the values, and the axis would step from tick to tick for
// ever.
TEST(AxisTicks, NarrowRangeFarFromZeroKeepsStepsThatCount)
{
    const AxisTicks t = axisTicks(1e12, 1e12 + 1e-3);
    EXPECT_NEAR(t.max - t.min, 1000, 1e-3);
    EXPECT_EQ(t.interval, 200);
    EXPECT_NE(t.min + t.interval, t.min);
}

// Over spans from a millionth to a thousand billion, anywhere on the line,
// no range gets more than maxTicks ticks, and with room for six or more
// every range gets at least two (trade numbers once they span two trades).
TEST(AxisTicks, TickCountStaysOnAScreenWhateverTheSpan)
{
    for (const int maxTicks : {4, 6, 7, 10}) {
        for (int exponent = -6; exponent <= 12; ++exponent) {
            for (const double mantissa : {1.0, 1.37, 2.0, 2.49, 3.3, 4.99, 7.77}) {
                for (const double offset : {0.0, -0.3, 12345.678}) {
                    const double span = mantissa * std::pow(10.0, exponent);
                    const double low = offset * span;
                    for (const AxisKind kind : {AxisKind::Values, AxisKind::Counts}) {
                        const int ticks = axisTicks(low, low + span, maxTicks, kind).tickCount();
                        EXPECT_LE(ticks, maxTicks) << low << " + " << span;
                        if (maxTicks >= 6 && (kind == AxisKind::Values || span >= 2)) {
                            EXPECT_GE(ticks, 2) << low << " + " << span << " of " << maxTicks;
                        }
                    }
                }
            }
        }
    }
}

TEST(AxisTicks, DecimalsWriteEveryMultipleOfTheInterval)
{
    const std::pair<double, int> cases[] = {{1, 0},    {5e8, 0},  {25, 0},   {2.5, 1},  {0.5, 1},
                                            {0.25, 2}, {0.2, 1},  {5e-5, 5}, {2.5e-7, 8}, {0, 0},
                                            {-1, 0},   {kNaN, 0}};
    for (const auto& [interval, decimals] : cases)
        EXPECT_EQ(decimalsFor(interval), decimals) << interval;
}

TEST(AxisTicks, PaddedRangeGivesAirAndWidensAFlatOne)
{
    using Range = std::pair<double, double>;
    EXPECT_EQ(paddedRange(0, 100, 0.05), Range(-5, 105));
    EXPECT_EQ(paddedRange(0, 0, 0.05), Range(-1, 1));
    EXPECT_EQ(paddedRange(1000, 1000, 0.05), Range(950, 1050));
}

struct ZoomCase {
    std::pair<double, double> shown;
    double pivot, factor, narrowest;
    std::pair<double, double> full, expected;
};

TEST(ChartZoom, KeepsThePivotStopsAtTheNarrowestAndAtTheWhole)
{
    const ZoomCase cases[] = {
        {{0, 49}, 24.5, 1.25, 2, {0, 49}, {4.9, 44.1}},          // in around the middle
        {{0, 40}, 0, 2, 2, {0, 49}, {0, 20}},                     // in at the left edge
        {{10, 12}, 11, 1.25, 2, {0, 49}, {10, 12}},               // no narrower than 2
        {{10, 12.5}, 11, 1.25, 2, {0, 49}, {10.2, 12.2}},         // down to 2 exactly
        {{0, 20}, 0, 0.8, 2, {0, 49}, {0, 25}},                   // out from the left edge
        {{30, 49}, 49, 0.5, 2, {0, 49}, {11, 49}},                // out against the right edge
        {{5, 45}, 25, 0.8, 2, {0, 49}, {0, 49}},                  // out to the whole
        {{0, 1}, 0.5, 2, 2, {0, 1}, {0, 1}},                      // whole narrower than 2
        {{100, 200}, kNaN, 2, 0.1, {0, 1000}, {125, 175}},        // no pivot: the middle
        {{100, 200}, 150, kInf, 0.1, {0, 1000}, {0, 1000}},       // no factor: the whole
    };
    for (const ZoomCase& c : cases) {
        const auto [low, high] = zoomedRange(c.shown, c.pivot, c.factor, c.narrowest, c.full);
        EXPECT_DOUBLE_EQ(low, c.expected.first) << c.shown.first << ".." << c.shown.second << " x" << c.factor;
        EXPECT_DOUBLE_EQ(high, c.expected.second) << c.shown.first << ".." << c.shown.second << " x" << c.factor;
    }
}

} // namespace
