// tradejournal-cli run as a process, as a trader or a script runs it: every
// command on a program folder with one account into which the example MT4
// statement was imported by the tool itself, the lines it prints and the exit
// codes of its failures.
#include "accounts/core/account_store.h"
#include "context/core/data_safety.h"
#include "context/core/version.h"
#include "damaged_database.h"
#include "db/core/account_parts.h"
#include "db/core/sqlite_database.h"
#include "state/core/control_snapshots.h"
#include "pictures/core/trade_pictures.h"
#include "stats/core/period_analysis.h"
#include "temp_journal.h"

#include <QFile>
#include <QImage>
#include <QProcess>
#include <QStandardPaths>

#include <gtest/gtest.h>

#include <limits>
#include <memory>
#include <vector>

namespace {

const QString kExample = QStringLiteral(TJ_SOURCE_DIR "/examples/mt4_statement_example.htm");
const QByteArray kNote = "{\\rtf1\\ansi\\ansicpg1251 \\'c2\\'f5\\'ee\\'e4 \\'ef\\'ee \\'f2\\'f0\\'e5\\'ed\\'e4\\'f3\\par \\b Stop\\b0}";

struct CliRun {
    int exitCode = -1;
    QStringList out; // stdout, one entry per line
    QString err;     // stderr, whole
};

CliRun runCli(const QStringList& args)
{
    QProcess p;
    // The system's reasons ("No such file or directory") in one language.
    QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
    env.insert(QStringLiteral("LC_ALL"), QStringLiteral("C.UTF-8"));
    p.setProcessEnvironment(env);
    p.start(QStringLiteral(TJ_CLI_EXE), args);
    CliRun run;
    if (!p.waitForFinished(60000) || p.exitStatus() != QProcess::NormalExit) {
        ADD_FAILURE() << "tradejournal-cli did not finish: " << args.join(u' ').toStdString();
        return run;
    }
    run.exitCode = p.exitCode();
    QString out = QString::fromUtf8(p.readAllStandardOutput());
    if (out.endsWith(u'\n'))
        out.chop(1);
    if (!out.isEmpty())
        run.out = out.split(u'\n');
    run.err = QString::fromUtf8(p.readAllStandardError());
    return run;
}

// The folder is prepared once: importing 200 trades through the tool for
// every test would only repeat the same work.
class CliTest : public ::testing::Test {
protected:
    static void SetUpTestSuite()
    {
        s_dir = std::make_unique<TempAppDir>();
        {
            auto journal = s_dir->openJournal();
            AccountStore store(journal->db(), s_dir->file(QStringLiteral("img")));
            AccountRecord account;
            account.name = QStringLiteral("Демо");
            account.capital = QStringLiteral("0"); // the statement brings the deposits
            s_account = store.addAccount(account);
        }
        s_firstImport = std::make_unique<CliRun>(
            runCli({QStringLiteral("import"), QStringLiteral("--account"), s_account, QStringLiteral("--data"),
                    s_dir->path(), kExample}));

        TreeSnapshotState tree;
        TreeEntry root{QStringLiteral("Главная"), 0};
        root.children.push_back(TreeEntry{QStringLiteral("Стратегии"), 1});
        tree.entries.push_back(root);
        writeBytes(file("txt/TreeView1.txt"), writeTreeSnapshot("TreeView1", tree));

        {
            // A notebook document as WordPad would have stored it.
            auto journal = s_dir->openJournal();
            journal->db().executeStatement(QStringLiteral("INSERT INTO t_zametki (s_name) values(?)"),
                                           {QStringLiteral("План")});
            journal->db().writeBlob(QStringLiteral("UPDATE t_zametki SET b_zametka = ? WHERE s_name=?"), kNote,
                                    {QStringLiteral("План")});
        }

        QImage image(4, 3, QImage::Format_RGB32);
        image.fill(Qt::red);
        writeBytes(file("img/1_138_вход.pat"), writePictureSnapshot("Image1", {QRect(5, 6, 40, 30), image}));
        // Trade 138 lists the picture above and one whose file was never written.
        TreeSnapshotState list;
        list.entries = {TreeEntry{QStringLiteral("вход")}, TreeEntry{QStringLiteral("выход")}};
        TradePictureStore(s_dir->openJournal()->db()).storeList(138, writeTreeSnapshot(kPictureListName, list));
    }
    static void TearDownTestSuite()
    {
        s_firstImport.reset();
        s_dir.reset();
    }

    static QString file(const char* relative) { return s_dir->file(QString::fromUtf8(relative)); }
    // The arguments followed by "--data" and the prepared folder.
    static QStringList withData(QStringList args) { return args << QStringLiteral("--data") << s_dir->path(); }

