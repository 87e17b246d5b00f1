// The real program, started and stopped on prepared program folders: every
// start page of date.txt with every state of the accounts. Each run must
// finish start-up, then close normally on SIGTERM and write its files. A run
// that hangs is caught by the test's CTest time-out.
#include "accounts/core/account_store.h"
#include "context/core/journal.h"
#include "context/core/settings.h"
#include "db/core/cp1251.h"
#include "db/core/sqlite_database.h"
#include "import/core/report_file.h"
#include "import/core/trade_copy.h"
#include "import/core/trade_extraction.h"
#include "notebook/core/notebook_store.h"
#include "notebook/core/rtf_writer.h"
#include "state/core/control_snapshots.h"
#include "process_signals.h"
#include "temp_journal.h"

#include <QDate>
#include <QDirIterator>
#include <QFile>
#include <QProcess>
#include <QTemporaryDir>

#include <gtest/gtest.h>

#include <chrono>
#include <map>
#include <csignal>
#include <sys/prctl.h>
#include <thread>

namespace {

enum class Accounts { None, NoTrades, StatementCapital0, StatementCapital10000 };

const char* name(Accounts a)
{
    switch (a) {
    case Accounts::None: return "NoAccount";
    case Accounts::NoTrades: return "AccountWithoutTrades";
    case Accounts::StatementCapital0: return "StatementCapital0";
    case Accounts::StatementCapital10000: return "StatementCapital10000";
    }
    return "";
}

// The example statement shipped with the program: 200 trades whose balance
// swings over tens of thousands, so a chart axis that keeps a stale tick
// interval shows at once.
QString statementFile() { return QStringLiteral(TJ_SOURCE_DIR "/examples/mt4_statement_example.htm"); }

// A program folder laid out as the build lays it out, with the program in it.
void prepareProgramFolder(const QString& dir)
{
    QProcess layout;
    layout.start(QStringLiteral(TJ_APPDIR_TOOL),
                 {dir, QStringLiteral(TJ_SCHEMA_SQL), QStringLiteral(TJ_SOURCE_DIR "/data/sprav")});
    ASSERT_TRUE(layout.waitForFinished(-1));
    ASSERT_EQ(layout.exitCode(), 0) << layout.readAllStandardError().toStdString();
    ASSERT_TRUE(QFile::copy(QStringLiteral(TJ_APP_EXE), dir + QStringLiteral("/tradejournal")));
}

void addAccounts(const QString& dir, Accounts accounts)
{
    if (accounts == Accounts::None)
        return;
    Journal journal(dir);
    journal.openDatabase();
    AccountStore store(journal.db(), journal.path(QStringLiteral("img")));
    AccountRecord account;
    account.name = QStringLiteral("Демо");
    account.type = QStringLiteral("Демо");
    account.capital = accounts == Accounts::StatementCapital10000 ? QStringLiteral("10000") : QStringLiteral("0");
    const QString id = store.addAccount(account);
    if (accounts == Accounts::NoTrades)
        return;
    const QByteArray text = readTextFile(statementFile());
    const Extraction extraction = extractTrades(text, recognizeReport(text));
    ASSERT_FALSE(extraction.rows.empty());
    const CopyOutcome copied = copyTrades(journal.db(), id, extraction.rows, journal.path(QStringLiteral("img")));
    ASSERT_EQ(copied.problem, QString());
}

// Starts the program in the folder, waits until it listens for SIGTERM,
// sends it and expects a normal end.
void startAndTerminate(const TempAppDir& dir, const QStringList& args = {})
{
    QProcess program;
    auto env = QProcessEnvironment::systemEnvironment();
    env.insert(QStringLiteral("QT_QPA_PLATFORM"), QStringLiteral("offscreen"));
    program.setProcessEnvironment(env);
    // A program that hangs goes with the test when the time-out ends it.
    program.setChildProcessModifier([] { ::prctl(PR_SET_PDEATHSIG, SIGKILL); });
    program.start(dir.file(QStringLiteral("tradejournal")), args);
    ASSERT_TRUE(program.waitForStarted(-1));
    while (!catchesSigterm(program.processId()) && program.state() == QProcess::Running)
        std::this_thread::sleep_for(std::chrono::milliseconds(5));
    ASSERT_EQ(program.state(), QProcess::Running) << program.readAllStandardError().toStdString();
    // The program notes the signal and closes once start-up is over and its
    // event loop runs; a start-up that never ends never gets there.
    ::kill(static_cast<pid_t>(program.processId()), SIGTERM);
    ASSERT_TRUE(program.waitForFinished(-1));
    EXPECT_EQ(program.exitStatus(), QProcess::NormalExit);
    EXPECT_EQ(program.exitCode(), 0) << program.readAllStandardError().toStdString();
}

class StartStop : public testing::TestWithParam<std::tuple<int, Accounts>> {};

TEST_P(StartStop, StartsAndClosesNormallyOnSigterm)
{
    const auto [page, accounts] = GetParam();
    TempAppDir dir(false);
    ASSERT_NO_FATAL_FAILURE(prepareProgramFolder(dir.path()));
    ASSERT_NO_FATAL_FAILURE(addAccounts(dir.path(), accounts));
    const QDate dates[4] = {QDate(2013, 7, 1), QDate(2013, 7, 8), QDate(2013, 7, 1), QDate(2013, 7, 8)};
    saveDateFile(dir.file(QStringLiteral("date.txt")), dates, page);
    writeBytes(dir.file(QStringLiteral("config.ini")), QByteArray()); // shutdown fills it

    ASSERT_NO_FATAL_FAILURE(startAndTerminate(dir));

    EXPECT_FALSE(readBytes(dir.file(QStringLiteral("config.ini"))).isEmpty());
    const DateState written = loadDateFile(dir.file(QStringLiteral("date.txt")));
    EXPECT_EQ(written.dates[0], dates[0]);
    EXPECT_EQ(written.page, std::optional<int>(0)); // start-up always shows the first page
}

// Starts the program on a folder, headless; it goes with the test.
void startProgram(QProcess& program, const QString& dir)
{
    auto env = QProcessEnvironment::systemEnvironment();
    env.insert(QStringLiteral("QT_QPA_PLATFORM"), QStringLiteral("offscreen"));
    program.setProcessEnvironment(env);
    program.setChildProcessModifier([] { ::prctl(PR_SET_PDEATHSIG, SIGKILL); });
    program.start(dir + QStringLiteral("/tradejournal"), {});
    ASSERT_TRUE(program.waitForStarted(-1));
    while (!catchesSigterm(program.processId()) && program.state() == QProcess::Running)
        std::this_thread::sleep_for(std::chrono::milliseconds(5));
    ASSERT_EQ(program.state(), QProcess::Running) << program.readAllStandardError().toStdString();
}

// Waits up to ten seconds for a file to appear.
bool appears(const QString& path)
{
    for (int i = 0; i < 1000 && !QFile::exists(path); ++i)
        std::this_thread::sleep_for(std::chrono::milliseconds(10));
    return QFile::exists(path);
}

// Every file of the folder with its content, the program itself left out.
std::map<QString, QByteArray> folderContents(const QString& dir)
{
    std::map<QString, QByteArray> files;
    QDirIterator it(dir, QDir::Files | QDir::Hidden, QDirIterator::Subdirectories);
    while (it.hasNext()) {
        const QString path = it.next();
        if (!path.endsWith(QLatin1String("/tradejournal")))
            files[path] = readBytes(path);
    }
    return files;
}

// A stop asked for while start-up shows a message (here: a damaged tree
// file) waits for start-up to finish, so the settings written at exit are
// those read, and the damaged file is kept beside the one written anew.
TEST(StartStopSafety, SigtermDuringAStartUpMessageKeepsTheSettingsAndTheDamagedFile)
{
    TempAppDir dir(false);
    ASSERT_NO_FATAL_FAILURE(prepareProgramFolder(dir.path()));
    ASSERT_NO_FATAL_FAILURE(addAccounts(dir.path(), Accounts::NoTrades));
    Settings notes;
    notes.activeAccountPosition = 0;
    for (int i = 0; i < 200; ++i)
        notes.currency += QStringLiteral("EURUSD: вход по тренду, строка %1\r\n").arg(i);
    notes.buySell = QStringLiteral("BUY чаще");
    saveSettings(dir.file(QStringLiteral("config.ini")), notes);
    const QByteArray damaged("TPF0\x09TTreeView\x09TreeView1broken");
    writeBytes(dir.file(QStringLiteral("txt/TreeView1.txt")), damaged);

    QProcess program;
    ASSERT_NO_FATAL_FAILURE(startProgram(program, dir.path()));
    // The copy is made just before the message about the file is shown.
    EXPECT_TRUE(appears(dir.file(QStringLiteral("txt/TreeView1.txt.damaged"))));
    std::this_thread::sleep_for(std::chrono::milliseconds(300));
    ::kill(static_cast<pid_t>(program.processId()), SIGTERM);
    ASSERT_TRUE(program.waitForFinished(30000));
    EXPECT_EQ(program.exitCode(), 0) << program.readAllStandardError().toStdString();

    Settings back;
    ASSERT_TRUE(loadSettings(dir.file(QStringLiteral("config.ini")), back));
    EXPECT_EQ(back.currency, notes.currency);
    EXPECT_EQ(back.buySell, notes.buySell);
    EXPECT_EQ(back.activeAccountPosition, 0);
    EXPECT_EQ(readBytes(dir.file(QStringLiteral("txt/TreeView1.txt.damaged"))), damaged);
    EXPECT_NE(readBytes(dir.file(QStringLiteral("txt/TreeView1.txt"))), damaged);
}

// A second program on the same folder says so and ends; the files of the
// first are left as they are.
TEST(StartStopSafety, ASecondWindowOnTheSameFolderEndsAtOnceAndChangesNoFile)
{
    TempAppDir dir(false);
    ASSERT_NO_FATAL_FAILURE(prepareProgramFolder(dir.path()));
    ASSERT_NO_FATAL_FAILURE(addAccounts(dir.path(), Accounts::NoTrades));
    QProcess first;
    ASSERT_NO_FATAL_FAILURE(startProgram(first, dir.path()));
    ASSERT_TRUE(appears(dir.file(QStringLiteral("tradejournal.lock"))));
    // The first run's daily copy is made in the background at start.
    ASSERT_TRUE(appears(dir.file(QStringLiteral("backup"))));
    for (int i = 0; i < 1000 && QDir(dir.file(QStringLiteral("backup"))).entryList({"*.db"}, QDir::Files).isEmpty(); ++i)
        std::this_thread::sleep_for(std::chrono::milliseconds(10));
    const auto before = folderContents(dir.path());

    QProcess second;
    ASSERT_NO_FATAL_FAILURE(startProgram(second, dir.path()));
    // The message is ended by the stop, as a trader would close it.
    std::this_thread::sleep_for(std::chrono::milliseconds(500));
    ::kill(static_cast<pid_t>(second.processId()), SIGTERM);
    ASSERT_TRUE(second.waitForFinished(30000));
    EXPECT_EQ(second.exitCode(), 1);
    EXPECT_EQ(folderContents(dir.path()), before);
    EXPECT_EQ(first.state(), QProcess::Running);

    ::kill(static_cast<pid_t>(first.processId()), SIGTERM);
    ASSERT_TRUE(first.waitForFinished(30000));
    EXPECT_EQ(first.exitCode(), 0);
    EXPECT_FALSE(QFile::exists(dir.file(QStringLiteral("tradejournal.lock"))));
}

// The terminal that started the window closes: the window closes as on
// SIGTERM, and its settings are written.
TEST(StartStopSafety, SighupClosesNormallyAndWritesTheSettings)
{
    TempAppDir dir(false);
    ASSERT_NO_FATAL_FAILURE(prepareProgramFolder(dir.path()));
    ASSERT_NO_FATAL_FAILURE(addAccounts(dir.path(), Accounts::NoTrades));
    writeBytes(dir.file(QStringLiteral("config.ini")), QByteArray()); // shutdown fills it
    QProcess program;
    ASSERT_NO_FATAL_FAILURE(startProgram(program, dir.path()));
    ASSERT_TRUE(catchesSignal(program.processId(), SIGHUP));
    ::kill(static_cast<pid_t>(program.processId()), SIGHUP);
    ASSERT_TRUE(program.waitForFinished(30000));
    EXPECT_EQ(program.exitStatus(), QProcess::NormalExit);
    EXPECT_EQ(program.exitCode(), 0) << program.readAllStandardError().toStdString();
    Settings back;
    EXPECT_TRUE(loadSettings(dir.file(QStringLiteral("config.ini")), back));
    EXPECT_TRUE(QFile::exists(dir.file(QStringLiteral("date.txt"))));
}

// An empty datamoney.db (its content lost) is a damaged journal: the
// program says so and ends, makes no copy of it and writes nothing.
TEST(StartStopSafety, AnEmptyDatabaseEndsTheStartAndNothingIsWritten)
{
    TempAppDir dir(false);
    ASSERT_NO_FATAL_FAILURE(prepareProgramFolder(dir.path()));
    writeBytes(dir.file(QStringLiteral("datamoney.db")), QByteArray());
    const auto before = folderContents(dir.path());
    QProcess program;
    ASSERT_NO_FATAL_FAILURE(startProgram(program, dir.path()));
    // The message is ended by the stop, as a trader would close it.
    std::this_thread::sleep_for(std::chrono::milliseconds(500));
    ::kill(static_cast<pid_t>(program.processId()), SIGTERM);
    ASSERT_TRUE(program.waitForFinished(30000));
    EXPECT_EQ(program.exitCode(), 2);
    EXPECT_EQ(folderContents(dir.path()), before);
    EXPECT_FALSE(QDir(dir.file(QStringLiteral("backup"))).exists());
}

INSTANTIATE_TEST_SUITE_P(EveryPageAndAccountState, StartStop,
                         testing::Combine(testing::Range(0, 7),
                                          testing::Values(Accounts::None, Accounts::NoTrades,
                                                          Accounts::StatementCapital0,
                                                          Accounts::StatementCapital10000)),
                         [](const testing::TestParamInfo<StartStop::ParamType>& info) {
                             return "Page" + std::to_string(std::get<0>(info.param)) + "_"
                                 + name(std::get<1>(info.param));
                         });

// "Открывать этот счет при запуске" over a stop and a start: with the
// option on, the window opens the remembered account (the second, the one
// with trades) on the page of date.txt and writes that page back; with it
// off or absent, the start is as it always was, on the first page.
struct OpenLastAccountCase {
    const char* option; // the line in config.ini, or nothing
    int savedPage;
    int writtenPage;
};

class StartStopOpenLastAccount : public testing::TestWithParam<OpenLastAccountCase> {};

TEST_P(StartStopOpenLastAccount, OpensTheRememberedAccountOnTheSavedPageOnlyWhenAsked)
{
    const OpenLastAccountCase c = GetParam();
    TempAppDir dir(false);
    ASSERT_NO_FATAL_FAILURE(prepareProgramFolder(dir.path()));
    ASSERT_NO_FATAL_FAILURE(addAccounts(dir.path(), Accounts::NoTrades));
    ASSERT_NO_FATAL_FAILURE(addAccounts(dir.path(), Accounts::StatementCapital10000));
    const QDate dates[4] = {QDate(2013, 7, 1), QDate(2013, 7, 8), QDate(2013, 7, 1), QDate(2013, 7, 8)};
    saveDateFile(dir.file(QStringLiteral("date.txt")), dates, c.savedPage);
    writeBytes(dir.file(QStringLiteral("config.ini")),
               cp1251::encode(QStringLiteral("[Настройки]\r\nАктивный счет=1\r\n") + QString::fromUtf8(c.option)));

    ASSERT_NO_FATAL_FAILURE(startAndTerminate(dir));

    const DateState written = loadDateFile(dir.file(QStringLiteral("date.txt")));
    EXPECT_EQ(written.page, std::optional<int>(c.writtenPage));
    Settings back;
    ASSERT_TRUE(loadSettings(dir.file(QStringLiteral("config.ini")), back));
    EXPECT_EQ(back.activeAccountPosition, 1);
    EXPECT_EQ(back.openLastAccount, QString::fromUtf8(c.option).contains(QStringLiteral("=1")));
}

INSTANTIATE_TEST_SUITE_P(
    OnOffAndAbsent, StartStopOpenLastAccount,
    testing::Values(OpenLastAccountCase{"ОткрыватьПоследнийСчет=1\r\n", 0, 0},
                    OpenLastAccountCase{"ОткрыватьПоследнийСчет=1\r\n", 1, 1},
                    OpenLastAccountCase{"ОткрыватьПоследнийСчет=1\r\n", 2, 2},
                    OpenLastAccountCase{"ОткрыватьПоследнийСчет=1\r\n", 3, 3},
                    OpenLastAccountCase{"ОткрыватьПоследнийСчет=1\r\n", 4, 4},
                    OpenLastAccountCase{"ОткрыватьПоследнийСчет=1\r\n", 5, 5},
                    OpenLastAccountCase{"ОткрыватьПоследнийСчет=1\r\n", 6, 6},
                    OpenLastAccountCase{"ОткрыватьПоследнийСчет=0\r\n", 4, 0},
                    OpenLastAccountCase{"", 2, 0}),
    [](const testing::TestParamInfo<OpenLastAccountCase>& info) {
        const std::string option = info.param.option;
        const char* state = option.empty() ? "Absent" : option.find("=1") != std::string::npos ? "On" : "Off";
        return std::string(state) + "_Page" + std::to_string(info.param.savedPage);
    });

// The notebook over a stop and a start on its own page: the folder, the
// document with its formatted Cyrillic text and the chart list stay as
// they were.
TEST(StartStopNotebook, FolderDocumentAndTextSurviveARestart)
{
    TempAppDir dir(false);
    ASSERT_NO_FATAL_FAILURE(prepareProgramFolder(dir.path()));
    const QDate dates[4] = {QDate(2013, 7, 1), QDate(2013, 7, 8), QDate(2013, 7, 1), QDate(2013, 7, 8)};
    saveDateFile(dir.file(QStringLiteral("date.txt")), dates, 6);
    TreeSnapshotState tree;
    TreeEntry root{QStringLiteral("Главная"), 1, 2, 1, -1, {}};
    TreeEntry folder{QStringLiteral("Стратегии"), 1, 2, 1, -1, {}};
    folder.children.push_back(TreeEntry{QStringLiteral("Пробой уровня"), 3, 3, -1, -1, {}});
    root.children.push_back(folder);
    tree.entries.push_back(root);
    writeBytes(dir.file(QStringLiteral("txt/TreeView1.txt")), writeTreeSnapshot("TreeView1", tree));
    RunFormat bold{QStringLiteral("Tahoma"), 24, true, false, false, qRgb(0, 0, 255), std::nullopt};
    const QByteArray rtf = writeRtf(TextShape{ParagraphShape{ParagraphAlignment::Center, ListKind::None, 0,
                                                             {TextRun{QStringLiteral("Вход после ретеста"), bold}}}});
    {
        Journal journal(dir.path());
        journal.openDatabase();
        NotebookStore store(journal.db());
        store.addDocument(QStringLiteral("Пробой уровня"));
        store.storeText(QStringLiteral("Пробой уровня"), rtf);
        store.storeChartNames(QStringLiteral("Пробой уровня"), {QStringLiteral("H1")});
    }

    ASSERT_NO_FATAL_FAILURE(startAndTerminate(dir));

    TreeSnapshotState after;
    applyTreeSnapshot(readBytes(dir.file(QStringLiteral("txt/TreeView1.txt"))), after);
    EXPECT_EQ(after.entries, tree.entries);
    Journal journal(dir.path());
    journal.openDatabase();
    NotebookStore store(journal.db());
    EXPECT_EQ(store.text(QStringLiteral("Пробой уровня")), std::optional<QByteArray>(rtf));
    EXPECT_EQ(store.chartNames(QStringLiteral("Пробой уровня")), std::optional<QStringList>(QStringList{QStringLiteral("H1")}));
}

// "Открыть с помощью": started with a statement, the program reads it into
// the preview during start-up and still closes normally on SIGTERM, the
// account untouched.
TEST(StartStop, StartedWithAStatementClosesNormallyOnSigterm)
{
    TempAppDir dir(false);
    ASSERT_NO_FATAL_FAILURE(prepareProgramFolder(dir.path()));
    ASSERT_NO_FATAL_FAILURE(addAccounts(dir.path(), Accounts::NoTrades));
    ASSERT_NO_FATAL_FAILURE(startAndTerminate(dir, {statementFile()}));
    Journal journal(dir.path());
    journal.openDatabase();
    qint64 trades = -1;
    journal.db().readRows(QStringLiteral("SELECT count(*) FROM t_sdelki"), {},
                          [&](const SqlRow& row) { trades = row.integer(0); });
    EXPECT_EQ(trades, 0);
}

// A message shown before the window exists (here: an installed program whose
// data folder cannot be made) ends with the program on SIGTERM instead of
// waiting for a click that never comes.
TEST(StartStop, SigtermEndsAMessageShownBeforeTheWindow)
{
    QTemporaryDir root;
    ASSERT_TRUE(root.isValid());
    // The installed layout: <prefix>/bin/tradejournal and the first-start data.
    QDir().mkpath(root.filePath(QStringLiteral("bin")));
    ASSERT_TRUE(QFile::copy(QStringLiteral(TJ_APP_EXE), root.filePath(QStringLiteral("bin/tradejournal"))));
    writeBytes(root.filePath(QStringLiteral("share/tradejournal/datamoney.db")), QByteArray());
    // HOME is a file: ~/.local/share/tradejournal cannot be made.
    writeBytes(root.filePath(QStringLiteral("home")), QByteArray("not a folder"));

    QProcess program;
    auto env = QProcessEnvironment::systemEnvironment();
    env.insert(QStringLiteral("QT_QPA_PLATFORM"), QStringLiteral("offscreen"));
    env.insert(QStringLiteral("HOME"), root.filePath(QStringLiteral("home")));
    env.remove(QStringLiteral("XDG_DATA_HOME"));
    program.setProcessEnvironment(env);
    program.setChildProcessModifier([] { ::prctl(PR_SET_PDEATHSIG, SIGKILL); });
    program.start(root.filePath(QStringLiteral("bin/tradejournal")), {});
    ASSERT_TRUE(program.waitForStarted(-1));
    while (!catchesSigterm(program.processId()) && program.state() == QProcess::Running)
        std::this_thread::sleep_for(std::chrono::milliseconds(5));
    // Time for the message to be on screen; a signal that comes earlier is
    // noted and acted on as soon as the message's event loop runs.
    std::this_thread::sleep_for(std::chrono::milliseconds(500));
    ASSERT_EQ(program.state(), QProcess::Running) << program.readAllStandardError().toStdString();
    ::kill(static_cast<pid_t>(program.processId()), SIGTERM);
    ASSERT_TRUE(program.waitForFinished(60000)) << "the message kept the program running";
    EXPECT_EQ(program.exitStatus(), QProcess::NormalExit);
    EXPECT_EQ(program.exitCode(), 2);
}

} // namespace
