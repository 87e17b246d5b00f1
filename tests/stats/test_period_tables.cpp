#include "db/core/sqlite_database.h"
#include "db/core/cash_store.h"
#include "stats/core/period_tables.h"
#include "stats/core/day_notes.h"
#include "temp_journal.h"

#include <gtest/gtest.h>

#include <vector>

namespace {

struct Trade {
    const char* openTime;
    const char* profit;
    double commission = 0;
    const char* ocenka = "";
    int nedobral = 0;
    const char* chet = "1";
};

QDateTime at(int month, int day, int hour = 0)
{
    return QDateTime(QDate(2013, month, day), QTime(hour, 0));
}

// The texts of some columns of every row, for comparing a table with what
// the trader should see in those columns.
std::vector<QStringList> project(const TextTable& texts, const std::vector<int>& columns)
{
    std::vector<QStringList> rows;
    for (int r = 0; r < texts.rowCount(); ++r) {
        QStringList row;
        for (int c : columns)
            row << texts.cellText(r, c);
        rows.push_back(row);
    }
    return rows;
}

QStringList wholeRow(const TextTable& texts, int row)
{
    QStringList cells;
    for (int c = 0; c < texts.columnCount(); ++c)
        cells << texts.cellText(row, c);
    return cells;
}

class PeriodTablesTest : public ::testing::Test {
protected:
    void add(const std::vector<Trade>& trades)
    {
        for (const Trade& t : trades)
            db().executeStatement(
                QStringLiteral("INSERT INTO t_sdelki (chet, Ticket, OpenTime, Type, Item, Profit, Commission, "
                               "Nedobral, ocenka) VALUES (?, '7', ?, 'buy', 'EURUSD', ?, ?, ?, ?)"),
                {QLatin1String(t.chet), QLatin1String(t.openTime), QString::fromUtf8(t.profit), t.commission,
                 t.nedobral, QString::fromUtf8(t.ocenka)});
    }
    TSQLiteDatabase& db() { return journal->db(); }
    PeriodTable days(QDateTime from, QDateTime to, const QString& balance = QStringLiteral("1000"))
    {
        return buildDayTable(db(), QStringLiteral("1"), from, to, balance);
    }
    PeriodTable weeks(QDateTime from, QDateTime to, const QString& balance = QStringLiteral("1000"))
    {
        return buildWeekTable(db(), QStringLiteral("1"), from, to, balance);
    }

