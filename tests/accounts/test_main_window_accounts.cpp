// The main window's part in the account life cycle: which pages are offered.
#include "accounts/ui/account_dialog.h"
#include "accounts/ui/accounts_page.h"
#include "import/ui/import_panel.h"
#include "shell/main_window.h"
#include "stats/ui/trade_table_page.h"

#include "accounts_test_data.h"
#include "scripted_prompts.h"
#include "temp_journal.h"
#include "widget_by_name.h"

#include "context/core/journal.h"
#include "context/core/settings.h"
#include "db/core/cp1251.h"
#include "db/core/sqlite_database.h"

#include <QApplication>
#include <QCheckBox>
#include <QDate>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QTabWidget>
#include <QTableView>
#include <QTest>

#include <string_view>

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
    QTableView* trades = widgetByName<QTableView>(window.tradeTablePage(), "StringGrid_All");
    pageTabs(&window)->setCurrentIndex(TForm1::PageTrades); // the table is built when its page is shown
    trades->selectRow(0);
    const QString selectedId = trades->model()->index(0, 1).data().toString();

    // A new trade joins the table: the one selected stays selected.
    TSQLiteDatabase elsewhere(dir.file(QStringLiteral("datamoney.db")));
    insertTrade(elsewhere, account, QStringLiteral("2024.03.02 10:00:00"), QStringLiteral("50,00"));
    insertAccount(elsewhere, QStringLiteral("Второй"));
    QTRY_COMPARE_WITH_TIMEOUT(count->text(), QStringLiteral("Сделок на счете: 2"), 3 * TForm1::kOutsideCheckMs);
    const QModelIndexList selected = trades->selectionModel()->selectedRows();
    ASSERT_EQ(selected.size(), 1);
    EXPECT_EQ(trades->model()->index(selected.first().row(), 1).data().toString(), selectedId);
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

// Activating an account must not move the page under the mouse: an account
// kept without a name once took the group's caption line away, and a long
// description grew the details panel, so the list jumped by a line and the
// next click landed on another row. The list, its rows, the details panel
// and the import area stay where they are, whichever account is activated.
TEST(MainWindowAccounts, ActivatingAnyAccountMovesNothingOnThePage)
{
    TempAppDir dir;
    auto journal = dir.openJournal();
    TSQLiteDatabase& db = journal->db();
    const QString named = insertAccount(db, QStringLiteral("Основной"));
    insertTrade(db, named, QStringLiteral("2013.05.21 10:15"), QStringLiteral("25"));
    const QString unnamed = insertAccount(db, QString(), QStringLiteral("реал"));
    const QString described = insertAccount(db, QStringLiteral("С описанием"));
    db.executeStatement(QStringLiteral("UPDATE t_chet SET chet_opis=? WHERE id=?"),
                        {QStringLiteral("Пробой уровней после новостей, вход только по тренду старшего таймфрейма, "
                                        "выход частями.\r\nВторая строка\r\nТретья\r\nЧетвертая\r\nПятая"),
                         described});
    const QString bare = insertAccount(db, QStringLiteral("Пустой"));
    db.executeStatement(QStringLiteral("UPDATE t_chet SET chet_opis='', chet_broker='' WHERE id=?"), {bare});
    ScriptedPrompts prompts;
    TForm1 window(*journal, prompts);
    window.resize(1262, 670);
    window.show();
    window.runStartup();
    window.setPage(TForm1::PageAccounts);
    QApplication::processEvents();

    QTableView* list = widgetByName<QTableView>(&window, "ListView1");
    // Where each thing is in the window, rows included.
    const auto places = [&] {
        QStringList where;
        for (const char* name : {"ListView1", "Panel_Details", "Chart2", "GroupBox8", "BitBtn2", "BitBtn3"}) {
            const QWidget* w = widgetByName<QWidget>(window.accountsPage(), name);
            where << QStringLiteral("%1 %2,%3 %4x%5")
                         .arg(QLatin1String(name))
                         .arg(w->mapTo(&window, QPoint(0, 0)).x())
                         .arg(w->mapTo(&window, QPoint(0, 0)).y())
                         .arg(w->width())
                         .arg(w->height());
        }
        for (int row = 0; row < list->model()->rowCount(); ++row) {
            const QRect r = list->visualRect(list->model()->index(row, 1));
            const QPoint at = list->viewport()->mapTo(&window, r.topLeft());
            where << QStringLiteral("row %1 %2,%3 %4").arg(row).arg(at.x()).arg(at.y()).arg(r.height());
        }
        return where;
    };
    const QStringList before = places();
    const std::pair<int, const char*> clicks[] = {{1, ""}, {2, "С описанием"}, {0, "Основной"}, {3, "Пустой"}, {1, ""}};
    for (const auto& [row, caption] : clicks) {
        list->selectRow(row);
        window.accountsPage()->activateAccount();
        QApplication::processEvents();
        EXPECT_EQ(places(), before) << row;
        const QString expected =
            row == 1 ? QStringLiteral("Счет №%1 без названия").arg(unnamed) : QString::fromUtf8(caption);
        EXPECT_EQ(widgetByName<QGroupBox>(&window, "GroupBox7")->title(), expected);
        EXPECT_EQ(widgetByName<QLabel>(&window, "Label_Target")->text(),
                  QStringLiteral("Счет для копирования: ") + expected);
    }
    // The whole description is there to read.
    list->selectRow(2);
    window.accountsPage()->activateAccount();
    EXPECT_TRUE(widgetByName<QLabel>(&window, "Label_Opis")->toolTip().endsWith(QStringLiteral("Пятая")));
    EXPECT_TRUE(prompts.allAnswersUsed());
}

