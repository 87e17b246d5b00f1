#include "db/core/cp1251.h"
#include "db/core/sqlite_database.h"
#include "temp_journal.h"

#include <QTemporaryDir>

#include <gtest/gtest.h>

#include <sqlite3.h>

namespace {

class DbTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        db = std::make_unique<TSQLiteDatabase>(dir.file(QStringLiteral("plain.db")));
        db->executeStatement(QStringLiteral(
            "CREATE TABLE kinds (i INTEGER, b BOOLEAN, r REAL, n NUMERIC, f FLOAT, d DOUBLE, t TEXT, "
            "v VARCHAR(20), li integer, bl BLOB)"));
    }
    QString failure(const std::function<void()>& fn)
    {
        try {
            fn();
        } catch (const ESQLiteException& e) {
            return e.message();
        }
        return QStringLiteral("<no failure>");
    }
    TempAppDir dir;
    std::unique_ptr<TSQLiteDatabase> db;
};

TEST_F(DbTest, ReadsEachDeclaredTypeAsText)
{
    struct Case {
        const char* column;
        QVariant stored;
        QString expected;
    };
    const std::vector<Case> cases = {
        {"i", QVariant(), "0"},
        {"i", 42, "42"},
        {"i", QStringLiteral("12,5"), "12"},
        {"i", QStringLiteral("abc"), "0"},
        {"b", 1, "1"},
        {"r", QVariant(), "0"},
        {"r", 0.7, "0,7"},
        {"r", -1.2, "-1,2"},
        {"r", 1000.0, "1000"},
        {"r", QStringLiteral("-0.70"), "-0,7"},
        {"r", QStringLiteral("12,50"), "12"},
        {"r", 1.5e20, "1,5E20"},
        {"n", 12.25, "12,25"},
        {"f", 0.1, "0,1"},
        {"d", -3.0, "-3"},
        {"t", QVariant(), ""},
        {"t", QStringLiteral("12,50"), "12,50"},
        {"v", QStringLiteral("Счет"), "Счет"},
        {"li", QVariant(), ""},
        {"li", 7, "7"},
        {"bl", QVariant(), ""},
        {"bl", QByteArray("abc"), "abc"},
    };
    for (const Case& c : cases) {
        db->executeStatement(QStringLiteral("DELETE FROM kinds"));
        db->executeStatement(QStringLiteral("INSERT INTO kinds (%1) VALUES (?)").arg(QLatin1String(c.column)), {c.stored});
        auto t = db->openResultTable(QStringLiteral("SELECT * FROM kinds"));
        EXPECT_EQ(t->fieldText(QLatin1String(c.column)), c.expected)
            << c.column << " holding " << c.stored.toString().toStdString();
    }
}

TEST_F(DbTest, ColumnNamesMatchWithoutCaseAndExpressionsTakeTheFirstRowsKind)
{
    db->executeStatement(QStringLiteral("CREATE TABLE accounts (id INTEGER PRIMARY KEY AUTOINCREMENT, chet_name TEXT)"));
    db->executeStatement(QStringLiteral("INSERT INTO accounts (chet_name) VALUES (?)"), {QStringLiteral("Мой счет")});
    EXPECT_EQ(db->lastInsertId(), 1);
    auto t = db->openResultTable(QStringLiteral("SELECT chet_name, id, 2.5 AS x, NULL AS nix, ? AS p FROM accounts"),
                                 {QStringLiteral("й")});
    for (const char* name : {"CHET_NAME", "chet_name", "Chet_Name"})
        EXPECT_EQ(t->fieldText(QLatin1String(name)), QStringLiteral("Мой счет"));
    EXPECT_EQ(t->fieldText(QStringLiteral("X")), QStringLiteral("2,5"));
    EXPECT_EQ(t->fieldText(QStringLiteral("nix")), QString());
    EXPECT_EQ(t->fieldText(QStringLiteral("p")), QStringLiteral("й"));
    EXPECT_EQ(t->columnNames(), QStringList({"CHET_NAME", "ID", "X", "NIX", "P"}));
}

TEST_F(DbTest, WalksRowsAndStopsAtTheEnd)
{
    for (int i = 1; i <= 3; ++i)
        db->executeStatement(QStringLiteral("INSERT INTO kinds (i) VALUES (?)"), {i});
    auto t = db->openResultTable(QStringLiteral("SELECT i FROM kinds ORDER BY i"));
    EXPECT_EQ(t->rowCount(), 3);
    QStringList seen;
    while (!t->atEnd()) {
        seen << t->fieldText(QStringLiteral("i"));
        t->moveNext();
    }
    EXPECT_EQ(seen, QStringList({"1", "2", "3"}));
    EXPECT_FALSE(t->moveNext());
    EXPECT_EQ(failure([&] { t->fieldText(QStringLiteral("i")); }), QStringLiteral("Table is at End of File"));

    auto empty = db->openResultTable(QStringLiteral("SELECT i FROM kinds WHERE i > 10"));
    EXPECT_EQ(empty->rowCount(), 0);
    EXPECT_TRUE(empty->atEnd());
}

