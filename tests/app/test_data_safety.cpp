// One run per journal folder, the look at the database at start, and the
// automatic copies.
#include "context/core/data_safety.h"
#include "context/core/journal.h"
#include "damaged_database.h"
#include "db/core/backup.h"
#include "scripted_prompts.h"
#include "temp_journal.h"

#include <QDir>
#include <QFile>
#include <QSignalSpy>

#include <gtest/gtest.h>

#include <functional>
#include <mutex>

#include <sys/wait.h>
#include <unistd.h>

namespace {

TEST(JournalLock, OneHolderPerFolderAndALockOfACrashedRunIsTakenOver)
{
    TempAppDir dir(false);
    {
        const JournalLock first(dir.path());
        EXPECT_EQ(first.state(), JournalLock::State::Locked);
        const JournalLock second(dir.path());
        EXPECT_EQ(second.state(), JournalLock::State::HeldElsewhere);
    }
    EXPECT_FALSE(QFile::exists(journalLockFile(dir.path())));
    // A run that was killed left its lock; its process is gone.
    const pid_t child = ::fork();
    if (child == 0) {
        JournalLock crashed(dir.path());
        ::_exit(crashed.state() == JournalLock::State::Locked ? 0 : 1); // no unlock
    }
    int status = -1;
    ASSERT_EQ(::waitpid(child, &status, 0), child);
    ASSERT_EQ(status, 0);
    ASSERT_TRUE(QFile::exists(journalLockFile(dir.path())));
    const JournalLock after(dir.path());
    EXPECT_EQ(after.state(), JournalLock::State::Locked);
}

class DataSafetyTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        auto journal = dir.openJournal();
        fillTrades(journal->db(), 300);
    }
    QString database() const { return dir.file(QStringLiteral("datamoney.db")); }
    void setLastChange(const QDateTime& time) const
    {
        QFile file(database());
        ASSERT_TRUE(file.open(QIODevice::ReadWrite));
        ASSERT_TRUE(file.setFileTime(time, QFileDevice::FileModificationTime));
    }
    TempAppDir dir;
    ScriptedPrompts prompts;
};

TEST_F(DataSafetyTest, ADamagedDatabaseAtStartIsReportedWithTheNewestGoodCopyAndLeftAlone)
{
    const QString older = makeBackup(database(), QDateTime(QDate(2026, 12, 1), QTime(9, 0)));
    const QString newer = makeBackup(database(), QDateTime(QDate(2026, 12, 2), QTime(9, 0)));
    damageDatabase(newer); // the newest copy is no good either
    damageDatabase(database());
    const QByteArray damaged = readBytes(database());

    Journal journal(dir.path());
    EXPECT_FALSE(openJournalAtStart(journal, prompts));
    ASSERT_EQ(prompts.messages.size(), 1u);
    const QString text = prompts.messages[0].text;
    EXPECT_EQ(prompts.messages[0].icon, Prompts::Icon::Error);
    EXPECT_TRUE(text.startsWith(QStringLiteral("База данных %1 повреждена:\n").arg(database()))) << text.toStdString();
    EXPECT_TRUE(text.contains(QStringLiteral("Последняя исправная резервная копия: %1\n").arg(older)))
        << text.toStdString();
    EXPECT_TRUE(text.contains(QStringLiteral("tradejournal-cli restore \"%1\" --data \"%2\"").arg(older, dir.path())));
    EXPECT_EQ(readBytes(database()), damaged);

    // A whole database passes without a word.
    TempAppDir whole;
    Journal fine(whole.path());
    EXPECT_TRUE(openJournalAtStart(fine, prompts));
    EXPECT_TRUE(fine.hasDatabase());
    EXPECT_EQ(prompts.messages.size(), 1u);
}

