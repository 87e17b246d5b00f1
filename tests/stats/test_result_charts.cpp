#include "stats/core/balance_chart.h"
#include "stats/core/chart_times.h"
#include "stats/core/report_trades.h"
#include "stats/core/result_charts.h"
#include "stats/core/text_table_model.h"
#include "stats/core/trading_metrics.h"
#include "stats/ui/balance_chart_view.h"
#include "stats/ui/drawdown_chart_view.h"
#include "stats/ui/net_histogram_view.h"
#include "stats/ui/reports_page.h"
#include "stats/ui/trade_table_page.h"
#include "scripted_prompts.h"
#include "stats_fixture.h"
#include "widget_by_name.h"

#include "db/core/cash_store.h"
#include "db/core/numbers.h"

#include <QApplication>
#include <QCategoryAxis>
#include <QCheckBox>
#include <QDateTime>
#include <QGroupBox>
#include <QLineSeries>
#include <QSet>
#include <QTabWidget>
#include <QTest>
#include <QValueAxis>

#include <gtest/gtest.h>

#include <cmath>
#include <functional>

namespace {

qint64 utc(const char* text)
{
    QDateTime t = QDateTime::fromString(QString::fromLatin1(text), QStringLiteral("yyyy.MM.dd hh:mm:ss"));
    t.setTimeSpec(Qt::UTC);
    return t.toMSecsSinceEpoch();
}

TEST(ChartTimes, StoredFormsReadAsServerTime)
{
    struct Case {
        const char* text;
        std::optional<qint64> msecs;
    };
    const Case cases[] = {
        {"2013.05.21 10:15", utc("2013.05.21 10:15:00")},
        {"2013.05.21 10:15:07", utc("2013.05.21 10:15:07")},
        {"2013.05.21 9:05", utc("2013.05.21 09:05:00")},
        {"2013.05.21", utc("2013.05.21 00:00:00")},
        {"21.05.2013", utc("2013.05.21 00:00:00")},
        {" 2024.02.29 23:59:59 ", utc("2024.02.29 23:59:59")},
        {"1969.12.31 23:00", utc("1969.12.31 23:00:00")},
        {"2013.02.30 10:00", std::nullopt},
        {"2013.05.21 24:00", std::nullopt},
        {"2013.05.21 10", std::nullopt},
        {"2013-05-21 10:00", std::nullopt},
        {"", std::nullopt},
        {"завтра", std::nullopt},
    };
    for (const Case& c : cases) {
        EXPECT_EQ(tradeMsecs(QString::fromUtf8(c.text)), c.msecs) << c.text;
        EXPECT_EQ(tradeMsecs(QByteArrayView(c.text)), c.msecs) << c.text;
    }
    // Missing ones take the time before; the times ascend with the trades.
    std::vector<double> times = {NAN, 500, NAN, 400, 900};
    settleChartTimes(times);
    EXPECT_EQ(times, (std::vector<double>{500, 500, 500, 500, 900}));
    std::vector<double> none = {NAN, NAN};
    settleChartTimes(none);
    EXPECT_EQ(none, (std::vector<double>{0, 0}));
}

// The drawdown curve and the metrics count the same balance: the deepest
// point is the metrics' "Максимальная просадка" and "Просадка от пика".
struct Trades {
    StatsFixture fx;

