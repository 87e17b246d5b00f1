#include "context/core/data_folder.h"
#include "db/core/safe_file.h"
#include "temp_journal.h"

#include <QDir>
#include <QFile>
#include <QTemporaryDir>

#include <gtest/gtest.h>

namespace {

// {root} in a case stands for the temporary folder the case is laid out in.
QString rooted(const QString& text, const QString& root)
{
    QString s = text;
    return s.replace(QStringLiteral("{root}"), root);
}

TEST(DataFolder, ChoosesByTheLayoutAroundTheExecutable)
{
    struct Case {
        const char* name;
        QStringList files;  // made empty under {root}
        QString exeDir;
        QString chosen;
        QString xdgDataHome;
        DataFolder::Kind kind;
        QString path;
        QString firstStartData;
    };
    const QString share = QStringLiteral("{root}/usr/share/tradejournal");
    const QString shareDb = QStringLiteral("usr/share/tradejournal/datamoney.db");
    const std::vector<Case> cases = {
        {"build folder", {"app/datamoney.db"}, "{root}/app", "", "", DataFolder::Kind::Portable, "{root}/app", ""},
        {"copied folder without a database", {}, "{root}/copy", "", "", DataFolder::Kind::Portable, "{root}/copy", ""},
        {"installed", {shareDb}, "{root}/usr/bin", "", "", DataFolder::Kind::Installed,
         "{root}/home/.local/share/tradejournal", share},
        {"installed, XDG_DATA_HOME", {shareDb}, "{root}/usr/bin", "", "{root}/xdg", DataFolder::Kind::Installed,
         "{root}/xdg/tradejournal", share},
        {"installed, relative XDG_DATA_HOME is ignored", {shareDb}, "{root}/usr/bin", "", "xdg",
         DataFolder::Kind::Installed, "{root}/home/.local/share/tradejournal", share},
        {"installed, trailing separators", {shareDb}, "{root}/usr/bin/", "", "{root}/xdg/",
         DataFolder::Kind::Installed, "{root}/xdg/tradejournal", share},
        {"a journal beside the executable wins", {shareDb, "usr/bin/datamoney.db"}, "{root}/usr/bin", "", "",
         DataFolder::Kind::Portable, "{root}/usr/bin", ""},
        {"bin without first-start data", {"usr/share/tradejournal/sprav/Вход.txt"}, "{root}/usr/bin", "", "",
         DataFolder::Kind::Portable, "{root}/usr/bin", ""},
        {"not a bin folder", {"usr/share/tradejournal/datamoney.db"}, "{root}/usr/lib", "", "",
         DataFolder::Kind::Portable, "{root}/usr/lib", ""},
        {"--data", {shareDb}, "{root}/usr/bin", "{root}/mine/../journal", "{root}/xdg", DataFolder::Kind::Chosen,
         "{root}/journal", ""},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        QTemporaryDir tmp;
        const QString root = tmp.path();
        for (const QString& f : c.files)
            writeBytes(root + u'/' + f, QByteArray());
        QDir().mkpath(rooted(c.exeDir, root));
        const UserFolders user{rooted(c.xdgDataHome, root), root + QStringLiteral("/home")};
        const DataFolder got = chooseDataFolder(rooted(c.exeDir, root), rooted(c.chosen, root), user);
        EXPECT_EQ(got.kind, c.kind);
        EXPECT_EQ(got.path, rooted(c.path, root));
        EXPECT_EQ(got.firstStartData, rooted(c.firstStartData, root));
    }
}

// A read-only first-start folder as a package installs it.
void makeFirstStartData(const QString& dir)
{
    writeBytes(dir + QStringLiteral("/datamoney.db"), "empty journal");
    writeBytes(dir + QStringLiteral("/sprav/Вход.txt"), "Пробой\r\n");
    writeBytes(dir + QStringLiteral("/sprav/Выход.txt"), "Стоп\r\n");
    QDir(dir).mkpath(QStringLiteral("txt"));
    QDir(dir).mkpath(QStringLiteral("img"));
    for (const QString& f : {QStringLiteral("/datamoney.db"), QStringLiteral("/sprav/Вход.txt"),
                             QStringLiteral("/sprav/Выход.txt")})
        QFile::setPermissions(dir + f, QFile::ReadOwner | QFile::ReadGroup | QFile::ReadOther);
}

TEST(DataFolder, FirstStartLaysOutAWritableCopy)
{
    QTemporaryDir tmp;
    const QString source = tmp.path() + QStringLiteral("/share");
    const QString target = tmp.path() + QStringLiteral("/home/.local/share/tradejournal");
    makeFirstStartData(source);

    layOutDataFolder(source, target);

    EXPECT_EQ(readBytes(target + QStringLiteral("/datamoney.db")), QByteArray("empty journal"));
    EXPECT_EQ(readBytes(target + QStringLiteral("/sprav/Вход.txt")), QByteArray("Пробой\r\n"));
    EXPECT_TRUE(QFileInfo(target + QStringLiteral("/txt")).isDir());
    EXPECT_TRUE(QFileInfo(target + QStringLiteral("/img")).isDir());
    EXPECT_TRUE(QFile::permissions(target + QStringLiteral("/datamoney.db")) & QFile::WriteOwner);
    EXPECT_TRUE(QFile::permissions(target + QStringLiteral("/sprav/Выход.txt")) & QFile::WriteOwner);
}

TEST(DataFolder, LayingOutAgainKeepsWhatIsThere)
{
    QTemporaryDir tmp;
    const QString source = tmp.path() + QStringLiteral("/share");
    const QString target = tmp.path() + QStringLiteral("/data");
    makeFirstStartData(source);
    writeBytes(target + QStringLiteral("/datamoney.db"), "the trader's journal");
    writeBytes(target + QStringLiteral("/sprav/Вход.txt"), "Свой список\r\n");
    writeBytes(target + QStringLiteral("/config.ini"), "[Настройки]\r\n");

    layOutDataFolder(source, target);

    EXPECT_EQ(readBytes(target + QStringLiteral("/datamoney.db")), QByteArray("the trader's journal"));
    EXPECT_EQ(readBytes(target + QStringLiteral("/sprav/Вход.txt")), QByteArray("Свой список\r\n"));
    EXPECT_EQ(readBytes(target + QStringLiteral("/config.ini")), QByteArray("[Настройки]\r\n"));
    EXPECT_EQ(readBytes(target + QStringLiteral("/sprav/Выход.txt")), QByteArray("Стоп\r\n"));
    EXPECT_TRUE(QFileInfo(target + QStringLiteral("/img")).isDir());
}

TEST(DataFolder, LayOutFailureNamesThePlace)
{
    QTemporaryDir tmp;
    const QString source = tmp.path() + QStringLiteral("/share");
    makeFirstStartData(source);
    // A file where the data folder's "sprav" folder must go.
    const QString target = tmp.path() + QStringLiteral("/data");
    writeBytes(target + QStringLiteral("/sprav"), "not a folder");
    try {
        layOutDataFolder(source, target);
        FAIL() << "no error";
    } catch (const FileWriteError& e) {
        EXPECT_EQ(e.message(), QStringLiteral("Не удалось создать папку %1/sprav").arg(target));
    }
    EXPECT_THROW(layOutDataFolder(tmp.path() + QStringLiteral("/nowhere"), target), FileWriteError);
}

TEST(DataFolder, WindowOptions)
{
    struct Case {
        QStringList args;
        bool help, version;
        QString data, error;
    };
    const QString noValue = QStringLiteral("--data: укажите папку программы");
    const std::vector<Case> cases = {
        {{}, false, false, "", ""},
        {{"--data", "/j"}, false, false, "/j", ""},
        {{"--data=/j k"}, false, false, "/j k", ""},
        {{"-platform", "offscreen", "--help"}, true, false, "", ""},
        {{"-h"}, true, false, "", ""},
        {{"--version"}, false, true, "", ""},
        {{"--data"}, false, false, "", noValue},
        {{"--data="}, false, false, "", noValue},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.args.join(u' ').toStdString());
        const WindowOptions got = parseWindowOptions(c.args);
        EXPECT_EQ(got.help, c.help);
        EXPECT_EQ(got.version, c.version);
        EXPECT_EQ(got.data, c.data);
        EXPECT_EQ(got.error, c.error);
    }
}

