#include "accounts_test_data.h"

#include "db/core/sqlite_database.h"

QString insertAccount(TSQLiteDatabase& db, const QString& name, const QString& type, const QString& state,
                      const QString& capital)
{
    db.executeStatement(QStringLiteral("INSERT INTO t_chet (chet_name,chet_type,chet_broker,chet_kapital,chet_sost,"
                                       "chet_opis) VALUES (?,?,?,?,?,?)"),
                        {name, type, QStringLiteral("Брокер ") + name, capital, state, QStringLiteral("Описание")});
    return QString::number(db.lastInsertId());
}

void insertTrade(TSQLiteDatabase& db, const QString& account, const QString& openTime, const QString& profit)
{
    db.executeStatement(QStringLiteral("INSERT INTO t_sdelki (chet,Ticket,OpenTime,Profit) VALUES (?,?,?,?)"),
                        {account, QStringLiteral("1"), openTime, profit});
}

void insertDayNote(TSQLiteDatabase& db, const QString& account, const QString& day)
{
    db.executeStatement(QStringLiteral("INSERT INTO t_days (Day,comment,analize,chet) VALUES (?,'c','a',?)"),
                        {day, account});
}

int countRows(TSQLiteDatabase& db, const QString& table, const QString& account)
{
    const QString column = table == QLatin1String("t_chet") ? QStringLiteral("id") : QStringLiteral("chet");
    auto result = db.openResultTable(QStringLiteral("SELECT count(*) AS n FROM %1 WHERE %2=?").arg(table, column),
                                     {account});
    return result->fieldText(QStringLiteral("n")).toInt();
}

void failOn(TSQLiteDatabase& db, const QString& event, const QString& table)
{
    db.executeStatement(QStringLiteral("CREATE TRIGGER fail_%1_%2 BEFORE %1 ON %2 BEGIN SELECT RAISE(ABORT, 'disk I/O "
                                       "error'); END")
                            .arg(event, table));
}
