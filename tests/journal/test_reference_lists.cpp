#include "journal/core/reference_lists.h"
#include "db/core/cp1251.h"
#include "temp_journal.h"

#include <QDir>

#include <gtest/gtest.h>

TEST(ReferenceLists, FileFormat)
{
    const QStringList expected = {"H1", "", "M5"};
    for (const QByteArray& bytes : {QByteArray("H1\r\n\r\nM5\r\n"), QByteArray("H1\n\nM5"), QByteArray("H1\r\rM5\r")})
        EXPECT_EQ(parseListFile(bytes), expected) << bytes.toStdString();
    EXPECT_EQ(parseListFile(QByteArray()), QStringList());
    EXPECT_EQ(listFileBytes({"Пробой", "", "x"}), cp1251::encode(QStringLiteral("Пробой\r\n\r\nx\r\n")));
}

TEST(ReferenceLists, SortingAndAddingIgnoreLetterCase)
{
    QStringList entries = {"пробой", "Ёлка", "Вход", "аналитика", "Б"};
    sortEntries(entries);
    EXPECT_EQ(entries, QStringList({"аналитика", "Б", "Вход", "Ёлка", "пробой"}));
    EXPECT_FALSE(addEntry(entries, QStringLiteral("ПРОБОЙ")));
    EXPECT_FALSE(addEntry(entries, QString()));
    EXPECT_TRUE(addEntry(entries, QStringLiteral("Гэп")));
    EXPECT_EQ(entries, QStringList({"аналитика", "Б", "Вход", "Гэп", "Ёлка", "пробой"}));
}

TEST(ReferenceLists, LoadsExistingFilesAndWritingCreatesTheFolder)
{
    TempAppDir dir(false);
    writeBytes(ReferenceLists::filePath(dir.path(), ListId::Timeframe), "M5\nH1\n");
    ReferenceLists lists;
    EXPECT_TRUE(lists.loadAll(dir.path()));
    EXPECT_EQ(lists.entries(ListId::Timeframe), QStringList({"H1", "M5"}));
    EXPECT_EQ(lists.entries(ListId::Enter), QStringList());

    QDir(dir.file(QStringLiteral("sprav"))).removeRecursively();
    ReferenceLists::writeList(ReferenceLists::filePath(dir.path(), ListId::Psixo), {"Страх"});
    EXPECT_EQ(readBytes(dir.file(QStringLiteral("sprav/Психо.txt"))), cp1251::encode(QStringLiteral("Страх\r\n")));
}
