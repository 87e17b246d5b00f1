#include "context/core/data_safety.h"
#include "context/core/journal.h"
#include "context/core/settings.h"
#include "accounts/ui/accounts_page.h"
#include "shell/application.h"
#include "shell/main_window.h"
#include "shell/screen_capture.h"
#include "import/core/preview_model.h"
#include "import/ui/import_panel.h"
#include "db/core/cp1251.h"
#include "db/core/sqlite_database.h"
#include "stats/ui/trade_table_page.h"
#include "scripted_prompts.h"
#include "stats/ui/analysis_page.h"
#include "stats/ui/days_page.h"
#include "stats/ui/reports_page.h"
#include "temp_journal.h"
#include "widget_by_name.h"

#include <QApplication>
#include <QDateTimeEdit>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QKeyEvent>
#include <QLabel>
#include <QLineSeries>
#include <QLineEdit>
#include <QMenu>
#include <QRegularExpression>
#include <QPlainTextEdit>
#include <QProcess>
#include <QSignalSpy>
#include <QTableView>
#include <QTabWidget>
#include <QThread>
#include <QWindow>

#include <gtest/gtest.h>

#include <csignal>
#include <functional>

namespace {

QStringList visibleTabs(const TForm1& w)
{
    QStringList out;
    for (int i = 0; i < pageTabs(&w)->count(); ++i) {
        if (pageTabs(&w)->isTabVisible(i))
            out << pageTabs(&w)->tabText(i);
    }
    return out;
}

TEST(MainWindow, FirstRunStartsOnAboutWithoutAccountPagesAndWritesItsFilesAtExit)
{
    TempAppDir dir;
    auto journal = dir.openJournal();
    ScriptedPrompts prompts;
    {
        TForm1 w(*journal, prompts);
        w.show();
        EXPECT_EQ(w.windowTitle(), QStringLiteral("Журнал сделок Орвинта 6.1"));
        EXPECT_EQ(visibleTabs(w), QStringList({"О программе", "Менеджер счетов", "Записная книжка трейдера"}));
        EXPECT_EQ(pageTabs(&w)->currentIndex(), 0);
        QStringList names;
        for (int i = 0; i < pageTabs(&w)->count(); ++i)
            names << pageTabs(&w)->widget(i)->objectName();
        EXPECT_EQ(names, QStringList({"ts3", "TabSheet1", "TabSheet2", "TabSheet6", "TabSheet3", "TabSheet9", "TabSheet11"}));
        // Tomorrow, at the current time.
        EXPECT_EQ(widgetByName<QDateTimeEdit>(w.daysPage(), "DateTimePicker4")->date(), QDate::currentDate().addDays(1));

        widgetByName<QPlainTextEdit>(w.reportsPage(), "Memo_Valuta")->setPlainText(QStringLiteral("EURUSD\nутром"));
        widgetByName<QDateTimeEdit>(w.analysisPage(), "DateTimePicker1")->setDate(QDate(2013, 7, 3));
        w.setPage(TForm1::PageNotebook);
        w.close();
    }
    EXPECT_EQ(prompts.messages.size(), 0u) << prompts.messageTexts().join(u'|').toStdString();

    const QString config = cp1251::decode(readBytes(dir.file(QStringLiteral("config.ini"))));
    for (const char* section : {"[Настройки]", "[Инфа]", "[Реклама]"})
        EXPECT_TRUE(config.contains(QString::fromUtf8(section))) << section;
    EXPECT_TRUE(config.contains(QStringLiteral("Валюта=EURUSD@13@10утром\r\n")));
    const QList<QByteArray> lines = readBytes(dir.file(QStringLiteral("date.txt"))).split('\n');
    ASSERT_EQ(lines.size(), 6);
    EXPECT_EQ(lines[0], "03.07.2013\r");
    EXPECT_EQ(lines[3], QDate::currentDate().addDays(1).toString(QStringLiteral("dd.MM.yyyy")).toLatin1() + "\r");
    EXPECT_EQ(lines[4], "6\r");
}

TEST(MainWindow, RestoresDatesAndNotesAndStillShowsTheFirstPage)
{
    TempAppDir dir;
    writeBytes(dir.file(QStringLiteral("date.txt")), "03.07.2013\r\n10.07.2013\r\nnot a date\r\n");
    writeBytes(dir.file(QStringLiteral("config.ini")),
               cp1251::encode(QStringLiteral("[Инфа]\r\nТренд=по тренду@13@10лучше\r\n")));
    auto journal = dir.openJournal();
    ScriptedPrompts prompts;
    TForm1 w(*journal, prompts);
    const QDate designDate3 = widgetByName<QDateTimeEdit>(w.daysPage(), "DateTimePicker3")->date();
    w.show();
    EXPECT_EQ(widgetByName<QDateTimeEdit>(w.analysisPage(), "DateTimePicker1")->date(), QDate(2013, 7, 3));
    EXPECT_EQ(widgetByName<QDateTimeEdit>(w.analysisPage(), "DateTimePicker2")->date(), QDate(2013, 7, 10));
    EXPECT_EQ(widgetByName<QDateTimeEdit>(w.daysPage(), "DateTimePicker3")->date(), designDate3);
    EXPECT_EQ(widgetByName<QPlainTextEdit>(w.reportsPage(), "Memo_Trend")->toPlainText(), QStringLiteral("по тренду\nлучше"));
    EXPECT_EQ(pageTabs(&w)->currentIndex(), 0);
    EXPECT_TRUE(prompts.messages.empty());
}

TEST(MainWindow, PageActionsRunOnlyForTheTradersChoice)
{
    TempAppDir dir;
    auto journal = dir.openJournal();
    ScriptedPrompts prompts;
    TForm1 w(*journal, prompts);
    w.show();
    w.setAccountPagesVisible(true);
    QSignalSpy spy(&w, &TForm1::pageActionsRun);
    w.setPage(TForm1::PageReports); // set by the program: nothing runs
    EXPECT_EQ(spy.count(), 0);
    for (int page : {TForm1::PageNotebook, TForm1::PageReports, TForm1::PageAbout, TForm1::PageReports,
                     TForm1::PageDays, TForm1::PageAnalysis, TForm1::PageAccounts})
        pageTabs(&w)->setCurrentIndex(page); // as a click on the tab does
    QList<int> ran;
    for (const auto& args : spy)
        ran << args.at(0).toInt();
    EXPECT_EQ(ran, QList<int>({TForm1::PageReports, TForm1::PageReports, TForm1::PageDays, TForm1::PageAnalysis}));
}

TEST(MainWindow, FailuresAtStartAndExitAreReportedAndTheRestStillRuns)
{
    TempAppDir dir;
    // config.ini that cannot be read, date.txt that cannot be written.
    QDir(dir.path()).mkpath(QStringLiteral("config.ini"));
    QDir(dir.path()).mkpath(QStringLiteral("date.txt"));
    auto journal = dir.openJournal();
    ScriptedPrompts prompts;
    {
        TForm1 w(*journal, prompts);
        w.show();
        ASSERT_EQ(prompts.messages.size(), 1u);
        EXPECT_EQ(prompts.messages[0].caption, QStringLiteral("Преудпреждение"));
        EXPECT_EQ(prompts.messages[0].text, QStringLiteral("Не найден файл конфигурации программмы config.ini!"));
        w.close();
    }
    // Both failures of the close in one message, each with its reason.
    ASSERT_EQ(prompts.messages.size(), 2u);
    EXPECT_EQ(prompts.messages[1].caption, QStringLiteral("Ошибка"));
    const QString dateFile = dir.file(QStringLiteral("date.txt"));
    const QString configFile = dir.file(QStringLiteral("config.ini"));
    EXPECT_EQ(prompts.messages[1].text,
              QStringLiteral("При закрытии программы не всё удалось сохранить.\n\n"
                             "Не удалось записать файл %1: это папка, а не файл\n\n"
                             "Ошибка при записи файла конфигурации config.ini!\n"
                             "Не удалось записать файл %2: это папка, а не файл")
                  .arg(dateFile, configFile));
}

TEST(MainWindow, ADatabaseFileThatIsNotADatabaseEndsTheProgram)
{
    TempAppDir dir(false);
    writeBytes(dir.file(QStringLiteral("datamoney.db")), QByteArray(2048, 'z'));
    Journal journal(dir.path());
    ScriptedPrompts prompts;
    EXPECT_FALSE(openJournalDatabase(journal, prompts));
    ASSERT_EQ(prompts.messages.size(), 1u);
    EXPECT_EQ(prompts.messages[0].caption, QStringLiteral("Ошибка"));
    EXPECT_TRUE(prompts.messages[0].text.startsWith(QStringLiteral("Ошибка №2 - Откытия базы данных\n")));

    // No database at all: the program goes on without one.
    TempAppDir empty(false);
    Journal none(empty.path());
    EXPECT_TRUE(openJournalDatabase(none, prompts));
    EXPECT_FALSE(none.hasDatabase());
    EXPECT_THROW(none.db().openResultTable(QStringLiteral("SELECT 1")), ESQLiteException);
}

TEST(Program, QtsOwnTextsSpeakRussian)
{
    ASSERT_TRUE(installQtTranslation(*qApp));
    QLineEdit field;
    std::unique_ptr<QMenu> menu(field.createStandardContextMenu());
    ASSERT_FALSE(menu->actions().isEmpty());
    const QString undo = menu->actions().first()->text();
    EXPECT_NE(undo, QStringLiteral("&Undo"));
    EXPECT_TRUE(undo.contains(QRegularExpression(QStringLiteral("[А-Яа-я]")))) << undo.toStdString();
}

TEST(ScreenCapture, F11WithACharacterKeyCaptures)
{
    int captures = 0;
    ScreenCaptureFilter filter([&] { ++captures; });
    QWidget target;
    target.show();
    qApp->installEventFilter(&filter);
    auto send = [&](QEvent::Type type, int key, const QString& text, bool repeat = false) {
        QKeyEvent e(type, key, Qt::NoModifier, text, repeat);
        QApplication::sendEvent(target.windowHandle(), &e);
    };
    send(QEvent::KeyPress, Qt::Key_F11, QString());
    send(QEvent::KeyRelease, Qt::Key_F11, QString());
    EXPECT_EQ(captures, 0); // F11 alone
    send(QEvent::KeyPress, Qt::Key_A, QStringLiteral("a"));
    EXPECT_EQ(captures, 0); // a key alone
    send(QEvent::KeyPress, Qt::Key_F11, QString());
    send(QEvent::KeyPress, Qt::Key_F11, QString(), true);
    send(QEvent::KeyPress, Qt::Key_Shift, QString());
    EXPECT_EQ(captures, 0); // no character
    send(QEvent::KeyPress, Qt::Key_S, QStringLiteral("s"));
    EXPECT_EQ(captures, 1);
    send(QEvent::KeyRelease, Qt::Key_F11, QString());
    send(QEvent::KeyPress, Qt::Key_S, QStringLiteral("s"));
    EXPECT_EQ(captures, 1);
    qApp->removeEventFilter(&filter);
}

TEST(Program, TerminationSignalClosesTheWindowAndShutdownWritesItsFiles)
{
    TempAppDir dir;
    const QString exe = dir.file(QStringLiteral("tradejournal"));
    ASSERT_TRUE(QFile::copy(QStringLiteral(TJ_APP_EXE), exe));
    QProcess p;
    p.setProcessEnvironment([] {
        auto env = QProcessEnvironment::systemEnvironment();
        env.insert(QStringLiteral("QT_QPA_PLATFORM"), QStringLiteral("offscreen"));
        return env;
    }());
    p.start(exe, {});
    ASSERT_TRUE(p.waitForStarted());
    // Wait until the window is up (start-up done), then ask it to stop.
    for (int i = 0; i < 20 && p.state() == QProcess::Running; ++i)
        p.waitForFinished(100);
    ASSERT_EQ(p.state(), QProcess::Running) << p.readAllStandardError().toStdString();
    ::kill(static_cast<pid_t>(p.processId()), SIGTERM);
    ASSERT_TRUE(p.waitForFinished(10000));
    EXPECT_EQ(p.exitStatus(), QProcess::NormalExit);
    EXPECT_EQ(p.exitCode(), 0);
    EXPECT_TRUE(QFile::exists(dir.file(QStringLiteral("config.ini"))));
    EXPECT_TRUE(QFile::exists(dir.file(QStringLiteral("date.txt"))));
}

} // namespace

