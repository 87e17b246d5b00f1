#include "context/core/data_safety.h"

#include "context/core/journal.h"
#include "context/core/prompts.h"
#include "db/core/backup.h"
#include "db/core/reasons.h"
#include "db/core/schema_setup.h"

#include <QDir>
#include <QLockFile>
#include <QThread>

#include <algorithm>
#include <condition_variable>
#include <mutex>
#include <optional>
#include <thread>

JournalLock::JournalLock(const QString& appDir)
    : m_lock(std::make_unique<QLockFile>(journalLockFile(appDir)))
{
    // Held for the whole run: age never makes it stale, only a holder that
    // no longer runs does.
    m_lock->setStaleLockTime(0);
    if (m_lock->tryLock(0))
        m_state = State::Locked;
    else if (m_lock->error() == QLockFile::LockFailedError)
        m_state = State::HeldElsewhere;
    else
        m_state = State::Unavailable;
}

JournalLock::~JournalLock() = default;

QString journalLockFile(const QString& appDir) { return appDir + QStringLiteral("/tradejournal.lock"); }

namespace {

QString databaseIn(const QString& appDir) { return appDir + QStringLiteral("/datamoney.db"); }

QString restoreAdviceFor(const QString& appDir)
{
    const QString database = databaseIn(appDir);
    const QString backup = newestGoodBackup(database);
    if (backup.isEmpty())
        return QStringLiteral("Исправной резервной копии в папке %1 нет.").arg(QDir::toNativeSeparators(backupFolder(database)));
    return QStringLiteral("Последняя исправная резервная копия: %1\n"
                          "Чтобы восстановить её, закройте программу и выполните:\n"
                          "tradejournal-cli restore \"%1\" --data \"%2\"")
        .arg(QDir::toNativeSeparators(backup), QDir::toNativeSeparators(appDir));
}

} // namespace

QString restoreAdvice(const Journal& journal) { return restoreAdviceFor(journal.appDir()); }

QString damagedDatabaseMessage(const QString& appDir, const QString& problem)
{
    return QStringLiteral("База данных %1 повреждена:\n%2\n\nПрограмма не будет её изменять.\n%3")
        .arg(QDir::toNativeSeparators(databaseIn(appDir)), withRussianReasons(problem), restoreAdviceFor(appDir));
}

QString damagedDatabaseMessage(const Journal& journal, const QString& problem)
{
    return damagedDatabaseMessage(journal.appDir(), problem);
}

struct IntegrityCheck::State {
    QString path;
    QString appDir;
    std::mutex mutex;
    std::condition_variable changed;
    std::optional<JournalFileCheck> found;
    std::thread thread;

    JournalFileCheck wait()
    {
        std::unique_lock lock(mutex);
        changed.wait(lock, [this] { return found.has_value(); });
        return *found;
    }
    void set(const JournalFileCheck& check)
    {
        {
            const std::lock_guard lock(mutex);
            found = check;
        }
        changed.notify_all();
    }
    QString damage()
    {
        const JournalFileCheck check = wait();
        return check.state == JournalFileCheck::State::Damaged ? damagedDatabaseMessage(appDir, check.problem) : QString();
    }
    // What the write gate does: waits for the check, looks again when the
    // file was held elsewhere, refuses when it is damaged.
    void beforeWrite()
    {
        JournalFileCheck check = wait();
        if (check.state == JournalFileCheck::State::Busy) {
            check = checkJournalFile(path);
            if (check.state != JournalFileCheck::State::Busy)
                set(check);
        }
        if (check.state == JournalFileCheck::State::Busy)
            throw EDatabaseBusy(busyDatabaseMessage(path));
        if (check.state == JournalFileCheck::State::Damaged)
            throw EDatabaseDamaged(damagedDatabaseMessage(appDir, check.problem));
    }
};

