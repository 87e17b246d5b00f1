// The eight category reports and the trading metrics, built from a real
// journal: the texts the trader sees, row by row.
#include "db/core/sqlite_database.h"
#include "journal/core/reference_lists.h"
#include "db/core/cash_store.h"
#include "stats/core/category_reports.h"
#include "stats/core/report_trades.h"
#include "stats/core/trading_metrics.h"
#include "temp_journal.h"

#include <gtest/gtest.h>

#include <vector>

namespace {

struct Trade {
    const char* profit;
    const char* item = "eurusd";
    const char* type = "buy";
    const char* verno = "";
    const char* strategia = "";
    const char* taktika = "";
    const char* psixo = "";
    const char* pravilo = "";
    const char* pravilo2 = "";
    QVariant nedobral = 0;
    const char* openTime = "2013.05.21 10:15";
    const char* chet = "1";
};

QStringList wholeRow(const TextTable& texts, int row)
{
    QStringList cells;
    for (int c = 0; c < texts.columnCount(); ++c)
        cells << texts.cellText(row, c);
    return cells;
}

std::vector<QStringList> rows(const TextTable& texts)
{
    std::vector<QStringList> all;
    for (int r = 0; r < texts.rowCount(); ++r)
        all.push_back(wholeRow(texts, r));
    return all;
}

QStringList row(const QString& tsv) { return tsv.split(u'\t'); }

class CategoryReportsTest : public ::testing::Test {
protected:
    void add(const std::vector<Trade>& trades)
    {
        for (const Trade& t : trades)
            journal->db().executeStatement(
                QStringLiteral("INSERT INTO t_sdelki (chet, Ticket, OpenTime, Type, Item, Profit, verno, strategia, "
                               "taktika, Psixo, pravilo, pravilo2, Nedobral) "
                               "VALUES (?, '7', ?, ?, ?, ?, ?, ?, ?, ?, ?, ?, ?)"),
                {QString::fromUtf8(t.chet), QString::fromUtf8(t.openTime), QString::fromUtf8(t.type),
                 QString::fromUtf8(t.item), QString::fromUtf8(t.profit), QString::fromUtf8(t.verno),
                 QString::fromUtf8(t.strategia), QString::fromUtf8(t.taktika), QString::fromUtf8(t.psixo),
                 QString::fromUtf8(t.pravilo), QString::fromUtf8(t.pravilo2), t.nedobral});
    }
    void setList(ListId id, QStringList entries) { journal->lists.entries(id) = std::move(entries); }
    CategoryReports build() { return buildCategoryReports(journal->db(), QStringLiteral("1"), journal->lists); }
    TradingMetrics metrics(const QString& balance = QStringLiteral("100"))
    {
        return buildTradingMetrics(journal->db(), QStringLiteral("1"), balance);
    }

