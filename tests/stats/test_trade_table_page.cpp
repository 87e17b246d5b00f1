#include "shell/main_window.h"
#include "db/core/numbers.h"
#include "charts/core/axis_ticks.h"
#include "scripted_prompts.h"
#include "stats/core/column_widths.h"
#include "stats/core/trade_table_model.h"
#include "stats/ui/analysis_page.h"
#include "stats/ui/balance_chart_panel.h"
#include "stats/ui/balance_chart_view.h"
#include "stats/ui/trade_table_page.h"

#include "header_click.h"
#include "stats_fixture.h"
#include "widget_by_name.h"

#include <QAction>
#include <QApplication>
#include <QCheckBox>
#include <QComboBox>
#include <QDateTimeEdit>
#include <QHeaderView>
#include <QLabel>
#include <QLineSeries>
#include <QMenu>
#include <QPushButton>
#include <QScrollBar>
#include <QTabWidget>
#include <QTableView>
#include <QValueAxis>
#include <QWheelEvent>

#include <gtest/gtest.h>

#include <cmath>

namespace {

class TradeTablePageTest : public ::testing::Test {
protected:
    TradeTablePageTest()
        : page(f.journal(), prompts)
    {
        page.resize(1200, 700);
    }
    template <class T> T* child(const char* name) { return widgetByName<T>(&page, name); }
    QString label(const char* name) { return child<QLabel>(name)->text(); }
    int rowOf(const QString& id)
    {
        for (int row = 0; row < page.model()->rowCount(); ++row) {
            if (page.model()->cell(row, tradecol::Id) == id)
                return row;
        }
        return -1;
    }

