#include "db/core/schema_setup.h"

#include "db/core/sqlite_database.h"

#include <QStringList>

void createDatabaseFromSchema(const QString& path, const QString& schemaSql)
{
    TSQLiteDatabase db(path);
    SqlTransaction tx(db);
    const QStringList statements = schemaSql.split(QLatin1Char(';'));
    for (const QString& statement : statements) {
        if (!statement.trimmed().isEmpty())
            db.executeStatement(statement.trimmed());
    }
    tx.commit();
}
