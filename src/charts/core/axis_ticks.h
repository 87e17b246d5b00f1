#pragma once

#include <QString>

#include <utility>

// What an axis shows: a range and the ticks over it. Ticks sit on the
// multiples of a round interval (1, 2, 2.5 or 5 times a power of ten), so
// their labels are short and their number stays small whatever the data.
enum class AxisKind {
    Values, // money and other measures: any round interval
    Counts, // trade numbers: whole steps only
};

// About what one chart axis can label legibly.
constexpr int kMaxAxisTicks = 10;

struct AxisTicks {
    double min = 0;
    double max = 1;
    double interval = 1;
    int decimals = 0; // label decimals that tell neighbouring ticks apart

    // The ticks within [min, max]: the multiples of the interval there.
    int tickCount() const;
    // A printf format for the labels, as QValueAxis takes it.
    QString labelFormat() const;
};

// The smallest round interval that puts at most maxTicks ticks over any
// range of the given span (a span that is not a positive number gets 1).
double roundTickInterval(double span, int maxTicks, AxisKind kind = AxisKind::Values);

// Decimals needed to write every multiple of a round interval exactly.
int decimalsFor(double interval);

// The range and ticks for showing low..high. Usable whatever it is given:
// a missing bound (NaN, infinite) takes the other one, both missing give
// 0..1, a flat range is widened by 1 on each side, a very narrow one around
// its middle to a billionth of its size (finer steps vanish in the rounding
// of doubles, and Qt Charts would then step from tick to tick for ever), and
// values beyond 1e15 are held there.
AxisTicks axisTicks(double low, double high, int maxTicks = kMaxAxisTicks, AxisKind kind = AxisKind::Values);

// low..high with a fraction of its span added on each side, so that a curve
// does not touch the frame; a flat range gets the fraction of its value but
// at least 1 on each side.
std::pair<double, double> paddedRange(double low, double high, double fraction);
