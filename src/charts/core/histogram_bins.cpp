#include "charts/core/histogram_bins.h"

#include "charts/core/axis_ticks.h"

#include <algorithm>
#include <cmath>

namespace {

constexpr double kCent = 0.01;
// Far beyond any account, and exact to the cent in a double.
constexpr double kLargest = 1e15;

// The q-quantile of sorted values, between neighbours.
double quantile(const std::vector<double>& sorted, double q)
{
    const double at = q * static_cast<double>(sorted.size() - 1);
    const size_t below = static_cast<size_t>(std::floor(at));
    const size_t above = std::min(below + 1, sorted.size() - 1);
    return sorted[below] + (sorted[above] - sorted[below]) * (at - static_cast<double>(below));
}

// The smallest round step of at least `least`.
double roundStepOf(double least) { return roundTickInterval(least, 2); }

// Which multiple of the width a value is above: a value that lies on an
// edge but reads a hair below it in binary (0.3 / 0.1) still counts there.
double edgeIndex(double value, double width) { return std::floor(value / width + 1e-9); }

} // namespace

Histogram histogramBins(std::vector<double> values, int maxBins)
{
    maxBins = std::max(1, maxBins);
    std::erase_if(values, [](double v) { return !std::isfinite(v) || std::abs(v) > kLargest; });
    Histogram h;
    if (values.empty())
        return h;
    std::sort(values.begin(), values.end());
    const double low = values.front(), high = values.back();
    const double n = static_cast<double>(values.size());

    double width = 2 * (quantile(values, 0.75) - quantile(values, 0.25)) / std::cbrt(n);
    if (!(width > 0)) // most values equal: Sturges' count over the whole spread
        width = (high - low) / std::ceil(std::log2(n) + 1);
    if (!(width > 0)) // all equal: one bin as wide as the value's size
        width = std::max(std::abs(low), 1.0);
    width = roundStepOf(std::max({width, kCent, (high - low) / maxBins}));
    // Rounding up may still leave one bin too many (the edges are
    // multiples of the width, not the ends of the spread): one step more.
    while (edgeIndex(high, width) - edgeIndex(low, width) + 1 > maxBins)
        width = roundStepOf(width * 1.000001);

    const double first = edgeIndex(low, width);
    const int count = static_cast<int>(edgeIndex(high, width) - first) + 1;
    h.width = width;
    h.bins.resize(static_cast<size_t>(count));
    for (int i = 0; i < count; ++i) {
        h.bins[i].low = (first + i) * width;
        h.bins[i].high = (first + i + 1) * width;
    }
    for (const double v : values) {
        const int i = std::clamp(static_cast<int>(edgeIndex(v, width) - first), 0, count - 1);
        ++h.bins[i].count;
    }
    for (const HistogramBin& b : h.bins)
        h.largestCount = std::max(h.largestCount, b.count);
    return h;
}
