#include "charts/ui/date_axis.h"

#include "charts/ui/value_axis.h"

#include <QCategoryAxis>
#include <QValueAxis>

#include <algorithm>

DateTicks setDateRange(QValueAxis& values, QCategoryAxis& labels, qint64 from, qint64 to, int maxTicks)
{
    const DateTicks ticks = dateTicks(from, to, maxTicks);
    // The hidden axis keeps round ticks of its own that nobody sees, so it
    // never makes more of them than a screenful either.
    setAxisRange(values, static_cast<double>(ticks.min), static_cast<double>(ticks.max));
    for (const QString& label : labels.categoriesLabels())
        labels.remove(label);
    labels.setRange(static_cast<double>(ticks.min), static_cast<double>(ticks.max));
    labels.setStartValue(static_cast<double>(ticks.min));
    for (const DateTick& tick : ticks.ticks)
        labels.append(tick.label, static_cast<double>(tick.at));
    return ticks;
}

int dateTicksFor(double plotWidth)
{
    // A label such as "12.03 14:00" or "03.2024" and room around it.
    return std::clamp(static_cast<int>(plotWidth / 80), 2, 10);
}
