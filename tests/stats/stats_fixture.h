#pragma once

#include "context/core/journal.h"
#include "temp_journal.h"

#include <QString>
#include <QVariant>

#include <memory>

// One trade to insert: only the columns the statistics read; the rest
// keep their defaults. A null profit2 is a trade created by hand.
struct TradeRow {
    QString openTime = QStringLiteral("2013.05.21 10:15");
    QString profit = QStringLiteral("0,0");
    QVariant profit2; // REAL, as the import stores it
    QVariant commission = 0.0;
    QString swap = QStringLiteral("0");
    QString taxes = QStringLiteral("0"); // as the statement wrote it
    QString chet = QStringLiteral("1");
    QString ticket;
    QString comment;
    QString ocenka;
    QString taktika;
};

// A program folder with an account (id 1, "Основной", capital 1000) and a
// journal whose active account and initial balance are that account's.
class StatsFixture {
public:
    StatsFixture();
    Journal& journal() { return *m_journal; }
    TSQLiteDatabase& db() { return m_journal->db(); }
    // Inserts a trade and returns its id.
    QString insert(const TradeRow& row);
    // A trade whose profit is both the text and the sort key.
    QString insertProfit(double profit, const QString& openTime);
    // A cash movement of account 1 ("balance" counts in the balance).
    void insertCash(const QString& time, double amount, const QString& type = QStringLiteral("balance"));

private:
    TempAppDir m_dir;
    std::unique_ptr<Journal> m_journal;
};
