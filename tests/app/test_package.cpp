// The Debian package as a trader gets it: built from this build tree,
// unpacked into a temporary root, and its programs run from there with a
// temporary HOME. The unpacked root stands for /usr: the programs must keep
// the journal in the user's data folder and never write beside themselves.
#include "accounts/core/account_store.h"
#include "context/core/journal.h"
#include "context/core/version.h"
#include "process_signals.h"
#include "temp_journal.h"

#include <QDirIterator>
#include <QFile>
#include <QProcess>
#include <QRegularExpression>
#include <QStandardPaths>
#include <QTemporaryDir>

#include <gtest/gtest.h>

#include <chrono>
#include <csignal>
#include <sys/prctl.h>
#include <thread>

namespace {

struct Outcome {
    int exitCode = -1;
    QString out, err;
};

Outcome runProgram(const QString& program, const QStringList& args, const QProcessEnvironment& env = {},
        const QString& folder = {})
{
    QProcess p;
    if (!env.isEmpty())
        p.setProcessEnvironment(env);
    if (!folder.isEmpty())
        p.setWorkingDirectory(folder);
    p.setChildProcessModifier([] { ::prctl(PR_SET_PDEATHSIG, SIGKILL); });
    p.start(program, args);
    if (!p.waitForFinished(-1) || p.exitStatus() != QProcess::NormalExit)
        return {-1, {}, p.errorString()};
    return {p.exitCode(), QString::fromUtf8(p.readAllStandardOutput()), QString::fromUtf8(p.readAllStandardError())};
}

// Every file and folder under a root with its size and time, to see that
// nothing was written there.
QStringList listing(const QString& root)
{
    QStringList entries;
    QDirIterator it(root, QDir::AllEntries | QDir::NoDotAndDotDot | QDir::Hidden, QDirIterator::Subdirectories);
    while (it.hasNext()) {
        const QFileInfo info = it.nextFileInfo();
        entries << QStringLiteral("%1 %2 %3")
                       .arg(info.filePath())
                       .arg(info.isDir() ? 0 : info.size())
                       .arg(info.lastModified().toMSecsSinceEpoch());
    }
    entries.sort();
    return entries;
}

void setWritable(const QString& root, bool writable)
{
    const QFile::Permissions write = QFile::WriteOwner | QFile::WriteUser;
    QDirIterator it(root, QDir::AllEntries | QDir::NoDotAndDotDot, QDirIterator::Subdirectories);
    while (it.hasNext()) {
        const QString path = it.next();
        const QFile::Permissions p = QFile::permissions(path);
        QFile::setPermissions(path, writable ? p | write : p & ~(write | QFile::WriteGroup | QFile::WriteOther));
    }
}

// Read-only for the test's span, writable again so that it can be removed.
struct ReadOnlyTree {
    explicit ReadOnlyTree(QString root) : root(std::move(root)) { setWritable(this->root, false); }
    ~ReadOnlyTree() { setWritable(root, true); }
    QString root;
};

// What a well-kept Debian desktop program ships beside itself: the software
// centres' metainfo (valid, naming the menu entry), a menu entry that opens
// statements, manual pages in English and Russian, the shell completion, the
// copyright file and the changelog, a maintainer and a home page; and
// lintian finds nothing to warn about.
void checkPackageFiles(const QString& deb, const QString& root, const QString& desktopFile)
{
    for (const char* file : {"usr/share/metainfo/" TJ_APP_ID ".metainfo.xml",
                             "usr/share/man/man1/tradejournal.1.gz", "usr/share/man/man1/tradejournal-cli.1.gz",
                             "usr/share/man/ru/man1/tradejournal.1.gz", "usr/share/man/ru/man1/tradejournal-cli.1.gz",
                             "usr/share/bash-completion/completions/tradejournal-cli",
                             "usr/share/zsh/vendor-completions/_tradejournal-cli",
                             "usr/share/doc/tradejournal/copyright", "usr/share/doc/tradejournal/changelog.gz"})
        EXPECT_TRUE(QFile::exists(root + u'/' + QString::fromUtf8(file))) << file;

    const QString metainfo = root + QStringLiteral("/usr/share/metainfo/" TJ_APP_ID ".metainfo.xml");
    const Outcome appstream = runProgram(QStringLiteral("appstreamcli"), {QStringLiteral("validate"),
                                         QStringLiteral("--no-net"), QStringLiteral("--no-color"), metainfo});
    EXPECT_EQ(appstream.exitCode, 0) << appstream.out.toStdString() << appstream.err.toStdString();
    const QString meta = QString::fromUtf8(readBytes(metainfo));
    EXPECT_TRUE(meta.contains(QStringLiteral("<launchable type=\"desktop-id\">" TJ_APP_ID ".desktop</launchable>")));
    EXPECT_TRUE(meta.contains(QStringLiteral("<release version=\"%1\"").arg(applicationVersion())));

    const QString desktop = QString::fromUtf8(readBytes(desktopFile));
    for (const char* line : {"Exec=tradejournal %f\n", "MimeType=text/html;\n", "Name[ru]=Журнал сделок\n"})
        EXPECT_TRUE(desktop.contains(QString::fromUtf8(line))) << line;

    const QString dpkgDeb = QStandardPaths::findExecutable(QStringLiteral("dpkg-deb"));
    for (const char* field : {"Maintainer", "Homepage"}) {
        const QString value = runProgram(dpkgDeb, {QStringLiteral("-f"), deb, QString::fromLatin1(field)}).out.trimmed();
        EXPECT_FALSE(value.isEmpty() || value.contains(QLatin1String("example"))) << field << ": " << value.toStdString();
    }

    if (QStandardPaths::findExecutable(QStringLiteral("lintian")).isEmpty()) {
        ADD_FAILURE() << "lintian is not installed (scripts/deps.sh installs it)";
        return;
    }
    const Outcome lintian = runProgram(QStringLiteral("lintian"), {QStringLiteral("--fail-on"),
                                       QStringLiteral("error,warning"), QStringLiteral("--tag-display-limit"), QStringLiteral("0"), deb});
    EXPECT_EQ(lintian.exitCode, 0) << lintian.out.toStdString() << lintian.err.toStdString();
    static const QRegularExpression complaint(QStringLiteral("^[EW]: "), QRegularExpression::MultilineOption);
    EXPECT_FALSE(lintian.out.contains(complaint)) << lintian.out.toStdString();
}

TEST(Package, InstallsProgramsThatKeepTheJournalInTheUsersFolder)
{
    const QString dpkgDeb = QStandardPaths::findExecutable(QStringLiteral("dpkg-deb"));
    if (dpkgDeb.isEmpty())
        GTEST_SKIP() << "dpkg-deb is not installed";
    QTemporaryDir work;
    ASSERT_TRUE(work.isValid());

    // The package, as `cmake --build build --target package` makes it.
    const Outcome cpack = runProgram(QStringLiteral(TJ_CPACK),
                          {QStringLiteral("-G"), QStringLiteral("DEB"), QStringLiteral("--config"),
                           QStringLiteral(TJ_CPACK_CONFIG), QStringLiteral("-B"), work.filePath(QStringLiteral("pkg"))});
    ASSERT_EQ(cpack.exitCode, 0) << cpack.out.toStdString() << cpack.err.toStdString();
    const QString arch = runProgram(QStringLiteral("dpkg"), {QStringLiteral("--print-architecture")}).out.trimmed();
    const QString deb = work.filePath(QStringLiteral("pkg/tradejournal_%1_%2.deb").arg(applicationVersion(), arch));
    ASSERT_TRUE(QFile::exists(deb)) << deb.toStdString();

    const QString depends = runProgram(dpkgDeb, {QStringLiteral("-f"), deb, QStringLiteral("Depends")}).out;
    for (const char* library : {"libqt6widgets6", "libqt6charts6", "libsqlite3-0", "libpcre2-8-0"})
        EXPECT_TRUE(depends.contains(QLatin1String(library))) << library << " not in " << depends.toStdString();

    const QString root = work.filePath(QStringLiteral("root"));
    ASSERT_EQ(runProgram(dpkgDeb, {QStringLiteral("-x"), deb, root}).exitCode, 0);
    for (const char* file : {"usr/bin/tradejournal", "usr/bin/tradejournal-cli",
                             "usr/share/applications/" TJ_APP_ID ".desktop",
                             "usr/share/icons/hicolor/scalable/apps/tradejournal.svg",
                             "usr/share/icons/hicolor/48x48/apps/tradejournal.png",
                             "usr/share/tradejournal/datamoney.db", "usr/share/tradejournal/sprav/Психо.txt",
                             "usr/share/tradejournal/txt", "usr/share/tradejournal/img"})
        EXPECT_TRUE(QFile::exists(root + u'/' + QString::fromUtf8(file))) << file;

    const QString desktopFile = root + QStringLiteral("/usr/share/applications/" TJ_APP_ID ".desktop");
    const Outcome validate = runProgram(QStringLiteral("desktop-file-validate"), {desktopFile});
    EXPECT_EQ(validate.exitCode, 0) << validate.err.toStdString();
    EXPECT_EQ(validate.out + validate.err, QString());
    EXPECT_NO_FATAL_FAILURE(checkPackageFiles(deb, root, desktopFile));

    // Read-only for a user; root writes anyway, which the listing catches.
    const ReadOnlyTree readOnly(root);
    const QStringList before = listing(root);

    const QString home = work.filePath(QStringLiteral("home"));
    const QString data = home + QStringLiteral("/.local/share/tradejournal");
    QDir().mkpath(home);
    QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
    env.insert(QStringLiteral("HOME"), home);
    env.remove(QStringLiteral("XDG_DATA_HOME"));
    env.insert(QStringLiteral("QT_QPA_PLATFORM"), QStringLiteral("offscreen"));
    const QString window = root + QStringLiteral("/usr/bin/tradejournal");
    const QString cli = root + QStringLiteral("/usr/bin/tradejournal-cli");

    for (const QString& program : {window, cli}) {
        const Outcome help = runProgram(program, {QStringLiteral("--help")}, env);
        EXPECT_EQ(help.exitCode, 0);
        EXPECT_TRUE(help.out.contains(QStringLiteral("Папка данных: ") + data)) << help.out.toStdString();
    }

    // The window lays out the data folder, starts, and writes its files
    // there when SIGTERM closes it.
    QProcess program;
    program.setProcessEnvironment(env);
    program.setWorkingDirectory(work.path());
    program.setChildProcessModifier([] { ::prctl(PR_SET_PDEATHSIG, SIGKILL); });
    program.start(window, {});
    ASSERT_TRUE(program.waitForStarted(-1));
    while (!catchesSigterm(program.processId()) && program.state() == QProcess::Running)
        std::this_thread::sleep_for(std::chrono::milliseconds(5));
    ASSERT_EQ(program.state(), QProcess::Running) << program.readAllStandardError().toStdString();
    ::kill(static_cast<pid_t>(program.processId()), SIGTERM);
    ASSERT_TRUE(program.waitForFinished(-1));
    EXPECT_EQ(program.exitCode(), 0) << program.readAllStandardError().toStdString();
    for (const char* file : {"datamoney.db", "config.ini", "date.txt", "sprav/Вход.txt", "sprav/Таймфрэйм.txt",
                             "txt/TreeView1.txt", "img"})
        EXPECT_TRUE(QFile::exists(data + u'/' + QString::fromUtf8(file))) << file;
    EXPECT_TRUE(QFile::permissions(data + QStringLiteral("/datamoney.db")) & QFile::WriteOwner);

    // The command-line tool finds the same journal from any folder.
    QString account;
    {
        Journal journal(data);
        journal.openDatabase();
        AccountStore store(journal.db(), journal.path(QStringLiteral("img")));
        AccountRecord record;
        record.name = QStringLiteral("Демо");
        record.type = QStringLiteral("Демо");
        record.capital = QStringLiteral("10000");
        account = store.addAccount(record);
    }
    const Outcome imported = runProgram(cli,
                             {QStringLiteral("import"), QStringLiteral("--account"), account,
                              QStringLiteral(TJ_SOURCE_DIR "/examples/mt4_statement_example.htm")},
                             env, work.path());
    EXPECT_EQ(imported.exitCode, 0) << imported.err.toStdString();
    EXPECT_EQ(imported.out, QStringLiteral("Добавлено сделок: 200, обновлено: 0\nПополнений и снятий добавлено: 3\n"
                                           "Валюта счета: USD\n"));
    const Outcome trades = runProgram(cli, {QStringLiteral("trades"), QStringLiteral("--account"), account}, env, work.path());
    EXPECT_EQ(trades.exitCode, 0) << trades.err.toStdString();
    EXPECT_GT(trades.out.count(u'\n'), 200);
    // A journal in the current folder still comes first.
    const TempAppDir here;
    {
        // The same id, without trades: its empty table shows which journal was read.
        auto journal = here.openJournal();
        AccountRecord record;
        record.name = QStringLiteral("Здесь");
        ASSERT_EQ(AccountStore(journal->db(), here.file(QStringLiteral("img"))).addAccount(record), account);
    }
    const Outcome local = runProgram(cli, {QStringLiteral("trades"), QStringLiteral("--account"), account}, env,
                                     here.path());
    EXPECT_EQ(local.exitCode, 0) << local.err.toStdString();
    EXPECT_EQ(local.out.count(u'\n'), 2) << local.out.toStdString();

    EXPECT_EQ(listing(root), before);
}

// With a prefix such as ~/.local the installed first-start folder is the
// user's data folder itself: installing again keeps the trader's files.
TEST(Package, InstallingAgainKeepsWhatIsInTheFirstStartFolder)
{
    QTemporaryDir prefix;
    const QStringList install = {QStringLiteral("--install"), QStringLiteral(TJ_BINARY_DIR), QStringLiteral("--prefix"),
                                 prefix.path(), QStringLiteral("--component"), QStringLiteral("first-start")};
    ASSERT_EQ(runProgram(QStringLiteral(TJ_CMAKE), install).exitCode, 0);
    const QString data = prefix.path() + QStringLiteral("/share/tradejournal");
    writeBytes(data + QStringLiteral("/datamoney.db"), "the trader's journal");
    ASSERT_TRUE(QFile::remove(data + QStringLiteral("/sprav/Вход.txt")));

    ASSERT_EQ(runProgram(QStringLiteral(TJ_CMAKE), install).exitCode, 0);
    EXPECT_EQ(readBytes(data + QStringLiteral("/datamoney.db")), QByteArray("the trader's journal"));
    EXPECT_EQ(readBytes(data + QStringLiteral("/sprav/Вход.txt")),
              readBytes(QStringLiteral(TJ_BINARY_DIR "/first-start/tradejournal/sprav/Вход.txt")));
}

} // namespace
