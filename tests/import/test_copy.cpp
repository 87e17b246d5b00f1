// Copying preview rows into an account.
#include "import/core/trade_copy.h"

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
    EXPECT_EQ(o.failure, QString());
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
    db.executeStatement("INSERT INTO t_sdelki (chet, Ticket, comment) VALUES ('5', '1001', 'мой разбор')");
    const QString img = dir.file("img");
    for (const char* name : {"5_1_1.pat", "5_1_2.pat", "5_10_1.pat", "6_1_1.pat"})
        writeBytes(img + "/" + name, name);
    const CopyOutcome o = copy("3", {tradeRow("1001")});
    EXPECT_EQ(o.updated, 1);
    EXPECT_EQ(o.pictureProblems, QStringList());
    EXPECT_EQ(stored("id || '|' || chet || '|' || comment"), QStringList{"1|3|мой разбор"});
    EXPECT_EQ(QDir(img).entryList(QDir::Files, QDir::Name),
              (QStringList{"3_1_1.pat", "3_1_2.pat", "5_10_1.pat", "6_1_1.pat"}));
    EXPECT_EQ(readBytes(img + "/3_1_2.pat"), QByteArray("5_1_2.pat"));
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
    EXPECT_NE(o.failure, QString());
    EXPECT_TRUE(o.failure.contains("refused")) << o.failure.toStdString();
    EXPECT_EQ(o.inserted, 2);
    EXPECT_EQ(stored("Ticket"), (QStringList{"1001", "1002"}));
}

TEST_F(CopyTest, ABusyDatabaseStoresNothingAndSaysSo)
{
    TSQLiteDatabase other(dir.file("datamoney.db"));
    other.executeStatement("BEGIN IMMEDIATE");
    const CopyOutcome o = copy("3", {tradeRow("1001")});
    other.executeStatement("ROLLBACK");
    EXPECT_NE(o.failure, QString());
    EXPECT_EQ(o.inserted, 0);
    EXPECT_EQ(stored("Ticket"), QStringList{});
}

} // namespace
