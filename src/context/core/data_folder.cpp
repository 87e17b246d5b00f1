#include "context/core/data_folder.h"

#include "db/core/safe_file.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>

namespace {

const QString kFolderName = QStringLiteral("tradejournal");
const QString kDatabase = QStringLiteral("datamoney.db");

QString absoluteClean(const QString& path) { return QDir::cleanPath(QDir(path).absolutePath()); }

// <prefix>/share/tradejournal of an executable in <prefix>/bin; empty when
// the executable is not laid out that way.
QString installedFirstStartData(const QString& exeDir)
{
    const QDir bin(exeDir);
    if (bin.dirName() != QLatin1String("bin") || QFileInfo::exists(bin.filePath(kDatabase)))
        return {};
    const QString share = QDir::cleanPath(bin.filePath(QStringLiteral("../share/") + kFolderName));
    return QFileInfo(share + u'/' + kDatabase).isFile() ? share : QString();
}

QString userDataFolder(const UserFolders& user)
{
    const QString base = !user.xdgDataHome.isEmpty() && QDir::isAbsolutePath(user.xdgDataHome)
                             ? user.xdgDataHome
                             : user.home + QStringLiteral("/.local/share");
    return QDir::cleanPath(base + u'/' + kFolderName);
}

void copyMissing(const QString& source, const QString& target)
{
    if (!QDir().mkpath(target))
        throw FileWriteError(QStringLiteral("Не удалось создать папку %1").arg(target));
    const QFileInfoList entries =
        QDir(source).entryInfoList(QDir::AllEntries | QDir::NoDotAndDotDot | QDir::Hidden, QDir::Name);
    for (const QFileInfo& entry : entries) {
        const QString to = target + u'/' + entry.fileName();
        if (entry.isDir()) {
            copyMissing(entry.filePath(), to);
            continue;
        }
        const QFileInfo existing(to);
        if (existing.exists() || existing.isSymLink())
            continue;
        // QFile::copy writes a temporary file and renames it without
        // replacing, so a broken start never leaves half a database and a
        // file that appeared meanwhile is kept.
        QFile from(entry.filePath());
        if (!from.copy(to))
            throw FileWriteError(QStringLiteral("Не удалось записать файл %1: %2").arg(to, from.errorString()));
        QFile::setPermissions(to, QFile::permissions(to) | QFile::ReadOwner | QFile::WriteOwner);
    }
}

} // namespace

UserFolders userFoldersFromEnvironment()
{
    QString home = qEnvironmentVariable("HOME");
    if (home.isEmpty())
        home = QDir::homePath();
    return {qEnvironmentVariable("XDG_DATA_HOME"), home};
}

DataFolder chooseDataFolder(const QString& exeDir, const QString& chosen, const UserFolders& user)
{
    if (!chosen.isEmpty())
        return {DataFolder::Kind::Chosen, absoluteClean(chosen), {}};
    const QString dir = absoluteClean(exeDir);
    const QString firstStart = installedFirstStartData(dir);
    if (firstStart.isEmpty())
        return {DataFolder::Kind::Portable, dir, {}};
    return {DataFolder::Kind::Installed, userDataFolder(user), firstStart};
}

void layOutDataFolder(const QString& source, const QString& target)
{
    if (!QFileInfo(source).isDir())
        throw FileWriteError(QStringLiteral("Нет папки %1").arg(source));
    copyMissing(source, target);
}

QString dataFolderHelp(const DataFolder& folder)
{
    const QString files = QStringLiteral("datamoney.db, config.ini, date.txt,\n  sprav/, img/ и txt/");
    switch (folder.kind) {
    case DataFolder::Kind::Portable:
        return QStringLiteral("Папка данных: %1\n"
                              "  переносная копия: %2 лежат рядом с программой.\n")
            .arg(folder.path, files);
    case DataFolder::Kind::Installed:
        return QStringLiteral("Папка данных: %1\n"
                              "  $XDG_DATA_HOME/tradejournal, по умолчанию ~/.local/share/tradejournal;\n"
                              "  в ней %2.\n"
                              "  Запуск дополняет ее тем, чего не хватает, из %3\n"
                              "  и никогда не заменяет файл, который там есть.\n")
            .arg(folder.path, files, folder.firstStartData);
    case DataFolder::Kind::Chosen:
        return QStringLiteral("Папка данных: %1 (--data)\n").arg(folder.path);
    }
    return {};
}

namespace {

// The options QGuiApplication and QApplication take for themselves, and
// whether each is followed by a value.
bool isQtOption(const QString& arg, bool* takesValue)
{
    static const QStringList withValue = {
        QStringLiteral("platform"), QStringLiteral("platformpluginpath"), QStringLiteral("platformtheme"),
        QStringLiteral("plugin"), QStringLiteral("qwindowgeometry"), QStringLiteral("qwindowicon"),
        QStringLiteral("qwindowtitle"), QStringLiteral("session"), QStringLiteral("display"),
        QStringLiteral("geometry"), QStringLiteral("style"), QStringLiteral("stylesheet"), QStringLiteral("name"),
        QStringLiteral("title"), QStringLiteral("qmljsdebugger")};
    static const QStringList flags = {QStringLiteral("reverse"), QStringLiteral("widgetcount"),
                                      QStringLiteral("nograb"), QStringLiteral("dograb"), QStringLiteral("sync"),
                                      QStringLiteral("testability")};
    QString name = arg.mid(arg.startsWith(QLatin1String("--")) ? 2 : 1);
    const bool inlineValue = name.contains(u'=');
    name = name.section(u'=', 0, 0);
    *takesValue = !inlineValue && withValue.contains(name);
    return withValue.contains(name) || (!inlineValue && flags.contains(name));
}

} // namespace

WindowOptions parseWindowOptions(const QStringList& args)
{
    WindowOptions options;
    bool optionsEnd = false;
    for (qsizetype i = 0; i < args.size(); ++i) {
        const QString& arg = args[i];
        bool qtValue = false;
        if (optionsEnd || !arg.startsWith(u'-') || arg == QLatin1String("-")) {
            if (!options.file.isEmpty()) {
                options.error = QStringLiteral("откройте один файл отчета, а не несколько (см. --help)");
                return options;
            }
            options.file = arg;
        } else if (arg == QLatin1String("--")) {
            optionsEnd = true;
        } else if (arg == QLatin1String("--help") || arg == QLatin1String("-h")) {
            options.help = true;
        } else if (arg == QLatin1String("--version")) {
            options.version = true;
        } else if (arg == QLatin1String("--data") || arg.startsWith(QLatin1String("--data="))) {
            const bool inline_ = arg.startsWith(QLatin1String("--data="));
            const QString value = inline_ ? arg.mid(7) : (i + 1 < args.size() ? args[++i] : QString());
            if (value.isEmpty()) {
                options.error = QStringLiteral("--data: укажите папку программы");
                return options;
            }
            options.data = value;
        } else if (isQtOption(arg, &qtValue)) {
            if (qtValue)
                ++i;
        } else {
            options.error = QStringLiteral("неизвестный параметр %1 (см. --help)").arg(arg);
            return options;
        }
    }
    return options;
}
