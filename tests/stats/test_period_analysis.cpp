#include "db/core/sqlite_database.h"
#include "state/core/control_snapshots.h"
#include "stats/core/period_analysis.h"
#include "temp_journal.h"

#include <gtest/gtest.h>

namespace {

struct Trade {
    const char* chet;
    const char* openTime;
    const char* profit;
    int imgTop = 0;
};

class PeriodAnalysisTest : public ::testing::Test {
protected:
    void add(const std::vector<Trade>& trades)
    {
        for (const Trade& t : trades)
            journal->db().executeStatement(
                QStringLiteral("INSERT INTO t_sdelki (chet, Ticket, OpenTime, Type, Size, Item, Profit, strategia, verno, "
                               "taktika, pravilo2, Nedobral, pravilo, ocenka, img_top) "
                               "VALUES (?, '7', ?, 'buy', '0.10', 'EURUSD', ?, 'H1', 'флэт', 'Пробой', 'Стоп', 5, '', "
                               "'Плохо', ?)"),
                {QLatin1String(t.chet), QLatin1String(t.openTime), QString::fromUtf8(t.profit), t.imgTop});
    }
    PeriodAnalysis run(QDate start, QDate end) { return buildPeriodAnalysis(journal->db(), QStringLiteral("1"), start, end); }

    TempAppDir dir;
    std::unique_ptr<Journal> journal = dir.openJournal();
};

TEST_F(PeriodAnalysisTest, RangesAndTotalLines)
{
    add({{"1", "2013.07.05 10:00", "10,5"},
         {"1", "2013.07.05 23:59", "-4"},
         {"1", "2013.07.06 00:00", "100"},
         {"1", "2013.07.04 23:59", "100"},
         {"2", "2013.07.05 12:00", "100"},
         {"1", "2013.07.08 09:00", "-3"},
         {"1", "2013.07.08 10:00", "-2,5"},
         {"1", "2013.07.09 09:00", "0"},
         {"1", "2013.07.09 10:00", "2"}});
    const QColor green(0, 128, 0), red(255, 0, 0), black(0, 0, 0);
    struct Case {
        QDate start, end;
        int rows;
        QString label;
        QColor colour;
    };
    const std::vector<Case> cases = {
        {QDate(2013, 7, 5), QDate(2013, 7, 6), 2,
         "Итог дня: 6,50 , всего сделок: 2, процент выйгрышных: 50,00%, Выйграл: 1, Проиграл 1, средняя прибыльная сделка: 10,50",
         green},
        {QDate(2013, 7, 8), QDate(2013, 7, 9), 2,
         "Итго дня: -5,50 , всего сделок: 2, процент выйгрышных: 0,00%, Выйграл: 0, Проиграл 2", red},
        {QDate(2013, 7, 9), QDate(2013, 7, 10), 2,
         "Итог дня: 2,00 , всего сделок: 2, процент выйгрышных: 50,00%, Выйграл: 1, Проиграл 0, средняя прибыльная сделка: 2,00",
         green},
        {QDate(2013, 7, 5), QDate(2013, 7, 5), 0, "Нет сделок", black},
        {QDate(2013, 7, 6), QDate(2013, 7, 5), 0, "Нет сделок", black},
    };
    for (const Case& c : cases) {
        const PeriodAnalysis a = run(c.start, c.end);
        EXPECT_EQ(int(a.rows.size()), c.rows) << c.start.toString().toStdString();
        EXPECT_EQ(a.dayLabel(), c.label);
        EXPECT_EQ(a.dayColour(), c.colour);
        EXPECT_TRUE(a.complete());
    }
    const PeriodAnalysis day = run(QDate(2013, 7, 5), QDate(2013, 7, 6));
    EXPECT_EQ(day.rows[0][0], QStringLiteral("1"));
    EXPECT_EQ(day.rows[1][0], QStringLiteral("2"));
    EXPECT_EQ(day.rows[1][3], QStringLiteral("2013.07.05 23:59"));
    const PeriodAnalysis::Row expected = {"1", day.rows[0][1], "7", "2013.07.05 10:00", "buy", "0.10", "EURUSD", "10,5",
                                          "H1", "флэт", "Пробой", "Стоп", "5", "", "Плохо", ""};
    EXPECT_EQ(day.rows[0], expected);
}

TEST_F(PeriodAnalysisTest, PictureMarkAndAProfitThatIsNotANumber)
{
    add({{"1", "2013.07.05 09:00", "1", 120}, {"1", "2013.07.05 10:00", "12.5"}, {"1", "2013.07.05 11:00", "3"}});
    const PeriodAnalysis a = run(QDate(2013, 7, 5), QDate(2013, 7, 6));
    EXPECT_EQ(a.rows[0][15], QStringLiteral("+"));
    EXPECT_EQ(a.problem, QStringLiteral("Сделка id 2: Прибыль «12.5» не является числом; она не входит в итоги"));
    ASSERT_EQ(a.rows.size(), 3u); // every trade is listed; the one that does not read counts in no total
    EXPECT_EQ(a.rows[1][15], QString());
    EXPECT_EQ(a.count, 2);
    EXPECT_EQ(a.dayLabel(),
              QStringLiteral("Итог дня: 4,00 , всего сделок: 2, процент выйгрышных: 100,00%, Выйграл: 2, Проиграл 0, "
                             "средняя прибыльная сделка: 2,00"));
}

// "Рис" marks every trade with pictures: a list that names one, whether or
// not the picture was ever panned (img_top is 0 until then).
TEST_F(PeriodAnalysisTest, PictureMarkForATradeWhosePicturesAreListed)
{
    add({{"1", "2013.07.05 09:00", "1"}, {"1", "2013.07.05 10:00", "2"}, {"1", "2013.07.05 11:00", "3"},
         {"1", "2013.07.05 12:00", "4"}});
    auto list = [](QStringList names) {
        TreeSnapshotState state;
        for (const QString& name : names)
            state.entries.push_back(TreeEntry{name});
        return writeTreeSnapshot("TreeView3", state);
    };
    auto store = [&](int row, const QByteArray& blob) {
        journal->db().writeBlob(QStringLiteral("UPDATE t_sdelki SET t_tree = ? WHERE OpenTime=?"), blob,
                                {QStringLiteral("2013.07.05 %1:00").arg(9 + row, 2, 10, QLatin1Char('0'))});
    };
    store(0, list({QStringLiteral("2026-12-11 14.05.33")}));
    store(1, list({})); // every picture deleted
    store(2, QByteArray("not a list"));
    const PeriodAnalysis a = run(QDate(2013, 7, 5), QDate(2013, 7, 6));
    ASSERT_EQ(a.rows.size(), 4u);
    const QStringList marks = {a.rows[0][15], a.rows[1][15], a.rows[2][15], a.rows[3][15]};
    EXPECT_EQ(marks, (QStringList{"+", "", "", ""}));
    EXPECT_TRUE(a.complete());
}

TEST(Weekday, NamesAndDateLabel)
{
    const QStringList names = {"Понедельник", "Вторник", "Среда", "Четверг", "Пятница", "Суббота", "Воскресенье"};
    for (int i = 0; i < 7; ++i)
        EXPECT_EQ(weekdayName(QDate(2013, 7, 1).addDays(i)), names[i]);
    EXPECT_EQ(analysisDateLabel(QDate(2013, 7, 5)), QStringLiteral("05 июля 2013 - Пятница"));
    EXPECT_EQ(analysisDateLabel(QDate(2014, 5, 17)), QStringLiteral("17 мая 2014 - Суббота"));
}

} // namespace
