#pragma once

#include "import/core/report_file.h"
#include "import/core/statement_row.h"

#include <QByteArray>
#include <QString>

#include <optional>
#include <string_view>
#include <vector>

// One cash movement of a statement: deposit, withdrawal, credit or another
// balance operation of the broker.
struct CashRow {
    QString ticket;   // MT4 ticket / MT5 deal number, as written
    QString time;     // as written, e.g. "2020.02.06 15:56:26"
    QString kind;     // "balance" or "credit"; any other balance operation is "balance"
    QString comment;  // the row's comment, as plain text
    qint64 cents = 0; // the amount in hundredths, signed
};

// What a statement says besides its closed trades. A fact that was not
// found stays empty; nothing is guessed.
//
// Statements are written in the trader's language, so no fact is found by
// its label: the header, the cash rows and the totals are known by the
// shape of their rows and cells and by where they stand.
struct StatementFacts {
    QString account, name, currency, company; // currency: three letters A-Z, else empty
    std::vector<CashRow> cash;                // in statement order
    bool hasCashTable = false;                // the statement lists its cash movements at all
    std::optional<qint64> deposits;           // MT4 summary "Deposit/Withdrawal"; MT5 reports have none
    std::optional<qint64> credit;             // "Credit Facility"
    std::optional<qint64> closedPl;           // MT4 "Closed Trade P/L"; MT5 "Total Net Profit"
    std::optional<qint64> balance;            // "Balance"
    std::optional<qint64> grossProfit, grossLoss;
    std::optional<double> profitFactor;
    bool hasSummary() const { return closedPl.has_value() && balance.has_value(); }
};
StatementFacts readStatementFacts(const QByteArray& text, ReportKind kind);

// Money from a statement cell: an optional '-', digits with blanks (or
// &nbsp;) between groups, an optional '.' and up to two decimals. Anything
// else gives nothing.
std::optional<qint64> parseStatementCents(std::string_view cell);

// The trades and cash movements of a statement held against its own totals.
struct Reconciliation {
    int trades = 0;
    std::optional<qint64> tradesNet;      // Σ (Profit + Commission + Taxes + Swap); empty when a cell does not read
    QString unreadable;                   // the first trade cell that did not read, for the reason
    std::optional<qint64> cashTotal;      // Σ of the "balance" cash rows; empty without a cash table
    std::optional<qint64> deposits;       // the deposits the opening balance is taken with
    std::optional<qint64> closedPl;       // the statement's
    std::optional<qint64> statementDeposits; // the summary's deposit total, when it has one
    bool summary = false;                 // the statement's totals were found
    std::optional<qint64> openingBalance; // balance − deposits − closed P/L, when all are known
    bool reconciled = false;              // totals found, trades and cash match them to the cent
    QString line() const;                 // the one line of the preview
    QString reason() const;               // empty when reconciled; otherwise why, in words for the trader
};
Reconciliation reconcile(const StatementFacts& facts, const std::vector<StatementRow>& trades);

// An amount in hundredths as the trader reads it: "-1635,24".
QString centsText(qint64 cents);
// The same for a machine: "-1635.24".
QString centsPlain(qint64 cents);
