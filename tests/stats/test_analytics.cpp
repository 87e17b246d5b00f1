// The what-if filter, the breakdowns by hour, weekday, symbol and
// annotation, the calendar month, R-multiples and SQN, built from a real
// journal with a handful of trades.
#include "db/core/sqlite_database.h"
#include "stats/core/breakdown.h"
#include "stats/core/r_multiples.h"
#include "stats/core/report_trades.h"
#include "stats/core/trade_calendar.h"
#include "stats/core/trade_filter.h"
#include "stats/core/trading_metrics.h"
#include "temp_journal.h"

#include <gtest/gtest.h>

#include <cmath>
#include <vector>

namespace {

struct Trade {
    const char* openTime;
    const char* profit = "10";
    const char* type = "buy";
    const char* item = "EURUSD";
    const char* open = "1.10000";
    const char* close = "1.10500";
    const char* sl = "0";
    const char* strategia = "";   // timeframe
    const char* psixo = "";       // psychological error
    const char* pravilo = "";     // technical error
    const char* ocenka = "";      // rating
    double commission = 0;
};

class AnalyticsTest : public ::testing::Test {
protected:
    // Inserts the trades in order; returns their ids.
    std::vector<qint64> add(const std::vector<Trade>& trades)
    {
        std::vector<qint64> ids;
        for (const Trade& t : trades) {
            journal->db().executeStatement(
                QStringLiteral("INSERT INTO t_sdelki (chet, Ticket, OpenTime, Type, Item, PriceOpen, PriceClose, sl, "
                               "Profit, Commission, Swap, Taxes, strategia, Psixo, pravilo, ocenka) "
                               "VALUES ('1', '7', ?, ?, ?, ?, ?, ?, ?, ?, '0', '0', ?, ?, ?, ?)"),
                {QString::fromUtf8(t.openTime), QString::fromUtf8(t.type), QString::fromUtf8(t.item),
                 QString::fromUtf8(t.open), QString::fromUtf8(t.close), QString::fromUtf8(t.sl),
                 QString::fromUtf8(t.profit), t.commission, QString::fromUtf8(t.strategia),
                 QString::fromUtf8(t.psixo), QString::fromUtf8(t.pravilo), QString::fromUtf8(t.ocenka)});
            ids.push_back(journal->db().lastInsertId());
        }
        return ids;
    }
    ReportTrades read() { return ReportTrades(journal->db(), QStringLiteral("1")); }
    static std::vector<qint64> idsOf(const ReportTrades& trades, const std::vector<int>& rows)
    {
        std::vector<qint64> ids;
        for (const int r : rows)
            ids.push_back(trades.id(r));
        return ids;
    }
    static QStringList breakdownLines(const Breakdown& b)
    {
        QStringList lines;
        for (const BreakdownRow& r : b.rows)
            lines << QStringLiteral("%1 %2 %3 %4 %5").arg(r.key).arg(r.trades).arg(r.wins).arg(r.losses).arg(r.net);
        return lines;
    }

