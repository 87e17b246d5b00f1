#pragma once

#include <QString>

#include <functional>

class SqlRow;
class TSQLiteDatabase;

// Reading a large account's trades in parts at once, each part over its own
// connection on its own thread: SQLite reads one statement on one core, and
// taking the rows apart from the page costs as much again as the reading.
//
// The parts are ranges of the index of t_sdelki by (chet, OpenTime), taken
// in its order: part 0 holds the trades without an open time and the
// earliest ones, the last part the latest. The rows of every part come in
// the order of the index, so the parts one after the other give the rows in
// the order of "WHERE chet=? ORDER BY OpenTime, id".
namespace account_parts {

// How many parts an account of this many trades is read in: 1 (read it in
// one) below from() trades or on a single core.
int partsFor(qint64 trades);
// The size from which an account is read in parts (tests lower it).
qint64 from();
void setFrom(qint64 trades);

// Reads "SELECT <columns> FROM t_sdelki" of the account in `parts` parts,
// the boundaries placed by `trades`, the account's count (one that is out
// of date only makes the parts less even):
// onRow(part, row) is called on the part's own thread, so it must touch
// only that part's state. Part 0 is read over db on the calling thread.
// Returns false, having read nothing or only what the caller must throw
// away, when the reading cannot be shared out: db is no file, it has a
// transaction open (other connections would not see its changes), another
// connection cannot be opened, the database changed while the parts were
// read (the parts would not belong to one moment), or the account has so
// many fewer trades than `trades` that its last part is empty. The caller
// then reads the account in one statement. Throws ESQLiteException when a
// part's reading fails (the other parts are stopped first).
bool read(TSQLiteDatabase& db, const QString& columns, const QString& account, qint64 trades, int parts,
          const std::function<void(int part, const SqlRow& row)>& onRow);

} // namespace account_parts