    static inline std::unique_ptr<TempAppDir> s_dir;
    static inline QString s_account;
    static inline std::unique_ptr<CliRun> s_firstImport;
};

TEST_F(CliTest, ImportAddsTheTradesAndASecondImportUpdatesThem)
{
    EXPECT_EQ(s_account, "1");
    EXPECT_EQ(s_firstImport->exitCode, 0);
    EXPECT_EQ(s_firstImport->out, (QStringList{"Добавлено сделок: 200, обновлено: 0", "Пополнений и снятий добавлено: 3",
                                               "Валюта счета: USD"}));
    EXPECT_EQ(s_firstImport->err, "");

    const CliRun again = runCli(withData({"import", "--account", "1", kExample}));
    EXPECT_EQ(again.exitCode, 0);
    EXPECT_EQ(again.out, QStringList{"Добавлено сделок: 0, обновлено: 200"});
    EXPECT_EQ(runCli(withData({"trades", "--account", "1"})).out.last(),
              "Кол-во сделок: 200, прибыльных 122 (61,0%), проигравших 78 (39,0%)");
}

TEST_F(CliTest, EveryCommandPrintsItsLines)
{
    struct Case {
        QStringList args;
        int lineCount;
        // (line, text); a negative line counts from the last (-1).
        std::vector<std::pair<int, QString>> lines;
    };
    const QString tradeHeader = "№\tid\tTicket\tOpen Time\tType\tSize\tItem\tPriceOpen\tS / L\tT / P\tClose Time\t"
                                "PriceClose\tComission\tSwap\tProfit\tВход\tВыход\tКомметарий\tОценка";
    const std::vector<Case> cases = {
        {{"extract", kExample},
         201,
         {{0, "id\t№\tTicket\tOpen Time\tType\tSize\tItem\tPriceOpen\tS / L\tT / P\tClose Time\tPriceClose\t"
              "Comission\tTaxes\tSwap\tProfit"},
          {1, "\t1\t40000002\t2023.01.02 05:04:01\tsell\t0.37\txauusd\t1988.10\t1993.10\t1980.10\t"
              "2023.01.04 00:10:25\t1988.10\t-0.25\t0.00\t-0.70\t-0.88"}}},
        {withData({"trades", "--account", "1"}),
         202,
         {{0, tradeHeader},
          {1, "1\t138\t40000146\t2023.01.21 19:16:10\tsell\t4.04\teurjpy\t162.124\t0.000\t161.324\t"
              "2023.01.23 23:24:26\t161.024\t-2,82\t-10,50\t31113,60\t\t\t\t"},
          {-1, "Кол-во сделок: 200, прибыльных 122 (61,0%), проигравших 78 (39,0%)"}}},
        {withData({"trades", "--account", "1", "--order", "date"}),
         202,
         {{1, "1\t1\t40000002\t2023.01.02 05:04:01\tsell\t0.37\txauusd\t1988.10\t1993.10\t1980.10\t"
              "2023.01.04 00:10:25\t1988.10\t-0,25\t-0,70\t-0,88\t\t\t\t"}}},
        {withData({"chart", "--account", "1"}),
         205,
         {{0, "#\tБаланс\tБез комиссии"},
          // The deposit of 10 000 before the first trade; the account ends on
          // the statement's balance.
          {1, "0\t9998,17\t9999,12"},
          {-5, "199\t102076,76\t102395,24"},
          {-4, "c коммисией: 102076,76"},
          {-3, "без коммисии: 102395,24"},
          {-2, "коммисия: -114,90"},
          {-1, "Свопы: -203,58"}}},
        {withData({"chart", "--account", "1", "--balance", "500"}), 205, {{1, "0\t10498,17\t10499,12"}}},
        {withData({"analysis", "--account", "1", "--from", "2023-01-21", "--to", "2023-01-22"}),
         9,
         {{0, "21 января 2023 - Суббота"},
          {1, "№\tid\tTicket\tOpenTime\tType\tSize\tItem\tProfit\tТаймфрэйм\tТренд\tВошел\tВышел\tНЛ\tОшибка\t"
              "Оценка\tРис\tR"},
          {2, "1\t135\t40000143\t2023.01.21 03:48:06\tbuy\t0.18\teurusd\t118,72\t\t\t\t\t0\t\t\t\t1,32"},
          {-1, "Итог дня: 29895,27 , всего сделок: 6, процент выйгрышных: 50,00%, Выйграл: 3, Проиграл 3, "
               "средняя прибыльная сделка: 10468,31"}}},
        {withData({"days", "--account", "1", "--from", "2023-01-01", "--to", "2023-01-10"}),
         9,
         {{0, "№\tДата\tДень недели\tСделок\tИтого\tИтого %\tБаланс\tБаланс БК\tВы\tПлюс\tПр\tМинус\tВы/Пр\t"
              "Макс +\tМакс -\tНЛ\tОценка\tКомментарий к дню\tОптимизация\tДата"},
          {1, "1\t02 января 2023\tПонедельник\t7\t-2732,82\t-27,33\t7267,18\t7283,05\t4\t1478,28\t3\t-4195,23\t"
              "57,1%\t1156,23\t-4012,17\t0\t0,00\t\t\t02.01.2023"}}},
        {withData({"weeks", "--account", "1", "--from", "2023-01-01", "--to", "2023-01-10", "--balance", "500"}),
         3,
         {{0, "№\tНеделя\tРост\tСделок\tПроцент\tИтого\tБаланс\tБаланс БК\tСПС\tВы\tПлюс\tПр\tМинус\tВы/Пр\t"
              "Макс. плюс\tМакс. минус\tСред. плюс\tСред. минус\tЛоси подряд\tПрофи подряд\tДата"},
          {1, "1\t02 января 2023\t258,16\t49\t63,27%\t27106,84\t37606,84\t37695,38\t1121,04\t31\t34752,20\t18\t"
              "-7556,82\t-4,60\t16441,39\t-4012,17\t1121,04\t-419,82\t5\t12\t02.01.2023"}}},
        // The folder has empty lists: the reports by list have headers only.
        {withData({"reports", "--account", "1"}),
         62,
         {{0, "Отчет по валютным парам"},
          {2, "1\txauusd\t31\t61,29%\t19\t7786,19\t12\t-3384,76\t4401,43"},
          {13, "1\tbuy\t96\t61,46%\t59\t36869,89\t37\t-39711,68\t-2841,79"},
          {32, "№\tТактика\tСделок\tВ%\tВ\tВ pips\tП\tП pips\tНедобрал"},
          {36, "Сделок\t200\tЗакрытые сделки счета."},
          {38, "Чистый результат\t87076,76\tСумма результатов всех сделок: прибыль вместе с комиссией, налогами и свопами."},
          {55, "SQN\t3,81\t√N × средний R / стандартное отклонение R (выборочное, N − 1); нужны хотя бы две сделки с R."},
          {-1, "01.2023\t87076,76"}}},
        {{"statement", kExample},
         10,
         {{0, "account\t5012345"}, {2, "currency\tUSD"}, {3, "trades\t200"}, {4, "deposits\t15000.00"},
          {5, "closed_pl_statement\t87076.76"}, {6, "closed_pl_trades\t87076.76"},
          {7, "balance_statement\t102076.76"}, {8, "opening_balance\t0.00"}, {9, "reconciled\tyes"}}},
        {withData({"accounts"}),
         2,
         {{0, "id\tname\ttype\tbroker\tstate\tcurrency\tcapital\tdeposits\ttrades\tbalance"},
          {1, "1\tДемо\t\t\t\tUSD\t0\t15000.00\t200\t102076.76"}}},
        {{"tree", file("txt/TreeView1.txt")}, 2, {{0, "Главная\t[0]"}, {1, "  Стратегии\t[1]"}}},
        {{"picture", file("img/1_138_вход.pat")},
         2,
         {{0, "left 5 top 6 width 40 height 30"}, {1, "picture 4 x 3"}}},
        {withData({"pictures", "--account", "1", "--trade", "138"}),
         2,
         {{0, "вход\t1_138_вход.pat\t4 × 3"}, {1, "выход\t1_138_выход.pat\tнет файла"}}},
        {withData({"pictures", "--account", "1", "--trade", "139"}), 0, {}},
        {withData({"notebook"}), 2, {{0, "Главная"}, {1, "  Стратегии"}}},
        {withData({"note", "План"}), 2, {{0, "Вход по тренду"}, {1, "Stop"}}},
        {withData({"note", "План", "--rtf"}), 1, {{0, QString::fromLatin1(kNote)}}},
        {{"--version"}, 1, {{0, "tradejournal-cli " + applicationVersion()}}},
        {{"--help"}, 37, {{0, "Использование: tradejournal-cli COMMAND [ARGS]"}, {11, "Папка данных: " + QStringLiteral(TJ_CLI_EXE).section(u'/', 0, -2)}}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.args.join(u' ').toStdString());
        const CliRun run = runCli(c.args);
        EXPECT_EQ(run.exitCode, 0);
        EXPECT_EQ(run.err, "");
        ASSERT_EQ(run.out.size(), c.lineCount);
        for (const auto& [line, text] : c.lines)
            EXPECT_EQ(run.out.at(line < 0 ? run.out.size() + line : line), text) << "line " << line;
    }
}

TEST_F(CliTest, HelpListsEveryCommand)
{
    const CliRun run = runCli({"--help"});
    const qsizetype start = run.out.indexOf("Команды:");
    ASSERT_GE(start, 0);
    QStringList names;
    for (const QString& line : run.out.mid(start + 1))
        names << line.section(u' ', 2, 2);
    EXPECT_EQ(names, (QStringList{"tree", "picture", "accounts", "extract", "statement", "import", "trades", "chart",
                                  "analysis", "days", "weeks", "backup", "restore", "reports", "pictures", "notebook",
                                  "note", "breakdown", "calendar", "rstats", "stats"}));
}

TEST_F(CliTest, BackupCopiesTheDatabaseAndRestorePutsACopyBack)
{
    const QString copy = file("копия.db");
    const CliRun toFile = runCli(withData({"backup", copy}));
    EXPECT_EQ(toFile.exitCode, 0);
    EXPECT_EQ(toFile.out, QStringList{copy});
    const CliRun toFolder = runCli(withData({"backup"}));
    EXPECT_EQ(toFolder.exitCode, 0);
    ASSERT_EQ(toFolder.out.size(), 1);
    EXPECT_TRUE(toFolder.out[0].startsWith(file("backup/datamoney-"))) << toFolder.out[0].toStdString();
    EXPECT_TRUE(QFile::exists(toFolder.out[0]));

    {
        // The window has the folder: nothing is restored.
        const JournalLock window(s_dir->path());
        ASSERT_EQ(window.state(), JournalLock::State::Locked);
        const CliRun refused = runCli(withData({"restore", copy}));
        EXPECT_EQ(refused.exitCode, 1);
        EXPECT_EQ(refused.err, "Журнал уже открыт в другом окне: закройте программу и повторите.\n");
    }
    const CliRun restored = runCli(withData({"restore", copy}));
    EXPECT_EQ(restored.exitCode, 0) << restored.err.toStdString();
    ASSERT_EQ(restored.out.size(), 2);
    EXPECT_EQ(restored.out[0], "База данных восстановлена из " + copy);
    EXPECT_TRUE(restored.out[1].startsWith("Прежняя база сохранена: " + file("backup/datamoney-before-restore-")));
    EXPECT_EQ(runCli(withData({"trades", "--account", "1"})).out.size(), 202);
}

TEST_F(CliTest, PictureIsSavedAsPng)
{
    const QString png = file("вход.png");
    const CliRun run = runCli({"picture", file("img/1_138_вход.pat"), "--png", png});
    EXPECT_EQ(run.exitCode, 0);
    const QImage saved(png);
    EXPECT_EQ(saved.size(), QSize(4, 3));
    EXPECT_EQ(saved.pixelColor(0, 0), QColor(Qt::red));

    const QString named = file("сделка.png");
    const CliRun byName = runCli(withData({"pictures", "--account", "1", "--trade", "138", "--png", "вход", named}));
    EXPECT_EQ(byName.exitCode, 0);
    EXPECT_EQ(QImage(named).size(), QSize(4, 3));
}

// A failure prints nothing on stdout, its reason on stderr, and exits with 1
// when the work could not be done, 2 when the command line is wrong.
TEST_F(CliTest, FailuresExitWithTheirCodeAndReason)
{
    const QString missing = file("нет.htm");
    const QString schema = QStringLiteral(TJ_SCHEMA_SQL);
    // A download that stopped half-way: the trades are there, the totals not.
    const QString cut = file("обрезан.htm");
    const QByteArray whole = readBytes(kExample);
    writeBytes(cut, whole.left(whole.size() / 2));
    // A journal that lost a column the program reads.
    const QString noProfit = file("без-profit.db");
    QFile::remove(noProfit);
    ASSERT_TRUE(QFile::copy(file("datamoney.db"), noProfit));
    TSQLiteDatabase(noProfit).executeStatement(QStringLiteral("ALTER TABLE t_sdelki DROP COLUMN Profit"));
    struct Case {
        QStringList args;
        int exitCode;
        QString firstErrLine;
    };
    const std::vector<Case> cases = {
        {withData({"import", "--account", "7", kExample}), 1, "Нет счета с id 7"},
        {withData({"import", "--account", "01", kExample}), 1, "Нет счета с id 01"},
        {withData({"import", "--account", "1", missing}), 1,
         "Не удалось прочитать файл \"" + missing + "\": нет такого файла или папки"},
        {withData({"import", "--account", "1", schema}), 1,
         "Выбранный файл не является отчетом MetaTrader, посмотрите видео урок!"},
        {withData({"import", kExample}), 2, "Использование: tradejournal-cli import --account ID [--force] [--data DIR] FILE"},
        {{"import", "--account", "1", "--data", file("nowhere"), kExample}, 1,
         "Нет базы данных " + file("nowhere/datamoney.db")},
        {{"extract", missing}, 1, "Не удалось прочитать файл \"" + missing + "\": нет такого файла или папки"},
        {{"extract", schema}, 1, "Выбранный файл не является отчетом MetaTrader, посмотрите видео урок!"},
        {{"extract"}, 2, "Использование: tradejournal-cli extract FILE"},
        {withData({"trades", "--account", "1", "--order", "size"}), 2,
         "Использование: tradejournal-cli trades --account ID [--order profit|date] [--data DIR]"},
        {{"trades", "--account", "1", "--data"}, 1, "--data: укажите папку программы"},
        {withData({"chart"}), 2, "Использование: tradejournal-cli chart --account ID [--balance N] [--data DIR]"},
        {withData({"analysis", "--account", "1", "--from", "2023-13-01", "--to", "2023-01-22"}), 2,
         "Использование: tradejournal-cli analysis --account ID --from YYYY-MM-DD --to YYYY-MM-DD [--data DIR]"},
        {withData({"days", "--account", "1", "--from", "2023-01-01"}), 2,
         "Использование: tradejournal-cli days --account ID --from YYYY-MM-DD --to YYYY-MM-DD [--balance N] [--data DIR]"},
        {withData({"weeks", "--account", "1", "--from", "2023-01-01", "--to", "10.01.2023"}), 2,
         "Использование: tradejournal-cli weeks --account ID --from YYYY-MM-DD --to YYYY-MM-DD [--balance N] [--data DIR]"},
        {withData({"reports"}), 2, "Использование: tradejournal-cli reports --account ID [--data DIR]"},
        {{"tree", missing}, 1, "Не удалось открыть " + missing + ": нет такого файла или папки"},
        {{"tree"}, 2, "Использование: tradejournal-cli tree FILE"},
        {{"picture", missing}, 1, "Не удалось открыть " + missing + ": нет такого файла или папки"},
        {{"picture", file("img/1_138_вход.pat"), "--jpeg"}, 2, "Использование: tradejournal-cli picture FILE [--png OUT]"},
        {withData({"pictures", "--account", "1"}), 2,
         "Использование: tradejournal-cli pictures --account ID --trade ID [--png NAME OUT] [--data DIR]"},
        {withData({"pictures", "--account", "2", "--trade", "138"}), 1, "Нет счета с id 2"},
        {withData({"pictures", "--account", "1", "--trade", "138", "--png", "итог", file("x.png")}), 1,
         "У сделки нет рисунка \"итог\""},
        {withData({"pictures", "--account", "1", "--trade", "138", "--png", "выход", file("x.png")}), 1,
         "Нет файла " + file("img/1_138_выход.pat")},
        {withData({"note", "Нет такого"}), 1, "Нет документа \"Нет такого\""},
        {withData({"note"}), 2, "Использование: tradejournal-cli note NAME [--rtf] [--data DIR]"},
        {withData({"notebook", "лишнее"}), 2, "Использование: tradejournal-cli notebook [--data DIR]"},
        {{"bogus"}, 2, "tradejournal-cli: нет команды «bogus» (см. --help)"},
        {{"backup", "--data", file("nowhere")}, 1, "Нет базы данных " + file("nowhere/datamoney.db")},
        {withData({"backup", "a.db", "b.db"}), 2, "Использование: tradejournal-cli backup [--data DIR] [FILE]"},
        {withData({"backup", kExample}), 1, "Файл " + kExample + " уже есть: укажите новое имя"},
        {withData({"restore"}), 2, "Использование: tradejournal-cli restore FILE [--data DIR]"},
        {withData({"restore", schema}), 1,
         "Не удалось восстановить базу данных из " + schema + ": файл не является базой данных"},
        {withData({"restore", noProfit}), 1,
         "Не удалось восстановить базу данных из " + noProfit + ": это не база журнала: нет столбца Profit в таблице t_sdelki"},
        {withData({"restore", file("img")}), 1,
         "Не удалось восстановить базу данных из " + file("img") + ": это папка, а не файл"},
        {withData({"import", "--account", "1", cut}), 1,
         "Отчет не сверяется со своими итогами: итогов в отчете нет (файл может быть обрезан при сохранении или загрузке)"},
        {{"statement"}, 2, "Использование: tradejournal-cli statement FILE"},
        {{"statement", missing}, 1, "Не удалось прочитать файл \"" + missing + "\": нет такого файла или папки"},
        {{"statement", schema}, 1, "Выбранный файл не является отчетом MetaTrader, посмотрите видео урок!"},
        {withData({"accounts", "add"}), 2,
         "Использование: tradejournal-cli accounts add NAME [--capital N] [--currency C] [--data DIR]"},
        {withData({"accounts", "add", "Новый", "--currency", "US1"}), 1,
         "Валюта счета «US1» не принята: укажите код из трех латинских букв (USD, EUR, JPY) или оставьте поле пустым."},
        {withData({"accounts", "add", "Новый", "--capital", "12,5"}), 1,
         "Капитал «12,5» не принят: укажите целое число без знаков и пробелов"},
        {withData({"accounts", "лишнее"}), 2, "Использование: tradejournal-cli accounts [--ids] [--data DIR]"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.args.join(u' ').toStdString());
        const CliRun run = runCli(c.args);
        EXPECT_EQ(run.exitCode, c.exitCode);
        EXPECT_EQ(run.out, QStringList());
        EXPECT_EQ(run.err.section(u'\n', 0, 0), c.firstErrLine);
    }
    // Without a command the help is printed, but as a failure.
    const CliRun bare = runCli({});
    EXPECT_EQ(bare.exitCode, 1);
    EXPECT_EQ(bare.out.value(0), "Использование: tradejournal-cli COMMAND [ARGS]");
    // The refused imports left the account as it was.
    EXPECT_EQ(runCli(withData({"trades", "--account", "1"})).out.size(), 202);
}

// Another program holds the journal locked: the tool says so and changes
// nothing, as the window does at start.
TEST_F(CliTest, ABusyDatabaseIsReportedAsBusy)
{
    TSQLiteDatabase other(file("datamoney.db"));
    other.executeStatement(QStringLiteral("BEGIN EXCLUSIVE"));
    const CliRun run = runCli(withData({"trades", "--account", "1"}));
    other.executeStatement(QStringLiteral("ROLLBACK"));
    EXPECT_EQ(run.exitCode, 1);
    EXPECT_EQ(run.out, QStringList());
    EXPECT_TRUE(run.err.startsWith("База данных занята другой программой: " + file("datamoney.db") + " "))
        << run.err.toStdString();
}

// A first import without the window: an account made from the command line
// takes the statement's currency and ends on the statement's balance.
TEST(CliAccounts, AnAccountAddedAndFilledEndsOnTheStatementBalance)
{
    const QString statement = QStringLiteral(TJ_FIXTURES_DIR "/statements/mt4_reuniware_DetailedStatement.htm");
    if (!QFile::exists(statement))
        GTEST_SKIP() << "the shared fixtures are not here";
    const TempAppDir dir;
    const auto data = [&](QStringList args) { return args << QStringLiteral("--data") << dir.path(); };
    const CliRun added = runCli(data({"accounts", "add", "Счет в евро"}));
    EXPECT_EQ(added.exitCode, 0) << added.err.toStdString();
    ASSERT_EQ(added.out, QStringList{"1"});
    const CliRun imported = runCli(data({"import", "--account", "1", statement}));
    EXPECT_EQ(imported.exitCode, 0) << imported.err.toStdString();
    EXPECT_EQ(imported.out, (QStringList{"Добавлено сделок: 130, обновлено: 0", "Пополнений и снятий добавлено: 1",
                                         "Валюта счета: EUR"}));
    const CliRun accounts = runCli(data({"accounts"}));
    ASSERT_EQ(accounts.out.size(), 2);
    EXPECT_EQ(accounts.out[1], "1\tСчет в евро\t\t\t\tEUR\t0\t500.00\t130\t524.17");

    // The same statement into another account moves the trades, and says from where.
    ASSERT_EQ(runCli(data({"accounts", "add", "Второй"})).out, QStringList{"2"});
    const CliRun moved = runCli(data({"import", "--account", "2", statement}));
    EXPECT_EQ(moved.exitCode, 0) << moved.err.toStdString();
    EXPECT_EQ(moved.out.value(1), "Перенесено из счета «Счет в евро»: 130");
}

// Every command answers --help on stdout in Russian, whatever else is on
// the line, and names the folder it reads without --data.
TEST(CliHelp, EveryCommandAnswersHelp)
{
    const CliRun list = runCli({"--help"});
    const qsizetype start = list.out.indexOf("Команды:");
    ASSERT_GE(start, 0);
    for (const QString& line : list.out.mid(start + 1)) {
        const QString command = line.section(u' ', 2, 2);
        SCOPED_TRACE(command.toStdString());
        for (const QStringList& args : {QStringList{command, "--help"}, QStringList{command, "--account", "1", "-h"}}) {
            const CliRun help = runCli(args);
            EXPECT_EQ(help.exitCode, 0);
            EXPECT_EQ(help.err, "");
            ASSERT_FALSE(help.out.isEmpty());
            EXPECT_TRUE(help.out[0].startsWith("Использование: tradejournal-cli " + command)) << help.out[0].toStdString();
            if (help.out[0].contains("--data DIR")) {
                EXPECT_TRUE(help.out.join(u'\n').contains("Папка данных: ")) << help.out.join(u'\n').toStdString();
            }
        }
    }
    const CliRun import = runCli({"import", "--help"});
    EXPECT_EQ(import.out.value(3), "Скопировать закрытые сделки и движения средств отчета на счет.");
    EXPECT_FALSE(import.out.join(u'\n').contains("current folder"));
}

// An account that is not in the journal is an error in every command that
// takes one, and nothing is printed as if it were empty.
TEST(CliAccounts, AMissingAccountIsAnErrorInEveryCommand)
{
    const TempAppDir dir;
    {
        auto journal = dir.openJournal();
        AccountStore store(journal->db(), dir.file(QStringLiteral("img")));
        AccountRecord account;
        account.name = QStringLiteral("Первый");
        store.addAccount(account);
        account.name = QStringLiteral("Второй");
        store.addAccount(account);
    }
    const auto data = [&](QStringList args) { return args << QStringLiteral("--data") << dir.path(); };
    const QString range[] = {"--from", "2023-01-01", "--to", "2023-02-01"};
    const std::vector<std::pair<QStringList, QString>> cases = {
        {data({"trades", "--account", "99"}), "Нет счета с id 99"},
        {data({"trades", "--account", "1x"}), "Нет счета с id 1x"},
        {data({"chart", "--account", "99"}), "Нет счета с id 99"},
        {data({"analysis", "--account", "99", range[0], range[1], range[2], range[3]}), "Нет счета с id 99"},
        {data({"days", "--account", "99", range[0], range[1], range[2], range[3]}), "Нет счета с id 99"},
        {data({"weeks", "--account", "99", range[0], range[1], range[2], range[3]}), "Нет счета с id 99"},
        {data({"reports", "--account", "99"}), "Нет счета с id 99"},
        {data({"pictures", "--account", "99", "--trade", "5"}), "Нет счета с id 99"},
        {data({"import", "--account", "99", kExample}), "Нет счета с id 99"},
        // The account is there; the trade is not on it.
        {data({"pictures", "--account", "2", "--trade", "5"}), "Нет сделки с id 5 на счете 2"},
    };
    for (const auto& [args, message] : cases) {
        SCOPED_TRACE(args.join(u' ').toStdString());
        const CliRun run = runCli(args);
        EXPECT_EQ(run.exitCode, 1);
        EXPECT_EQ(run.out, QStringList());
        EXPECT_EQ(run.err, message + u'\n');
    }
    // An account without trades is not a missing one: its table is empty.
    const CliRun empty = runCli(data({"trades", "--account", "2"}));
    EXPECT_EQ(empty.exitCode, 0);
    EXPECT_EQ(empty.out.value(1), "Кол-во сделок: 0, прибыльных 0 (0,0%), проигравших 0 (0,0%)");
    const CliRun ids = runCli(data({"accounts", "--ids"}));
    EXPECT_EQ(ids.exitCode, 0);
    EXPECT_EQ(ids.out, (QStringList{"id\tname", "1\tПервый", "2\tВторой"}));
}

// The bash completion as bash runs it at a Tab: the words offered after what
// was typed.
TEST_F(CliTest, BashCompletionOffersCommandsOptionsAndAccounts)
{
    const QString script = file("completion.bash");
    QProcess make;
    make.setStandardOutputFile(script);
    make.start(QStringLiteral(TJ_CLI_EXE), {"--completion", "bash"});
    ASSERT_TRUE(make.waitForFinished(10000));
    ASSERT_EQ(make.exitCode(), 0);
    const QString cli = QStringLiteral(TJ_CLI_EXE);
    struct Case {
        QStringList words; // the last one is being typed
        QString offered;
    };
    const std::vector<Case> cases = {
        {{cli, "tr"}, "tree trades"},
        {{cli, "trades", "--data", s_dir->path(), "--account", ""}, "1"},
        {{cli, "trades", "--order", ""}, "profit date"},
        {{cli, "trades", "--"}, "--account --order --data --help"},
        {{cli, "accounts", ""}, "add --ids --data --capital --currency --help"},
        {{cli, "--completion", "z"}, "zsh"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.words.join(u' ').toStdString());
        QStringList quoted;
        for (const QString& w : c.words)
            quoted << u'\'' + w + u'\'';
        QProcess bash;
        bash.start(QStringLiteral("bash"),
                   {"-c", QStringLiteral("source '%1'; COMP_WORDS=(%2); COMP_CWORD=%3; _tradejournal_cli; "
                                         "echo \"${COMPREPLY[*]}\"")
                              .arg(script, quoted.join(u' '))
                              .arg(c.words.size() - 1)});
        ASSERT_TRUE(bash.waitForFinished(20000));
        EXPECT_EQ(QString::fromUtf8(bash.readAllStandardOutput()).trimmed(), c.offered)
            << bash.readAllStandardError().toStdString();
    }

    // The zsh completion at least reads as zsh, where zsh is installed.
    if (QStandardPaths::findExecutable(QStringLiteral("zsh")).isEmpty())
        return;
    const QString zshScript = file("_tradejournal-cli");
    make.setStandardOutputFile(zshScript);
    make.start(QStringLiteral(TJ_CLI_EXE), {"--completion", "zsh"});
    ASSERT_TRUE(make.waitForFinished(10000));
    QProcess zsh;
    zsh.start(QStringLiteral("zsh"), {"-n", zshScript});
    ASSERT_TRUE(zsh.waitForFinished(10000));
    EXPECT_EQ(zsh.exitCode(), 0) << zsh.readAllStandardError().toStdString();
}

} // namespace