    StatsFixture f;
    ScriptedPrompts prompts;
    TradeTablePage page;
};

TEST_F(TradeTablePageTest, RefreshShowsTableSummaryChartAndAccountName)
{
    TradeRow first;
    first.openTime = "2013.05.21 10:00";
    first.profit = "10";
    first.profit2 = 10.0;
    first.commission = -1.0;
    first.swap = "-0,5";
    f.insert(first);
    f.insertProfit(-5, "2013.05.22 10:00");
    f.insertProfit(20, "2013.05.23 10:00");
    page.refreshTradeTable();

    EXPECT_TRUE(prompts.messages.empty());
    EXPECT_EQ(page.model()->rowCount(), 3);
    EXPECT_EQ(page.model()->data(page.model()->index(0, tradecol::Profit)).toString(), QStringLiteral("20"));
    EXPECT_EQ(page.model()->headerData(3, Qt::Horizontal).toString(), QStringLiteral("Open Time"));
    EXPECT_EQ(label("Label_All2"), QStringLiteral("Кол-во сделок: 3, прибыльных 2 (66,7%), проигравших 1 (33,3%)"));
    EXPECT_EQ(label("kom1"), QStringLiteral("c коммисией: 1023,50"));
    EXPECT_EQ(label("kom2"), QStringLiteral("без коммисии: 1025,00"));
    EXPECT_EQ(label("kom3"), QStringLiteral("коммисия: -1,00"));
    EXPECT_EQ(label("capswap"), QStringLiteral("Свопы: -0,50"));

    BalanceChartView* chart = child<BalanceChartView>("Chart1");
    ASSERT_NE(chart, nullptr);
    EXPECT_EQ(chart->balanceSeries()->points(), QList<QPointF>({{0, 1008.5}, {1, 1003.5}, {2, 1023.5}}));
    EXPECT_EQ(chart->noCommissionSeries()->count(), 0); // the blue line only while ticked
    child<QCheckBox>("CheckBox_Komis")->setChecked(true);
    EXPECT_EQ(chart->noCommissionSeries()->points(), QList<QPointF>({{0, 1010}, {1, 1005}, {2, 1025}}));

    // Every column fitted to its widest text in the grid's font.
    auto* grid = child<QTableView>("StringGrid_All");
    TextWidthMeasure measure(grid->font());
    const std::vector<int> widths = page.model()->columnWidths(measure, 1);
    for (int col = 0; col < 19; ++col)
        EXPECT_EQ(grid->columnWidth(col), widths[col]) << col;
    EXPECT_EQ(grid->columnWidth(tradecol::Profit), QFontMetrics(grid->font()).horizontalAdvance("Profit") + 19);
}

TEST_F(TradeTablePageTest, ChangingTheSortOrderRebuildsAtOnce)
{
    const QString late = f.insertProfit(1, "2013.06.01 10:00");
    const QString early = f.insertProfit(-1, "2013.05.01 10:00");
    page.refreshTradeTable();
    EXPECT_EQ(rowOf(late), 0);
    const QString summary = label("Label_All2");
    child<QComboBox>("ComboBox1")->setCurrentIndex(1); // "по дате"
    EXPECT_EQ(rowOf(early), 0);
    EXPECT_EQ(label("Label_All2"), summary);
}

// A click on a header sorts by that column's values (numbers as numbers,
// times as times), a second click reverses; "№" and the colours go with
// their trade; the order chosen under "Сортировать" puts the header's
// sort aside.
TEST_F(TradeTablePageTest, HeaderClicksSortNumbersAndTimesAndTheOrderChoiceStillWorks)
{
    auto trade = [this](const char* time, const char* profit) {
        TradeRow row;
        row.openTime = QString::fromUtf8(time);
        row.profit = QString::fromUtf8(profit);
        row.profit2 = num::parseComma(row.profit).value_or(0);
        return f.insert(row);
    };
    const QString a = trade("2013.05.22 10:00", "9,50");
    const QString b = trade("2013.05.21 09:00:30", "10,00");
    const QString c = trade("2013.05.23 08:00", "-1120,00");
    page.refreshTradeTable();
    auto* grid = child<QTableView>("StringGrid_All");
    auto shownIds = [this] {
        QStringList ids;
        for (int row = 0; row < page.model()->rowCount(); ++row)
            ids << page.model()->cell(row, tradecol::Id);
        return ids;
    };
    EXPECT_EQ(shownIds(), QStringList({b, a, c})) << "по профиту";
    EXPECT_EQ(grid->horizontalHeader()->sortIndicatorSection(), -1) << "no arrow before a click";

    struct Click {
        int column;
        QStringList ids;
    };
    const Click clicks[] = {
        {tradecol::Profit, {c, a, b}},
        {tradecol::Profit, {b, a, c}},
        {tradecol::OpenTime, {b, a, c}}, // a new column starts ascending
        {tradecol::OpenTime, {c, a, b}},
        {tradecol::Ticket, {c, a, b}},   // all empty: the order before stays
    };
    for (const Click& click : clicks) {
        clickHeader(grid, click.column);
        EXPECT_EQ(shownIds(), click.ids) << click.column;
    }
    clickHeader(grid, tradecol::Profit);
    EXPECT_EQ(shownIds(), QStringList({c, a, b}));
    const int rowOfC = 0;
    EXPECT_EQ(page.model()->cell(rowOfC, tradecol::Number), QStringLiteral("3"));
    EXPECT_EQ(page.model()->data(page.model()->index(rowOfC, 0), Qt::BackgroundRole).value<QColor>(),
              QColor(255, 182, 193));
    // A rebuild keeps the trader's column.
    page.refreshTradeTable();
    EXPECT_EQ(shownIds(), QStringList({c, a, b}));

    child<QComboBox>("ComboBox1")->setCurrentIndex(1); // "по дате"
    EXPECT_EQ(shownIds(), QStringList({b, a, c}));
    EXPECT_EQ(grid->horizontalHeader()->sortIndicatorSection(), -1);
    EXPECT_EQ(page.model()->cell(0, tradecol::Number), QStringLiteral("1"));
}

// A refresh after a change reads the trades anew: the view stays where the
// trader had scrolled it, with the same trade selected.
TEST_F(TradeTablePageTest, ARefreshAfterAChangeKeepsTheViewWhereItStood)
{
    for (int i = 0; i < 300; ++i)
        f.insertProfit(i % 7 - 3, QStringLiteral("2013.05.%1 10:%2").arg(i % 28 + 1, 2, 10, QLatin1Char('0')).arg(i % 60, 2, 10, QLatin1Char('0')));
    page.resize(500, 400);
    page.show();
    page.refreshTradeTable();
    QApplication::processEvents();
    auto* grid = child<QTableView>("StringGrid_All");
    grid->verticalScrollBar()->setValue(100);
    grid->horizontalScrollBar()->setValue(grid->horizontalScrollBar()->maximum() / 2);
    ASSERT_EQ(grid->verticalScrollBar()->value(), 100);
    const int left = grid->horizontalScrollBar()->value();
    ASSERT_GT(left, 0);
    grid->selectRow(101);
    const QString selected = page.model()->cell(101, tradecol::Id);

    f.db().executeStatement(QStringLiteral("UPDATE t_sdelki SET comment = 'пробой' WHERE id = %1").arg(selected));
    page.refreshTradeTable();
    QApplication::processEvents();
    EXPECT_EQ(grid->verticalScrollBar()->value(), 100);
    EXPECT_EQ(grid->horizontalScrollBar()->value(), left);
    EXPECT_EQ(page.model()->cell(grid->selectionModel()->selectedRows().value(0).row(), tradecol::Id), selected);
    EXPECT_EQ(page.model()->cell(101, 17), QStringLiteral("пробой")); // "Комметарий"
}

TEST_F(TradeTablePageTest, AProfitThatDoesNotReadIsReportedOnceAndLeftOut)
{
    f.insertProfit(5, "2013.05.21 10:00");
    TradeRow bad;
    bad.openTime = "2013.05.21 11:00";
    bad.profit = "n/a";
    f.insert(bad);
    child<QComboBox>("ComboBox1")->setCurrentIndex(1); // the change itself refreshes
    ASSERT_EQ(prompts.messages.size(), 1u);
    EXPECT_EQ(prompts.messages[0].icon, Prompts::Icon::Error);
    EXPECT_EQ(prompts.messages[0].caption, QStringLiteral("Ошибка"));
    EXPECT_EQ(prompts.messages[0].text, QStringLiteral("Ошибка - Во время обновление данных\nСделка id 2: Прибыль «n/a» "
                                                       "не является числом; она не входит в итоги"));
    EXPECT_EQ(label("Label_All2"), QStringLiteral("Кол-во сделок: 1, прибыльных 1 (100,0%), проигравших 0 (0,0%)"));
    EXPECT_EQ(page.model()->rowCount(), 2);
    // The chart holds the trade that reads and its totals.
    EXPECT_EQ(child<BalanceChartView>("Chart1")->balanceSeries()->count(), 1);
    EXPECT_EQ(label("kom1"), QStringLiteral("c коммисией: 1005,00"));
    // The same trade met again in this run says nothing more.
    child<QComboBox>("ComboBox1")->setCurrentIndex(0);
    EXPECT_EQ(prompts.messages.size(), 1u);
}

TEST_F(TradeTablePageTest, RowsAreDrawnInTheirBandsAndTheSelectedRowInYellow)
{
    TradeRow low;
    low.openTime = "2013.05.21 10:00";
    low.profit = "4,01";
    low.profit2 = 4.01;
    low.comment = "Низкая";
    f.insert(low);
    f.insertProfit(-1.81, "2013.05.21 11:00");
    f.insertProfit(4, "2013.05.21 12:00");
    child<QComboBox>("ComboBox1")->setCurrentIndex(1);
    page.resize(1600, 700);
    page.show();
    QApplication::processEvents();
    auto* grid = child<QTableView>("StringGrid_All");
    grid->selectRow(2);
    QApplication::processEvents();
    const QImage image = grid->viewport()->grab().toImage();
    auto background = [&](int row) {
        const QRect r = grid->visualRect(page.model()->index(row, tradecol::Profit));
        return QColor(image.pixel(r.right() - 3, r.bottom() - 3));
    };
    EXPECT_EQ(background(0), QColor(179, 238, 58));
    EXPECT_EQ(background(1), QColor(255, 182, 193));
    EXPECT_EQ(background(2), QColor(255, 255, 0)); // selected: yellow, whatever the band
    auto hasTextIn = [&](int row, int col, const QColor& colour) {
        const QRect r = grid->visualRect(page.model()->index(row, col)).intersected(image.rect());
        for (int y = r.top(); y <= r.bottom(); ++y)
            for (int x = r.left(); x <= r.right(); ++x)
                if (QColor(image.pixel(x, y)) == colour)
                    return true;
        return false;
    };
    EXPECT_TRUE(hasTextIn(0, 17, QColor(0, 128, 0)));   // "Низкая" in green
    EXPECT_TRUE(hasTextIn(2, 6, QColor(0, 0, 255))); // blue on the selected row
}

TEST_F(TradeTablePageTest, DeleteMenuAsksForTheSelectedTrade)
{
    f.insertProfit(1, "2013.05.21 10:00");
    const QString id = f.insertProfit(2, "2013.05.21 11:00");
    page.refreshTradeTable();
    QStringList asked;
    QObject::connect(&page, &TradeTablePage::deleteTradeRequested, [&](const QString& id) { asked.append(id); });
    QAction* del = page.findChild<QMenu*>("PopupMenu6_Del1")->actions().value(0);
    ASSERT_NE(del, nullptr);
    EXPECT_EQ(del->text(), QStringLiteral("Удалить сделку"));
    del->trigger(); // nothing selected: nothing asked
    EXPECT_TRUE(asked.isEmpty());
    child<QTableView>("StringGrid_All")->selectRow(rowOf(id));
    del->trigger();
    EXPECT_EQ(asked, QStringList({id}));
}

TEST_F(TradeTablePageTest, ChartPanelHidesDownToItsButton)
{
    auto* panel = child<BalanceChartPanel>("Panel_Chart");
    auto* button = child<QPushButton>("Button10");
    EXPECT_EQ(panel->height(), 230);
    button->click();
    EXPECT_EQ(panel->height(), 30);
    EXPECT_EQ(button->text(), QStringLiteral("Показать график"));
    button->click();
    EXPECT_EQ(panel->height(), 230);
    EXPECT_EQ(button->text(), QStringLiteral("Скрыть график"));
}

TEST(BalanceChartViewTest, MarkerSizeKeptForFiftyTradesAndWheelZoomsAroundThePointer)
{
    BalanceChartView view;
    view.resize(800, 230);
    auto data = [](int n) {
        BalanceChart c;
        c.tradeCount = n;
        for (int k = 0; k < n; ++k)
            c.balanceCurve.push_back(1000 + k);
        c.noCommissionCurve = c.balanceCurve;
        return c;
    };
    view.showChart(data(49), false);
    EXPECT_EQ(view.markerSize(), 5);
    view.showChart(data(201), false);
    EXPECT_EQ(view.markerSize(), 0);
    view.showChart(data(50), false);
    EXPECT_EQ(view.markerSize(), 0);

    view.show();
    QApplication::processEvents();
    auto* x = qobject_cast<QValueAxis*>(view.chart()->axes(Qt::Horizontal).value(0));
    ASSERT_NE(x, nullptr);
    EXPECT_EQ(x->min(), 0);
    EXPECT_EQ(x->max(), 49);
    const QPointF at = view.mapFromScene(view.chart()->mapToScene(view.chart()->plotArea().center()));
    QWheelEvent wheel(at, view.mapToGlobal(at), {}, {0, 120}, Qt::NoButton, Qt::NoModifier, Qt::NoScrollPhase, false);
    QApplication::sendEvent(view.viewport(), &wheel);
    EXPECT_LT(x->max() - x->min(), 49 * 0.81);
    EXPECT_NEAR((x->max() + x->min()) / 2, 24.5, 0.5);
    QMouseEvent click(QEvent::MouseButtonDblClick, at, view.mapToGlobal(at), Qt::LeftButton, Qt::LeftButton, Qt::NoModifier);
    QApplication::sendEvent(view.viewport(), &click);
    EXPECT_EQ(x->min(), 0);
    EXPECT_EQ(x->max(), 49);
}

// Zoomed in as deep as the wheel goes and out again, the axes keep round
// ticks with labels of the decimals they need, the right axis reading as
// the left one.
TEST(BalanceChartViewTest, DeepWheelZoomKeepsReadableTicksOnEveryAxis)
{
    BalanceChartView view;
    view.resize(800, 230);
    BalanceChart data;
    data.tradeCount = 5000;
    for (int k = 0; k < 5000; ++k)
        data.balanceCurve.push_back(1000 + 300000 * std::sin(k / 300.0) + 0.37 * k);
    view.showChart(data, false);
    view.show();
    QApplication::processEvents();
    QChart* chart = view.chart();
    auto* x = qobject_cast<QValueAxis*>(chart->axes(Qt::Horizontal).value(0));
    auto* left = qobject_cast<QValueAxis*>(chart->axes(Qt::Vertical).value(0));
    auto* right = qobject_cast<QValueAxis*>(chart->axes(Qt::Vertical).value(1));
    ASSERT_NE(x, nullptr);
    ASSERT_NE(right, nullptr);
    ASSERT_EQ(chart->axes(Qt::Vertical).size(), 2);

    auto wheel = [&](int steps, int delta) {
        const QPointF at = view.mapFromScene(chart->mapToScene(chart->plotArea().center() + QPointF(37, -11)));
        for (int i = 0; i < steps; ++i) {
            QWheelEvent event(at, view.mapToGlobal(at), {}, {0, delta}, Qt::NoButton, Qt::NoModifier,
                              Qt::NoScrollPhase, false);
            QApplication::sendEvent(view.viewport(), &event);
            QApplication::processEvents();
        }
    };
    auto ticksIn = [](const QValueAxis* a) {
        return static_cast<int>(std::floor(a->max() / a->tickInterval() + 1e-9) -
                                std::ceil(a->min() / a->tickInterval() - 1e-9)) + 1;
    };
    auto expectReadable = [&](const char* when) {
        EXPECT_GE(ticksIn(x), 2) << when;
        EXPECT_LE(ticksIn(x), 10) << when;
        EXPECT_EQ(x->tickInterval(), std::round(x->tickInterval())) << when; // whole trades
        EXPECT_EQ(x->labelFormat(), QStringLiteral("%.0f")) << when;
        EXPECT_GE(ticksIn(left), 2) << when;
        EXPECT_LE(ticksIn(left), 10) << when;
        EXPECT_EQ(left->labelFormat(), QStringLiteral("%.%1f").arg(decimalsFor(left->tickInterval()))) << when;
        EXPECT_EQ(std::pair(right->min(), right->max()), std::pair(left->min(), left->max())) << when;
        EXPECT_EQ(right->tickInterval(), left->tickInterval()) << when;
        EXPECT_EQ(right->labelFormat(), left->labelFormat()) << when;
    };

    expectReadable("whole");
    EXPECT_EQ(x->max(), 4999);
    EXPECT_EQ(x->tickInterval(), 1000);

    wheel(80, 120);
    expectReadable("zoomed in");
    EXPECT_EQ(x->max() - x->min(), 2); // the deepest zoom: two trades
    EXPECT_NEAR(left->max() - left->min(), 0.1, 1e-6); // and ten cents
    EXPECT_EQ(x->tickInterval(), 1);
    EXPECT_EQ(left->labelFormat(), QStringLiteral("%.2f"));
    // The series follows with the points of the zoomed range (and one more
    // on each side).
    EXPECT_LE(view.balanceSeries()->count(), 6);

    wheel(80, -120);
    expectReadable("zoomed out");
    EXPECT_EQ(x->min(), 0);
    EXPECT_EQ(x->max(), 4999);
    EXPECT_EQ(view.balanceSeries()->points().first(), QPointF(0, 1000));
}

class MainWindowTradeTableTest : public ::testing::Test {
protected:
    StatsFixture f;
    ScriptedPrompts prompts;
};

TEST_F(MainWindowTradeTableTest, DoubleClickOpensTheAnalysisOfTheTradesDay)
{
    f.insertProfit(1, "2013.07.04 23:59");
    const QString id = f.insertProfit(2, "2013.07.05 10:00");
    TForm1 form(f.journal(), prompts);
    form.setAccountPagesVisible(true);
    TradeTablePage* page = form.tradeTablePage();
    page->refreshTradeTable();
    const int row = page->model()->cell(0, tradecol::Id) == id ? 0 : 1;
    widgetByName<QTableView>(page, "StringGrid_All")->selectRow(row);
    page->StringGrid_AllDblClick();
    EXPECT_TRUE(prompts.messages.empty());
    EXPECT_EQ(pageTabs(&form)->currentIndex(), int(TForm1::PageAnalysis));
    EXPECT_EQ(widgetByName<QDateTimeEdit>(form.analysisPage(), "DateTimePicker1")->date(), QDate(2013, 7, 5));
    EXPECT_EQ(widgetByName<QDateTimeEdit>(form.analysisPage(), "DateTimePicker2")->date(), QDate(2013, 7, 6));
}

TEST_F(MainWindowTradeTableTest, DoubleClickOnAnUnreadableTimeChangesNothing)
{
    TradeRow row;
    row.openTime = "вчера";
    row.profit = "1";
    f.insert(row);
    TForm1 form(f.journal(), prompts);
    form.setAccountPagesVisible(true);
    form.setPage(TForm1::PageTrades);
    TradeTablePage* page = form.tradeTablePage();
    page->refreshTradeTable();
    widgetByName<QTableView>(page, "StringGrid_All")->selectRow(0);
    page->StringGrid_AllDblClick();
    EXPECT_EQ(pageTabs(&form)->currentIndex(), int(TForm1::PageTrades));
    ASSERT_EQ(prompts.messages.size(), 1u);
    EXPECT_EQ(prompts.messages[0].text, QStringLiteral("«вчера» - неверная дата и время"));
}

} // namespace
