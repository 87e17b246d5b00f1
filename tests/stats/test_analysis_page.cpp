#include "pictures/ui/grid_snapshot.h"
#include "scripted_prompts.h"
#include "stats/core/analysis_model.h"
#include "stats/ui/analysis_page.h"
#include "stats_fixture.h"

#include <QDateTimeEdit>
#include <QHeaderView>
#include <QLabel>
#include <QMenu>
#include <QSignalSpy>
#include <QTableView>

#include <gtest/gtest.h>

namespace {

class AnalysisPageTest : public ::testing::Test {
protected:
    StatsFixture fx;
    ScriptedPrompts prompts;
    AnalysisPage page{fx.journal(), prompts};

    void range(QDate start, QDate end)
    {
        page.DateTimePicker1->setDate(start);
        page.DateTimePicker2->setDate(end);
    }
};

TEST_F(AnalysisPageTest, StepsADayBackAndForward)
{
    struct Step {
        void (AnalysisPage::*action)();
        QDate start, end;
    };
    range(QDate(2013, 7, 3), QDate(2013, 7, 10));
    const std::vector<Step> steps = {
        {&AnalysisPage::BitBtn8Click, QDate(2013, 7, 8), QDate(2013, 7, 9)},
        {&AnalysisPage::BitBtn9Click, QDate(2013, 7, 9), QDate(2013, 7, 10)},
        {&AnalysisPage::Button1Click, QDate::currentDate(), QDate::currentDate().addDays(1)},
    };
    for (const Step& s : steps) {
        (page.*s.action)();
        EXPECT_EQ(page.DateTimePicker1->date(), s.start);
        EXPECT_EQ(page.DateTimePicker2->date(), s.end);
    }
}

TEST_F(AnalysisPageTest, ShowsTheDayWithColoursAndKeepsTheTradersColumnWidths)
{
    fx.insert({QStringLiteral("2013.07.05 10:00"), QStringLiteral("10,5")});
    fx.insert({QStringLiteral("2013.07.05 12:00"), QStringLiteral("-4")});
    GridLayout layout;
    layout.colCount = 16;
    layout.colWidths = QList<int>(16, 40);
    layout.colWidths[3] = 130;
    applyGridLayout(page.StringGrid_Analiz, layout);

    page.showDay(QDate(2013, 7, 5));
    EXPECT_EQ(page.Label_Data->text(), QStringLiteral("05 июля 2013 - Пятница"));
    EXPECT_EQ(page.Label_Day->text(),
              QStringLiteral("Итог дня: 6,50 , всего сделок: 2, процент выйгрышных: 50,00%, Выйграл: 1, Проиграл 1, "
                             "средняя прибыльная сделка: 10,50"));
    EXPECT_EQ(page.Label_Day->palette().color(QPalette::WindowText), QColor(0, 128, 0));
    const QAbstractItemModel* model = page.StringGrid_Analiz->model();
    ASSERT_EQ(model->rowCount(), 2);
    EXPECT_EQ(model->headerData(15, Qt::Horizontal).toString(), QStringLiteral("Рис"));
    EXPECT_EQ(model->index(0, 7).data().toString(), QStringLiteral("10,5"));
    EXPECT_EQ(model->index(0, 3).data(Qt::BackgroundRole).value<QColor>(), QColor(179, 238, 58));
    EXPECT_EQ(model->index(1, 3).data(Qt::BackgroundRole).value<QColor>(), QColor(255, 182, 193));
    EXPECT_EQ(page.StringGrid_Analiz->horizontalHeader()->sectionSize(3), 130);
    EXPECT_TRUE(prompts.messages.empty());
}

TEST_F(AnalysisPageTest, DoubleClickAndMenuActOnTheSelectedTrade)
{
    const QString first = fx.insert({QStringLiteral("2013.07.05 10:00"), QStringLiteral("1")});
    const QString second = fx.insert({QStringLiteral("2013.07.05 11:00"), QStringLiteral("2")});
    page.showDay(QDate(2013, 7, 5));
    QSignalSpy selected(&page, &AnalysisPage::tradeSelected);
    EXPECT_EQ(page.selectedTradeId(), QString());
    page.StringGrid_Analiz->selectRow(1);
    EXPECT_EQ(page.selectedTradeId(), second);
    ASSERT_GE(selected.count(), 1);
    EXPECT_EQ(selected.last().at(0).toString(), second);
    QSignalSpy deleted(&page, &AnalysisPage::deleteTradeRequested);
    page.PopupMenu6_Del1->actions().first()->trigger();
    ASSERT_EQ(deleted.count(), 1);
    EXPECT_EQ(deleted.at(0).at(0).toString(), second);
    (void)first;
}

TEST_F(AnalysisPageTest, AProfitThatIsNotANumberIsReported)
{
    fx.insert({QStringLiteral("2013.07.05 10:00"), QStringLiteral("abc")});
    page.showDay(QDate(2013, 7, 5));
    ASSERT_EQ(prompts.messages.size(), 1u);
    EXPECT_EQ(prompts.messages[0].text, QStringLiteral("Ошибка - Во время обновление данных"));
    EXPECT_EQ(page.Label_Day->text(), QStringLiteral("Нет сделок"));
}

} // namespace