// Rows handed over one by one: NULL and an empty text stay apart, numbers
// read as text, Cyrillic comes as its stored bytes; a failing step throws.
TEST_F(DbTest, ReadsRowsOneByOne)
{
    db->executeStatement(QStringLiteral("INSERT INTO kinds (i, t) VALUES (1, NULL), (2, ''), (3, ?), (4, '5,5')"),
                         {QStringLiteral("Пробой")});
    QList<QByteArray> texts;
    QList<bool> nulls;
    qint64 sum = 0;
    db->readRows(QStringLiteral("SELECT i, t, i * 10 FROM kinds WHERE i >= ? ORDER BY i"), {1}, [&](const SqlRow& r) {
        texts << r.bytes(1).toByteArray();
        nulls << r.bytes(1).isNull();
        sum += r.integer(0);
        EXPECT_EQ(r.bytes(2).toByteArray(), QByteArray::number(r.integer(0) * 10));
    });
    EXPECT_EQ(texts, (QList<QByteArray>{"", "", cp1251::encode(QStringLiteral("Пробой")), "5,5"}));
    EXPECT_EQ(nulls, (QList<bool>{true, false, false, false}));
    EXPECT_EQ(sum, 10);
    EXPECT_EQ(failure([&] {
                  db->readRows(QStringLiteral("SELECT abs(-9223372036854775807 - 1)"), {}, [](const SqlRow&) {});
              }),
              QStringLiteral("Could not retrieve data \"SELECT abs(-9223372036854775807 - 1)\" : integer overflow"));
}

TEST_F(DbTest, ValuesAreBoundAndComeBackExactly)
{
    // Quotes, backslashes, SQL words and column names in values, Cyrillic.
    const QStringList values = {QStringLiteral("say \"hi\""), QStringLiteral("back\\slash"), QStringLiteral("id"),
                                QStringLiteral("comment"), QStringLiteral("'); DROP TABLE kinds; --"),
                                QStringLiteral("Пробой уровня"), QStringLiteral("Ё ё № €")};
    for (const QString& v : values) {
        db->executeStatement(QStringLiteral("DELETE FROM kinds"));
        db->executeStatement(QStringLiteral("INSERT INTO kinds (t) VALUES (?)"), {v});
        auto t = db->openResultTable(QStringLiteral("SELECT t FROM kinds WHERE t = ?"), {v});
        ASSERT_EQ(t->rowCount(), 1) << v.toStdString();
        EXPECT_EQ(t->fieldText(QStringLiteral("t")), v);
    }
    // Cyrillic is stored as Windows-1251 bytes; characters it lacks become '?'.
    db->executeStatement(QStringLiteral("DELETE FROM kinds"));
    db->executeStatement(QStringLiteral("INSERT INTO kinds (t) VALUES (?)"), {QStringLiteral("Счет 中")});
    auto raw = db->openResultTable(QStringLiteral("SELECT CAST(t AS BLOB) AS bytes, t FROM kinds"));
    EXPECT_EQ(raw->fieldBlob(0), QByteArray("\xD1\xF7\xE5\xF2 ?"));
    EXPECT_EQ(raw->fieldText(QStringLiteral("t")), QStringLiteral("Счет ?"));
}

TEST_F(DbTest, BlobsAreWrittenAndReadAsStreams)
{
    db->executeStatement(QStringLiteral("INSERT INTO kinds (i) VALUES (1)"));
    const QByteArray payload("TPF0\x00\x01\x02", 7);
    db->writeBlob(QStringLiteral("UPDATE kinds SET bl = ? WHERE i = ?"), payload, {1});
    auto t = db->openResultTable(QStringLiteral("SELECT bl FROM kinds"));
    EXPECT_FALSE(t->fieldTextAt(0).isEmpty());
    EXPECT_EQ(t->fieldBlob(0), payload);

    EXPECT_EQ(failure([&] { db->writeBlob(QStringLiteral("UPDATE kinds SET bl = ?"), QByteArray()); }),
              QStringLiteral("Error getting memory to save blob"));
    auto after = db->openResultTable(QStringLiteral("SELECT bl FROM kinds"));
    EXPECT_EQ(after->fieldBlob(0), payload); // unchanged

    db->executeStatement(QStringLiteral("UPDATE kinds SET bl = NULL"));
    auto none = db->openResultTable(QStringLiteral("SELECT bl FROM kinds"));
    EXPECT_EQ(none->fieldTextAt(0), QString());
    EXPECT_TRUE(none->fieldBlob(0).isNull());
}

