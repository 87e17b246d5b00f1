#pragma once

#include "charts/core/date_ticks.h"

class QCategoryAxis;
class QValueAxis;

// A date axis on Qt Charts: the series hang on a hidden value axis in
// milliseconds (a QDateTimeAxis spaces its ticks evenly, not on whole days
// or months), and a category axis beside it, attached to nothing, carries
// the labels and grid lines of the ticks at whole hours, days, months or
// years.

// Shows from..to on both axes, with at most maxTicks labels. Returns what
// the axes now show (a flat range widened, see dateTicks).
DateTicks setDateRange(QValueAxis& values, QCategoryAxis& labels, qint64 from, qint64 to, int maxTicks);

// How many date labels fit across a plot of the given width in pixels.
int dateTicksFor(double plotWidth);