namespace {

TEST(Program, CommandLineToolAnswersHelpAndVersion)
{
    const QString cli = QFileInfo(QStringLiteral(TJ_APP_EXE)).absolutePath() + QStringLiteral("/tradejournal-cli");
    QProcess p;
    p.start(cli, {QStringLiteral("--version")});
    ASSERT_TRUE(p.waitForFinished(10000));
    EXPECT_EQ(p.exitCode(), 0);
    EXPECT_EQ(p.readAllStandardOutput(), QByteArray("tradejournal-cli 6.1\n"));
    p.start(cli, {QStringLiteral("--help")});
    ASSERT_TRUE(p.waitForFinished(10000));
    EXPECT_EQ(p.exitCode(), 0);
    EXPECT_TRUE(QString::fromUtf8(p.readAllStandardOutput()).startsWith("Использование: tradejournal-cli COMMAND"));
    p.start(cli, {QStringLiteral("nonsense")});
    ASSERT_TRUE(p.waitForFinished(10000));
    EXPECT_EQ(p.exitCode(), 2);
}

// The window's command line: its help in Russian; an option it does not know
// or a second file is refused before any window opens.
TEST(Program, WindowRefusesUnknownOptions)
{
    struct Case {
        QStringList args;
        int exitCode;
        QString out, err;
    };
    const std::vector<Case> cases = {
        {{"--bogus"}, 2, "", "tradejournal: неизвестный параметр --bogus (см. --help)\n"},
        {{"-x", "a.htm"}, 2, "", "tradejournal: неизвестный параметр -x (см. --help)\n"},
        {{"a.htm", "b.htm"}, 2, "", "tradejournal: откройте один файл отчета, а не несколько (см. --help)\n"},
        {{"--help"}, 0, "Использование: tradejournal [--data DIR] [FILE]", ""},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.args.join(u' ').toStdString());
        QProcess p;
        p.start(QStringLiteral(TJ_APP_EXE), c.args);
        ASSERT_TRUE(p.waitForFinished(10000));
        EXPECT_EQ(p.exitCode(), c.exitCode);
        EXPECT_EQ(QString::fromUtf8(p.readAllStandardOutput()).section(u'\n', 0, 0), c.out);
        EXPECT_EQ(QString::fromUtf8(p.readAllStandardError()), c.err);
    }
}

} // namespace