    TempAppDir dir;
    std::unique_ptr<Journal> journal = dir.openJournal();
};

// Two wins of 12.5 and 30 and a loss of 20.25 in one category of every
// report: the same tally in each, under each report's own headers.
TEST_F(CategoryReportsTest, OneCategoryInEveryReport)
{
    for (const char* profit : {"12,5", "30", "-20,25"})
        add({{profit, "eurusd", "sell", "флэт", "H1", "Пробой", "Жадность", "Ранний вход", "По стопу",
              profit[0] == '1' ? 5 : profit[0] == '3' ? 0 : 12}});
    add({{"7", "eurusd", "buy", "", "", "", "", "", "", 0, "2013.05.21 10:15", "2"}}); // another account's
    setList(ListId::Timeframe, {"", "H1", "M5"});
    setList(ListId::Enter, {"Пробой"});
    setList(ListId::Psixo, {"Жадность"});
    setList(ListId::Technique, {"Ранний вход"});
    setList(ListId::Exit, {"По стопу"});
    const CategoryReports r = build();
    struct Case {
        CategoryReportKind kind;
        const char* grid;
        const char* title;
        QStringList headers;
        std::vector<QStringList> rows;
    };
    auto headers = [](const char* category, const char* last = "Итого") {
        return QStringList{"№", category, "Сделок", "В%", "В", "В pips", "П", "П pips", last};
    };
    const std::vector<Case> cases = {
        {CategoryReportKind::Pairs, "StringGrid_Valuta", "Отчет по валютным парам", headers("Пара"),
         {row("1\teurusd\t3\t66,67%\t2\t42,50\t1\t-20,25\t22,25")}},
        {CategoryReportKind::Direction, "StringGrid_BuySell", "Отчет по BUY и SELL", headers("Тип сделки"),
         {row("1\tbuy\t0\t\t0\t0,00\t0\t0,00\t0,00"), row("2\tsell\t3\t66,67%\t2\t42,50\t1\t-20,25\t22,25")}},
        {CategoryReportKind::MarketType, "StringGrid_Trend", "Отчет по типу рынка:", headers("Тип сделки"),
         {row("3\tфлэт\t3\t66,67%\t2\t42,50\t1\t-20,25\t22,25")}},
        {CategoryReportKind::Timeframe, "StringGrid_St", "Отчет по таймфрэйму", headers("Стратегия"),
         {row("1\tH1\t3\t66,67%\t2\t42,50\t1\t-20,25\t22,25")}},
        {CategoryReportKind::Entries, "StringGrid_Strat", "Отчет по входам:", headers("Тактика"),
         {row("1\tПробой\t3\t66,67%\t2\t42,50\t1\t-20,25\t22,25")}},
        {CategoryReportKind::PsychoErrors, "StringGrid_Psixo", "Отчет по ошибкам - психологическим",
         headers("Тактика"), {row("1\tЖадность\t3\t66,67%\t2\t42,50\t1\t-20,25\t22,25")}},
        {CategoryReportKind::TechErrors, "StringGrid_Erorr", "Отчет по ошибкам - техническим", headers("Тактика"),
         {row("1\tРанний вход\t3\t66,67%\t2\t42,50\t1\t-20,25\t22,25")}},
        {CategoryReportKind::Exits, "StringGrid_Erorr2", "Отчет по выходам:", headers("Тактика", "Недобрал"),
         {row("1\tПо стопу\t3\t66,67%\t2\t42,50\t1\t-20,25\t17")}},
    };
    ASSERT_EQ(r.reports.size(), std::size_t(kReportCount));
    for (const Case& c : cases) {
        const CategoryReport& report = r[c.kind];
        SCOPED_TRACE(c.grid);
        EXPECT_EQ(report.grid, c.grid);
        EXPECT_EQ(report.title, c.title);
        EXPECT_EQ(report.texts.headers(), c.headers);
        EXPECT_EQ(rows(report.texts), c.rows);
        EXPECT_EQ(report.failures, QStringList());
    }
    // The colour follows 42,50 less 20,25.
    EXPECT_EQ(r[CategoryReportKind::Pairs].net, (std::vector<std::optional<double>>{22.25}));
    EXPECT_EQ(r[CategoryReportKind::Direction].net, (std::vector<std::optional<double>>{0.0, 22.25}));
}

TEST_F(CategoryReportsTest, AccountWithoutTrades)
{
    setList(ListId::Timeframe, {"H1"});
    setList(ListId::Exit, {"По стопу"});
    const CategoryReports r = build();
    for (const CategoryReport& report : r.reports) {
        SCOPED_TRACE(report.grid.toStdString());
        if (report.kind == CategoryReportKind::Direction)
            EXPECT_EQ(rows(report.texts), (std::vector<QStringList>{row("1\tbuy\t0\t\t0\t0,00\t0\t0,00\t0,00"),
                                                                    row("2\tsell\t0\t\t0\t0,00\t0\t0,00\t0,00")}));
        else
            EXPECT_EQ(report.texts.rowCount(), 0);
    }
}

// "В%" without wins: 0,00% for a symbol, empty elsewhere; a trade at 0
// counts in "Сделок" only.
TEST_F(CategoryReportsTest, PercentWithoutWinsAndTradesAtZero)
{
    add({{"-3", "gbpusd", "buy", "откат", "H4"}, {"0", "gbpusd", "buy", "откат", "H4"}});
    setList(ListId::Timeframe, {"H4"});
    const CategoryReports r = build();
    EXPECT_EQ(rows(r[CategoryReportKind::Pairs].texts),
              (std::vector<QStringList>{row("1\tgbpusd\t2\t0,00%\t0\t0,00\t1\t-3,00\t-3,00")}));
    EXPECT_EQ(wholeRow(r[CategoryReportKind::Direction].texts, 0), row("1\tbuy\t2\t\t0\t0,00\t1\t-3,00\t-3,00"));
    // Only "откат" has trades: its row is the first, numbered by its place.
    EXPECT_EQ(rows(r[CategoryReportKind::MarketType].texts),
              (std::vector<QStringList>{row("4\tоткат\t2\t\t0\t0,00\t1\t-3,00\t-3,00")}));
    EXPECT_EQ(rows(r[CategoryReportKind::Timeframe].texts),
              (std::vector<QStringList>{row("1\tH4\t2\t\t0\t0,00\t1\t-3,00\t-3,00")}));
}

// Categories are the exact stored texts: other letter case, other market
// types, other directions and texts no longer in a list are reported
// nowhere; symbols come in the order of the trades.
TEST_F(CategoryReportsTest, CategoriesAreExactTexts)
{
    add({{"1", "gbpusd", "buy", "по тренду", "", "пробой"},
         {"2", "eurusd", "Buy", "По тренду", "", "Пробой"},
         {"4", "GBPUSD", "buy-limit", "боковик", "", "Старый вход"},
         {"8", "gbpusd", "sell", "откат", "", "Пробой"}});
    setList(ListId::Enter, {"", "Отбой", "Пробой"});
    const CategoryReports r = build();
    EXPECT_EQ(rows(r[CategoryReportKind::Pairs].texts),
              (std::vector<QStringList>{row("1\tgbpusd\t2\t100,00%\t2\t9,00\t0\t0,00\t9,00"),
                                        row("2\teurusd\t1\t100,00%\t1\t2,00\t0\t0,00\t2,00")}));
    EXPECT_EQ(rows(r[CategoryReportKind::Direction].texts),
              (std::vector<QStringList>{row("1\tbuy\t1\t100,00%\t1\t1,00\t0\t0,00\t1,00"),
                                        row("2\tsell\t1\t100,00%\t1\t8,00\t0\t0,00\t8,00")}));
    EXPECT_EQ(rows(r[CategoryReportKind::MarketType].texts),
              (std::vector<QStringList>{row("1\tпо тренду\t1\t100,00%\t1\t1,00\t0\t0,00\t1,00"),
                                        row("4\tоткат\t1\t100,00%\t1\t8,00\t0\t0,00\t8,00")}));
    EXPECT_EQ(rows(r[CategoryReportKind::Entries].texts),
              (std::vector<QStringList>{row("1\tПробой\t2\t100,00%\t2\t10,00\t0\t0,00\t10,00")}));
}

// A profit that does not read: the report stops at that category and keeps
// the rows before it; the exits report leaves the category's row empty,
// its number used, and goes on.
TEST_F(CategoryReportsTest, ProfitThatDoesNotRead)
{
    add({{"5", "eurusd", "buy", "", "", "", "", "", "А стоп", 3},
         {"", "gbpusd", "sell", "", "", "", "", "", "Б тейк", 4},
         {"-2", "usdjpy", "sell", "", "", "", "", "", "В руками", QVariant()},
         {"1", "usdjpy", "buy", "", "", "", "", "", "В руками", QStringLiteral("abc")}});
    setList(ListId::Exit, {"А стоп", "Б тейк", "В руками"});
    const CategoryReports r = build();
    const CategoryReport& pairs = r[CategoryReportKind::Pairs];
    // The trade that does not read is left out: its symbol has no other
    // trade, so no row; the other symbols are all listed.
    EXPECT_EQ(rows(pairs.texts), (std::vector<QStringList>{row("1\teurusd\t1\t100,00%\t1\t5,00\t0\t0,00\t5,00"),
                                                           row("2\tusdjpy\t2\t50,00%\t1\t1,00\t1\t-2,00\t-1,00")}));
    ASSERT_EQ(pairs.failures.size(), 1);
    EXPECT_EQ(pairs.failures[0], "Сделка id 2: Прибыль «» не является числом; она не входит в итоги");
    // "sell" holds the bad trade and another: both rows are written.
    EXPECT_EQ(r[CategoryReportKind::Direction].texts.rowCount(), 2);
    EXPECT_EQ(r[CategoryReportKind::Direction].failures.size(), 1);

    const CategoryReport& exits = r[CategoryReportKind::Exits];
    // A points value never set or not a number counts 0.
    EXPECT_EQ(rows(exits.texts), (std::vector<QStringList>{row("1\tА стоп\t1\t100,00%\t1\t5,00\t0\t0,00\t3"),
                                                           QStringList(9),
                                                           row("3\tВ руками\t2\t50,00%\t1\t1,00\t1\t-2,00\t0")}));
    EXPECT_EQ(exits.net, (std::vector<std::optional<double>>{5.0, std::nullopt, -1.0}));
    EXPECT_EQ(exits.failures.size(), 1);
    EXPECT_FALSE(metrics().complete());
}

// A known series, inserted newest first: the figures follow the open times.
TEST_F(CategoryReportsTest, MetricsOfAKnownSeries)
{
    const std::vector<std::pair<const char*, const char*>> series = {
        {"2013.05.10 09:00", "10"}, {"2013.05.20 09:00", "5"},  {"2013.07.01 09:00", "-5"},
        {"2013.07.02 09:00", "-5"}, {"2013.07.03 09:00", "-2"}, {"2013.08.01 09:00", "20"},
        {"2013.08.02 09:00", "-30"}, {"2013.08.03 09:00", "15"}, {"2013.08.04 09:00", "0"},
        {"2013.08.05 09:00", "10"}, {"2013.08.06 09:00", "5"}};
    for (auto it = series.rbegin(); it != series.rend(); ++it)
        add({{it->second, "eurusd", "buy", "", "", "", "", "", "", 0, it->first}});
    const TradingMetrics m = metrics();
    ASSERT_TRUE(m.complete()) << m.problem.toStdString();
    const QStringList expected = {"11",     "54,55%", "23,00",  "1,55", "2,09", "10,83",
                                  "-10,50", "1,03",   "20,00",  "-30,00", "2",  "3",
                                  "30,00",  "24,39%", "01.08.2013 – 02.08.2013", "0,77",
                                  // no trade has a stop loss: no R
                                  "0",      "—",      "—",      "—",    "—",    "—"};
    ASSERT_EQ(m.texts.rowCount(), metricrow::Count);
    QStringList values;
    for (int r = 0; r < m.texts.rowCount(); ++r)
        values << m.texts.cellText(r, 1);
    EXPECT_EQ(values, expected);
    EXPECT_EQ(m.texts.cellText(metricrow::ProfitFactor, 0), "Профит-фактор");
    ASSERT_EQ(m.months.size(), std::size_t(4));
    const std::vector<std::pair<QDate, double>> months = {
        {QDate(2013, 5, 1), 15}, {QDate(2013, 6, 1), 0}, {QDate(2013, 7, 1), -12}, {QDate(2013, 8, 1), 20}};
    for (std::size_t i = 0; i < months.size(); ++i) {
        EXPECT_EQ(m.months[i].month, months[i].first);
        EXPECT_DOUBLE_EQ(m.months[i].result, months[i].second);
    }
}

// The figures are those of the broker's statement: each trade's profit with
// its commission and swap (a profit of 5 that cost 10 is a loss), and a
// withdrawal is no drawdown: the balance and its peak move by it alike.
TEST_F(CategoryReportsTest, MetricsTakeNetResultsAndCashMovements)
{
    struct Row {
        const char *openTime, *profit;
        double commission;
        const char* swap;
    };
    for (const Row& r : {Row{"2013.05.10 09:00", "100", -10, "0"}, Row{"2013.05.11 09:00", "-20", -10, "-5"},
                         Row{"2013.05.12 09:00", "5", -10, "0"}})
        journal->db().executeStatement(
            QStringLiteral("INSERT INTO t_sdelki (chet, OpenTime, Profit, Commission, Swap) VALUES ('1', ?, ?, ?, ?)"),
            {QString::fromUtf8(r.openTime), QString::fromUtf8(r.profit), r.commission, QString::fromUtf8(r.swap)});
    CashStore cash(journal->db());
    cash.save(QStringLiteral("1"), {QStringLiteral("1"), QStringLiteral("2013.05.01 09:00:00"), QStringLiteral("balance"), {}, 1000});
    cash.save(QStringLiteral("1"), {QStringLiteral("2"), QStringLiteral("2013.05.11 08:00:00"), QStringLiteral("balance"), {}, -500});
    const TradingMetrics m = metrics(QStringLiteral("0"));
    ASSERT_TRUE(m.complete()) << m.problem.toStdString();
    EXPECT_EQ(m.texts.cellText(metricrow::Net, 1), "50,00");
    EXPECT_EQ(m.texts.cellText(metricrow::WinPercent, 1), "33,33%");
    EXPECT_EQ(m.texts.cellText(metricrow::ProfitFactor, 1), "2,25");
    EXPECT_EQ(m.texts.cellText(metricrow::Drawdown, 1), "40,00");
    EXPECT_EQ(m.texts.cellText(metricrow::DrawdownPercent, 1), "6,78%");
    ASSERT_EQ(m.months.size(), std::size_t(1));
    EXPECT_DOUBLE_EQ(m.months[0].result, 50);
}

TEST_F(CategoryReportsTest, MetricsWithoutLossesOrTrades)
{
    struct Case {
        std::vector<Trade> trades;
        QString balance;
        QStringList values;
    };
    const std::vector<Case> cases = {
        {{}, "100", {"0", "—", "0,00", "—", "—", "—", "—", "—", "—", "—", "0", "0", "0,00", "—", "—", "—",
                     "0", "—", "—", "—", "—", "—"}},
        // The first trade loses: the peak is the starting balance, dated by it.
        {{{"-10", "eurusd", "buy", "", "", "", "", "", "", 0, "2013.05.10 09:00"},
          {"4", "eurusd", "buy", "", "", "", "", "", "", 0, "2013.05.11 09:00"}},
         "",
         {"2", "50,00%", "-6,00", "0,40", "-3,00", "4,00", "-10,00", "0,40", "4,00", "-10,00", "1", "1", "10,00",
          "—", "10.05.2013 – 10.05.2013", "-0,60", "0", "—", "—", "—", "—", "—"}},
    };
    const TradingMetrics bad = metrics(QStringLiteral("много"));
    EXPECT_EQ(bad.problem, "Начальный баланс не читается как число: \"много\"");
    for (const Case& c : cases) {
        TempAppDir caseDir;
        journal = caseDir.openJournal();
        add(c.trades);
        const TradingMetrics m = metrics(c.balance);
        QStringList values;
        for (int r = 0; r < m.texts.rowCount(); ++r)
            values << m.texts.cellText(r, 1);
        EXPECT_EQ(values, c.values);
    }
}

} // namespace
