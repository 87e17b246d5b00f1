#include "stats/core/trade_table.h"

#include "db/core/account_parts.h"
#include "stats/core/account_trades.h"
#include "stats/core/column_widths.h"
#include "stats_fixture.h"

#include <QFontMetrics>

#include <gtest/gtest.h>

#include <limits>

namespace {

QStringList column(const TradeTable& table, int col)
{
    QStringList out;
    for (int row = 0; row < table.rowCount(); ++row)
        out.append(table.cell(row, col));
    return out;
}

TEST(TradeTable, SummaryCountsWinsAndLossesWithOneDecimal)
{
    StatsFixture f;
    for (double p : {12.5, 3.0, 0.01, 7.0, 40.0, 1.0, -2.0, -0.5, -10.0, -3.25})
        f.insertProfit(p, QStringLiteral("2013.05.21 10:15"));
    const TradeTable table = buildTradeTable(f.db(), QStringLiteral("1"), TradeOrder::Profit);
    EXPECT_TRUE(table.complete());
    EXPECT_EQ(table.rowCount(), 10);
    EXPECT_EQ(table.summary(), QStringLiteral("Кол-во сделок: 10, прибыльных 6 (60,0%), проигравших 4 (40,0%)"));
    // The summary does not depend on the order.
    EXPECT_EQ(buildTradeTable(f.db(), QStringLiteral("1"), TradeOrder::Date).summary(), table.summary());
}

TEST(TradeTable, AccountWithoutTradesHasHeadersOnly)
{
    StatsFixture f;
    f.insertProfit(5, QStringLiteral("2013.05.21 10:15")); // of the account itself...
    const TradeTable table = buildTradeTable(f.db(), QStringLiteral("2"), TradeOrder::Profit); // ...not of this one
    EXPECT_TRUE(table.complete());
    EXPECT_EQ(table.rowCount(), 0);
    
    EXPECT_EQ(tradeTableHeaders().join(u'|'),
              QStringLiteral("№|id|Ticket|Open Time|Type|Size|Item|PriceOpen|S / L|T / P|Close Time|PriceClose|"
                             "Comission|Swap|Profit|Вход|Выход|Комметарий|Оценка"));
    EXPECT_EQ(table.summary(), QStringLiteral("Кол-во сделок: 0, прибыльных 0 (0,0%), проигравших 0 (0,0%)"));
}

TEST(TradeTable, ZeroProfitIsListedButNeitherWinNorLoss)
{
    StatsFixture f;
    f.insertProfit(5, QStringLiteral("2013.05.21 10:15"));
    f.insertProfit(0, QStringLiteral("2013.05.21 11:15"));
    f.insertProfit(-2, QStringLiteral("2013.05.21 12:15"));
    const TradeTable table = buildTradeTable(f.db(), QStringLiteral("1"), TradeOrder::Date);
    EXPECT_EQ(table.summary(), QStringLiteral("Кол-во сделок: 3, прибыльных 1 (33,3%), проигравших 1 (33,3%)"));
}

TEST(TradeTable, CellsHoldTheStoredTextsAndARunningNumber)
{
    StatsFixture f;
    TradeRow row;
    row.ticket = QStringLiteral("4711");
    row.openTime = QStringLiteral("2013.07.05 10:00");
    row.profit = QStringLiteral("-12,35");
    row.profit2 = -12.35;
    row.commission = -0.70; // REAL, reads back with a comma
    row.swap = QStringLiteral("-0,5");
    row.comment = QStringLiteral("вход по уровню");
    row.taktika = QStringLiteral("Пробой");
    row.ocenka = QStringLiteral("Плохо");
    const QString id = f.insert(row);
    const TradeTable table = buildTradeTable(f.db(), QStringLiteral("1"), TradeOrder::Profit);
    ASSERT_EQ(table.rowCount(), 1);
    QStringList cells;
    for (int col = 0; col < 19; ++col)
        cells.append(table.cell(0, col));
    EXPECT_EQ(cells.join(u'|'), QStringLiteral("1|%1|4711|2013.07.05 10:00|buy|0.10|eurusd|1.30000|0|0|2013.05.21 12:00|"
                                               "1.30100|-0,7|-0,5|-12,35|Пробой||вход по уровню|Плохо")
                                    .arg(id));
}

TEST(TradeTable, OrdersByProfitWithHandMadeTradesLastOrByOpenTime)
{
    StatsFixture f;
    TradeRow manual;
    manual.openTime = QStringLiteral("2013.05.20 09:00");
    manual.profit = QStringLiteral("100,0"); // no Profit2: after every imported trade
    const QString handMade = f.insert(manual);
    const QString minus5 = f.insertProfit(-5, QStringLiteral("2013.06.01 00:00"));
    const QString p150 = f.insertProfit(150, QStringLiteral("2013.05.22 09:00"));
    const QString p20 = f.insertProfit(20, QStringLiteral("2013.05.21 10:15"));

    const TradeTable byProfit = buildTradeTable(f.db(), QStringLiteral("1"), TradeOrder::Profit);
    EXPECT_EQ(column(byProfit, tradecol::Id), QStringList({p150, p20, minus5, handMade}));
    EXPECT_EQ(column(byProfit, tradecol::Number), QStringList({"1", "2", "3", "4"}));

    const TradeTable byDate = buildTradeTable(f.db(), QStringLiteral("1"), TradeOrder::Date);
    EXPECT_EQ(column(byDate, tradecol::Id), QStringList({handMade, p20, p150, minus5}));
}

// A stored trade whose profit does not read (an older journal, a hand edit)
// is shown, marked and left out of the counts; the others all count.
TEST(TradeTable, AProfitThatIsNotANumberIsMarkedAndLeftOut)
{
    StatsFixture f;
    f.insertProfit(5, QStringLiteral("2013.05.21 10:00"));
    f.insertProfit(-3, QStringLiteral("2013.05.21 11:00"));
    TradeRow bad;
    bad.openTime = QStringLiteral("2013.05.21 12:00");
    bad.profit = QStringLiteral("12.5"); // a point, not the journal's comma
    f.insert(bad);
    f.insertProfit(7, QStringLiteral("2013.05.21 13:00"));

    const TradeTable table = buildTradeTable(f.db(), QStringLiteral("1"), TradeOrder::Date);
    EXPECT_EQ(table.problem, QStringLiteral("Сделка id 3: Прибыль «12.5» не является числом; она не входит в итоги"));
    EXPECT_EQ(column(table, tradecol::Profit), QStringList({"5", "-3", "12.5", "7"}));
    EXPECT_EQ(table.band(2), ProfitBand::Unreadable);
    EXPECT_EQ(bandColour(ProfitBand::Unreadable), QColor(211, 211, 211));
    EXPECT_EQ(table.summary(), QStringLiteral("Кол-во сделок: 3, прибыльных 2 (66,7%), проигравших 1 (33,3%)"));
}

TEST(TradeTable, BandsAndTextColours)
{
    struct Case {
        double profit;
        std::optional<QColor> fill;
    };
    const std::vector<Case> cases = {
        {4.01, QColor(179, 238, 58)},   {4, std::nullopt},           {3.5, QColor(204, 255, 204)},
        {3, std::nullopt},              {0.01, QColor(255, 255, 204)}, {0, std::nullopt},
        {-0.01, QColor(255, 228, 225)}, {-1.8, QColor(255, 228, 225)}, {-1.81, QColor(255, 182, 193)},
    };
    for (const Case& c : cases)
        EXPECT_EQ(bandColour(profitBand(c.profit)), c.fill) << c.profit;

    EXPECT_EQ(cellTextColour(u"Обычная сделка"), QColor(128, 128, 128));
    EXPECT_EQ(cellTextColour(u"Низкая"), QColor(0, 128, 0));
    EXPECT_EQ(cellTextColour(u"Обычная, Низкая"), QColor(0, 128, 0));
    EXPECT_EQ(cellTextColour(u"Отлично"), std::nullopt);
}

TEST(TradeTable, BandsFollowTheProfitsOfTheRows)
{
    StatsFixture f;
    const QStringList profits = {"4", "4,01", "-1,8", "-1,81"};
    for (int i = 0; i < profits.size(); ++i) {
        TradeRow row;
        row.profit = profits[i];
        row.openTime = QStringLiteral("2013.05.21 1%1:00").arg(i);
        f.insert(row);
    }
    const TradeTable table = buildTradeTable(f.db(), QStringLiteral("1"), TradeOrder::Date);
    ASSERT_EQ(table.bands.size(), 4u);
    EXPECT_EQ(table.bands, (std::vector<ProfitBand>{ProfitBand::None, ProfitBand::LargeGain, ProfitBand::SmallLoss,
                                                    ProfitBand::LargeLoss}));
}

// The column widths, worked out from the kinds of texts a column holds,
// are those of measuring every cell: numbers of many lengths and digits
// (the widest not first), signs, letters, a text needing a real layout, a
// text too long to count, repeated texts; read in one and in parts.
TEST(TradeTable, ColumnWidthsAreThoseOfEveryCell)
{
    StatsFixture f;
    const QStringList comments = {"", "пробой", "1 234,5-6:7+", "a\tb", QString(300, u'1'), "12", "пробой", "0.5"};
    for (int i = 0; i < 40; ++i) {
        TradeRow row;
        row.ticket = QString::number(qint64(7) * (i % 13 == 5 ? 1111111111 : i + 1));
        row.openTime = i == 3 ? QStringLiteral("2013.07.05 10:00:59") : QStringLiteral("2013.07.%1 10:00").arg(i % 28 + 1, 2, 10, QLatin1Char('0'));
        row.profit = i == 17 ? QStringLiteral("-11120,00") : QString::number(i * 3 - 50) + QStringLiteral(",5");
        row.profit2 = i * 3 - 49.5;
        row.commission = i == 9 ? -1234.75 : -0.7;
        row.swap = i == 21 ? QStringLiteral("1e+5") : QStringLiteral("0");
        row.comment = comments[i % comments.size()];
        row.ocenka = i % 4 ? QStringLiteral("Хорошо") : QString();
        f.insert(row);
    }
    if (f.db().path().isEmpty())
        GTEST_SKIP();
    const QFont font = gridFont("DejaVu Sans", 13);
    const QFontMetrics qt(font);
    const qint64 usual = account_parts::from();
    for (const qint64 from : {std::numeric_limits<qint64>::max(), qint64(1)}) {
        account_parts::setFrom(from);
        AccountTrades::forgetKept();
        const TradeTable table = buildTradeTable(f.db(), QStringLiteral("1"), TradeOrder::Profit);
        std::vector<int> expected;
        for (int col = 0; col < tradecol::Count; ++col) {
            int widest = qt.horizontalAdvance(tradeTableHeaders()[col]);
            for (int row = 0; row < table.rowCount(); ++row)
                widest = std::max(widest, qt.horizontalAdvance(table.cell(row, col)));
            expected.push_back(widest + 19);
        }
        TextWidthMeasure measure(font);
        EXPECT_EQ(table.columnWidths(measure, 1), expected) << "parts from " << from;
    }
    account_parts::setFrom(usual);
    AccountTrades::forgetKept();
}

// A table large enough to be built in halves at once (the orders, the
// bands and the counts): the same as taking every row in turn; trades
// stored in time order, and out of it.
TEST(TradeTable, ALargeTableIsTheSumOfItsRows)
{
    constexpr int kTrades = 300000;
    for (const bool inTimeOrder : {true, false}) {
        SCOPED_TRACE(inTimeOrder ? "stored in time order" : "stored out of time order");
        StatsFixture f;
        const QString time = inTimeOrder
            ? QStringLiteral("printf('2013.%02d.%02d %02d:%02d', 1 + i / 40320, 1 + i / 1440 % 28, i / 60 % 24, i % 60)")
            : QStringLiteral("printf('2013.%02d.%02d %02d:%02d', 1 + i / 25000, 1 + i / 1000 % 25, i / 60 % 24, i % 60)");
        f.db().executeStatement(
            QStringLiteral("WITH RECURSIVE n(i) AS (SELECT 0 UNION ALL SELECT i + 1 FROM n WHERE i < ") + QString::number(kTrades - 1)
            + QStringLiteral("), p(i, cents) AS (SELECT i, (i * 7919) % 20001 - 10000 FROM n) "
                             "INSERT INTO t_sdelki (chet, Ticket, OpenTime, Profit, Profit2, Commission, Swap, Taxes) "
                             "SELECT '1', 100000 + i, ") + time
            + QStringLiteral(", replace(printf('%.2f', cents / 100.0), '.', ','), cents / 100.0, -0.5, '0', '0' FROM p"));
        std::vector<std::pair<double, qint64>> stored; // net and id, in time order
        f.db().readRows(QStringLiteral("SELECT Profit2 - 0.5, id FROM t_sdelki ORDER BY OpenTime, id"), {},
                        [&](const SqlRow& row) { stored.emplace_back(row.number(0), row.integer(1)); });
        ASSERT_EQ(stored.size(), size_t(kTrades));

        for (const TradeOrder order : {TradeOrder::Profit, TradeOrder::Date}) {
            AccountTrades::forgetKept();
            const TradeTable table = buildTradeTable(f.db(), QStringLiteral("1"), order);
            std::vector<size_t> expected(stored.size());
            for (size_t i = 0; i < expected.size(); ++i)
                expected[i] = i;
            if (order == TradeOrder::Profit)
                std::stable_sort(expected.begin(), expected.end(), [&](size_t a, size_t b) { return stored[a].first > stored[b].first; });
            ASSERT_EQ(table.rowCount(), kTrades);
            int wins = 0, losses = 0, firstWrong = -1;
            for (int row = 0; row < kTrades; ++row) {
                const auto& [net, id] = stored[expected[size_t(row)]];
                if (firstWrong < 0
                    && (table.cell(row, tradecol::Id) != QString::number(id) || table.bands[size_t(row)] != profitBand(net + 0.5)))
                    firstWrong = row;
                wins += net > 0;
                losses += net < 0;
            }
            EXPECT_EQ(firstWrong, -1) << (order == TradeOrder::Profit ? "by profit" : "by date");
            EXPECT_EQ(table.wins, wins);
            EXPECT_EQ(table.losses, losses);
            EXPECT_EQ(table.listed, kTrades);
        }
        AccountTrades::forgetKept();
    }
}

} // namespace