namespace {

// "Открыть с помощью" on a statement: the window starts on the account page
// with the statement's trades in the preview, waiting for the trader to
// choose the account; a file that does not read is said and nothing else
// changes.
TEST(MainWindow, AStatementGivenAtStartIsPreviewedOnTheAccountPage)
{
    struct Case {
        QString file;
        int rows;
        QStringList messages;
    };
    const QString missing = QDir::temp().filePath(QStringLiteral("нет-такого-отчета.htm"));
    const std::vector<Case> cases = {
        {QStringLiteral(TJ_SOURCE_DIR "/examples/mt4_statement_example.htm"), 200, {}},
        {QStringLiteral(TJ_SOURCE_DIR "/examples/mt5_report_example.html"), 200, {}},
        {missing, 0, {QStringLiteral("Не удалось прочитать файл \"%1\": нет такого файла или папки").arg(missing)}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.file.toStdString());
        TempAppDir dir;
        auto journal = dir.openJournal();
        ScriptedPrompts prompts;
        TForm1 w(*journal, prompts);
        w.openStatementAtStart(c.file);
        w.show();
        EXPECT_EQ(pageTabs(&w)->currentIndex(), int(TForm1::PageAccounts));
        EXPECT_EQ(static_cast<int>(w.importPanel()->previewModel()->rows().size()), c.rows);
        EXPECT_EQ(prompts.messageTexts(), c.messages);
        w.close();
    }
}

} // namespace

