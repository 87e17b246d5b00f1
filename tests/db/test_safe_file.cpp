// Files written whole or not at all, and damaged state files kept aside.
#include "db/core/safe_file.h"
#include "temp_journal.h"

#include <QDir>
#include <QFile>

#include <gtest/gtest.h>

#include <csignal>
#include <sys/mount.h>
#include <sys/resource.h>

namespace {

// A disk that fills up: a small tmpfs where this process may mount one,
// else a limit on the size of the files it writes (the write fails the same
// way, only with "File too large"). Nothing when neither can be had.
class FullDisk {
public:
    explicit FullDisk(const QString& folder)
        : m_folder(folder)
    {
        if (::mount("tmpfs", QFile::encodeName(folder).constData(), "tmpfs", 0, "size=64k") == 0) {
            m_mounted = true;
            return;
        }
        ::getrlimit(RLIMIT_FSIZE, &m_oldLimit);
        rlimit small = m_oldLimit;
        small.rlim_cur = 2048;
        m_oldSignal = std::signal(SIGXFSZ, SIG_IGN);
        m_limited = ::setrlimit(RLIMIT_FSIZE, &small) == 0;
    }
    ~FullDisk()
    {
        if (m_mounted)
            ::umount2(QFile::encodeName(m_folder).constData(), MNT_DETACH);
        if (m_limited)
            ::setrlimit(RLIMIT_FSIZE, &m_oldLimit);
        std::signal(SIGXFSZ, m_oldSignal);
    }
    bool available() const { return m_mounted || m_limited; }
    // Fills what is left of the disk.
    void fill()
    {
        if (!m_mounted)
            return;
        QFile filler(m_folder + QStringLiteral("/filler"));
        ASSERT_TRUE(filler.open(QIODevice::WriteOnly | QIODevice::Unbuffered));
        const QByteArray block(4096, 'f');
        while (filler.write(block) == block.size()) {
        }
    }

private:
    QString m_folder;
    bool m_mounted = false;
    bool m_limited = false;
    rlimit m_oldLimit{};
    void (*m_oldSignal)(int) = SIG_DFL;
};

TEST(WriteFileAtomically, AFullDiskKeepsTheOldFileAndReportsTheFailure)
{
    TempAppDir dir(false);
    const QString folder = dir.file(QStringLiteral("disk"));
    ASSERT_TRUE(QDir().mkpath(folder));
    const QString target = folder + QStringLiteral("/config.ini");
    const QByteArray old = "[Настройки]\r\nАктивный счет=2\r\n";
    // Sizes under and over the 16 KB that QSaveFile keeps in its buffer.
    for (const qsizetype size : {qsizetype(10 * 1024), qsizetype(100 * 1024)}) {
        SCOPED_TRACE(size);
        FullDisk disk(folder);
        if (!disk.available())
            GTEST_SKIP() << "no way to make a full disk here";
        writeBytes(target, old);
        disk.fill();
        EXPECT_THROW(writeFileAtomically(target, QByteArray(size, 'x')), FileWriteError);
        EXPECT_EQ(readBytes(target), old);
        QStringList left = QDir(folder).entryList(QDir::Files);
        left.removeAll(QStringLiteral("filler"));
        EXPECT_EQ(left, QStringList{"config.ini"}) << "no temporary file is left";
        QFile::remove(folder + QStringLiteral("/filler"));
        QFile::remove(target);
    }
}

TEST(KeepDamagedCopy, ADamagedFileIsCopiedAsideWithoutOverwritingAnEarlierCopy)
{
    TempAppDir dir(false);
    const QString file = dir.file(QStringLiteral("txt/TreeView1.txt"));
    const auto read = [](QByteArrayView data) {
        if (!data.startsWith("TPF0"))
            throw JournalError(QStringLiteral("broken"));
    };
    EXPECT_EQ(keepDamagedCopy(file, read), QString()); // missing
    writeBytes(file, "TPF0 whole");
    EXPECT_EQ(keepDamagedCopy(file, read), QString());
    EXPECT_FALSE(QFile::exists(file + ".damaged"));

    writeBytes(file, "broken one");
    EXPECT_EQ(keepDamagedCopy(file, read), file + ".damaged");
    writeBytes(file, "broken two");
    EXPECT_EQ(keepDamagedCopy(file, read), file + ".damaged.2");
    EXPECT_EQ(readBytes(file + ".damaged"), "broken one");
    EXPECT_EQ(readBytes(file + ".damaged.2"), "broken two");
    EXPECT_EQ(readBytes(file), "broken two");
}

} // namespace