    void trade(const char* openTime, const char* profit, double commission = 0, const char* swap = "0")
    {
        TradeRow row;
        row.openTime = QString::fromLatin1(openTime);
        row.profit = QString::fromLatin1(profit);
        row.commission = commission;
        row.swap = QString::fromLatin1(swap);
        fx.insert(row);
    }
    std::vector<CashMovement> cash() { return CashStore(fx.db()).list(QStringLiteral("1")); }
};

class ResultChartsTest : public ::testing::Test, protected Trades {};

TEST_F(ResultChartsTest, DrawdownBelowTheRunningPeak)
{
    trade("2013.05.10 09:00", "100");
    trade("2013.05.11 09:00", "-40", -10); // net -50
    trade("2013.05.12 09:00", "-100");
    trade("2013.05.13 09:00", "200");
    const ReportTrades trades(fx.db(), QStringLiteral("1"));
    const DrawdownCurve c = buildDrawdownCurve(trades, QStringLiteral("1000"), {});
    ASSERT_TRUE(c.complete()) << c.problem.toStdString();
    // Balances 1100, 1050, 950, 1150 under peaks 1100, 1100, 1100, 1150.
    EXPECT_EQ(c.drawdown, (std::vector<double>{0, 50, 150, 0}));
    ASSERT_EQ(c.percent.size(), 4u);
    EXPECT_DOUBLE_EQ(c.percent[1], 50.0 / 1100 * 100);
    EXPECT_DOUBLE_EQ(c.percent[2], 150.0 / 1100 * 100);
    EXPECT_EQ(c.deepest, 150);
    EXPECT_EQ(c.deepestIndex, 2);
    EXPECT_EQ(c.times, (std::vector<double>{double(utc("2013.05.10 09:00:00")), double(utc("2013.05.11 09:00:00")),
                                            double(utc("2013.05.12 09:00:00")), double(utc("2013.05.13 09:00:00"))}));
}

TEST_F(ResultChartsTest, DeepestPointIsTheMetricsDrawdown)
{
    struct Case {
        const char* name;
        std::function<void(Trades&)> fill;
        QString capital;
    };
    const std::vector<Case> cases = {
        {"deposits and a withdrawal",
         [](Trades& t) {
             t.fx.insertCash("2013.05.01 09:00:00", 1000);
             t.trade("2013.05.10 09:00", "100", -10);
             t.fx.insertCash("2013.05.11 08:00:00", -500);
             t.trade("2013.05.11 09:00", "-20", -10, "-5");
             t.trade("2013.05.12 09:00", "5", -10);
         },
         "0"},
        {"a loss first from nothing: no percentage",
         [](Trades& t) {
             t.trade("2013.05.10 09:00", "-10");
             t.trade("2013.05.11 09:00", "4");
         },
         ""},
        {"trades at one time",
         [](Trades& t) {
             for (const char* p : {"30", "-45", "-5", "12", "-60", "100"})
                 t.trade("2013.05.10 09:00", p);
         },
         "500"},
        {"one trade", [](Trades& t) { t.trade("2013.05.10 09:00", "-7,5", -1); }, "100"},
        {"no trades", [](Trades&) {}, "100"},
        {"credit is not the trader's money",
         [](Trades& t) {
             t.fx.insertCash("2013.05.01 09:00:00", 300, "credit");
             t.trade("2013.05.10 09:00", "50");
             t.trade("2013.05.11 09:00", "-80", 0, "-1,25");
         },
         "200"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        Trades t;
        c.fill(t);
        const ReportTrades trades(t.fx.db(), QStringLiteral("1"));
        const TradingMetrics m = buildTradingMetrics(trades, c.capital, t.cash());
        const DrawdownCurve d = buildDrawdownCurve(trades, c.capital, t.cash());
        ASSERT_TRUE(d.complete());
        EXPECT_EQ(num::money(d.deepest), m.texts.cellText(metricrow::Drawdown, 1));
        const QString percent = m.texts.cellText(metricrow::DrawdownPercent, 1);
        if (percent == QStringLiteral("—")) {
            EXPECT_TRUE(d.deepest == 0 || std::isnan(d.deepestPercent)) << d.deepestPercent;
        } else {
            EXPECT_EQ(num::formatFixed(d.deepestPercent, 2) + u'%', percent);
        }
        EXPECT_EQ(d.drawdown.size(), static_cast<size_t>(trades.count()));
        for (size_t k = 0; k < d.drawdown.size(); ++k) {
            EXPECT_LE(d.drawdown[k], d.deepest);
        }
    }
}

TEST_F(ResultChartsTest, UnreadableMoneyAndBalance)
{
    trade("2013.05.10 09:00", "10");
    trade("2013.05.11 09:00", "12abc");
    trade("2013.05.12 09:00", "-30");
    const ReportTrades trades(fx.db(), QStringLiteral("1"));
    const DrawdownCurve c = buildDrawdownCurve(trades, QStringLiteral("100"), {});
    EXPECT_FALSE(c.complete());
    EXPECT_EQ(c.problem, buildTradingMetrics(trades, QStringLiteral("100"), {}).problem);
    EXPECT_EQ(c.drawdown, (std::vector<double>{0, 30}));
    const DrawdownCurve bad = buildDrawdownCurve(trades, QStringLiteral("много"), {});
    EXPECT_EQ(bad.problem, "Начальный баланс не читается как число: \"много\"");
    EXPECT_TRUE(bad.drawdown.empty());
    // The histogram counts the trades that read, by their net result.
    const Histogram h = buildNetHistogram(trades);
    int counted = 0;
    for (const HistogramBin& b : h.bins)
        counted += b.count;
    EXPECT_EQ(counted, 2);
}

TEST_F(ResultChartsTest, HistogramOfNetResults)
{
    trade("2013.05.10 09:00", "5", -10); // a profit that cost more is a loss: -5
    trade("2013.05.11 09:00", "20", -2, "-3"); // 15
    trade("2013.05.12 09:00", "1", -1); // 0
    const Histogram h = buildNetHistogram(ReportTrades(fx.db(), QStringLiteral("1")));
    ASSERT_FALSE(h.bins.empty());
    std::vector<double> counted;
    for (const HistogramBin& b : h.bins) {
        for (int i = 0; i < b.count; ++i)
            counted.push_back(b.low);
    }
    ASSERT_EQ(counted.size(), 3u);
    EXPECT_LT(counted[0], 0);                 // -5 left of 0
    EXPECT_EQ(counted[1], 0);                 // 0 on the edge, counted above it
    EXPECT_GT(counted[2] + h.width, 15);      // 15 in the last bin
}

// The balance chart keeps each point's open time for the date axis.
TEST_F(ResultChartsTest, BalanceChartPointsCarryTheirTimes)
{
    trade("2013.05.22 10:00", "-5");
    trade("2013.05.21 10:00", "10");
    trade("2013.05.23 10:00:30", "20");
    EXPECT_TRUE(buildBalanceChartData(fx.db(), "1", "1000").times.empty()); // read only when asked for
    const BalanceChart c = buildBalanceChartData(fx.db(), "1", "1000", true);
    EXPECT_EQ(c.balanceCurve, (LargeVector<double>{1010, 1005, 1025}));
    EXPECT_EQ(c.times, (LargeVector<double>{double(utc("2013.05.21 10:00:00")), double(utc("2013.05.22 10:00:00")),
                                            double(utc("2013.05.23 10:00:30"))}));
}

QStringList dateLabels(QCategoryAxis* axis) { return axis->categoriesLabels(); }

// On the date axis: trades of years, of one day, at one time, one trade and
// none all give a few whole-unit labels, and numbers come back on untick.
TEST(BalanceChartDates, ReadableForEverySpreadOfTrades)
{
    BalanceChartView view;
    view.resize(800, 230);
    view.show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(&view));
    auto chart = [](std::vector<const char*> times) {
        BalanceChart c;
        c.tradeCount = static_cast<int>(times.size());
        for (size_t k = 0; k < times.size(); ++k) {
            c.balanceCurve.push_back(1000 + 10.0 * k);
            c.times.push_back(static_cast<double>(utc(times[k])));
        }
        c.noCommissionCurve = c.balanceCurve;
        return c;
    };
    struct Case {
        const char* name;
        std::vector<const char*> times;
        QStringList someLabels;
    };
    const std::vector<Case> cases = {
        {"years", {"2009.01.05 10:00:00", "2011.03.01 10:00:00", "2015.06.30 23:00:00"}, {"2010", "2012", "2014"}},
        {"months", {"2023.01.20 10:00:00", "2023.03.01 10:00:00", "2023.06.02 10:00:00"}, {"03.2023", "05.2023"}},
        {"one day", {"2023.01.02 08:10:00", "2023.01.02 12:00:00", "2023.01.02 17:40:00"}, {"10:00", "14:00"}},
        {"one time", {"2023.01.02 08:10:00", "2023.01.02 08:10:00"}, {"02.01", "12:00", "03.01"}},
        {"one trade", {"2023.01.02 08:10:00"}, {"02.01", "12:00", "03.01"}},
        {"none", {}, {}},
    };
    view.setDateAxis(true);
    EXPECT_TRUE(view.dateLabels()->isVisible());
    EXPECT_FALSE(view.numberAxis()->isVisible());
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        view.showChart(chart(c.times), false);
        QApplication::processEvents();
        const QStringList labels = dateLabels(view.dateLabels());
        EXPECT_GE(labels.size(), 2);
        EXPECT_LE(labels.size(), 10);
        for (const QString& l : c.someLabels)
            EXPECT_TRUE(labels.contains(l)) << l.toStdString() << " in " << labels.join(' ').toStdString();
        // Every point at its time, inside the shown range.
        const QList<QPointF> points = view.balanceSeries()->points();
        ASSERT_EQ(points.size(), static_cast<qsizetype>(c.times.size()));
        for (size_t k = 0; k < c.times.size(); ++k) {
            EXPECT_EQ(points[k].x(), static_cast<double>(utc(c.times[k])));
            EXPECT_GE(points[k].x(), view.numberAxis()->min());
            EXPECT_LE(points[k].x(), view.numberAxis()->max());
        }
        EXPECT_EQ(view.dateLabels()->min(), view.numberAxis()->min());
        EXPECT_EQ(view.dateLabels()->max(), view.numberAxis()->max());
    }
    view.showChart(chart(cases[0].times), false);
    view.setDateAxis(false);
    EXPECT_FALSE(view.dateLabels()->isVisible());
    EXPECT_EQ(view.balanceSeries()->points(), QList<QPointF>({{0, 1000}, {1, 1010}, {2, 1020}}));
    EXPECT_EQ(view.numberAxis()->min(), 0);
    EXPECT_EQ(view.numberAxis()->max(), 2);
}

