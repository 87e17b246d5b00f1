// The widget-free rules of the account manager: the balance curve, the
// capital stepper, the colours of the list and the stored line breaks.
#include "accounts/core/account_fields.h"
#include "accounts/core/account_list_model.h"
#include "accounts/core/balance_curve.h"
#include "db/core/cash_store.h"

#include "temp_journal.h"

#include <gtest/gtest.h>

#include <algorithm>

TEST(BalanceCurve, RunsOldestToNewestFromTheInitialBalance)
{
    struct Case {
        const char* initial;
        QStringList profits;
        std::vector<double> points;
        bool complete;
    };
    const Case cases[] = {
        {"1000", {"10", "-5", "20"}, {1010, 1005, 1025}, true},
        {"1000", {}, {}, true},
        {"250,5", {"-0,25", "1,75"}, {250.25, 252}, true},
        {"", {"10"}, {10}, true},           // a cleared field counts as 0
        {" 100 ", {"0,0"}, {100}, true},
        {"abc", {"10"}, {}, false},         // nothing is drawn from an unreadable start
        {"100", {"10", "x", "5"}, {110, 115}, false}, // a bad profit is left out, the rest drawn
        {"100", {"1.5"}, {}, false},        // a point is not a decimal comma
    };
    for (const Case& c : cases) {
        std::vector<BalanceStep> steps;
        for (const QString& p : c.profits)
            steps.push_back({QStringLiteral("2024.01.02 10:00"), p, 0, QString(), QString()});
        const BalanceCurve curve = buildBalanceCurve(QString::fromUtf8(c.initial), steps);
        EXPECT_EQ(curve.points, c.points) << c.initial << " " << c.profits.join(u' ').toStdString();
        EXPECT_EQ(curve.complete(), c.complete) << c.initial;
    }
}

// The curve ends on the account's balance: each trade adds its net result
// and a deposit or withdrawal enters when the trades reach its time; credit
// is the broker's money and stays out.
TEST(BalanceCurve, AddsNetResultsAndCashMovementsByTime)
{
    const std::vector<BalanceStep> steps = {
        {QStringLiteral("2024.01.02 10:00"), QStringLiteral("100"), -7, QStringLiteral("-1.50"), QStringLiteral("-2,5")},
        {QStringLiteral("2024.01.05 09:00"), QStringLiteral("-40"), -3, QString(), QStringLiteral("0")},
    };
    const std::vector<CashMovement> cash = {
        {QStringLiteral("1"), QStringLiteral("2024.01.01 08:00:00"), QStringLiteral("balance"), {}, 1000},
        {QStringLiteral("2"), QStringLiteral("2024.01.03 08:00:00"), QStringLiteral("credit"), {}, 500},
        {QStringLiteral("3"), QStringLiteral("2024.01.04 08:00:00"), QStringLiteral("balance"), {}, -200},
        {QStringLiteral("4"), QStringLiteral("2024.02.01 08:00:00"), QStringLiteral("balance"), {}, 50},
    };
    const BalanceCurve curve = buildBalanceCurve(QStringLiteral("0"), steps, cash);
    EXPECT_EQ(curve.points, (std::vector<double>{1089, 846}));
    EXPECT_TRUE(curve.complete());
}

TEST(CapitalStepper, StepsByHundredWithinRangeAndLeavesLargerCapitalAlone)
{
    struct Case {
        const char* text;
        int direction;
        const char* result;
    };
    const Case cases[] = {
        {"0", 1, "100"},         {"150", 1, "250"},       {"31950", 1, "32000"}, {"32000", 1, "32000"},
        {"50000", 1, "50000"},   {"50000", -1, "32000"},  {"250", -1, "150"},    {"50", -1, "0"},
        {"0", -1, "0"},          {"", 1, "100"},          {"", -1, "0"},
    };
    for (const Case& c : cases)
        EXPECT_EQ(stepCapital(QString::fromLatin1(c.text), c.direction), QString::fromLatin1(c.result))
            << c.text << " " << c.direction;
}

TEST(AccountListColours, TypeGivesColourAndClosedWins)
{
    const QColor black(0, 0, 0), green(0, 128, 0), grey(128, 128, 128);
    EXPECT_EQ(accountRowColor(QStringLiteral("демо"), QStringLiteral("открыт")), black);
    EXPECT_EQ(accountRowColor(QStringLiteral("реал"), QStringLiteral("открыт")), green);
    EXPECT_EQ(accountRowColor(QStringLiteral("реал"), QStringLiteral("закрыт")), grey);
    EXPECT_EQ(accountRowColor(QStringLiteral("демо"), QStringLiteral("закрыт")), grey);
    EXPECT_EQ(accountRowColor(QString(), QString()), std::nullopt);
    EXPECT_EQ(accountTypeColor(QStringLiteral("демо")), QColor(255, 0, 0));
    EXPECT_EQ(accountTypeColor(QStringLiteral("реал")), green);
    EXPECT_EQ(accountTypeColor(QString()), green);
}

