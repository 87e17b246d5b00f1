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