namespace {

// After an activation or a change only the page on screen is built; the
// other account pages are built when the trader turns to them, and show the
// same as if they had been built at once.
TEST(MainWindow, AccountPagesAreBuiltWhenShown)
{
    TempAppDir dir;
    auto journal = dir.openJournal();
    TSQLiteDatabase& db = journal->db();
    db.executeStatement(QStringLiteral("INSERT INTO t_chet (chet_name, chet_kapital) VALUES ('Счет', 1000)"));
    auto addTrade = [](TSQLiteDatabase& to, const QString& time) {
        to.executeStatement(QStringLiteral("INSERT INTO t_sdelki (chet, Ticket, OpenTime, Profit, Profit2, Commission, Swap, Taxes) "
                                           "VALUES ('1', '1', ?, '5', 5, 0, '0', '0')"),
                            {time});
    };
    addTrade(db, QStringLiteral("2013.07.01 10:00"));
    addTrade(db, QStringLiteral("2013.07.02 10:00"));
    ScriptedPrompts prompts;
    TForm1 w(*journal, prompts);
    w.show();
    QAbstractItemModel* grid = widgetByName<QTableView>(w.tradeTablePage(), "StringGrid_All")->model();
    w.setAccountPagesVisible(true);
    pageTabs(&w)->setCurrentIndex(TForm1::PageAccounts);
    EXPECT_EQ(grid->rowCount(), 0); // the first account was chosen at start, not yet looked at
    pageTabs(&w)->setCurrentIndex(TForm1::PageTrades);
    EXPECT_EQ(grid->rowCount(), 2);

    // A change made by another program shows at once on the page on screen.
    {
        TSQLiteDatabase other(db.path());
        addTrade(other, QStringLiteral("2013.07.03 10:00"));
    }
    w.checkOutsideChanges();
    EXPECT_EQ(grid->rowCount(), 3);

    // Elsewhere it waits until the trader comes back.
    pageTabs(&w)->setCurrentIndex(TForm1::PageAccounts);
    {
        TSQLiteDatabase other(db.path());
        addTrade(other, QStringLiteral("2013.07.04 10:00"));
    }
    w.checkOutsideChanges();
    EXPECT_EQ(grid->rowCount(), 3);
    pageTabs(&w)->setCurrentIndex(TForm1::PageTrades);
    EXPECT_EQ(grid->rowCount(), 4);
    EXPECT_TRUE(prompts.messages.empty());
}

} // namespace

