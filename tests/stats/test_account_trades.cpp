// The digest of an account's trades that the trade table, the chart and the
// day and week tables share: what its cells read, the order of equal keys,
// and when a reading is kept.
#include "stats_fixture.h"

#include "db/core/account_parts.h"
#include "db/core/sqlite_database.h"
#include "db/core/cp1251.h"
#include "stats/core/account_trades.h"
#include "stats/core/report_trades.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <limits>
#include <mutex>

namespace {

using Col = AccountTrades::Column;

class AccountTradesTest : public testing::Test {
protected:
    void SetUp() override { AccountTrades::forgetKept(); }
    void TearDown() override { AccountTrades::forgetKept(); }
    StatsFixture f;
};

TEST_F(AccountTradesTest, CellsReadAsTheDatabaseLayerReadsThem)
{
    f.db().executeStatement(QStringLiteral(
        "INSERT INTO t_sdelki (chet, Ticket, OpenTime, Item, Profit, Profit2, Commission, Swap, Taxes, comment, Nedobral) "
        "VALUES ('1', '501', '2013.07.01 10:00', 'eurusd', '12,5', 12.5, -0.75, '-1', '0', 'пробой', 4)"));
    f.db().executeStatement(QStringLiteral(
        "INSERT INTO t_sdelki (chet, OpenTime, Item, Profit, Swap, Taxes, comment) "
        "VALUES ('1', '2013.07.02 10:00', 'eurusd', 'abc', '0', '0', 'пробой')"));
    f.db().executeStatement(QStringLiteral("INSERT INTO t_sdelki (chet, OpenTime, Profit) VALUES ('2', '2013.07.03', '1')"));
    const auto t = AccountTrades::read(f.db(), QStringLiteral("1"));
    ASSERT_EQ(t->count(), 2);
    struct Case {
        int row;
        Col column;
        QString text;
        bool null;
    };
    const Case cases[] = {
        {0, Col::Ticket, "501", false},       {0, Col::Commission, "-0,75", false}, {0, Col::Profit2, "12,5", false},
        {0, Col::Comment, "пробой", false},    {0, Col::Nedobral, "4", false},       {1, Col::Ticket, "", true},
        {1, Col::Commission, "0", false},     {1, Col::Nedobral, "0", false},       {1, Col::Profit, "abc", false},
    };
    for (const Case& c : cases) {
        EXPECT_EQ(t->text(c.row, c.column), c.text) << c.row << ' ' << c.column;
        EXPECT_EQ(t->bytes(c.row, c.column).isNull(), c.null) << c.row << ' ' << c.column;
    }
    EXPECT_EQ(t->id(1), t->id(0) + 1);
    // A text repeated in a column is kept once.
    EXPECT_EQ(t->bytes(0, Col::Item).data(), t->bytes(1, Col::Item).data());
    EXPECT_EQ(t->bytes(0, Col::Comment).data(), t->bytes(1, Col::Comment).data());
    // The money is parsed once; a profit that does not read is flagged.
    const AccountTrades::Numbers& n = t->numbers();
    EXPECT_DOUBLE_EQ(n.net(0), 12.5 - 0.75 - 1);
    EXPECT_EQ(n.nedobral[0], 4);
    EXPECT_EQ(n.bad[0], 0);
    EXPECT_EQ(n.bad[1], AccountTrades::Numbers::BadProfit);
    EXPECT_EQ(t->badMoneyText(1), QStringLiteral("Сделка id %1: Прибыль «abc» не является числом; она не входит в итоги").arg(t->id(1)));
    EXPECT_EQ(t->openTimeKey(0) < t->openTimeKey(1), true);
}

// Equal profits and equal times keep the order the trades were stored in,
// whatever order the query hands them over in.
TEST_F(AccountTradesTest, EqualKeysKeepTheStoredOrder)
{
    for (const char* time : {"2013.07.03 10:00", "2013.07.02 10:00", "2013.07.02 10:00", "2013.07.01 10:00"}) {
        TradeRow row;
        row.openTime = QString::fromLatin1(time);
        row.profit = QStringLiteral("5");
        row.profit2 = 5.0;
        f.insert(row);
    }
    TradeRow byHand; // no Profit2: last by profit
    byHand.openTime = QStringLiteral("2013.07.01 09:00");
    f.insert(byHand);
    const auto t = AccountTrades::read(f.db(), QStringLiteral("1"));
    qint64 first = t->id(0);
    for (int r = 0; r < t->count(); ++r)
        first = std::min(first, t->id(r));
    // The trades by their place in the order of storing: 1 is the first stored.
    auto stored = [&](const std::vector<int>& order) {
        std::vector<qint64> out;
        for (const int r : order)
            out.push_back(t->id(r) - first + 1);
        return out;
    };
    EXPECT_EQ(stored(t->byProfitDescending()), (std::vector<qint64>{1, 2, 3, 4, 5}));
    EXPECT_EQ(stored(t->byOpenTime()), (std::vector<qint64>{5, 4, 2, 3, 1}));
}

// The reading is kept while nothing changed, and read anew after any change:
// through this connection, through another one, of the tables, or undone.
TEST_F(AccountTradesTest, KeptUntilTheDataChanges)
{
    f.insertProfit(10, QStringLiteral("2013.07.01 10:00"));
    const auto first = AccountTrades::read(f.db(), QStringLiteral("1"));
    EXPECT_EQ(AccountTrades::read(f.db(), QStringLiteral("1")), first);

    f.insertProfit(20, QStringLiteral("2013.07.02 10:00"));
    const auto afterInsert = AccountTrades::read(f.db(), QStringLiteral("1"));
    EXPECT_NE(afterInsert, first);
    EXPECT_EQ(afterInsert->count(), 2);

    {
        TSQLiteDatabase other(f.db().path());
        other.executeStatement(QStringLiteral("UPDATE t_sdelki SET Profit = '30' WHERE Profit = '20'"));
    }
    const auto afterOther = AccountTrades::read(f.db(), QStringLiteral("1"));
    EXPECT_NE(afterOther, afterInsert);
    EXPECT_DOUBLE_EQ(afterOther->numbers().profit[1], 30);

    {
        SqlTransaction undone(f.db());
        f.db().executeStatement(QStringLiteral("DELETE FROM t_sdelki"));
        EXPECT_EQ(AccountTrades::read(f.db(), QStringLiteral("1"))->count(), 0);
    } // rolled back
    EXPECT_EQ(AccountTrades::read(f.db(), QStringLiteral("1"))->count(), 2);

    EXPECT_EQ(AccountTrades::read(f.db(), QStringLiteral("2"))->count(), 0);
    EXPECT_EQ(AccountTrades::read(f.db(), QStringLiteral("1"))->count(), 2);

    f.db().executeStatement(QStringLiteral("DROP TABLE t_sdelki"));
    EXPECT_THROW(AccountTrades::read(f.db(), QStringLiteral("1")), ESQLiteException);
}

// The reports build on the same digest, in the order the trades were
// stored even where the digest has them by open time: the first trade whose
// money does not read is the first stored, the grouped texts are numbered
// as first stored, and the time order is by time.
TEST_F(AccountTradesTest, ReportsReadTheDigestInStoredOrder)
{
    TradeRow later;
    later.openTime = QStringLiteral("2013.07.05 10:00");
    later.profit = QStringLiteral("x1");
    later.taktika = QStringLiteral("Пробой");
    const QString laterId = f.insert(later);
    TradeRow earlier;
    earlier.openTime = QStringLiteral("2013.07.01 10:00");
    earlier.profit = QStringLiteral("x2");
    earlier.taktika = QStringLiteral("Отбой");
    f.insert(earlier);
    TradeRow blankSwap; // no number for the reports, 0 for the balance
    blankSwap.openTime = QStringLiteral("2013.07.03 10:00");
    blankSwap.profit = QStringLiteral("5");
    blankSwap.swap = QStringLiteral(" ");
    const QString blankId = f.insert(blankSwap);

    const auto digest = AccountTrades::read(f.db(), QStringLiteral("1"));
    ASSERT_EQ(digest->count(), 3);
    EXPECT_EQ(QString::number(digest->id(0)), QString::number(laterId.toLongLong() + 1)); // by open time

    const ReportTrades trades(digest);
    ASSERT_EQ(trades.count(), 3);
    EXPECT_EQ(QString::number(trades.id(0)), laterId);
    EXPECT_LT(trades.id(0), trades.id(1));
    EXPECT_LT(trades.id(1), trades.id(2));
    EXPECT_EQ(trades.openTime(0), later.openTime);
    EXPECT_EQ(trades.timeOrder(), (std::vector<int>{1, 2, 0}));
    const int first = trades.category(0, ReportTrades::Taktika);
    ASSERT_GE(first, 0);
    EXPECT_EQ(trades.texts()[static_cast<size_t>(first)], cp1251::encode(later.taktika).toStdString());
    EXPECT_LT(first, trades.category(1, ReportTrades::Taktika));
    EXPECT_EQ(trades.profit(2), 5.0);
    EXPECT_EQ(trades.net(2), std::nullopt);
    EXPECT_EQ(digest->numbers().swap[2], 0.0);
    EXPECT_TRUE(trades.netProblem(2).contains(blankId)) << trades.netProblem(2).toStdString();
    EXPECT_TRUE(trades.moneyProblem().endsWith(QStringLiteral("(таких сделок: 3)"))) << trades.moneyProblem().toStdString();
    EXPECT_TRUE(trades.moneyProblem().contains(laterId + QStringLiteral(": Прибыль «x1»")))
        << trades.moneyProblem().toStdString();

    // Read from the database, the reports see the same.
    const ReportTrades read(f.db(), QStringLiteral("1"));
    EXPECT_EQ(read.moneyProblem(), trades.moneyProblem());
    EXPECT_EQ(read.texts(), trades.texts());
}


// A large account is read in parts at once, over connections of their own;
// the digest is the one a single reading gives: every cell, every number,
// the ids and both orders. The rows are laid out to catch a part boundary
// that loses or repeats rows: trades without an open time, many trades at
// the same time across the middle, a text that is the same in the first
// half only, an annotation written in the second half only, money that does
// not read.
TEST_F(AccountTradesTest, AnAccountReadInPartsIsTheAccountReadInOne)
{
    for (int i = 0; i < 40; ++i) {
        TradeRow row;
        row.openTime = i % 9 == 4 && i < 30 ? QString() : i >= 12 && i < 28 ? QStringLiteral("2013.07.20 10:00")
                                                                   : QStringLiteral("2013.07.%1 12:00").arg(i + 1, 2, 10, QLatin1Char('0'));
        row.profit = i == 30 ? QStringLiteral("12abc") : QString::number(i % 7 - 3) + QStringLiteral(",5");
        row.profit2 = i % 5 == 0 ? QVariant() : QVariant(i % 7 - 3.5);
        row.ticket = QString::number(1000 + i);
        row.comment = i < 30 ? QStringLiteral("пробой") : QStringLiteral("отбой %1").arg(i % 3);
        row.taktika = i < 24 ? QString() : QStringLiteral("Тренд");
        row.ocenka = QStringLiteral("5");
        if (i == 0)
            row.chet = QStringLiteral("2");
        f.insert(row);
    }
    if (f.db().path().isEmpty())
        GTEST_SKIP();
    f.db().executeStatement(QStringLiteral("UPDATE t_sdelki SET OpenTime = NULL WHERE OpenTime = ''"));
    const qint64 usual = account_parts::from();
    account_parts::setFrom(std::numeric_limits<qint64>::max());
    AccountTrades one(f.db(), QStringLiteral("1"));
    account_parts::setFrom(1);
    AccountTrades parts(f.db(), QStringLiteral("1"));
    // Read in parts on purpose, whatever the cores: every row once, in the
    // order of the index of open times.
    for (const int n : {2, 3, 5}) {
        std::vector<qint64> ids;
        std::vector<int> partOf;
        ASSERT_TRUE(account_parts::read(f.db(), QStringLiteral("id"), QStringLiteral("1"), 39, n,
                                        [&](int part, const SqlRow& row) {
                                            static std::mutex m;
                                            const std::lock_guard lock(m);
                                            ids.push_back(row.integer(0));
                                            partOf.push_back(part);
                                        }));
        std::vector<qint64> inOrder;
        f.db().readRows(QStringLiteral("SELECT id FROM t_sdelki WHERE chet='1' ORDER BY OpenTime, id"), {},
                        [&](const SqlRow& row) { inOrder.push_back(row.integer(0)); });
        std::vector<std::pair<int, size_t>> byPart;
        for (size_t i = 0; i < ids.size(); ++i)
            byPart.emplace_back(partOf[i], i);
        std::stable_sort(byPart.begin(), byPart.end(), [](auto a, auto b) { return a.first < b.first; });
        std::vector<qint64> joined;
        for (const auto& [part, i] : byPart)
            joined.push_back(ids[i]);
        EXPECT_EQ(joined, inOrder) << n << " parts";
    }
    // A count that is out of date only moves the boundaries; one far above
    // the trades leaves the last part empty, which reads again in one.
    for (const qint64 count : {qint64(4), qint64(70)}) {
        qint64 read = 0;
        EXPECT_TRUE(account_parts::read(f.db(), QStringLiteral("id"), QStringLiteral("1"), count, 2,
                                        [&](int, const SqlRow&) {
                                            static std::mutex m;
                                            const std::lock_guard lock(m);
                                            ++read;
                                        }))
            << count;
        EXPECT_EQ(read, 39) << count;
    }
    EXPECT_FALSE(account_parts::read(f.db(), QStringLiteral("id"), QStringLiteral("1"), 1000, 2, [](int, const SqlRow&) {}));
    // With a transaction open the other connections would not see its rows.
    {
        SqlTransaction open(f.db());
        f.db().executeStatement(QStringLiteral("DELETE FROM t_sdelki WHERE Ticket = '1039'"));
        EXPECT_EQ(AccountTrades(f.db(), QStringLiteral("1")).count(), 38);
    }
    // Read again after most trades went (by the count of the last reading):
    // every trade that is left.
    AccountTrades(f.db(), QStringLiteral("1"));
    f.db().executeStatement(QStringLiteral("DELETE FROM t_sdelki WHERE Ticket >= '1016'"));
    EXPECT_EQ(AccountTrades(f.db(), QStringLiteral("1")).count(), 15); // tickets 1001 to 1015
    account_parts::setFrom(usual);

    ASSERT_EQ(parts.count(), 39);
    ASSERT_EQ(one.count(), 39);
    for (int r = 0; r < one.count(); ++r) {
        EXPECT_EQ(parts.id(r), one.id(r)) << r;
        for (int c = 0; c < AccountTrades::ColumnCount; ++c) {
            EXPECT_EQ(parts.bytes(r, Col(c)), one.bytes(r, Col(c))) << r << ' ' << c;
            EXPECT_EQ(parts.bytes(r, Col(c)).isNull(), one.bytes(r, Col(c)).isNull()) << r << ' ' << c;
        }
        EXPECT_EQ(parts.badMoneyText(r), one.badMoneyText(r));
        EXPECT_EQ(parts.numbers().net(r), one.numbers().net(r));
        EXPECT_EQ(parts.numbers().bad[r], one.numbers().bad[r]);
    }
    EXPECT_EQ(parts.byProfitDescending(), one.byProfitDescending());
    EXPECT_EQ(parts.byOpenTime(), one.byOpenTime());
}


// The orders by profit and by open time of a larger account with many equal
// keys, -0 and 0, trades without a profit, times of another form and rows
// stored out of time order: each as a comparison of the keys, then of the
// ids, gives it.
TEST_F(AccountTradesTest, OrdersAreThoseOfComparingKeysThenIds)
{
    // Whole cents (sorted as cents) and one profit that is not (sorted by
    // its bits); trades stored out of time order, or in it (the ids then
    // rise as the rows are read).
    for (const auto& [cents, storedInTime] : {std::pair(true, false), std::pair(false, false), std::pair(true, true)}) {
        SCOPED_TRACE(cents ? "cents" : "bits");
        SCOPED_TRACE(storedInTime ? "stored in time order" : "stored out of time order");
        AccountTrades::forgetKept();
        f.db().executeStatement(QStringLiteral("DELETE FROM t_sdelki"));
        const double profits[] = {0.0, -0.0, 1.5, -1.5, cents ? 1e7 : 1e9, cents ? -0.25 : -1e-9, 12.25, 3.0};
        std::vector<std::pair<QVariant, QString>> stored;
        quint32 seed = 7;
        auto next = [&seed] { return (seed = seed * 1103515245u + 12345u) >> 8; };
        SqlTransaction inserting(f.db());
        for (int i = 0; i < 3000; ++i) {
            TradeRow row;
            row.profit2 = next() % 11 == 0 ? QVariant() : QVariant(profits[next() % std::size(profits)] + (next() % 3 == 0 ? next() % 70000 : 0));
            row.openTime = storedInTime           ? QStringLiteral("2013.05.21 10:%1").arg(i / 60, 2, 10, QLatin1Char('0'))
                           : next() % 50 == 0 ? QStringLiteral("вчера")
                                              : QStringLiteral("2013.%1.%2 1%3:00").arg(next() % 12 + 1, 2, 10, QLatin1Char('0'))
                                                    .arg(next() % 28 + 1, 2, 10, QLatin1Char('0')).arg(next() % 10);
            stored.emplace_back(row.profit2, row.openTime);
            f.insert(row);
        }
        inserting.commit();
        const auto t = AccountTrades::read(f.db(), QStringLiteral("1"));
        ASSERT_EQ(t->count(), 3000);
        qint64 first = t->id(0);
        for (int r = 0; r < t->count(); ++r)
            first = std::min(first, t->id(r));
        auto asStored = [&](const std::vector<int>& order) {
            std::vector<int> out;
            for (const int r : order)
                out.push_back(static_cast<int>(t->id(r) - first));
            return out;
        };
        std::vector<int> byProfit(stored.size()), byTime(stored.size());
        for (size_t i = 0; i < stored.size(); ++i)
            byProfit[i] = byTime[i] = static_cast<int>(i);
        auto key = [&](int i) { return stored[i].first.isNull() ? -std::numeric_limits<double>::infinity() : stored[i].first.toDouble(); };
        std::stable_sort(byProfit.begin(), byProfit.end(), [&](int a, int b) { return key(a) > key(b); });
        std::stable_sort(byTime.begin(), byTime.end(), [&](int a, int b) { return stored[a].second < stored[b].second; });
        EXPECT_EQ(asStored(t->byProfitDescending()), byProfit);
        EXPECT_EQ(asStored(t->byOpenTime()), byTime);
    }
}

} // namespace
