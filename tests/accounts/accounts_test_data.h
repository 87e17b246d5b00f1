#pragma once

#include "db/core/records.h"

#include <QString>

class TSQLiteDatabase;

// Rows written straight into the test database.
QString insertAccount(TSQLiteDatabase& db, const QString& name, const QString& type = QStringLiteral("демо"),
                      const QString& state = QStringLiteral("открыт"), const QString& capital = QStringLiteral("1000"));
void insertTrade(TSQLiteDatabase& db, const QString& account, const QString& openTime, const QString& profit);
void insertDayNote(TSQLiteDatabase& db, const QString& account, const QString& day);
int countRows(TSQLiteDatabase& db, const QString& table, const QString& account);
// Makes every statement of the given kind on a table fail, as a broken or
// locked database would.
void failOn(TSQLiteDatabase& db, const QString& event, const QString& table);
