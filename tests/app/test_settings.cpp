#include "context/core/settings.h"
#include "db/core/cp1251.h"
#include "temp_journal.h"

#include <QFile>

#include <gtest/gtest.h>

namespace {

const QString kCrLf = QStringLiteral("\r\n");

TEST(Settings, LineBreaksAreEncodedOnOneLine)
{
    const std::vector<std::pair<QString, QString>> cases = {
        {"a\r\nb", "a@13@10b"},
        {"mail@host\r\n@13", "mail@host@13@10@13"},
        {"", ""},
        {"\r\n\r\n", "@13@10@13@10"},
    };
    for (const auto& [text, stored] : cases) {
        EXPECT_EQ(encodeLineBreaks(text), stored);
        EXPECT_EQ(decodeLineBreaks(stored), text);
    }
}

TEST(Settings, ConfigValuesReadBackAsWritten)
{
    TempAppDir dir(false);
    const QString path = dir.file(QStringLiteral("config.ini"));
    Settings s;
    s.activeAccountPosition = 2;
    s.optimization = QStringLiteral("a") + kCrLf + QStringLiteral("b");
    s.currency = QStringLiteral("EURUSD @ утро") + kCrLf + QStringLiteral("вторая строка");
    // A long note comes back whole, line breaks and all: a value read in
    // part would be written back in part at exit.
    for (int i = 0; i < 300; ++i)
        s.timeframe += QStringLiteral("строка заметки %1").arg(i, 3) + kCrLf;
    s.site = QStringLiteral("http://example.org");
    s.updateAddress = QStringLiteral("http://127.0.0.1:8080/down/verj.txt");
    saveSettings(path, s);

    // Windows-1251 on disk, one key per line, all three sections.
    const QByteArray bytes = readBytes(path);
    EXPECT_TRUE(bytes.contains(cp1251::encode(QStringLiteral("[Настройки]\r\nАктивный счет=2\r\n"))));
    EXPECT_TRUE(bytes.contains(cp1251::encode(QStringLiteral("Оптимизация=a@13@10b\r\n"))));
    EXPECT_TRUE(bytes.contains(cp1251::encode(QStringLiteral("[Реклама]\r\nСайт=http://example.org\r\n"))));

    Settings back;
    ASSERT_TRUE(loadSettings(path, back));
    EXPECT_EQ(back.activeAccountPosition, 2);
    EXPECT_EQ(back.optimization, s.optimization);
    EXPECT_EQ(back.currency, s.currency);
    EXPECT_GT(s.timeframe.size(), 5000);
    EXPECT_EQ(back.timeframe, s.timeframe);
    EXPECT_EQ(back.trend, QString());
    EXPECT_EQ(back.site, s.site);
    EXPECT_EQ(back.updateAddress, s.updateAddress);
}

TEST(Settings, WholeNumbersAndMissingFile)
{
    TempAppDir dir(false);
    const QString path = dir.file(QStringLiteral("config.ini"));
    const std::vector<std::pair<const char*, qint64>> cases = {
        {"0x1F", 31}, {"abc", 0}, {"-1", -1}, {"+7", 7}, {"", 0}, {"12abc", 0}, {"$1F", 0},
    };
    for (const auto& [text, expected] : cases) {
        writeBytes(path, cp1251::encode(QStringLiteral("[Настройки]\r\nАктивный счет=%1\r\n").arg(QLatin1String(text))));
        Settings s;
        ASSERT_TRUE(loadSettings(path, s));
        EXPECT_EQ(s.activeAccountPosition, expected) << text;
    }
    QFile::remove(path);
    Settings defaults;
    defaults.optimization = QStringLiteral("stale");
    EXPECT_TRUE(loadSettings(path, defaults));
    EXPECT_EQ(defaults.activeAccountPosition, 0);
    EXPECT_EQ(defaults.optimization, QString());
}

// The start-up option: only "1" opens the last account; 0, an absent key and
// anything else leave the start as it was. It is written back as 1 or 0.
TEST(Settings, OpenLastAccountReadsOneAsOnAndIsWrittenBack)
{
    TempAppDir dir(false);
    const QString path = dir.file(QStringLiteral("config.ini"));
    const std::vector<std::pair<QString, bool>> cases = {
        {QStringLiteral("[Настройки]\r\nОткрыватьПоследнийСчет=1\r\n"), true},
        {QStringLiteral("[Настройки]\r\nОткрыватьПоследнийСчет=0\r\n"), false},
        {QStringLiteral("[Настройки]\r\nАктивный счет=1\r\n"), false},
        {QStringLiteral("[Настройки]\r\nОткрыватьПоследнийСчет=да\r\n"), false},
        {QString(), false},
    };
    for (const auto& [text, on] : cases) {
        writeBytes(path, cp1251::encode(text));
        Settings s;
        ASSERT_TRUE(loadSettings(path, s));
        EXPECT_EQ(s.openLastAccount, on) << text.toStdString();

        // Written at shutdown as read, and read back the same.
        saveSettings(path, s);
        const QByteArray line = cp1251::encode(QStringLiteral("ОткрыватьПоследнийСчет=%1\r\n").arg(on ? 1 : 0));
        EXPECT_TRUE(readBytes(path).contains(line)) << text.toStdString();
        Settings back;
        ASSERT_TRUE(loadSettings(path, back));
        EXPECT_EQ(back.openLastAccount, on) << text.toStdString();
    }
}

TEST(Settings, WritingKeepsWhatOthersPutInTheFile)
{
    TempAppDir dir(false);
    const QString path = dir.file(QStringLiteral("config.ini"));
    writeBytes(path, cp1251::encode(QStringLiteral("; заметка\r\n[Свое]\r\nключ=1\r\n[Настройки]\r\nАктивный счет=5\r\nДругое=x\r\n")));
    Settings s;
    ASSERT_TRUE(loadSettings(path, s));
    s.activeAccountPosition = -1;
    saveSettings(path, s);
    const QString text = cp1251::decode(readBytes(path));
    EXPECT_TRUE(text.startsWith(QStringLiteral("; заметка\r\n[Свое]\r\nключ=1\r\n[Настройки]\r\nАктивный счет=-1\r\nДругое=x\r\n")))
        << text.toStdString();
}

// The window's size and state round-trip through config.ini; keys that are
// absent or do not read keep today's start, maximized at the screen's room.
TEST(Settings, WindowSizeAndStateKeys)
{
    TempAppDir dir(false);
    const QString path = dir.file(QStringLiteral("config.ini"));
    Settings s;
    s.windowWidth = 1000;
    s.windowHeight = 560;
    s.windowMaximized = false;
    saveSettings(path, s);
    EXPECT_TRUE(readBytes(path).contains(
        cp1251::encode(QStringLiteral("Активный счет=0\r\nАдресОбновления=\r\nОткрыватьПоследнийСчет=0\r\nШиринаОкна=1000\r\n"
                                      "ВысотаОкна=560\r\nОкноРазвернуто=0\r\n"))));
    Settings back;
    ASSERT_TRUE(loadSettings(path, back));
    EXPECT_EQ(back.windowWidth, 1000);
    EXPECT_EQ(back.windowHeight, 560);
    EXPECT_EQ(back.windowMaximized, std::optional<bool>(false));

    const QSize room(1024, 570), design(1262, 670);
    struct Case {
        const char* keys; // the lines of section "Настройки"
        int width, height;
        std::optional<bool> maximized;
        QSize startSize;
        bool startMaximized;
    };
    const Case cases[] = {
        {"Активный счет=0", 0, 0, std::nullopt, room, true}, // written by an older program
        {"ОкноРазвернуто=1\r\nШиринаОкна=900\r\nВысотаОкна=500", 900, 500, true, room, true},
        {"ОкноРазвернуто=0\r\nШиринаОкна=900\r\nВысотаОкна=500", 900, 500, false, QSize(900, 500), false},
        {"ОкноРазвернуто=0\r\nШиринаОкна=1900\r\nВысотаОкна=1000", 1900, 1000, false, room, false},
        {"ОкноРазвернуто=0", 0, 0, false, QSize(1024, 570), false},  // the design size, within the room
        {"ОкноРазвернуто=2\r\nШиринаОкна=-5\r\nВысотаОкна=500", 0, 0, std::nullopt, room, true},
        {"ШиринаОкна=abc\r\nВысотаОкна=500", 0, 0, std::nullopt, room, true},
    };
    for (const Case& c : cases) {
        writeBytes(path, cp1251::encode(QStringLiteral("[Настройки]\r\n%1\r\n").arg(QString::fromUtf8(c.keys))));
        Settings read;
        ASSERT_TRUE(loadSettings(path, read));
        EXPECT_EQ(read.windowWidth, c.width) << c.keys;
        EXPECT_EQ(read.windowHeight, c.height) << c.keys;
        EXPECT_EQ(read.windowMaximized, c.maximized) << c.keys;
        const WindowPlacement start = windowPlacementAtStart(read, room, design);
        EXPECT_EQ(start.size, c.startSize) << c.keys;
        EXPECT_EQ(start.maximized, c.startMaximized) << c.keys;
    }
    // A program that never learnt the window's size writes no such keys.
    QFile::remove(path);
    saveSettings(path, Settings{});
    EXPECT_FALSE(cp1251::decode(readBytes(path)).contains(QStringLiteral("Окн")));
}

TEST(DateFile, ReadsWhatIsPresentAndSkipsWhatDoesNotRead)
{
    struct Case {
        QByteArray content;
        std::vector<std::optional<QDate>> dates;
        std::optional<int> page;
    };
    const QDate d1(2013, 7, 3), d2(2013, 7, 10);
    const std::vector<Case> cases = {
        {"03.07.2013\r\n10.07.2013\r\n03.07.2013\r\n10.07.2013\r\n5\r\n", {d1, d2, d1, d2}, 5},
        {"03.07.2013\n10.07.2013\n", {d1, d2, std::nullopt, std::nullopt}, std::nullopt},
        {"garbage\r\n10.07.2013\r\n31.02.2013\r\n\r\nx\r\n", {std::nullopt, d2, std::nullopt, std::nullopt}, std::nullopt},
        {"", {std::nullopt, std::nullopt, std::nullopt, std::nullopt}, std::nullopt},
    };
    for (const Case& c : cases) {
        const DateState s = parseDateFile(c.content);
        for (int i = 0; i < 4; ++i)
            EXPECT_EQ(s.dates[i], c.dates[i]) << c.content.toStdString() << " line " << i;
        EXPECT_EQ(s.page, c.page) << c.content.toStdString();
    }
    TempAppDir dir(false);
    const QString path = dir.file(QStringLiteral("date.txt"));
    EXPECT_EQ(loadDateFile(path).page, std::nullopt); // missing file
    const QDate dates[4] = {d1, d2, d1, d2};
    saveDateFile(path, dates, 3);
    EXPECT_EQ(readBytes(path), QByteArray("03.07.2013\r\n10.07.2013\r\n03.07.2013\r\n10.07.2013\r\n3\r\n"));
}

} // namespace
