#pragma once

#include "charts/core/axis_ticks.h"

class QValueAxis;

// Every chart puts its ranges on its value axes through these, never with
// QValueAxis::setRange or setTickInterval directly.
//
// Qt Charts makes one item per tick, and it counts the ticks of a dynamic
// axis at once whenever the range or the interval changes: a small interval
// left from a narrow range meeting a wide one makes millions of items and
// hangs the window. So the axis never sees an interval that does not suit
// the range it has at that moment.

// Shows low..high (made usable, see axisTicks) with round ticks, and labels
// with the decimals the interval needs. Returns what the axis now shows.
AxisTicks setAxisRange(QValueAxis& axis, double low, double high, AxisKind kind = AxisKind::Values,
                       int maxTicks = kMaxAxisTicks);

// Shows ticks computed elsewhere, for instance those of an axis this one
// mirrors.
void applyAxisTicks(QValueAxis& axis, const AxisTicks& ticks);