    TempAppDir dir;
    std::unique_ptr<Journal> journal = dir.openJournal();
};

// The open time as stored, read as numbers: the edges of a day and of a
// week (1 January 2024 was a Monday), seconds or none, a date alone, text
// that is not a time.
TEST_F(AnalyticsTest, OpenTimeReadsAsWeekdayAndHour)
{
    struct Case {
        const char* time;
        int weekday, hour;
    };
    const Case cases[] = {
        {"2024.01.01 00:00:00", 1, 0},  {"2024.01.01 23:59:59", 1, 23}, {"2024.01.07 23:59:59", 7, 23},
        {"2024.01.08 00:00", 1, 0},     {"2023.12.31 12:30", 7, 12},    {"2024.01.03", 3, -1},
        {"2024.01.03 25:00", 3, -1},    {"завтра", 0, -1},              {"", 0, -1},
    };
    for (const Case& c : cases)
        add({{c.time}});
    const ReportTrades trades = read();
    ASSERT_EQ(trades.count(), static_cast<int>(std::size(cases)));
    for (int i = 0; i < trades.count(); ++i) {
        SCOPED_TRACE(cases[i].time);
        EXPECT_EQ(trades.openWeekday(i), cases[i].weekday);
        EXPECT_EQ(trades.openHour(i), cases[i].hour);
    }
}

// R needs a stop loss on the losing side of the open price.
TEST_F(AnalyticsTest, RMultipleFollowsTheStopLoss)
{
    struct Case {
        const char *type, *open, *close, *sl;
        std::optional<double> r;
    };
    const Case cases[] = {
        {"buy", "1.10000", "1.10500", "1.09500", 1.0},     // stop below: 50 won on 50 risked
        {"buy", "1.10000", "1.09750", "1.09500", -0.5},
        {"buy", "1.10000", "1.10500", "1.10500", {}},      // stop above a buy: no risk taken
        {"buy", "1.10000", "1.10500", "0", {}},            // no stop
        {"buy", "1.10000", "1.10500", "", {}},
        {"sell", "1.10000", "1.09000", "1.10500", 2.0},    // stop above a sell
        {"sell", "1.10000", "1.10500", "1.10500", -1.0},
        {"sell", "1.10000", "1.09000", "1.09500", {}},     // stop below a sell
        {"sell", "1.10000", "1.09000", "0.00000", {}},
        {"Buy", "1,10000", "1,10500", "1,09500", 1.0},     // typed by hand with a comma
        {"buy", "34 500.0", "34 600.0", "34 450.0", 2.0},  // an index with groups of digits
        {"balance", "1.1", "1.2", "1.0", {}},
        {"buy", "нет", "1.2", "1.0", {}},
    };
    for (const Case& c : cases) {
        Trade t{"2024.01.02 10:00"};
        t.type = c.type;
        t.open = c.open;
        t.close = c.close;
        t.sl = c.sl;
        add({t});
    }
    const ReportTrades trades = read();
    for (int i = 0; i < trades.count(); ++i) {
        SCOPED_TRACE(std::string(cases[i].type) + " " + cases[i].open + " " + cases[i].sl);
        ASSERT_EQ(trades.r(i).has_value(), cases[i].r.has_value());
        if (cases[i].r) {
            EXPECT_NEAR(*trades.r(i), *cases[i].r, 1e-9);
        }
    }
}

// SQN = sqrt(N) * mean / sample deviation, from two trades with R on.
TEST_F(AnalyticsTest, RStatsAndSqn)
{
    struct Case {
        std::vector<double> rs;
        std::optional<double> average, sqn, largest, smallest;
    };
    const Case cases[] = {
        {{}, {}, {}, {}, {}},
        {{1.5}, 1.5, {}, 1.5, 1.5},                        // one trade: no deviation
        {{1.0, 3.0}, 2.0, 2.0, 3.0, 1.0},                  // s = sqrt(2)
        {{1.0, -1.0, 2.0}, 2.0 / 3, std::sqrt(3.0) * (2.0 / 3) / std::sqrt(7.0 / 3), 2.0, -1.0},
        {{1.0, 1.0}, 1.0, {}, 1.0, 1.0},                   // R that does not vary
    };
    for (const Case& c : cases) {
        const RStats s = computeRStats(c.rs);
        EXPECT_EQ(s.count, static_cast<int>(c.rs.size()));
        for (const auto& [got, want] : {std::pair{s.average, c.average}, std::pair{s.expectancy, c.average},
                                        std::pair{s.sqn, c.sqn}, std::pair{s.largest, c.largest},
                                        std::pair{s.smallest, c.smallest}}) {
            ASSERT_EQ(got.has_value(), want.has_value());
            if (want) {
                EXPECT_NEAR(*got, *want, 1e-12);
            }
        }
    }
}

// Each part of the filter alone, and together; one that leaves nothing.
TEST_F(AnalyticsTest, FilterTakesTheTradesOfEachPart)
{
    Trade mondayLate{"2024.01.01 23:59:59", "10", "buy", "EURUSD"};
    Trade mondayEarly{"2024.01.08 00:00:00", "-5", "sell", "GBPUSD"};
    mondayEarly.strategia = "H1";
    mondayEarly.psixo = "Страх";
    Trade sunday{"2024.01.07 12:00", "7", "buy", "GBPUSD"};
    sunday.pravilo = "Поздний вход";
    sunday.ocenka = "Отлично";
    Trade tuesday{"2024.01.02 09:15", "-3", "sell", "USDJPY"};
    tuesday.strategia = "H4";
    const std::vector<qint64> id = add({mondayLate, mondayEarly, sunday, tuesday});

    const auto filter = [](auto change) {
        TradeFilter f;
        change(f);
        return f;
    };
    struct Case {
        const char* name;
        TradeFilter filter;
        std::vector<qint64> ids; // in time order
    };
    const std::vector<Case> cases = {
        {"none", {}, {id[0], id[3], id[2], id[1]}},
        {"without Mondays", filter([](TradeFilter& f) { f.weekdays = TradeFilter::kAllWeekdays & ~1u; }), {id[3], id[2]}},
        {"Sunday", filter([](TradeFilter& f) { f.weekdays = 1u << 6; }), {id[2]}},
        {"hour 23", filter([](TradeFilter& f) { f.hours = 1u << 23; }), {id[0]}},
        {"hours 0 and 9", filter([](TradeFilter& f) { f.hours = 1u | 1u << 9; }), {id[3], id[1]}},
        {"sell", filter([](TradeFilter& f) { f.direction = TradeFilter::Direction::Sell; }), {id[3], id[1]}},
        {"GBPUSD", filter([](TradeFilter& f) { f.symbols = {"GBPUSD"}; }), {id[2], id[1]}},
        {"period", filter([](TradeFilter& f) {
             f.from = QDate(2024, 1, 2);
             f.to = QDate(2024, 1, 8); // not included
         }), {id[3], id[2]}},
        {"timeframe H1 or none", filter([](TradeFilter& f) { f.annotations[0] = {"H1", ""}; }), {id[0], id[2], id[1]}},
        {"an error of either kind", filter([](TradeFilter& f) { f.annotations[4] = {"Страх", "Поздний вход"}; }),
         {id[2], id[1]}},
        {"no error", filter([](TradeFilter& f) { f.annotations[4] = {""}; }), {id[0], id[3]}},
        {"rating", filter([](TradeFilter& f) { f.annotations[5] = {"Отлично"}; }), {id[2]}},
        {"sell on Monday", filter([](TradeFilter& f) {
             f.direction = TradeFilter::Direction::Sell;
             f.weekdays = 1u;
         }), {id[1]}},
        {"nothing left", filter([](TradeFilter& f) {
             f.symbols = {"EURUSD"};
             f.direction = TradeFilter::Direction::Sell;
         }), {}},
    };
    const ReportTrades trades = read();
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        EXPECT_EQ(idsOf(trades, selectTrades(trades, c.filter)), c.ids);
        // What is kept comes back the same.
        EXPECT_EQ(TradeFilter::fromJson(c.filter.toJson()), std::optional<TradeFilter>(c.filter));
    }
}

