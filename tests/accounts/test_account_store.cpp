// The account store against a real database file.
#include "accounts/core/account_store.h"

#include "accounts_test_data.h"
#include "temp_journal.h"

#include "db/core/sqlite_database.h"

#include <QFile>

#include <gtest/gtest.h>

namespace {

class AccountStoreTest : public ::testing::Test {
protected:
    TempAppDir dir;
    std::unique_ptr<Journal> journal = dir.openJournal();
    TSQLiteDatabase& db = journal->db();
    AccountStore store{db, dir.file(QStringLiteral("img"))};

    AccountRecord typed(const QString& name, const QString& capital = QStringLiteral("500"))
    {
        return {QString(), name, QStringLiteral("реал"), QStringLiteral("Альпари"), capital, QStringLiteral("открыт"),
                QStringLiteral("строка 1\r\nстрока 2")};
    }
};

} // namespace

TEST_F(AccountStoreTest, AddedAccountReadsBackAsTyped)
{
    // Quotes and Cyrillic are ordinary characters now that values are bound.
    const QString id = store.addAccount(typed(QStringLiteral("Счет \"Основной\"")));
    const auto account = store.findAccount(id);
    ASSERT_TRUE(account.has_value());
    EXPECT_EQ(account->id, id);
    EXPECT_EQ(account->name, QStringLiteral("Счет \"Основной\""));
    EXPECT_EQ(account->type, QStringLiteral("реал"));
    EXPECT_EQ(account->broker, QStringLiteral("Альпари"));
    EXPECT_EQ(account->capital, QStringLiteral("500"));
    EXPECT_EQ(account->state, QStringLiteral("открыт"));
    EXPECT_EQ(account->description, QStringLiteral("строка 1\r\nстрока 2"));
    EXPECT_EQ(store.listAccounts().size(), 1u);
    EXPECT_EQ(store.findAccount(QStringLiteral("999")), std::nullopt);
}

TEST_F(AccountStoreTest, EmptyCapitalReadsBackAsZero)
{
    const QString id = store.addAccount(typed(QStringLiteral("A"), QString()));
    EXPECT_EQ(store.findAccount(id)->capital, QStringLiteral("0"));
    EXPECT_EQ(store.listAccounts().front().capital, QStringLiteral("0"));
}

TEST_F(AccountStoreTest, UpdateRewritesOnlyThatAccount)
{
    const QString a = store.addAccount(typed(QStringLiteral("A")));
    const QString b = store.addAccount(typed(QStringLiteral("B")));
    AccountRecord changed = typed(QStringLiteral("A2"), QStringLiteral("40000"));
    changed.id = a;
    changed.type = QStringLiteral("демо");
    EXPECT_TRUE(store.updateAccount(changed));
    EXPECT_EQ(store.findAccount(a)->name, QStringLiteral("A2"));
    EXPECT_EQ(store.findAccount(a)->capital, QStringLiteral("40000"));
    EXPECT_EQ(store.findAccount(a)->type, QStringLiteral("демо"));
    EXPECT_EQ(store.findAccount(b)->name, QStringLiteral("B"));
    changed.id = QStringLiteral("999");
    EXPECT_FALSE(store.updateAccount(changed));
}

TEST_F(AccountStoreTest, BalanceStepsComeOldestFirst)
{
    const QString a = insertAccount(db, QStringLiteral("A"));
    const QString b = insertAccount(db, QStringLiteral("B"));
    insertTrade(db, a, QStringLiteral("2013.06.01 00:00"), QStringLiteral("3"));
    insertTrade(db, a, QStringLiteral("2013.05.21 10:15"), QStringLiteral("1"));
    insertTrade(db, b, QStringLiteral("2013.05.21 11:00"), QStringLiteral("99"));
    insertTrade(db, a, QStringLiteral("2013.05.22 09:00"), QStringLiteral("-2,5"));
    QStringList profits;
    for (const BalanceStep& step : store.balanceSteps(a))
        profits << step.profit;
    EXPECT_EQ(profits, QStringList({"1", "-2,5", "3"}));
    EXPECT_TRUE(store.balanceSteps(QStringLiteral("42")).empty());
}

