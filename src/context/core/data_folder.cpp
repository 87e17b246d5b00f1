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
    const QString files = QStringLiteral("datamoney.db, config.ini, date.txt,\n  sprav/, img/ and txt/");
    switch (folder.kind) {
    case DataFolder::Kind::Portable:
        return QStringLiteral("Data folder: %1\n"
                              "  a portable copy: %2 live beside the executable.\n")
            .arg(folder.path, files);
    case DataFolder::Kind::Installed:
        return QStringLiteral("Data folder: %1\n"
                              "  $XDG_DATA_HOME/tradejournal, by default ~/.local/share/tradejournal,\n"
                              "  holds %2.\n"
                              "  A start lays out what is missing from %3\n"
                              "  and never replaces a file that is there.\n")
            .arg(folder.path, files, folder.firstStartData);
    case DataFolder::Kind::Chosen:
        return QStringLiteral("Data folder: %1 (--data)\n").arg(folder.path);
    }
    return {};
}

WindowOptions parseWindowOptions(const QStringList& args)
{
    WindowOptions options;
    for (qsizetype i = 0; i < args.size(); ++i) {
        const QString& arg = args[i];
        if (arg == QLatin1String("--help") || arg == QLatin1String("-h")) {
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
        }
    }
    return options;
}