namespace {

// A window started on a folder whose config.ini and date.txt say how the
// last run ended, with three accounts, the second holding a trade.
struct StartedWindow {
    TempAppDir dir;
    std::unique_ptr<Journal> journal = dir.openJournal();
    ScriptedPrompts prompts;
    std::unique_ptr<TForm1> window;
    QStringList ids;
    int activations = 0;

    void start(const QString& settings, int page)
    {
        writeBytes(dir.file(QStringLiteral("config.ini")), cp1251::encode(settings));
        const QDate dates[4] = {QDate(2013, 5, 1), QDate(2013, 6, 1), QDate(2013, 5, 1), QDate(2013, 6, 1)};
        saveDateFile(dir.file(QStringLiteral("date.txt")), dates, page);
        for (const char* name : {"Первый", "Второй", "Третий"})
            ids << insertAccount(journal->db(), QString::fromUtf8(name));
        insertTrade(journal->db(), ids[1], QStringLiteral("2013.05.21 10:15"), QStringLiteral("25"));
        window = std::make_unique<TForm1>(*journal, prompts);
        QObject::connect(window->accountsPage(), &AccountsPage::accountActivated, [this] { ++activations; });
        window->runStartup();
    }
};

} // namespace

// "Открывать этот счет при запуске": on, the remembered account is
// activated once and the page of the last run is shown and written back;
// off or absent, the start is as it always was.
TEST(MainWindowAccounts, StartupOpensTheRememberedAccountOnTheSavedPageOnlyWhenAsked)
{
    struct Case {
        const char* settings;
        int savedPage;
        bool opened; // the remembered account is active, its pages shown
        int shownPage;
    };
    const char* on1 = "[Настройки]\r\nАктивный счет=1\r\nОткрыватьПоследнийСчет=1\r\n";
    const Case cases[] = {
        {on1, TForm1::PageDays, true, TForm1::PageDays},
        {on1, TForm1::PageReports, true, TForm1::PageReports},
        {on1, TForm1::PageAnalysis, true, TForm1::PageAnalysis},
        {on1, TForm1::PageNotebook, true, TForm1::PageNotebook},
        {on1, TForm1::PageAbout, true, TForm1::PageAbout},
        // No row was selected at the last exit: nothing to open.
        {"[Настройки]\r\nАктивный счет=-1\r\nОткрыватьПоследнийСчет=1\r\n", TForm1::PageDays, false, TForm1::PageAbout},
        {"[Настройки]\r\nАктивный счет=1\r\nОткрыватьПоследнийСчет=0\r\n", TForm1::PageDays, false, TForm1::PageAbout},
        {"[Настройки]\r\nАктивный счет=1\r\n", TForm1::PageTrades, false, TForm1::PageAbout},
    };
    for (const Case& c : cases) {
        const QString settings = QString::fromUtf8(c.settings);
        SCOPED_TRACE(settings.toStdString() + " page " + std::to_string(c.savedPage));
        StartedWindow w;
        w.start(settings, c.savedPage);
        TForm1& window = *w.window;
        AccountsPage& accounts = *window.accountsPage();
        const bool on = settings.contains(QStringLiteral("ОткрыватьПоследнийСчет=1"));
        EXPECT_EQ(widgetByName<QCheckBox>(&window, "CheckBox_OpenLast")->isChecked(), on);

        EXPECT_EQ(pageTabs(&window)->currentIndex(), c.shownPage);
        EXPECT_EQ(accountPagesShown(window), c.opened);
        EXPECT_EQ(accounts.isActivated(), c.opened);
        // The views are built once, for the account shown; otherwise they
        // hold the first account's, as always.
        EXPECT_EQ(w.activations, 1);
        EXPECT_EQ(w.journal->activeAccount, c.opened ? w.ids[1] : w.ids[0]);
        EXPECT_EQ(accounts.listPosition(), c.settings == std::string_view(on1) || !on ? 1 : -1);
        if (c.opened) {
            EXPECT_EQ(widgetByName<QLabel>(&window, "Label_Sdelki")->text(), QStringLiteral("Сделок на счете: 1"));
            EXPECT_EQ(widgetByName<QLabel>(&window, "Label_Target")->text(),
                      QStringLiteral("Счет для копирования: Второй"));
        }

        window.runShutdown();
        const DateState written = loadDateFile(w.dir.file(QStringLiteral("date.txt")));
        EXPECT_EQ(written.page, std::optional<int>(c.shownPage));
        Settings back;
        ASSERT_TRUE(loadSettings(w.dir.file(QStringLiteral("config.ini")), back));
        EXPECT_EQ(back.openLastAccount, on);
        EXPECT_TRUE(w.prompts.allAnswersUsed());
    }
}

