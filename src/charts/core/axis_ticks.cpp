#include "charts/core/axis_ticks.h"

#include <algorithm>
#include <cmath>
#include <initializer_list>

namespace {

// Far beyond any account, and still exact to the cent in a double.
constexpr double kLargest = 1e15;
// The narrowest span, relative to the size of the values and absolute.
constexpr double kRelativeResolution = 1e-9;
constexpr double kSmallestSpan = 1e-9;

// m times 10^k, exact for the short decimals it stands for (0.25, not
// 0.25000000000000006).
double scaled(double m, int k)
{
    return k < 0 ? m / std::pow(10.0, -k) : m * std::pow(10.0, k);
}

} // namespace

int AxisTicks::tickCount() const
{
    if (!(interval > 0) || !(max >= min))
        return 0;
    // The multiples of the interval in [min, max], allowing for rounding at
    // the ends as the axis meets it.
    const double first = std::ceil(min / interval - 1e-9);
    const double last = std::floor(max / interval + 1e-9);
    return static_cast<int>(std::clamp(last - first + 1, 0.0, 1e9));
}

QString AxisTicks::labelFormat() const
{
    return QStringLiteral("%.%1f").arg(decimals);
}

double roundTickInterval(double span, int maxTicks, AxisKind kind)
{
    if (!(span > 0) || !std::isfinite(span))
        return 1;
    // A range of span s holds at most s / interval + 1 multiples of it.
    const int gaps = std::max(1, maxTicks - 1);
    int k = static_cast<int>(std::floor(std::log10(span / gaps)));
    for (;; ++k) {
        for (const double m : {1.0, 2.0, 2.5, 5.0}) {
            const double step = scaled(m, k);
            if (kind == AxisKind::Counts && (step < 1 || step != std::floor(step)))
                continue;
            if (span / step <= gaps * (1 + 1e-12))
                return step;
        }
    }
}

int decimalsFor(double interval)
{
    if (!(interval > 0) || !std::isfinite(interval))
        return 0;
    for (int d = 0; d < 15; ++d) {
        const double shifted = scaled(interval, d);
        if (std::abs(shifted - std::round(shifted)) <= 1e-9 * shifted)
            return d;
    }
    return 15;
}

AxisTicks axisTicks(double low, double high, int maxTicks, AxisKind kind)
{
    if (!std::isfinite(low))
        low = high;
    if (!std::isfinite(high))
        high = low;
    if (!std::isfinite(low))
        low = 0, high = 1;
    low = std::clamp(low, -kLargest, kLargest);
    high = std::clamp(high, -kLargest, kLargest);
    if (low > high)
        std::swap(low, high);

    const double narrowest = std::max(kSmallestSpan, kRelativeResolution * std::max(std::abs(low), std::abs(high)));
    if (high - low < narrowest) {
        const double middle = low / 2 + high / 2;
        const double half = low == high ? std::max(1.0, narrowest) : narrowest / 2;
        low = middle - half;
        high = middle + half;
    }
    AxisTicks ticks;
    ticks.min = low;
    ticks.max = high;
    ticks.interval = roundTickInterval(high - low, maxTicks, kind);
    ticks.decimals = decimalsFor(ticks.interval);
    return ticks;
}

std::pair<double, double> paddedRange(double low, double high, double fraction)
{
    if (high - low < 1e-9) {
        const double pad = std::max(1.0, std::abs(high) * fraction);
        return {low - pad, high + pad};
    }
    const double pad = (high - low) * fraction;
    return {low - pad, high + pad};
}
