// The trader's road through the window: open a day, annotate a trade, see
// the annotation in the grid; delete a trade from the trade table.
#include "accounts/ui/accounts_page.h"
#include "context/core/journal.h"
#include "shell/main_window.h"
#include "db/core/sqlite_database.h"
#include "journal/ui/trade_dialog.h"
#include "scripted_prompts.h"
#include "stats/ui/analysis_page.h"
#include "stats/ui/trade_table_page.h"
#include "temp_journal.h"
#include "widget_by_name.h"

#include <QComboBox>
#include <QDateTimeEdit>
#include <QLineEdit>
#include <QPushButton>
#include <QMenu>
#include <QPlainTextEdit>
#include <QTableView>
#include <QTest>

#include <gtest/gtest.h>

namespace {

class JournalFlowTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        auto& db = journal->db();
        db.executeStatement(QStringLiteral("INSERT INTO t_chet (chet_name, chet_kapital) VALUES ('Счет', 1000)"));
        for (const char* time : {"2013.07.05 10:00", "2013.07.05 12:00", "2013.07.06 09:00"})
            db.executeStatement(QStringLiteral("INSERT INTO t_sdelki (chet, Ticket, OpenTime, Swap, Profit, Profit2) "
                                               "VALUES ('1', '100', ?, '0', '5', 5)"),
                                {QLatin1String(time)});
        window.show();
        window.accountsPage()->activateAccount(); // no row selected: nothing
        window.accountsPage()->startupAccountChoice(0);
    }
    void doubleClickRow(QTableView* grid, int row)
    {
        window.setAccountPagesVisible(true);
        window.setPage(TForm1::PageAnalysis);
        QCoreApplication::processEvents();
        grid->selectRow(row);
        const QRect rect = grid->visualRect(grid->model()->index(row, 2));
        // A double-click is a press and release followed by the second press.
        QTest::mouseClick(grid->viewport(), Qt::LeftButton, {}, rect.center());
        QTest::mouseDClick(grid->viewport(), Qt::LeftButton, {}, rect.center());
    }

    TempAppDir dir;
    std::unique_ptr<Journal> journal = dir.openJournal();
    ScriptedPrompts prompts;
    TForm1 window{*journal, prompts};
};

TEST_F(JournalFlowTest, AnnotateATradeOfTheDayAndSeeItInTheGrid)
{
    AnalysisPage* analysis = window.analysisPage();
    analysis->showDay(QDate(2013, 7, 5));
    QTableView* grid = widgetByName<QTableView>(analysis, "StringGrid_Analiz");
    ASSERT_EQ(grid->model()->rowCount(), 2);

    doubleClickRow(grid, 1);
    TForm_Add* dialog = window.tradeDialog();
    ASSERT_TRUE(dialog->isVisible());
    widgetByName<QComboBox>(dialog, "ComboBox_Time")->setEditText(QStringLiteral("H4"));
    widgetByName<QComboBox>(dialog, "ComboBox_Trend")->setEditText(QStringLiteral("по тренду"));
    widgetByName<QComboBox>(dialog, "ComboBox_Ocenka")->setCurrentText(QStringLiteral("Отлично"));
    widgetByName<QPushButton>(dialog, "BitBtn1")->click();
    EXPECT_FALSE(dialog->isVisible());

    ASSERT_EQ(grid->model()->rowCount(), 2);
    EXPECT_EQ(grid->model()->index(1, 8).data().toString(), QStringLiteral("H4"));
    EXPECT_EQ(grid->model()->index(1, 9).data().toString(), QStringLiteral("по тренду"));
    EXPECT_EQ(grid->model()->index(1, 14).data().toString(), QStringLiteral("Отлично"));
    EXPECT_EQ(grid->model()->index(0, 8).data().toString(), QString());
    EXPECT_TRUE(prompts.messages.empty()) << prompts.messageTexts().join(u'|').toStdString();
}

