#include "db/core/columns.h"
#include "db/core/sqlite_database.h"
#include "temp_journal.h"

#include <gtest/gtest.h>

namespace {

template <class Names>
QStringList listOf(const Names& names)
{
    QStringList list;
    for (const QLatin1StringView n : names)
        list << QString(n);
    return list;
}

// The names every statement is built from are the columns of the supplied
// database, in the order of its CREATE TABLE, spelled as there.
TEST(Columns, NameEveryColumnOfTheJournalTables)
{
    TempAppDir dir;
    TSQLiteDatabase db(dir.file(QStringLiteral("datamoney.db")));
    auto columnsOf = [&](QLatin1StringView table) {
        auto info = db.openResultTable(QStringLiteral("SELECT name FROM pragma_table_info(?) ORDER BY cid"),
                                       {QString(table)});
        QStringList names;
        for (; !info->atEnd(); info->moveNext())
            names << info->fieldTextAt(0);
        return names;
    };
    EXPECT_EQ(listOf(t_chet::names), columnsOf(t_chet::table));
    EXPECT_EQ(listOf(t_sdelki::names), columnsOf(t_sdelki::table));
    EXPECT_EQ(listOf(t_days::names), columnsOf(t_days::table));
    EXPECT_EQ(listOf(t_zametki::names), columnsOf(t_zametki::table));
}

TEST(Columns, MakeThePiecesOfStatementTexts)
{
    using namespace t_sdelki;
    constexpr Column some[] = {Chet, Ticket, Profit2};
    EXPECT_EQ(sql::columnList(some), QStringLiteral("chet, Ticket, Profit2"));
    EXPECT_EQ(sql::columnList(some, QLatin1StringView(",")), QStringLiteral("chet,Ticket,Profit2"));
    EXPECT_EQ(sql::assignments(some), QStringLiteral("chet=?, Ticket=?, Profit2=?"));
    EXPECT_EQ(sql::placeholders(3), QStringLiteral("?, ?, ?"));
    EXPECT_EQ(sql::placeholders(2, QLatin1StringView(",")), QStringLiteral("?,?"));
    EXPECT_EQ(sql::placeholders(0), QString());
    static_assert(sql::position(some, Profit2) == 2);
    static_assert(sql::position(some, Id) == -1);
}

} // namespace
