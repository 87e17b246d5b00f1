// The main window's part in the account life cycle: which pages are offered.
#include "accounts/ui/accounts_page.h"
#include "import/ui/import_panel.h"
#include "shell/main_window.h"
#include "stats/ui/trade_table_page.h"

#include "accounts_test_data.h"
#include "scripted_prompts.h"
#include "temp_journal.h"
#include "widget_by_name.h"

#include "db/core/cp1251.h"
#include "db/core/sqlite_database.h"

#include <QLabel>
#include <QPushButton>
#include <QTableView>
#include <QTabWidget>
#include <QTest>

#include <gtest/gtest.h>

namespace {

bool accountPagesShown(const TForm1& window)
{
    return pageTabs(&window)->isTabVisible(TForm1::PageTrades) &&
           pageTabs(&window)->isTabVisible(TForm1::PageAnalysis) &&
           pageTabs(&window)->isTabVisible(TForm1::PageDays) && pageTabs(&window)->isTabVisible(TForm1::PageReports);
}

} // namespace

TEST(MainWindowAccounts, AccountPagesFollowActivationStartupAndDeletion)
{
    TempAppDir dir;
    auto journal = dir.openJournal();
    writeBytes(dir.file(QStringLiteral("config.ini")),
               cp1251::encode(QStringLiteral("[Настройки]\r\nАктивный счет=2\r\n")));
    const QString first = insertAccount(journal->db(), QStringLiteral("Первый"));
    insertAccount(journal->db(), QStringLiteral("Второй"));
    insertAccount(journal->db(), QStringLiteral("Третий"));
    ScriptedPrompts prompts;
    TForm1 window(*journal, prompts);
    AccountsPage& accounts = *window.accountsPage();

    window.runStartup();
    EXPECT_FALSE(accountPagesShown(window));
    EXPECT_EQ(accounts.listPosition(), 2);
    EXPECT_EQ(journal->activeAccount, first);

    accounts.activateAccount();
    EXPECT_TRUE(accountPagesShown(window));
    EXPECT_EQ(journal->activeAccount, QStringLiteral("3"));
    EXPECT_EQ(widgetByName<QLabel>(window.tradeTablePage(), "Active_Chet_Cap")->text(), QStringLiteral("Третий"));

    prompts.answerConfirm(true);
    accounts.deleteAccount();
    EXPECT_FALSE(accountPagesShown(window));
    EXPECT_EQ(accounts.accountCount(), 2);
    EXPECT_EQ(journal->activeAccount, first);

    window.runShutdown();
    EXPECT_TRUE(readBytes(dir.file(QStringLiteral("config.ini"))).contains("=0\r\n"));
    EXPECT_TRUE(prompts.allAnswersUsed());
}

// An import from the command line while the window is open: the window shows
// it within a few seconds, without a click, the account staying active.
TEST(MainWindowAccounts, ChangesMadeByAnotherProgramAreShownWithoutAClick)
{
    TempAppDir dir;
    auto journal = dir.openJournal();
    const QString account = insertAccount(journal->db(), QStringLiteral("Первый"));
    insertTrade(journal->db(), account, QStringLiteral("2024.03.01 10:00:00"), QStringLiteral("10,00"));
    ScriptedPrompts prompts;
    TForm1 window(*journal, prompts);
    AccountsPage& accounts = *window.accountsPage();
    window.runStartup();
    accounts.activateAccount();
    QLabel* count = widgetByName<QLabel>(&accounts, "Label_Sdelki");
    ASSERT_EQ(count->text(), QStringLiteral("Сделок на счете: 1"));

    TSQLiteDatabase elsewhere(dir.file(QStringLiteral("datamoney.db")));
    insertTrade(elsewhere, account, QStringLiteral("2024.03.02 10:00:00"), QStringLiteral("5,00"));
    insertAccount(elsewhere, QStringLiteral("Второй"));
    QTRY_COMPARE_WITH_TIMEOUT(count->text(), QStringLiteral("Сделок на счете: 2"), 3 * TForm1::kOutsideCheckMs);
    EXPECT_EQ(accounts.accountCount(), 2);
    EXPECT_EQ(journal->activeAccount, account);
    EXPECT_TRUE(accountPagesShown(window));

    // The active account deleted elsewhere: its pages close.
    elsewhere.executeStatement(QStringLiteral("DELETE FROM t_chet WHERE id = ?"), {account});
    window.checkOutsideChanges();
    EXPECT_EQ(accounts.accountCount(), 1);
    EXPECT_TRUE(journal->activeAccount.isEmpty());
    EXPECT_FALSE(accountPagesShown(window));
    EXPECT_TRUE(prompts.messages.empty()) << prompts.messageTexts().join(u'|').toStdString();
}

