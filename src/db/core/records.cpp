#include "db/core/records.h"

#include "db/core/sqlite_database.h"

namespace {

const char* const kAccountNames[7] = {"id", "chet_name", "chet_type", "chet_broker", "chet_kapital", "chet_sost", "chet_opis"};
QString AccountRecord::* const kAccountFields[7] = {&AccountRecord::id, &AccountRecord::name, &AccountRecord::type,
                                                     &AccountRecord::broker, &AccountRecord::capital,
                                                     &AccountRecord::state, &AccountRecord::description};

const char* const kTradeNames[33] = {
    "id", "chet", "Ticket", "OpenTime", "Type", "Size", "Item", "PriceOpen", "sl", "tp", "CloseTime",
    "PriceClose", "Commission", "Taxes", "Swap", "Profit", "Profit2", "comment", "enter", "exit", "taktika",
    "pravilo2", "strategia", "verno", "pravilo", "Psixo", "ocenka", "Nedobral", "Spas", "plan", "img_left",
    "img_top", "t_tree"};
QString TradeRecord::* const kTradeFields[32] = {
    &TradeRecord::id, &TradeRecord::chet, &TradeRecord::ticket, &TradeRecord::openTime, &TradeRecord::type,
    &TradeRecord::size, &TradeRecord::item, &TradeRecord::priceOpen, &TradeRecord::sl, &TradeRecord::tp,
    &TradeRecord::closeTime, &TradeRecord::priceClose, &TradeRecord::commission, &TradeRecord::taxes,
    &TradeRecord::swap, &TradeRecord::profit, &TradeRecord::profit2, &TradeRecord::comment, &TradeRecord::enter,
    &TradeRecord::exit, &TradeRecord::taktika, &TradeRecord::pravilo2, &TradeRecord::strategia,
    &TradeRecord::verno, &TradeRecord::pravilo, &TradeRecord::psixo, &TradeRecord::ocenka, &TradeRecord::nedobral,
    &TradeRecord::spas, &TradeRecord::plan, &TradeRecord::imgLeft, &TradeRecord::imgTop};

} // namespace

AccountColumns::AccountColumns(const TSQLiteTable& table)
{
    for (int i = 0; i < 7; ++i)
        m_cols[i] = table.columnIndex(QLatin1String(kAccountNames[i]));
}

AccountRecord AccountColumns::read(const TSQLiteTable& table) const
{
    AccountRecord r;
    for (int i = 0; i < 7; ++i) {
        if (m_cols[i] >= 0)
            r.*kAccountFields[i] = table.fieldTextOf(m_cols[i]);
    }
    return r;
}

TradeColumns::TradeColumns(const TSQLiteTable& table)
{
    for (int i = 0; i < 33; ++i)
        m_cols[i] = table.columnIndex(QLatin1String(kTradeNames[i]));
}

TradeRecord TradeColumns::read(const TSQLiteTable& table) const
{
    TradeRecord r;
    for (int i = 0; i < 32; ++i) { // the picture list blob is read on its own
        if (m_cols[i] >= 0)
            r.*kTradeFields[i] = table.fieldTextOf(m_cols[i]);
    }
    return r;
}
