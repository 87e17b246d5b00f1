#pragma once

// What keeps the journal's data safe around the work: one program run per
// journal folder, a look at the database before the first write, and the
// automatic copies of the database.

#include <QDateTime>
#include <QObject>
#include <QString>

#include <functional>
#include <memory>

#include "db/core/sqlite_database.h"

class Journal;
class Prompts;
class QLockFile;
class QThread;

// The lock of a program folder (the file "tradejournal.lock" in it), held
// for the whole run. A lock left by a run that crashed is taken over.
class JournalLock {
public:
    enum class State { Locked, HeldElsewhere, Unavailable };
    explicit JournalLock(const QString& appDir);
    ~JournalLock();
    JournalLock(const JournalLock&) = delete;
    JournalLock& operator=(const JournalLock&) = delete;
    // Unavailable: the folder does not let the lock be made (a read-only
    // medium); the run goes on without it.
    State state() const { return m_state; }

private:
    std::unique_ptr<QLockFile> m_lock;
    State m_state = State::Unavailable;
};

QString journalLockFile(const QString& appDir);
inline QString journalAlreadyOpenMessage() { return QStringLiteral("Журнал уже открыт в другом окне"); }

// How to get the database back from its newest good copy, for the messages
// about a damaged database (an empty string when there is no good copy).
QString restoreAdvice(const Journal& journal);

// Opens datamoney.db at program start. A file that exists but is not a
// database is reported ("Ошибка №2 - Откытия базы данных") and the program
// must end: returns false. A file another program holds locked throws
// EDatabaseBusy (openJournalAtStart asks whether to try again).
bool openJournalDatabase(Journal& journal, Prompts& prompts);

// Brings the tables of an opened (and checked) database up to the version
// this program uses; a failure (a locked or read-only file) is reported and
// the program must end: returns false. Nothing is changed then. A lock held
// elsewhere throws EDatabaseBusy.
bool upgradeJournalDatabase(Journal& journal, Prompts& prompts);

// The start of a run: opens datamoney.db (openJournalDatabase), checks it
// (PRAGMA quick_check, the journal's tables and columns) and brings it up to
// date (upgradeJournalDatabase). A damaged database, an empty file or a
// database that is no journal is reported with the newest good copy and how
// to restore it, and the run must end without writing to it: returns false.
// A database another program holds locked is not damaged: the trader is
// asked whether to try again; "No" ends the run (false).
bool openJournalAtStart(Journal& journal, Prompts& prompts);
// The same, with the look at every page (the part that takes time on a large
// journal) left to a thread of its own: journal.integrityCheck, started with
// onDamage, holds back every write until it has passed. The rest of the look
// (the file's kind, the journal's tables and columns, a lock held elsewhere)
// is made here as above.
bool openJournalAtStart(Journal& journal, Prompts& prompts, std::function<void(const QString&)> onDamage);
// The messages of those two cases, for the window and the command-line tool.
QString damagedDatabaseMessage(const QString& appDir, const QString& problem);
// The messages of those two cases, for the window and the command-line tool.
QString damagedDatabaseMessage(const Journal& journal, const QString& problem);
QString busyDatabaseMessage(const QString& databasePath);

// Before a change the trader cannot take back (a statement copied into an
// account that holds trades, an account deleted): a copy of the database,
// unless one made in the last hour already holds its last change. A failure
// is reported once per run and never stops the change.
void backupBeforeChange(Journal& journal, Prompts& prompts);
// At the close of the window: a copy when the database changed since the
// newest one. Returns the reason a copy failed (empty when it was made or
// not needed); nothing is shown.
QString backupAtClose(Journal& journal);
// Shows why an automatic copy failed, once per run; the work goes on.
void reportBackupProblem(Journal& journal, Prompts& prompts, const QString& problem);
// True when the account holds trades (a copy into it changes what is there).
bool accountHoldsTrades(Journal& journal, const QString& account);

// A database that was found damaged: nothing is written to it.
class EDatabaseDamaged : public ESQLiteException {
public:
    using ESQLiteException::ESQLiteException;
};

// PRAGMA quick_check of datamoney.db on a thread of its own (a connection of
// its own, reading only), so that a large journal's window or command does
// not wait for it. Until it has passed, a statement that writes through db
// waits for it (its write gate); a damaged file then refuses that write and
// every later one with EDatabaseDamaged (damagedDatabaseMessage), and a file
// another program held locked is looked at again right then. onDamage, when
// given, is called on the check's thread with the message when it finds the
// file damaged.
class IntegrityCheck {
public:
    IntegrityCheck(TSQLiteDatabase& db, const QString& appDir, std::function<void(const QString&)> onDamage = {});
    // Waits for the thread; the write gate stays with db.
    ~IntegrityCheck();
    IntegrityCheck(const IntegrityCheck&) = delete;
    IntegrityCheck& operator=(const IntegrityCheck&) = delete;
    struct State;
    // What the check finds, as a handle that may outlive this object.
    class Outcome {
    public:
        // Whether the check has ended (without waiting).
        bool ended() const;
        // Waits for the check: the message about the damaged file, or empty.
        QString damage() const;

    private:
        friend class IntegrityCheck;
        std::shared_ptr<State> m_state;
    };
    Outcome outcome() const;
    QString damage() const { return outcome().damage(); }

private:
    std::shared_ptr<State> m_state;
};

// The copy made once a day at start-up, in a thread of its own so the window
// does not wait for it. The destructor waits for a copy in progress.
class DailyBackup : public QObject {
    Q_OBJECT
public:
    explicit DailyBackup(QObject* parent = nullptr);
    ~DailyBackup() override;
    // Copies databasePath unless a copy was made today, once check (when
    // given; it must outlive this object's thread) has found the file whole.
    void start(const QString& databasePath, const QDateTime& now = QDateTime::currentDateTime(),
               IntegrityCheck* check = nullptr);
    void wait();

signals:
    // On the thread of this object, once: the copy's path (empty when none
    // was due) or the reason it failed.
    void finished(const QString& path, const QString& problem);

private:
    QThread* m_thread = nullptr;
};
