#pragma once

#include <QByteArray>
#include <QHash>

// The declared type of each column as written in a CREATE TABLE statement,
// keyed by the upper-cased column name. SQLite reports standard type names
// (integer, real, text, blob, ...) upper-cased since version 3.37, but the
// column kind depends on the exact spelling, so the layer reads it from the
// statement text kept in sqlite_master.
QHash<QByteArray, QByteArray> parseDeclaredTypes(const QByteArray& createTableSql);
