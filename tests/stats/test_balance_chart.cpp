#include "stats/core/balance_chart.h"

#include "stats_fixture.h"

#include <gtest/gtest.h>

namespace {

TradeRow trade(const QString& openTime, const QString& profit, double commission, const QString& swap = "0")
{
    TradeRow row;
    row.openTime = openTime;
    row.profit = profit;
    row.commission = commission;
    row.swap = swap;
    return row;
}

QStringList labels(const BalanceChart& c)
{
    return {c.withCommissionText(), c.withoutCommissionText(), c.commissionText(), c.swapsText()};
}

TEST(BalanceChart, CurvesRunOldestTradeFirst)
{
    StatsFixture f;
    // Inserted newest first, so the order comes from OpenTime alone.
    f.insert(trade("2013.05.23 10:00", "20", -1));
    f.insert(trade("2013.05.22 10:00", "-5", -1));
    f.insert(trade("2013.05.21 10:00", "10", -1));
    const BalanceChart c = buildBalanceChartData(f.db(), "1", "1000");
    EXPECT_TRUE(c.complete());
    // The red line is net of the commission, the green one the profits alone.
    EXPECT_EQ(c.balanceCurve, (LargeVector<double>{1009, 1003, 1022}));
    EXPECT_EQ(c.noCommissionCurve, (LargeVector<double>{1010, 1005, 1025}));
    EXPECT_EQ(labels(c), QStringList({"c коммисией: 1022,00", "без коммисии: 1025,00", "коммисия: -3,00", "Свопы: 0,00"}));
    EXPECT_EQ(c.tradeCount, 3);
    // 1009 of 3034 in all.
    EXPECT_EQ(c.percentMarkText(0), QStringLiteral("33,26 %"));
}

// The balance "c коммисией" is what the broker's statement calls the
// balance: capital, deposits and withdrawals, and every trade's profit with
// its commission, taxes and swap. Credit is the broker's and stays out.
TEST(BalanceChart, EndsOnTheStatementBalance)
{
    StatsFixture f;
    f.insertCash("2013.05.20 09:00:00", 500);
    TradeRow first = trade("2013.05.21 10:00", "100", -7, "-2,5");
    first.taxes = "-1.50";
    f.insert(first);
    f.insertCash("2013.05.21 12:00:00", 300, "credit");
    f.insertCash("2013.05.22 09:00:00", -200);
    f.insert(trade("2013.05.23 10:00", "-40", -3, "0,75"));
    f.insertCash("2013.06.01 09:00:00", 50); // after the last trade: in the totals only
    const BalanceChart c = buildBalanceChartData(f.db(), "1", "0");
    EXPECT_TRUE(c.complete());
    EXPECT_EQ(c.balanceCurve, (LargeVector<double>{589, 346.75}));
    EXPECT_EQ(c.noCommissionCurve, (LargeVector<double>{600, 360}));
    EXPECT_EQ(labels(c), QStringList({"c коммисией: 396,75", "без коммисии: 410,00", "коммисия: -10,00", "Свопы: -1,75"}));
}

TEST(BalanceChart, SwapsAreSummedWithTwoDecimals)
{
    StatsFixture f;
    f.insert(trade("2013.05.21 10:00", "1,5", 0, "-0,5"));
    f.insert(trade("2013.05.22 10:00", "2", 0, "-1"));
    EXPECT_EQ(buildBalanceChartData(f.db(), "1", "0").swapsText(), QStringLiteral("Свопы: -1,50"));
}

TEST(BalanceChart, AccountWithoutTradesShowsTheInitialBalance)
{
    StatsFixture f;
    const BalanceChart c = buildBalanceChartData(f.db(), "1", "1000,5");
    EXPECT_TRUE(c.complete());
    EXPECT_TRUE(c.balanceCurve.empty());
    EXPECT_EQ(c.tradeCount, 0);
    EXPECT_EQ(labels(c), QStringList({"c коммисией: 1000,50", "без коммисии: 1000,50", "коммисия: 0,00", "Свопы: 0,00"}));
}

TEST(BalanceChart, InitialBalanceThatIsNotANumberCountsFromZero)
{
    StatsFixture f;
    f.insert(trade("2013.05.21 10:00", "10", -1, "-2"));
    for (const char* start : {"", "1000.5", "abc"}) {
        const BalanceChart c = buildBalanceChartData(f.db(), "1", QString::fromUtf8(start));
        EXPECT_FALSE(c.complete()) << start;
        EXPECT_TRUE(c.balanceCurve.empty());
        EXPECT_EQ(c.tradeCount, std::nullopt); // the marker size stays as it was
        EXPECT_EQ(labels(c), QStringList({"c коммисией: 0,00", "без коммисии: 0,00", "коммисия: 0,00", "Свопы: 0,00"}));
    }
}

TEST(BalanceChart, ATradeWhoseNumberDoesNotReadIsLeftOut)
{
    StatsFixture f;
    f.insert(trade("2013.05.21 10:00", "10", -1, "-1"));
    f.insert(trade("2013.05.22 10:00", "5", -1, "oops")); // left out whole: its swap does not read
    f.insert(trade("2013.05.23 10:00", "7", -1, "0"));
    const BalanceChart c = buildBalanceChartData(f.db(), "1", "100");
    EXPECT_EQ(c.problem, QStringLiteral("Сделка id 2: Своп «oops» не является числом; она не входит в итоги"));
    EXPECT_EQ(c.balanceCurve, (LargeVector<double>{108, 114}));
    EXPECT_EQ(labels(c), QStringList({"c коммисией: 114,00", "без коммисии: 117,00", "коммисия: -2,00", "Свопы: -1,00"}));
    EXPECT_EQ(c.tradeCount, 3);
}

TEST(BalanceChart, MarkerSizeByNumberOfTrades)
{
    const std::vector<std::pair<int, std::optional<int>>> cases = {
        {0, std::nullopt}, {1, 5},   {49, 5}, {50, std::nullopt}, {51, 3},  {99, 3},
        {100, std::nullopt}, {101, 1}, {199, 1}, {200, std::nullopt}, {201, 0}, {100000, 0}};
    for (const auto& [n, size] : cases)
        EXPECT_EQ(markerSizeFor(n), size) << n;
}

} // namespace