    TempAppDir dir;
    std::unique_ptr<Journal> journal = dir.openJournal();
};

TEST_F(PeriodTablesTest, DayRowsHoldEveryText)
{
    add({{"2013.07.05 09:00", "20", -1, "Отлично", 12}, {"2013.07.05 15:30", "-5", -1, "", 3}});
    const PeriodTable t = days(at(7, 5), at(7, 6));
    EXPECT_TRUE(t.complete());
    EXPECT_EQ(t.texts.headers(),
              (QStringList{"№", "Дата", "День недели", "Сделок", "Итого", "Итого %", "Баланс", "Баланс БК", "Вы", "Плюс",
                           "Пр", "Минус", "Вы/Пр", "Макс +", "Макс -", "НЛ", "Оценка", "Комментарий к дню",
                           "Оптимизация", "Дата"}));
    ASSERT_EQ(t.texts.rowCount(), 1);
    EXPECT_EQ(wholeRow(t.texts, 0),
              (QStringList{"1", "05 июля 2013", "Пятница", "2", "13,00", "1,30", "1013,00", "1015,00", "1", "20,00", "1",
                           "-5,00", "50,0%", "20,00", "-5,00", "15", "5,00", "", "", "05.07.2013"}));
    ASSERT_EQ(t.rows.size(), 1u);
    EXPECT_EQ(t.rows[0].date, QDate(2013, 7, 5));
    EXPECT_EQ(t.rows[0].band, 1.3);
}

TEST_F(PeriodTablesTest, DaysOfTheRangeAndTheirTotals)
{
    add({{"2013.06.30 23:00", "100"},
         {"2013.07.01 00:00", "10"},
         {"2013.07.02 12:00", "-4"},
         {"2013.07.03 09:00", "7"},
         {"2013.07.01", "50"}, // a bare date lies on the bound of its own day
         {"2013.07.01 10:00", "100", 0, "", 0, "2"},
         // the day of 20 and -5, with a commission of -1 on its earliest trade, then on both
         {"2013.08.05 09:00", "20", -1},
         {"2013.08.05 15:00", "-5", 0},
         {"2013.08.06 09:00", "20", -1},
         {"2013.08.06 15:00", "-5", -1},
         // ratings
         {"2013.09.02 09:00", "1", 0, "Отлично"},
         {"2013.09.02 10:00", "1", 0, "Плохо"},
         {"2013.09.02 11:00", "1", 0, "Ужасно"},
         {"2013.09.03 11:00", "1"},
         // a day that brings the balance to exactly 0, and the day after it
         {"2013.10.01 11:00", "-1000"},
         {"2013.10.02 11:00", "50"}});
    using namespace daycol;
    struct Case {
        const char* what;
        QDateTime from, to;
        QString balance;
        std::vector<int> columns;
        std::vector<QStringList> rows;
    };
    const std::vector<Case> cases = {
        // The balance goes on from the trades before the range (100 on 30
        // June and the bare date 1 July, which lies before the day's bound).
        {"1 July 00:00 to 3 July 10:00: the 1st and 2nd",
         at(7, 1), at(7, 3, 10), "1000", {Number, Date, Weekday, Trades, Total, Balance, Key},
         {{"1", "01 июля 2013", "Понедельник", "1", "10,00", "1160,00", "01.07.2013"},
          {"2", "02 июля 2013", "Вторник", "1", "-4,00", "1156,00", "02.07.2013"}}},
        {"the end before the start: the days from the start on",
         at(7, 3, 10), at(7, 1), "1000", {Date, Total}, {{"03 июля 2013", "7,00"}}},
        {"start and end on the same date", at(7, 1), at(7, 1, 23), "1000", {Date}, {}},
        {"every commission of the day is added",
         at(8, 5), at(8, 7), "1000", {Total, TotalPercent, Balance, BalanceNoCommission, WinShare},
         {{"14,00", "1,20", "1177,00", "1178,00", "50,0%"}, {"13,00", "1,10", "1190,00", "1193,00", "50,0%"}}},
        {"ratings", at(9, 2), at(9, 4), "1000", {Trades, Rating}, {{"3", "4,33"}, {"1", "0,00"}}},
        // A share is of the balance before the day: nothing, or a debt, gives none.
        {"a balance of 0 and below before the day leaves the share empty",
         at(10, 1), at(10, 3), "-194", {Total, TotalPercent, Balance}, {{"-1000,00", "", "-1000,00"}, {"50,00", "", "-950,00"}}},
        {"a loss is a share of what was there before it",
         at(10, 1), at(10, 2), "1806", {Total, TotalPercent, Balance}, {{"-1000,00", "-50,00", "1000,00"}}},
        {"an empty initial balance is 0", at(9, 3), at(9, 4), "", {TotalPercent, Balance}, {{"0,52", "194,00"}}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        const PeriodTable t = days(c.from, c.to, c.balance);
        EXPECT_EQ(t.problem, "");
        EXPECT_EQ(project(t.texts, c.columns), c.rows);
        EXPECT_EQ(t.rows.size(), c.rows.size());
    }
}

TEST_F(PeriodTablesTest, Bands)
{
    struct Case {
        double value;
        PeriodBand band;
    };
    const std::vector<Case> cases = {
        {5, PeriodBand::None},       {5.01, PeriodBand::LargeGain}, {4.99, PeriodBand::Gain},
        {0, PeriodBand::None},       {-0.01, PeriodBand::Loss},     {-5, PeriodBand::None},
        {-5.01, PeriodBand::LargeLoss},
    };
    for (const Case& c : cases)
        EXPECT_EQ(periodBand(c.value), c.band) << c.value;

    // The band follows the share as the table shows it: 5,0038 reads 5,00.
    add({{"2013.07.01 10:00", "50,04"}});
    const PeriodTable t = days(at(7, 1), at(7, 2), "1000");
    ASSERT_EQ(t.rows.size(), 1u);
    EXPECT_EQ(t.texts.cellText(0, daycol::TotalPercent), "5,00");
    EXPECT_EQ(t.rows[0].band, 5.0);
}

TEST_F(PeriodTablesTest, DayNotesOfTheAccountAreShown)
{
    add({{"2013.07.01 10:00", "1"}, {"2013.07.02 10:00", "2"}});
    DayNoteStore store(db());
    store.save("1", {"01.07.2013", "спокойный день", "С 20"});
    store.save("2", {"02.07.2013", "чужой счет", "Т 60"});
    const PeriodTable t = days(at(7, 1), at(7, 3));
    EXPECT_EQ(project(t.texts, {daycol::Comment, daycol::Analize, daycol::Key}),
              (std::vector<QStringList>{{"спокойный день", "С 20", "01.07.2013"}, {"", "", "02.07.2013"}}));
}

TEST_F(PeriodTablesTest, SavingANoteTwiceUpdatesIt)
{
    DayNoteStore store(db());
    EXPECT_EQ(store.find("1", "05.07.2013"), std::nullopt);
    store.save("1", {"05.07.2013", "первый", "С 20"});
    store.save("2", {"05.07.2013", "другой счет", ""});
    store.save("1", {"05.07.2013", "второй", "Т 60"});
    const auto count = db().openResultTable(QStringLiteral("SELECT count(*) FROM t_days WHERE chet='1'"));
    EXPECT_EQ(count->fieldTextAt(0), "1");
    const std::optional<DayNote> mine = store.find("1", "05.07.2013");
    ASSERT_TRUE(mine.has_value());
    EXPECT_EQ(mine->comment, "второй");
    EXPECT_EQ(mine->analize, "Т 60");
    EXPECT_EQ(store.find("2", "05.07.2013")->comment, "другой счет");
}

TEST_F(PeriodTablesTest, WeekRowsHoldEveryText)
{
    add({{"2013.07.02 09:00", "30", -1}, {"2013.07.03 10:00", "-10", -0.5}});
    const PeriodTable t = weeks(at(7, 3), at(7, 4));
    EXPECT_TRUE(t.complete());
    EXPECT_EQ(t.texts.headers(),
              (QStringList{"№", "Неделя", "Рост", "Сделок", "Процент", "Итого", "Баланс", "Баланс БК", "СПС", "Вы",
                           "Плюс", "Пр", "Минус", "Вы/Пр", "Макс. плюс", "Макс. минус", "Сред. плюс", "Сред. минус",
                           "Лоси подряд", "Профи подряд", "Дата"}));
    ASSERT_EQ(t.texts.rowCount(), 1);
    EXPECT_EQ(wholeRow(t.texts, 0),
              (QStringList{"1", "01 июля 2013", "1,85", "2", "50,00%", "18,50", "1018,50", "1020,00", "30,00", "1",
                           "30,00", "1", "-10,00", "-3,00", "30,00", "-10,00", "30,00", "-10,00", "1", "1",
                           "01.07.2013"}));
    EXPECT_EQ(t.rows[0].date, QDate(2013, 7, 1));
    EXPECT_EQ(t.rows[0].band, 18.5);
}

TEST_F(PeriodTablesTest, WeeksOfTheRangeAndTheirTotals)
{
    add({{"2013.06.30 23:00", "100"},
         {"2013.07.01 00:00", "30"},
         {"2013.07.07 22:00", "-10"}, // Sunday evening: the week of Monday 1 July
         {"2013.07.08", "500"},       // a bare Monday lies on the bound between two weeks
         {"2013.07.09 10:00", "20"},
         {"2013.07.10 10:00", "5"},
         {"2013.07.21 23:59", "-4"},
         {"2013.07.22 00:00", "1000"},
         {"2013.07.16 10:00", "-6"},
         {"2013.07.02 10:00", "100", 0, "", 0, "2"},
         // runs, entered out of time order: + + 0 + - - - +
         {"2013.09.06 10:00", "3"},
         {"2013.09.02 10:00", "1"},
         {"2013.09.03 10:00", "2"},
         {"2013.09.03 11:00", "0"},
         {"2013.09.05 10:00", "-1"},
         {"2013.09.05 11:00", "-2"},
         {"2013.09.05 12:00", "-3"},
         {"2013.09.04 10:00", "4"}});
    using namespace weekcol;
    struct Case {
        const char* what;
        QDateTime from, to;
        QString balance;
        std::vector<int> columns;
        std::vector<QStringList> rows;
    };
    const std::vector<Case> cases = {
        {"3 to 10 July: the weeks of 1, 8 and 15 July",
         at(7, 3), at(7, 10), "1000", {Number, Week, Trades, Total, Balance, Growth, Key},
         {{"1", "01 июля 2013", "2", "20,00", "1120,00", "1,82", "01.07.2013"},
          {"2", "08 июля 2013", "2", "25,00", "1145,00", "2,23", "08.07.2013"},
          {"3", "15 июля 2013", "2", "-10,00", "1135,00", "-0,87", "15.07.2013"}}},
        {"start and end on the same date: its week and the next",
         at(7, 3, 12), at(7, 3, 12), "0", {Week, Growth, Balance},
         {{"01 июля 2013", "20,00", "120,00"}, {"08 июля 2013", "20,83", "145,00"}}},
        {"wins only and losses only",
         at(7, 8), at(7, 14), "1000",
         {WinPercent, AverageWin, WinLossRatio, MaxPos, MinNeg, AveragePos, AverageNeg, LosingRun, WinningRun},
         {{"100,00%", "12,50", "", "20,00", "", "12,50", "", "", "2"},
          {"0,00%", "", "", "", "-6,00", "", "-5,00", "2", ""}}},
        {"runs in time order; a trade at zero ends them",
         at(9, 2), at(9, 3), "1000", {Trades, Wins, Losses, LosingRun, WinningRun}, {{"8", "4", "3", "3", "2"}}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        const PeriodTable t = weeks(c.from, c.to, c.balance);
        EXPECT_EQ(t.problem, "");
        EXPECT_EQ(project(t.texts, c.columns), c.rows);
        EXPECT_EQ(t.rows.size(), c.rows.size());
    }
}

// The page's one reading gives each table exactly what its own builder gives.
TEST_F(PeriodTablesTest, BothTablesFromOneReading)
{
    add({{"2013.06.30 23:00", "100", -1, "Отлично", 4},
         {"2013.07.01", "7"},
         {"2013.07.01 00:00", "30", -0.5},
         {"2013.07.03 10:00", "-10", -1, "Плохо", 2},
         {"2013.07.03 09:00", "4"},
         {"2013.07.03", "9"},
         {"2013.07.3 10:00", "6"}, // not a date: placed by its text, after 2013.07.29
         {"2013.07.08", "500"},
         {"2013.07.16 10:00", "-6"},
         {"2013.07.21 23:59", "12.5"}, // does not read: both tables stop there
         {"2013.07.30 10:00", "1"}});
    DayNoteStore(db()).save("1", {"03.07.2013", "заметка", "Т 60"});
    const std::vector<std::pair<QDateTime, QDateTime>> ranges = {
        {at(7, 3), at(7, 10)}, {at(7, 1), at(7, 31)}, {at(7, 3, 12), at(7, 3, 12)}, {at(7, 10, 10), at(6, 29)}};
    for (const auto& [from, to] : ranges) {
        SCOPED_TRACE(from.toString().toStdString() + " - " + to.toString().toStdString());
        const PeriodTables both = buildPeriodTables(db(), "1", from, to, "1000");
        const PeriodTable weeks = buildWeekTable(db(), "1", from, to, "1000");
        const PeriodTable days = buildDayTable(db(), "1", from, to, "1000");
        for (const auto& [one, own] : {std::pair(&both.weeks, &weeks), std::pair(&both.days, &days)}) {
            EXPECT_EQ(one->problem, own->problem);
            ASSERT_EQ(one->texts.rowCount(), own->texts.rowCount());
            for (int r = 0; r < own->texts.rowCount(); ++r) {
                EXPECT_EQ(wholeRow(one->texts, r), wholeRow(own->texts, r));
                EXPECT_EQ(one->rows[r].date, own->rows[r].date);
                EXPECT_EQ(one->rows[r].band, own->rows[r].band);
            }
        }
    }
    const PeriodTables july = buildPeriodTables(db(), "1", at(7, 1), at(7, 31), "1000");
    EXPECT_EQ(project(july.days.texts, {daycol::Key, daycol::Trades, daycol::Comment}),
              (std::vector<QStringList>{{"01.07.2013", "1", ""}, {"03.07.2013", "2", "заметка"},
                                        {"16.07.2013", "1", ""}, {"29.07.2013", "1", ""}, {"30.07.2013", "1", ""}}));
    EXPECT_EQ(july.days.problem, "Сделка id 10: Прибыль «12.5» не является числом; она не входит в итоги");
    // a bare date inside a week counts in the week, though it lies on a day's bound
    EXPECT_EQ(project(july.weeks.texts, {weekcol::Key, weekcol::Trades}),
              (std::vector<QStringList>{{"01.07.2013", "4"}, {"15.07.2013", "1"}, {"29.07.2013", "2"}}));
    EXPECT_EQ(july.weeks.problem, july.days.problem);
}

// A number that does not read or a database failure stops the table there:
// the rows before it stay and the problem says why.
// Deposits and withdrawals move the running balances on their day, also on
// a day without trades; a share is taken of what the trader had when the
// period's trading began (a deposit that morning counts, a withdrawal later
// in the week does not). Credit is the broker's money and never counts.
TEST_F(PeriodTablesTest, CashMovementsEnterTheBalanceAndTheBase)
{
    CashStore cash(db());
    cash.save("1", {"1", "2013.06.28 09:00:00", "balance", "Deposit", 1000});
    cash.save("1", {"2", "2013.07.01 08:00:00", "balance", "Deposit", 500});
    cash.save("1", {"3", "2013.07.03 12:00:00", "balance", "Withdrawal", -300});
    cash.save("1", {"4", "2013.07.03 13:00:00", "credit", "Bonus", 700});
    cash.save("1", {"5", "2013.07.04 09:00:00", "balance", "Deposit", 100});
    cash.save("2", {"6", "2013.07.02 09:00:00", "balance", "Deposit", 9999}); // another account's
    add({{"2013.07.01 10:00", "30"}, {"2013.07.03 10:00", "-15"}, {"2013.07.05 10:00", "12"}});
    const PeriodTable d = days(at(7, 1), at(7, 6), "0");
    EXPECT_EQ(d.problem, "");
    EXPECT_EQ(project(d.texts, {daycol::Total, daycol::TotalPercent, daycol::Balance, daycol::BalanceNoCommission}),
              (std::vector<QStringList>{{"30,00", "2,00", "1530,00", "1530,00"},
                                        {"-15,00", "-0,98", "1215,00", "1215,00"},
                                        {"12,00", "0,91", "1327,00", "1327,00"}}));
    const PeriodTable w = weeks(at(7, 1), at(7, 6), "0");
    EXPECT_EQ(project(w.texts, {weekcol::Growth, weekcol::Total, weekcol::Balance}),
              (std::vector<QStringList>{{"1,80", "27,00", "1327,00"}}));
    // A table that begins later starts from the balance the account had.
    EXPECT_EQ(project(days(at(7, 5), at(7, 6), "0").texts, {daycol::TotalPercent, daycol::Balance}),
              (std::vector<QStringList>{{"0,91", "1327,00"}}));
}

// A day's "Итого" is what its trades added to the balance: profit,
// commission, taxes and swap.
TEST_F(PeriodTablesTest, TotalsAreNetResults)
{
    db().executeStatement(QStringLiteral("INSERT INTO t_sdelki (chet, OpenTime, Profit, Commission, Taxes, Swap) "
                                         "VALUES ('1', '2013.07.01 10:00', '100', -7, '-1.50', '-2,5')"));
    const PeriodTable d = days(at(7, 1), at(7, 2));
    EXPECT_EQ(project(d.texts, {daycol::Total, daycol::Balance, daycol::BalanceNoCommission, daycol::SumPos}),
              (std::vector<QStringList>{{"89,00", "1089,00", "1100,00", "100,00"}}));
}

// A stored trade whose profit does not read is left out of its day and week
// and named; every other day is listed and the balance goes on.
TEST_F(PeriodTablesTest, ATradeThatDoesNotReadIsLeftOutAndNamed)
{
    add({{"2013.07.01 10:00", "10"}, {"2013.07.02 10:00", "12.5"}, {"2013.07.09 10:00", "3"}});
    const QString named = "Сделка id 2: Прибыль «12.5» не является числом; она не входит в итоги";
    const PeriodTable d = days(at(7, 1), at(7, 10));
    EXPECT_EQ(project(d.texts, {daycol::Date, daycol::Balance}),
              (std::vector<QStringList>{{"01 июля 2013", "1010,00"}, {"09 июля 2013", "1013,00"}}));
    EXPECT_EQ(d.problem, named);

    const PeriodTable w = weeks(at(7, 1), at(7, 10));
    EXPECT_EQ(project(w.texts, {weekcol::Trades, weekcol::Balance}),
              (std::vector<QStringList>{{"1", "1010,00"}, {"1", "1013,00"}}));
    EXPECT_EQ(w.problem, named);
    // Before the range too: the table starts from the balance of the trades that read.
    EXPECT_EQ(project(days(at(7, 9), at(7, 10)).texts, {daycol::Balance}), (std::vector<QStringList>{{"1013,00"}}));

    const PeriodTable balance = days(at(7, 1), at(7, 10), "сто");
    EXPECT_EQ(balance.texts.rowCount(), 0);
    EXPECT_EQ(balance.problem, "Начальный баланс не читается как число: \"сто\"");

    // Without the notes the days are still listed.
    db().executeStatement(QStringLiteral("DROP TABLE t_days"));
    const PeriodTable noNotes = days(at(7, 1), at(7, 2));
    EXPECT_EQ(noNotes.texts.rowCount(), 1);
    EXPECT_FALSE(noNotes.complete());
    db().executeStatement(QStringLiteral("DROP TABLE t_sdelki"));
    const PeriodTable noTrades = weeks(at(7, 1), at(7, 2));
    EXPECT_EQ(noTrades.texts.rowCount(), 0);
    EXPECT_FALSE(noTrades.complete());
}

} // namespace
