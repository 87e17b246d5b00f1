// Finding the closed trades of MetaTrader 4 and 5 statements.
#include "import/core/cell_runs.h"
#include "import/core/report_file.h"
#include "import/core/trade_extraction.h"

#include "import_test_support.h"
#include "statement_generator.h"
#include "temp_journal.h"

#include <QRandomGenerator>

#include <gtest/gtest.h>

using namespace importtest;

namespace {

const QStringList kTrade = {"1001", "2024.03.01 10:00:00", "buy", "0.10", "eurusd", "1.08000", "1.07500",
                            "1.09000", "2024.03.01 12:00:00", "1.08500", "-0.70", "0.00", "0.00", "50.00"};

QStringList withCell(QStringList cells, int index, const QString& text)
{
    cells[index] = text;
    return cells;
}

std::vector<StatementRow> mt4(const QByteArray& rows)
{
    const Extraction e = extractTrades(decodeReportBytes(mt4Statement(rows)), ReportKind::MetaTrader4);
    EXPECT_EQ(e.problem, QString());
    return e.rows;
}

std::vector<StatementRow> mt5(const QByteArray& rows)
{
    const Extraction e = extractTrades(decodeReportBytes(mt5Report(rows)), ReportKind::MetaTrader5);
    EXPECT_EQ(e.problem, QString());
    return e.rows;
}

TEST(ExtractMt4, MapsTheFourteenCellsOfAClosedTrade)
{
    const auto rows = mt4(mt4Row(kTrade));
    ASSERT_EQ(rows.size(), 1u);
    EXPECT_EQ(texts(rows[0]), (QStringList{"", "1", "1001", "2024.03.01 10:00:00", "buy", "0.10", "eurusd",
                                           "1.08000", "1.07500", "1.09000", "2024.03.01 12:00:00", "1.08500",
                                           "-0.70", "0.00", "0.00", "50.00"}));
}

TEST(ExtractMt4, ListsClosedTradesOnly)
{
    struct Case {
        const char* name;
        QByteArray rows;
        std::vector<QString> tickets;
    };
    const Case cases[] = {
        {"an open position (close time &nbsp;)", mt4Row(withCell(kTrade, 8, "&nbsp;")), {}},
        {"a cancelled order: its last cells joined",
         "<tr align=right><td>7</td><td>t</td><td>buy limit</td><td>0.10</td><td>eurusd</td><td>1</td><td>0</td>"
         "<td>0</td><td>2024.03.01 12:00:00</td><td>1.1</td><td colspan=4>cancelled</td></tr>",
         {}},
        {"a balance row", "<tr align=right><td>8</td><td>t</td><td>balance</td><td colspan=10>Deposit</td>"
                          "<td>1 000.00</td></tr>",
         {}},
        {"no ticket", mt4Row(withCell(kTrade, 0, "")), {}},
        {"a close time of blanks is a close time", mt4Row(withCell(kTrade, 8, " ")), {"1001"}},
        {"two runs of fourteen cells in one row", mt4Row(kTrade + withCell(kTrade, 0, "1002")), {"1001", "1002"}},
        {"a row of 27 cells gives one trade", mt4Row(kTrade + kTrade.mid(1)), {"1001"}},
        {"rows of a row-less table are skipped", "<tr align=left><td>1</td></tr>" + mt4Row(kTrade), {"1001"}},
        {"upper-case tags", mt4Row(kTrade).replace("<td>", "<TD>").replace("</td>", "</TD>").replace("align=right",
                                                                                                       "ALIGN=RIGHT"),
         {"1001"}},
        {"MT5's quoted attribute is not MT4's", mt4Row(kTrade).replace("align=right", "align=\"right\""), {}},
        {"a row without its end", QByteArray(mt4Row(kTrade)).replace("</tr>", ""), {}},
    };
    for (const Case& c : cases)
        EXPECT_EQ(column(mt4(c.rows), StatementRow::Ticket), c.tickets) << c.name;
}

TEST(ExtractMt4, ReadsCellsWithAttributesAsPlainCells)
{
    const QByteArray row =
        "<tr bgcolor=#E0E0E0 align=right><td title=\"[tp]\">1001</td><td class=msdate nowrap>2024.03.01 10:00:00</td>"
        "<td>buy</td><td class=mspt>0.10</td><td colspan=1>eurusd</td>"
        "<td style=\"mso-number-format:0\\.00000;\">1.08000</td><td>1.07500</td><td>1.09000</td>"
        "<td nowrap>2024.03.01 12:00:00</td><td>1.08500</td><td class=mspt>-0.70</td><td>0.00</td>"
        "<td class=mspt>0.00</td><td class=mspt><b>50.00</b></td></tr>";
    const auto rows = mt4(row);
    ASSERT_EQ(rows.size(), 1u);
    EXPECT_EQ(rows[0][StatementRow::Ticket], "1001");
    EXPECT_EQ(rows[0][StatementRow::PriceOpen], "1.08000");
    EXPECT_EQ(rows[0][StatementRow::Profit], "<b>50.00</b>"); // markup inside a cell stays
}

TEST(ExtractMt4, RemovesBlanksFromCommissionSwapAndProfitOnly)
{
    QStringList cells = kTrade;
    cells[10] = "-1 000.50";
    cells[11] = "1 000.00";
    cells[12] = "-2 345.10";
    cells[13] = "1 234.56";
    const auto rows = mt4(mt4Row(cells));
    ASSERT_EQ(rows.size(), 1u);
    EXPECT_EQ(rows[0][StatementRow::Commission], "-1000.50");
    EXPECT_EQ(rows[0][StatementRow::Taxes], "1 000.00");
    EXPECT_EQ(rows[0][StatementRow::Swap], "-2345.10");
    EXPECT_EQ(rows[0][StatementRow::Profit], "1234.56");
}

TEST(ExtractMt4, NumbersRunAcrossTableRowsAndWindows1251TextIsKept)
{
    const auto rows = mt4(mt4Row(kTrade) + mt4Row(withCell(kTrade, 8, "&nbsp;"))
                          + mt4Row(withCell(withCell(kTrade, 0, "1003"), 4, "Евро")));
    EXPECT_EQ(column(rows, StatementRow::Number), (std::vector<QString>{"1", "2"}));
    EXPECT_EQ(column(rows, StatementRow::Item), (std::vector<QString>{"eurusd", "Евро"}));
}

TEST(ExtractMt4, NoClosedTradesGivesNoRows)
{
    EXPECT_EQ(mt4("").size(), 0u);
    EXPECT_EQ(extractTrades("align=right><td>1</td></tr>", ReportKind::None).rows.size(), 0u);
}

const QStringList kDeal13 = {"2024.03.01 12:00:00", "5001", "EURUSD", "sell", "out", "0.10", "1.08500",
                             "6001", "-0.35", "-1 234.10", "2 050.00", "12 050.00", "[tp]"};

// Time, Position, Symbol, Type, Volume, Price, S / L, T / P, Time, Price, Commission, Swap, Profit.
const QStringList kPosition = {"2024.03.01 10:00:00", "7001", "EURUSD", "buy", "0.10", "1.08000", "1.07500",
                               "1.09000", "2024.03.01 12:00:00", "1.08500", "-0.70", "-1 234.10", "2 050.00"};

TEST(ExtractMt5, AClosedPositionIsOneTradeFromItsOpeningToItsClose)
{
    // The closing deal of the same position follows in the deals table; it is not listed again.
    const auto rows = mt5(mt5PositionRow(kPosition, "[tp 1.09000]") + mt5Row(kDeal13));
    ASSERT_EQ(rows.size(), 1u);
    EXPECT_EQ(texts(rows[0]), (QStringList{"", "1", "7001", "2024.03.01 10:00:00", "buy", "0.10", "EURUSD",
                                           "1.08000", "1.07500", "1.09000", "2024.03.01 12:00:00", "1.08500",
                                           "-0.70", "0", "-1234.10", "2050.00"}));
}

TEST(ExtractMt5, KnowsThePositionsTableByTheShapeOfItsRows)
{
    struct Case {
        const char* name;
        QByteArray rows;
        std::vector<QString> tickets;
    };
    const QByteArray shown = QByteArray(mt5PositionRow(kPosition, "manual")).replace("class=\"hidden\"", "class=\"\"");
    const Case cases[] = {
        {"a heading in any language", "<tr align=\"center\"><th colspan=\"14\">Позиции</th></tr>\r\n"
                                      + mt5PositionRow(kPosition), {"7001"}},
        {"the comment cell shown", shown, {"7001"}},
        {"times without seconds",
         mt5PositionRow(withCell(withCell(kPosition, 0, "2024.03.01 10:00"), 8, "2024.03.01 12:00")), {"7001"}},
        {"SELL in capitals", mt5PositionRow(withCell(kPosition, 3, "SELL")), {"7001"}},
        {"an open position (12 cells, no close time)",
         mt5Row({"2024.03.01 10:00:00", "7002", "EURUSD", "buy", "0.10", "1.08", "0", "0", "1.09", "0.00", "5.00", ""}),
         {}},
        {"not buy or sell", mt5PositionRow(withCell(kPosition, 3, "buy limit")), {}},
        {"no position number", mt5PositionRow(withCell(kPosition, 1, "")), {}},
        {"no close time", mt5PositionRow(withCell(kPosition, 8, "")), {}},
        {"a cell more", mt5PositionRow(kPosition + QStringList{"x"}), {}},
        {"a deal of 14 cells (Fee after Commission)",
         mt5Row(kDeal13.mid(0, 9) + QStringList{"-0.10", "0.00", "5.00", "100.00", ""}), {"5001"}},
    };
    for (const Case& c : cases)
        EXPECT_EQ(column(mt5(c.rows), StatementRow::Ticket), c.tickets) << c.name;
}

TEST(ExtractMt5, APositionClosedInPartsHasTheClosedVolume)
{
    // The terminal writes "closed / initial".
    const auto rows = mt5(mt5PositionRow(withCell(kPosition, 4, "0.2 / 0.2"))
                          + mt5PositionRow(withCell(withCell(kPosition, 1, "7002"), 4, "0.05 / 0.1")));
    EXPECT_EQ(column(rows, StatementRow::Size), (std::vector<QString>{"0.2", "0.05"}));
}

TEST(ExtractMt5Deals, MapsTheElevenCellsOfAnOutDeal)
{
    const auto rows = mt5(mt5Row(kDeal13));
    ASSERT_EQ(rows.size(), 1u);
    EXPECT_EQ(texts(rows[0]), (QStringList{"", "1", "5001", "2024.03.01 12:00:00", "sell", "0.10", "EURUSD",
                                           "1.08500", "0", "0", "0", "0", "-0.35", "0", "-1234.10", "2050.00"}));
}

TEST(ExtractMt5Deals, TakesDealRowsThatMentionOut)
{
    struct Case {
        const char* name;
        QByteArray rows;
        std::vector<QString> tickets;
    };
    const Case cases[] = {
        {"an in deal", mt5Row(withCell(kDeal13, 4, "in")), {}},
        {"an in/out deal", mt5Row(withCell(kDeal13, 4, "in/out")), {"5001"}},
        {"\"out\" is case-sensitive", mt5Row(withCell(kDeal13, 4, "OUT")), {}},
        {"cells without nowrap", QByteArray(mt5Row(kDeal13)).replace("<td nowrap>", "<td>"), {}},
        {"NOWRAP in capitals", QByteArray(mt5Row(kDeal13)).replace("<td nowrap>", "<TD NOWRAP>"), {"5001"}},
        {"no time", mt5Row(withCell(kDeal13, 0, "")), {}},
        {"MT4's unquoted attribute", QByteArray(mt5Row(kDeal13)).replace("\"right\"", "right"), {}},
        {"fewer than eleven cells", mt5Row(kDeal13.mid(0, 10)), {}},
    };
    for (const Case& c : cases)
        EXPECT_EQ(column(mt5(c.rows), StatementRow::Ticket), c.tickets) << c.name;
}

TEST(ExtractMt5Deals, NewerDealRowsAddTheFeeToTheCommission)
{
    // Time, Deal, Symbol, Type, Direction, Volume, Price, Order, [Cost], Commission, Fee, Swap, Profit,
    // Balance, Comment.
    const QStringList head = kDeal13.mid(0, 8);
    const QStringList fee15 = head + QStringList{"0.00", "-0.35", "-0.10", "-1 234.10", "2 050.00", "12 050.00", ""};
    const QStringList fee14 = head + QStringList{"-0.35", "-0.15", "1.20", "-3.00", "12 050.00", "x"};
    const QStringList noFee = head + QStringList{"", "-1.5", "0.00", "0.00", "7.25", "12 050.00", ""};
    const auto rows = mt5(mt5Row(fee15, 8) + mt5Row(fee14) + mt5Row(noFee, 8));
    ASSERT_EQ(rows.size(), 3u);
    EXPECT_EQ(column(rows, StatementRow::Commission), (std::vector<QString>{"-0.45", "-0.50", "-1.5"}));
    EXPECT_EQ(column(rows, StatementRow::Swap), (std::vector<QString>{"-1234.10", "1.20", "0.00"}));
    EXPECT_EQ(column(rows, StatementRow::Profit), (std::vector<QString>{"2050.00", "-3.00", "7.25"}));
    EXPECT_EQ(rows[0][StatementRow::PriceOpen], "1.08500");
}

TEST(ExtractMt5, TerminalTemplatesFilledIn)
{
    const Deal out = {{"TIME", "2024.03.01 12:00:00"}, {"DEAL", "5001"},     {"SYMBOL", "EURUSD"},
                      {"TYPE", "sell"},                {"DIRECTION", "out"}, {"VOLUME", "0.10"},
                      {"PRICE", "1.08500"},            {"ORDER", "6001"},    {"COST", "0.00"},
                      {"COMMISSION", "-0.35"},         {"FEE", "-0.05"},     {"STORAGE", "-1.20"},
                      {"PROFIT", "1 050.00"},          {"BALANCE", "11 050.00"}};
    Deal in = out;
    in["DIRECTION"] = "in";
    in["DEAL"] = "5000";
    in["TYPE"] = "buy";
    const Position position = {{"TIME", "2024.03.01 10:00:00"}, {"POSITION", "7001"},
                               {"SYMBOL", "EURUSD"},            {"TYPE", "buy"},
                               {"COMMENT", "[tp 1.08500]"},     {"VOLUME", "0.1 / 0.1"},
                               {"PRICE", "1.07450"},            {"SL", "1.07000"},
                               {"TP", "1.08500"},               {"TIME_CLOSE", "2024.03.01 12:00:00"},
                               {"PRICE_CLOSE", "1.08500"},      {"COMMISSION", "-0.70"},
                               {"SWAP", "-1.20"},               {"PROFIT", "1 050.00"}};
    const QStringList positionRow = {"", "1", "7001", "2024.03.01 10:00:00", "buy", "0.1", "EURUSD", "1.07450",
                                     "1.07000", "1.08500", "2024.03.01 12:00:00", "1.08500", "-0.70", "0", "-1.20",
                                     "1050.00"};
    struct Case {
        const char* name;
        QByteArray report;
        QStringList row;
    };
    const Case cases[] = {
        {"2020 with positions", filledMt5Template("mt5_template_ReportHistory_2020.htm", {in, out}, {position}),
         positionRow},
        {"2023 with positions", filledMt5Template("mt5_template_ReportHistory_2023.htm", {in, out}, {position}),
         positionRow},
        // Without a Positions table the closing deal is the trade; the newer
        // template's Fee joins the commission.
        {"2020 deals only", filledMt5Template("mt5_template_ReportHistory_2020.htm", {in, out}),
         {"", "1", "5001", "2024.03.01 12:00:00", "sell", "0.10", "EURUSD", "1.08500", "0", "0", "0", "0", "-0.35",
          "0", "-1.20", "1050.00"}},
        {"2023 deals only", filledMt5Template("mt5_template_ReportHistory_2023.htm", {in, out}),
         {"", "1", "5001", "2024.03.01 12:00:00", "sell", "0.10", "EURUSD", "1.08500", "0", "0", "0", "0", "-0.40",
          "0", "-1.20", "1050.00"}},
    };
    if (cases[0].report.isEmpty() || cases[1].report.isEmpty())
        GTEST_SKIP() << "no MT5 templates in " TJ_FIXTURES_DIR;
    for (const Case& c : cases) {
        const QByteArray text = decodeReportBytes(c.report);
        ASSERT_EQ(recognizeReport(text), ReportKind::MetaTrader5) << c.name;
        const auto rows = extractTrades(text, ReportKind::MetaTrader5).rows;
        ASSERT_EQ(rows.size(), 1u) << c.name;
        EXPECT_EQ(texts(rows[0]), c.row) << c.name;
    }
}

TEST(ExtractRealStatements, EveryClosedTradeAndNothingElse)
{
    struct Case {
        const char* file;
        int trades;
        QStringList first, last;
    };
    const Case cases[] = {
        {"mt4_reuniware_DetailedStatement.htm", 130,
         {"", "1", "61937658", "2017.10.06 09:56:55", "buy", "0.10", "usdnok", "8.03012", "0.00000", "8.03137",
          "2017.10.06 10:18:03", "8.03137", "-0.43", "0.00", "0.00", "1.33"},
         {"", "130", "62469530", "2017.10.25 12:15:38", "buy", "0.05", "gbpcad", "1.67274", "0.00000", "1.67392",
          "2017.10.25 12:22:04", "1.67294", "-0.28", "0.00", "0.00", "0.67"}},
        {"mt4_yinglli_DetailedStatement.htm", 10,
         {"", "1", "27819918", "2024.03.13 15:39:29", "sell", "0.01", "xauusd@", "2169.70", "2181.97", "2150.57",
          "2024.03.14 10:45:06", "2168.98", "0.00", "0.00", "0.55", "0.72"},
         {"", "10", "27900367", "2024.03.18 09:57:41", "sell", "0.04", "xauusd@", "2151.69", "0.00", "2148.76",
          "2024.03.19 10:18:56", "2148.76", "0.00", "0.00", "0.73", "11.72"}},
        {"mt4_oanda_if709652_Statement.htm", 5,
         {"", "1", "233104443", "2020.02.10 23:24:52", "buy", "0.01", "eurusd-2", "1.09117", "1.09050", "1.09125",
          "2020.02.11 00:42:38", "1.09125", "0.00", "0.00", "0.00", "0.08"},
         {"", "5", "233490108", "2020.02.14 21:03:54", "sell", "0.10", "usdcad-2", "1.32428", "1.33366", "1.30853",
          "2020.02.26 23:57:34", "1.33367", "0.00", "0.00", "0.00", "-70.44"}},
        {"mt4_template_StatementDetailed.htm", 0, {}, {}},
    };
    int found = 0;
    for (const Case& c : cases) {
        const QString path = fixture(QString::fromLatin1(c.file));
        if (path.isEmpty())
            continue;
        ++found;
        const QByteArray text = readTextFile(path);
        const Extraction e = extractTrades(text, recognizeReport(text));
        EXPECT_EQ(e.problem, QString()) << c.file;
        ASSERT_EQ(static_cast<int>(e.rows.size()), c.trades) << c.file;
        if (c.trades) {
            EXPECT_EQ(texts(e.rows.front()), c.first) << c.file;
            EXPECT_EQ(texts(e.rows.back()), c.last) << c.file;
        }
    }
    if (!found)
        GTEST_SKIP() << "no real statements in " TJ_FIXTURES_DIR;
}

TEST(ExtractGenerated, ListsExactlyTheClosedTradesOfBothTerminals)
{
    const statementgen::Generated statements[] = {
        statementgen::mt4Statement(300, 7),
        statementgen::mt5Report(300, 7, statementgen::Mt5Layout::Current),
        statementgen::mt5Report(300, 7, statementgen::Mt5Layout::Older),
        statementgen::mt5Report(300, 7, statementgen::Mt5Layout::DealsOnly),
    };
    for (const auto& g : statements) {
        const QByteArray text = decodeReportBytes(g.bytes);
        const Extraction e = extractTrades(text, recognizeReport(text));
        const auto tickets = column(e.rows, StatementRow::Ticket);
        EXPECT_EQ(QStringList(tickets.begin(), tickets.end()), g.closedTickets);
    }
}

TEST(ExtractProgress, ReportsTheWorkOfEachRow)
{
    struct Counter : ExtractionProgress {
        int maximum = -2, steps = 0;
        void start(int m) override { maximum = m; }
        void advance() override { ++steps; }
    } counter;
    // Four table rows: a trade, an open position, a balance row, a row without ticket.
    extractTrades(decodeReportBytes(mt4Statement(mt4Row(kTrade) + mt4Row(withCell(kTrade, 8, "&nbsp;"))
                                                 + mt4Row({"1", "t", "balance", "x", "1"})
                                                 + mt4Row(withCell(kTrade, 0, "")))),
                  ReportKind::MetaTrader4, &counter);
    EXPECT_EQ(counter.maximum, 8);
    EXPECT_EQ(counter.steps, 4 + 2);
}

// The finder skips searches it has decided cannot match; the regular
// expression alone must give the same matches on any row.
TEST(CellRunFinder, FindsWhatThePlainSearchFinds)
{
    const Regex pattern("<td>(.*?)</td><td>(.*?)</td><td>(.*?)</td>");
    const char* pieces[] = {"<td>", "</td>", "<TD>", "</TD>", "a", " ", "<td", "</td><td>", "<"};
    QRandomGenerator rnd(42);
    for (int round = 0; round < 4000; ++round) {
        std::string row;
        const int n = rnd.bounded(1, 24);
        for (int i = 0; i < n; ++i)
            row += pieces[rnd.bounded(static_cast<int>(std::size(pieces)))];
        std::vector<std::string> plain, found;
        RegexMatcher m(pattern);
        for (std::size_t at = 0; m.find(row.data(), row.size(), at) == RegexMatcher::Status::Found; at = m.end(0))
            plain.push_back(std::string(m.text(0)) + "|" + std::string(m.text(2)));
        CellRunFinder finder(pattern, "<td>", 3);
        finder.setRow(row);
        while (finder.next() == RegexMatcher::Status::Found)
            found.push_back(std::string(finder.group(0)) + "|" + std::string(finder.group(2)));
        ASSERT_EQ(found, plain) << row;
    }
}

} // namespace
