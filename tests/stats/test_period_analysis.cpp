#include "db/core/account_parts.h"
#include "db/core/sqlite_database.h"
#include "state/core/control_snapshots.h"
#include "stats/core/period_analysis.h"
#include "temp_journal.h"

#include "db/core/cp1251.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <limits>
#include <memory>
#include <utility>

namespace {

struct Trade {
    const char* chet;
    const char* openTime;
    const char* profit;
    int imgTop = 0;
};

class PeriodAnalysisTest : public ::testing::Test {
protected:
    void add(const std::vector<Trade>& trades)
    {
        for (const Trade& t : trades)
            journal->db().executeStatement(
                QStringLiteral("INSERT INTO t_sdelki (chet, Ticket, OpenTime, Type, Size, Item, Profit, strategia, verno, "
                               "taktika, pravilo2, Nedobral, pravilo, ocenka, img_top) "
                               "VALUES (?, '7', ?, 'buy', '0.10', 'EURUSD', ?, 'H1', 'флэт', 'Пробой', 'Стоп', 5, '', "
                               "'Плохо', ?)"),
                {QLatin1String(t.chet), QLatin1String(t.openTime), QString::fromUtf8(t.profit), t.imgTop});
    }
    PeriodAnalysis run(QDate start, QDate end) { return buildPeriodAnalysis(journal->db(), QStringLiteral("1"), start, end); }

