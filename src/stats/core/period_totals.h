#pragma once

#include "stats/core/period_tables.h"

#include <QByteArray>
#include <QDate>
#include <QString>

#include <memory>
#include <vector>

class AccountTrades;
class TSQLiteDatabase;

// The trades of an account over consecutive periods (days or weeks), taken
// from the account's digest (AccountTrades::read) and split in memory. The periods are given by their bounds
// b0 < b1 < ... < bk: period i holds the trades opened after bi and before
// bi+1, the open time and the bound compared as texts (yyyy.mm.dd), as the
// journal compares them everywhere: a trade stamped with a bare date that is
// a bound belongs to no period.
class PeriodTrades {
public:
    // Throws ESQLiteException.
    PeriodTrades(TSQLiteDatabase& db, const QString& account, const std::vector<QDate>& bounds);
    PeriodTrades(std::shared_ptr<AccountTrades> trades, const std::vector<QDate>& bounds);
    // The trades already read for wider bounds, split by other bounds that
    // lie within them: one reading serves the week and the day table.
    PeriodTrades(const PeriodTrades& wider, const std::vector<QDate>& bounds);
    ~PeriodTrades();

    int periodCount() const { return static_cast<int>(m_periodBegin.size()) - 1; }
    bool isEmpty(int period) const { return m_periodBegin[period] == m_periodBegin[period + 1]; }
    // The open time of the earliest trade of a period that is not empty.
    QString firstOpenTime(int period) const;

    // The totals of one period, its trades taken in time order (equal times
    // by id). A trade whose number does not read is left out of them: false,
    // with the first such trade named in words for the trader.
    bool totals(int period, PeriodTotals& totals, QString& reason) const;

private:
    // timeOrder: the rows already in time order, or none to sort them.
    void group(const std::vector<QDate>& bounds, const std::vector<int>* timeOrder);

    std::shared_ptr<AccountTrades> m_trades; // shared by the splits of one reading
    std::vector<int> m_order;       // result rows in time order
    std::vector<int> m_periodBegin; // per period its first position in m_order, and the end
    QByteArray m_excellent, m_bad;  // the ratings that earn points, as stored
};

// What the trades opened before a bound (a date, compared as text with the
// open times, so a trade stamped with the bare date counts) added to the
// balance: their net results and their profits alone. A trade whose number
// does not read is left out: false, with the first such trade named. Throws
// ESQLiteException.
struct MoneyBefore {
    double net = 0;
    double profit = 0;
};
bool moneyBefore(TSQLiteDatabase& db, const QString& account, const QDate& bound, MoneyBefore& money,
                 QString& reason);
bool moneyBefore(const AccountTrades& trades, const QDate& bound, MoneyBefore& money, QString& reason);

// The bounds as the journal writes dates in trade times: 2013.07.05.
QString periodBoundText(const QDate& date);

// The whole number of days between the two pickers' values, fraction
// dropped, counted on the calendar and the clock as the pickers show them
// (a day is 24 hours also across a change of summer time).
int wholeDaysBetween(const QDateTime& from, const QDateTime& to);
