#pragma once

#include "db/core/sqlite_database.h"

#include <QFile>

// Fills a journal database with `trades` trades of account `account`, so
// that its tables span many pages.
inline void fillTrades(TSQLiteDatabase& db, int trades, const QString& account = QStringLiteral("1"), int firstTicket = 1)
{
    SqlTransaction t(db);
    for (int i = 0; i < trades; ++i)
        db.executeStatement(QStringLiteral("INSERT INTO t_sdelki (chet, Ticket, Item, comment) VALUES (?, ?, ?, ?)"),
                            {account, firstTicket + i, QStringLiteral("eurusd"), QString(40, u'к')});
    t.commit();
}

// Overwrites the cell pointers of every page after the first, as a disk
// that lost writes would: the file still opens, its b-trees are broken.
inline void damageDatabase(const QString& path)
{
    QFile f(path);
    if (!f.open(QIODevice::ReadWrite))
        return;
    const qint64 pageSize = 4096;
    for (qint64 page = 1; page * pageSize < f.size(); ++page) {
        f.seek(page * pageSize + 8);
        f.write(QByteArray(64, '\xFF'));
    }
}