    TempAppDir dir;
    std::unique_ptr<Journal> journal = dir.openJournal();
};

TEST_F(PeriodAnalysisTest, RangesAndTotalLines)
{
    add({{"1", "2013.07.05 10:00", "10,5"},
         {"1", "2013.07.05 23:59", "-4"},
         {"1", "2013.07.06 00:00", "100"},
         {"1", "2013.07.04 23:59", "100"},
         {"2", "2013.07.05 12:00", "100"},
         {"1", "2013.07.08 09:00", "-3"},
         {"1", "2013.07.08 10:00", "-2,5"},
         {"1", "2013.07.09 09:00", "0"},
         {"1", "2013.07.09 10:00", "2"}});
    const QColor green(0, 128, 0), red(255, 0, 0), black(0, 0, 0);
    struct Case {
        QDate start, end;
        int rows;
        QString label;
        QColor colour;
    };
    const std::vector<Case> cases = {
        {QDate(2013, 7, 5), QDate(2013, 7, 6), 2,
         "Итог дня: 6,50 , всего сделок: 2, процент выйгрышных: 50,00%, Выйграл: 1, Проиграл 1, средняя прибыльная сделка: 10,50",
         green},
        {QDate(2013, 7, 8), QDate(2013, 7, 9), 2,
         "Итго дня: -5,50 , всего сделок: 2, процент выйгрышных: 0,00%, Выйграл: 0, Проиграл 2", red},
        {QDate(2013, 7, 9), QDate(2013, 7, 10), 2,
         "Итог дня: 2,00 , всего сделок: 2, процент выйгрышных: 50,00%, Выйграл: 1, Проиграл 0, средняя прибыльная сделка: 2,00",
         green},
        {QDate(2013, 7, 5), QDate(2013, 7, 5), 0, "Нет сделок", black},
        {QDate(2013, 7, 6), QDate(2013, 7, 5), 0, "Нет сделок", black},
    };
    for (const Case& c : cases) {
        const PeriodAnalysis a = run(c.start, c.end);
        EXPECT_EQ(int(a.rows.size()), c.rows) << c.start.toString().toStdString();
        EXPECT_EQ(a.dayLabel(), c.label);
        EXPECT_EQ(a.dayColour(), c.colour);
        EXPECT_TRUE(a.complete());
    }
    const PeriodAnalysis day = run(QDate(2013, 7, 5), QDate(2013, 7, 6));
    EXPECT_EQ(day.rows[0][0], QStringLiteral("1"));
    EXPECT_EQ(day.rows[1][0], QStringLiteral("2"));
    EXPECT_EQ(day.rows[1][3], QStringLiteral("2013.07.05 23:59"));
    const PeriodAnalysis::Row expected = {"1", day.rows[0][1], "7", "2013.07.05 10:00", "buy", "0.10", "EURUSD", "10,5",
                                          "H1", "флэт", "Пробой", "Стоп", "5", "", "Плохо", ""};
    EXPECT_EQ(day.rows[0], expected);
}

TEST_F(PeriodAnalysisTest, PictureMarkAndAProfitThatIsNotANumber)
{
    add({{"1", "2013.07.05 09:00", "1", 120}, {"1", "2013.07.05 10:00", "12.5"}, {"1", "2013.07.05 11:00", "3"}});
    const PeriodAnalysis a = run(QDate(2013, 7, 5), QDate(2013, 7, 6));
    EXPECT_EQ(a.rows[0][15], QStringLiteral("+"));
    EXPECT_EQ(a.problem, QStringLiteral("Сделка id 2: Прибыль «12.5» не является числом; она не входит в итоги"));
    ASSERT_EQ(a.rows.size(), 3u); // every trade is listed; the one that does not read counts in no total
    EXPECT_EQ(a.rows[1][15], QString());
    EXPECT_EQ(a.count, 2);
    EXPECT_EQ(a.dayLabel(),
              QStringLiteral("Итог дня: 4,00 , всего сделок: 2, процент выйгрышных: 100,00%, Выйграл: 2, Проиграл 0, "
                             "средняя прибыльная сделка: 2,00"));
}

// "Рис" marks every trade with pictures: a list that names one, whether or
// not the picture was ever panned (img_top is 0 until then).
TEST_F(PeriodAnalysisTest, PictureMarkForATradeWhosePicturesAreListed)
{
    add({{"1", "2013.07.05 09:00", "1"}, {"1", "2013.07.05 10:00", "2"}, {"1", "2013.07.05 11:00", "3"},
         {"1", "2013.07.05 12:00", "4"}});
    auto list = [](QStringList names) {
        TreeSnapshotState state;
        for (const QString& name : names)
            state.entries.push_back(TreeEntry{name});
        return writeTreeSnapshot("TreeView3", state);
    };
    auto store = [&](int row, const QByteArray& blob) {
        journal->db().writeBlob(QStringLiteral("UPDATE t_sdelki SET t_tree = ? WHERE OpenTime=?"), blob,
                                {QStringLiteral("2013.07.05 %1:00").arg(9 + row, 2, 10, QLatin1Char('0'))});
    };
    store(0, list({QStringLiteral("2026-12-11 14.05.33")}));
    store(1, list({})); // every picture deleted
    store(2, QByteArray("not a list"));
    const PeriodAnalysis a = run(QDate(2013, 7, 5), QDate(2013, 7, 6));
    ASSERT_EQ(a.rows.size(), 4u);
    const QStringList marks = {a.rows[0][15], a.rows[1][15], a.rows[2][15], a.rows[3][15]};
    EXPECT_EQ(marks, (QStringList{"+", "", "", ""}));
    EXPECT_TRUE(a.complete());
}

TEST(Weekday, NamesAndDateLabel)
{
    const QStringList names = {"Понедельник", "Вторник", "Среда", "Четверг", "Пятница", "Суббота", "Воскресенье"};
    for (int i = 0; i < 7; ++i)
        EXPECT_EQ(weekdayName(QDate(2013, 7, 1).addDays(i)), names[i]);
    EXPECT_EQ(analysisDateLabel(QDate(2013, 7, 5)), QStringLiteral("05 июля 2013 - Пятница"));
    EXPECT_EQ(analysisDateLabel(QDate(2014, 5, 17)), QStringLiteral("17 мая 2014 - Суббота"));
}

// A period that holds every trade of the account is read in parts at once
// (here from 4 trades on): the page and a printer get the same rows, marks,
// bands and totals as from one reading, in the same order, whatever the
// trades hold; a period that leaves trades out, or an account with a trade
// without an open time, is read in one.
class AnalysisInPartsTest : public PeriodAnalysisTest {
protected:
    void SetUp() override
    {
        const QString insert = QStringLiteral(
            "INSERT INTO t_sdelki (chet, Ticket, OpenTime, Type, Size, Item, Profit, strategia, verno, taktika, pravilo2, "
            "Nedobral, pravilo, ocenka, img_top, Commission, Taxes, Swap, PriceOpen, PriceClose, sl) "
            "VALUES (?, ?, ?, ?, '0.10', 'EURUSD', ?, 'H1', ?, 'Пробой', 'Стоп', ?, ?, 'Плохо', ?, ?, ?, ?, '1.1000', '1.1050', ?)");
        const char* profits[] = {"10,5", "-4", "0", "12.5", "-2,25", "1 000", "7"};
        const char* taxes[] = {"0", "", "1 234.50", "-0.5", "x", "0,25", "0"};
        const char* swaps[] = {"0", "", "-1,5", "0,75", "2", " ", "y"};
        const char* sls[] = {"0", "1.0950", "1.1100", "", "0", "abc", "1,0900"};
        for (int i = 0; i < 41; ++i) {
            // Open times repeat (ties keep the order of their ids), another
            // account's trades lie between, and texts differ from trade to trade.
            const QString openTime = QStringLiteral("2013.07.%1 %2:00")
                                         .arg(1 + i / 6, 2, 10, QLatin1Char('0'))
                                         .arg(10 + (i % 6) / 2, 2, 10, QLatin1Char('0'));
            journal->db().executeStatement(
                insert, {i % 5 == 4 ? QStringLiteral("2") : QStringLiteral("1"), QString::number(1000 + i), openTime,
                         i % 3 ? QStringLiteral("buy") : QStringLiteral("sell"), QString::fromUtf8(profits[i % 7]),
                         i % 4 ? QStringLiteral("флэт %1").arg(i) : QString(QChar(u'Ж')).repeated(300 + i), i % 2 ? QVariant(i) : QVariant(),
                         QStringLiteral("ошибка\t%1").arg(i), i % 9 == 0 ? 120 : 0, i % 2 ? -0.5 * i : 0.0,
                         QString::fromUtf8(taxes[i % 7]), QString::fromUtf8(swaps[(i / 2) % 7]), QString::fromUtf8(sls[(i / 3) % 7])});
        }
        TreeSnapshotState state;
        state.entries.push_back(TreeEntry{QStringLiteral("2026-12-11 14.05.33")});
        journal->db().writeBlob(QStringLiteral("UPDATE t_sdelki SET t_tree = ? WHERE Ticket IN ('1007', '1030')"),
                                writeTreeSnapshot("TreeView3", state));
    }
    void TearDown() override { account_parts::setFrom(m_from); }