// A table of trades through the tool: the columns guessed without --map, a
// second import updating every trade, --map naming a column the guess does
// not know, a bad cell stopping the copy unless --force, extract printing
// the preview.
TEST(CliCsv, ImportsATableOfTradesAndAgainWithoutDoubles)
{
    TempAppDir dir;
    QString account;
    {
        auto journal = dir.openJournal();
        AccountRecord record;
        record.name = QStringLiteral("CSV");
        account = AccountStore(journal->db(), dir.file(QStringLiteral("img"))).addAccount(record);
    }
    const QString csv = dir.file(QStringLiteral("trades.csv"));
    writeBytes(csv, "Ticket;Open Time;Type;Volume;Symbol;Price;S/L;T/P;Close Time;Close Price;Commission;Taxes;Swap;Profit\r\n"
                    "5001;2024.03.01 10:15:00;buy;0,10;EURUSD;1,08500;0;0;2024.03.01 12:00:00;1,08600;-0,70;0;0;10,00\r\n"
                    ";2024.03.01 13:00:00;sell;1,00;GBPUSD;1,27000;0;0;2024.03.01 14:00:00;1,26900;-7,00;0;-1,20;1 000,00\r\n");
    const QStringList import = {"import", "--account", account, "--data", dir.path(), csv};
    const CliRun first = runCli(import);
    EXPECT_EQ(first.exitCode, 0) << first.err.toStdString();
    EXPECT_EQ(first.out.value(1), "Файл CSV: в нем нет итогов счета, сверка с итогами не выполняется");
    EXPECT_EQ(first.out.value(2), "Добавлено сделок: 2, обновлено: 0");
    const CliRun second = runCli(import);
    EXPECT_EQ(second.out.value(2), "Добавлено сделок: 0, обновлено: 2");
    {
        auto journal = dir.openJournal();
        auto t = journal->db().openResultTable(
            QStringLiteral("SELECT Ticket, Profit, Swap FROM t_sdelki WHERE chet=? ORDER BY id"), {account});
        ASSERT_EQ(t->rowCount(), 2);
        EXPECT_EQ(t->fieldTextAt(0), "5001");
        t->moveNext();
        EXPECT_TRUE(t->fieldTextAt(0).startsWith("csv-"));
        EXPECT_EQ(t->fieldTextAt(1), "1000,00");
        EXPECT_EQ(t->fieldTextAt(2), "-1,20");
    }

    const CliRun extract = runCli({"extract", csv});
    EXPECT_EQ(extract.exitCode, 0);
    ASSERT_EQ(extract.out.size(), 3);
    EXPECT_EQ(extract.out[1], "\t1\t5001\t2024.03.01 10:15:00\tbuy\t0.10\tEURUSD\t1.08500\t0\t0\t2024.03.01 12:00:00\t"
                              "1.08600\t-0.70\t0\t0\t10.00");

    const QString other = dir.file(QStringLiteral("other.csv"));
    writeBytes(other, "When,Side,Lots,Pair,Outcome\n2024-03-02 09:00,long,0.2,USDJPY,5\n2024-03-02 10:00,short,x,USDJPY,1\n");
    const CliRun unmapped = runCli({"import", "--account", account, "--data", dir.path(), other});
    EXPECT_EQ(unmapped.exitCode, 1);
    EXPECT_TRUE(unmapped.err.startsWith("Не найдены столбцы для полей: Время открытия, Прибыль.")) << unmapped.err.toStdString();
    const QStringList mapped = {"import", "--account", account, "--data", dir.path(), "--map", "opentime=When,profit=5", other};
    const CliRun refused = runCli(mapped);
    EXPECT_EQ(refused.exitCode, 1);
    EXPECT_EQ(refused.err, "Строка 3, столбец «Lots»: «x» не является числом\n"
                           "Строк с ошибками: 1. Ничего не скопировано; --force копирует остальные сделки.\n");
    const CliRun forced = runCli(QStringList(mapped) << "--force");
    EXPECT_EQ(forced.exitCode, 0) << forced.err.toStdString();
    EXPECT_EQ(forced.out.value(2), "Добавлено сделок: 1, обновлено: 0");
    EXPECT_EQ(forced.out.value(3), "Не скопировано строк с ошибками: 1");
}

