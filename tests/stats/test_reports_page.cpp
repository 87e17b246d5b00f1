#include "scripted_prompts.h"
#include "stats/core/category_report_model.h"
#include "stats/ui/month_chart_view.h"
#include "stats/ui/reports_page.h"
#include "stats_fixture.h"
#include "widget_by_name.h"

#include "db/core/sqlite_database.h"

#include <QBarSet>
#include <QGroupBox>
#include <QLabel>
#include <QTabWidget>
#include <QTableView>
#include <QTest>
#include <QValueAxis>

#include <gtest/gtest.h>

#include <cmath>

namespace {

QVariant colourOf(const QTableView* grid, int row)
{
    return grid->model()->index(row, 1).data(Qt::ForegroundRole);
}

class ReportsPageTest : public ::testing::Test {
protected:
    StatsFixture fx;
    ScriptedPrompts prompts;
    ReportsPage page{fx.journal(), prompts};

    QTableView* grid(const char* name) { return widgetByName<QTableView>(&page, name); }
    QTabWidget* innerTabs() { return widgetByName<QTabWidget>(&page, "PageControl2"); }
    QLabel* metricsProblem() { return widgetByName<QLabel>(&page, "Label_MetricsProblem"); }
    MonthChartView* months() { return widgetByName<MonthChartView>(&page, "Chart_Months"); }

    void add(const char* item, const char* type, const char* profit, const char* taktika, const char* strategia = "",
             const char* pravilo2 = "")
    {
        fx.db().executeStatement(
            QStringLiteral("INSERT INTO t_sdelki (chet, OpenTime, Type, Item, Profit, taktika, strategia, pravilo2) "
                           "VALUES ('1', '2013.07.01 10:00', ?, ?, ?, ?, ?, ?)"),
            {QString::fromUtf8(type), QString::fromUtf8(item), QString::fromUtf8(profit), QString::fromUtf8(taktika),
             QString::fromUtf8(strategia), QString::fromUtf8(pravilo2)});
    }

    void SetUp() override
    {
        add("eurusd", "buy", "10", "Пробой", "H1");
        add("gbpusd", "sell", "-4", "Отбой", "H1", "Стоп");
        add("usdjpy", "buy", "0", "");
        fx.journal().lists.entries(ListId::Enter) = {"", "Отбой", "Пробой"};
        fx.journal().lists.entries(ListId::Timeframe) = {"H1"};
        fx.journal().lists.entries(ListId::Exit) = {"Стоп"};
        page.resize(1400, 800);
        page.show();
        ASSERT_TRUE(QTest::qWaitForWindowExposed(&page));
    }
};

TEST_F(ReportsPageTest, RowsInTheColourOfTheirResult)
{
    page.Button_StratClick();
    EXPECT_EQ(prompts.messageTexts(), QStringList());
    QStringList tabs;
    for (int i = 0; i < innerTabs()->count(); ++i)
        tabs << innerTabs()->tabText(i);
    EXPECT_EQ(tabs, (QStringList{"Простые", "Входы и выходы", "Психология", "Показатели", "Календарь", "По часам и дням"}));

    const QColor green(0, 128, 0), red(255, 0, 0);
    struct Case {
        const QTableView* grid;
        std::vector<QVariant> colours; // the last row is the grid's empty one
    };
    const std::vector<Case> cases = {
        {grid("StringGrid_Valuta"), {green, red, QVariant(), QVariant()}},
        {grid("StringGrid_BuySell"), {green, red, QVariant()}},
        {grid("StringGrid_Strat"), {red, green, QVariant()}},
        {grid("StringGrid_Erorr2"), {red, QVariant()}},
        {grid("StringGrid_St"), {QVariant(), QVariant()}}, // drawn plainly
        {grid("StringGrid_Psixo"), {QVariant()}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.grid->objectName().toStdString());
        ASSERT_EQ(c.grid->model()->rowCount(), static_cast<int>(c.colours.size()));
        for (int row = 0; row < c.grid->model()->rowCount(); ++row)
            EXPECT_EQ(colourOf(c.grid, row), c.colours[row]) << row;
    }
    EXPECT_EQ(grid("StringGrid_Strat")->model()->index(1, 1).data().toString(), "Пробой");
    EXPECT_TRUE(page.findChild<QGroupBox*>("GroupBox_Valuta")->font().bold());
    EXPECT_EQ(page.findChild<QGroupBox*>("GroupBox_Erorr2")->title(), "Отчет по выходам:");

    EXPECT_EQ(grid("StringGrid_Metrics")->model()->rowCount(), 22); // sixteen money figures, six of R
    EXPECT_EQ(grid("StringGrid_Metrics")->model()->index(2, 1).data().toString(), "6,00");
    EXPECT_TRUE(metricsProblem()->isHidden());
    ASSERT_EQ(months()->gains()->count(), 1);
    EXPECT_EQ(months()->gains()->at(0), 10.0 - 4.0);
    EXPECT_GT(months()->valueAxis()->max(), 6.0);
}

// A trade whose profit does not read: one message for every report it
// stops and for the exit category it empties; the metrics say which trade.
TEST_F(ReportsPageTest, ProfitThatDoesNotRead)
{
    add("eurusd", "buy", "", "Пробой", "", "Стоп");
    page.Button_StratClick();
    // One message for the page, naming the trade every report left out.
    EXPECT_EQ(prompts.messageTexts(), QStringList{"Ошибка - Во время обновление данных\n"
                                                  "Сделка id 4: Прибыль «» не является числом; она не входит в итоги"});
    EXPECT_EQ(prompts.messages.at(0).caption, "Ошибка");
    EXPECT_EQ(grid("StringGrid_Valuta")->model()->rowCount(), 4); // the other trades' symbols and the empty row
    EXPECT_EQ(grid("StringGrid_Strat")->model()->rowCount(), 3);
    EXPECT_EQ(grid("StringGrid_Erorr2")->model()->index(0, 0).data().toString(), "1");
    EXPECT_FALSE(metricsProblem()->isHidden());
    EXPECT_EQ(metricsProblem()->text(), "Сделка id 4: Прибыль «» не является числом; она не входит в итоги");
    // Built again in the same run: nothing more is shown.
    page.Button_StratClick();
    EXPECT_EQ(prompts.messages.size(), 1u);
}

// The month chart's value labels keep a line apart at every height: a
// short chart gets fewer ticks rather than labels elided to "…".
TEST(MonthChart, TicksFitTheHeight)
{
    MonthChartView view;
    view.showMonths({{QDate(2024, 1, 1), 120.0}, {QDate(2024, 2, 1), -45.0}});
    view.show();
    EXPECT_TRUE(QTest::qWaitForWindowExposed(&view));
    const auto ticks = [&view](int height) {
        view.resize(400, height);
        QCoreApplication::processEvents();
        const QValueAxis* axis = view.valueAxis();
        return static_cast<int>(std::floor((axis->max() - axis->min()) / axis->tickInterval() + 1e-9)) + 1;
    };
    const int low = ticks(110);
    EXPECT_GE(low, 2);
    EXPECT_LE(low, 3);
    EXPECT_GT(ticks(400), low);
}

} // namespace