// An empty file and a database that is no journal are damaged journals: no
// copy of them is made, and they are left as they are.
TEST_F(DataSafetyTest, AnEmptyFileOrADatabaseThatIsNoJournalIsReportedAsDamaged)
{
    const QString good = makeBackup(database(), QDateTime(QDate(2026, 12, 1), QTime(9, 0)));
    struct Case {
        const char* name;
        std::function<void()> spoil;
        QString reason;
    };
    const std::vector<Case> cases = {
        {"0 bytes", [&] { writeBytes(database(), QByteArray()); }, QStringLiteral("файл пуст (0 байт)")},
        {"another program's database",
         [&] {
             QFile::remove(database());
             TSQLiteDatabase(database()).executeStatement(QStringLiteral("CREATE TABLE prices (symbol TEXT)"));
         },
         QStringLiteral("это не база журнала: нет таблиц t_chet, t_sdelki, t_days, t_zametki")},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        prompts.clear();
        c.spoil();
        const QByteArray before = readBytes(database());
        {
            Journal journal(dir.path());
            EXPECT_FALSE(openJournalAtStart(journal, prompts));
            // What the window would do next: neither happens when the start ends here.
        }
        ASSERT_EQ(prompts.messages.size(), 1u);
        EXPECT_EQ(prompts.messages[0].text.section(u'\n', 0, 1),
                  QStringLiteral("База данных %1 повреждена:\n%2").arg(database(), c.reason));
        EXPECT_TRUE(prompts.messages[0].text.contains(QStringLiteral("Последняя исправная резервная копия: %1\n").arg(good)));
        EXPECT_EQ(readBytes(database()), before);
        EXPECT_EQ(listBackups(backupFolder(database())).size(), 1);
    }
}

// Prompts whose Yes/No question comes while another program still holds the
// database: the trader closes it before answering.
class ClosingOtherProgram : public ScriptedPrompts {
public:
    std::function<void()> beforeAnswer;
    bool confirm(const QString& text) override
    {
        if (beforeAnswer)
            beforeAnswer();
        return ScriptedPrompts::confirm(text);
    }
};

TEST_F(DataSafetyTest, ABusyDatabaseAtStartIsNotDamagedAndCanBeTriedAgain)
{
    for (const bool retry : {true, false}) {
        SCOPED_TRACE(retry ? "Yes" : "No");
        TSQLiteDatabase other(database());
        other.executeStatement(QStringLiteral("BEGIN EXCLUSIVE"));
        ClosingOtherProgram asked;
        asked.beforeAnswer = [&] {
            if (retry)
                other.executeStatement(QStringLiteral("ROLLBACK"));
        };
        asked.answerConfirm(retry);
        Journal journal(dir.path());
        EXPECT_EQ(openJournalAtStart(journal, asked), retry);
        EXPECT_EQ(journal.hasDatabase(), retry);
        EXPECT_TRUE(asked.messages.empty());
        ASSERT_EQ(asked.confirmations().size(), 1);
        EXPECT_TRUE(asked.confirmations()[0].startsWith(QStringLiteral("База данных занята другой программой: %1 ").arg(database())))
            << asked.confirmations()[0].toStdString();
        EXPECT_TRUE(asked.allAnswersUsed());
        if (!retry)
            other.executeStatement(QStringLiteral("ROLLBACK"));
    }
}

TEST_F(DataSafetyTest, AFileThatIsNoDatabaseIsReportedWithSQLitesReason)
{
    writeBytes(database(), QByteArray(2048, 'z'));
    Journal journal(dir.path());
    EXPECT_FALSE(openJournalAtStart(journal, prompts));
    ASSERT_EQ(prompts.messages.size(), 1u);
    const QString text = prompts.messages[0].text;
    EXPECT_TRUE(text.startsWith(QStringLiteral("Ошибка №2 - Откытия базы данных\nне удалось открыть базу данных")))
        << text.toStdString();
    EXPECT_TRUE(text.contains(QStringLiteral("файл не является базой данных"))) << text.toStdString();
    EXPECT_TRUE(text.contains(QStringLiteral("Исправной резервной копии в папке"))) << text.toStdString();
}

TEST_F(DataSafetyTest, ABackupBeforeAChangeIsMadeOnceAnHourAndAFailureIsShownOnce)
{
    auto journal = dir.openJournal();
    backupBeforeChange(*journal, prompts);
    backupBeforeChange(*journal, prompts);
    EXPECT_EQ(listBackups(backupFolder(database())).size(), 1);
    EXPECT_TRUE(prompts.messages.empty());

    // A folder that cannot hold copies: the change goes on, one message.
    ASSERT_TRUE(QDir(backupFolder(database())).removeRecursively());
    writeBytes(backupFolder(database()), "a file where the folder should be");
    backupBeforeChange(*journal, prompts);
    backupBeforeChange(*journal, prompts);
    ASSERT_EQ(prompts.messages.size(), 1u);
    EXPECT_TRUE(prompts.messages[0].text.endsWith(QStringLiteral("Работа продолжается без резервной копии.")));
}

