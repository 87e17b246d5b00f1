#include "charts/ui/value_axis.h"

#include <QValueAxis>

#include <algorithm>

AxisTicks setAxisRange(QValueAxis& axis, double low, double high, AxisKind kind, int maxTicks)
{
    const AxisTicks ticks = axisTicks(low, high, maxTicks, kind);
    applyAxisTicks(axis, ticks);
    return ticks;
}

void applyAxisTicks(QValueAxis& axis, const AxisTicks& ticks)
{
    // First an interval that suits the old range and the new one alike: the
    // larger of what each needs. Whatever the axis held before (the default
    // 0..1, fixed ticks, an interval of 0) it then counts few ticks at every
    // step below.
    const double oldSpan = axis.max() - axis.min();
    const double bridge = std::max(ticks.interval, roundTickInterval(oldSpan, kMaxAxisTicks));
    axis.setTickAnchor(0);
    axis.setTickInterval(bridge);
    axis.setTickType(QValueAxis::TicksDynamic);
    axis.setRange(ticks.min, ticks.max);
    axis.setTickInterval(ticks.interval);
    axis.setLabelFormat(ticks.labelFormat());
}