// "Показатели" draws the drawdown under the metrics and the spread of the
// results beside it; the drawdown's title gives the metrics' figure.
TEST(ReportsPageCharts, DrawdownAndHistogramUnderTheMetrics)
{
    StatsFixture fx;
    ScriptedPrompts prompts;
    for (const auto& [time, profit] : std::vector<std::pair<const char*, const char*>>{
             {"2013.05.10 09:00", "100"}, {"2013.05.11 09:00", "-50"}, {"2013.05.12 09:00", "-100"},
             {"2013.06.13 09:00", "200"}}) {
        TradeRow row;
        row.openTime = QString::fromLatin1(time);
        row.profit = QString::fromLatin1(profit);
        fx.insert(row);
    }
    ReportsPage page(fx.journal(), prompts);
    page.resize(1024, 900);
    page.show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(&page));
    widgetByName<QTabWidget>(&page, "PageControl2")->setCurrentIndex(3);
    page.rebuild();
    EXPECT_TRUE(prompts.messages.empty());

    auto* drawdown = widgetByName<DrawdownChartView>(&page, "Chart_Drawdown");
    auto* histogram = widgetByName<NetHistogramView>(&page, "Chart_Histogram");
    ASSERT_NE(drawdown, nullptr);
    ASSERT_NE(histogram, nullptr);
    EXPECT_EQ(drawdown->curve().drawdown, (std::vector<double>{0, 50, 150, 0}));
    EXPECT_EQ(drawdown->moneySeries()->count(), 4);
    EXPECT_EQ(drawdown->moneySeries()->at(2).y(), -150);
    EXPECT_EQ(drawdown->percentSeries().front()->count(), 4);
    EXPECT_EQ(page.metricsModel().index(metricrow::Drawdown, 1).data().toString(), "150,00");
    EXPECT_EQ(widgetByName<QGroupBox>(&page, "GroupBox_Drawdown")->title(),
              "Просадка от пика баланса (наибольшая 150,00, 13,64%)");
    EXPECT_EQ(page.metricsModel().index(metricrow::DrawdownPercent, 1).data().toString(), "13,64%");
    int counted = 0;
    for (const HistogramBin& b : histogram->histogram().bins)
        counted += b.count;
    EXPECT_EQ(counted, 4);
    EXPECT_GT(histogram->gainsOutline()->count(), 0);
    EXPECT_GT(histogram->lossesOutline()->count(), 0);
    EXPECT_LE(histogram->moneyAxis()->min(), -100);
    EXPECT_GE(histogram->moneyAxis()->max(), 200);
}

} // namespace