// The import area names the account a copy goes into, and follows every
// activation, a rename of the active account and a deletion.
TEST(MainWindowAccounts, ImportAreaNamesTheAccountTheCopyGoesInto)
{
    StartedWindow w;
    w.start(QStringLiteral("[Настройки]\r\nАктивный счет=0\r\n"), TForm1::PageAccounts);
    TForm1& window = *w.window;
    AccountsPage& accounts = *window.accountsPage();
    QLabel* target = widgetByName<QLabel>(&window, "Label_Target");
    const QString none = QStringLiteral("Счет для копирования: не выбран (щелкните счет в таблице выше)");
    EXPECT_EQ(target->text(), none);

    QTableView* list = widgetByName<QTableView>(&window, "ListView1");
    list->selectRow(2);
    accounts.activateAccount();
    EXPECT_EQ(target->text(), QStringLiteral("Счет для копирования: Третий"));
    list->selectRow(1);
    accounts.activateAccount();
    EXPECT_EQ(target->text(), QStringLiteral("Счет для копирования: Второй"));

    accounts.editAccount();
    widgetByName<QLineEdit>(accounts.accountDialog(), "Edit_Name")->setText(QStringLiteral("Второй реальный"));
    widgetByName<QPushButton>(accounts.accountDialog(), "BitBtn1")->click();
    EXPECT_EQ(target->text(), QStringLiteral("Счет для копирования: Второй реальный"));

    w.prompts.answerConfirm(true);
    accounts.deleteAccount();
    EXPECT_EQ(target->text(), none);
    EXPECT_FALSE(widgetByName<QPushButton>(&window, "BitBtn3")->isEnabled());
    EXPECT_TRUE(w.prompts.allAnswersUsed());
}
