#include "cli/cli_support.h"
#include "cli/commands.h"

#include "accounts/core/account_store.h"
#include "context/core/data_safety.h"
#include "db/core/backup.h"
#include "db/core/reasons.h"
#include "db/core/journal_error.h"
#include "db/core/reasons.h"
#include "db/core/schema_setup.h"
#include "db/core/sqlite_database.h"
#include "stats/core/text_table.h"

#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <QFileInfo>

#include <cstdio>
#include <optional>
#include <utility>

namespace cli {

std::optional<QString> takeOption(QStringList& args, const QString& name, bool* missing)
{
    const qsizetype i = args.indexOf(name);
    if (i < 0)
        return std::nullopt;
    if (i + 1 >= args.size()) {
        if (missing)
            *missing = true;
        args.removeAt(i);
        return std::nullopt;
    }
    const QString value = args.at(i + 1);
    args.remove(i, 2);
    return value;
}

QString accountCapital(Journal& journal, const QString& account)
{
    AccountStore store(journal.db(), journal.path(QStringLiteral("img")));
    const auto found = store.findAccount(account);
    return found ? found->capital : QStringLiteral("0");
}

bool requireAccount(Journal& journal, const QString& account)
{
    try {
        AccountStore store(journal.db(), journal.path(QStringLiteral("img")));
        if (QString::number(account.toLongLong()) == account && store.findAccount(account))
            return true;
        err(QStringLiteral("Нет счета с id %1").arg(account));
    } catch (const ESQLiteException& e) {
        err(e.message());
    }
    return false;
}

namespace {

QStringList synopsisForms(const CliCommand& command)
{
    return QString::fromUtf8(command.synopsis).split(u'\n');
}

QString usageLine(const CliCommand& command, const QString& form)
{
    return QStringLiteral("tradejournal-cli %1 %2").arg(QLatin1String(command.name), form).trimmed();
}

} // namespace

int usageError(const QString& command, int form)
{
    const CliCommand* c = findCliCommand(command);
    if (!c)
        return 2;
    const QStringList forms = synopsisForms(*c);
    err(QStringLiteral("Использование: %1\nСправка: tradejournal-cli %2 --help")
            .arg(usageLine(*c, forms.value(form)), command));
    return 2;
}

QString commandHelp(const QString& command)
{
    const CliCommand* c = findCliCommand(command);
    if (!c)
        return {};
    QString text;
    const QStringList forms = synopsisForms(*c);
    for (qsizetype i = 0; i < forms.size(); ++i)
        text += (i == 0 ? QStringLiteral("Использование: ") : QStringLiteral("               "))
                + usageLine(*c, forms[i]) + u'\n';
    QString summary = QString::fromUtf8(c->summary).section(u';', 0, 0);
    if (!summary.isEmpty()) {
        summary[0] = summary[0].toUpper();
        text += u'\n' + summary + QStringLiteral(".\n");
    }
    if (*c->details)
        text += u'\n' + QString::fromUtf8(c->details) + u'\n';
    if (QString::fromUtf8(c->synopsis).contains(QLatin1String("--data DIR")))
        text += QStringLiteral("\n--data DIR: папка журнала (в ней datamoney.db).\n") + defaultFolderHelp();
    text += QStringLiteral("\n--help: эта справка.\n");
    return text;
}

QString defaultFolderHelp()
{
    if (QFileInfo::exists(QStringLiteral("datamoney.db")))
        return QStringLiteral("Без --data: текущая папка (в ней есть datamoney.db).\nПапка данных: %1\n").arg(QDir::currentPath());
    return QStringLiteral("Без --data: текущая папка, если в ней есть datamoney.db, иначе папка окна.\n")
           + dataFolderHelp(toolDataFolder());
}

bool takeFlag(QStringList& args, const QString& name)
{
    return args.removeAll(name) > 0;
}

DataFolder toolDataFolder()
{
    return chooseDataFolder(QCoreApplication::applicationDirPath(), QString(), userFoldersFromEnvironment());
}

QString defaultDataFolder()
{
    if (QFileInfo::exists(QStringLiteral("datamoney.db")))
        return QDir::currentPath();
    const DataFolder data = toolDataFolder();
    if (data.kind == DataFolder::Kind::Installed)
        layOutDataFolder(data.firstStartData, data.path);
    return data.path;
}

namespace {

// The look at every page of the journal the command opened, until
// something is printed or the command ends.
std::optional<IntegrityCheck::Outcome>& pendingCheck()
{
    static std::optional<IntegrityCheck::Outcome> check;
    return check;
}

// The damage the pending look found (waiting for it), no longer pending.
QString takePendingDamage()
{
    const std::optional<IntegrityCheck::Outcome> check = std::exchange(pendingCheck(), std::nullopt);
    return check ? check->damage() : QString();
}

QString& lastError()
{
    static QString text;
    return text;
}

} // namespace

QString damageFoundWhileRunning()
{
    const QString damage = takePendingDamage();
    // Already said when it refused a write.
    return lastError().contains(damage) ? QString() : damage;
}

std::unique_ptr<Journal> openJournal(QStringList& args)
{
    bool missing = false;
    const std::optional<QString> chosen = takeOption(args, QStringLiteral("--data"), &missing);
    if (missing) {
        err(QStringLiteral("--data: укажите папку программы"));
        return nullptr;
    }
    QString folder;
    try {
        folder = chosen ? *chosen : defaultDataFolder();
    } catch (const JournalError& e) {
        err(e.message());
        return nullptr;
    }
    auto journal = std::make_unique<Journal>(QDir(folder).absolutePath());
    if (!QFile::exists(journal->path(QStringLiteral("datamoney.db")))) {
        err(QStringLiteral("Нет базы данных %1").arg(journal->path(QStringLiteral("datamoney.db"))));
        return nullptr;
    }
    try {
        journal->openDatabase();
        // The window's look at the file: a lock held elsewhere is not damage.
        // Every page is looked at while the command runs; its writes wait
        // for that, and main() tells a damage found after the command.
        const JournalFileCheck check = checkJournalParts(journal->db().path());
        if (check.state == JournalFileCheck::State::Busy)
            throw EDatabaseBusy(check.problem);
        if (check.state == JournalFileCheck::State::Damaged) {
            err(damagedDatabaseMessage(*journal, check.problem));
            return nullptr;
        }
        journal->integrityCheck = std::make_unique<IntegrityCheck>(journal->db(), journal->appDir());
        pendingCheck() = journal->integrityCheck->outcome();
        upgradeJournalSchema(journal->db());
    } catch (const EDatabaseBusy&) {
        err(busyDatabaseMessage(journal->path(QStringLiteral("datamoney.db"))));
        return nullptr;
    } catch (const ESQLiteException& e) {
        err(withRussianReasons(e.message()));
        return nullptr;
    }
    return journal;
}

bool outputWaitsForCheck() { return pendingCheck() && !pendingCheck()->ended(); }

void beforeOutput()
{
    if (const QString damage = takePendingDamage(); !damage.isEmpty())
        throw DamagedJournal{damage};
}

void out(const QString& text)
{
    beforeOutput();
    const QByteArray bytes = text.toUtf8();
    std::fwrite(bytes.constData(), 1, static_cast<size_t>(bytes.size()), stdout);
}

void err(const QString& text)
{
    // The reasons SQLite and the system give are put into Russian here, once
    // for every command.
    lastError() = withRussianReasons(text);
    const QByteArray bytes = lastError().toUtf8() + '\n';
    std::fwrite(bytes.constData(), 1, static_cast<size_t>(bytes.size()), stderr);
}

void tsvLine(const QStringList& cells)
{
    QString line;
    for (qsizetype i = 0; i < cells.size(); ++i) {
        if (i)
            line += u'\t';
        QString cell = cells[i];
        cell.replace(u'\t', u' ').replace(QLatin1String("\r\n"), QLatin1String(" ")).replace(u'\n', u' ').replace(u'\r', u' ');
        line += cell;
    }
    line += u'\n';
    out(line);
}

void tsvTable(const TextTable& table)
{
    tsvLine(table.headers());
    for (int row = 0; row < table.rowCount(); ++row) {
        QStringList cells;
        for (int col = 0; col < table.columnCount(); ++col)
            cells.append(table.cellText(row, col));
        tsvLine(cells);
    }
}

} // namespace cli
