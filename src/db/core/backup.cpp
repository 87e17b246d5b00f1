#include "db/core/backup.h"

#include "db/core/columns.h"
#include "db/core/sqlite_database.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QRegularExpression>

#include <sqlite3.h>

#include <algorithm>
#include <cstdio>
#include <iterator>
#include <map>
#include <mutex>
#include <unistd.h>

namespace {

const QString kTimeFormat = QStringLiteral("yyyy-MM-dd-HHmmss");
const QString kPrefix = QStringLiteral("datamoney-");
const QString kBeforeRestorePrefix = QStringLiteral("datamoney-before-restore-");
const char* const kSideFiles[] = {"-journal", "-wal", "-shm"};

// One connection of its own, closed with the object.
class Connection {
public:
    Connection(const QString& path, int flags)
    {
        const int rc = sqlite3_open_v2(path.toUtf8().constData(), &m_db, flags, nullptr);
        if (rc != SQLITE_OK)
            m_problem = m_db ? QString::fromUtf8(sqlite3_errmsg(m_db)) : QStringLiteral("unknown error");
        else
            sqlite3_busy_timeout(m_db, TSQLiteDatabase::kBusyTimeoutMs);
    }
    ~Connection() { sqlite3_close_v2(m_db); }
    Connection(const Connection&) = delete;
    Connection& operator=(const Connection&) = delete;

    sqlite3* handle() const { return m_problem.isEmpty() ? m_db : nullptr; }
    const QString& openProblem() const { return m_problem; }
    QString error() const { return QString::fromUtf8(sqlite3_errmsg(m_db)); }
    // Another connection held its lock longer than the busy time-out.
    bool busy() const { return (m_lastCode & 0xff) == SQLITE_BUSY; }

