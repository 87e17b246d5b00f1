#include "db/core/schema_setup.h"

#include "db/core/columns.h"
#include "db/core/sqlite_database.h"

#include <QStringList>

namespace {

bool hasColumn(TSQLiteDatabase& db, QLatin1StringView table, QLatin1StringView column)
{
    auto info = db.openResultTable(QStringLiteral("SELECT name FROM pragma_table_info(?) WHERE name = ? COLLATE NOCASE"),
                                   {QString(table), QString(column)});
    return info->rowCount() > 0;
}

// Version 1: the account's currency and its cash movements.
void addCurrencyAndCash(TSQLiteDatabase& db)
{
    // A file that already has the column (an upgrade that was interrupted
    // after the column but before the version, or a copy made by hand)
    // only gains what is missing.
    if (!hasColumn(db, t_chet::table, t_chet::name(t_chet::Currency)))
        db.executeStatement(QStringLiteral("ALTER TABLE %1 ADD COLUMN %2 TEXT DEFAULT ''")
                                .arg(t_chet::table, t_chet::name(t_chet::Currency)));
    using namespace t_kassa;
    db.executeStatement(QStringLiteral("CREATE TABLE IF NOT EXISTS %1 (%2 INTEGER PRIMARY KEY AUTOINCREMENT, "
                                       "%3 TEXT, %4 TEXT, %5 TEXT, %6 TEXT, %7 TEXT, %8 REAL)")
                            .arg(t_kassa::table, name(Id), name(Chet), name(Ticket), name(Time), name(Type),
                                 name(Comment), name(Amount)));
    db.executeStatement(QStringLiteral("CREATE INDEX IF NOT EXISTS t_kassa_chet ON %1 (%2)").arg(t_kassa::table, name(Chet)));
}

// Version 2: the index by which an account's trades and the trades of a
// period are found without reading every trade of the journal.
void addTradeIndex(TSQLiteDatabase& db)
{
    using namespace t_sdelki;
    db.executeStatement(QStringLiteral("CREATE INDEX IF NOT EXISTS t_sdelki_chet_opentime ON %1 (%2, %3)")
                            .arg(t_sdelki::table, name(Chet), name(OpenTime)));
}

} // namespace

int journalSchemaVersion(TSQLiteDatabase& db)
{
    auto version = db.openResultTable(QStringLiteral("PRAGMA user_version"));
    return version->atEnd() ? 0 : static_cast<int>(version->fieldInteger(0));
}

void upgradeJournalSchema(TSQLiteDatabase& db)
{
    const int version = journalSchemaVersion(db);
    if (version >= kJournalSchemaVersion)
        return;
    if (version < 1) {
        SqlTransaction tx(db);
        addCurrencyAndCash(db);
        db.executeStatement(QStringLiteral("PRAGMA user_version = 1"));
        tx.commit();
    }
    try {
        SqlTransaction tx(db);
        addTradeIndex(db);
        db.executeStatement(QStringLiteral("PRAGMA user_version = 2"));
        tx.commit();
    } catch (const EDatabaseBusy&) {
        // Another program holds the file: the index is added next time.
    } catch (const ESQLiteException&) {
        // A file that cannot be written (read-only, a full disk) is read
        // without the index.
    }
}

void createDatabaseFromSchema(const QString& path, const QString& schemaSql, bool upgrade)
{
    TSQLiteDatabase db(path);
    {
        SqlTransaction tx(db);
        const QStringList statements = schemaSql.split(QLatin1Char(';'));
        for (const QString& statement : statements) {
            if (!statement.trimmed().isEmpty())
                db.executeStatement(statement.trimmed());
        }
        tx.commit();
    }
    if (upgrade)
        upgradeJournalSchema(db);
}
