#pragma once

#include <QString>

class TSQLiteDatabase;

// The version of the journal's tables this program reads and writes, kept in
// the database's user_version. Version 0 is the supplied file of four tables;
// version 1 adds the account's currency (t_chet.chet_valuta) and the cash
// movements (t_kassa). Every change only adds, so the Windows program keeps
// reading and writing an upgraded file.
inline constexpr int kJournalSchemaVersion = 1;

// Brings a journal database up to kJournalSchemaVersion in one transaction
// (all or nothing); a current one is left untouched. Throws ESQLiteException
// when a statement fails (a locked or read-only file, a missing table).
void upgradeJournalSchema(TSQLiteDatabase& db);
int journalSchemaVersion(TSQLiteDatabase& db);

// Makes a new database file from the schema text (statements separated by
// ";"), in one transaction, and upgrades it unless told not to (tests of the
// upgrade keep the first schema). Used by the build tool that lays out the
// program folder and by tests; the program itself never creates the tables
// of the first schema.
void createDatabaseFromSchema(const QString& path, const QString& schemaSql, bool upgrade = true);
