#pragma once

#include <QDateTime>
#include <QString>

#include <optional>

class TSQLiteDatabase;

// What the trader writes about one trade: the thirteen columns of the
// annotation dialog.
struct TradeAnnotation {
    QString ticket;    // Ticket
    QString comment;   // comment
    QString pravilo;   // technical error
    QString pravilo2;  // exit
    QString enter;     // analysis of the entry
    QString exit;      // analysis of the exit
    QString nedobral;  // points left on the table
    QString spas;      // points saved
    QString taktika;   // entry
    QString strategia; // timeframe
    QString psixo;     // psychological error
    QString ocenka;    // rating
    QString verno;     // market type
    bool operator==(const TradeAnnotation&) const = default;
};

// The prices, times and results of a trade entered by hand, in the form a
// statement's trade is stored in: times "yyyy.MM.dd hh:mm[:ss]", numbers
// with a decimal point ("1.08500", "-12.50"), the type "buy" or "sell". An
// empty text is a value the trader did not give.
struct HandTrade {
    QString symbol, type, size, openTime, closeTime, priceOpen, priceClose, sl, tp, commission, swap, profit;
    bool operator==(const HandTrade&) const = default;
};

// The open time of a trade made by hand: the saving moment plus one second,
// "yyyy.mm.dd hh:nn", so that it sorts and filters like imported times.
QString newTradeOpenTime(const QDateTime& savingMoment);

// The SQL of annotating, creating, deleting trades and of renaming a list
// entry through all trades.
class TradeJournalStore {
public:
    explicit TradeJournalStore(TSQLiteDatabase& db)
        : m_db(db)
    {
    }

    // The annotation of a trade, or nothing when the trade does not exist.
    std::optional<TradeAnnotation> load(const QString& id);
    // Rewrites all thirteen columns, empty ones included.
    void update(const QString& id, const TradeAnnotation& a);
    // A trade made by hand in the account; returns its id. Commission, swap
    // and profit are "0,0", Spas is not written.
    qint64 insertNew(const QString& account, const TradeAnnotation& a, const QDateTime& savingMoment);
    // A trade entered by hand with its prices and result: stored in the
    // columns a statement's trade fills and in their form (Commission and
    // Profit2 with a point, Swap and Profit with a comma), so the day
    // tables, reports and charts count it. Without an open time it opens at
    // newTradeOpenTime; S/L, T/P and prices not given are "0", a close
    // time not given stays empty.
    qint64 insertHandTrade(const QString& account, const TradeAnnotation& a, const HandTrade& t,
                           const QDateTime& savingMoment);
    // Deletes the trade's row only.
    void remove(const QString& id);
    // Every trade of every account whose column holds exactly the old text
    // gets the new one. The column must be one of the five list columns.
    void renameEntry(const QString& column, const QString& oldText, const QString& newText);

private:
    TSQLiteDatabase& m_db;
};
