#pragma once

#include "db/core/columns.h"

#include <QString>

class TSQLiteTable;

// One account (a row of t_chet), every value as the text fieldText gives
// (the capital as digits, absent "0").
struct AccountRecord {
    QString id, name, type, broker, capital, state, description;
    QString currency; // three letters, or empty when not known
};

// Reads records from a result table; the columns are looked up once, so a
// loop over many rows does not search names per cell. Columns the query did
// not select stay empty.
class AccountColumns {
public:
    explicit AccountColumns(const TSQLiteTable& table);
    AccountRecord read(const TSQLiteTable& table) const;

private:
    int m_cols[t_chet::ColumnCount];
};
