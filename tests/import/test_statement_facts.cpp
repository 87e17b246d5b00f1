// What a statement says besides its trades, and its trades held against
// its own totals: real statements to the cent, the terminal's MT5 templates
// in two languages, and statements that were cut or damaged.
#include "import/core/row_check.h"
#include "import/core/statement_facts.h"
#include "import/core/trade_extraction.h"

#include "import_test_support.h"
#include "statement_generator.h"
#include "temp_journal.h"

#include <gtest/gtest.h>

using namespace importtest;

namespace {

struct Read {
    StatementFacts facts;
    Reconciliation r;
};

Read readStatement(const QByteArray& bytes)
{
    const QByteArray text = decodeReportBytes(bytes);
    const ReportKind kind = recognizeReport(text);
    EXPECT_NE(kind, ReportKind::None);
    Read read;
    read.facts = readStatementFacts(text, kind);
    read.r = reconcile(read.facts, extractTrades(text, kind).rows);
    return read;
}

QString plain(const std::optional<qint64>& cents) { return cents ? centsPlain(*cents) : QStringLiteral("-"); }

TEST(StatementFacts, RealStatementsReconcileToTheCent)
{
    struct Case {
        const char* file;
        const char *account, *name, *currency;
        int trades, cashRows;
        const char *deposits, *closedPl, *balance, *opening;
    };
    const Case cases[] = {
        // Daily financing is booked as balance rows: part of the deposit total.
        {"mt4_oanda_if709652_Statement.htm", "3606334", "OMD_OANDA_MT4", "USD", 5, 22, "4942.69", "-104.69", "4838.00", "0.00"},
        {"mt4_reuniware_DetailedStatement.htm", "2088913717", "DEMO-39361", "EUR", 130, 1, "500.00", "24.17", "524.17", "0.00"},
        {"mt4_yinglli_DetailedStatement.htm", "8165516", "ying li", "USD", 10, 1, "1000.00", "45.74", "1045.74", "0.00"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.file);
        const QString path = fixture(QString::fromLatin1(c.file));
        if (path.isEmpty())
            GTEST_SKIP() << "the shared fixtures are not here";
        const Read read = readStatement(readBytes(path));
        EXPECT_EQ(read.facts.account, c.account);
        EXPECT_EQ(read.facts.name, c.name);
        EXPECT_EQ(read.facts.currency, c.currency);
        EXPECT_EQ(read.r.trades, c.trades);
        EXPECT_EQ(static_cast<int>(read.facts.cash.size()), c.cashRows);
        EXPECT_EQ(plain(read.r.deposits), c.deposits);
        EXPECT_EQ(plain(read.facts.closedPl), c.closedPl);
        EXPECT_EQ(plain(read.r.tradesNet), c.closedPl);
        EXPECT_EQ(plain(read.facts.balance), c.balance);
        EXPECT_EQ(plain(read.r.openingBalance), c.opening);
        EXPECT_TRUE(read.r.reconciled) << read.r.reason().toStdString();
        EXPECT_EQ(read.r.reason(), "");
    }
    // A cash row as the statement lists it.
    const QString reuniware = fixture(QStringLiteral("mt4_reuniware_DetailedStatement.htm"));
    const CashRow deposit = readStatement(readBytes(reuniware)).facts.cash.at(0);
    EXPECT_EQ(deposit.ticket, "61915116");
    EXPECT_EQ(deposit.time, "2017.10.05 22:32:52");
    EXPECT_EQ(deposit.kind, "balance");
    EXPECT_EQ(deposit.comment, "Deposited using API");
    EXPECT_EQ(deposit.cents, 50000);
    const Read details = readStatement(readBytes(reuniware));
    EXPECT_EQ(details.facts.profitFactor, 1.12);
    EXPECT_EQ(details.facts.company, "Tradeslide Trading Tech Limited");
}

// The terminal's own MT5 templates, filled as a report of one deposit and
// one position, with the labels in English and in Russian: the facts are
// found by the rows' shape, not by their words.
TEST(StatementFacts, Mt5TemplatesInAnyLanguage)
{
    const Deal deposit = {{"TIME", "2024.02.01 09:00:00"}, {"DEAL", "4999"}, {"TYPE", "balance"},
                          {"COMMISSION", "0.00"},          {"FEE", "0.00"},  {"STORAGE", "0.00"},
                          {"PROFIT", "10 000.00"},         {"BALANCE", "10 000.00"}, {"COMMENT", "Deposit"}};
    const Deal out = {{"TIME", "2024.03.01 12:00:00"}, {"DEAL", "5001"},     {"SYMBOL", "EURUSD"},
                      {"TYPE", "sell"},                {"DIRECTION", "out"}, {"VOLUME", "0.10"},
                      {"PRICE", "1.08500"},            {"ORDER", "6001"},    {"COST", "0.00"},
                      {"COMMISSION", "-0.35"},         {"FEE", "-0.05"},     {"STORAGE", "-1.20"},
                      {"PROFIT", "1 050.00"},          {"BALANCE", "11 048.00"}};
    Deal in = out;
    in["DIRECTION"] = "in";
    in["DEAL"] = "5000";
    in["TYPE"] = "buy";
    in["PROFIT"] = "0.00";
    in["STORAGE"] = "0.00";
    Position position = {{"TIME", "2024.03.01 10:00:00"}, {"POSITION", "7001"}, {"SYMBOL", "EURUSD"},
                         {"TYPE", "buy"},  {"VOLUME", "0.1"}, {"PRICE", "1.07450"}, {"SL", "1.07000"},
                         {"TP", "1.08500"}, {"TIME_CLOSE", "2024.03.01 12:00:00"}, {"PRICE_CLOSE", "1.08500"},
                         {"COMMISSION", "-0.80"}, {"SWAP", "-1.20"}, {"PROFIT", "1 050.00"}};
    const QMap<QString, QString> header = {{"NAME", "Иван Петров"},       {"ACCOUNT", "5012345"},
                                           {"CURRENCY", "JPY"},           {"SERVER", "Example-Server"},
                                           {"LEVERAGE", "1:100"},         {"ACCOUNT_TYPE", "real"},
                                           {"ACCOUNT_MARGIN_TYPE", "Hedge"}, {"COMPANY", "Пример Брокер"},
                                           {"CREDIT_FACILITY", "0.00"},   {"FLOATING_PL", "0.00"},
                                           {"REPORT_GROSSLOSS", "0.00"},  {"REPORT_PROFITFACTOR", "0.00"}};
    const QMap<QString, QString> english = {{"NAME_STR", "Name"}, {"ACCOUNT_STR", "Account"}, {"BALANCE_STR", "Balance"},
                                            {"CREDIT_FACILITY_STR", "Credit Facility"},
                                            {"REPORT_NETPROFIT_STR", "Total Net Profit"}};
    const QMap<QString, QString> russian = {{"NAME_STR", "Имя"}, {"ACCOUNT_STR", "Счет"}, {"BALANCE_STR", "Баланс"},
                                            {"CREDIT_FACILITY_STR", "Кредитные средства"},
                                            {"REPORT_NETPROFIT_STR", "Общий чистый результат"}};
    struct Case {
        const char* name;
        const char* file;
        const char *net, *balance; // the older template has no fee
    };
    const Case cases[] = {{"2020", "mt5_template_ReportHistory_2020.htm", "1 048.10", "11 048.10"},
                          {"2023", "mt5_template_ReportHistory_2023.htm", "1 048.00", "11 048.00"}};
    for (const Case& c : cases) {
        for (const auto* labels : {&english, &russian}) {
            SCOPED_TRACE(std::string(c.name) + (labels == &russian ? " in Russian" : " in English"));
            QMap<QString, QString> fields = header;
            for (auto it = labels->begin(); it != labels->end(); ++it)
                fields.insert(it.key(), it.value());
            fields.insert("BALANCE", c.balance);
            fields.insert("EQUITY", c.balance);
            fields.insert("REPORT_NETPROFIT", c.net);
            fields.insert("REPORT_GROSSPROFIT", c.net);
            position["COMMISSION"] = QString::fromLatin1(c.name) == "2020" ? "-0.70" : "-0.80";
            const QByteArray report = filledMt5Template(QString::fromLatin1(c.file), {deposit, in, out}, {position}, fields);
            if (report.isEmpty())
                GTEST_SKIP() << "no MT5 templates in " TJ_FIXTURES_DIR;
            const Read read = readStatement(report);
            EXPECT_EQ(read.facts.account, "5012345");
            EXPECT_EQ(read.facts.name, "Иван Петров");
            EXPECT_EQ(read.facts.currency, "JPY");
            EXPECT_EQ(read.facts.company, "Пример Брокер");
            ASSERT_EQ(read.facts.cash.size(), 1u);
            EXPECT_EQ(read.facts.cash[0].comment, "Deposit");
            EXPECT_EQ(read.facts.cash[0].cents, 1000000);
            EXPECT_EQ(read.facts.deposits, std::nullopt); // an MT5 report has no deposit total
            EXPECT_EQ(plain(read.r.deposits), "10000.00");
            EXPECT_EQ(plain(read.facts.credit), "0.00");
            EXPECT_EQ(plain(read.r.openingBalance), "0.00");
            EXPECT_TRUE(read.r.reconciled) << read.r.reason().toStdString();
        }
    }
}

// Damage never reads as a match: each case says what is wrong.
TEST(StatementFacts, DamagedStatementsAreNeverAMatch)
{
    const QByteArray whole = readBytes(QStringLiteral(TJ_SOURCE_DIR "/examples/mt4_statement_example.htm"));
    auto replaced = [&](const char* from, const char* to) {
        QByteArray b = whole;
        EXPECT_TRUE(b.contains(from)) << from;
        return b.replace(from, to);
    };
    QByteArray noDeposit = whole;
    noDeposit.replace("<td>balance</td><td colspan=10 align=left>Deposit</td><td class=mspt>10 000.00</td>",
                      "<td>balance</td><td colspan=10 align=left>Deposit</td><td class=mspt>9 000.00</td>");
    struct Case {
        const char* what;
        QByteArray bytes;
        QString reason;
    };
    const Case cases[] = {
        {"cut in half", whole.left(whole.size() / 2),
         "итогов в отчете нет (файл может быть обрезан при сохранении или загрузке)"},
        {"a summary number that does not read", replaced("<b>87 076.76</b>", "<b>87 07x.76</b>"),
         "итогов в отчете нет (файл может быть обрезан при сохранении или загрузке)"},
        {"a trade's profit that does not read", replaced("<td class=mspt>-0.70</td><td class=mspt>-0.88</td>", "<td class=mspt>-0.70</td><td class=mspt>12abc</td>"),
         "не читается сделка 40000002, Profit «12abc»"},
        {"trades that do not add up", replaced("<td class=mspt>-0.70</td><td class=mspt>-0.88</td>", "<td class=mspt>-0.70</td><td class=mspt>-1.88</td>"),
         "сделки дают 87075,76, в отчете 87076,76 (разница -1,00)"},
        {"deposits that do not add up", noDeposit, "пополнения и снятия дают 14000,00, в отчете 15000,00"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        const Read read = readStatement(c.bytes);
        EXPECT_FALSE(read.r.reconciled);
        EXPECT_EQ(read.r.reason(), c.reason);
    }
}

TEST(StatementFacts, GeneratedStatementsReconcileInTheirCurrency)
{
    using statementgen::Mt5Layout;
    const std::pair<const char*, QByteArray> cases[] = {
        {"mt4", statementgen::mt4Statement(300, 5, QStringLiteral("JPY")).bytes},
        {"mt5", statementgen::mt5Report(300, 5, Mt5Layout::Current, QStringLiteral("JPY")).bytes},
        {"mt5 older", statementgen::mt5Report(300, 5, Mt5Layout::Older, QStringLiteral("JPY")).bytes},
    };
    for (const auto& [what, bytes] : cases) {
        SCOPED_TRACE(what);
        const Read read = readStatement(bytes);
        EXPECT_EQ(read.facts.currency, "JPY");
        EXPECT_EQ(plain(read.r.openingBalance), "0.00");
        EXPECT_TRUE(read.r.reconciled) << read.r.reason().toStdString();
    }
}

TEST(StatementFacts, MoneyCellsAsTheTerminalsWriteThem)
{
    const std::pair<std::string_view, std::optional<qint64>> cases[] = {
        {"1 000.00", 100000},  {"-3 440", -344000}, {"200 000", 20000000}, {"0.125", 13}, {"-0.125", -13},
        {"45.7", 4570},        {"&nbsp;12.50", 1250}, {"12abc", std::nullopt}, {"", std::nullopt},
        {"1.2.3", std::nullopt}, {"12.5 0", std::nullopt}, {"-", std::nullopt}, {"<!--DEPOSIT-->", std::nullopt},
    };
    for (const auto& [cell, cents] : cases)
        EXPECT_EQ(parseStatementCents(cell), cents) << cell;
}

// Every number and time cell of a trade is checked when a statement is read:
// one damaged cell of each kind, named by ticket, column and text.
TEST(RowCheck, EveryKindOfCellThatDoesNotRead)
{
    const QStringList good = {"1001", "2024.03.01 10:00:00", "buy", "0.10", "eurusd", "1.08000", "0", "0",
                              "2024.03.01 12:00:00", "1.08500", "-0.70", "0.00", "0.00", "1 250.50"};
    const std::vector<std::pair<int, const char*>> damage = {
        {2, "2024.13"}, {4, "0.1O"}, {6, "1,08"}, {7, "x"}, {8, "-"}, {9, "12:00"}, {10, "1.08.5"},
        {11, "-0.7a"}, {12, "n/a"}, {13, "0.0.0"}, {14, "12abc"}};
    QByteArray rows = mt4Row(good);
    for (const auto& [cell, text] : damage) {
        QStringList cells = good;
        cells[cell - 1] = QString::fromLatin1(text);
        rows += mt4Row(cells);
    }
    const auto trades = extractTrades(decodeReportBytes(mt4Statement(rows)), ReportKind::MetaTrader4).rows;
    ASSERT_EQ(trades.size(), damage.size() + 1);
    const std::vector<RowProblem> problems = checkStatementRows(trades);
    QStringList described;
    for (const RowProblem& p : problems)
        described << QStringLiteral("%1 ").arg(p.row) + p.describe();
    EXPECT_EQ(described, (QStringList{"1 Сделка 1001: Open Time «2024.13» не является датой и временем",
                                      "2 Сделка 1001: Size «0.1O» не является числом",
                                      "3 Сделка 1001: PriceOpen «1,08» не является числом",
                                      "4 Сделка 1001: S / L «x» не является числом",
                                      "5 Сделка 1001: T / P «-» не является числом",
                                      "6 Сделка 1001: Close Time «12:00» не является датой и временем",
                                      "7 Сделка 1001: PriceClose «1.08.5» не является числом",
                                      "8 Сделка 1001: Comission «-0.7a» не является числом",
                                      "9 Сделка 1001: Taxes «n/a» не является числом",
                                      "10 Сделка 1001: Swap «0.0.0» не является числом",
                                      "11 Сделка 1001: Profit «12abc» не является числом"}));
    EXPECT_EQ(rowsWithoutProblems(trades, problems).size(), 1u);
    EXPECT_EQ(problemsLine(problems).left(48), "Сделок с ошибками: 11, они не будут скопированы.");
    // The real statements and the examples read whole.
    for (const char* file : {"mt4_oanda_if709652_Statement.htm", "mt4_reuniware_DetailedStatement.htm",
                             "mt4_yinglli_DetailedStatement.htm"}) {
        const QString path = fixture(QString::fromLatin1(file));
        if (path.isEmpty())
            continue;
        const QByteArray text = readTextFile(path);
        EXPECT_TRUE(checkStatementRows(extractTrades(text, recognizeReport(text)).rows).empty()) << file;
    }
    for (const char* example : {"mt4_statement_example.htm", "mt5_report_example.html"}) {
        const QByteArray text = readTextFile(QStringLiteral(TJ_SOURCE_DIR "/examples/") + QString::fromLatin1(example));
        EXPECT_TRUE(checkStatementRows(extractTrades(text, recognizeReport(text)).rows).empty()) << example;
    }
}

} // namespace