// The line that tells what a copy did goes with the trader to "База
// данных"; another file opened, refused or not, or another account takes it
// away, on both pages.
TEST(MainWindowAccounts, TheCopysResultIsShownOnTheTradeTableUntilAnotherFileOrAccount)
{
    TempAppDir dir;
    auto journal = dir.openJournal();
    insertAccount(journal->db(), QStringLiteral("Первый"));
    insertAccount(journal->db(), QStringLiteral("Второй"));
    ScriptedPrompts prompts;
    TForm1 window(*journal, prompts);
    window.runStartup();
    AccountsPage& accounts = *window.accountsPage();
    accounts.activateAccount();
    ImportPanel& import = *window.importPanel();
    QLabel* onTrades = widgetByName<QLabel>(window.tradeTablePage(), "Label_CopyResult");
    QLabel* onImport = widgetByName<QLabel>(&import, "Label_Result");
    const QString statement = QStringLiteral(TJ_SOURCE_DIR "/examples/mt4_statement_example.htm");
    const auto copy = [&] {
        prompts.answerFile(statement);
        widgetByName<QPushButton>(&import, "BitBtn2")->click();
        widgetByName<QPushButton>(&import, "BitBtn3")->click();
    };

    copy();
    EXPECT_EQ(pageTabs(&window)->currentIndex(), TForm1::PageTrades);
    EXPECT_TRUE(onTrades->text().startsWith(QStringLiteral("Добавлено сделок: 200, обновлено: 0"))) << onTrades->text().toStdString();
    EXPECT_EQ(onTrades->text(), onImport->text());
    EXPECT_TRUE(onTrades->isVisibleTo(window.tradeTablePage()));

    // A file that is no statement: refused, and the old result is gone.
    writeBytes(dir.file(QStringLiteral("page.htm")), "<html>just a page</html>");
    prompts.answerFile(dir.file(QStringLiteral("page.htm")));
    widgetByName<QPushButton>(&import, "BitBtn2")->click();
    EXPECT_EQ(prompts.messageTexts(),
              QStringList{QStringLiteral("Выбранный файл не является отчетом MetaTrader, посмотрите видео урок!")});
    prompts.messages.clear();
    EXPECT_EQ(onTrades->text(), QString());
    EXPECT_FALSE(onTrades->isVisibleTo(window.tradeTablePage()));
    EXPECT_EQ(onImport->text(), QString());

    // A statement opened: the import line counts its trades, the trade
    // table shows no result until it is copied.
    prompts.answerFile(statement);
    widgetByName<QPushButton>(&import, "BitBtn2")->click();
    EXPECT_EQ(onTrades->text(), QString());
    EXPECT_EQ(onImport->text(), QStringLiteral("Закрытых сделок в отчете: 200"));
    widgetByName<QPushButton>(&import, "BitBtn3")->click();
    EXPECT_EQ(onTrades->text(), QStringLiteral("Добавлено сделок: 0, обновлено: 200"));

    // The same account activated again keeps it; another one does not.
    accounts.activateAccount();
    EXPECT_EQ(onTrades->text(), QStringLiteral("Добавлено сделок: 0, обновлено: 200"));
    widgetByName<QTableView>(&accounts, "ListView1")->selectRow(1);
    accounts.activateAccount();
    EXPECT_EQ(journal->activeAccount, QStringLiteral("2"));
    EXPECT_EQ(onTrades->text(), QString());
    EXPECT_EQ(prompts.messageTexts(), QStringList());
    EXPECT_TRUE(prompts.allAnswersUsed());
}
