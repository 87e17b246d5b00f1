#pragma once

#include "db/core/sqlite_database.h"

#include <QObject>
#include <QString>

#include <memory>
#include <mutex>

class AccountTrades;
class QThread;

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

    // Starts reading the account; a reading of another account in progress
    // is stopped first, one of the same account goes on. False when no
    // reading can start (the connection has no file).
    bool start(const QString& account);
    bool running() const { return m_thread != nullptr; }
    const QString& account() const { return m_account; }

signals:
    // On the thread of this object, once per reading: kept tells whether
    // the digest is now kept (false: the journal changed meanwhile or the
    // reading failed; the usual reading then says why).
    void finished(const QString& account, bool kept);

private:
    void stop();
    void onRead(quint64 reading);

    TSQLiteDatabase& m_db;
    QThread* m_thread = nullptr;
    QString m_account;
    quint64 m_readings = 0; // the number of the latest reading started
    DataStamp m_stamp;
    std::mutex m_mutex; // guards m_reading
    TSQLiteDatabase* m_reading = nullptr; // the thread's connection while it reads
    std::shared_ptr<AccountTrades> m_result;
};