    // The rows of a one-column query, or nothing with `problem` set.
    std::optional<QStringList> column(const char* sql, QString& problem) const
    {
        sqlite3_stmt* stmt = nullptr;
        if ((m_lastCode = sqlite3_prepare_v2(m_db, sql, -1, &stmt, nullptr)) != SQLITE_OK) {
            problem = error();
            sqlite3_finalize(stmt);
            return std::nullopt;
        }
        QStringList rows;
        int rc;
        while ((rc = sqlite3_step(stmt)) == SQLITE_ROW)
            rows << QString::fromUtf8(reinterpret_cast<const char*>(sqlite3_column_text(stmt, 0)));
        m_lastCode = rc;
        if (rc != SQLITE_DONE)
            problem = error();
        sqlite3_finalize(stmt);
        if (rc != SQLITE_DONE)
            return std::nullopt;
        return rows;
    }

private:
    sqlite3* m_db = nullptr;
    QString m_problem;
    mutable int m_lastCode = SQLITE_OK;
};

QString checkOpened(const Connection& c, bool quick)
{
    if (!c.handle())
        return c.openProblem();
    QString problem;
    const auto rows = c.column(quick ? "PRAGMA quick_check" : "PRAGMA integrity_check", problem);
    if (!rows)
        return problem;
    if (rows->size() == 1 && rows->first() == QLatin1String("ok"))
        return QString();
    return rows->isEmpty() ? QStringLiteral("проверка не дала ответа") : rows->join(u'\n');
}

// The tables and columns the program reads and writes, from the one list of
// columns.h. The account's currency and the cash table are left out: the
// upgrade at opening adds them, so an older journal is still a good one.
struct TableColumns {
    QLatin1StringView table;
    QList<QLatin1StringView> columns;
};

template <class Names>
QList<QLatin1StringView> columnsOf(const Names& names)
{
    return QList<QLatin1StringView>(names.begin(), names.end());
}

QList<TableColumns> requiredJournalColumns()
{
    QList<QLatin1StringView> accounts = columnsOf(t_chet::names);
    accounts.removeAll(t_chet::name(t_chet::Currency));
    return {{t_chet::table, accounts},
            {t_sdelki::table, columnsOf(t_sdelki::names)},
            {t_days::table, columnsOf(t_days::names)},
            {t_zametki::table, columnsOf(t_zametki::names)}};
}

// What the journal's tables lack in an opened file: an empty string when
// nothing is missing.
QString missingJournalParts(const Connection& c)
{
    QString problem;
    const auto tables = c.column("SELECT name FROM sqlite_master WHERE type = 'table'", problem);
    if (!tables)
        return problem;
    QStringList missingTables;
    QStringList missingColumns;
    for (const TableColumns& t : requiredJournalColumns()) {
        if (!tables->contains(t.table, Qt::CaseInsensitive)) {
            missingTables << t.table;
            continue;
        }
        // The table name comes from columns.h, never from the file.
        const QByteArray sql = "SELECT name FROM pragma_table_info('" + QString(t.table).toUtf8() + "')";
        const auto present = c.column(sql.constData(), problem);
        if (!present)
            return problem;
        QStringList lacking;
        for (const QLatin1StringView column : t.columns) {
            if (!present->contains(column, Qt::CaseInsensitive))
                lacking << column;
        }
        if (lacking.size() == 1)
            missingColumns << QStringLiteral("нет столбца %1 в таблице %2").arg(lacking[0], t.table);
        else if (!lacking.isEmpty())
            missingColumns << QStringLiteral("нет столбцов %1 в таблице %2").arg(lacking.join(QStringLiteral(", ")), t.table);
    }
    QStringList parts;
    if (missingTables.size() == 1)
        parts << QStringLiteral("нет таблицы %1").arg(missingTables[0]);
    else if (!missingTables.isEmpty())
        parts << QStringLiteral("нет таблиц %1").arg(missingTables.join(QStringLiteral(", ")));
    parts << missingColumns;
    if (parts.isEmpty())
        return QString();
    return QStringLiteral("это не база журнала: %1").arg(parts.join(QStringLiteral("; ")));
}

// Why `path` cannot be read as a database file at all, before SQLite is
// asked (SQLite would create a missing file and calls a folder "unable to
// open"). The callers' messages name the path.
QString fileKindProblem(const QString& path)
{
    const QFileInfo info(path);
    if (info.isDir())
        return QStringLiteral("это папка, а не файл");
    if (!info.exists())
        return QStringLiteral("нет файла");
    if (!info.isFile())
        return QStringLiteral("это не обычный файл");
    // SQLite reads an empty file as an empty database; for the journal it
    // is a file whose content was lost.
    if (info.size() == 0)
        return QStringLiteral("файл пуст (0 байт)");
    return QString();
}

// pages: whether SQLite looks at every page (quick or integrity check) or
// only the tables and columns are looked at.
enum class PageCheck { None, Quick, Full };

JournalFileCheck checkJournalConnection(const Connection& c, PageCheck pages)
{
    if (!c.handle())
        return {JournalFileCheck::State::Damaged, c.openProblem()};
    QString problem = pages == PageCheck::None ? QString() : checkOpened(c, pages == PageCheck::Quick);
    if (problem.isEmpty())
        problem = missingJournalParts(c);
    if (problem.isEmpty())
        return {};
    return {c.busy() ? JournalFileCheck::State::Busy : JournalFileCheck::State::Damaged, problem};
}

// A copy that a killed backup left behind: "<name>.part" and its journal.
// One another backup is writing holds SQLite's lock and stays.
void removeLeftoverParts(const QString& folder)
{
    const QStringList parts = QDir(folder).entryList({QStringLiteral("*.part")}, QDir::Files);
    for (const QString& name : parts) {
        const QString path = folder + u'/' + name;
        bool inUse = false;
        {
            const Connection probe(path, SQLITE_OPEN_READWRITE);
            if (probe.handle()) {
                sqlite3_busy_timeout(probe.handle(), 0);
                inUse = sqlite3_exec(probe.handle(), "BEGIN EXCLUSIVE", nullptr, nullptr, nullptr) == SQLITE_BUSY;
                sqlite3_exec(probe.handle(), "ROLLBACK", nullptr, nullptr, nullptr);
            }
        }
        if (inUse)
            continue;
        QFile::remove(path + QStringLiteral("-journal"));
        QFile::remove(path);
    }
    // A journal whose copy is already gone.
    for (const QString& name : QDir(folder).entryList({QStringLiteral("*.part-journal")}, QDir::Files)) {
        if (!QFile::exists(folder + u'/' + name.chopped(8)))
            QFile::remove(folder + u'/' + name);
    }
}

void syncFile(const QString& path)
{
    QFile f(path);
    if (f.open(QIODevice::ReadWrite))
        ::fsync(f.handle());
}

bool replaceFile(const QString& from, const QString& to)
{
    return std::rename(QFile::encodeName(from).constData(), QFile::encodeName(to).constData()) == 0;
}

QString stampedName(const QString& folder, const QString& prefix, const QDateTime& when)
{
    const QString stem = folder + u'/' + prefix + when.toString(kTimeFormat);
    QString name = stem + QStringLiteral(".db");
    for (int n = 2; QFile::exists(name); ++n)
        name = stem + QStringLiteral("-%1.db").arg(n);
    return name;
}

} // namespace

