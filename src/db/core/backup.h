#pragma once

// Copies of the journal database: made online with SQLite's backup API into
// the folder "backup" beside datamoney.db, checked, and thinned out so that
// the newest ten and one of each of the last twelve months stay. The copies
// a restore keeps (datamoney-before-restore-…) are thinned out with them.

#include "db/core/journal_error.h"

#include <QDate>
#include <QDateTime>
#include <QString>
#include <QStringList>

#include <optional>

// A copy that could not be made, checked or put in place.
class BackupError : public JournalError {
public:
    using JournalError::JournalError;
};

// <folder of the database>/backup
QString backupFolder(const QString& databasePath);
// "datamoney-YYYY-MM-DD-hhmmss.db"; the time of a copy read back from its
// name, "datamoney-before-restore-…" too (nothing for any other name).
QString backupFileName(const QDateTime& when);
std::optional<QDateTime> backupTimeOf(const QString& fileName);

// What PRAGMA quick_check (or integrity_check) says of a database file: an
// empty string when it is whole, else SQLite's findings (or the reason the
// file could not be read at all).
QString databaseProblem(const QString& path, bool quick = true);
// What a look at a journal file found. Damaged covers a file that is no
// database, an empty one, and a database that lacks a table or a column the
// program uses (columns.h; the currency of t_chet and t_kassa are added when
// a journal is opened, so they may be missing). Busy: another connection
// held its lock longer than the busy time-out, nothing is known of the file.
struct JournalFileCheck {
    enum class State { Whole, Busy, Damaged };
    State state = State::Whole;
    QString problem; // empty when whole; SQLite's findings or what is missing
};
JournalFileCheck checkJournalFile(const QString& path, bool quick = true);
// The same without looking at every page: the file's kind, SQLite's
// reading of it and the journal's tables and columns (milliseconds however
// large the file).
JournalFileCheck checkJournalParts(const QString& path);
// The problem of checkJournalFile with integrity_check.
QString journalFileProblem(const QString& path);

// Copies the database at `source` to `target` with SQLite's backup API while
// other connections may use it, then checks the copy with quick_check. The
// copy is written under a temporary name and renamed when whole, so
// `target` never holds half a copy. Throws BackupError.
void copyDatabase(const QString& source, const QString& target);

// A new copy in the backup folder, named after `now`, followed by the
// rotation. The half copies a killed backup left there go first. Returns
// its path. Throws BackupError.
QString makeBackup(const QString& databasePath, const QDateTime& now = QDateTime::currentDateTime());

// makeBackup, unless the newest automatic copy was made at or after
// `notBefore`: then nothing (the copy there is recent enough). Copies kept
// by a restore and copies dated after `now` do not count. Safe to call
// from several threads. Throws BackupError.
std::optional<QString> makeBackupUnlessNewer(const QString& databasePath, const QDateTime& notBefore,
                                             const QDateTime& now = QDateTime::currentDateTime());

// When the database last changed, to the second (a copy's name holds its
// time to the second): the modification time of its file. A copy named at
// or after it holds every change. Not a fingerprint of the rows: an
// annotation edited in place changes no count, while every commit in
// SQLite's rollback-journal mode writes the file and so moves its time.
QDateTime databaseLastChange(const QString& databasePath);

// The copies of the folder, newest first, with their times.
struct BackupEntry {
    QString path;
    QDateTime time;
    bool beforeRestore = false; // the database as it was before a restore
};
QList<BackupEntry> listBackups(const QString& folder);

// Of copies made at `times` (any order), those to remove so that the newest
// `keepNewest` stay plus the newest of each of the last `keepMonths`
// calendar months up to `now`'s month. Copies dated after `now` are neither
// counted nor removed.
QList<QDateTime> backupsToRemove(const QList<QDateTime>& times, const QDateTime& now, int keepNewest = 10,
                                 int keepMonths = 12);
// Removes the copies backupsToRemove names. Returns the files that could
// not be removed.
QStringList rotateBackups(const QString& folder, const QDateTime& now);

// The newest automatic copy that passes quick_check, or an empty string.
QString newestGoodBackup(const QString& databasePath);

// Puts `file` in place of the database after checking it (integrity and the
// four tables). The database as it was is kept as
// backup/datamoney-before-restore-YYYY-MM-DD-hhmmss.db (with its journal
// beside it, if one was left), and the new file replaces it by a rename.
// Returns the path of the kept copy. Throws BackupError; on a refusal
// nothing is changed.
QString restoreDatabase(const QString& databasePath, const QString& file,
                        const QDateTime& now = QDateTime::currentDateTime());