// The analytics commands over a handful of trades: a Monday's last second
// and the next Monday's first, a Sunday, buys and sells with and without a
// stop loss on the losing side.
TEST(CliAnalytics, BreakdownCalendarRStatsAndStatsPrintTheirLines)
{
    const TempAppDir dir;
    {
        auto journal = dir.openJournal();
        journal->db().executeStatement(QStringLiteral("INSERT INTO t_chet (chet_name, chet_kapital) VALUES ('Демо', 1000)"));
        struct Trade {
            const char *time, *type, *item, *open, *close, *sl, *profit;
            double commission;
            const char* psixo;
        };
        for (const Trade& t : {Trade{"2024.01.01 23:59:59", "buy", "EURUSD", "1.10000", "1.10500", "1.09500", "50", -1, ""},
                               Trade{"2024.01.08 00:00:00", "sell", "GBPUSD", "1.30000", "1.30500", "1.30500", "-50", -1, "Страх"},
                               Trade{"2024.01.07 12:00", "sell", "EURUSD", "1.10000", "1.09000", "1.11000", "100", 0, ""},
                               Trade{"2024.01.02 23:00", "buy", "EURUSD", "1.10000", "1.11500", "1.09500", "150", 0, "Страх"},
                               Trade{"2024.02.05 10:00", "buy", "USDJPY", "150.000", "150.000", "0", "0", 0, ""}})
            journal->db().executeStatement(
                QStringLiteral("INSERT INTO t_sdelki (chet, OpenTime, Type, Item, PriceOpen, PriceClose, sl, Profit, "
                               "Commission, Swap, Taxes, Psixo) VALUES ('1', ?, ?, ?, ?, ?, ?, ?, ?, '0', '0', ?)"),
                {QString::fromUtf8(t.time), QString::fromUtf8(t.type), QString::fromUtf8(t.item),
                 QString::fromUtf8(t.open), QString::fromUtf8(t.close), QString::fromUtf8(t.sl),
                 QString::fromUtf8(t.profit), t.commission, QString::fromUtf8(t.psixo)});
    }
    const auto run = [&](QStringList args) { return runCli(args << QStringLiteral("--data") << dir.path()); };
    const QString header = "key\ttrades\twins\tlosses\tnet\taverage";
    struct Case {
        QStringList args;
        QStringList out;
    };
    const std::vector<Case> cases = {
        {{"breakdown", "--by", "weekday", "--account", "1"},
         {header, "1\t3\t1\t1\t-2.00\t-0.67", "2\t1\t1\t0\t150.00\t150.00", "7\t1\t1\t0\t100.00\t100.00"}},
        {{"breakdown", "--by", "hour", "--account", "1"},
         {header, "0\t1\t0\t1\t-51.00\t-51.00", "10\t1\t0\t0\t0.00\t0.00", "12\t1\t1\t0\t100.00\t100.00",
          "23\t2\t2\t0\t199.00\t99.50"}},
        {{"breakdown", "--by", "symbol", "--account", "1", "--from", "2024-01-02", "--to", "2024-01-08"},
         {header, "EURUSD\t2\t2\t0\t250.00\t125.00"}},
        {{"breakdown", "--by", "errors", "--account", "1"},
         {header, "Страх\t2\t1\t1\t99.00\t49.50", "\t3\t2\t0\t149.00\t49.67"}},
        {{"calendar", "--month", "2024-01", "--account", "1"},
         {"date\ttrades\tnet", "2024-01-01\t1\t49.00", "2024-01-02\t1\t150.00", "2024-01-07\t1\t100.00",
          "2024-01-08\t1\t-51.00"}},
        {{"calendar", "--month", "2023-12", "--account", "1"}, {"date\ttrades\tnet"}},
        // R: 1, -1, 1, 3; the last trade has no stop. SQN = 2 * 1 / sqrt(8 / 3).
        {{"rstats", "--account", "1"},
         {"trades_with_r\t4", "average_r\t1.0000", "sqn\t1.2247", "max_r\t3.0000", "min_r\t-1.0000"}},
        {{"rstats", "--account", "1", "--from", "2024-02-01"},
         {"trades_with_r\t0", "average_r\t", "sqn\t", "max_r\t", "min_r\t"}},
    };
    for (const Case& c : cases) {
        const CliRun r = run(c.args);
        EXPECT_EQ(r.exitCode, 0) << c.args.join(u' ').toStdString() << r.err.toStdString();
        EXPECT_EQ(r.out, c.out) << c.args.join(u' ').toStdString();
    }

    // Without Mondays, sells only; and a filter that leaves nothing.
    const CliRun noMondays = run({"stats", "--account", "1", "--weekday", "2,3,4,5,6,7", "--type", "sell"});
    EXPECT_EQ(noMondays.exitCode, 0) << noMondays.err.toStdString();
    ASSERT_GE(noMondays.out.size(), 22);
    EXPECT_EQ(noMondays.out.mid(0, 3), (QStringList{"trades\t1", "win_percent\t100.00", "net\t100.00"}));
    EXPECT_TRUE(noMondays.out.contains("trades_with_r\t1"));
    const CliRun nothing = run({"stats", "--account", "1", "--symbol", "XAUUSD"});
    EXPECT_EQ(nothing.exitCode, 0);
    EXPECT_EQ(nothing.out.mid(0, 3), (QStringList{"trades\t0", "win_percent\t", "net\t0.00"}));
    const CliRun hours = run({"stats", "--account", "1", "--hour", "23", "--hour", "0", "--errors", "Страх"});
    EXPECT_EQ(hours.out.mid(0, 3), (QStringList{"trades\t2", "win_percent\t50.00", "net\t99.00"}));

    struct Failure {
        QStringList args;
        int exitCode;
        QString errStart;
    };
    const std::vector<Failure> failures = {
        {{"breakdown", "--by", "hour", "--account", "9"}, 1, "Нет счета с id 9\n"},
        {{"calendar", "--month", "2024-01", "--account", "01"}, 1, "Нет счета с id 01\n"},
        {{"rstats", "--account", "2"}, 1, "Нет счета с id 2\n"},
        {{"stats", "--account", "3", "--type", "buy"}, 1, "Нет счета с id 3\n"},
        {{"breakdown", "--by", "minute", "--account", "1"}, 2, "Использование: tradejournal-cli breakdown"},
        {{"breakdown", "--account", "1"}, 2, "Использование: tradejournal-cli breakdown"},
        {{"calendar", "--month", "2024-13", "--account", "1"}, 2, "Использование: tradejournal-cli calendar"},
        {{"rstats", "--account", "1", "--from", "01.01.2024"}, 2, "Использование: tradejournal-cli rstats"},
        {{"stats", "--account", "1", "--weekday", "8"}, 2, "Использование: tradejournal-cli stats"},
        {{"stats", "--account", "1", "--hour", "24"}, 2, "Использование: tradejournal-cli stats"},
        {{"stats", "--account", "1", "--type", "long"}, 2, "Использование: tradejournal-cli stats"},
        {{"stats", "--account", "1", "--weekday"}, 2, "Использование: tradejournal-cli stats"},
        {{"rstats", "--account", "1", "--symbol", "EURUSD"}, 2, "Использование: tradejournal-cli rstats"},
    };
    for (const Failure& f : failures) {
        const CliRun r = run(f.args);
        EXPECT_EQ(r.exitCode, f.exitCode) << f.args.join(u' ').toStdString();
        EXPECT_TRUE(r.err.startsWith(f.errStart)) << r.err.toStdString();
        EXPECT_EQ(r.out, QStringList()) << f.args.join(u' ').toStdString();
    }

    // A trade whose money does not read is named even when the filter leaves it out.
    {
        auto journal = dir.openJournal();
        journal->db().executeStatement(QStringLiteral(
            "INSERT INTO t_sdelki (chet, OpenTime, Type, Item, Profit) VALUES ('1', '2024.03.01 10:00', 'buy', 'XAUUSD', 'x')"));
    }
    const CliRun bad = run({"stats", "--account", "1", "--symbol", "EURUSD"});
    EXPECT_EQ(bad.exitCode, 1);
    EXPECT_EQ(bad.out.value(0), "trades\t3");
    EXPECT_EQ(bad.err, "Ошибка - Во время обновление данных: Сделка id 6: Прибыль «x» не является числом; она не "
                       "входит в итоги\n");
}

