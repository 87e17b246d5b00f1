// The what-if bar of "Отчеты" with the comparison on "Показатели", the
// calendar and the breakdowns by hour and weekday, driven through the
// page's controls.
#include "scripted_prompts.h"
#include "stats/core/text_table_model.h"
#include "stats/ui/bar_chart_widget.h"
#include "stats/ui/choice_button.h"
#include "stats/ui/reports_page.h"
#include "stats_fixture.h"
#include "widget_by_name.h"

#include "db/core/sqlite_database.h"

#include <QAction>
#include <QComboBox>
#include <QFile>
#include <QLabel>
#include <QMenu>
#include <QPushButton>
#include <QScrollBar>
#include <QSignalSpy>
#include <QTabWidget>
#include <QTableView>
#include <QTableWidget>
#include <QTest>

#include <gtest/gtest.h>

namespace {

class ReportsAnalyticsTest : public ::testing::Test {
protected:
    StatsFixture fx;
    ScriptedPrompts prompts;
    std::unique_ptr<ReportsPage> page = std::make_unique<ReportsPage>(fx.journal(), prompts);

    template <class T>
    T* control(const char* name) { return widgetByName<T>(page.get(), name); }
    QString metric(int row, int column) const { return page->metricsModel().index(row, column).data().toString(); }
    // Ticks or unticks a choice of a filter button, as a click in its list does.
    void tick(const char* button, const QString& label, bool on)
    {
        for (QAction* a : control<ChoiceButton>(button)->choicesMenu()->actions()) {
            if (a->isCheckable() && a->text() == label && a->isChecked() != on) {
                a->trigger();
                return;
            }
        }
        ADD_FAILURE() << "no choice " << label.toStdString() << " to change";
    }
    void add(const char* time, const char* profit, const char* type = "buy", const char* item = "EURUSD")
    {
        fx.db().executeStatement(QStringLiteral("INSERT INTO t_sdelki (chet, OpenTime, Type, Item, Profit) "
                                                "VALUES ('1', ?, ?, ?, ?)"),
                                 {QString::fromUtf8(time), QString::fromUtf8(type), QString::fromUtf8(item),
                                  QString::fromUtf8(profit)});
    }
    void SetUp() override
    {
        // 1 January 2024 was a Monday.
        add("2024.01.01 23:59:59", "-30");
        add("2024.01.02 00:00:00", "20", "sell", "GBPUSD");
        add("2024.01.08 09:30", "-10");
        add("2024.01.09 09:00", "15", "sell");
        page->resize(1024, 600);
        page->show();
        ASSERT_TRUE(QTest::qWaitForWindowExposed(page.get()));
        page->rebuild();
    }
};

TEST_F(ReportsAnalyticsTest, WithoutMondaysBesideEveryTradeAndKeptForTheAccount)
{
    auto* tabs = control<QTabWidget>("PageControl2");
    auto* bar = control<QWidget>("TradeFilterBar");
    EXPECT_TRUE(bar->isHidden()); // the category reports tally every trade
    tabs->setCurrentIndex(3);
    EXPECT_FALSE(bar->isHidden());
    EXPECT_EQ(page->metricsModel().columnCount(), 3);
    EXPECT_EQ(control<QLabel>("Label_FilterCount")->text(), "Фильтр не задан: 4 сделок");

    tick("Button_FilterWeekdays", "Пн", false);
    EXPECT_EQ(control<ChoiceButton>("Button_FilterWeekdays")->text(), "Дни: 6 из 7");
    EXPECT_EQ(control<QLabel>("Label_FilterCount")->text(), "С фильтром: 2 из 4 сделок");
    const TextTableModel& m = page->metricsModel();
    ASSERT_EQ(m.columnCount(), 5);
    EXPECT_EQ(m.headerData(1, Qt::Horizontal).toString(), "Все сделки");
    EXPECT_EQ(m.headerData(2, Qt::Horizontal).toString(), "С фильтром");
    EXPECT_EQ(m.headerData(3, Qt::Horizontal).toString(), "Разница");
    const QStringList trades = {metric(0, 0), metric(0, 1), metric(0, 2), metric(0, 3)};
    EXPECT_EQ(trades, (QStringList{"Сделок", "4", "2", "-2"}));
    const QStringList net = {metric(2, 1), metric(2, 2), metric(2, 3)};
    EXPECT_EQ(net, (QStringList{"-5,00", "35,00", "+40,00"}));
    EXPECT_TRUE(prompts.messages.empty());

    // Kept for the account: a page made anew shows it.
    EXPECT_TRUE(QFile::exists(fx.journal().path("filters.json")));
    page = std::make_unique<ReportsPage>(fx.journal(), prompts);
    page->rebuild();
    EXPECT_EQ(page->filter().weekdays, 0x7eu);
    EXPECT_EQ(page->metricsModel().columnCount(), 5);

    // Only sells as well, then a symbol with no sells: nothing left.
    control<QComboBox>("ComboBox_FilterType")->setCurrentIndex(2);
    EXPECT_EQ(metric(0, 2), "2");
    tick("Button_FilterSymbols", "GBPUSD", false);
    EXPECT_EQ(metric(0, 2), "1");
    TradeFilter none = page->filter();
    none.symbols = {"USDJPY"};
    page->setFilter(none);
    EXPECT_EQ(metric(0, 2), "0");
    EXPECT_EQ(metric(1, 2), "—");
    EXPECT_EQ(control<QTableView>("StringGrid_Hours")->model()->rowCount(), 0);

    control<QPushButton>("Button_FilterReset")->click();
    EXPECT_TRUE(page->filter().isEmpty());
    EXPECT_EQ(page->metricsModel().columnCount(), 3);
    page = std::make_unique<ReportsPage>(fx.journal(), prompts);
    page->rebuild();
    EXPECT_TRUE(page->filter().isEmpty());
    EXPECT_TRUE(prompts.messages.empty());
}

// Hours and weekdays of the open time as stored: the Monday's last second
// and the Tuesday's first fall apart.
TEST_F(ReportsAnalyticsTest, ByHourAndWeekday)
{
    auto* hours = control<QTableView>("StringGrid_Hours");
    ASSERT_EQ(hours->model()->rowCount(), 3);
    EXPECT_EQ(hours->model()->index(0, 0).data().toString(), "00:00");
    EXPECT_EQ(hours->model()->index(2, 0).data().toString(), "23:00");
    EXPECT_EQ(hours->model()->index(2, 5).data().toString(), "-30,00");
    auto* weekdays = control<QTableView>("StringGrid_Weekdays");
    ASSERT_EQ(weekdays->model()->rowCount(), 2);
    EXPECT_EQ(weekdays->model()->index(0, 0).data().toString(), "Пн");
    EXPECT_EQ(weekdays->model()->index(0, 5).data().toString(), "-40,00");
    EXPECT_EQ(weekdays->model()->index(1, 4).data().toString(), "100,00%");
    auto* chart = control<BarChartWidget>("Chart_Weekdays");
    // Every weekday on the chart, those without trades at 0.
    EXPECT_EQ(chart->labels(), (QStringList{"Пн", "Вт", "Ср", "Чт", "Пт", "Сб", "Вс"}));
    EXPECT_EQ(chart->values(), (std::vector<double>{-40, 35, 0, 0, 0, 0, 0}));
    control<QComboBox>("ComboBox_BreakdownMeasure")->setCurrentIndex(1);
    EXPECT_EQ(chart->values(), (std::vector<double>{2, 2, 0, 0, 0, 0, 0}));
    EXPECT_EQ(control<BarChartWidget>("Chart_Hours")->values().size(), 24u);

    control<QComboBox>("ComboBox_BreakdownKey")->setCurrentIndex(0); // symbols
    auto* other = control<QTableView>("StringGrid_Other");
    ASSERT_EQ(other->model()->rowCount(), 2);
    EXPECT_EQ(other->model()->headerData(0, Qt::Horizontal).toString(), "Символ");
    EXPECT_EQ(other->model()->index(1, 0).data().toString(), "GBPUSD");
}

TEST_F(ReportsAnalyticsTest, CalendarMonthAndADayClicked)
{
    control<QTabWidget>("PageControl2")->setCurrentIndex(4);
    EXPECT_EQ(control<QLabel>("Label_CalendarMonth")->text(), "Январь 2024");
    EXPECT_EQ(control<QLabel>("Label_CalendarTotal")->text(), "Итого за месяц: -5,00, сделок: 4");
    auto* grid = control<QTableWidget>("Grid_Calendar");
    ASSERT_EQ(grid->rowCount(), 5);
    // The whole month in sight, however tall the tabs beside it are.
    EXPECT_EQ(grid->verticalScrollBar()->maximum(), 0);
    EXPECT_LE(grid->visualItemRect(grid->item(4, 7)).bottom(), grid->viewport()->height());
    EXPECT_LT(grid->height(), 400);
    EXPECT_EQ(grid->item(0, 0)->text(), "1\n-30,00\nсделок: 1");
    EXPECT_EQ(grid->item(0, 7)->text(), "Неделя\n-10,00\nсделок: 2");
    EXPECT_EQ(grid->item(0, 0)->background().color(), QColor(220, 60, 60)); // the month's largest
    EXPECT_EQ(grid->item(0, 2)->text(), "3");

    QSignalSpy days(page.get(), &ReportsPage::tradeDayRequested);
    const QRect cell = grid->visualItemRect(grid->item(1, 0));
    QTest::mouseClick(grid->viewport(), Qt::LeftButton, {}, cell.center());
    ASSERT_EQ(days.count(), 1);
    EXPECT_EQ(days.at(0).at(0).toDate(), QDate(2024, 1, 8));

    control<QPushButton>("Button_NextMonth")->click();
    EXPECT_EQ(control<QLabel>("Label_CalendarMonth")->text(), "Февраль 2024");
    EXPECT_EQ(control<QLabel>("Label_CalendarTotal")->text(), "Итого за месяц: 0,00, сделок: 0");
    control<QPushButton>("Button_PrevMonth")->click();
    control<QPushButton>("Button_PrevMonth")->click();
    EXPECT_EQ(control<QLabel>("Label_CalendarMonth")->text(), "Декабрь 2023");
}

// A filters file that does not read: kept aside, said once, the filter empty.
TEST_F(ReportsAnalyticsTest, FiltersFileThatDoesNotRead)
{
    writeBytes(fx.journal().path("filters.json"), "{\"1\": {\"weekdays\": ");
    page = std::make_unique<ReportsPage>(fx.journal(), prompts);
    page->rebuild();
    EXPECT_TRUE(page->filter().isEmpty());
    ASSERT_EQ(prompts.messages.size(), 1u);
    EXPECT_TRUE(prompts.messages[0].text.startsWith("Файл фильтров ")) << prompts.messages[0].text.toStdString();
    EXPECT_TRUE(QFile::exists(fx.journal().path("filters.json.damaged")));
    prompts.messages.clear();
    tick("Button_FilterHours", "09:00", false);
    EXPECT_EQ(page->filter().hours, TradeFilter::kAllHours & ~(1u << 9));
    page = std::make_unique<ReportsPage>(fx.journal(), prompts);
    page->rebuild();
    EXPECT_EQ(page->filter().hours, TradeFilter::kAllHours & ~(1u << 9));
    EXPECT_TRUE(prompts.messages.empty());
}

// Each account keeps its own filter; the bar offers each account's own
// symbols; the last ticked choice of a list stays ticked.
TEST_F(ReportsAnalyticsTest, EachAccountItsOwnFilter)
{
    fx.db().executeStatement(QStringLiteral("INSERT INTO t_chet (chet_name, chet_kapital) VALUES ('Второй', 500)"));
    fx.db().executeStatement(QStringLiteral("INSERT INTO t_sdelki (chet, OpenTime, Type, Item, Profit) "
                                            "VALUES ('2', '2024.02.01 10:00', 'buy', 'XAUUSD', '7')"));
    tick("Button_FilterWeekdays", "Пн", false);
    fx.journal().activeAccount = QStringLiteral("2");
    page->rebuild();
    EXPECT_TRUE(page->filter().isEmpty());
    EXPECT_EQ(control<ChoiceButton>("Button_FilterSymbols")->text(), "Символы: все");
    QStringList symbols;
    for (QAction* a : control<ChoiceButton>("Button_FilterSymbols")->choicesMenu()->actions()) {
        if (a->isCheckable())
            symbols << a->text();
    }
    EXPECT_EQ(symbols, QStringList{"XAUUSD"});
    tick("Button_FilterSymbols", "XAUUSD", false); // the only one: stays ticked
    EXPECT_TRUE(page->filter().isEmpty());
    control<QComboBox>("ComboBox_FilterType")->setCurrentIndex(1);
    EXPECT_EQ(page->filter().direction, TradeFilter::Direction::Buy);

    fx.journal().activeAccount = QStringLiteral("1");
    page->rebuild();
    EXPECT_EQ(page->filter().weekdays, 0x7eu);
    EXPECT_EQ(page->filter().direction, TradeFilter::Direction::Any);
    fx.journal().activeAccount = QStringLiteral("2");
    page->rebuild();
    EXPECT_EQ(page->filter().direction, TradeFilter::Direction::Buy);
    EXPECT_EQ(page->filter().weekdays, TradeFilter::kAllWeekdays);
}

} // namespace
