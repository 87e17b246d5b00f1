// A journal made by the first schema (as the Windows program keeps it)
// gains the account's currency and the cash movements when it is opened,
// keeping every row; the upgrade is all or nothing.
#include "db/core/cash_store.h"
#include "db/core/reasons.h"
#include "db/core/schema_setup.h"
#include "db/core/sqlite_database.h"
#include "temp_journal.h"

#include <QFile>

#include <gtest/gtest.h>

namespace {

QString firstSchema()
{
    QFile schema(QStringLiteral(TJ_SCHEMA_SQL));
    EXPECT_TRUE(schema.open(QIODevice::ReadOnly));
    return QString::fromUtf8(schema.readAll());
}

QStringList dump(TSQLiteDatabase& db, const QString& query)
{
    QStringList rows;
    auto t = db.openResultTable(query);
    for (; !t->atEnd(); t->moveNext()) {
        QStringList cells;
        for (int c = 0; c < t->columnCount(); ++c)
            cells << t->fieldTextOf(c);
        rows << cells.join(u'|');
    }
    return rows;
}

class SchemaUpgradeTest : public ::testing::Test {
protected:
    TempAppDir dir{false};
    QString path = dir.file(QStringLiteral("datamoney.db"));

    void SetUp() override
    {
        createDatabaseFromSchema(path, firstSchema(), /*upgrade=*/false);
        TSQLiteDatabase db(path);
        db.executeStatement(QStringLiteral("INSERT INTO t_chet (chet_name, chet_kapital, chet_opis) VALUES ('Счет', 500, 'a\r\nb')"));
        db.executeStatement(QStringLiteral("INSERT INTO t_sdelki (chet, Ticket, OpenTime, Commission, Swap, Profit, Profit2, t_tree) "
                                           "VALUES ('1', '7', '2013.05.21 10:15', -0.7, '-1,5', '12,5', 12.5, x'54504630')"));
        db.executeStatement(QStringLiteral("INSERT INTO t_days (Day, comment, chet) VALUES ('21.05.2013', 'день', '1')"));
        db.executeStatement(QStringLiteral("INSERT INTO t_zametki (s_name, b_zametka) VALUES ('Заметка', x'7B7D')"));
    }
};

TEST_F(SchemaUpgradeTest, KeepsEveryRowAndAddsOnlyWhatIsNew)
{
    TSQLiteDatabase db(path);
    ASSERT_EQ(journalSchemaVersion(db), 0);
    const QStringList tables = {QStringLiteral("t_chet"), QStringLiteral("t_sdelki"), QStringLiteral("t_days"),
                                QStringLiteral("t_zametki")};
    std::vector<QStringList> before;
    for (const QString& t : tables)
        before.push_back(dump(db, QStringLiteral("SELECT * FROM ") + t));

    upgradeJournalSchema(db);
    EXPECT_EQ(journalSchemaVersion(db), kJournalSchemaVersion);
    // The old columns hold what they held; the account gains an empty currency.
    EXPECT_EQ(dump(db, QStringLiteral("SELECT id, chet_name, chet_type, chet_broker, chet_kapital, chet_sost, chet_opis FROM t_chet")),
              before[0]);
    EXPECT_EQ(dump(db, QStringLiteral("SELECT chet_valuta FROM t_chet")), QStringList({""}));
    for (qsizetype i = 1; i < tables.size(); ++i)
        EXPECT_EQ(dump(db, QStringLiteral("SELECT * FROM ") + tables[i]), before[static_cast<size_t>(i)]) << tables[i].toStdString();

    // A second opening changes nothing, and the new table works.
    upgradeJournalSchema(db);
    CashStore cash(db);
    EXPECT_TRUE(cash.save(QStringLiteral("1"), {QStringLiteral("55"), QStringLiteral("2013.05.20 09:00:00"),
                                                QStringLiteral("balance"), QStringLiteral("Deposit"), 1000}));
    EXPECT_FALSE(cash.save(QStringLiteral("1"), {QStringLiteral("55"), QStringLiteral("2013.05.20 09:00:00"),
                                                 QStringLiteral("balance"), QStringLiteral("Deposit"), 1000}));
    EXPECT_EQ(cash.list(QStringLiteral("1")).size(), 1u);
    EXPECT_EQ(cash.balanceBefore(QStringLiteral("1")), 1000);
    EXPECT_EQ(cash.balanceBefore(QStringLiteral("1"), QStringLiteral("2013.05.20")), 0);
}

// Another program holding the file's lock: the upgrade fails and leaves the
// file as it was, to be done at the next opening.
TEST_F(SchemaUpgradeTest, ALockedFileStaysAtItsVersion)
{
    TSQLiteDatabase other(path);
    SqlTransaction hold(other);
    TSQLiteDatabase db(path);
    db.setBusyTimeout(50);
    EXPECT_THROW(upgradeJournalSchema(db), ESQLiteException);
    EXPECT_EQ(journalSchemaVersion(db), 0);
    EXPECT_EQ(dump(db, QStringLiteral("SELECT name FROM pragma_table_info('t_chet') WHERE name = 'chet_valuta'")),
              QStringList());
}

// Version 2 adds the index of an account's trades by open time, which the
// readings of an account and of a period use; a file that cannot be written
// stays at version 1 and is read as before.
TEST_F(SchemaUpgradeTest, TheTradeIndexIsAddedWhenTheFileTakesIt)
{
    const QString hasIndex = QStringLiteral("SELECT name FROM sqlite_master WHERE type = 'index' AND name = 't_sdelki_chet_opentime'");
    const QString plan = QStringLiteral("EXPLAIN QUERY PLAN SELECT id FROM t_sdelki WHERE chet = '1' "
                                        "AND OpenTime > '2013' AND OpenTime < '2014' ORDER BY OpenTime");
    {
        TSQLiteDatabase db(path);
        db.executeStatement(QStringLiteral("PRAGMA query_only = 1"));
        EXPECT_THROW(upgradeJournalSchema(db), ESQLiteException); // version 1 must be written
        EXPECT_EQ(journalSchemaVersion(db), 0);
        db.executeStatement(QStringLiteral("PRAGMA query_only = 0"));
        SqlTransaction tx(db);
        db.executeStatement(QStringLiteral("ALTER TABLE t_chet ADD COLUMN chet_valuta TEXT DEFAULT ''"));
        db.executeStatement(QStringLiteral("CREATE TABLE t_kassa (id INTEGER PRIMARY KEY AUTOINCREMENT, chet TEXT, "
                                           "Ticket TEXT, Time TEXT, Type TEXT, Comment TEXT, Amount REAL)"));
        db.executeStatement(QStringLiteral("PRAGMA user_version = 1"));
        tx.commit();
    }
    {
        TSQLiteDatabase db(path);
        db.executeStatement(QStringLiteral("PRAGMA query_only = 1"));
        EXPECT_NO_THROW(upgradeJournalSchema(db));
        EXPECT_EQ(journalSchemaVersion(db), 1);
        EXPECT_EQ(dump(db, hasIndex), QStringList());
    }
    TSQLiteDatabase db(path);
    upgradeJournalSchema(db);
    EXPECT_EQ(journalSchemaVersion(db), 2);
    EXPECT_EQ(dump(db, hasIndex), QStringList({QStringLiteral("t_sdelki_chet_opentime")}));
    EXPECT_TRUE(dump(db, plan).join(u' ').contains(QStringLiteral("t_sdelki_chet_opentime"))) << dump(db, plan).join(u' ').toStdString();
    EXPECT_EQ(dump(db, QStringLiteral("SELECT Ticket, Profit FROM t_sdelki")), QStringList({QStringLiteral("7|12,5")}));
}

} // namespace

// The reasons SQLite and the system give, as a trader reads them.
TEST(Reasons, SqliteAndSystemReasonsInRussian)
{
    const std::pair<const char*, const char*> cases[] = {
        {"Error executing SQL statement \"INSERT INTO t_sdelki (a) values(?)\" : database or disk is full",
         "ошибка базы данных: диск заполнен"},
        {"Не удалось: Error executing SQL \"SELECT Profit FROM t_sdelki\" : no such column: Profit",
         "Не удалось: ошибка базы данных: в базе данных нет столбца Profit"},
        {"Failed to open database \"/x/datamoney.db\" : file is not a database",
         "не удалось открыть базу данных /x/datamoney.db: файл не является базой данных"},
        {"database disk image is malformed", "файл базы данных поврежден"},
        {"attempt to write a readonly database", "файл базы данных доступен только для чтения"},
        {"Не удалось прочитать файл \"a.htm\": No such file or directory",
         "Не удалось прочитать файл \"a.htm\": нет такого файла или папки"},
        {"usage: tradejournal-cli trades", "usage: tradejournal-cli trades"},
    };
    for (const auto& [english, russian] : cases)
        EXPECT_EQ(withRussianReasons(QString::fromUtf8(english)), QString::fromUtf8(russian)) << english;
}
