#include "charts/core/chart_zoom.h"

#include <algorithm>
#include <cmath>

std::pair<double, double> zoomedRange(std::pair<double, double> shown, double pivot, double factor, double narrowest,
                                      std::pair<double, double> full)
{
    const auto [low, high] = shown;
    const double fullSpan = full.second - full.first;
    if (!(factor > 0) || !std::isfinite(factor) || !(fullSpan > 0))
        return full;
    const double span = std::max((high - low) / factor, std::min(narrowest, fullSpan));
    if (!(span < fullSpan))
        return full;
    // The pivot keeps its place: the same share of the range lies below it.
    const double share = high > low && std::isfinite(pivot) ? std::clamp((pivot - low) / (high - low), 0.0, 1.0) : 0.5;
    const double start = std::clamp(low + share * (high - low) - share * span, full.first, full.second - span);
    return {start, start + span};
}
