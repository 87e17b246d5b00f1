#pragma once

#include <QString>

// Makes a new database file from the schema text (statements separated by
// ";"), in one transaction. Used by the build tool that lays out the program
// folder and by tests; the program itself never creates tables.
void createDatabaseFromSchema(const QString& path, const QString& schemaSql);
