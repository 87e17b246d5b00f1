#pragma once

#include "db/core/partial_result.h"
#include "stats/core/text_table.h"

#include <QDate>
#include <QDateTime>
#include <QString>
#include <QStringList>

#include <optional>
#include <vector>

class TSQLiteDatabase;

// The aggregate of a day's or a week's trades. Every number of a trade is
// read from its stored text with a decimal comma.
struct PeriodTotals {
    int n = 0;            // trades
    int wins = 0;         // trades with a profit above 0
    int losses = 0;       // trades with a profit below 0
    double sumPos = 0;    // sum of the wins
    double maxPos = 0;    // largest win, 0 without wins
    double sumNeg = 0;    // sum of the losses (0 or negative)
    double minNeg = 0;    // largest loss, 0 without losses
    double commission = 0; // sum of the trades' commissions
    double swap = 0;       // sum of the trades' swaps
    double taxes = 0;      // sum of the trades' taxes
    qint64 nedobralSum = 0; // points left on the table, whole numbers
    int ratingPoints = 0;   // 10 per "Отлично", 3 per "Плохо"
    int longestLosingRun = 0;  // losing trades in a row, in time order
    int longestWinningRun = 0; // winning trades in a row, in time order
    int unreadable = 0;        // trades left out: a number of theirs does not read

    // The net results together (profits, commissions, taxes and swaps): what
    // the period's trades added to the balance.
    double total() const { return sumPos + sumNeg + commission + swap + taxes; }
};

// What the view needs of a listed day or week besides its texts.
struct PeriodRowInfo {
    QDate date;                 // the day, or the Monday of the week
    std::optional<double> band; // the number in column 5 that picks the row's fill
};

// The rows of the day or the week table: the texts of the listed days or
// weeks in date order (the grid's empty last row is the view's), and per
// row what the drawing rules need. A build that stopped part way keeps the
// rows before the failure and says why in problem.
struct PeriodTable : PartialResult {
    TextTable texts;
    std::vector<PeriodRowInfo> rows;
};

// The fill of a row by the number in its column 5 ("Итого %" of a day,
// "Итого" of a week): above 5, between 0 and 5, between -5 and 0, below -5;
// exactly 5, 0 or -5 keeps the grid's own colour.
enum class PeriodBand { None, LargeGain, Gain, Loss, LargeLoss };
PeriodBand periodBand(double value);

const QStringList& dayTableHeaders();  // 20 columns
const QStringList& weekTableHeaders(); // 21 columns

// The columns of the two tables by name, in the order of their headers.
namespace daycol {
enum : int {
    Number, Date, Weekday, Trades, Total, TotalPercent, Balance, BalanceNoCommission, Wins, SumPos, Losses, SumNeg,
    WinShare, MaxPos, MinNeg, Nedobral, Rating, Comment, Analize, Key, Count
};
}
namespace weekcol {
enum : int {
    Number, Week, Growth, Trades, WinPercent, Total, Balance, BalanceNoCommission, AverageWin, Wins, SumPos, Losses,
    SumNeg, WinLossRatio, MaxPos, MinNeg, AveragePos, AverageNeg, LosingRun, WinningRun, Key, Count
};
}

// The column holding the short date dd.mm.yyyy of a day row (the key of its
// note) and of a week row (its Monday).
inline constexpr int kDayDateColumn = 19;
inline constexpr int kWeekDateColumn = 20;
static_assert(kDayDateColumn == daycol::Key && daycol::Count == 20);
static_assert(kWeekDateColumn == weekcol::Key && weekcol::Count == 21);

// from, to: the values of the two pickers, date and time. initialBalance:
// the starting balance as the trader typed it (decimal comma; empty is 0).
// The day table also carries each day's note of the account.
PeriodTable buildDayTable(TSQLiteDatabase& db, const QString& account, const QDateTime& from, const QDateTime& to,
                          const QString& initialBalance);
PeriodTable buildWeekTable(TSQLiteDatabase& db, const QString& account, const QDateTime& from, const QDateTime& to,
                           const QString& initialBalance);

// Both tables of the page for the same pickers, from one reading of the
// trades (the week table's range holds the day table's): what
// "Сформировать" shows, at the cost of one query instead of two. Each table
// is what its own builder above would give.
struct PeriodTables {
    PeriodTable weeks;
    PeriodTable days;
};
PeriodTables buildPeriodTables(TSQLiteDatabase& db, const QString& account, const QDateTime& from,
                               const QDateTime& to, const QString& initialBalance);
