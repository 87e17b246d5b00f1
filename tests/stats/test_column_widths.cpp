#include "db/core/cp1251.h"
#include "stats/core/column_widths.h"
#include "stats/core/text_table.h"
#include "stats/core/text_table_model.h"
#include "stats/ui/fit_column_widths.h"

#include "temp_journal.h"

#include <QHeaderView>
#include <QStandardItemModel>
#include <QTableView>

#include <gtest/gtest.h>

namespace {

const QStringList kCorpus = {
    "",  " ", "0", "1.30100", "-12,35", "2013.05.21 10:15", "2013.07.05 10:00:59", "eurusd", "EURUSD.m",
    "Комметарий", "Обычная", "Низкая", "вход по уровню, выход по стопу", "WAVAVA To", "Type  ", "  x",
    "ЁёЩщЪъ «кавычки» — тире", "fi fl ffi", "café", "e\u0301", "tab\there", "ελληνικά", "العربية", "日本語",
    "smile \U0001F600", "Ω≈ç√∫", "№ 5", "€100", "итог — 5…", "Brand™", "soft\u00ADhyphen"};

TEST(ColumnWidths, MeasureEqualsQtForEveryKindOfText)
{
    for (const QFont& font : {gridFont("Tahoma", 13), gridFont("DejaVu Serif", 17), QFont("DejaVu Sans", 11)}) {
        TextWidthMeasure measure(font);
        const QFontMetrics qt(font);
        for (const QString& text : kCorpus) {
            EXPECT_EQ(measure.width(text), qt.horizontalAdvance(text)) << text.toStdString() << " in " << font.family().toStdString();
            // The journal's own bytes measure the same without decoding.
            if (cp1251::canEncode(text)) {
                EXPECT_EQ(measure.widthOfCp1251(cp1251::encode(text)), qt.horizontalAdvance(text)) << text.toStdString();
            }
        }
    }
}

TEST(ColumnWidths, WidestTextPlusSeventeenPlusLineWidthAndOne)
{
    const QFont font = gridFont("Tahoma", 13);
    const QFontMetrics qt(font);
    TextTable table(3, {"№", "Комметарий", ""});
    for (const QStringList& row : {QStringList{"1", "коротко", ""}, QStringList{"10", "гораздо более длинный комментарий", ""}}) {
        for (const QString& cell : row)
            table.append(cell);
        table.endRow();
    }
    TextWidthMeasure measure(font);
    const std::vector<int> widths = fitColumnWidths(table, measure, 1);
    EXPECT_EQ(widths, (std::vector<int>{std::max(qt.horizontalAdvance("№"), qt.horizontalAdvance("10")) + 19,
                                        qt.horizontalAdvance("гораздо более длинный комментарий") + 19, 19}));
}

// The grids measure their own font and line; a table model is read from its
// table, any other model through its texts, with the same result.
TEST(ColumnWidths, GridsOfEitherModelGetTheSameWidths)
{
    const QStringList headers = {"id", "Item", "Profit"};
    const QList<QStringList> rows = {{"1", "eurusd", "-12,35"}, {"22", "gbpjpy", "1500,5"}, {"333", "", "0"}};
    TextTable table(3, headers);
    QStandardItemModel standard(0, 3);
    standard.setHorizontalHeaderLabels(headers);
    for (const QStringList& row : rows) {
        QList<QStandardItem*> items;
        for (const QString& cell : row) {
            table.append(cell);
            items.append(new QStandardItem(cell));
        }
        table.endRow();
        standard.appendRow(items);
    }
    TextTableModel model;
    model.setTable(std::move(table));

    QTableView a, b;
    for (QTableView* grid : {&a, &b})
        grid->setFont(gridFont("Tahoma", 13));
    a.setModel(&model);
    b.setModel(&standard);
    fitColumnWidths(&a);
    fitColumnWidths(&b);
    const QFontMetrics qt(a.font());
    for (int col = 0; col < 3; ++col) {
        int widest = qt.horizontalAdvance(headers[col]);
        for (const QStringList& row : rows)
            widest = std::max(widest, qt.horizontalAdvance(row[col]));
        EXPECT_EQ(a.columnWidth(col), widest + 19) << col;
        EXPECT_EQ(b.columnWidth(col), widest + 19) << col;
    }
}

} // namespace
