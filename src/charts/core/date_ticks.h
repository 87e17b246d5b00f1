#pragma once

#include <QString>
#include <QtGlobal>

#include <vector>

// A date axis: ticks on whole hours, days, months or years, so that the
// labels of trades spread over years, months or one day stay short and
// readable. Times are milliseconds since 1970-01-01 00:00 of the trade
// server's clock, taken as UTC: a statement's times carry no zone, and UTC
// has no summer-time hour that is missing or comes twice.

enum class DateUnit { Hour, Day, Month, Year };

struct DateTick {
    qint64 at = 0; // milliseconds
    QString label; // "14:00", "05.03", "03.2024", "2024"; unique on one axis
};

struct DateTicks {
    qint64 min = 0;
    qint64 max = 0;
    DateUnit unit = DateUnit::Day;
    int step = 1; // units from one tick to the next
    std::vector<DateTick> ticks; // within [min, max], ascending
};

inline constexpr qint64 kMsecsPerDay = 86'400'000;

// At most maxTicks ticks over from..to (no more than a screenful, whatever
// the range). An empty or flat range (one trade, trades at one time) is
// widened to the whole day around it; reversed bounds are swapped; bounds
// are held within the years 1900 to 9999.
DateTicks dateTicks(qint64 from, qint64 to, int maxTicks = 8);

// from..to widened by a fraction of its span on each side (at least a
// minute), so that the first and the last trade do not touch the frame.
std::pair<qint64, qint64> paddedTimeRange(qint64 from, qint64 to, double fraction);