    struct Reading {
        PeriodAnalysis page;
        std::vector<AnalysisRows::Row> handed; // as a printer gets them
        AnalysisTotals printed;
        int partsHandedOver = 0;
        std::vector<AnalysisRows::Row> streamed; // the first part as it is read
        AnalysisTotals streamedTotals;
    };
    Reading read(const QString& account, QDate start, QDate end, bool inParts)
    {
        account_parts::setFrom(inParts ? 4 : std::numeric_limits<qint64>::max());
        Reading r;
        r.page = buildPeriodAnalysis(journal->db(), account, start, end);
        // A printer's keepers: each part's rows, numbered when handed over.
        struct Kept : AnalysisPart {
            AnalysisRows rows;
            void take(const AnalysisTrade& trade) override { rows.append(trade); }
        };
        const auto print = [&](std::vector<AnalysisRows::Row>& out, bool firstAsRead) {
            const AnalysisParts parts{[](qint64, qint64) { return std::make_unique<Kept>(); },
                                      [&](AnalysisPart& part, qint64 before) {
                                          const AnalysisRows& rows = static_cast<Kept&>(part).rows;
                                          ++r.partsHandedOver;
                                          for (size_t row = 0; row < rows.size(); ++row) {
                                              out.push_back(rows[row]);
                                              out.back()[analysiscol::Number] = QString::number(before + static_cast<qint64>(row) + 1);
                                          }
                                      },
                                      firstAsRead};
            return readPeriodAnalysis(
                journal->db(), account, start, end,
                [&](const AnalysisTrade& trade) {
                    out.emplace_back();
                    for (int c = 0; c < kAnalysisColumns; ++c)
                        out.back()[c] = cp1251::decode(trade.cells[c].data(), trade.cells[c].size());
                },
                {}, &parts);
        };
        r.printed = print(r.handed, false);
        r.streamedTotals = print(r.streamed, true);
        return r;
    }
    static void expectSameTotals(const AnalysisTotals& a, const AnalysisTotals& b)
    {
        EXPECT_EQ(a.count, b.count);
        EXPECT_EQ(a.wins, b.wins);
        EXPECT_EQ(a.losses, b.losses);
        EXPECT_EQ(a.sumPos, b.sumPos);
        EXPECT_EQ(a.sumNeg, b.sumNeg);
        EXPECT_EQ(a.problem, b.problem);
        EXPECT_EQ(a.dayLabel(), b.dayLabel());
    }