TEST_F(AnalyticsTest, FilterTextThatDoesNotReadGivesNothing)
{
    for (const char* text : {"", "[]", "{\"hours\": -1}", "{\"weekdays\": 255}", "{\"from\": \"2024-13-01\"}",
                             "{\"direction\": \"up\"}", "{"})
        EXPECT_EQ(TradeFilter::fromJson(text), std::nullopt) << text;
    EXPECT_EQ(TradeFilter::fromJson("{}"), std::optional<TradeFilter>(TradeFilter()));
}

// Net results grouped; a trade at 23:59:59 and one at 00:00:00 fall on
// their own hours and days.
TEST_F(AnalyticsTest, BreakdownsByHourWeekdaySymbolAndErrors)
{
    Trade a{"2024.01.01 23:59:59", "10"};
    a.commission = -2;
    Trade b{"2024.01.08 00:00:00", "-5", "sell", "GBPUSD"};
    b.psixo = "Страх";
    b.pravilo = "Поздний вход";
    Trade c{"2024.01.07 00:30", "0", "buy", "GBPUSD"};
    c.psixo = "Страх";
    Trade d{"2024.01.02 23:00", "4"};
    add({a, b, c, d});
    const ReportTrades trades = read();
    const std::vector<int> all = selectTrades(trades, {});

    const Breakdown hours = buildBreakdown(trades, all, BreakdownKey::Hour);
    ASSERT_TRUE(hours.complete());
    EXPECT_EQ(breakdownLines(hours), (QStringList{"0 2 0 1 -5", "23 2 2 0 12"}));
    EXPECT_EQ(breakdownLines(buildBreakdown(trades, all, BreakdownKey::Weekday)),
              (QStringList{"1 2 1 1 3", "2 1 1 0 4", "7 1 0 0 0"}));
    EXPECT_EQ(breakdownLines(buildBreakdown(trades, all, BreakdownKey::Symbol)),
              (QStringList{"EURUSD 2 2 0 12", "GBPUSD 2 0 1 -5"}));
    // A trade counts once under each of its errors; none is the empty key, last.
    EXPECT_EQ(breakdownLines(buildBreakdown(trades, all, BreakdownKey::Errors)),
              (QStringList{"Поздний вход 1 0 1 -5", "Страх 2 0 1 -5", " 2 2 0 12"}));
    const Breakdown nothing = buildBreakdown(trades, {}, BreakdownKey::Hour);
    EXPECT_TRUE(nothing.rows.empty());
    EXPECT_EQ(breakdownKeyLabel(BreakdownKey::Hour, "9"), "09:00");
    EXPECT_EQ(breakdownKeyLabel(BreakdownKey::Weekday, "7"), "Вс");
    EXPECT_EQ(breakdownKeyLabel(BreakdownKey::Errors, ""), "(нет)");
    for (int k = 0; k < kBreakdownKeyCount; ++k)
        EXPECT_EQ(breakdownKeyFromName(breakdownKeyName(static_cast<BreakdownKey>(k))), static_cast<BreakdownKey>(k));
    EXPECT_EQ(breakdownKeyFromName("day"), std::nullopt);
}

