#pragma once

// Copies of the journal database: made online with SQLite's backup API into
// the folder "backup" beside datamoney.db, checked, and thinned out so that
// the newest ten and one of each of the last twelve months stay.

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
// "datamoney-YYYY-MM-DD-hhmmss.db"; the time of an automatic copy read back
// from its name (nothing for any other name).
QString backupFileName(const QDateTime& when);
std::optional<QDateTime> backupTimeOf(const QString& fileName);

// What PRAGMA quick_check (or integrity_check) says of a database file: an
// empty string when it is whole, else SQLite's findings (or the reason the
// file could not be read at all).
QString databaseProblem(const QString& path, bool quick = true);
// Same, and the four journal tables must be there.
QString journalFileProblem(const QString& path);

// Copies the database at `source` to `target` with SQLite's backup API while
// other connections may use it, then checks the copy with quick_check. The
// copy is written under a temporary name and renamed when whole, so
// `target` never holds half a copy. Throws BackupError.
void copyDatabase(const QString& source, const QString& target);

// A new copy in the backup folder, named after `now`, followed by the
// rotation. Returns its path. Throws BackupError.
QString makeBackup(const QString& databasePath, const QDateTime& now = QDateTime::currentDateTime());

// makeBackup, unless the newest automatic copy was made at or after
// `notBefore`: then nothing (the copy there is recent enough). Safe to call
// from several threads. Throws BackupError.
std::optional<QString> makeBackupUnlessNewer(const QString& databasePath, const QDateTime& notBefore,
                                             const QDateTime& now = QDateTime::currentDateTime());

// The automatic copies of the folder, newest first, with their times.
struct BackupEntry {
    QString path;
    QDateTime time;
};
QList<BackupEntry> listBackups(const QString& folder);

// Of automatic copies made at `times` (any order), those to remove so that
// the newest `keepNewest` stay plus the newest of each of the last
// `keepMonths` calendar months up to `today`'s month.
QList<QDateTime> backupsToRemove(const QList<QDateTime>& times, QDate today, int keepNewest = 10,
                                 int keepMonths = 12);
// Removes the copies backupsToRemove names. Returns the files that could
// not be removed.
QStringList rotateBackups(const QString& folder, QDate today);

// The newest copy that passes quick_check, or an empty string.
QString newestGoodBackup(const QString& databasePath);

// Puts `file` in place of the database after checking it (integrity and the
// four tables). The database as it was is kept as
// backup/datamoney-before-restore-YYYY-MM-DD-hhmmss.db (with its journal
// beside it, if one was left), and the new file replaces it by a rename.
// Returns the path of the kept copy. Throws BackupError; on a refusal
// nothing is changed.
QString restoreDatabase(const QString& databasePath, const QString& file,
                        const QDateTime& now = QDateTime::currentDateTime());
