#include "stats/core/account_read_ahead.h"

#include "stats/core/account_trades.h"

#include <QFileInfo>
#include <QThread>

AccountReadAhead::AccountReadAhead(TSQLiteDatabase& db, QObject* parent)
    : QObject(parent)
    , m_db(db)
{
}

AccountReadAhead::~AccountReadAhead() { stop(); }

void AccountReadAhead::stop()
{
    if (!m_thread)
        return;
    {
        const std::lock_guard lock(m_mutex);
        if (m_reading)
            m_reading->interrupt();
    }
    m_thread->wait();
    delete m_thread;
    m_thread = nullptr;
    m_result.reset();
}

bool AccountReadAhead::startIfLarge(const QString& account, qint64 fromTrades)
{
    if (m_thread && account == m_account)
        return true;
    try {
        if (AccountTrades::isKept(m_db, account) || AccountTrades::countOf(m_db, account) < fromTrades)
            return false;
    } catch (const ESQLiteException&) {
        return false; // the usual reading says why
    }
    return start(account);
}

bool AccountReadAhead::start(const QString& account)
{
    stop();
    if (!m_db.isOpen() || !QFileInfo(m_db.path()).isFile())
        return false;
    try {
        m_stamp = m_db.dataStamp();
    } catch (const ESQLiteException&) {
        return false;
    }
    m_account = account;
    const quint64 reading = ++m_readings;
    m_thread = QThread::create([this, path = m_db.path(), account, reading] {
        std::shared_ptr<AccountTrades> trades;
        try {
            TSQLiteDatabase connection(path);
            {
                const std::lock_guard lock(m_mutex);
                m_reading = &connection;
            }
            try {
                trades = std::make_shared<AccountTrades>(connection, account);
            } catch (const ESQLiteException&) {
            }
            const std::lock_guard lock(m_mutex);
            m_reading = nullptr;
        } catch (const ESQLiteException&) {
        }
        m_result = std::move(trades);
        QMetaObject::invokeMethod(this, [this, reading] { onRead(reading); }, Qt::QueuedConnection);
    });
    m_thread->start();
    return true;
}

void AccountReadAhead::onRead(quint64 reading)
{
    if (!m_thread || reading != m_readings)
        return; // a reading stopped before its end was told
    m_thread->wait();
    delete m_thread;
    m_thread = nullptr;
    bool kept = false;
    try {
        if (m_result && m_db.dataStamp() == m_stamp) {
            AccountTrades::keep(m_db, m_account, m_stamp, std::move(m_result));
            kept = true;
        }
    } catch (const ESQLiteException&) {
    }
    m_result.reset();
    emit finished(m_account, kept);
}