namespace {

// "Даты по оси X" beside "Показать комиссию" on "База данных": ticked, the
// chart reads the open times and labels the dates; cleared, the numbers.
TEST(BalanceChartDates, OptionBesideTheCommission)
{
    StatsFixture f;
    ScriptedPrompts prompts;
    f.insertProfit(10, "2013.05.21 10:00");
    f.insertProfit(-5, "2013.07.22 10:00:15");
    f.insertProfit(20, "2013.11.23 10:00");
    TradeTablePage page(f.journal(), prompts);
    page.resize(1024, 600);
    page.show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(&page));
    page.refreshTradeTable();
    auto* view = widgetByName<BalanceChartView>(&page, "Chart1");
    auto* dates = widgetByName<QCheckBox>(&page, "CheckBox_Dates");
    ASSERT_NE(dates, nullptr);
    EXPECT_EQ(dates->text(), QStringLiteral("Даты по оси X"));
    EXPECT_FALSE(dates->isChecked()); // trade numbers by default
    EXPECT_FALSE(view->dateAxis());
    EXPECT_EQ(view->balanceSeries()->at(2).x(), 2);

    dates->setChecked(true);
    EXPECT_TRUE(view->dateAxis());
    EXPECT_EQ(view->balanceSeries()->at(2).x(), double(utc("2013.11.23 10:00:00")));
    EXPECT_TRUE(view->dateLabels()->categoriesLabels().contains(QStringLiteral("09.2013")))
        << view->dateLabels()->categoriesLabels().join(' ').toStdString();
    // A refresh keeps the choice.
    page.refreshTradeTable();
    EXPECT_EQ(view->balanceSeries()->at(0).x(), double(utc("2013.05.21 10:00:00")));
    dates->setChecked(false);
    EXPECT_EQ(view->balanceSeries()->at(0).x(), 0);
    EXPECT_TRUE(prompts.messages.empty());
}

} // namespace
