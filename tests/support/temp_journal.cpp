#include "temp_journal.h"

#include "db/core/schema_setup.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>

#include <gtest/gtest.h>

TempAppDir::TempAppDir(bool withDatabase)
{
    EXPECT_TRUE(m_dir.isValid());
    m_path = m_dir.path();
    QDir dir(m_path);
    for (const char* sub : {"sprav", "txt", "img"})
        dir.mkpath(QString::fromLatin1(sub));
    if (withDatabase) {
        QFile schema(QStringLiteral(TJ_SCHEMA_SQL));
        EXPECT_TRUE(schema.open(QIODevice::ReadOnly));
        createDatabaseFromSchema(file(QStringLiteral("datamoney.db")), QString::fromUtf8(schema.readAll()));
    }
}

std::unique_ptr<Journal> TempAppDir::openJournal() const
{
    auto journal = std::make_unique<Journal>(m_path);
    journal->openDatabase();
    return journal;
}

void writeBytes(const QString& path, const QByteArray& bytes)
{
    QDir().mkpath(QFileInfo(path).absolutePath());
    QFile f(path);
    ASSERT_TRUE(f.open(QIODevice::WriteOnly)) << path.toStdString();
    ASSERT_EQ(f.write(bytes), bytes.size());
}

QByteArray readBytes(const QString& path)
{
    QFile f(path);
    if (!f.open(QIODevice::ReadOnly))
        return QByteArray();
    return f.readAll();
}
