// Files that are broken, huge or built to make the searches backtrack: each
// ends with the trades that are there or the refusal, within the limits of
// the searches (nothing here measures time).
#include "import/core/report_file.h"
#include "import/core/trade_extraction.h"

#include "import_test_support.h"
#include "statement_generator.h"
#include "temp_journal.h"

#include <QRandomGenerator>

#include <gtest/gtest.h>

using namespace importtest;

namespace {

QByteArray repeat(const QByteArray& piece, int times)
{
    QByteArray out;
    out.reserve(piece.size() * times);
    for (int i = 0; i < times; ++i)
        out += piece;
    return out;
}

QByteArray binaryBytes(int size)
{
    QByteArray b(size, Qt::Uninitialized);
    QRandomGenerator rnd(3);
    for (char& c : b)
        c = static_cast<char>(rnd.bounded(256));
    return b;
}

QByteArray utf16le(const QString& text)
{
    QByteArray out("\xFF\xFE", 2);
    out.append(reinterpret_cast<const char*>(text.utf16()), text.size() * 2);
    return out;
}

const QByteArray kGood = mt4Row({"1001", "2024.03.01 10:00:00", "buy", "0.10", "eurusd", "1.08000", "1.07500",
                                 "1.09000", "2024.03.01 12:00:00", "1.08500", "-0.70", "0.00", "0.00", "50.00"});

const QByteArray kPosition =
    mt5PositionRow({"2024.03.01 10:00:00", "7001", "EURUSD", "buy", "0.10", "1.08000", "1.07500", "1.09000",
                    "2024.03.01 12:00:00", "1.08500", "-0.70", "0.00", "50.00"});

// A row with thirteen joined cells and one more closing tag: no run of
// fourteen, but a plain search tries every way of splitting the cells.
const QByteArray kSplitBait = "<tr align=right>" + repeat("<td>1.2345</td>", 13) + "</td></tr>\r\n";

QByteArray truncatedMt4()
{
    const QByteArray whole = statementgen::mt4Statement(50, 5).bytes;
    const qsizetype cut = whole.indexOf("</td>", whole.size() / 2);
    return whole.left(cut);
}

QByteArray hugeMt4() // about 50 MB: the trade table of 2 000 trades, 48 times
{
    const QByteArray one = statementgen::mt4Statement(2000, 9).bytes;
    const qsizetype from = one.indexOf("<tr align=right>");
    const qsizetype to = one.indexOf("<tr align=right>\r\n    <td colspan=12");
    return one.left(from) + repeat(one.mid(from, to - from), 48) + one.mid(to);
}

struct HostileCase {
    const char* name;
    QByteArray bytes;
    ReportKind kind;
    int trades;
};

TEST(HostileInput, EndsWithTheTradesThereOrTheRefusal)
{
    const QByteArray mt4Head = mt4Statement("");
    const HostileCase cases[] = {
        {"binary file", binaryBytes(1 << 20), ReportKind::None, 0},
        {"binary after a MetaTrader header", mt4Head + binaryBytes(1 << 20), ReportKind::MetaTrader4, 0},
        {"empty file", "", ReportKind::None, 0},
        {"UTF-16 with an odd byte count", utf16le(QStringLiteral("<b>MetaTrader 5</b>")) + "x", ReportKind::MetaTrader5,
         0},
        {"statement cut in the middle of a row", truncatedMt4(), ReportKind::MetaTrader4, -1},
        {"a 50 MB statement", hugeMt4(), ReportKind::MetaTrader4, 2000 * 48},
        {"thousands of <td> without </td>",
         mt4Statement("<tr align=right>" + repeat("<td>1.2345", 200000) + "</td></tr>" + kGood), ReportKind::MetaTrader4, 1},
        {"a row that never closes",
         mt4Statement(kGood + "<tr align=right>" + repeat("<td>1</td>", 500000)).replace("</table>", ""),
         ReportKind::MetaTrader4, 1},
        {"many rows that never close", mt4Statement(repeat("<tr align=right><td>1", 200000) + kGood),
         ReportKind::MetaTrader4, 1},
        {"cell tags that never close", mt4Statement("<tr align=right>" + repeat("<td class=x", 300000) + "</tr>" + kGood),
         ReportKind::MetaTrader4, 1},
        {"rows built to split every way", mt4Statement(repeat(kSplitBait, 20000) + kGood), ReportKind::MetaTrader4, 1},
        {"one row of a million cells", mt4Statement("<tr align=right>" + repeat("<td>1</td>", 1000000) + "</tr>"),
         ReportKind::MetaTrader4, 1000000 / 14},
        {"MT5 deal cells that never close",
         mt5Report("<tr align=\"right\">out" + repeat("<td nowrap>1", 200000) + "</td></tr>"), ReportKind::MetaTrader5, 0},
        {"MT5 tags without an end",
         mt5Report("<tr align=\"right\">out" + repeat("<td x", 300000) + "</td></tr>"), ReportKind::MetaTrader5, 0},
        {"MT5 rows built to split every way",
         mt5Report(repeat("<tr align=\"right\">out" + repeat("<td nowrap>1</td>", 10) + "</td></tr>", 20000)),
         ReportKind::MetaTrader5, 0},
        {"MT5 position-shaped rows of cells that never open",
         mt5Report("<tr align=\"right\">" + repeat("<td x", 300000) + repeat("</td>", 14) + "</tr>"),
         ReportKind::MetaTrader5, 0},
        {"MT5 position-shaped row of nested cells",
         mt5Report("<tr align=\"right\">" + repeat("<td>", 300000) + repeat("1</td>", 14) + "</tr>"),
         ReportKind::MetaTrader5, 0},
        {"MT5 positions by the ten thousand", mt5Report(repeat(kPosition, 10000)), ReportKind::MetaTrader5, 10000},
        {"a huge tag soup without generator", repeat("<td><tr align=right><td x", 400000), ReportKind::None, 0},
    };
    TempAppDir dir(false);
    for (const HostileCase& c : cases) {
        const QString path = dir.file(QStringLiteral("hostile.htm"));
        writeBytes(path, c.bytes);
        const QByteArray text = readTextFile(path);
        const ReportKind kind = recognizeReport(text);
        EXPECT_EQ(kind, c.kind) << c.name;
        const Extraction e = extractTrades(text, kind);
        EXPECT_EQ(e.problem, QString()) << c.name;
        if (c.trades >= 0)
            EXPECT_EQ(static_cast<int>(e.rows.size()), c.trades) << c.name;
        else
            EXPECT_GT(e.rows.size(), 0u) << c.name;
    }
}

TEST(HostileInput, ALimitReachedIsAProblemNotAnEmptyStatement)
{
    // Limits far below what a statement needs stand in for a search that
    // would not end.
    const RegexLimits tiny{1, 0};
    const QByteArray text = decodeReportBytes(mt4Statement(kGood + kGood));
    const Extraction e = extractTrades(text, ReportKind::MetaTrader4, nullptr, tiny);
    EXPECT_NE(e.problem, QString());
    EXPECT_EQ(e.problem.left(27), QStringLiteral("Отчет разобран не полностью"));

    const Extraction five = extractTrades(decodeReportBytes(mt5Report("<tr align=\"right\">out</tr>")),
                                          ReportKind::MetaTrader5, nullptr, tiny);
    EXPECT_NE(five.problem, QString());
}

TEST(HostileInput, AFileTooLargeIsRefusedBeforeReading)
{
    TempAppDir dir(false);
    const QString path = dir.file(QStringLiteral("big.htm"));
    {
        QFile f(path);
        ASSERT_TRUE(f.open(QIODevice::WriteOnly));
        ASSERT_TRUE(f.resize(kMaxReportFileSize + 1)); // sparse: no disk used
    }
    EXPECT_THROW(readTextFile(path), ReportReadError);
}

} // namespace