TEST_F(AnalyticsTest, UnreadableMoneyAndTimeAreNamed)
{
    add({{"2024.01.01 10:00", "12abc"}, {"когда-то", "5"}, {"2024.01.02 10:00", "1"}});
    const ReportTrades trades = read();
    const Breakdown hours = buildBreakdown(trades, selectTrades(trades, {}), BreakdownKey::Hour);
    EXPECT_EQ(breakdownLines(hours), (QStringList{"10 1 1 0 1"}));
    EXPECT_EQ(hours.problem, "Сделка id 1: Прибыль «12abc» не является числом; она не входит в итоги");
    const Breakdown symbols = buildBreakdown(trades, selectTrades(trades, {}), BreakdownKey::Symbol);
    EXPECT_EQ(breakdownLines(symbols), (QStringList{"EURUSD 2 2 0 6"}));
    // A filter that leaves the trade out does not hide it.
    TradeFilter tuesday;
    tuesday.weekdays = 1u << 1;
    EXPECT_EQ(idsOf(trades, selectTrades(trades, tuesday)), (std::vector<qint64>{3}));
    EXPECT_EQ(trades.moneyProblem(), "Сделка id 1: Прибыль «12abc» не является числом; она не входит в итоги");
    const Breakdown byTime = buildBreakdown(trades, selectTrades(trades, TradeFilter()), BreakdownKey::Weekday);
    EXPECT_EQ(byTime.problem, "Сделка id 1: Прибыль «12abc» не является числом; она не входит в итоги");
}

