#pragma once

#include <QLatin1StringView>
#include <QString>

#include <array>
#include <cstddef>

// The journal tables and their columns, in the order of their CREATE TABLE
// in schema.sql. Statements are built from these names and readers find a
// column by them, so a column is spelled in this file only. SQLite matches
// names without regard to case; the spelling here is the schema's.

namespace t_chet { // one row per trading account
inline constexpr QLatin1StringView table{"t_chet"};
// Currency was added later (schema version 1); a database of the first
// schema gains it when opened.
enum Column : int { Id, Name, Type, Broker, Capital, State, Description, Currency, ColumnCount };
inline constexpr std::array<QLatin1StringView, ColumnCount> names{
    QLatin1StringView("id"),           QLatin1StringView("chet_name"), QLatin1StringView("chet_type"),
    QLatin1StringView("chet_broker"),  QLatin1StringView("chet_kapital"), QLatin1StringView("chet_sost"),
    QLatin1StringView("chet_opis"),    QLatin1StringView("chet_valuta")};
constexpr QLatin1StringView name(Column c) { return names[c]; }
} // namespace t_chet

namespace t_sdelki { // one row per trade, with the trader's annotations
inline constexpr QLatin1StringView table{"t_sdelki"};
enum Column : int {
    Id, Chet, Ticket, OpenTime, Type, Size, Item, PriceOpen, Sl, Tp, CloseTime, PriceClose, Commission, Taxes,
    Swap, Profit, Profit2, Comment, Enter, Exit, Taktika, Pravilo2, Strategia, Verno, Pravilo, Psixo, Ocenka,
    Nedobral, Spas, Plan, ImgLeft, ImgTop, TTree, ColumnCount
};
inline constexpr std::array<QLatin1StringView, ColumnCount> names{
    QLatin1StringView("id"),         QLatin1StringView("chet"),       QLatin1StringView("Ticket"),
    QLatin1StringView("OpenTime"),   QLatin1StringView("Type"),       QLatin1StringView("Size"),
    QLatin1StringView("Item"),       QLatin1StringView("PriceOpen"),  QLatin1StringView("sl"),
    QLatin1StringView("tp"),         QLatin1StringView("CloseTime"),  QLatin1StringView("PriceClose"),
    QLatin1StringView("Commission"), QLatin1StringView("Taxes"),      QLatin1StringView("Swap"),
    QLatin1StringView("Profit"),     QLatin1StringView("Profit2"),    QLatin1StringView("comment"),
    QLatin1StringView("enter"),      QLatin1StringView("exit"),       QLatin1StringView("taktika"),
    QLatin1StringView("pravilo2"),   QLatin1StringView("strategia"),  QLatin1StringView("verno"),
    QLatin1StringView("pravilo"),    QLatin1StringView("Psixo"),      QLatin1StringView("ocenka"),
    QLatin1StringView("Nedobral"),   QLatin1StringView("Spas"),       QLatin1StringView("plan"),
    QLatin1StringView("img_left"),   QLatin1StringView("img_top"),    QLatin1StringView("t_tree")};
constexpr QLatin1StringView name(Column c) { return names[c]; }
} // namespace t_sdelki

namespace t_days { // one row per account and trading day with a note
inline constexpr QLatin1StringView table{"t_days"};
enum Column : int { Id, Day, Comment, Analize, Chet, ColumnCount };
inline constexpr std::array<QLatin1StringView, ColumnCount> names{
    QLatin1StringView("id"), QLatin1StringView("Day"), QLatin1StringView("comment"), QLatin1StringView("analize"),
    QLatin1StringView("chet")};
constexpr QLatin1StringView name(Column c) { return names[c]; }
} // namespace t_days

namespace t_zametki { // one row per notebook document
inline constexpr QLatin1StringView table{"t_zametki"};
enum Column : int { SName, BZametka, BImg, ColumnCount };
inline constexpr std::array<QLatin1StringView, ColumnCount> names{
    QLatin1StringView("s_name"), QLatin1StringView("b_zametka"), QLatin1StringView("b_img")};
constexpr QLatin1StringView name(Column c) { return names[c]; }
} // namespace t_zametki

namespace t_kassa { // one row per cash movement of an account: deposit, withdrawal, credit (schema version 1)
inline constexpr QLatin1StringView table{"t_kassa"};
enum Column : int { Id, Chet, Ticket, Time, Type, Comment, Amount, ColumnCount };
inline constexpr std::array<QLatin1StringView, ColumnCount> names{
    QLatin1StringView("id"),   QLatin1StringView("chet"),    QLatin1StringView("Ticket"), QLatin1StringView("Time"),
    QLatin1StringView("Type"), QLatin1StringView("comment"), QLatin1StringView("Amount")};
constexpr QLatin1StringView name(Column c) { return names[c]; }
} // namespace t_kassa

// Pieces of statement texts made from a list of columns of one table (any
// of the enums above; `name` is found beside the enum). Values stay '?'
// parameters: only names, which come from this file, enter the text.
namespace sql {

// "a, b, c"
template <class Columns>
QString columnList(const Columns& columns, QLatin1StringView separator = QLatin1StringView(", "))
{
    QString text;
    for (const auto c : columns) {
        if (!text.isEmpty())
            text += separator;
        text += name(c);
    }
    return text;
}

// "a=?, b=?, c=?"
template <class Columns>
QString assignments(const Columns& columns, QLatin1StringView separator = QLatin1StringView(", "))
{
    QString text;
    for (const auto c : columns) {
        if (!text.isEmpty())
            text += separator;
        text += name(c);
        text += QLatin1StringView("=?");
    }
    return text;
}

// "?, ?, ?": one parameter per column.
QString placeholders(std::size_t count, QLatin1StringView separator = QLatin1StringView(", "));

// The position of a column in a select list, for reading the result by a
// named index resolved at compile time; -1 when the list lacks it.
template <class Columns, class Column>
constexpr int position(const Columns& columns, Column column)
{
    int i = 0;
    for (const auto c : columns) {
        if (c == column)
            return i;
        ++i;
    }
    return -1;
}

} // namespace sql