IntegrityCheck::IntegrityCheck(TSQLiteDatabase& db, const QString& appDir, std::function<void(const QString&)> onDamage)
    : m_state(std::make_shared<State>())
{
    m_state->path = db.path();
    m_state->appDir = appDir;
    // The gate holds the state, not this object: it may outlive it.
    db.setWriteGate([state = m_state] { state->beforeWrite(); });
    m_state->thread = std::thread([state = m_state.get(), onDamage = std::move(onDamage)] {
        const JournalFileCheck check = checkJournalFile(state->path);
        state->set(check);
        if (check.state == JournalFileCheck::State::Damaged && onDamage)
            onDamage(damagedDatabaseMessage(state->appDir, check.problem));
    });
}

IntegrityCheck::~IntegrityCheck()
{
    if (m_state->thread.joinable())
        m_state->thread.join();
}

IntegrityCheck::Outcome IntegrityCheck::outcome() const
{
    Outcome o;
    o.m_state = m_state;
    return o;
}

bool IntegrityCheck::Outcome::ended() const
{
    const std::lock_guard lock(m_state->mutex);
    return m_state->found.has_value();
}

QString IntegrityCheck::Outcome::damage() const { return m_state->damage(); }

QString busyDatabaseMessage(const QString& databasePath)
{
    return QStringLiteral("База данных занята другой программой: %1 не освободилась за %2 с "
                          "(её держит, например, tradejournal-cli или вторая копия программы).\n"
                          "Закройте ту программу и попробуйте снова.")
        .arg(QDir::toNativeSeparators(databasePath))
        .arg(TSQLiteDatabase::kBusyTimeoutMs / 1000);
}

bool openJournalDatabase(Journal& journal, Prompts& prompts)
{
    try {
        journal.openDatabase();
        return true;
    } catch (const EDatabaseBusy&) {
        throw;
    } catch (const ESQLiteException& e) {
        prompts.showMessage(Prompts::Icon::Error, errorCaption(),
                            QStringLiteral("Ошибка №2 - Откытия базы данных\n%1\n%2")
                                .arg(withRussianReasons(e.message()), restoreAdvice(journal)));
        return false;
    }
}

bool upgradeJournalDatabase(Journal& journal, Prompts& prompts)
{
    if (!journal.hasDatabase())
        return true;
    try {
        upgradeJournalSchema(journal.db());
        return true;
    } catch (const EDatabaseBusy&) {
        throw;
    } catch (const ESQLiteException& e) {
        prompts.showMessage(Prompts::Icon::Error, errorCaption(),
                            QStringLiteral("Не удалось дополнить базу данных %1 таблицами этой версии программы "
                                           "(валюта счета, пополнения и снятия); база не изменена.\n%2")
                                .arg(QDir::toNativeSeparators(journal.db().path()), withRussianReasons(e.message())));
        return false;
    }
}

namespace {

enum class StartOutcome { Ready, Busy, Ended };

StartOutcome tryOpenJournal(Journal& journal, Prompts& prompts, const std::function<void(const QString&)>* onDamage)
{
    try {
        // The program's own connection first: it plays back the journal a
        // crash left, which the read-only check could not.
        if (!openJournalDatabase(journal, prompts))
            return StartOutcome::Ended;
        if (!journal.hasDatabase())
            return StartOutcome::Ready; // no datamoney.db: the window runs without one
        const JournalFileCheck check =
            onDamage ? checkJournalParts(journal.db().path()) : checkJournalFile(journal.db().path());
        if (check.state == JournalFileCheck::State::Busy)
            return StartOutcome::Busy;
        if (check.state == JournalFileCheck::State::Damaged) {
            prompts.showMessage(Prompts::Icon::Error, errorCaption(), damagedDatabaseMessage(journal, check.problem));
            return StartOutcome::Ended;
        }
        // Started before the upgrade, whose writes wait for it.
        if (onDamage)
            journal.integrityCheck = std::make_unique<IntegrityCheck>(journal.db(), journal.appDir(), *onDamage);
        return upgradeJournalDatabase(journal, prompts) ? StartOutcome::Ready : StartOutcome::Ended;
    } catch (const EDatabaseBusy&) {
        return StartOutcome::Busy;
    }
}

} // namespace

