#pragma once

#include "accounts/core/balance_curve.h"
#include "db/core/records.h"

#include <QString>
#include <QStringList>

#include <optional>
#include <vector>

class TSQLiteDatabase;

// All reading and writing of accounts. Every value is bound, so a name or a
// description may hold any character, double quotes included. Database
// failures are raised as ESQLiteException; the caller reports them.
class AccountStore {
public:
    // pictureDir: the folder of the trade pictures (<account id>_*.pat).
    AccountStore(TSQLiteDatabase& db, QString pictureDir);

    // Every account, in the order the database returns them.
    std::vector<AccountRecord> listAccounts();
    std::optional<AccountRecord> findAccount(const QString& id);
    // Stores a new account from the typed texts (the id is ignored) and
    // returns its id as decimal text.
    QString addAccount(const AccountRecord& account);
    // Rewrites the account's texts; false when the account no longer exists.
    bool updateAccount(const AccountRecord& account);
    // Sets the capital alone (a whole number); false when the account no longer exists.
    bool setCapital(const QString& id, qint64 capital);
    // Removes the account, its trades, its day notes and its cash movements in one transaction
    // (all or nothing); only after that succeeds are its picture files
    // removed. Returns the picture files that could not be removed.
    QStringList deleteAccount(const QString& id);

    // The money of the account's trades, oldest trade first.
    std::vector<BalanceStep> balanceSteps(const QString& id);
    // How many trades the account has.
    int tradeCount(const QString& id);
    // The account's balance curve (see buildBalanceCurve) read row by row
    // in the order of balanceSteps, with no step kept: each trade's texts
    // are read into buffers that the next trade reuses. trades: how many
    // trades the account has, drawn or not. The starting balance and the
    // cash movements are as for buildBalanceCurve.
    struct Curve {
        BalanceCurve curve;
        int trades = 0;
    };
    Curve balanceCurve(const QString& id, const QString& initialBalance, const std::vector<CashMovement>& cash);
    // The picture files of one account: names beginning with the id and "_"
    // and ending in ".pat".
    QStringList pictureFiles(const QString& id) const;

private:
    TSQLiteDatabase& m_db;
    QString m_pictureDir;
};