QString backupFolder(const QString& databasePath)
{
    return QFileInfo(databasePath).absolutePath() + QStringLiteral("/backup");
}

QString backupFileName(const QDateTime& when) { return kPrefix + when.toString(kTimeFormat) + QStringLiteral(".db"); }

std::optional<QDateTime> backupTimeOf(const QString& fileName)
{
    static const QRegularExpression pattern(
        QStringLiteral("^datamoney-(before-restore-)?(\\d{4}-\\d{2}-\\d{2}-\\d{6})(-\\d+)?\\.db$"));
    const auto m = pattern.match(fileName);
    if (!m.hasMatch())
        return std::nullopt;
    const QDateTime time = QDateTime::fromString(m.captured(2), kTimeFormat);
    if (!time.isValid())
        return std::nullopt;
    return time;
}

QString databaseProblem(const QString& path, bool quick)
{
    if (const QString problem = fileKindProblem(path); !problem.isEmpty())
        return problem;
    const Connection c(path, SQLITE_OPEN_READONLY);
    return checkOpened(c, quick);
}

JournalFileCheck checkJournalFile(const QString& path, bool quick)
{
    if (const QString problem = fileKindProblem(path); !problem.isEmpty())
        return {JournalFileCheck::State::Damaged, problem};
    const Connection c(path, SQLITE_OPEN_READONLY);
    return checkJournalConnection(c, quick ? PageCheck::Quick : PageCheck::Full);
}

JournalFileCheck checkJournalParts(const QString& path)
{
    if (const QString problem = fileKindProblem(path); !problem.isEmpty())
        return {JournalFileCheck::State::Damaged, problem};
    const Connection c(path, SQLITE_OPEN_READONLY);
    return checkJournalConnection(c, PageCheck::None);
}

QString journalFileProblem(const QString& path) { return checkJournalFile(path, false).problem; }