// A month from Monday on: days, week rows and the month's total.
TEST_F(AnalyticsTest, CalendarMonth)
{
    // January 2024 begins on a Monday, March 2024 on a Friday.
    add({{"2024.01.01 00:00:00", "10"}, {"2024.01.01 23:59:59", "-4"}, {"2024.01.07 12:00", "5"},
         {"2024.01.08 00:00", "-20"}, {"2024.01.31 10:00", "1"}, {"2024.02.01 00:00", "100"},
         {"2023.12.31 23:59:59", "100"}, {"2024.03.01 10:00", "3"}, {"2024.03.04 10:00", "2"}});
    const ReportTrades trades = read();
    const CalendarMonth jan = buildCalendarMonth(trades, selectTrades(trades, {}), 2024, 1);
    ASSERT_TRUE(jan.complete());
    ASSERT_EQ(jan.days.size(), std::size_t(31));
    EXPECT_EQ(jan.days[0].trades, 2);
    EXPECT_DOUBLE_EQ(jan.days[0].net, 6);
    EXPECT_EQ(jan.days[6].trades, 1);
    EXPECT_EQ(jan.days[7].trades, 1);
    EXPECT_EQ(jan.days[30].trades, 1);
    ASSERT_EQ(jan.weeks.size(), std::size_t(5));
    EXPECT_EQ(jan.weeks[0].trades, 3);
    EXPECT_DOUBLE_EQ(jan.weeks[0].net, 11);
    EXPECT_DOUBLE_EQ(jan.weeks[1].net, -20);
    EXPECT_EQ(jan.total.trades, 5);
    EXPECT_DOUBLE_EQ(jan.total.net, -8);
    EXPECT_DOUBLE_EQ(jan.largest, 20);
    EXPECT_EQ(jan.rowOf(31), 4);

    const CalendarMonth march = buildCalendarMonth(trades, selectTrades(trades, {}), 2024, 3);
    EXPECT_EQ(march.rowOf(1), 0);
    EXPECT_EQ(march.rowOf(4), 1);
    EXPECT_EQ(march.weeks.size(), std::size_t(5)); // 31 days from a Friday
    EXPECT_EQ(march.weeks[0].trades, 1);
    EXPECT_EQ(march.weeks[1].trades, 1);

    TradeFilter mondays;
    mondays.weekdays = 1u;
    const CalendarMonth janMondays = buildCalendarMonth(trades, selectTrades(trades, mondays), 2024, 1);
    EXPECT_EQ(janMondays.total.trades, 3);
    EXPECT_EQ(buildCalendarMonth(trades, {}, 2024, 1).total.trades, 0);
    // The shades: white without a result, the full colour for the largest.
    EXPECT_EQ(calendarShade(0, 20), QColor(255, 255, 255));
    EXPECT_EQ(calendarShade(20, 20), QColor(60, 170, 60));
    EXPECT_EQ(calendarShade(-20, 20), QColor(220, 60, 60));
    EXPECT_GT(calendarShade(5, 20).red(), 60);
}