TEST_F(JournalFlowTest, ANewTradeShowsUnderToday)
{
    widgetByName<QPushButton>(window.analysisPage(), "BitBtn19")->click();
    TForm_Add* dialog = window.tradeDialog();
    ASSERT_TRUE(dialog->isVisible());
    widgetByName<QLineEdit>(dialog, "Edit_Ticket")->setText(QStringLiteral("42"));
    widgetByName<QPushButton>(dialog, "BitBtn1")->click();
    QTableView* grid = widgetByName<QTableView>(window.analysisPage(), "StringGrid_Analiz");
    ASSERT_EQ(grid->model()->rowCount(), 1);
    EXPECT_EQ(grid->model()->index(0, 2).data().toString(), QStringLiteral("42"));
    EXPECT_EQ(widgetByName<QDateTimeEdit>(window.analysisPage(), "DateTimePicker1")->date(), QDate::currentDate());
}

TEST_F(JournalFlowTest, DeletingFromTheTradeTableTakesItsOwnSelection)
{
    QTableView* all = widgetByName<QTableView>(window.tradeTablePage(), "StringGrid_All");
    pageTabs(&window)->setCurrentIndex(TForm1::PageTrades); // the table is built when its page is shown
    ASSERT_EQ(all->model()->rowCount(), 3);
    all->selectRow(2);
    const QString id = all->model()->index(2, 1).data().toString();
    prompts.answerConfirm(true);
    widgetByName<QMenu>(window.tradeTablePage(), "PopupMenu6_Del1")->actions().first()->trigger();
    ASSERT_EQ(prompts.questions.size(), 1u);
    EXPECT_EQ(prompts.questions[0].text, QStringLiteral("Удалить выбранную запись №%1 ?").arg(id));
    EXPECT_EQ(all->model()->rowCount(), 2);
    EXPECT_EQ(journal->db().openResultTable(QStringLiteral("SELECT id FROM t_sdelki WHERE id=?"), {id})->rowCount(), 0);
}

TEST_F(JournalFlowTest, ATradeThatVanishedDoesNotOpen)
{
    AnalysisPage* analysis = window.analysisPage();
    analysis->showDay(QDate(2013, 7, 5));
    QTableView* grid = widgetByName<QTableView>(analysis, "StringGrid_Analiz");
    const QString id = grid->model()->index(0, 1).data().toString();
    journal->db().executeStatement(QStringLiteral("DELETE FROM t_sdelki WHERE id=?"), {id});
    doubleClickRow(grid, 0);
    EXPECT_FALSE(window.tradeDialog()->isVisible());
    EXPECT_EQ(grid->model()->rowCount(), 1); // the analysis was brought up to date
}

} // namespace

// A trade entered by hand with its open time shows on the day it opened,
// with its result, among the statement's trades.
TEST_F(JournalFlowTest, AHandEnteredTradeShowsOnItsDay)
{
    widgetByName<QPushButton>(window.analysisPage(), "BitBtn19")->click();
    TForm_Add* dialog = window.tradeDialog();
    ASSERT_TRUE(dialog->isVisible());
    widgetByName<QLineEdit>(dialog, "Edit_Symbol")->setText(QStringLiteral("EURUSD"));
    widgetByName<QLineEdit>(dialog, "Edit_Size")->setText(QStringLiteral("0,1"));
    widgetByName<QLineEdit>(dialog, "Edit_OpenTime")->setText(QStringLiteral("05.07.2013 15:30"));
    widgetByName<QLineEdit>(dialog, "Edit_Profit")->setText(QStringLiteral("-7,25"));
    widgetByName<QPushButton>(dialog, "BitBtn1")->click();
    EXPECT_FALSE(dialog->isVisible());
    EXPECT_EQ(widgetByName<QDateTimeEdit>(window.analysisPage(), "DateTimePicker1")->date(), QDate(2013, 7, 5));
    QTableView* grid = widgetByName<QTableView>(window.analysisPage(), "StringGrid_Analiz");
    QStringList opened;
    for (int r = 0; r < grid->model()->rowCount(); ++r)
        opened << grid->model()->index(r, 3).data().toString();
    EXPECT_TRUE(opened.contains(QStringLiteral("2013.07.05 15:30"))) << opened.join(u'|').toStdString();
    EXPECT_TRUE(prompts.messages.empty()) << prompts.messageTexts().join(u'|').toStdString();
}