namespace {

// Start-up fills no page before the window is on screen: the remembered
// account opens on the saved page "База данных", whose table is filled just
// after the window shows; the account page counts the trades at once and
// draws the curve when the trader turns to it, as it would have at start.
TEST(MainWindow, StartUpFillsTheSavedPageOnceTheWindowIsUp)
{
    TempAppDir dir;
    const QDate dates[4] = {QDate(2013, 7, 1), QDate(2013, 7, 8), QDate(2013, 7, 1), QDate(2013, 7, 8)};
    saveDateFile(dir.file(QStringLiteral("date.txt")), dates, TForm1::PageTrades);
    writeBytes(dir.file(QStringLiteral("config.ini")),
               cp1251::encode(QStringLiteral("[Настройки]\r\nАктивный счет=0\r\nОткрыватьПоследнийСчет=1\r\n")));
    auto journal = dir.openJournal();
    TSQLiteDatabase& db = journal->db();
    db.executeStatement(QStringLiteral("INSERT INTO t_chet (chet_name, chet_kapital) VALUES ('Счет', 1000)"));
    for (const char* profit : {"5", "-2,5"})
        db.executeStatement(QStringLiteral("INSERT INTO t_sdelki (chet, Ticket, OpenTime, Profit, Profit2, Commission, Swap, Taxes) "
                                           "VALUES ('1', '1', '2013.07.01 10:00', ?, 0, 0, '0', '0')"),
                            {QString::fromLatin1(profit)});
    ScriptedPrompts prompts;
    TForm1 w(*journal, prompts);
    QSignalSpy ran(&w, &TForm1::pageActionsRun);
    w.show();
    QAbstractItemModel* grid = widgetByName<QTableView>(w.tradeTablePage(), "StringGrid_All")->model();
    EXPECT_EQ(pageTabs(&w)->currentIndex(), TForm1::PageTrades);
    EXPECT_EQ(grid->rowCount(), 0);
    EXPECT_EQ(widgetByName<QLabel>(w.accountsPage(), "Label_Sdelki")->text(), QStringLiteral("Сделок на счете: 2"));
    EXPECT_TRUE(w.accountsPage()->balanceSeries()->points().isEmpty());
    QCoreApplication::sendPostedEvents(&w);
    EXPECT_EQ(grid->rowCount(), 2);
    EXPECT_TRUE(ran.isEmpty()); // "База данных" has no page actions

    pageTabs(&w)->setCurrentIndex(TForm1::PageAccounts);
    const QList<QPointF> curve = w.accountsPage()->balanceSeries()->points();
    ASSERT_EQ(curve.size(), 2);
    EXPECT_EQ(curve[0].y(), 1005);
    EXPECT_EQ(curve[1].y(), 1002.5);
    EXPECT_TRUE(prompts.messages.empty());
}

} // namespace

