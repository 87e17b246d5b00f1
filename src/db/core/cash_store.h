#pragma once

#include <QString>

#include <vector>

class TSQLiteDatabase;

// One cash movement of an account (a row of t_kassa): a deposit, a
// withdrawal, a credit or another balance operation of the broker, as the
// statement it came from lists it.
struct CashMovement {
    QString ticket;  // the statement's ticket or deal number: the key of a re-import
    QString time;    // yyyy.mm.dd hh:mm[:ss], as trade times are written
    QString type;    // "balance" or "credit"
    QString comment;
    double amount = 0;

    // Credit is lent by the broker: it is not the trader's money and does
    // not enter the balance (the statements keep it apart too).
    bool countsInBalance() const { return type != QLatin1String("credit"); }
};

// All reading and writing of t_kassa. Values are bound; failures are raised
// as ESQLiteException.
class CashStore {
public:
    explicit CashStore(TSQLiteDatabase& db) : m_db(db) {}

    // The account's movements in time order (equal times in the order stored).
    std::vector<CashMovement> list(const QString& account);
    // Stores a movement in the account: one with the same ticket already
    // stored for the account is updated, so a statement copied twice counts
    // once; one without a ticket is always added. The caller holds the
    // transaction of a copy of several rows. Returns true when it was added.
    bool save(const QString& account, const CashMovement& movement);
    // The sum of the movements that count in the balance, up to (not
    // including) a time given as text; an empty bound takes them all.
    double balanceBefore(const QString& account, const QString& timeBound = {});

private:
    TSQLiteDatabase& m_db;
};