// The metrics of a what-if beside those of every trade, with R figures.
TEST_F(AnalyticsTest, MetricsOfTheFilteredTradesBesideAll)
{
    Trade a{"2024.01.01 10:00", "10"};
    a.sl = "1.09500"; // R 1
    Trade b{"2024.01.02 10:00", "-6", "sell", "EURUSD", "1.10000", "1.10500", "1.10500"}; // R -1
    Trade c{"2024.01.03 10:00", "30", "buy", "EURUSD", "1.10000", "1.11500", "1.09500"}; // R 3
    add({a, b, c});
    const ReportTrades trades = read();
    const TradingMetrics all = buildTradingMetrics(trades, QStringLiteral("1000"), {});
    TradeFilter buys;
    buys.direction = TradeFilter::Direction::Buy;
    const TradingMetrics filtered = buildTradingMetrics(trades, selectTrades(trades, buys), QStringLiteral("1000"), {});
    ASSERT_TRUE(all.complete());
    EXPECT_EQ(all.texts.cellText(metricrow::TradesWithR, 1), "3");
    EXPECT_EQ(all.texts.cellText(metricrow::AverageR, 1), "1,00");
    EXPECT_EQ(all.texts.cellText(metricrow::LargestR, 1), "3,00");
    EXPECT_EQ(all.texts.cellText(metricrow::SmallestR, 1), "-1,00");
    EXPECT_EQ(all.texts.cellText(metricrow::Sqn, 1), "0,87"); // sqrt(3) * 1 / 2
    EXPECT_EQ(filtered.texts.cellText(metricrow::Trades, 1), "2");
    EXPECT_EQ(filtered.texts.cellText(metricrow::Sqn, 1), "2,00");

    const TextTable t = compareTradingMetrics(all, filtered);
    ASSERT_EQ(t.columnCount(), 5);
    EXPECT_EQ(t.cellText(metricrow::Trades, 0), "Сделок");
    const std::vector<std::array<const char*, 3>> expected = {
        {"3", "2", "-1"}, {"66,67%", "100,00%", "+33,33 п.п."}, {"34,00", "40,00", "+6,00"},
        {"6,67", "—", ""}};
    const int rows[] = {metricrow::Trades, metricrow::WinPercent, metricrow::Net, metricrow::ProfitFactor};
    for (size_t i = 0; i < expected.size(); ++i) {
        EXPECT_EQ(t.cellText(rows[i], 1), expected[i][0]);
        EXPECT_EQ(t.cellText(rows[i], 2), expected[i][1]);
        EXPECT_EQ(t.cellText(rows[i], 3), expected[i][2]);
    }

    // Nothing left: every figure reads as none, nothing fails.
    TradeFilter none;
    none.symbols = {"XAUUSD"};
    const TradingMetrics empty = buildTradingMetrics(trades, selectTrades(trades, none), QStringLiteral("1000"), {});
    EXPECT_TRUE(empty.complete());
    EXPECT_EQ(empty.texts.cellText(metricrow::Trades, 1), "0");
    EXPECT_EQ(empty.texts.cellText(metricrow::WinPercent, 1), "—");
    EXPECT_EQ(empty.texts.cellText(metricrow::TradesWithR, 1), "0");
    EXPECT_EQ(empty.texts.cellText(metricrow::Sqn, 1), "—");
}

// Every annotation key groups by its own field; trades without it come last
// under the empty key.
TEST_F(AnalyticsTest, BreakdownsByEachAnnotationField)
{
    journal->db().executeStatement(QStringLiteral(
        "INSERT INTO t_sdelki (chet, OpenTime, Type, Item, Profit, strategia, verno, taktika, pravilo2, ocenka) VALUES "
        "('1', '2024.01.01 10:00', 'buy', 'EURUSD', '5', 'H1', 'флэт', 'Пробой', 'Стоп', 'Отлично'),"
        "('1', '2024.01.02 10:00', 'buy', 'EURUSD', '-2', 'M5', 'флэт', 'Отбой', 'Тейк', 'Плохо'),"
        "('1', '2024.01.03 10:00', 'buy', 'EURUSD', '1', NULL, '', NULL, NULL, NULL)"));
    const ReportTrades trades = read();
    const std::vector<int> all = selectTrades(trades, {});
    struct Case {
        BreakdownKey key;
        QStringList lines;
    };
    const Case cases[] = {
        {BreakdownKey::Timeframe, {"H1 1 1 0 5", "M5 1 0 1 -2", " 1 1 0 1"}},
        {BreakdownKey::Market, {"флэт 2 1 1 3", " 1 1 0 1"}},
        {BreakdownKey::Entry, {"Отбой 1 0 1 -2", "Пробой 1 1 0 5", " 1 1 0 1"}},
        {BreakdownKey::Exit, {"Стоп 1 1 0 5", "Тейк 1 0 1 -2", " 1 1 0 1"}},
        {BreakdownKey::Rating, {"Отлично 1 1 0 5", "Плохо 1 0 1 -2", " 1 1 0 1"}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(breakdownKeyName(c.key).toStdString());
        EXPECT_EQ(breakdownLines(buildBreakdown(trades, all, c.key)), c.lines);
    }
    const TextTable table = breakdownTable(buildBreakdown(trades, all, BreakdownKey::Rating));
    EXPECT_EQ(table.headers(), (QStringList{"Оценка", "Сделок", "Выигрышных", "Проигрышных", "% выигрышных",
                                            "Результат", "Средний"}));
    EXPECT_EQ(table.cellText(2, 0), "(нет)");
    EXPECT_EQ(table.cellText(0, 4), "100,00%");
    EXPECT_EQ(table.cellText(1, 5), "-2,00");
}

} // namespace
