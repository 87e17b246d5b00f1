// tradejournal-cli run as a process, as a trader or a script runs it: every
// command on a program folder with one account into which the example MT4
// statement was imported by the tool itself, the lines it prints and the exit
// codes of its failures.
#include "accounts/core/account_store.h"
#include "context/core/data_safety.h"
#include "context/core/version.h"
#include "db/core/sqlite_database.h"
#include "state/core/control_snapshots.h"
#include "pictures/core/trade_pictures.h"
#include "temp_journal.h"

#include <QFile>
#include <QImage>
#include <QProcess>

#include <gtest/gtest.h>

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
        {withData({"trades", "--account", "9"}),
         2,
         {{0, tradeHeader}, {1, "Кол-во сделок: 0, прибыльных 0 (0,0%), проигравших 0 (0,0%)"}}},
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
              "Оценка\tРис"},
          {2, "1\t135\t40000143\t2023.01.21 03:48:06\tbuy\t0.18\teurusd\t118,72\t\t\t\t\t0\t\t\t"},
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
         56,
         {{0, "Отчет по валютным парам"},
          {2, "1\txauusd\t31\t61,29%\t19\t7786,19\t12\t-3384,76\t4401,43"},
          {13, "1\tbuy\t96\t61,46%\t59\t36869,89\t37\t-39711,68\t-2841,79"},
          {32, "№\tТактика\tСделок\tВ%\tВ\tВ pips\tП\tП pips\tНедобрал"},
          {36, "Сделок\t200\tЗакрытые сделки счета."},
          {38, "Чистый результат\t87076,76\tСумма результатов всех сделок: прибыль вместе с комиссией, налогами и свопами."},
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
        {{"--help"}, 32, {{0, "Usage: tradejournal-cli COMMAND [ARGS]"}, {10, "Data folder: " + QStringLiteral(TJ_CLI_EXE).section(u'/', 0, -2)}}},
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
    const qsizetype start = run.out.indexOf("Commands:");
    ASSERT_GE(start, 0);
    QStringList names;
    for (const QString& line : run.out.mid(start + 1))
        names << line.section(u' ', 2, 2);
    EXPECT_EQ(names, (QStringList{"tree", "picture", "accounts", "extract", "statement", "import", "trades", "chart",
                                  "analysis", "days", "weeks", "backup", "restore", "reports", "pictures", "notebook",
                                  "note"}));
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
        {withData({"import", kExample}), 2, "Usage: tradejournal-cli import --account ID [--force] [--data DIR] FILE"},
        {{"import", "--account", "1", "--data", file("nowhere"), kExample}, 1,
         "Нет базы данных " + file("nowhere/datamoney.db")},
        {{"extract", missing}, 1, "Не удалось прочитать файл \"" + missing + "\": нет такого файла или папки"},
        {{"extract", schema}, 1, "Выбранный файл не является отчетом MetaTrader, посмотрите видео урок!"},
        {{"extract"}, 2, "Usage: tradejournal-cli extract FILE"},
        {withData({"trades", "--account", "1", "--order", "size"}), 2,
         "usage: tradejournal-cli trades --account ID [--order profit|date] [--data DIR]"},
        {{"trades", "--account", "1", "--data"}, 1, "--data: укажите папку программы"},
        {withData({"chart"}), 2, "usage: tradejournal-cli chart --account ID [--balance N] [--data DIR]"},
        {withData({"analysis", "--account", "1", "--from", "2023-13-01", "--to", "2023-01-22"}), 2,
         "usage: tradejournal-cli analysis --account ID --from YYYY-MM-DD --to YYYY-MM-DD [--data DIR]"},
        {withData({"days", "--account", "1", "--from", "2023-01-01"}), 2,
         "usage: tradejournal-cli days --account ID --from YYYY-MM-DD --to YYYY-MM-DD [--balance N] [--data DIR]"},
        {withData({"weeks", "--account", "1", "--from", "2023-01-01", "--to", "10.01.2023"}), 2,
         "usage: tradejournal-cli weeks --account ID --from YYYY-MM-DD --to YYYY-MM-DD [--balance N] [--data DIR]"},
        {withData({"reports"}), 2, "usage: tradejournal-cli reports --account ID [--data DIR]"},
        {{"tree", missing}, 1, "Не удалось открыть " + missing + ": нет такого файла или папки"},
        {{"tree"}, 2, "Usage: tradejournal-cli tree FILE"},
        {{"picture", missing}, 1, "Не удалось открыть " + missing + ": нет такого файла или папки"},
        {{"picture", file("img/1_138_вход.pat"), "--jpeg"}, 2, "Usage: tradejournal-cli picture FILE [--png OUT]"},
        {withData({"pictures", "--account", "1"}), 2,
         "usage: tradejournal-cli pictures --account ID --trade ID [--png NAME OUT] [--data DIR]"},
        {withData({"pictures", "--account", "2", "--trade", "138"}), 1, "Нет сделки с id 138 на счете 2"},
        {withData({"pictures", "--account", "1", "--trade", "138", "--png", "итог", file("x.png")}), 1,
         "У сделки нет рисунка \"итог\""},
        {withData({"pictures", "--account", "1", "--trade", "138", "--png", "выход", file("x.png")}), 1,
         "Нет файла " + file("img/1_138_выход.pat")},
        {withData({"note", "Нет такого"}), 1, "Нет документа \"Нет такого\""},
        {withData({"note"}), 2, "usage: tradejournal-cli note NAME [--rtf] [--data DIR]"},
        {withData({"notebook", "лишнее"}), 2, "usage: tradejournal-cli notebook [--data DIR]"},
        {{"bogus"}, 2, "tradejournal-cli: unknown command 'bogus' (see --help)"},
        {{"backup", "--data", file("nowhere")}, 1, "Нет базы данных " + file("nowhere/datamoney.db")},
        {withData({"backup", "a.db", "b.db"}), 2, "Usage: tradejournal-cli backup [--data DIR] [FILE]"},
        {withData({"backup", kExample}), 1, "Файл " + kExample + " уже есть: укажите новое имя"},
        {withData({"restore"}), 2, "Usage: tradejournal-cli restore FILE [--data DIR]"},
        {withData({"restore", schema}), 1,
         "Не удалось восстановить базу данных из " + schema + ": файл не является базой данных"},
        {withData({"restore", noProfit}), 1,
         "Не удалось восстановить базу данных из " + noProfit + ": это не база журнала: нет столбца Profit в таблице t_sdelki"},
        {withData({"restore", file("img")}), 1,
         "Не удалось восстановить базу данных из " + file("img") + ": это папка, а не файл"},
        {withData({"import", "--account", "1", cut}), 1,
         "Отчет не сверяется со своими итогами: итогов в отчете нет (файл может быть обрезан при сохранении или загрузке)"},
        {{"statement"}, 2, "Usage: tradejournal-cli statement FILE"},
        {{"statement", missing}, 1, "Не удалось прочитать файл \"" + missing + "\": нет такого файла или папки"},
        {{"statement", schema}, 1, "Выбранный файл не является отчетом MetaTrader, посмотрите видео урок!"},
        {withData({"accounts", "add"}), 2,
         "usage: tradejournal-cli accounts add NAME [--capital N] [--currency C] [--data DIR]"},
        {withData({"accounts", "add", "Новый", "--currency", "US1"}), 1,
         "Валюта счета «US1» не принята: укажите код из трех латинских букв (USD, EUR, JPY) или оставьте поле пустым."},
        {withData({"accounts", "add", "Новый", "--capital", "12,5"}), 1,
         "Капитал «12,5» не принят: укажите целое число без знаков и пробелов"},
        {withData({"accounts", "лишнее"}), 2, "usage: tradejournal-cli accounts [--data DIR]"},
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
    EXPECT_EQ(bare.out.value(0), "Usage: tradejournal-cli COMMAND [ARGS]");
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

} // namespace

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

} // namespace
