// The order of grid cells when the trader sorts by a column.
#include "db/core/cell_order.h"

#include <gtest/gtest.h>

namespace {

int sign(int v) { return (v > 0) - (v < 0); }

TEST(CellOrder, NumbersAndDatesCompareByValueTextsByLetters)
{
    struct Case {
        const char* a;
        const char* b;
        int expected; // -1: a goes first ascending, 0 equal, 1: b first
    };
    const Case cases[] = {
        {"9,50", "10,00", -1},          // by value, not letter by letter
        {"-1 234,50", "-999,00", -1},   // blanks between digit groups
        {"1 234,50", "1234,5", 0},
        {"76,80%", "8,00%", 1},         // percentages
        {"-0,5", "0", -1},
        {"0.10", "0.05", 1},            // lots and prices with a point
        {"2017.10.06 09:56:55", "2017.10.06 10:00:00", -1},
        {"2017.10.06 09:56", "2017.10.06 09:56:00", 0},
        {"2017.12.31", "2018.01.01", -1},
        {"31.12.2017", "01.01.2018", -1}, // dd.mm.yyyy by the date, not the day
        {"06.10.2017", "2017.10.06", 0},
        {"eurusd", "EURUSD", 0},        // letter case aside
        {"buy", "sell", -1},
        {"Отлично", "Плохо", -1},
        {"5", "Итого", -1},             // numbers before words
        {"2017.10.06", "abc", -1},      // dates before words
        {"12", "2017.10.06", -1},
    };
    for (const Case& c : cases)
        EXPECT_EQ(sign(cellorder::compareTexts(QString::fromUtf8(c.a), QString::fromUtf8(c.b))), c.expected)
            << c.a << " vs " << c.b;
}

TEST(CellOrder, SortKeepsTiesInOrderAndEmptyCellsLastBothWays)
{
    std::vector<cellorder::SortKey> keys;
    for (const char* text : {"2,00", "", "-1,00", "2,00", "10,00"})
        keys.push_back(cellorder::sortKey(QString::fromUtf8(text)));
    EXPECT_EQ(cellorder::sortedPositions(keys, false), (std::vector<int>{2, 0, 3, 4, 1}));
    EXPECT_EQ(cellorder::sortedPositions(keys, true), (std::vector<int>{4, 0, 3, 2, 1}));
}

} // namespace