TEST_F(AccountStoreTest, DeleteRemovesTheAccountItsTradesNotesAndPictures)
{
    const QString a = insertAccount(db, QStringLiteral("A"));
    const QString keep = insertAccount(db, QStringLiteral("B"));
    ASSERT_EQ(a, QStringLiteral("1"));
    for (const QString& acc : {a, keep}) {
        insertTrade(db, acc, QStringLiteral("2013.05.21 10:15"), QStringLiteral("5"));
        insertDayNote(db, acc, QStringLiteral("21.05.2013"));
    }
    const QStringList mine = {QStringLiteral("img/1_57_вход.pat"), QStringLiteral("img/1_58_выход.PAT")};
    const QStringList others = {QStringLiteral("img/11_3_вход.pat"), QStringLiteral("img/2_4_вход.pat"),
                                QStringLiteral("img/1_график.paz"), QStringLiteral("img/x1_2.pat")};
    for (const QString& f : mine + others)
        writeBytes(dir.file(f), "TPF0");

    EXPECT_EQ(store.deleteAccount(a), QStringList());

    EXPECT_EQ(countRows(db, QStringLiteral("t_chet"), a), 0);
    EXPECT_EQ(countRows(db, QStringLiteral("t_sdelki"), a), 0);
    EXPECT_EQ(countRows(db, QStringLiteral("t_days"), a), 0);
    EXPECT_EQ(countRows(db, QStringLiteral("t_chet"), keep), 1);
    EXPECT_EQ(countRows(db, QStringLiteral("t_sdelki"), keep), 1);
    EXPECT_EQ(countRows(db, QStringLiteral("t_days"), keep), 1);
    for (const QString& f : mine)
        EXPECT_FALSE(QFile::exists(dir.file(f))) << f.toStdString();
    for (const QString& f : others)
        EXPECT_TRUE(QFile::exists(dir.file(f))) << f.toStdString();
}

TEST_F(AccountStoreTest, FailedDeleteLeavesTheAccountWhole)
{
    const QString a = insertAccount(db, QStringLiteral("A"));
    insertTrade(db, a, QStringLiteral("2013.05.21 10:15"), QStringLiteral("5"));
    insertDayNote(db, a, QStringLiteral("21.05.2013"));
    writeBytes(dir.file(QStringLiteral("img/1_57_вход.pat")), "TPF0");
    // The last of the three deletions fails, after the other two have run.
    failOn(db, QStringLiteral("DELETE"), QStringLiteral("t_days"));

    EXPECT_THROW(store.deleteAccount(a), ESQLiteException);

    EXPECT_EQ(countRows(db, QStringLiteral("t_chet"), a), 1);
    EXPECT_EQ(countRows(db, QStringLiteral("t_sdelki"), a), 1);
    EXPECT_EQ(countRows(db, QStringLiteral("t_days"), a), 1);
    EXPECT_TRUE(QFile::exists(dir.file(QStringLiteral("img/1_57_вход.pat"))));
    // The connection is usable again afterwards.
    EXPECT_EQ(store.listAccounts().size(), 1u);
}

TEST(AccountStore, WithoutDatabaseEveryCallFails)
{
    TempAppDir dir(false);
    auto journal = dir.openJournal();
    AccountStore store(journal->db(), dir.file(QStringLiteral("img")));
    EXPECT_THROW(store.listAccounts(), ESQLiteException);
    EXPECT_THROW(store.deleteAccount(QStringLiteral("1")), ESQLiteException);
}

// The curve read row by row is the one built from the steps: the same
// points, the same count of trades and the same named problem, with or
// without a readable start and cash movements between the trades.
TEST_F(AccountStoreTest, StreamedCurveMatchesTheCurveOfTheSteps)
{
    const QString a = insertAccount(db, QStringLiteral("A"));
    insertTrade(db, a, QStringLiteral("2013.06.01 00:00"), QStringLiteral("3"));
    insertTrade(db, a, QStringLiteral("2013.05.21 10:15"), QStringLiteral("1,25"));
    insertTrade(db, a, QStringLiteral("2013.05.22 09:00"), QStringLiteral("двенадцать"));
    insertTrade(db, a, QStringLiteral("2013.05.23 09:00"), QStringLiteral("-2,5"));
    const std::vector<CashMovement> cash = {
        {QStringLiteral("1"), QStringLiteral("2013.05.22 08:00:00"), QStringLiteral("balance"), {}, 100},
        {QStringLiteral("2"), QStringLiteral("2013.05.30 08:00:00"), QStringLiteral("balance"), {}, -40},
    };
    struct Case {
        const char* start;
        std::vector<CashMovement> cash;
    };
    const Case cases[] = {{"1000", {}}, {"1000", cash}, {"", cash}, {"abc", cash}};
    for (const Case& c : cases) {
        const QString start = QString::fromUtf8(c.start);
        const BalanceCurve expected = buildBalanceCurve(start, store.balanceSteps(a), c.cash);
        const AccountStore::Curve streamed = store.balanceCurve(a, start, c.cash);
        EXPECT_EQ(streamed.trades, 4) << c.start;
        EXPECT_EQ(streamed.curve.points, expected.points) << c.start;
        EXPECT_EQ(streamed.curve.problem, expected.problem) << c.start;
        EXPECT_FALSE(streamed.curve.complete()) << c.start;
    }
    EXPECT_EQ(store.tradeCount(a), 4);
    EXPECT_EQ(store.tradeCount(QStringLiteral("42")), 0);
    const AccountStore::Curve none = store.balanceCurve(QStringLiteral("42"), QStringLiteral("10"), {});
    EXPECT_EQ(none.trades, 0);
    EXPECT_TRUE(none.curve.points.empty());
    EXPECT_TRUE(none.curve.complete());
}