// A real statement: the figures equal those computed apart from the program
// (a short Python script over the database, rounding as the journal does).
TEST(CliAnalytics, RealStatementByWeekdayAndR)
{
    const QString statement = QStringLiteral(TJ_FIXTURES_DIR "/statements/mt4_reuniware_DetailedStatement.htm");
    if (!QFile::exists(statement))
        GTEST_SKIP() << "the shared fixtures are not here";
    const TempAppDir dir;
    const auto data = [&](QStringList args) { return args << QStringLiteral("--data") << dir.path(); };
    ASSERT_EQ(runCli(data({"accounts", "add", "Счет"})).out, QStringList{"1"});
    ASSERT_EQ(runCli(data({"import", "--account", "1", "--force", statement})).exitCode, 0);
    EXPECT_EQ(runCli(data({"breakdown", "--by", "weekday", "--account", "1"})).out,
              (QStringList{"key\ttrades\twins\tlosses\tnet\taverage", "1\t23\t15\t7\t10.18\t0.44",
                           "2\t32\t22\t10\t-1.94\t-0.06", "3\t51\t39\t12\t44.45\t0.87",
                           "5\t24\t21\t3\t-28.52\t-1.19"}));
    EXPECT_EQ(runCli(data({"rstats", "--account", "1"})).out,
              (QStringList{"trades_with_r\t28", "average_r\t-0.2267", "sqn\t-2.0095", "max_r\t0.2712",
                           "min_r\t-1.0000"}));
}