    qint64 m_from = account_parts::from();
};

TEST_F(AnalysisInPartsTest, GivesWhatOneReadingGives)
{
    struct Case {
        const char* name;
        QString account;
        QDate start, end;
        int rows;
        bool inParts;
    };
    const std::vector<Case> cases = {
        {"the whole account", QStringLiteral("1"), QDate(2013, 7, 1), QDate(2013, 7, 9), 33, true},
        {"all history", QStringLiteral("1"), QDate(2000, 1, 1), QDate(2100, 1, 1), 33, true},
        {"the other account", QStringLiteral("2"), QDate(2000, 1, 1), QDate(2100, 1, 1), 8, true},
        {"its first days left out", QStringLiteral("1"), QDate(2013, 7, 3), QDate(2100, 1, 1), 23, false},
        {"its last day left out", QStringLiteral("1"), QDate(2000, 1, 1), QDate(2013, 7, 7), 29, false},
        {"an account without trades", QStringLiteral("3"), QDate(2000, 1, 1), QDate(2100, 1, 1), 0, false},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        const Reading inOne = read(c.account, c.start, c.end, false);
        const Reading inParts = read(c.account, c.start, c.end, true);
        EXPECT_EQ(inParts.partsHandedOver > 2, c.inParts && account_parts::partsFor(c.rows) > 1); // one core: in one
        EXPECT_EQ(inOne.partsHandedOver, 0);
        ASSERT_EQ(static_cast<int>(inOne.page.rows.size()), c.rows);
        ASSERT_EQ(inParts.page.rows.size(), inOne.page.rows.size());
        for (size_t row = 0; row < inOne.page.rows.size(); ++row) {
            EXPECT_EQ(inParts.page.rows[row], inOne.page.rows[row]) << row;
            EXPECT_EQ(inParts.page.rows.band(row), inOne.page.rows.band(row)) << row;
            EXPECT_EQ(inParts.page.rows.hasPicture(row), inOne.page.rows.hasPicture(row)) << row;
            EXPECT_EQ(inOne.handed.at(row), inOne.page.rows[row]) << row;
        }
        EXPECT_EQ(inParts.handed, inOne.handed);
        EXPECT_EQ(inParts.streamed, inOne.handed);
        expectSameTotals(inParts.page, inOne.page);
        expectSameTotals(inParts.printed, inOne.page);
        expectSameTotals(inParts.streamedTotals, inOne.page);
    }
    // What the trades hold shows in the rows compared.
    const Reading all = read(QStringLiteral("1"), QDate(2000, 1, 1), QDate(2100, 1, 1), true);
    EXPECT_FALSE(all.page.complete());
    EXPECT_GT(all.page.count, 0);
    EXPECT_TRUE(std::any_of(all.handed.begin(), all.handed.end(), [](const auto& row) { return !row[analysiscol::R].isEmpty(); }));
    EXPECT_TRUE(std::any_of(all.handed.begin(), all.handed.end(), [](const auto& row) { return row[analysiscol::Picture] == "+"; }));

    // A trade without an open time belongs to no period: the account is
    // read in one, with the same rows.
    journal->db().executeStatement(QStringLiteral("INSERT INTO t_sdelki (chet, Ticket, Profit) VALUES ('1', '99', '5')"));
    const Reading inOne = read(QStringLiteral("1"), QDate(2000, 1, 1), QDate(2100, 1, 1), false);
    const Reading inParts = read(QStringLiteral("1"), QDate(2000, 1, 1), QDate(2100, 1, 1), true);
    EXPECT_EQ(inParts.partsHandedOver, 0);
    EXPECT_EQ(inParts.handed.size(), 33u);
    EXPECT_EQ(inParts.handed, inOne.handed);
    expectSameTotals(inParts.page, inOne.page);
}

// A change that comes while the parts are read: what the parts read is
// dropped and the period is read again in one, as it now is.
TEST_F(AnalysisInPartsTest, AChangeWhileThePartsAreReadIsReadAgainInOne)
{
    account_parts::setFrom(4);
    const QDate start(2000, 1, 1), end(2100, 1, 1);
    int parts = 0;
    bool changed = false;
    std::vector<QString> handedIds;
    struct Changing : AnalysisPart {
        std::function<void()> onTake;
        void take(const AnalysisTrade&) override { onTake(); }
    };
    const AnalysisParts keepers{[&](qint64, qint64) {
                                    auto part = std::make_unique<Changing>();
                                    if (parts++ == 0) { // the first part is read on this thread, over the journal's connection
                                        part->onTake = [&] {
                                            if (!std::exchange(changed, true))
                                                journal->db().executeStatement(
                                                    QStringLiteral("UPDATE t_sdelki SET Profit='100' WHERE Ticket='1000'"));
                                        };
                                    } else {
                                        part->onTake = [] {};
                                    }
                                    return part;
                                },
                                [&](AnalysisPart&, qint64) { ADD_FAILURE() << "parts of two moments handed over"; }};
    const AnalysisTotals totals = readPeriodAnalysis(
        journal->db(), QStringLiteral("1"), start, end,
        [&](const AnalysisTrade& trade) {
            handedIds.push_back(cp1251::decode(trade.cells[analysiscol::Number].data(), trade.cells[analysiscol::Number].size()));
        },
        {}, &keepers);
    EXPECT_TRUE(changed);
    ASSERT_EQ(handedIds.size(), 33u);
    EXPECT_EQ(handedIds.front(), QStringLiteral("1"));
    EXPECT_EQ(handedIds.back(), QStringLiteral("33"));
    account_parts::setFrom(std::numeric_limits<qint64>::max());
    const PeriodAnalysis now = buildPeriodAnalysis(journal->db(), QStringLiteral("1"), start, end);
    EXPECT_EQ(now.rows[0][analysiscol::Profit], QStringLiteral("100"));
    expectSameTotals(totals, now);
}

// A later part that fails after the first part went out as it was read:
// the period is read again in one, and the trades already handed over are
// not handed again.
TEST_F(AnalysisInPartsTest, AFailedPartAfterTheFirstWentOutHandsNoTradeTwice)
{
    account_parts::setFrom(4);
    const QDate start(2000, 1, 1), end(2100, 1, 1);
    struct Failing : AnalysisPart {
        void take(const AnalysisTrade&) override { throw ESQLiteException(QStringLiteral("disk I/O error")); }
    };
    const AnalysisParts keepers{[](qint64, qint64) { return std::make_unique<Failing>(); },
                                [](AnalysisPart&, qint64) { ADD_FAILURE() << "a failed part handed over"; }, true};
    std::vector<QString> numbers, ids;
    const AnalysisTotals totals = readPeriodAnalysis(
        journal->db(), QStringLiteral("1"), start, end,
        [&](const AnalysisTrade& trade) {
            const auto text = [&](int c) { return cp1251::decode(trade.cells[c].data(), trade.cells[c].size()); };
            numbers.push_back(text(analysiscol::Number));
            ids.push_back(text(analysiscol::Id));
        },
        {}, &keepers);
    account_parts::setFrom(std::numeric_limits<qint64>::max());
    const PeriodAnalysis inOne = buildPeriodAnalysis(journal->db(), QStringLiteral("1"), start, end);
    ASSERT_EQ(ids.size(), inOne.rows.size());
    for (size_t row = 0; row < ids.size(); ++row) {
        EXPECT_EQ(numbers[row], QString::number(row + 1));
        EXPECT_EQ(ids[row], inOne.rows.text(row, analysiscol::Id));
    }
    expectSameTotals(totals, inOne);
}

} // namespace
