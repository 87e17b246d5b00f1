// Copying preview rows into an account.
#include "import/core/trade_copy.h"
#include "journal/core/trade_journal_store.h"

#include "import_test_support.h"
#include "temp_journal.h"

#include <QDir>

#include <gtest/gtest.h>

namespace {

StatementRow tradeRow(const QString& ticket, const QString& profit = QStringLiteral("-12.50"))
{
    StatementRow r;
    r[StatementRow::Number] = QStringLiteral("1");
    r[StatementRow::Ticket] = ticket;
    r[StatementRow::OpenTime] = QStringLiteral("2024.03.01 10:00:00");
    r[StatementRow::Type] = QStringLiteral("buy");
    r[StatementRow::Size] = QStringLiteral("0.10");
    r[StatementRow::Item] = QStringLiteral("eurusd");
    r[StatementRow::PriceOpen] = QStringLiteral("1.08000");
    r[StatementRow::StopLoss] = QStringLiteral("1.07500");
    r[StatementRow::TakeProfit] = QStringLiteral("1.09000");
    r[StatementRow::CloseTime] = QStringLiteral("2024.03.01 12:00:00");
    r[StatementRow::PriceClose] = QStringLiteral("1.07875");
    r[StatementRow::Commission] = QStringLiteral("-0.70");
    r[StatementRow::Taxes] = QStringLiteral("1 000.00");
    r[StatementRow::Swap] = QStringLiteral("-1.25");
    r[StatementRow::Profit] = profit;
    return r;
}

class CopyTest : public ::testing::Test {
protected:
    TempAppDir dir;
    std::unique_ptr<Journal> journal = dir.openJournal();
    TSQLiteDatabase& db = journal->db();