void copyDatabase(const QString& source, const QString& target)
{
    const auto fail = [&](const QString& reason) {
        return BackupError(QStringLiteral("Не удалось сделать копию базы данных %1: %2").arg(target, reason));
    };
    if (const QString problem = fileKindProblem(source); !problem.isEmpty())
        throw fail(QStringLiteral("%1: %2").arg(QDir::toNativeSeparators(source), problem));
    const QString part = target + QStringLiteral(".part");
    QFile::remove(part);
    {
        const Connection from(source, SQLITE_OPEN_READONLY);
        const Connection to(part, SQLITE_OPEN_READWRITE | SQLITE_OPEN_CREATE);
        if (!from.handle())
            throw fail(from.openProblem());
        if (!to.handle())
            throw fail(to.openProblem());
        sqlite3_exec(to.handle(), "PRAGMA synchronous=FULL", nullptr, nullptr, nullptr);
        sqlite3_backup* backup = sqlite3_backup_init(to.handle(), "main", from.handle(), "main");
        if (!backup)
            throw fail(to.error());
        // All pages in one step: the copy is one read of the source, so a
        // writer elsewhere waits for it (its busy time-out) and the copy is
        // of one moment. The read is begun first through the busy handler:
        // a writer committing again and again leaves only short moments
        // free, which the step's own tries below would mostly miss.
        const bool reading = sqlite3_exec(from.handle(), "BEGIN; SELECT count(*) FROM sqlite_master", nullptr,
                                          nullptr, nullptr) == SQLITE_OK;
        int rc;
        for (int attempt = 0; (rc = sqlite3_backup_step(backup, -1)) == SQLITE_BUSY || rc == SQLITE_LOCKED; ++attempt) {
            if (attempt >= 50)
                break;
            sqlite3_sleep(100);
        }
        sqlite3_backup_finish(backup);
        if (reading)
            sqlite3_exec(from.handle(), "COMMIT", nullptr, nullptr, nullptr);
        if (rc != SQLITE_DONE) {
            const QString reason = QString::fromUtf8(sqlite3_errstr(rc));
            QFile::remove(part);
            throw fail(reason);
        }
        // A copy of a file that is no journal would push a good copy out
        // of the rotation.
        if (const QString problem = checkJournalConnection(to, PageCheck::Quick).problem; !problem.isEmpty()) {
            QFile::remove(part);
            throw fail(QStringLiteral("копия не прошла проверку: %1").arg(problem));
        }
    }
    syncFile(part);
    if (!replaceFile(part, target)) {
        QFile::remove(part);
        throw fail(QStringLiteral("не удалось переименовать %1").arg(part));
    }
}

QString makeBackup(const QString& databasePath, const QDateTime& now)
{
    const QString folder = backupFolder(databasePath);
    if (!QDir().mkpath(folder))
        throw BackupError(QStringLiteral("Не удалось создать папку %1").arg(folder));
    removeLeftoverParts(folder);
    const QString target = stampedName(folder, kPrefix, now);
    copyDatabase(databasePath, target);
    rotateBackups(folder, now);
    return target;
}

QList<BackupEntry> listBackups(const QString& folder)
{
    QList<BackupEntry> entries;
    const QStringList names = QDir(folder).entryList({QStringLiteral("datamoney-*.db")}, QDir::Files);
    for (const QString& name : names) {
        if (const auto time = backupTimeOf(name))
            entries.push_back({folder + u'/' + name, *time, name.startsWith(kBeforeRestorePrefix)});
    }
    std::sort(entries.begin(), entries.end(), [](const BackupEntry& a, const BackupEntry& b) {
        return a.time != b.time ? a.time > b.time : a.path > b.path;
    });
    return entries;
}

QList<QDateTime> backupsToRemove(const QList<QDateTime>& times, const QDateTime& now, int keepNewest, int keepMonths)
{
    // A copy dated after `now` was made while the clock was wrong: it holds
    // no place among the newest, and is not removed either (it may hold the
    // latest work).
    QList<QDateTime> sorted;
    std::copy_if(times.begin(), times.end(), std::back_inserter(sorted), [&](const QDateTime& t) { return t <= now; });
    std::sort(sorted.begin(), sorted.end(), std::greater<>());
    const QDate today = now.date();
    const QDate firstMonth = QDate(today.year(), today.month(), 1).addMonths(-(keepMonths - 1));
    std::map<std::pair<int, int>, bool> monthKept;
    QList<QDateTime> remove;
    for (qsizetype i = 0; i < sorted.size(); ++i) {
        const QDate d = sorted[i].date();
        const auto month = std::make_pair(d.year(), d.month());
        const bool inMonths = d >= firstMonth && !monthKept[month];
        if (inMonths)
            monthKept[month] = true; // the newest of its month, sorted first
        if (i >= keepNewest && !inMonths)
            remove << sorted[i];
    }
    return remove;
}

