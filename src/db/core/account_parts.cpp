#include "db/core/account_parts.h"

#include "db/core/columns.h"
#include "db/core/sqlite_database.h"

#include <QFileInfo>

#include <algorithm>
#include <atomic>
#include <exception>
#include <memory>
#include <thread>
#include <vector>

namespace account_parts {

namespace {

std::atomic<qint64> g_from{20000};

// The open time at a place in the account's index (NULLs left out): where
// a part starts. A scalar subquery, so that SQLite uses it as the bound of
// the index range it walks.
QString boundary(int offsetParameter)
{
    return QStringLiteral("(SELECT %1 FROM %2 WHERE %3=?1 AND %1 IS NOT NULL ORDER BY %1 LIMIT 1 OFFSET ?%4)")
        .arg(t_sdelki::name(t_sdelki::OpenTime), t_sdelki::table, t_sdelki::name(t_sdelki::Chet))
        .arg(offsetParameter);
}

} // namespace

qint64 from() { return g_from.load(); }
void setFrom(qint64 trades) { g_from.store(trades); }

int partsFor(qint64 trades)
{
    if (trades < from())
        return 1;
    const unsigned cores = std::thread::hardware_concurrency();
    return static_cast<int>(std::clamp(cores, 1u, 4u));
}

bool read(TSQLiteDatabase& db, const QString& columns, const QString& account, qint64 trades, int parts,
          const std::function<void(int part, const SqlRow& row)>& onRow)
{
    if (parts < 2 || trades < parts || !db.isOpen() || db.inTransaction() || !QFileInfo(db.path()).isFile())
        return false;
    const DataStamp before = db.dataStamp();
    std::vector<std::unique_ptr<TSQLiteDatabase>> connections(static_cast<size_t>(parts));
    try {
        for (int k = 1; k < parts; ++k)
            connections[static_cast<size_t>(k)] = std::make_unique<TSQLiteDatabase>(db.path());
    } catch (const ESQLiteException&) {
        return false;
    }

    const QString select = QStringLiteral("SELECT %1 FROM %2 WHERE %3=?1")
                               .arg(columns, t_sdelki::table, t_sdelki::name(t_sdelki::Chet));
    const QString openTime = t_sdelki::name(t_sdelki::OpenTime);
    // Part k holds the open times from the boundary at k/parts of the
    // account up to the next one.
    auto offset = [&](int k) { return QVariant(trades * k / parts); };
    std::vector<qint64> rows(static_cast<size_t>(parts), 0);
    std::vector<std::exception_ptr> failures(static_cast<size_t>(parts));

    auto readPart = [&](int k) {
        TSQLiteDatabase& connection = k == 0 ? db : *connections[static_cast<size_t>(k)];
        // Counted on this thread's stack: the parts' counters side by side
        // would take the cache line from each other at every row.
        qint64 count = 0;
        auto each = [&](const SqlRow& row) {
            ++count;
            onRow(k, row);
        };
        if (k == 0) {
            connection.readRows(select + QStringLiteral(" AND %1 IS NULL").arg(openTime), {account}, each);
            connection.readRows(select + QStringLiteral(" AND %1 < %2").arg(openTime, boundary(2)),
                                {account, offset(1)}, each);
        } else if (k == parts - 1) {
            connection.readRows(select + QStringLiteral(" AND %1 >= %2").arg(openTime, boundary(2)),
                                {account, offset(k)}, each);
        } else {
            connection.readRows(select + QStringLiteral(" AND %1 >= %2 AND %1 < %3").arg(openTime, boundary(2), boundary(3)),
                                {account, offset(k), offset(k + 1)}, each);
        }
        rows[static_cast<size_t>(k)] = count;
    };

    std::vector<std::thread> threads;
    threads.reserve(static_cast<size_t>(parts - 1));
    for (int k = 1; k < parts; ++k) {
        threads.emplace_back([&, k] {
            try {
                readPart(k);
            } catch (...) {
                failures[static_cast<size_t>(k)] = std::current_exception();
            }
        });
    }
    try {
        readPart(0);
    } catch (...) {
        failures[0] = std::current_exception();
        for (int k = 1; k < parts; ++k)
            connections[static_cast<size_t>(k)]->interrupt();
    }
    for (std::thread& t : threads)
        t.join();
    for (const std::exception_ptr& failure : failures) {
        if (failure)
            std::rethrow_exception(failure);
    }
    // A change made by another connection meanwhile (the parts may then
    // show the account at different moments), or a last part without rows:
    // its boundary was past the account's open times (the count was more
    // than the trades), so that the parts before it missed rows too. The
    // boundaries rise with their places, so a last part that has rows
    // means that every boundary is an open time of the account, and the
    // parts of one moment then hold every trade once. The caller reads
    // again in one statement.
    return rows.back() > 0 && db.dataStamp() == before;
}

} // namespace account_parts