namespace {

bool waitFor(const std::function<bool()>& done)
{
    for (int i = 0; i < 1000 && !done(); ++i) {
        QCoreApplication::processEvents(QEventLoop::AllEvents, 10);
        QThread::msleep(5);
    }
    return done();
}

// A large account is read on a thread of its own: the page says it is
// loading and fills once the reading ends; the other pages over the trades
// then use that reading. A change made meanwhile is not lost: the page then
// reads the account again as always.
TEST(MainWindow, ALargeAccountIsReadOnAThreadWhileThePageSaysItIsLoading)
{
    TempAppDir dir;
    auto journal = dir.openJournal();
    TSQLiteDatabase& db = journal->db();
    db.executeStatement(QStringLiteral("INSERT INTO t_chet (chet_name, chet_kapital) VALUES ('Счет', 1000)"));
    const QString insert = QStringLiteral("INSERT INTO t_sdelki (chet, Ticket, OpenTime, Profit, Profit2, Commission, Swap, Taxes) "
                                          "VALUES ('1', ?, ?, '5', 5, 0, '0', '0')");
    for (int i = 0; i < 30; ++i)
        db.executeStatement(insert, {i + 1, QStringLiteral("2013.06.%1 10:00").arg(i + 1, 2, 10, QChar(u'0'))});
    ScriptedPrompts prompts;
    TForm1 w(*journal, prompts);
    w.setReadAheadTrades(20);
    w.show();
    QAbstractItemModel* grid = widgetByName<QTableView>(w.tradeTablePage(), "StringGrid_All")->model();
    w.setAccountPagesVisible(true);
    pageTabs(&w)->setCurrentIndex(TForm1::PageTrades);
    auto* cover = widgetByName<QLabel>(&w, "Label_Loading");
    ASSERT_TRUE(cover);
    EXPECT_TRUE(cover->isVisible());
    EXPECT_EQ(cover->text(), QStringLiteral("Загрузка сделок счета…"));
    EXPECT_EQ(grid->rowCount(), 0);
    ASSERT_TRUE(waitFor([&] { return grid->rowCount() == 30; }));
    EXPECT_FALSE(cover->isVisible());
    pageTabs(&w)->setCurrentIndex(TForm1::PageDays); // the kept reading: at once
    EXPECT_FALSE(cover->isVisible());

    // Another program adds a trade; one more is saved here while the reading
    // of the change is under way.
    TSQLiteDatabase(db.path()).executeStatement(insert, {900, QStringLiteral("2013.07.01 10:00")});
    pageTabs(&w)->setCurrentIndex(TForm1::PageTrades);
    w.checkOutsideChanges();
    EXPECT_TRUE(cover->isVisible());
    db.executeStatement(insert, {901, QStringLiteral("2013.07.02 10:00")});
    ASSERT_TRUE(waitFor([&] { return !cover->isVisible(); }));
    EXPECT_EQ(grid->rowCount(), 32);
    EXPECT_TRUE(prompts.messages.empty());
}

} // namespace
