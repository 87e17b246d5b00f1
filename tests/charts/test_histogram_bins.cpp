#include "charts/core/histogram_bins.h"

#include <cmath>
#include <numeric>
#include <random>

#include <gtest/gtest.h>

namespace {

int total(const Histogram& h)
{
    return std::accumulate(h.bins.begin(), h.bins.end(), 0, [](int s, const HistogramBin& b) { return s + b.count; });
}

bool isRound(double width)
{
    const double power = std::pow(10.0, std::floor(std::log10(width)));
    const double m = width / power;
    for (const double r : {1.0, 2.0, 2.5, 5.0, 10.0}) {
        if (std::abs(m - r) < 1e-9)
            return true;
    }
    return false;
}

// Every histogram: round width, adjacent bins on multiples of it (so 0 is
// an edge), each value counted once in the bin that holds it.
void expectSound(const Histogram& h, const std::vector<double>& values, int maxBins, const std::string& what)
{
    SCOPED_TRACE(what);
    ASSERT_FALSE(h.bins.empty());
    EXPECT_TRUE(isRound(h.width)) << h.width;
    EXPECT_LE(static_cast<int>(h.bins.size()), maxBins);
    for (size_t i = 0; i < h.bins.size(); ++i) {
        const HistogramBin& b = h.bins[i];
        EXPECT_NEAR(b.high - b.low, h.width, 1e-9 * h.width);
        EXPECT_NEAR(std::remainder(b.low, h.width), 0, 1e-9 * h.width);
        if (i > 0) {
            EXPECT_EQ(b.low, h.bins[i - 1].high);
        }
        // No bin holds both sides of 0.
        EXPECT_TRUE(b.low >= 0 || b.high <= 1e-9 * h.width) << b.low << " " << b.high;
    }
    int finite = 0;
    for (const double v : values) {
        if (!std::isfinite(v))
            continue;
        ++finite;
        EXPECT_GE(v, h.bins.front().low - 1e-9);
        EXPECT_LT(v, h.bins.back().high);
    }
    EXPECT_EQ(total(h), finite);
}

TEST(HistogramBins, BinsForTypicalResults)
{
    std::mt19937 random(7);
    std::normal_distribution<double> spread(5, 40);
    std::vector<double> many(10000);
    for (double& v : many)
        v = std::round(spread(random) * 100) / 100;
    many.push_back(5000); // one outlier does not make every other bin vanish into one

    struct Case {
        std::string name;
        std::vector<double> values;
        int maxBins;
    };
    const std::vector<Case> cases = {
        {"gains and losses", {-30, -12.5, -4, 0, 3, 7.25, 10, 18, 25, 60}, 40},
        {"many", many, 40},
        {"few bins allowed", many, 5},
        {"only losses", {-1.5, -0.75, -0.2, -3}, 40},
        {"cents", {0.01, 0.02, -0.01, 0.03}, 40},
        {"with NaN", {1, NAN, 2, INFINITY, 3}, 40},
        {"on edges", {-20, -10, 0, 10, 20, 30}, 40},
    };
    for (const Case& c : cases) {
        const Histogram h = histogramBins(c.values, c.maxBins);
        expectSound(h, c.values, c.maxBins, c.name);
    }
    // Freedman-Diaconis on the normal spread: IQR about 54, n 10001, so
    // 2 * 54 / 21.5, a little over 5: the next round step, 10. The outlier
    // does not widen it while enough bins are allowed; with 40 bins over
    // 5000 it takes 125 at least: 200.
    EXPECT_EQ(histogramBins(many, 2000).width, 10);
    EXPECT_EQ(histogramBins(many, 40).width, 200);
}

TEST(HistogramBins, ValuesOnAnEdgeCountAbove)
{
    const Histogram h = histogramBins({-10, 0, 0, 10, 0.3, 0.1 + 0.2}, 40);
    ASSERT_FALSE(h.bins.empty());
    // 0 is the low edge of the bin that counts it (with the rest below its
    // high edge), never the high edge of a loss bin.
    for (const HistogramBin& b : h.bins) {
        if (b.high <= 0) {
            EXPECT_TRUE(b.count == 0 || b.low == -10) << b.low;
        }
    }
    const auto zeroBin = std::find_if(h.bins.begin(), h.bins.end(), [](const HistogramBin& b) { return b.low == 0; });
    ASSERT_NE(zeroBin, h.bins.end());
    EXPECT_GE(zeroBin->count, 2);
}

TEST(HistogramBins, EmptyOneAndEqualValues)
{
    EXPECT_TRUE(histogramBins({}).bins.empty());
    EXPECT_TRUE(histogramBins({NAN}).bins.empty());
    struct Case {
        std::vector<double> values;
        double low, high;
    };
    const Case cases[] = {
        {{12.5}, 0, 20},
        {{-7, -7, -7}, -10, 0},
        {{0, 0}, 0, 1},
    };
    for (const Case& c : cases) {
        const Histogram h = histogramBins(c.values);
        ASSERT_EQ(h.bins.size(), 1u);
        EXPECT_EQ(h.bins[0].low, c.low);
        EXPECT_EQ(h.bins[0].high, c.high);
        EXPECT_EQ(h.bins[0].count, static_cast<int>(c.values.size()));
        EXPECT_EQ(h.largestCount, static_cast<int>(c.values.size()));
    }
}

} // namespace
