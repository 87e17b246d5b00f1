#include "charts/core/date_ticks.h"

#include <QDateTime>
#include <QSet>
#include <QStringList>

#include <gtest/gtest.h>

namespace {

qint64 at(const char* text)
{
    QDateTime t = QDateTime::fromString(QString::fromLatin1(text), QStringLiteral("yyyy.MM.dd hh:mm:ss"));
    t.setTimeSpec(Qt::UTC);
    return t.toMSecsSinceEpoch();
}

QStringList labels(const DateTicks& d)
{
    QStringList l;
    for (const DateTick& t : d.ticks)
        l << t.label;
    return l;
}

// Whatever the range: ticks inside it, ascending, at most the number asked
// for, at least `least`, labels that differ (Qt's category axis needs that),
// each on a whole unit.
void expectReadable(const DateTicks& d, int maxTicks, const std::string& what, size_t least = 2)
{
    SCOPED_TRACE(what);
    ASSERT_GE(d.ticks.size(), least);
    EXPECT_LE(static_cast<int>(d.ticks.size()), maxTicks);
    const QStringList l = labels(d);
    EXPECT_EQ(QSet<QString>(l.begin(), l.end()).size(), l.size());
    for (size_t i = 0; i < d.ticks.size(); ++i) {
        const qint64 t = d.ticks[i].at;
        EXPECT_GE(t, d.min);
        EXPECT_LE(t, d.max);
        if (i > 0) {
            EXPECT_GT(t, d.ticks[i - 1].at);
        }
        const QDateTime dt = QDateTime::fromMSecsSinceEpoch(t, Qt::UTC);
        EXPECT_EQ(dt.time().minute(), 0);
        EXPECT_EQ(dt.time().second(), 0);
        if (d.unit != DateUnit::Hour) {
            EXPECT_EQ(dt.time().hour(), 0);
        }
        if (d.unit == DateUnit::Month || d.unit == DateUnit::Year) {
            EXPECT_EQ(dt.date().day(), 1);
        }
        if (d.unit == DateUnit::Year) {
            EXPECT_EQ(dt.date().month(), 1);
        }
    }
}

TEST(DateTicks, WholeUnitsForEverySpan)
{
    struct Case {
        const char* from;
        const char* to;
        DateUnit unit;
        QStringList first; // the first labels
    };
    const Case cases[] = {
        // Years of trading: whole years.
        {"2009.01.05 10:00:00", "2015.07.01 18:00:00", DateUnit::Year, {"2010", "2011", "2012"}},
        // Some months: whole months.
        {"2023.01.20 10:00:00", "2023.06.02 18:00:00", DateUnit::Month, {"02.2023", "03.2023", "04.2023"}},
        // A few weeks: Mondays.
        {"2023.01.02 10:00:00", "2023.02.20 18:00:00", DateUnit::Day, {"09.01.23", "16.01.23"}},
        // A week: every day.
        {"2023.01.02 10:00:00", "2023.01.06 18:00:00", DateUnit::Day, {"03.01.23", "04.01.23"}},
        // One day's session: hours, the day itself at midnight.
        {"2023.01.02 08:10:00", "2023.01.02 17:40:00", DateUnit::Hour, {"10:00", "12:00"}},
        // Over midnight: each hour says its day.
        {"2023.01.02 20:00:00", "2023.01.03 07:00:00", DateUnit::Hour, {"02.01 20:00", "02.01 22:00", "03.01"}},
        // Reversed bounds read the same.
        {"2023.06.02 18:00:00", "2023.01.20 10:00:00", DateUnit::Month, {"02.2023", "03.2023"}},
    };
    for (const Case& c : cases) {
        const DateTicks d = dateTicks(at(c.from), at(c.to), 8);
        const std::string what = std::string(c.from) + " - " + c.to;
        expectReadable(d, 8, what);
        EXPECT_EQ(d.unit, c.unit) << what;
        EXPECT_EQ(labels(d).mid(0, c.first.size()), c.first) << what;
    }
}

// One trade, or every trade at one time: the whole day it fell in.
TEST(DateTicks, AFlatRangeShowsItsDay)
{
    const qint64 t = at("2023.03.15 14:30:00");
    const DateTicks d = dateTicks(t, t, 8);
    EXPECT_EQ(d.min, at("2023.03.15 00:00:00"));
    EXPECT_EQ(d.max, at("2023.03.16 00:00:00"));
    expectReadable(d, 8, "flat");
    EXPECT_EQ(labels(d), QStringList({"15.03", "06:00", "12:00", "18:00", "16.03"}));
    // Less than an hour apart: the whole hours around them.
    const DateTicks close = dateTicks(at("2023.03.15 14:30:00"), at("2023.03.15 14:31:00"), 8);
    EXPECT_EQ(close.min, at("2023.03.15 14:00:00"));
    EXPECT_EQ(close.max, at("2023.03.15 15:00:00"));
    expectReadable(close, 8, "a minute");
}

// Ends no data reaches, and narrow charts, still give few ticks.
TEST(DateTicks, NeverMoreThanAScreenful)
{
    const std::pair<qint64, qint64> ranges[] = {
        {std::numeric_limits<qint64>::min(), std::numeric_limits<qint64>::max()},
        {0, at("2023.01.01 00:00:00")},
        {at("2023.01.01 00:00:00"), at("2023.01.01 23:59:59")},
    };
    for (const auto& [from, to] : ranges) {
        for (const int maxTicks : {2, 3, 8, 10}) {
            const DateTicks d = dateTicks(from, to, maxTicks);
            // Two ticks allowed over eight thousand years: one of them.
            expectReadable(d, maxTicks, std::to_string(from) + " " + std::to_string(maxTicks), 1);
        }
    }
}

TEST(DateTicks, PaddingLeavesRoomAtBothEnds)
{
    EXPECT_EQ(paddedTimeRange(0, 1'000'000, 0.1), std::make_pair(qint64(-100'000), qint64(1'100'000)));
    // At least a minute.
    EXPECT_EQ(paddedTimeRange(5, 5, 0.1), std::make_pair(qint64(5 - 60'000), qint64(5 + 60'000)));
}

} // namespace
