// The main window's part in the account life cycle: which pages are offered.
#include "accounts/ui/accounts_page.h"
#include "shell/main_window.h"
#include "stats/ui/trade_table_page.h"

#include "accounts_test_data.h"
#include "scripted_prompts.h"
#include "temp_journal.h"
#include "widget_by_name.h"

#include "db/core/cp1251.h"
#include "db/core/sqlite_database.h"

#include <QLabel>
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