namespace {

// The trade table's lines keep one trade on one line: tabs and line breaks
// in a trade's texts print as spaces, as in every other table.
TEST(CliTrades, TabsAndLineBreaksInTextsPrintAsSpaces)
{
    TempAppDir dir;
    {
        auto journal = dir.openJournal();
        journal->db().executeStatement(QStringLiteral("INSERT INTO t_chet (chet_name, chet_kapital) VALUES ('Счет', 100)"));
        journal->db().executeStatement(
            QStringLiteral("INSERT INTO t_sdelki (chet, Ticket, OpenTime, Profit, Profit2, Commission, Swap, Taxes, comment, ocenka) "
                           "VALUES ('1', '77', '2013.07.01 10:00', '5', 5, 0, '0', '0', ?, 'Хорошо')"),
            {QStringLiteral("вход\tпо сигналу\r\nвыход\nпо стопу\rпозже")});
    }
    const CliRun run = runCli({QStringLiteral("trades"), QStringLiteral("--account"), QStringLiteral("1"),
                               QStringLiteral("--data"), dir.path()});
    EXPECT_EQ(run.exitCode, 0) << run.err.toStdString();
    ASSERT_EQ(run.out.size(), 3);
    EXPECT_TRUE(run.out[1].endsWith(QStringLiteral("\tвход по сигналу выход по стопу позже\tХорошо"))) << run.out[1].toStdString();
    EXPECT_EQ(run.out[1].count(u'\t'), 18);
}

// A damaged journal whose tables still read: every page is looked at while
// the command runs. A reading command ends in failure with the message, a
// writing one is refused before it writes; the file stays as it was.
TEST_F(CliTest, ADamagedJournalIsToldAfterAReadingAndRefusedBeforeAWrite)
{
    TempAppDir damaged;
    QFile::remove(damaged.file(QStringLiteral("datamoney.db")));
    ASSERT_TRUE(QFile::copy(file("datamoney.db"), damaged.file(QStringLiteral("datamoney.db"))));
    damageDatabase(damaged.file(QStringLiteral("datamoney.db")));
    const QByteArray before = readBytes(damaged.file(QStringLiteral("datamoney.db")));
    const QString told = QStringLiteral("База данных %1 повреждена:").arg(damaged.file(QStringLiteral("datamoney.db")));
    const QStringList reading[] = {{"accounts"},
                                   {"analysis", "--account", "1", "--from", "2000-01-01", "--to", "2100-01-01"},
                                   {"accounts", "add", "Новый"}};
    for (const QStringList& args : reading) {
        SCOPED_TRACE(args.join(u' ').toStdString());
        const CliRun run = runCli(QStringList(args) << QStringLiteral("--data") << damaged.path());
        EXPECT_EQ(run.exitCode, 1);
        EXPECT_EQ(run.err.count(told), 1) << run.err.toStdString();
        EXPECT_EQ(readBytes(damaged.file(QStringLiteral("datamoney.db"))), before);
    }
}

} // namespace