// The copy of the last hour counts only when it holds the last change: the
// empty journal of the first start must not stand for a day's work.
TEST_F(DataSafetyTest, ABackupBeforeAChangeDoesNotCountACopyOlderThanTheLastChange)
{
    auto journal = dir.openJournal();
    const QDateTime now = QDateTime::currentDateTime();
    makeBackup(database(), now.addSecs(-600));
    setLastChange(now.addSecs(-300));
    backupBeforeChange(*journal, prompts);
    EXPECT_EQ(listBackups(backupFolder(database())).size(), 2);
    backupBeforeChange(*journal, prompts); // nothing changed since
    EXPECT_EQ(listBackups(backupFolder(database())).size(), 2);
    // A change a moment later.
    setLastChange(QDateTime::currentDateTime().addSecs(2));
    backupBeforeChange(*journal, prompts);
    EXPECT_EQ(listBackups(backupFolder(database())).size(), 3);
    EXPECT_TRUE(prompts.messages.empty());
}

TEST_F(DataSafetyTest, TheDailyCopyIsMadeInTheBackgroundOnceADay)
{
    const QDateTime morning(QDate(2026, 12, 10), QTime(9, 0));
    DailyBackup backup;
    QSignalSpy finished(&backup, &DailyBackup::finished);
    backup.start(database(), morning);
    ASSERT_TRUE(finished.wait(10000));
    const QString path = finished.at(0).at(0).toString();
    EXPECT_EQ(path, backupFolder(database()) + u'/' + backupFileName(morning));
    EXPECT_EQ(finished.at(0).at(1).toString(), QString());
    EXPECT_EQ(databaseProblem(path), QString());

    backup.start(database(), morning.addSecs(8 * 3600)); // the same day
    ASSERT_TRUE(finished.wait(10000));
    EXPECT_EQ(finished.at(1).at(0).toString(), QString());
    backup.start(database(), morning.addDays(1));
    ASSERT_TRUE(finished.wait(10000));
    EXPECT_EQ(finished.at(2).at(0).toString(), backupFolder(database()) + u'/' + backupFileName(morning.addDays(1)));
}

// The look at every page left to a thread: the start goes on, and the file
// is written only once it has passed. A damaged file is told through
// onDamage and refuses every write, which changes nothing in it.
TEST_F(DataSafetyTest, TheLookAtEveryPageGoesOnWhileTheRunStartsAndHoldsBackItsWrites)
{
    struct Case {
        const char* name;
        bool damage;
    };
    for (const Case c : {Case{"damaged", true}, Case{"whole", false}}) {
        SCOPED_TRACE(c.name);
        TempAppDir folder;
        {
            auto journal = folder.openJournal();
            fillTrades(journal->db(), 300);
        }
        const QString file = folder.file(QStringLiteral("datamoney.db"));
        if (c.damage)
            damageDatabase(file);
        const QByteArray before = readBytes(file);
        std::mutex mutex;
        QStringList told;
        ScriptedPrompts quiet;
        Journal journal(folder.path());
        ASSERT_TRUE(openJournalAtStart(journal, quiet, [&](const QString& message) {
            const std::lock_guard lock(mutex);
            told << message;
        }));
        EXPECT_TRUE(quiet.messages.empty());
        ASSERT_TRUE(journal.integrityCheck);
        const auto write = [&] {
            journal.db().executeStatement(QStringLiteral("INSERT INTO t_chet (chet_name) VALUES (?)"), {QStringLiteral("новый")});
        };
        if (!c.damage) {
            EXPECT_NO_THROW(write());
            EXPECT_EQ(journal.integrityCheck->damage(), QString());
            journal.integrityCheck.reset();
            EXPECT_TRUE(told.isEmpty());
            continue;
        }
        for (int attempt = 0; attempt < 2; ++attempt) {
            try {
                write();
                ADD_FAILURE() << "a write went into a damaged file";
            } catch (const EDatabaseDamaged& e) {
                EXPECT_TRUE(e.message().startsWith(QStringLiteral("База данных %1 повреждена:\n").arg(file)))
                    << e.message().toStdString();
            }
        }
        const QString damage = journal.integrityCheck->damage();
        EXPECT_TRUE(damage.contains(QStringLiteral("Программа не будет её изменять.")));
        EXPECT_EQ(backupAtClose(journal), QString()); // no copy of a damaged file
        EXPECT_TRUE(listBackups(backupFolder(file)).isEmpty());
        journal.integrityCheck.reset(); // its thread has ended
        EXPECT_EQ(told, QStringList{damage});
        journal.setDatabase(std::make_unique<TSQLiteDatabase>());
        EXPECT_EQ(readBytes(file), before);
    }
}

} // namespace
