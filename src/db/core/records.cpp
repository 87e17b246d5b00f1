#include "db/core/records.h"

#include "db/core/sqlite_database.h"

namespace {

// The field of a record that holds each column, in the order of the columns.
constexpr QString AccountRecord::* kAccountFields[t_chet::ColumnCount] = {
    &AccountRecord::id,      &AccountRecord::name,  &AccountRecord::type,       &AccountRecord::broker,
    &AccountRecord::capital, &AccountRecord::state, &AccountRecord::description, &AccountRecord::currency};

} // namespace

AccountColumns::AccountColumns(const TSQLiteTable& table)
{
    for (int i = 0; i < t_chet::ColumnCount; ++i)
        m_cols[i] = table.columnIndex(t_chet::names[i]);
}

AccountRecord AccountColumns::read(const TSQLiteTable& table) const
{
    AccountRecord r;
    for (int i = 0; i < t_chet::ColumnCount; ++i) {
        if (m_cols[i] >= 0)
            r.*kAccountFields[i] = table.fieldTextOf(m_cols[i]);
    }
    return r;
}