TEST(AccountListModel, MarksNoRowUntilTheFirstActivation)
{
    AccountListModel model;
    model.appendAccount({QStringLiteral("1"), QStringLiteral("A")});
    model.appendAccount({QStringLiteral("2"), QStringLiteral("B")});
    model.appendAccount({QStringLiteral("3"), QStringLiteral("A")});
    EXPECT_EQ(model.mark(0), AccountListModel::Mark::None);
    model.markActive(1);
    EXPECT_EQ(model.mark(0), AccountListModel::Mark::Inactive);
    EXPECT_EQ(model.mark(1), AccountListModel::Mark::Active);
    EXPECT_EQ(model.findByName(QStringLiteral("A")), 0);
    EXPECT_EQ(model.findByName(QStringLiteral("a")), -1);
    EXPECT_EQ(model.headerData(0, Qt::Horizontal, Qt::DisplayRole).toString(), QStringLiteral("id"));
    EXPECT_EQ(model.headerData(5, Qt::Horizontal, Qt::DisplayRole).toString(), QStringLiteral("Состояние"));
}

TEST(AccountFields, DescriptionsAreStoredWithCrLf)
{
    EXPECT_EQ(toStoredLineBreaks(QStringLiteral("a\nb\r\nc")), QStringLiteral("a\r\nb\r\nc"));
    EXPECT_EQ(fromStoredLineBreaks(QStringLiteral("a\r\nb\nc")), QStringLiteral("a\nb\nc"));
}

// The plot gets every point of a short curve; of a long one at most four
// per pixel column, among them the first and last point, every column's
// lowest and highest, each at its own trade number and value.
TEST(BalanceCurve, PlotPointsKeepTheShapeOfALongCurve)
{
    struct Case {
        int count;
        int columns;
    };
    const Case cases[] = {{0, 100}, {7, 100}, {400, 100}, {401, 100}, {100000, 300}, {99991, 7}, {10, 0}};
    for (const Case& c : cases) {
        std::vector<double> values(static_cast<size_t>(c.count));
        for (size_t k = 0; k < values.size(); ++k)
            values[k] = static_cast<double>((k * 7919) % 1013) - 500.0 + (k % 97 == 0 ? 5000.0 : 0.0);
        const QList<QPointF> points = curvePlotPoints(values, c.columns);
        const int columns = std::max(c.columns, 1);
        if (c.count <= 4 * columns) {
            ASSERT_EQ(points.size(), c.count) << c.count;
        } else {
            EXPECT_LE(points.size(), 4 * columns) << c.count;
            EXPECT_EQ(points.front().x(), 0);
            EXPECT_EQ(points.back().x(), c.count - 1);
        }
        for (qsizetype i = 0; i < points.size(); ++i) {
            const auto k = static_cast<size_t>(points[i].x());
            ASSERT_LT(k, values.size());
            EXPECT_EQ(points[i].y(), values[k]);
            if (i > 0) {
                EXPECT_LT(points[i - 1].x(), points[i].x());
            }
        }
        // Per column (trade k falls into column k * columns / count) the
        // lowest and the highest value are drawn.
        if (c.count <= 4 * columns)
            continue;
        auto columnOf = [&](size_t k) { return k * static_cast<size_t>(columns) / values.size(); };
        std::vector<double> low(columns, 1e300), high(columns, -1e300), drawnLow(columns, 1e300),
            drawnHigh(columns, -1e300);
        for (size_t k = 0; k < values.size(); ++k) {
            low[columnOf(k)] = std::min(low[columnOf(k)], values[k]);
            high[columnOf(k)] = std::max(high[columnOf(k)], values[k]);
        }
        for (const QPointF& p : points) {
            const size_t column = columnOf(static_cast<size_t>(p.x()));
            drawnLow[column] = std::min(drawnLow[column], p.y());
            drawnHigh[column] = std::max(drawnHigh[column], p.y());
        }
        EXPECT_EQ(drawnLow, low) << c.count;
        EXPECT_EQ(drawnHigh, high) << c.count;
    }
}
