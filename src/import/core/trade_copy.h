#pragma once

#include "db/core/cash_store.h"
#include "db/core/partial_result.h"
#include "import/core/statement_row.h"

#include <QString>
#include <QStringList>

#include <functional>
#include <map>
#include <vector>

class TSQLiteDatabase;
struct StatementFacts;

// The problem, when there is one, is the database's message of the row that
// failed; the rows before it are stored.
struct CopyOutcome : PartialResult {
    int inserted = 0; // statement rows stored as new trades
    int updated = 0;  // statement rows that updated known trades
    int cashAdded = 0; // cash movements new to the account
    // The currency the account took from the statement; empty when it
    // already had one, or the statement names none.
    QString currencySet;
    // Picture files of moved trades that could not be renamed.
    QStringList pictureProblems;
    // Trades that moved here from other accounts: account id -> count.
    std::map<QString, int> movedFrom;
};

// Stores statement rows in t_sdelki for an account, in one transaction.
// A row updates the stored trades it stands for, replacing their prices,
// times and results and keeping their annotations:
// - every trade of the account with its ticket (a trade made by hand with
//   that ticket receives its prices this way);
// - every trade of another account with its ticket, symbol and open time;
//   it moves to the account. The same ticket with another symbol or open
//   time is another broker's trade and is left alone, and so is a trade
//   made by hand there (it has no symbol);
// - failing both, one trade of the account that an older import read from
//   the closing deal of this MetaTrader 5 position (CloseTime "0", OpenTime
//   the row's close time, the same symbol and volume); it takes the
//   position's number as its ticket. Each such trade is taken once.
// Any other row is inserted.
// Rows without a ticket (or the header text "Ticket") are skipped. After the
// commit, the picture files of trades that moved from another account
// (<account>_<trade>_*.pat in imgDir) are renamed to the new account.
// `advance` is called once per copied row.
//
// In the same transaction the statement's cash movements are stored with
// the account (one already there with the same ticket is updated, so a
// statement copied twice counts once), and an account without a currency
// takes the statement's.
struct StatementMoney {
    std::vector<CashMovement> cash;
    QString currency; // three letters, or empty when the statement names none
};
CopyOutcome copyTrades(TSQLiteDatabase& db, const QString& account, const std::vector<StatementRow>& rows,
                       const QString& imgDir, const std::function<void()>& advance = {},
                       const StatementMoney& money = {});
// The trades of the statement that are stored in other accounts and that a
// copy into `account` would move there (the same ticket, symbol and open
// time): account id -> count. Throws ESQLiteException.
std::map<QString, int> tradesInOtherAccounts(TSQLiteDatabase& db, const QString& account,
                                             const std::vector<StatementRow>& rows);

// "из счета «A»: 3, из счета «B» (id 7): 1" for trades of other accounts;
// accountName gives an account's name by its id (empty when unknown).
QString otherAccountsText(const std::map<QString, int>& counts,
                          const std::function<QString(const QString&)>& accountName);

// The cash movements and the currency a statement brings to its account.
StatementMoney statementMoney(const StatementFacts& facts);

// Renames the picture files of one trade from one account to another;
// returns the files that could not be renamed.
QStringList movePictureFiles(const QString& imgDir, const QString& tradeId, const QString& fromAccount,
                             const QString& toAccount);
