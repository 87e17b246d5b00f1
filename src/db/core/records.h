#pragma once

#include <QString>

class TSQLiteTable;

// Rows of the four journal tables, every value as the text fieldText gives
// (numbers with a decimal comma, absent integers "0").

struct AccountRecord { // t_chet
    QString id, name, type, broker, capital, state, description;
};

struct TradeRecord { // t_sdelki
    QString id, chet, ticket, openTime, type, size, item, priceOpen, sl, tp, closeTime, priceClose;
    QString commission, taxes, swap, profit, profit2;
    QString comment, enter, exit, taktika, pravilo2, strategia, verno, pravilo, psixo, ocenka;
    QString nedobral, spas, plan, imgLeft, imgTop;
};

struct DayNote { // t_days
    QString id, day, comment, analize, chet;
};

struct NotebookEntry { // t_zametki (blobs are read on their own)
    QString name;
};

// Reads records from a result table; the columns are looked up once, so a
// loop over many rows does not search names per cell. Columns the query did
// not select stay empty.
class AccountColumns {
public:
    explicit AccountColumns(const TSQLiteTable& table);
    AccountRecord read(const TSQLiteTable& table) const;

private:
    int m_cols[7];
};

class TradeColumns {
public:
    explicit TradeColumns(const TSQLiteTable& table);
    TradeRecord read(const TSQLiteTable& table) const;

private:
    int m_cols[33];
};