    CopyOutcome copy(const QString& account, const std::vector<StatementRow>& rows)
    {
        return copyTrades(db, account, rows, dir.file(QStringLiteral("img")));
    }
    // One column of every trade, in id order, as SQLite holds it.
    QStringList stored(const QString& expr)
    {
        QStringList out;
        const auto t = db.openResultTable(QStringLiteral("SELECT %1 FROM t_sdelki ORDER BY id").arg(expr));
        for (; !t->atEnd(); t->moveNext())
            out << t->fieldTextAt(0);
        return out;
    }
};

TEST_F(CopyTest, InsertsNewTradesWithTheTextsOfTheirColumns)
{
    const CopyOutcome o = copy(QStringLiteral("3"), {tradeRow(QStringLiteral("1001"))});
    EXPECT_EQ(o.inserted, 1);
    EXPECT_EQ(o.updated, 0);
    EXPECT_EQ(o.problem, QString());
    EXPECT_EQ(stored("chet || '|' || Ticket || '|' || OpenTime || '|' || Type || '|' || Size || '|' || Item || '|' || "
                     "PriceOpen || '|' || sl || '|' || tp || '|' || CloseTime || '|' || PriceClose || '|' || Taxes"),
              QStringList{"3|1001|2024.03.01 10:00:00|buy|0.10|eurusd|1.08000|1.07500|1.09000|2024.03.01 "
                          "12:00:00|1.07875|1 000.00"});
    // -12.50 is stored as Profit -12,50 and Profit2 -12.50 (a number), the swap with a comma.
    EXPECT_EQ(stored("Profit || '|' || Swap || '|' || typeof(Profit2) || '|' || Profit2 || '|' || typeof(Commission) "
                     "|| '|' || Commission"),
              QStringList{"-12,50|-1,25|real|-12.5|real|-0.7"});
}

TEST_F(CopyTest, CopyingTheSameStatementTwiceUpdatesEveryTrade)
{
    const std::vector<StatementRow> rows = {tradeRow("1001"), tradeRow("1002"), tradeRow("1003")};
    EXPECT_EQ(copy("3", rows).inserted, 3);
    const CopyOutcome again = copy("3", rows);
    EXPECT_EQ(again.inserted, 0);
    EXPECT_EQ(again.updated, 3);
    EXPECT_EQ(stored("Ticket"), (QStringList{"1001", "1002", "1003"}));
}

TEST_F(CopyTest, AHandMadeTradeReceivesItsPricesAndKeepsItsAnnotations)
{
    db.executeStatement("INSERT INTO t_sdelki (chet, Ticket, comment, enter, exit, Psixo, ocenka, Nedobral, img_left, "
                        "t_tree) VALUES ('3', '12345', 'план', 'пробой', 'стоп', 'страх', '5', 12, 40, x'5450463000')");
    const CopyOutcome o = copy("3", {tradeRow("12345", "7.00")});
    EXPECT_EQ(o.updated, 1);
    EXPECT_EQ(stored("chet || '|' || OpenTime || '|' || Profit || '|' || comment || '|' || enter || '|' || exit || '|' "
                     "|| Psixo || '|' || ocenka || '|' || Nedobral || '|' || img_left || '|' || hex(t_tree)"),
              QStringList{"3|2024.03.01 10:00:00|7,00|план|пробой|стоп|страх|5|12|40|5450463000"});
}

TEST_F(CopyTest, TheSameTicketTwiceInsertsOnceAndTheSecondRowsValuesRemain)
{
    const CopyOutcome o = copy("3", {tradeRow("1001", "1.00"), tradeRow("1001", "2.00")});
    EXPECT_EQ(o.inserted, 1);
    EXPECT_EQ(o.updated, 1);
    EXPECT_EQ(stored("Profit"), QStringList{"2,00"});
}

TEST_F(CopyTest, ATradeOfAnotherAccountMovesWithItsPictures)
{
    db.executeStatement("INSERT INTO t_sdelki (chet, Ticket, Item, OpenTime, comment) "
                        "VALUES ('5', '1001', 'eurusd', '2024.03.01 10:00:00', 'мой разбор')");
    const QString img = dir.file("img");
    for (const char* name : {"5_1_1.pat", "5_1_2.pat", "5_10_1.pat", "6_1_1.pat"})
        writeBytes(img + "/" + name, name);
    EXPECT_EQ(tradesInOtherAccounts(db, "3", {tradeRow("1001")}), (std::map<QString, int>{{"5", 1}}));
    const CopyOutcome o = copy("3", {tradeRow("1001")});
    EXPECT_EQ(o.updated, 1);
    EXPECT_EQ(o.movedFrom, (std::map<QString, int>{{"5", 1}}));
    EXPECT_EQ(otherAccountsText(o.movedFrom, [](const QString&) { return QStringLiteral("Демо"); }),
              "из счета «Демо»: 1");
    EXPECT_EQ(o.pictureProblems, QStringList());
    EXPECT_EQ(stored("id || '|' || chet || '|' || comment"), QStringList{"1|3|мой разбор"});
    EXPECT_EQ(QDir(img).entryList(QDir::Files, QDir::Name),
              (QStringList{"3_1_1.pat", "3_1_2.pat", "5_10_1.pat", "6_1_1.pat"}));
    EXPECT_EQ(readBytes(img + "/3_1_2.pat"), QByteArray("5_1_2.pat"));
}

TEST_F(CopyTest, ATicketOfAnotherAccountIsTheSameTradeOnlyWithItsSymbolAndOpenTime)
{
    // The statement's row: ticket 1001, eurusd, opened 2024.03.01 10:00:00, copied into account 3.
    struct Stored {
        const char* account;
        const char* item; // nullptr: made by hand, no symbol
        const char* openTime;
    };
    struct Case {
        const char* name;
        std::vector<Stored> stored;
        int inserted, updated;
        QStringList after; // chet|Item|OpenTime|Profit in id order
    };
    const char* open = "2024.03.01 10:00:00";
    const Case cases[] = {
        {"the account's own trade, whatever its symbol", {{"3", "gbpusd", "2024.02.01 09:00:00"}}, 0, 1,
         {"3|eurusd|2024.03.01 10:00:00|-12,50"}},
        {"another account's trade with the same symbol and open time moves", {{"5", "eurusd", open}}, 0, 1,
         {"3|eurusd|2024.03.01 10:00:00|-12,50"}},
        {"another account's trade of another symbol stays", {{"5", "gbpusd", open}}, 1, 0,
         {"5|gbpusd|2024.03.01 10:00:00|", "3|eurusd|2024.03.01 10:00:00|-12,50"}},
        {"another account's trade opened at another time stays", {{"5", "eurusd", "2024.03.01 10:00:01"}}, 1, 0,
         {"5|eurusd|2024.03.01 10:00:01|", "3|eurusd|2024.03.01 10:00:00|-12,50"}},
        {"a trade made by hand in the account is filled in", {{"3", nullptr, nullptr}}, 0, 1,
         {"3|eurusd|2024.03.01 10:00:00|-12,50"}},
        {"a trade made by hand in another account stays", {{"5", nullptr, nullptr}}, 1, 0,
         {"5||2024.05.06 18:30|0,0", "3|eurusd|2024.03.01 10:00:00|-12,50"}},
        {"in both accounts: only the account's own is updated", {{"3", "gbpusd", open}, {"5", "gbpusd", open}}, 0, 1,
         {"3|eurusd|2024.03.01 10:00:00|-12,50", "5|gbpusd|2024.03.01 10:00:00|"}},
    };
    TradeJournalStore journalStore(db);
    for (const Case& c : cases) {
        db.executeStatement("DELETE FROM t_sdelki");
        for (const Stored& t : c.stored) {
            if (t.item) {
                db.executeStatement("INSERT INTO t_sdelki (chet, Ticket, Item, OpenTime) VALUES (?, '1001', ?, ?)",
                                    {t.account, t.item, t.openTime});
            } else {
                TradeAnnotation handMade;
                handMade.ticket = "1001";
                journalStore.insertNew(t.account, handMade, QDateTime(QDate(2024, 5, 6), QTime(18, 29, 59)));
            }
        }
        // What the copy will move is known before it, as it then moves.
        const std::map<QString, int> predicted = tradesInOtherAccounts(db, "3", {tradeRow("1001")});
        const CopyOutcome o = copy("3", {tradeRow("1001")});
        EXPECT_EQ(o.movedFrom, predicted) << c.name;
        EXPECT_EQ(o.inserted, c.inserted) << c.name;
        EXPECT_EQ(o.updated, c.updated) << c.name;
        EXPECT_EQ(stored("chet || '|' || ifnull(Item, '') || '|' || OpenTime || '|' || ifnull(Profit, '')"),
                  c.after)
            << c.name;
    }
}

// A trade as the deal rule stored it from a closing deal: the close time as
// its OpenTime, the deal's number as its ticket, CloseTime "0".
void storeDealTrade(TSQLiteDatabase& db, const QString& account, const QString& deal, const QString& item,
                    const QString& closeTime, const QString& size, const QString& comment = {})
{
    db.executeStatement("INSERT INTO t_sdelki (chet, Ticket, OpenTime, Type, Size, Item, PriceOpen, sl, tp, CloseTime, "
                        "PriceClose, Commission, Taxes, Swap, Profit, Profit2, comment) "
                        "VALUES (?, ?, ?, 'sell', ?, ?, '1.07875', '0', '0', '0', '0', -0.35, '0', '-1,25', '-12,50', "
                        "-12.5, ?)",
                        {account, deal, closeTime, size, item, comment});
}

TEST_F(CopyTest, APositionTakesOverTheTradeReadFromItsClosingDeal)
{
    // Row 1001 closed at 2024.03.01 12:00:00, eurusd, 0.10.
    storeDealTrade(db, "3", "9001", "eurusd", "2024.03.01 12:00:00", "0.1", "разбор"); // the same position
    storeDealTrade(db, "3", "9002", "gbpusd", "2024.03.01 12:00:00", "0.10");          // another symbol
    storeDealTrade(db, "3", "9003", "eurusd", "2024.03.01 12:00:00", "0.20");          // another volume
    storeDealTrade(db, "5", "9004", "eurusd", "2024.03.01 12:00:00", "0.10");          // another account
    const QString img = dir.file("img");
    writeBytes(img + "/3_1_1.pat", "picture");
    StatementRow twin = tradeRow("1002"); // closed at the same moment: it finds no second trade
    const CopyOutcome o = copy("3", {tradeRow("1001"), twin});
    EXPECT_EQ(o.updated, 1);
    EXPECT_EQ(o.inserted, 1);
    EXPECT_EQ(stored("id || '|' || chet || '|' || Ticket || '|' || OpenTime || '|' || Type || '|' || Size || '|' "
                     "|| PriceOpen || '|' || CloseTime || '|' || PriceClose || '|' || Commission || '|' "
                     "|| ifnull(comment, '')"),
              (QStringList{"1|3|1001|2024.03.01 10:00:00|buy|0.10|1.08000|2024.03.01 12:00:00|1.07875|-0.7|разбор",
                           "2|3|9002|2024.03.01 12:00:00|sell|0.10|1.07875|0|0|-0.35|",
                           "3|3|9003|2024.03.01 12:00:00|sell|0.20|1.07875|0|0|-0.35|",
                           "4|5|9004|2024.03.01 12:00:00|sell|0.10|1.07875|0|0|-0.35|",
                           "5|3|1002|2024.03.01 10:00:00|buy|0.10|1.08000|2024.03.01 12:00:00|1.07875|-0.7|"}));
    EXPECT_EQ(QDir(img).entryList(QDir::Files), QStringList{"3_1_1.pat"});

    // Copying the statement again updates both by their position numbers.
    const CopyOutcome again = copy("3", {tradeRow("1001"), twin});
    EXPECT_EQ(again.updated, 2);
    EXPECT_EQ(again.inserted, 0);
}

TEST_F(CopyTest, SkipsRowsWithoutTicketAndStoresQuotesSafely)
{
    StatementRow quoted = tradeRow("1002");
    quoted[StatementRow::Item] = QStringLiteral("eur\"usd'); DROP TABLE t_sdelki; --");
    const CopyOutcome o = copy("3", {tradeRow(""), tradeRow("Ticket"), quoted});
    EXPECT_EQ(o.inserted, 1);
    EXPECT_EQ(stored("Item"), QStringList{"eur\"usd'); DROP TABLE t_sdelki; --"});
}

TEST_F(CopyTest, AFailingRowStopsTheCopyAndKeepsTheRowsBeforeIt)
{
    db.executeStatement("CREATE TRIGGER refuse BEFORE INSERT ON t_sdelki WHEN NEW.Ticket = '1003' "
                        "BEGIN SELECT RAISE(ABORT, 'refused'); END");
    const CopyOutcome o = copy("3", {tradeRow("1001"), tradeRow("1002"), tradeRow("1003"), tradeRow("1004")});
    EXPECT_NE(o.problem, QString());
    EXPECT_TRUE(o.problem.contains("refused")) << o.problem.toStdString();
    EXPECT_EQ(o.inserted, 2);
    EXPECT_EQ(stored("Ticket"), (QStringList{"1001", "1002"}));
}

TEST_F(CopyTest, ABusyDatabaseStoresNothingAndSaysSo)
{
    TSQLiteDatabase other(dir.file("datamoney.db"));
    other.executeStatement("BEGIN IMMEDIATE");
    const CopyOutcome o = copy("3", {tradeRow("1001")});
    other.executeStatement("ROLLBACK");
    EXPECT_NE(o.problem, QString());
    EXPECT_EQ(o.inserted, 0);
    EXPECT_EQ(stored("Ticket"), QStringList{});
}

} // namespace
