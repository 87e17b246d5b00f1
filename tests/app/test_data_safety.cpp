// One run per journal folder, the look at the database at start, and the
// automatic copies.
#include "app/core/data_safety.h"
#include "app/core/journal.h"
#include "damaged_database.h"
#include "db/core/backup.h"
#include "scripted_prompts.h"
#include "temp_journal.h"

#include <QDir>
#include <QFile>
#include <QSignalSpy>

#include <gtest/gtest.h>

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
    ASSERT_TRUE(openJournalDatabase(journal, prompts));
    EXPECT_FALSE(checkJournalDatabase(journal, prompts));
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
    ASSERT_TRUE(openJournalDatabase(fine, prompts));
    EXPECT_TRUE(checkJournalDatabase(fine, prompts));
    EXPECT_EQ(prompts.messages.size(), 1u);
}

TEST_F(DataSafetyTest, AFileThatIsNoDatabaseIsReportedWithSQLitesReason)
{
    writeBytes(database(), QByteArray(2048, 'z'));
    Journal journal(dir.path());
    EXPECT_FALSE(openJournalDatabase(journal, prompts));
    ASSERT_EQ(prompts.messages.size(), 1u);
    const QString text = prompts.messages[0].text;
    EXPECT_TRUE(text.startsWith(QStringLiteral("Ошибка №2 - Откытия базы данных\nFailed to open database")));
    EXPECT_TRUE(text.contains(QStringLiteral("file is not a database"))) << text.toStdString();
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

} // namespace