TEST_F(DbTest, EveryFailureHasItsMessage)
{
    db->executeStatement(QStringLiteral("INSERT INTO kinds (i, t) VALUES (1, 'x')"));
    auto one = db->openResultTable(QStringLiteral("SELECT i, t FROM kinds"));
    auto empty = db->openResultTable(QStringLiteral("SELECT i FROM kinds WHERE 0"));
    struct Case {
        const char* what;
        std::function<void()> fn;
        QString message;
    };
    const std::vector<Case> cases = {
        {"missing table", [&] { db->openResultTable(QStringLiteral("SELECT * FROM t_chet ")); },
         QStringLiteral("Error executing SQL \"SELECT * FROM t_chet \" : no such table: t_chet")},
        {"no statement", [&] { db->executeStatement(QStringLiteral("-- nothing")); },
         QStringLiteral("Could not prepare SQL statement")},
        {"statement yields a row", [&] { db->executeStatement(QStringLiteral("SELECT 1")); },
         QStringLiteral("Error executing SQL statement")},
        {"constraint", [&] {
             db->executeStatement(QStringLiteral("CREATE TABLE u (x TEXT UNIQUE)"));
             db->executeStatement(QStringLiteral("INSERT INTO u VALUES ('a')"));
             db->executeStatement(QStringLiteral("INSERT INTO u VALUES ('a')"));
         },
         QStringLiteral("Error executing SQL statement \"INSERT INTO u VALUES ('a')\" : UNIQUE constraint failed: u.x")},
        {"stepping fails", [&] { db->openResultTable(QStringLiteral("SELECT abs(-9223372036854775807 - 1)")); },
         QStringLiteral("Could not retrieve data \"SELECT abs(-9223372036854775807 - 1)\" : integer overflow")},
        {"no ? in blob sql", [&] { db->writeBlob(QStringLiteral("UPDATE kinds SET bl = x'00'"), QByteArray("a")); },
         QStringLiteral("SQL must include a ? parameter")},
        {"empty dataset", [&] { empty->fieldText(QStringLiteral("id")); },
         QStringLiteral("Field id Not found. Empty dataset")},
        {"unknown column", [&] { one->fieldText(QStringLiteral("nope")); },
         QStringLiteral("Field not found in dataset: nope")},
        {"blob of a text column", [&] { one->fieldBlob(1); }, QStringLiteral("Not a Blob field")},
        {"number of a text column", [&] { one->fieldNumber(1); }, QStringLiteral("Not an integer or numeric field")},
        {"at end", [&] { empty->fieldTextAt(0); }, QStringLiteral("Table is at End of File")},
    };
    for (const Case& c : cases)
        EXPECT_EQ(failure(c.fn), c.message) << c.what;
    EXPECT_EQ(one->fieldInteger(0), 1);
    EXPECT_EQ(one->fieldNumber(0), 1.0);
}

TEST_F(DbTest, OpeningReportsFilesThatAreNotDatabases)
{
    const QString bad = dir.file(QStringLiteral("bad.db"));
    writeBytes(bad, QByteArray(4096, 'x'));
    QString message;
    try {
        TSQLiteDatabase db2(bad);
    } catch (const ESQLiteException& e) {
        message = e.message();
    }
    EXPECT_EQ(message, QStringLiteral("Failed to open database \"%1\" : file is not a database").arg(bad));

    TSQLiteDatabase closed;
    EXPECT_THROW(closed.openResultTable(QStringLiteral("SELECT 1")), ESQLiteException);
}

TEST_F(DbTest, TransactionRollsBackUnlessCommitted)
{
    {
        SqlTransaction tx(*db);
        db->executeStatement(QStringLiteral("INSERT INTO kinds (i) VALUES (1)"));
    }
    EXPECT_EQ(db->openResultTable(QStringLiteral("SELECT count(*) AS c FROM kinds"))->fieldText(QStringLiteral("c")),
              QStringLiteral("0"));
    {
        SqlTransaction tx(*db);
        db->executeStatement(QStringLiteral("INSERT INTO kinds (i) VALUES (1)"));
        tx.commit();
    }
    EXPECT_EQ(db->openResultTable(QStringLiteral("SELECT count(*) AS c FROM kinds"))->fieldText(QStringLiteral("c")),
              QStringLiteral("1"));
}

