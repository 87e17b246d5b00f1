#include "header_click.h"
#include "scripted_prompts.h"
#include "stats/core/period_table_model.h"
#include "stats/core/period_tables.h"
#include "stats/ui/days_page.h"
#include "stats_fixture.h"
#include "widget_by_name.h"

#include "db/core/sqlite_database.h"

#include <QDateTimeEdit>
#include <QFont>
#include <QHeaderView>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QSignalSpy>
#include <QTableView>
#include <QTest>

#include <gtest/gtest.h>

namespace {

QFont fontOf(const QAbstractItemModel& model, int row, int column)
{
    return model.index(row, column).data(Qt::FontRole).value<QFont>();
}

QString text(const QAbstractItemModel& model, int row, int column)
{
    return model.index(row, column).data().toString();
}

// Days of two weeks of July 2013 for account 1 (initial balance 1000), and
// a note of another account on the first day.
class DaysPageTest : public ::testing::Test {
protected:
    StatsFixture fx;
    ScriptedPrompts prompts;
    DaysPage page{fx.journal(), prompts};

    void SetUp() override
    {
        fx.insert({QStringLiteral("2013.07.01 10:00"), QStringLiteral("20")});
        fx.insert({QStringLiteral("2013.07.01 12:00"), QStringLiteral("-5")});
        fx.insert({QStringLiteral("2013.07.03 09:00"), QStringLiteral("60")});
        fx.insert({QStringLiteral("2013.07.09 11:00"), QStringLiteral("-80")});
        fx.insert({QStringLiteral("2013.07.10 10:00"), QStringLiteral("-10")});
        TradeRow other{QStringLiteral("2013.07.01 11:00"), QStringLiteral("500")};
        other.chet = QStringLiteral("2");
        fx.insert(other);
        fx.db().executeStatement(
            QStringLiteral("INSERT INTO t_days (Day, comment, analize, chet) VALUES ('01.07.2013', 'чужой', 'чужая', '2')"));
        widgetByName<QDateTimeEdit>(&page, "DateTimePicker3")->setDateTime(QDateTime(QDate(2013, 7, 1), QTime(0, 0)));
        widgetByName<QDateTimeEdit>(&page, "DateTimePicker4")->setDateTime(QDateTime(QDate(2013, 7, 15), QTime(0, 0)));
        page.resize(1200, 800);
        page.show();
        ASSERT_TRUE(QTest::qWaitForWindowExposed(&page));
    }

    QTableView* dayGrid() const { return widgetByName<QTableView>(&page, "StringGrid_Day"); }
    QTableView* weekGrid() const { return widgetByName<QTableView>(&page, "StringGrid_Ned"); }
    QPlainTextEdit* memo(const char* name) const { return widgetByName<QPlainTextEdit>(&page, name); }
    QPushButton* button(const char* name) const { return widgetByName<QPushButton>(&page, name); }
    const QAbstractItemModel& days() const { return *dayGrid()->model(); }
    const QAbstractItemModel& weeks() const { return *weekGrid()->model(); }

    QString storedNotes()
    {
        const auto t = fx.db().openResultTable(
            QStringLiteral("SELECT Day || ':' || comment || ':' || analize FROM t_days WHERE chet='1' ORDER BY id"));
        QStringList out;
        for (; !t->atEnd(); t->moveNext())
            out << t->fieldTextAt(0);
        return out.join(u'|');
    }