// A statement to open, Qt's own options in either spelling, and what is refused.
TEST(DataFolder, WindowOptionsWithAFile)
{
    struct Case {
        QStringList args;
        QString data, file, error;
    };
    const std::vector<Case> cases = {
        {{"отчет.htm"}, "", "отчет.htm", ""},
        {{"--data", "/j", "/tmp/a b.html"}, "/j", "/tmp/a b.html", ""},
        {{"-platform", "offscreen", "a.htm"}, "", "a.htm", ""},
        {{"--style", "Fusion", "-reverse", "a.htm"}, "", "a.htm", ""},
        {{"-style=Fusion", "a.htm"}, "", "a.htm", ""},
        {{"--", "-минус.htm"}, "", "-минус.htm", ""},
        {{"a.htm", "b.htm"}, "", "a.htm", "откройте один файл отчета, а не несколько (см. --help)"},
        {{"--open", "a.htm"}, "", "", "неизвестный параметр --open (см. --help)"},
        {{"-reverse=1"}, "", "", "неизвестный параметр -reverse=1 (см. --help)"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.args.join(u' ').toStdString());
        const WindowOptions got = parseWindowOptions(c.args);
        EXPECT_EQ(got.data, c.data);
        EXPECT_EQ(got.file, c.file);
        EXPECT_EQ(got.error, c.error);
    }
}

} // namespace
