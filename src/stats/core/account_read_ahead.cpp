#include "stats/core/account_read_ahead.h"

#include "stats/core/account_trades.h"

#include <QFileInfo>

AccountReadAhead::AccountReadAhead(TSQLiteDatabase& db, QObject* parent)
    : QObject(parent)
    , m_db(db)
{
}

AccountReadAhead::~AccountReadAhead() = default;

bool AccountReadAhead::startIfLarge(const QString& account, qint64 fromTrades)
{
    if (m_reading.running() && account == m_account)
        return true;
    try {
        // An account that was large when last read is read ahead without
        // counting it on the window's thread first.
        if (AccountTrades::isKept(m_db, account))
            return false;
        const std::optional<qint64> last = AccountTrades::lastCount(m_db, account);
        if (!(last && *last >= fromTrades) && AccountTrades::countOf(m_db, account) < fromTrades)
            return false;
    } catch (const ESQLiteException&) {
        return false; // the usual reading says why
    }
    return start(account);
}

bool AccountReadAhead::start(const QString& account)
{
    m_reading.stop();
    if (!m_db.isOpen() || !QFileInfo(m_db.path()).isFile())
        return false;
    try {
        m_stamp = m_db.dataStamp();
    } catch (const ESQLiteException&) {
        return false;
    }
    m_account = account;
    auto trades = std::make_shared<std::shared_ptr<AccountTrades>>();
    m_reading.start(
        m_db.path(), this,
        [trades, account](TSQLiteDatabase& connection) { *trades = std::make_shared<AccountTrades>(connection, account); },
        [this, trades](bool) { onRead(*trades); });
    return true;
}

void AccountReadAhead::onRead(const std::shared_ptr<AccountTrades>& trades)
{
    bool kept = false;
    try {
        if (trades && m_db.dataStamp() == m_stamp) {
            AccountTrades::keep(m_db, m_account, m_stamp, trades);
            kept = true;
        }
    } catch (const ESQLiteException&) {
    }
    emit finished(m_account, kept);
}