TEST(Schema, JournalTablesHaveTheirDeclaredTypes)
{
    TempAppDir dir;
    TSQLiteDatabase db(dir.file(QStringLiteral("datamoney.db")));
    auto tables = db.openResultTable(QStringLiteral("SELECT name FROM sqlite_master WHERE type = 'table' AND name LIKE 't\\_%' ESCAPE '\\' ORDER BY name"));
    QStringList names;
    for (; !tables->atEnd(); tables->moveNext())
        names << tables->fieldText(QStringLiteral("name"));
    EXPECT_EQ(names, QStringList({"t_chet", "t_days", "t_kassa", "t_sdelki", "t_zametki"}));

    // An imported trade before annotation, and a trade made by hand.
    db.executeStatement(QStringLiteral("INSERT INTO t_sdelki (chet, Ticket, OpenTime, Commission, Profit, Profit2) "
                                       "VALUES ('1', '100', '2013.05.21 10:15', ?, '-12,50', ?)"),
                        {QStringLiteral("-0.70"), QStringLiteral("-12.50")});
    db.executeStatement(QStringLiteral("INSERT INTO t_sdelki (chet, OpenTime, Commission, Swap, Profit) "
                                       "VALUES ('1', '2013.05.22 09:00', '0,0', '0,0', '0,0')"));
    auto t = db.openResultTable(QStringLiteral("SELECT * FROM t_sdelki ORDER BY OpenTime"));
    for (const char* col : {"Nedobral", "Spas", "img_left", "img_top"})
        EXPECT_EQ(t->fieldText(QLatin1String(col)), QStringLiteral("0")) << col;
    for (const char* col : {"comment", "ocenka", "verno"})
        EXPECT_EQ(t->fieldText(QLatin1String(col)), QString()) << col;
    EXPECT_EQ(t->fieldText(QStringLiteral("Commission")), QStringLiteral("-0,7"));
    EXPECT_EQ(t->fieldText(QStringLiteral("Profit2")), QStringLiteral("-12,5"));
    t->moveNext();
    EXPECT_EQ(t->fieldText(QStringLiteral("Commission")), QStringLiteral("0"));
    EXPECT_EQ(t->fieldText(QStringLiteral("Swap")), QStringLiteral("0,0"));
    EXPECT_EQ(t->fieldText(QStringLiteral("t_tree")), QString());
}

} // namespace

// A statement prepared once stores what executeStatement stores: the same
// bytes for every text (Windows-1251, '?' for what it lacks, '' for an empty
// text), integers as integers, run after run; a failure names the statement.
TEST_F(DbTest, PreparedStatementStoresWhatExecuteStatementStores)
{
    const QStringList texts = {QStringLiteral("say \"hi\""), QString(), QStringLiteral(""),
                               QStringLiteral("Пробой уровня"), QStringLiteral("Счет 中"), QStringLiteral("1.5")};
    db->executeStatement(QStringLiteral("CREATE TABLE pairs (k INTEGER, t TEXT, v TEXT)"));
    {
        SqlStatement insert(*db, QStringLiteral("INSERT INTO pairs (k, t, v) VALUES (?, ?, ?)"));
        for (int k = 0; k < texts.size(); ++k) {
            insert.bindInteger(1, k);
            insert.bindText(2, texts[k]);
            insert.bindBytes(3, QByteArrayView(cp1251::encode(texts[k])));
            insert.execute();
            db->executeStatement(QStringLiteral("INSERT INTO pairs (k, t, v) VALUES (?, ?, ?)"),
                                 {k + 100, texts[k], texts[k]});
        }
    }
    for (int k = 0; k < texts.size(); ++k) {
        auto t = db->openResultTable(
            QStringLiteral("SELECT a.t IS b.t AND a.v IS b.v AND typeof(a.t) = 'text' AND typeof(a.k) = 'integer' "
                           "FROM pairs a JOIN pairs b ON b.k = a.k + 100 WHERE a.k = ?"),
            {k});
        ASSERT_EQ(t->rowCount(), 1) << k;
        EXPECT_EQ(t->fieldInteger(0), 1) << texts[k].toStdString();
    }
    db->executeStatement(QStringLiteral("CREATE UNIQUE INDEX one_k ON pairs (k)"));
    SqlStatement again(*db, QStringLiteral("INSERT INTO pairs (k) VALUES (?)"));
    again.bindInteger(1, 0);
    EXPECT_TRUE(failure([&] { again.execute(); })
                    .startsWith(QStringLiteral("Error executing SQL statement \"INSERT INTO pairs (k) VALUES (?)\"")));
    again.bindInteger(1, 50); // the statement runs again after a failure
    again.execute();
    EXPECT_EQ(db->openResultTable(QStringLiteral("SELECT count(*) FROM pairs WHERE k = 50"))->fieldInteger(0), 1);
    const QString unknownTable = failure([&] { SqlStatement bad(*db, QStringLiteral("INSERT INTO nowhere VALUES (?)")); });
    EXPECT_EQ(unknownTable,
              failure([&] { db->executeStatement(QStringLiteral("INSERT INTO nowhere VALUES (?)"), {1}); }));
    EXPECT_TRUE(unknownTable.contains(QStringLiteral("no such table: nowhere"))) << unknownTable.toStdString();
}