namespace {

// `analysis` prints every trade from the stored bytes as it reads it; its
// lines are the page's texts with tabs and line breaks as spaces, whatever
// the stored texts hold: Windows-1251 letters, a byte without a letter
// (0x98) and a NUL, tabs and line breaks of every kind, cells longer than
// 255 and 65 535 bytes, a NULL and a text in a number column, a profit that
// does not read, an R.
TEST(CliAnalysis, PrintsThePagesTextsOfEveryStoredCell)
{
    struct Case {
        const char* column;
        QVariant value; // QString: Windows-1251 text; QByteArray: the bytes as they are
    };
    const std::vector<Case> cases = {
        {"verno", QStringLiteral("флэт\tс табом")},
        {"taktika", QStringLiteral("Пробой\r\nуровня")},
        {"pravilo2", QStringLiteral("a\rb\nc\r\r\nd\n\r")},
        {"strategia", QByteArray("\x98\xa0\xb9 a\0b", 7)},
        {"ocenka", QString(300, QChar(u'Ж'))},
        {"pravilo", QString(70000, u'x')},
        {"Nedobral", QVariant()},
        {"Nedobral", QStringLiteral("abc")},
        {"Profit", QStringLiteral("abc")},
        {"sl", QStringLiteral("1,09")},
    };
    TempAppDir dir;
    std::vector<AnalysisRows::Row> shown;
    {
        auto journal = dir.openJournal();
        journal->db().executeStatement(QStringLiteral("INSERT INTO t_chet (chet_name, chet_kapital) VALUES ('Счет', 100)"));
        for (size_t i = 0; i < cases.size(); ++i) {
            journal->db().executeStatement(
                QStringLiteral("INSERT INTO t_sdelki (chet, Ticket, OpenTime, Type, Size, Item, PriceOpen, PriceClose, sl, "
                               "Profit, Commission, Swap, Taxes) VALUES ('1', ?, ?, 'buy', '0.10', 'EURUSD', '1.1', '1.12', "
                               "'0', '5', 0, '0', '0')"),
                {QString::number(i), QStringLiteral("2013.07.01 10:%1").arg(i, 2, 10, QLatin1Char('0'))});
            journal->db().executeStatement(QStringLiteral("UPDATE t_sdelki SET %1 = ? WHERE Ticket = ?").arg(QLatin1String(cases[i].column)),
                                           {cases[i].value, QString::number(i)});
        }
        const PeriodAnalysis page = buildPeriodAnalysis(journal->db(), QStringLiteral("1"), QDate(2013, 7, 1), QDate(2013, 7, 2));
        for (size_t row = 0; row < page.rows.size(); ++row)
            shown.push_back(page.rows[row]);
        EXPECT_EQ(shown.at(0)[analysiscol::Trend], QStringLiteral("флэт\tс табом"));
        EXPECT_EQ(shown.at(5)[analysiscol::Error], QString(70000, u'x'));
        EXPECT_EQ(shown.at(7)[analysiscol::Nedobral], QStringLiteral("0"));
        EXPECT_EQ(shown.at(9)[analysiscol::R], QStringLiteral("2,00"));
    }
    const CliRun run = runCli({QStringLiteral("analysis"), QStringLiteral("--account"), QStringLiteral("1"), QStringLiteral("--from"),
                               QStringLiteral("2013-07-01"), QStringLiteral("--to"), QStringLiteral("2013-07-02"),
                               QStringLiteral("--data"), dir.path()});
    EXPECT_EQ(run.exitCode, 1);
    EXPECT_TRUE(run.err.contains(QStringLiteral("Прибыль «abc»"))) << run.err.toStdString();
    ASSERT_EQ(run.out.size(), static_cast<qsizetype>(cases.size() + 3));
    for (size_t row = 0; row < cases.size(); ++row) {
        QStringList cells;
        for (QString cell : shown[row])
            cells << cell.replace(u'\t', u' ').replace(QLatin1String("\r\n"), QLatin1String(" ")).replace(u'\n', u' ').replace(u'\r', u' ');
        EXPECT_EQ(run.out[static_cast<qsizetype>(row) + 2], cells.join(u'\t')) << cases[row].column;
    }
    EXPECT_TRUE(run.out[2].contains(QStringLiteral("\tфлэт с табом\t"))) << run.out[2].toStdString();
    EXPECT_TRUE(run.out[4].contains(QStringLiteral("\ta b c  d  \t"))) << run.out[4].toStdString();
}

// The whole history of an account large enough to be read in parts at once
// prints what one reading gives: the first part as it is read, the later
// parts' lines after it, numbered on.
TEST(CliAnalysis, ALargeAccountReadInPartsPrintsWhatOneReadingGives)
{
    TempAppDir dir;
    std::vector<QString> lines;
    QString total;
    {
        auto journal = dir.openJournal();
        journal->db().executeStatement(QStringLiteral("INSERT INTO t_chet (chet_name, chet_kapital) VALUES ('Счет', 100)"));
        journal->db().executeStatement(QStringLiteral("BEGIN"));
        journal->db().executeStatement(QStringLiteral(
            "WITH RECURSIVE n(i) AS (SELECT 0 UNION ALL SELECT i + 1 FROM n WHERE i < 20499) "
            "INSERT INTO t_sdelki (chet, Ticket, OpenTime, Type, Size, Item, Profit, verno, Nedobral, pravilo, img_top, "
            "Commission, Taxes, Swap, PriceOpen, PriceClose, sl) "
            "SELECT '1', i, printf('2013.%02d.%02d %02d:00', 1 + i % 12, 1 + i % 28, i % 24), "
            "CASE i % 2 WHEN 0 THEN 'buy' ELSE 'sell' END, '0.10', 'EURUSD', printf('%d,%d', i % 97 - 40, i % 10), "
            "CASE i % 3 WHEN 0 THEN 'флэт' || char(9) || i ELSE NULL END, i % 7, printf('x%d', i), i % 50 = 0, "
            "-0.25, CASE i % 11 WHEN 0 THEN '1 234.50' ELSE '0' END, CASE i % 13 WHEN 0 THEN 'abc' ELSE '0,5' END, "
            "'1.1000', '1.1050', CASE i % 5 WHEN 0 THEN '1.0950' ELSE '0' END FROM n"));
        journal->db().executeStatement(QStringLiteral("COMMIT"));
        const qint64 from = account_parts::from();
        account_parts::setFrom(std::numeric_limits<qint64>::max()); // the lines of one reading
        const PeriodAnalysis page = buildPeriodAnalysis(journal->db(), QStringLiteral("1"), QDate(2000, 1, 1), QDate(2100, 1, 1));
        account_parts::setFrom(from);
        ASSERT_EQ(page.rows.size(), 20500u);
        ASSERT_GE(20500, account_parts::from()); // the tool reads it in parts
        for (size_t row = 0; row < page.rows.size(); ++row) {
            QStringList cells;
            for (QString cell : page.rows[row])
                cells << cell.replace(u'\t', u' ');
            lines.push_back(cells.join(u'\t'));
        }
        total = page.dayLabel();
    }
    const CliRun run = runCli({QStringLiteral("analysis"), QStringLiteral("--account"), QStringLiteral("1"), QStringLiteral("--from"),
                               QStringLiteral("2000-01-01"), QStringLiteral("--to"), QStringLiteral("2100-01-01"),
                               QStringLiteral("--data"), dir.path()});
    EXPECT_EQ(run.exitCode, 1); // the swaps that do not read
    EXPECT_TRUE(run.err.contains(QStringLiteral("Своп «abc»"))) << run.err.toStdString();
    ASSERT_EQ(run.out.size(), static_cast<qsizetype>(lines.size() + 3));
    for (size_t row = 0; row < lines.size(); ++row)
        ASSERT_EQ(run.out[static_cast<qsizetype>(row) + 2], lines[row]) << row;
    EXPECT_EQ(run.out.back(), total);
}

} // namespace
