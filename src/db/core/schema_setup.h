#pragma once

#include <QString>

class TSQLiteDatabase;

// The version of the journal's tables this program reads and writes, kept in
// the database's user_version. Version 0 is the supplied file of four tables;
// version 1 adds the account's currency (t_chet.chet_valuta) and the cash
// movements (t_kassa); version 2 adds the index of an account's trades by
// open time (t_sdelki_chet_opentime), which the readings of an account and
// of a period use. Every change only adds, so the Windows program keeps
// reading and writing an upgraded file.
inline constexpr int kJournalSchemaVersion = 2;

// Brings a journal database up to kJournalSchemaVersion, each version in one
// transaction (all or nothing); a current one is left untouched. Throws
// ESQLiteException when a statement of version 1 fails (a locked or
// read-only file, a missing table). The index of version 2 only makes
// reading faster: a file that cannot take it stays at version 1 and is read
// as before.
void upgradeJournalSchema(TSQLiteDatabase& db);
int journalSchemaVersion(TSQLiteDatabase& db);

// Makes a new database file from the schema text (statements separated by
// ";"), in one transaction, and upgrades it unless told not to (tests of the
// upgrade keep the first schema). Used by the build tool that lays out the
// program folder and by tests; the program itself never creates the tables
// of the first schema.
void createDatabaseFromSchema(const QString& path, const QString& schemaSql, bool upgrade = true);
