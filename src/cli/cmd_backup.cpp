// tradejournal-cli backup [--data DIR] [FILE]: a checked copy of the journal
// database, made while the program may be running.
// tradejournal-cli restore FILE [--data DIR]: puts a copy back in place.
#include "context/core/data_safety.h"
#include "cli/cli_support.h"
#include "db/core/backup.h"
#include "db/core/journal_error.h"
#include "db/core/reasons.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>

#include <cstdio>

namespace {

int fail(const QString& message)
{
    cli::err(withRussianReasons(message));
    return 1;
}

// The folder of --data, or the one every command uses without it; nothing
// (and the reason said) when the option has no value or the folder cannot
// be laid out.
std::optional<QString> dataFolder(QStringList& args)
{
    bool missing = false;
    const std::optional<QString> chosen = cli::takeOption(args, QStringLiteral("--data"), &missing);
    if (missing) {
        fail(QStringLiteral("--data: укажите папку программы"));
        return std::nullopt;
    }
    try {
        return QDir(chosen ? *chosen : cli::defaultDataFolder()).absolutePath();
    } catch (const JournalError& e) {
        fail(e.message());
        return std::nullopt;
    }
}

} // namespace

int runBackup(const QStringList& arguments)
{
    QStringList args = arguments;
    const auto folder = dataFolder(args);
    if (!folder)
        return 1;
    if (args.size() > 1 || (!args.isEmpty() && args[0].startsWith(QLatin1String("--"))))
        return cli::usageError(QStringLiteral("backup"));
    const QString database = *folder + QStringLiteral("/datamoney.db");
    if (!QFileInfo(database).isFile())
        return fail(QStringLiteral("Нет базы данных %1").arg(database));
    try {
        QString target;
        if (args.isEmpty()) {
            target = makeBackup(database);
        } else {
            target = QFileInfo(args[0]).absoluteFilePath();
            if (QFileInfo::exists(target))
                return fail(QStringLiteral("Файл %1 уже есть: укажите новое имя").arg(target));
            copyDatabase(database, target);
        }
        cli::out(target + u'\n');
    } catch (const BackupError& e) {
        return fail(e.message());
    }
    return 0;
}

int runRestore(const QStringList& arguments)
{
    QStringList args = arguments;
    const auto folder = dataFolder(args);
    if (!folder)
        return 1;
    if (args.size() != 1 || args[0].startsWith(QLatin1String("--")))
        return cli::usageError(QStringLiteral("restore"));
    // Held until the end: the window cannot start on a half-restored folder.
    const JournalLock lock(*folder);
    if (lock.state() == JournalLock::State::HeldElsewhere)
        return fail(journalAlreadyOpenMessage() + QStringLiteral(": закройте программу и повторите."));
    try {
        const QString file = QFileInfo(args[0]).absoluteFilePath();
        const QString kept = restoreDatabase(*folder + QStringLiteral("/datamoney.db"), file);
        cli::out(QStringLiteral("База данных восстановлена из %1\n").arg(file));
        if (!kept.isEmpty())
            cli::out(QStringLiteral("Прежняя база сохранена: %1\n").arg(kept));
    } catch (const BackupError& e) {
        return fail(e.message());
    }
    return 0;
}
