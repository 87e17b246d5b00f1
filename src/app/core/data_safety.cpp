#include "app/core/data_safety.h"

#include "app/core/journal.h"
#include "app/core/prompts.h"
#include "db/core/backup.h"

#include <QDir>
#include <QLockFile>
#include <QThread>

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

QString restoreAdvice(const Journal& journal)
{
    const QString database = journal.path(QStringLiteral("datamoney.db"));
    const QString backup = newestGoodBackup(database);
    if (backup.isEmpty())
        return QStringLiteral("Исправной резервной копии в папке %1 нет.").arg(QDir::toNativeSeparators(backupFolder(database)));
    return QStringLiteral("Последняя исправная резервная копия: %1\n"
                          "Чтобы восстановить её, закройте программу и выполните:\n"
                          "tradejournal-cli restore \"%1\" --data \"%2\"")
        .arg(QDir::toNativeSeparators(backup), QDir::toNativeSeparators(journal.appDir()));
}

bool checkJournalDatabase(Journal& journal, Prompts& prompts)
{
    if (!journal.hasDatabase())
        return true;
    const QString problem = databaseProblem(journal.db().path());
    if (problem.isEmpty())
        return true;
    prompts.showMessage(Prompts::Icon::Error, errorCaption(),
                        QStringLiteral("База данных %1 повреждена:\n%2\n\nПрограмма не будет её изменять.\n%3")
                            .arg(QDir::toNativeSeparators(journal.db().path()), problem, restoreAdvice(journal)));
    return false;
}

void backupBeforeChange(Journal& journal, Prompts& prompts)
{
    if (!journal.hasDatabase())
        return;
    const QDateTime now = QDateTime::currentDateTime();
    try {
        makeBackupUnlessNewer(journal.db().path(), now.addSecs(-3600), now);
    } catch (const BackupError& e) {
        reportBackupProblem(journal, prompts, e.message());
    }
}

void reportBackupProblem(Journal& journal, Prompts& prompts, const QString& problem)
{
    if (journal.backupProblemReported)
        return;
    journal.backupProblemReported = true;
    prompts.showMessage(Prompts::Icon::Warning, errorCaption(),
                        problem + QStringLiteral("\nРабота продолжается без резервной копии."));
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

void DailyBackup::start(const QString& databasePath, const QDateTime& now)
{
    wait();
    m_thread = QThread::create([this, databasePath, now] {
        QString path, problem;
        try {
            path = makeBackupUnlessNewer(databasePath, now.date().startOfDay(), now).value_or(QString());
        } catch (const BackupError& e) {
            problem = e.message();
        }
        QMetaObject::invokeMethod(this, [this, path, problem] { emit finished(path, problem); }, Qt::QueuedConnection);
    });
    m_thread->start();
}