    void doubleClick(QTableView* grid, int row)
    {
        const QPoint at = grid->visualRect(grid->model()->index(row, 1)).center();
        QTest::mouseClick(grid->viewport(), Qt::LeftButton, {}, at);
        QTest::mouseDClick(grid->viewport(), Qt::LeftButton, {}, at);
    }
};

TEST_F(DaysPageTest, BuildsBothTablesWithBandsBoldColumnsAndTheEmptyLastRow)
{
    button("Button_Day")->click();
    EXPECT_EQ(prompts.messageTexts(), QStringList());

    ASSERT_EQ(weeks().rowCount(), 3);
    EXPECT_EQ(weeks().columnCount(), 21);
    EXPECT_EQ(text(weeks(), 0, 1), QStringLiteral("01 июля 2013"));
    EXPECT_EQ(text(weeks(), 0, 3), QStringLiteral("3"));
    EXPECT_EQ(text(weeks(), 0, 5), QStringLiteral("75,00"));
    EXPECT_EQ(text(weeks(), 1, 5), QStringLiteral("-90,00"));
    EXPECT_EQ(text(weeks(), 1, 6), QStringLiteral("985,00"));
    EXPECT_EQ(text(weeks(), 1, 20), QStringLiteral("08.07.2013"));
    EXPECT_EQ(text(weeks(), 2, 1), QString());

    ASSERT_EQ(days().rowCount(), 5);
    EXPECT_EQ(days().columnCount(), 20);
    EXPECT_EQ(days().headerData(5, Qt::Horizontal).toString(), QStringLiteral("Итого %"));
    struct Day {
        QString date, weekday, total, percent, balance, key;
        QColor fill;
    };
    const std::vector<Day> expected = {
        {"01 июля 2013", "Понедельник", "15,00", "1,50", "1015,00", "01.07.2013", QColor(204, 255, 204)},
        {"03 июля 2013", "Среда", "60,00", "5,91", "1075,00", "03.07.2013", QColor(179, 238, 58)},
        {"09 июля 2013", "Вторник", "-80,00", "-7,44", "995,00", "09.07.2013", QColor(255, 182, 193)},
        {"10 июля 2013", "Среда", "-10,00", "-1,01", "985,00", "10.07.2013", QColor(255, 228, 225)},
    };
    for (int row = 0; row < 4; ++row) {
        const Day& d = expected[row];
        EXPECT_EQ(text(days(), row, 0), QString::number(row + 1));
        EXPECT_EQ(text(days(), row, 1), d.date);
        EXPECT_EQ(text(days(), row, 2), d.weekday);
        EXPECT_EQ(text(days(), row, 4), d.total);
        EXPECT_EQ(text(days(), row, 5), d.percent);
        EXPECT_EQ(text(days(), row, 6), d.balance);
        EXPECT_EQ(text(days(), row, 17), QString()) << "another account's note";
        EXPECT_EQ(text(days(), row, 19), d.key);
        EXPECT_EQ(days().index(row, 12).data(Qt::BackgroundRole).value<QColor>(), d.fill) << row;
    }
    EXPECT_EQ(weeks().index(0, 0).data(Qt::BackgroundRole).value<QColor>(), QColor(179, 238, 58));
    EXPECT_EQ(weeks().index(1, 0).data(Qt::BackgroundRole).value<QColor>(), QColor(255, 182, 193));
    EXPECT_FALSE(days().index(4, 0).data(Qt::BackgroundRole).isValid());
    EXPECT_EQ(text(days(), 4, 19), QString());

    // Bold "Итого %"/"Итого", "Минус"/"Пр" and "НЛ"/"Макс. минус", header included.
    for (const QAbstractItemModel* model : {&days(), &weeks()}) {
        for (int column = 0; column < 20; ++column) {
            const bool bold = column == 5 || column == 11 || column == 15;
            EXPECT_EQ(fontOf(*model, 0, column).bold(), bold) << column;
            EXPECT_EQ(model->headerData(column, Qt::Horizontal, Qt::FontRole).value<QFont>().bold(), bold) << column;
        }
    }
    // The day table tells a cell's text under the pointer; the week table does not.
    EXPECT_EQ(days().index(1, 2).data(Qt::ToolTipRole).toString(), QStringLiteral("Среда"));
    EXPECT_FALSE(weeks().index(0, 1).data(Qt::ToolTipRole).isValid());
}

TEST_F(DaysPageTest, ANoteIsShownSavedIntoTheTableAndUpdated)
{
    button("Button_Day")->click();
    memo("Memo_Day")->setPlainText(QStringLiteral("не с чего"));
    dayGrid()->selectRow(0);
    EXPECT_EQ(memo("Memo_Day")->toPlainText(), QString()) << "the other account's note is not this one's";

    memo("Memo_Day")->setPlainText(QStringLiteral("Вход по тренду"));
    memo("Memo_Analize")->setPlainText(QStringLiteral("С 20 - Б"));
    button("But_Save")->click();
    EXPECT_EQ(text(days(), 0, 17), QStringLiteral("Вход по тренду"));
    EXPECT_EQ(text(days(), 0, 18), QStringLiteral("С 20 - Б"));
    EXPECT_EQ(dayGrid()->selectionModel()->selectedRows().value(0).row(), 0) << "the day stays selected";

    memo("Memo_Analize")->setPlainText(QStringLiteral("Т 60"));
    button("But_Save")->click();
    EXPECT_EQ(text(days(), 0, 18), QStringLiteral("Т 60"));
    EXPECT_EQ(storedNotes(), QStringLiteral("01.07.2013:Вход по тренду:Т 60"));

    // Another day has no note; back on the first day its note returns.
    dayGrid()->selectRow(1);
    EXPECT_EQ(memo("Memo_Day")->toPlainText(), QString());
    EXPECT_EQ(memo("Memo_Analize")->toPlainText(), QString());
    dayGrid()->selectRow(0);
    EXPECT_EQ(memo("Memo_Day")->toPlainText(), QStringLiteral("Вход по тренду"));
    EXPECT_EQ(memo("Memo_Analize")->toPlainText(), QStringLiteral("Т 60"));
    // A build leaves the note fields as the trader left them.
    memo("Memo_Day")->setPlainText(QStringLiteral("черновик"));
    page.Button_DayClick();
    EXPECT_EQ(memo("Memo_Day")->toPlainText(), QStringLiteral("черновик"));
    EXPECT_EQ(prompts.messageTexts(), QStringList());
}

// Both tables sort by a header click, by value and by date, with the empty
// row kept last; the selected day keeps its note through a sort.
TEST_F(DaysPageTest, HeaderClicksSortTheDaysAndWeeksAndTheSelectedDayKeepsItsNote)
{
    button("Button_Day")->click();
    auto column = [](const QAbstractItemModel& model, int col) {
        QStringList texts;
        for (int row = 0; row < model.rowCount(); ++row)
            texts << model.index(row, col).data().toString();
        return texts;
    };
    // Days: 01.07 +15, 03.07 +60, 09.07 -80, 10.07 -10.
    ASSERT_EQ(column(days(), daycol::Key),
              QStringList({"01.07.2013", "03.07.2013", "09.07.2013", "10.07.2013", ""}));
    dayGrid()->selectRow(1); // 03.07.2013
    memo("Memo_Day")->setPlainText(QStringLiteral("Тренд"));
    button("But_Save")->click();

    struct Click {
        QTableView* grid;
        int column;
        int keyColumn;
        QStringList keys;
    };
    const Click clicks[] = {
        {dayGrid(), daycol::Total, daycol::Key, {"09.07.2013", "10.07.2013", "01.07.2013", "03.07.2013", ""}},
        {dayGrid(), daycol::Total, daycol::Key, {"03.07.2013", "01.07.2013", "10.07.2013", "09.07.2013", ""}},
        {dayGrid(), daycol::Key, daycol::Key, {"01.07.2013", "03.07.2013", "09.07.2013", "10.07.2013", ""}},
        {dayGrid(), daycol::Key, daycol::Key, {"10.07.2013", "09.07.2013", "03.07.2013", "01.07.2013", ""}},
        {weekGrid(), weekcol::Total, weekcol::Key, {"08.07.2013", "01.07.2013", ""}},
        {weekGrid(), weekcol::Total, weekcol::Key, {"01.07.2013", "08.07.2013", ""}},
    };
    for (const Click& click : clicks) {
        clickHeader(click.grid, click.column);
        EXPECT_EQ(column(*click.grid->model(), click.keyColumn), click.keys) << click.column;
    }
    clickHeader(dayGrid(), daycol::Total); // a new column starts ascending
    const int selected = dayGrid()->selectionModel()->selectedRows().value(0).row();
    EXPECT_EQ(selected, 3);
    EXPECT_EQ(text(days(), selected, daycol::Key), QStringLiteral("03.07.2013"));
    EXPECT_EQ(memo("Memo_Day")->toPlainText(), QStringLiteral("Тренд"));
    // Another day and back: the notes follow the days, not the rows.
    dayGrid()->selectRow(0); // 09.07.2013
    EXPECT_EQ(memo("Memo_Day")->toPlainText(), QString());
    memo("Memo_Day")->setPlainText(QStringLiteral("Минус"));
    button("But_Save")->click();
    EXPECT_EQ(storedNotes(), QStringLiteral("03.07.2013:Тренд:|09.07.2013:Минус:"));
    EXPECT_EQ(text(days(), 0, daycol::Key), QStringLiteral("09.07.2013"));
    EXPECT_EQ(text(days(), 0, daycol::Comment), QStringLiteral("Минус"));
    EXPECT_EQ(days().index(0, 0).data(Qt::BackgroundRole).value<QColor>(), QColor(255, 182, 193));
    dayGrid()->selectRow(3);
    EXPECT_EQ(memo("Memo_Day")->toPlainText(), QStringLiteral("Тренд"));
    EXPECT_EQ(prompts.messageTexts(), QStringList());
}

TEST_F(DaysPageTest, SavingWithoutADayStoresNothingAndSaysSo)
{
    button("Button_Day")->click();
    for (int row : {-1, 4}) { // nothing selected, then the empty last row
        if (row >= 0)
            dayGrid()->selectRow(row);
        memo("Memo_Day")->setPlainText(QStringLiteral("без дня"));
        button("But_Save")->click();
        ASSERT_EQ(prompts.messages.size(), 1u) << row;
        EXPECT_EQ(prompts.messages[0].icon, Prompts::Icon::Information);
        EXPECT_EQ(prompts.messages[0].text,
                  QStringLiteral("Выберите день в таблице «По дням»: комментарий и оптимизация сохраняются для "
                                 "выбранного дня."));
        prompts.clear();
    }
    EXPECT_EQ(storedNotes(), QString());
}

TEST_F(DaysPageTest, ADoubleClickAsksForTheAnalysisOfTheDayOrTheWeek)
{
    button("Button_Day")->click();
    QSignalSpy asked(&page, &DaysPage::periodAnalysisRequested);
    doubleClick(dayGrid(), 1);
    doubleClick(weekGrid(), 1);
    doubleClick(dayGrid(), 4); // the empty row: nothing to show
    ASSERT_EQ(asked.count(), 2);
    EXPECT_EQ(asked[0][0].toDate(), QDate(2013, 7, 3));
    EXPECT_EQ(asked[0][1].toDate(), QDate(2013, 7, 4));
    EXPECT_EQ(asked[1][0].toDate(), QDate(2013, 7, 8));
    EXPECT_EQ(asked[1][1].toDate(), QDate(2013, 7, 15));
}

TEST_F(DaysPageTest, ABuildThatStopsKeepsTheRowsBeforeAndSaysSo)
{
    fx.insert({QStringLiteral("2013.07.12 10:00"), QStringLiteral("abc")});
    button("Button_Day")->click();
    // Both tables leave out the same trade: one message names it.
    ASSERT_EQ(prompts.messages.size(), 1u);
    EXPECT_TRUE(prompts.messages[0].text.startsWith("Ошибка - Во время обновление данных\nСделка id "));
    EXPECT_TRUE(prompts.messages[0].text.endsWith(": Прибыль «abc» не является числом; она не входит в итоги"));
    EXPECT_EQ(prompts.messages[0].caption, QStringLiteral("Ошибка"));
    EXPECT_EQ(prompts.messages[0].icon, Prompts::Icon::Error);
    ASSERT_GE(days().rowCount(), 5);
    EXPECT_EQ(text(days(), 3, 19), QStringLiteral("10.07.2013"));
    ASSERT_GE(weeks().rowCount(), 2);
    EXPECT_EQ(text(weeks(), 0, 20), QStringLiteral("01.07.2013"));
}

// Today's row, or the week that holds today, shows its date in bold.
TEST(PeriodTableModelTest, SetsOffTodayOrItsWeek)
{
    struct Case {
        PeriodTableModel::Kind kind;
        QDate today;
        std::vector<bool> bold; // per listed row
    };
    const std::vector<QDate> dates = {QDate(2013, 7, 1), QDate(2013, 7, 3), QDate(2013, 7, 8)};
    const std::vector<Case> cases = {
        {PeriodTableModel::Kind::Days, QDate(2013, 7, 3), {false, true, false}},
        {PeriodTableModel::Kind::Days, QDate(2013, 7, 4), {false, false, false}},
        {PeriodTableModel::Kind::Weeks, QDate(2013, 7, 7), {true, true, false}},
        {PeriodTableModel::Kind::Weeks, QDate(2013, 7, 14), {false, false, true}},
    };
    for (const Case& c : cases) {
        PeriodTable table;
        table.texts = TextTable(20, dayTableHeaders());
        for (const QDate& d : dates) {
            table.texts.append(QStringLiteral("1"));
            table.texts.endRow();
            table.rows.push_back({d, 1.0});
        }
        PeriodTableModel model(c.kind);
        model.setPeriodTable(std::move(table), c.today);
        ASSERT_EQ(model.rowCount(), 4);
        for (int row = 0; row < 3; ++row) {
            EXPECT_EQ(fontOf(model, row, 1).bold(), c.bold[row]) << c.today.toString().toStdString() << " " << row;
            EXPECT_EQ(fontOf(model, row, 2).bold(), false);
        }
        EXPECT_EQ(fontOf(model, 3, 1).bold(), false);
    }
}

} // namespace