namespace {

bool openAtStart(Journal& journal, Prompts& prompts, const std::function<void(const QString&)>* onDamage)
{
    for (;;) {
        const StartOutcome outcome = tryOpenJournal(journal, prompts, onDamage);
        if (outcome != StartOutcome::Busy)
            return outcome == StartOutcome::Ready;
        journal.setDatabase(std::make_unique<TSQLiteDatabase>());
        if (!prompts.confirm(busyDatabaseMessage(journal.path(QStringLiteral("datamoney.db")))
                             + QStringLiteral("\n\nПопробовать ещё раз? «Нет» закроет программу.")))
            return false;
    }
}

} // namespace

bool openJournalAtStart(Journal& journal, Prompts& prompts) { return openAtStart(journal, prompts, nullptr); }

bool openJournalAtStart(Journal& journal, Prompts& prompts, std::function<void(const QString&)> onDamage)
{
    if (!onDamage)
        onDamage = [](const QString&) {};
    return openAtStart(journal, prompts, &onDamage);
}

void backupBeforeChange(Journal& journal, Prompts& prompts)
{
    if (!journal.hasDatabase())
        return;
    const QDateTime now = QDateTime::currentDateTime();
    // A copy of the last hour counts only when it holds the last change: the
    // empty journal copied at the first start protects nothing of the day.
    const QString database = journal.db().path();
    const QDateTime notBefore = std::max(now.addSecs(-3600), databaseLastChange(database));
    try {
        makeBackupUnlessNewer(database, notBefore, now);
    } catch (const BackupError& e) {
        reportBackupProblem(journal, prompts, e.message());
    }
}

QString backupAtClose(Journal& journal)
{
    if (!journal.hasDatabase())
        return QString();
    if (journal.integrityCheck && !journal.integrityCheck->damage().isEmpty())
        return QString(); // a damaged file is no copy to keep
    const QString database = journal.db().path();
    try {
        makeBackupUnlessNewer(database, databaseLastChange(database));
    } catch (const BackupError& e) {
        return e.message();
    }
    return QString();
}

void reportBackupProblem(Journal& journal, Prompts& prompts, const QString& problem)
{
    if (journal.backupProblemReported)
        return;
    journal.backupProblemReported = true;
    prompts.showMessage(Prompts::Icon::Warning, errorCaption(),
                        withRussianReasons(problem) + QStringLiteral("\nРабота продолжается без резервной копии."));
}

bool accountHoldsTrades(Journal& journal, const QString& account)
{
    const auto table = journal.db().openResultTable(QStringLiteral("SELECT 1 FROM t_sdelki WHERE chet = ? LIMIT 1"),
                                                    {account});
    return table->rowCount() > 0;
}

DailyBackup::DailyBackup(QObject* parent)
    : QObject(parent)
{
}

DailyBackup::~DailyBackup() { wait(); }

void DailyBackup::wait()
{
    if (m_thread) {
        m_thread->wait();
        delete m_thread;
        m_thread = nullptr;
    }
}

void DailyBackup::start(const QString& databasePath, const QDateTime& now, IntegrityCheck* check)
{
    wait();
    m_thread = QThread::create([this, databasePath, now, check] {
        QString path, problem;
        try {
            // A damaged file is told by the check; a copy of it would only
            // push a good copy out of the rotation.
            if (check && !check->damage().isEmpty())
                return;
            path = makeBackupUnlessNewer(databasePath, now.date().startOfDay(), now).value_or(QString());
        } catch (const BackupError& e) {
            problem = e.message();
        }
        QMetaObject::invokeMethod(this, [this, path, problem] { emit finished(path, problem); }, Qt::QueuedConnection);
    });
    m_thread->start();
}
