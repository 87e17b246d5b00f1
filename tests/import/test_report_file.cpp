// Reading statement files and recognising which terminal wrote them.
#include "import/core/report_file.h"

#include "import_test_support.h"
#include "temp_journal.h"

#include <QDir>
#include <QFile>

#include <gtest/gtest.h>

#include <sys/stat.h>

namespace {

QByteArray utf16(const QString& text, bool littleEndian)
{
    QByteArray out = littleEndian ? QByteArray("\xFF\xFE", 2) : QByteArray("\xFE\xFF", 2);
    for (const QChar c : text) {
        const char lo = static_cast<char>(c.unicode() & 0xFF), hi = static_cast<char>(c.unicode() >> 8);
        out.append(littleEndian ? lo : hi).append(littleEndian ? hi : lo);
    }
    return out;
}

struct DecodeCase {
    const char* name;
    QByteArray bytes;
    QByteArray text;
};

TEST(ReadTextFile, DecodesByByteOrderMarkAndEndsEveryLineWithCrLf)
{
    const DecodeCase cases[] = {
        {"UTF-16LE with BOM", utf16(QStringLiteral("<td>Ж</td>\nMetaTrader 5"), true),
         "<td>\xC6</td>\r\nMetaTrader 5\r\n"},
        {"UTF-16BE with BOM", utf16(QStringLiteral("Цена\r\n€"), false), "\xD6\xE5\xED\xE0\r\n\x88\r\n"},
        {"UTF-16LE odd byte count drops the half character", utf16(QStringLiteral("ab"), true) + "c", "ab\r\n"},
        {"UTF-8 with BOM", "\xEF\xBB\xBF\xD0\x96 \xE2\x82\xAC", "\xC6 \x88\r\n"},
        {"UTF-8 without BOM stays bytes", "<b>\xD0\x96</b>", "<b>\xD0\x96</b>\r\n"},
        {"Windows-1251 bytes", "\xCF\xF0\xE8\xE1\xFB\xEB\xFC", "\xCF\xF0\xE8\xE1\xFB\xEB\xFC\r\n"},
        {"characters Windows-1251 lacks", utf16(QStringLiteral("a中b") + QString::fromUtf8("\xF0\x9F\x98\x80"), true),
         "a?b?\r\n"},
        {"CR, LF and CR LF all end lines", "a\rb\nc\r\nd", "a\r\nb\r\nc\r\nd\r\n"},
        {"empty lines are kept", "a\n\n\r\rb\n", "a\r\n\r\n\r\n\r\nb\r\n"},
        {"text in CR LF already", "a\r\n\r\nb\r\n", "a\r\n\r\nb\r\n"},
        {"a CR before CR LF", "a\r\r\nb\r\n", "a\r\n\r\nb\r\n"},
        {"an LF after CR LF", "a\r\n\nb\r\n", "a\r\n\r\nb\r\n"},
        {"a NUL ends the text", QByteArray("abc\ndef\0ghi\n", 12), "abc\r\ndef\r\n"},
        {"a NUL character in UTF-16", utf16(QStringLiteral("ab") + QChar(0) + QStringLiteral("cd"), true), "ab\r\n"},
        {"empty file", "", ""},
        {"only a BOM", "\xFF\xFE", ""},
    };
    for (const DecodeCase& c : cases)
        EXPECT_EQ(decodeReportBytes(c.bytes), c.text) << c.name;
}

TEST(ReadTextFile, ReadsAFileAndReportsOneItCannotRead)
{
    TempAppDir dir(false);
    writeBytes(dir.file(QStringLiteral("s.htm")), "x\ny");
    EXPECT_EQ(readTextFile(dir.file(QStringLiteral("s.htm"))), QByteArray("x\r\ny\r\n"));

    for (const QString& path : {dir.file(QStringLiteral("missing.htm")), dir.path()}) {
        try {
            readTextFile(path);
            ADD_FAILURE() << "no error for " << path.toStdString();
        } catch (const ReportReadError& e) {
            EXPECT_TRUE(e.message().contains(path)) << e.message().toStdString();
        }
    }
}

// A device has no size to check and never ends; a pipe blocks the open
// until someone writes. Each is refused before a byte is read.
TEST(ReadTextFile, RefusesWhatIsNotARegularFile)
{
    TempAppDir dir(false);
    const QString fifo = dir.file(QStringLiteral("pipe.htm"));
    ASSERT_EQ(::mkfifo(QFile::encodeName(fifo).constData(), 0600), 0);
    const QString link = dir.file(QStringLiteral("zero.htm"));
    ASSERT_TRUE(QFile::link(QStringLiteral("/dev/zero"), link));
    for (const QString& path : {QStringLiteral("/dev/zero"), QStringLiteral("/dev/urandom"), fifo, link}) {
        SCOPED_TRACE(path.toStdString());
        try {
            readTextFile(path);
            ADD_FAILURE() << "read";
        } catch (const ReportReadError& e) {
            EXPECT_EQ(e.message(), QStringLiteral("Не удалось прочитать файл \"%1\": это не обычный файл").arg(path));
        }
    }
}

struct KindCase {
    const char* name;
    QByteArray text;
    ReportKind kind;
};

TEST(RecognizeReport, TestsTheGeneratorTextsInOrder)
{
    const QByteArray mt4Table = importtest::mt4Statement(importtest::mt4Row({"1"})).replace(
        "<meta name=\"generator\" content=\"MetaQuotes Software Corp.\">", "");
    const KindCase cases[] = {
        {"MT4 generator", "<meta name=\"generator\" content=\"MetaQuotes Software Corp.\">", ReportKind::MetaTrader4},
        {"a text that mentions it", "written by MetaQuotes Software Corp. once", ReportKind::MetaTrader4},
        {"both texts: MT4 wins", "MetaTrader 5 ... MetaQuotes Software Corp.", ReportKind::MetaTrader4},
        {"MT5", "<title>MetaTrader 5</title>", ReportKind::MetaTrader5},
        {"case matters", "metaquotes software corp. metatrader 5", ReportKind::None},
        {"neither", "<html><body>hello</body></html>", ReportKind::None},
        {"nothing loaded", "", ReportKind::None},
        {"MT4 trade table without the generator line", mt4Table, ReportKind::MetaTrader4},
        {"the header alone is no statement", QByteArray(mt4Table).replace("align=right", "align=left"),
         ReportKind::None},
        {"a Strategy Tester report", "<title>Strategy Tester: MACD Sample</title>"
                                     "<meta name=\"generator\" content=\"MetaQuotes Software Corp.\">",
         ReportKind::None},
        {"MT5 tester", "<meta name=\"generator\" content=\"strategy tester\">MetaTrader 5", ReportKind::None},
    };
    for (const KindCase& c : cases)
        EXPECT_EQ(recognizeReport(c.text), c.kind) << c.name;
}

TEST(RecognizeReport, RealStatements)
{
    const std::pair<const char*, ReportKind> cases[] = {
        {"mt4_reuniware_DetailedStatement.htm", ReportKind::MetaTrader4},
        {"mt4_yinglli_DetailedStatement.htm", ReportKind::MetaTrader4},
        {"mt4_oanda_if709652_Statement.htm", ReportKind::MetaTrader4},
        {"mt5_tester_didinska_ReportTester_build6104.html", ReportKind::None},
    };
    int found = 0;
    for (const auto& [name, kind] : cases) {
        const QString path = importtest::fixture(QString::fromLatin1(name));
        if (path.isEmpty())
            continue;
        ++found;
        EXPECT_EQ(recognizeReport(readTextFile(path)), kind) << name;
    }
    if (!found)
        GTEST_SKIP() << "no real statements in " TJ_FIXTURES_DIR;
}

TEST(RecognizeReport, Mt5TemplateFilledInIsReadAsUtf16AndRecognised)
{
    const QByteArray bytes = importtest::filledMt5Template(QStringLiteral("mt5_template_ReportHistory_2020.htm"), {});
    if (bytes.isEmpty())
        GTEST_SKIP() << "no MT5 template in " TJ_FIXTURES_DIR;
    EXPECT_EQ(recognizeReport(decodeReportBytes(bytes)), ReportKind::MetaTrader5);
}

} // namespace
