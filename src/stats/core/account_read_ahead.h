#pragma once

#include "db/core/connection_thread.h"
#include "db/core/sqlite_database.h"

#include <QObject>
#include <QString>

#include <memory>

class AccountTrades;

// Reads an account's digest (AccountTrades) on a thread of its own, over a
// connection of its own to the same file, so that the window answers while
// a large account is read. The digest is then kept for AccountTrades::read()
// over the window's connection, unless the journal changed meanwhile.
class AccountReadAhead : public QObject {
    Q_OBJECT
public:
    explicit AccountReadAhead(TSQLiteDatabase& db, QObject* parent = nullptr);
    // Stops a reading in progress and waits for it.
    ~AccountReadAhead() override;

    // Reads the account here when it holds at least fromTrades trades and
    // its digest is not kept: true while that reading (started now or
    // before) runs. A reading of another account in progress is stopped.
    // False when the account is read the usual way (small, kept, or the
    // file cannot be read here).
    bool startIfLarge(const QString& account, qint64 fromTrades);

signals:
    // On the thread of this object, once per reading: kept tells whether
    // the digest is now kept (false: the journal changed meanwhile or the
    // reading failed; the usual reading then says why).
    void finished(const QString& account, bool kept);

private:
    bool start(const QString& account);
    void onRead(const std::shared_ptr<AccountTrades>& trades);

    TSQLiteDatabase& m_db;
    QString m_account;
    DataStamp m_stamp;
    ConnectionThread m_reading;
};