QStringList rotateBackups(const QString& folder, const QDateTime& now)
{
    const QList<BackupEntry> entries = listBackups(folder);
    QList<QDateTime> times;
    for (const BackupEntry& e : entries)
        times << e.time;
    QList<QDateTime> remove = backupsToRemove(times, now);
    QStringList failed;
    // Copies of one second share their time: each time listed removes one
    // file, the oldest name first.
    for (auto it = entries.rbegin(); it != entries.rend(); ++it) {
        const qsizetype at = remove.indexOf(it->time);
        if (at < 0)
            continue;
        remove.removeAt(at);
        if (!QFile::remove(it->path))
            failed << it->path;
        for (const char* side : kSideFiles)
            QFile::remove(it->path + QLatin1String(side));
    }
    return failed;
}

std::optional<QString> makeBackupUnlessNewer(const QString& databasePath, const QDateTime& notBefore,
                                             const QDateTime& now)
{
    // One copy at a time in this process: the start-up copy runs in the
    // background while the trader may already ask for a change.
    static std::mutex oneAtATime;
    const std::lock_guard<std::mutex> lock(oneAtATime);
    const QList<BackupEntry> entries = listBackups(backupFolder(databasePath));
    // A copy dated in the future (the clock was put back) does not count.
    for (const BackupEntry& e : entries) {
        // The database as it was before a restore is not what it holds now.
        if (e.beforeRestore)
            continue;
        if (e.time <= now) {
            if (e.time >= notBefore)
                return std::nullopt;
            break;
        }
    }
    return makeBackup(databasePath, now);
}

QDateTime databaseLastChange(const QString& databasePath)
{
    const QDateTime modified = QFileInfo(databasePath).lastModified();
    return modified.addMSecs(-modified.time().msec());
}

QString newestGoodBackup(const QString& databasePath)
{
    for (const BackupEntry& e : listBackups(backupFolder(databasePath))) {
        if (!e.beforeRestore && databaseProblem(e.path).isEmpty())
            return e.path;
    }
    return QString();
}

QString restoreDatabase(const QString& databasePath, const QString& file, const QDateTime& now)
{
    const auto fail = [&](const QString& reason) {
        return BackupError(QStringLiteral("Не удалось восстановить базу данных из %1: %2").arg(file, reason));
    };
    if (QFileInfo(file).canonicalFilePath() == QFileInfo(databasePath).canonicalFilePath())
        throw fail(QStringLiteral("это и есть текущая база данных"));
    if (const QString problem = journalFileProblem(file); !problem.isEmpty())
        throw fail(problem);
    const QString folder = backupFolder(databasePath);
    if (!QDir().mkpath(folder))
        throw fail(QStringLiteral("не удалось создать папку %1").arg(folder));

    // The database as it is, damaged or not, with a journal a crash left.
    QString kept;
    if (QFile::exists(databasePath)) {
        kept = stampedName(folder, kBeforeRestorePrefix, now);
        if (!QFile::copy(databasePath, kept))
            throw fail(QStringLiteral("не удалось сохранить текущую базу в %1").arg(kept));
        for (const char* side : kSideFiles) {
            const QString from = databasePath + QLatin1String(side);
            if (QFile::exists(from) && !QFile::copy(from, kept + QLatin1String(side)))
                throw fail(QStringLiteral("не удалось сохранить %1").arg(from));
        }
    }
    const QString incoming = databasePath + QStringLiteral(".restore");
    QFile::remove(incoming);
    if (!QFile::copy(file, incoming))
        throw fail(QStringLiteral("не удалось скопировать файл в %1").arg(incoming));
    syncFile(incoming);
    // A journal left beside the old file would be played back into the new one.
    for (const char* side : kSideFiles)
        QFile::remove(databasePath + QLatin1String(side));
    if (!replaceFile(incoming, databasePath)) {
        QFile::remove(incoming);
        throw fail(QStringLiteral("не удалось заменить %1").arg(databasePath));
    }
    return kept;
}
