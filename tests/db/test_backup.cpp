// Copies of the journal database: made while others write, thinned out,
// put back; and a database whose lock another connection holds.
#include "damaged_database.h"
#include "db/core/backup.h"
#include "db/core/journal_error.h"
#include "db/core/sqlite_database.h"
#include "temp_journal.h"

#include <QDir>
#include <QFile>

#include <gtest/gtest.h>

#include <atomic>
#include <memory>
#include <chrono>
#include <thread>

namespace {

int tradeCount(const QString& path)
{
    TSQLiteDatabase db(path);
    return db.openResultTable(QStringLiteral("SELECT count(*) AS n FROM t_sdelki"))->fieldText("n").toInt();
}

class BackupTest : public ::testing::Test {
protected:
    QString database() const { return dir.file(QStringLiteral("datamoney.db")); }
    TempAppDir dir;
};

TEST_F(BackupTest, ACopyMadeWhileAnotherConnectionWritesHoldsWholeTransactions)
{
    constexpr int kBatch = 50;
    std::atomic<bool> stop = false;
    QString writerProblem;
    std::thread writer([&] {
        try {
            TSQLiteDatabase db(database());
            for (int ticket = 1; !stop; ticket += kBatch)
                fillTrades(db, kBatch, QStringLiteral("1"), ticket);
        } catch (const JournalError& e) {
            writerProblem = e.message();
        }
    });
    // A copy that fails ends the test with its reason, the writer stopped.
    const std::unique_ptr<std::thread, void (*)(std::thread*)> joined(&writer, [](std::thread* t) {
        if (t->joinable())
            t->join();
    });
    struct StopAtExit {
        std::atomic<bool>& stop;
        ~StopAtExit() { stop = true; }
    } stopAtExit{stop};
    QStringList copies;
    const QDateTime start(QDate(2026, 3, 1), QTime(10, 0));
    for (int i = 0; i < 4; ++i) {
        std::this_thread::sleep_for(std::chrono::milliseconds(150));
        copies << makeBackup(database(), start.addSecs(i));
    }
    stop = true;
    writer.join();
    EXPECT_EQ(writerProblem, QString());
    int previous = -1;
    for (const QString& copy : copies) {
        SCOPED_TRACE(copy.toStdString());
        EXPECT_EQ(QFileInfo(copy).fileName(), backupFileName(start.addSecs(copies.indexOf(copy))));
        EXPECT_EQ(journalFileProblem(copy), QString());
        const int n = tradeCount(copy);
        EXPECT_EQ(n % kBatch, 0) << "a transaction copied in part";
        EXPECT_GE(n, previous);
        previous = n;
    }
    EXPECT_EQ(QDir(backupFolder(database())).entryList(QDir::Files).size(), copies.size()) << "no .part left";
}

TEST(BackupRotation, KeepsTheNewestTenAndTheNewestOfEachOfTwelveMonths)
{
    const QDateTime now(QDate(2026, 12, 15), QTime(23, 0));
    const auto at = [](int y, int m, int d, int h = 12) { return QDateTime(QDate(y, m, d), QTime(h, 0)); };
    struct Case {
        const char* name;
        QList<QDateTime> times;
        QList<QDateTime> removed;
    };
    QList<QDateTime> daily; // one a day, 1 to 15 December
    QList<QDateTime> clockWasAhead; // one a day, 1 to 10 December, and three in 2027
    for (int d = 15; d >= 1; --d)
        daily << at(2026, 12, d);
    for (int d = 10; d >= 1; --d)
        clockWasAhead << at(2026, 12, d);
    clockWasAhead << at(2027, 1, 5) << at(2027, 2, 1) << at(2027, 3, 1);
    QList<QDateTime> monthly; // the 1st and 2nd of each month for two years
    for (int m = 0; m < 24; ++m)
        monthly << at(2026, 12, 2).addMonths(-m) << at(2026, 12, 1).addMonths(-m);
    QList<QDateTime> monthlyRemoved;
    for (int m = 0; m < 24; ++m) {
        if (m >= 5) // the newest ten are the 1st and 2nd of the last five months
            monthlyRemoved << at(2026, 12, 1).addMonths(-m);
        if (m >= 12)
            monthlyRemoved << at(2026, 12, 2).addMonths(-m);
    }
    const std::vector<Case> cases = {
        {"fewer than ten: all stay", {at(2020, 1, 1), at(2026, 12, 9), at(2026, 12, 10)}, {}},
        // The 5th of December is the 11th newest but is not the newest of its month.
        {"fifteen in one month", daily, {at(2026, 12, 5), at(2026, 12, 4), at(2026, 12, 3), at(2026, 12, 2), at(2026, 12, 1)}},
        {"two a month for two years", monthly, monthlyRemoved},
        // Copies dated after now take none of the ten places and stay.
        {"three from the future", clockWasAhead, {}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        QList<QDateTime> removed = backupsToRemove(c.times, now);
        QList<QDateTime> expected = c.removed;
        std::sort(removed.begin(), removed.end());
        std::sort(expected.begin(), expected.end());
        EXPECT_EQ(removed, expected);
    }
    // With a short "newest" list the months decide alone: the later of two
    // copies of November stays, December 2025 is past the twelve months.
    EXPECT_EQ(backupsToRemove({at(2026, 11, 30, 9), at(2026, 11, 30, 10), at(2026, 1, 20), at(2025, 12, 31)}, now, 1),
              (QList<QDateTime>{at(2026, 11, 30, 9), at(2025, 12, 31)}));
}

// The copies a restore keeps are rotated with the automatic ones; a copy
// dated in the future stays and takes no place.
TEST_F(BackupTest, RotationRemovesOldCopiesFromTheFolderAndLeavesOtherFiles)
{
    const QString folder = backupFolder(database());
    ASSERT_TRUE(QDir().mkpath(folder));
    const auto november = [](int d) { return backupFileName(QDateTime(QDate(2026, 11, d), QTime(9, 0))); };
    for (int d = 1; d <= 12; ++d)
        writeBytes(folder + u'/' + november(d), "copy");
    writeBytes(folder + QStringLiteral("/datamoney-before-restore-2020-01-01-000000.db"), "restored long ago");
    writeBytes(folder + QStringLiteral("/datamoney-before-restore-2020-01-01-000000.db-journal"), "its journal");
    writeBytes(folder + QStringLiteral("/datamoney-before-restore-2026-11-30-100000.db"), "restored lately");
    writeBytes(folder + QStringLiteral("/datamoney-2027-06-01-090000.db"), "the clock was ahead");
    writeBytes(folder + QStringLiteral("/notes.txt"), "mine");
    EXPECT_EQ(rotateBackups(folder, QDateTime(QDate(2026, 12, 10), QTime(12, 0))), QStringList());
    QStringList expected{QStringLiteral("datamoney-2027-06-01-090000.db"),
                         QStringLiteral("datamoney-before-restore-2026-11-30-100000.db"), QStringLiteral("notes.txt")};
    for (int d = 4; d <= 12; ++d)
        expected << november(d);
    expected.sort();
    EXPECT_EQ(QDir(folder).entryList(QDir::Files, QDir::Name), expected);
}

TEST_F(BackupTest, ACopyIsMadeOnlyWhenTheNewestIsOlderThanAsked)
{
    const QDateTime now(QDate(2026, 12, 10), QTime(15, 0));
    const auto first = makeBackupUnlessNewer(database(), now.addSecs(-3600), now);
    ASSERT_TRUE(first.has_value());
    EXPECT_EQ(makeBackupUnlessNewer(database(), now.addSecs(1800 - 3600), now.addSecs(1800)), std::nullopt);
    EXPECT_TRUE(makeBackupUnlessNewer(database(), now.addSecs(3601 - 3600), now.addSecs(3601)).has_value());
    // The clock put back a day: the copies "from the future" do not stop a new one.
    const QDateTime earlier = now.addDays(-1);
    EXPECT_TRUE(makeBackupUnlessNewer(database(), earlier.addSecs(-3600), earlier).has_value());
}

TEST_F(BackupTest, RestorePutsAGoodCopyInPlaceAndKeepsTheDatabaseAsItWas)
{
    {
        TSQLiteDatabase db(database());
        fillTrades(db, 10);
    }
    const QString copy = makeBackup(database(), QDateTime(QDate(2026, 12, 1), QTime(8, 0)));
    {
        TSQLiteDatabase db(database());
        fillTrades(db, 5, QStringLiteral("1"), 100);
    }
    const QByteArray before = readBytes(database());
    writeBytes(database() + QStringLiteral("-journal"), "left by a crash");

    const QString kept = restoreDatabase(database(), copy, QDateTime(QDate(2026, 12, 2), QTime(9, 30)));
    EXPECT_EQ(kept, backupFolder(database()) + QStringLiteral("/datamoney-before-restore-2026-12-02-093000.db"));
    EXPECT_EQ(readBytes(kept), before);
    EXPECT_EQ(readBytes(kept + QStringLiteral("-journal")), "left by a crash");
    EXPECT_FALSE(QFile::exists(database() + QStringLiteral("-journal")));
    EXPECT_EQ(tradeCount(database()), 10);
}

TEST_F(BackupTest, RestoreRefusesADamagedFileOrOneThatIsNoJournalAndChangesNothing)
{
    {
        TSQLiteDatabase db(database());
        fillTrades(db, 300);
    }
    const QString damaged = dir.file(QStringLiteral("damaged.db"));
    ASSERT_TRUE(QFile::copy(database(), damaged));
    damageDatabase(damaged);
    const QString other = dir.file(QStringLiteral("other.db"));
    TSQLiteDatabase(other).executeStatement(QStringLiteral("CREATE TABLE t_chet (id INTEGER)"));
    const QString text = dir.file(QStringLiteral("notes.txt"));
    writeBytes(text, "not a database at all");
    const QString empty = dir.file(QStringLiteral("empty.db"));
    writeBytes(empty, QByteArray());
    const QString folder = dir.file(QStringLiteral("folder.db"));
    ASSERT_TRUE(QDir().mkpath(folder));
    // Journals that lost a column or tables the program reads.
    const auto journalWith = [&](const QString& name, const QString& change) {
        const QString path = dir.file(name);
        EXPECT_TRUE(QFile::copy(database(), path));
        TSQLiteDatabase(path).executeStatement(change);
        return path;
    };
    const QString noProfit = journalWith(QStringLiteral("no-profit.db"), QStringLiteral("ALTER TABLE t_sdelki DROP COLUMN Profit"));
    const QString noNotes = journalWith(QStringLiteral("no-notes.db"), QStringLiteral("DROP TABLE t_zametki"));

    const QByteArray before = readBytes(database());
    struct Case {
        QString file;
        QString reason;
    };
    const std::vector<Case> cases = {
        {damaged, "malformed"},
        {other, "это не база журнала: нет таблиц t_sdelki, t_days, t_zametki"},
        {text, "file is not a database"},
        {empty, "файл пуст (0 байт)"},
        {noProfit, ": это не база журнала: нет столбца Profit в таблице t_sdelki"},
        {noNotes, ": это не база журнала: нет таблицы t_zametki"},
        {folder, folder + ": это папка, а не файл"},
        {QStringLiteral("/dev/null"), "/dev/null: это не обычный файл"},
        {dir.file(QStringLiteral("missing.db")), "нет файла"},
        {database(), "это и есть текущая база данных"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.file.toStdString());
        try {
            restoreDatabase(database(), c.file);
            ADD_FAILURE() << "restored";
        } catch (const BackupError& e) {
            EXPECT_TRUE(e.message().contains(c.reason)) << e.message().toStdString();
        }
        EXPECT_EQ(readBytes(database()), before);
    }
    EXPECT_FALSE(QDir(backupFolder(database())).exists() && !QDir(backupFolder(database())).isEmpty());
}

// A journal of the first schema lacks what the upgrade at opening adds.
TEST_F(BackupTest, AJournalWithoutTheCurrencyAndCashTablesIsWhole)
{
    const QString older = dir.file(QStringLiteral("older.db"));
    ASSERT_TRUE(QFile::copy(database(), older));
    {
        TSQLiteDatabase db(older);
        db.executeStatement(QStringLiteral("DROP TABLE t_kassa"));
        db.executeStatement(QStringLiteral("ALTER TABLE t_chet DROP COLUMN chet_valuta"));
    }
    const JournalFileCheck check = checkJournalFile(older);
    EXPECT_EQ(check.state, JournalFileCheck::State::Whole);
    EXPECT_EQ(check.problem, QString());
}

// What a backup killed in its one step leaves, the copy at full size and
// its journal, goes at the next backup; a copy another program is writing
// holds its lock and stays.
TEST_F(BackupTest, ACopyKilledHalfWayIsClearedByTheNextOne)
{
    {
        TSQLiteDatabase db(database());
        fillTrades(db, 300);
    }
    const QString folder = backupFolder(database());
    ASSERT_TRUE(QDir().mkpath(folder));
    const QString killed = folder + u'/' + backupFileName(QDateTime(QDate(2026, 12, 1), QTime(9, 0))) + QStringLiteral(".part");
    ASSERT_TRUE(QFile::copy(database(), killed));
    writeBytes(killed + QStringLiteral("-journal"), QByteArray(4096, 'j'));
    const QString writing = folder + QStringLiteral("/elsewhere.db.part");
    TSQLiteDatabase other(writing);
    other.executeStatement(QStringLiteral("CREATE TABLE t (x)"));
    other.executeStatement(QStringLiteral("BEGIN EXCLUSIVE"));
    other.executeStatement(QStringLiteral("INSERT INTO t VALUES (1)"));

    const QString copy = makeBackup(database(), QDateTime(QDate(2026, 12, 2), QTime(9, 0)));
    EXPECT_FALSE(QFile::exists(killed));
    EXPECT_FALSE(QFile::exists(killed + QStringLiteral("-journal")));
    EXPECT_TRUE(QFile::exists(writing));
    EXPECT_EQ(journalFileProblem(copy), QString());
    other.executeStatement(QStringLiteral("ROLLBACK"));
}

TEST_F(BackupTest, DatabaseProblemNamesWhatQuickCheckFinds)
{
    {
        TSQLiteDatabase db(database());
        fillTrades(db, 300);
    }
    EXPECT_EQ(databaseProblem(database()), QString());
    damageDatabase(database());
    EXPECT_FALSE(databaseProblem(database()).isEmpty());
    EXPECT_THROW(makeBackup(database()), BackupError);
    EXPECT_EQ(QDir(backupFolder(database())).entryList(QDir::Files), QStringList()) << "no damaged copy kept";
}

// Another connection holds the write lock for a while, as the command-line
// tool or a second program would.
void holdWriteLock(const QString& path, std::chrono::milliseconds howLong, std::atomic<bool>& held)
{
    TSQLiteDatabase other(path);
    other.executeStatement(QStringLiteral("BEGIN EXCLUSIVE"));
    held = true;
    std::this_thread::sleep_for(howLong);
    other.executeStatement(QStringLiteral("ROLLBACK"));
}

TEST_F(BackupTest, AWriteWaitsForALockHeldBrieflyAndFailsWholeOnALongerOne)
{
    TSQLiteDatabase db(database());
    const QString insert = QStringLiteral("INSERT INTO t_chet (chet_name) VALUES (?)");
    {
        std::atomic<bool> held = false;
        std::thread other(holdWriteLock, database(), std::chrono::milliseconds(1000), std::ref(held));
        while (!held)
            std::this_thread::yield();
        EXPECT_NO_THROW(db.executeStatement(insert, {QStringLiteral("после ожидания")}));
        other.join();
    }
    {
        db.setBusyTimeout(300);
        std::atomic<bool> held = false;
        std::thread other(holdWriteLock, database(), std::chrono::milliseconds(1500), std::ref(held));
        while (!held)
            std::this_thread::yield();
        try {
            SqlTransaction t(db);
            db.executeStatement(insert, {QStringLiteral("не записано")});
            t.commit();
            ADD_FAILURE() << "written through a lock";
        } catch (const ESQLiteException& e) {
            EXPECT_TRUE(e.message().contains(QStringLiteral("database is locked"))) << e.message().toStdString();
        }
        other.join();
    }
    EXPECT_EQ(db.openResultTable(QStringLiteral("SELECT chet_name FROM t_chet"))->fieldText("chet_name"),
              QStringLiteral("после ожидания"));
    EXPECT_EQ(db.openResultTable(QStringLiteral("SELECT count(*) AS n FROM t_chet"))->fieldText("n"), "1");
    EXPECT_EQ(db.openResultTable(QStringLiteral("PRAGMA synchronous"))->fieldTextAt(0), "2"); // FULL
}

} // namespace
