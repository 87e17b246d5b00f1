#include "stats/core/trading_metrics.h"

#include "db/core/cash_store.h"
#include "db/core/numbers.h"
#include "db/core/reasons.h"
#include "stats/core/r_multiples.h"
#include "stats/core/report_trades.h"
#include "stats/core/trade_time.h"

#include <QStringList>

#include <algorithm>
#include <cmath>
#include <map>
#include <optional>

namespace {

// The longest calendar the month chart shows: the last ten years.
constexpr int kMaxMonths = 120;

const QString kNone = QStringLiteral("—");

struct Figure {
    const char16_t* name;
    const char16_t* explanation;
};

// In the order of metricrow.
constexpr Figure kFigures[metricrow::Count] = {
    {u"Сделок", u"Закрытые сделки счета."},
    {u"Выигрышных", u"Доля сделок с чистым результатом больше нуля."},
    {u"Чистый результат", u"Сумма результатов всех сделок: прибыль вместе с комиссией, налогами и свопами."},
    {u"Профит-фактор", u"Прибыль выигрышных сделок, деленная на убыток проигрышных: больше 1 — торговля в плюсе."},
    {u"Ожидание на сделку", u"Чистый результат, деленный на число сделок: столько в среднем приносит одна сделка."},
    {u"Средний выигрыш", u"Средняя прибыль выигрышной сделки."},
    {u"Средний убыток", u"Средний убыток проигрышной сделки."},
    {u"Выигрыш / убыток", u"Во сколько раз средний выигрыш больше среднего убытка."},
    {u"Крупнейший выигрыш", u"Самая прибыльная сделка."},
    {u"Крупнейший убыток", u"Самая убыточная сделка."},
    {u"Выигрышей подряд", u"Самая длинная серия прибыльных сделок; сделка с нулевым результатом прерывает серию."},
    {u"Проигрышей подряд", u"Самая длинная серия убыточных сделок; сделка с нулевым результатом прерывает серию."},
    {u"Максимальная просадка", u"Наибольшее падение баланса от пика до следующего за ним минимума; пополнения и снятия просадкой не считаются."},
    {u"Просадка от пика", u"Та же просадка в процентах от баланса на пике (с пополнениями до него)."},
    {u"Даты просадки", u"День сделки, после которой был пик (или первой сделки, если пик — начальный баланс), и день дна."},
    {u"Фактор восстановления", u"Чистый результат, деленный на максимальную просадку: во сколько раз прибыль перекрыла худшее падение."},
    {u"Сделок с R", u"Сделки со стоп-лоссом по убыточную сторону от цены открытия: у них есть R — результат в долях риска."},
    {u"Средний R", u"Среднее R: (закрытие − открытие) / (открытие − S/L) для buy, (открытие − закрытие) / (S/L − открытие) для sell."},
    {u"Ожидание в R", u"Доля выигрышей × средний выигрыш в R − доля проигрышей × средний проигрыш в R."},
    {u"SQN", u"√N × средний R / стандартное отклонение R (выборочное, N − 1); нужны хотя бы две сделки с R."},
    {u"Крупнейший R", u"Лучшая сделка в R."},
    {u"Наименьший R", u"Худшая сделка в R."},
};
static_assert(metricrow::Count == std::tuple_size_v<decltype(TradingMetrics::values)>);

constexpr std::array<const char*, metricrow::Count> kKeys = {
    "trades", "win_percent", "net", "profit_factor", "expectancy", "average_win", "average_loss",
    "win_loss_ratio", "largest_win", "largest_loss", "winning_streak", "losing_streak", "max_drawdown",
    "max_drawdown_percent", "drawdown_dates", "recovery_factor", "trades_with_r", "average_r", "expectancy_r",
    "sqn", "max_r", "min_r"};

std::optional<QDate> tradeDay(QByteArrayView t)
{
    const auto parts = tradeDayParts(t);
    return parts ? std::optional<QDate>(QDate((*parts)[0], (*parts)[1], (*parts)[2])) : std::nullopt;
}

QString dayText(const ReportTrades& trades, int row)
{
    const std::optional<QDate> day = tradeDay(trades.openTimeBytes(row));
    return day ? day->toString(QStringLiteral("dd.MM.yyyy")) : trades.openTime(row);
}

QString ratio(double part, double whole) { return whole == 0 ? kNone : num::formatFixed(part / whole, 2); }
std::optional<double> ratioValue(double part, double whole)
{
    return whole == 0 ? std::nullopt : std::optional<double>(part / whole);
}
QString moneyPer(double sum, int count) { return count == 0 ? kNone : num::money(sum / count); }

struct Curve {
    double maxDrawdown = 0;
    double peakAtDrawdown = 0;
    int peakRow = -1;   // the trade after which the peak was, -1 for the start
    int troughRow = -1; // the trade after which the trough was
};

void writeFigures(TradingMetrics& m, const QStringList& values)
{
    for (int i = 0; i < metricrow::Count; ++i) {
        m.texts.append(QString::fromUtf16(kFigures[i].name));
        m.texts.append(values.value(i));
        m.texts.append(QString::fromUtf16(kFigures[i].explanation));
        m.texts.endRow();
    }
}

std::vector<MonthResult> monthsOf(const std::map<int, double>& byMonth)
{
    std::vector<MonthResult> months;
    if (byMonth.empty())
        return months;
    const int last = byMonth.rbegin()->first;
    const int first = std::max(byMonth.begin()->first, last - kMaxMonths + 1);
    for (int m = first; m <= last; ++m) {
        const auto it = byMonth.find(m);
        months.push_back({QDate(m / 12, m % 12 + 1, 1), it == byMonth.end() ? 0.0 : it->second});
    }
    return months;
}

} // namespace

TradingMetrics buildTradingMetrics(const ReportTrades& trades, const QString& initialBalance,
                                   const std::vector<CashMovement>& cash)
{
    return buildTradingMetrics(trades, trades.timeOrder(), initialBalance, cash);
}

TradingMetrics buildTradingMetrics(const ReportTrades& trades, const std::vector<int>& rows,
                                   const QString& initialBalance, const std::vector<CashMovement>& cash)
{
    TradingMetrics m;
    m.texts = TextTable(3, {QStringLiteral("Показатель"), QStringLiteral("Значение"), QStringLiteral("Пояснение")});
    double start = 0;
    if (!initialBalance.trimmed().isEmpty()) {
        const std::optional<double> value = num::parseComma(initialBalance);
        if (!value) {
            m.stop(QStringLiteral("Начальный баланс не читается как число: \"%1\"").arg(initialBalance));
            writeFigures(m, {});
            return m;
        }
        start = *value;
    }

    int wins = 0, losses = 0;
    double winSum = 0, lossSum = 0;
    std::optional<double> largestWin, largestLoss;
    int winRun = 0, lossRun = 0, longestWinRun = 0, longestLossRun = 0;
    double balance = start, peak = start;
    int peakRow = -1;
    Curve curve;
    std::map<int, double> byMonth; // year * 12 + month - 1
    auto monthSum = byMonth.end();
    int unreadable = 0;
    QString firstBad;
    // A deposit or a withdrawal moves the balance and its peak alike: it
    // is no gain or loss of the trading, yet a later percentage is taken of
    // the money that was there.
    auto nextCash = cash.begin();
    const auto addCashUpTo = [&](QByteArrayView time) {
        for (; nextCash != cash.end(); ++nextCash) {
            if (QByteArrayView(nextCash->time.toLatin1()) > time)
                break;
            if (nextCash->countsInBalance()) {
                balance += nextCash->amount;
                peak += nextCash->amount;
            }
        }
    };
    std::vector<double> rs;
    for (const int row : rows) {
        if (const std::optional<double> r = trades.r(row))
            rs.push_back(*r);
        const std::optional<double> net = trades.net(row);
        if (!net) {
            // Left out of every figure, named once.
            if (unreadable++ == 0)
                firstBad = trades.netProblem(row);
            continue;
        }
        if (nextCash != cash.end())
            addCashUpTo(trades.openTimeBytes(row));
        const double p = *net;
        if (p > 0) {
            ++wins;
            winSum += p;
            largestWin = std::max(largestWin.value_or(p), p);
            ++winRun;
            lossRun = 0;
        } else if (p < 0) {
            ++losses;
            lossSum += p;
            largestLoss = std::min(largestLoss.value_or(p), p);
            ++lossRun;
            winRun = 0;
        } else {
            winRun = lossRun = 0;
        }
        longestWinRun = std::max(longestWinRun, winRun);
        longestLossRun = std::max(longestLossRun, lossRun);

        balance += p;
        if (balance > peak) {
            peak = balance;
            peakRow = row;
        } else if (peak - balance > curve.maxDrawdown) {
            curve = {peak - balance, peak, peakRow, row};
        }
        if (const auto day = tradeDayParts(trades.openTimeBytes(row))) {
            // The trades come by time: mostly the month of the trade before.
            const int month = (*day)[0] * 12 + (*day)[1] - 1;
            if (monthSum == byMonth.end() || monthSum->first != month)
                monthSum = byMonth.try_emplace(month, 0.0).first;
            monthSum->second += p;
        }
    }

    const int n = static_cast<int>(rows.size()) - unreadable;
    const double net = winSum + lossSum;
    QStringList values(metricrow::Count);
    values[metricrow::Trades] = QString::number(n);
    values[metricrow::WinPercent] =
        n == 0 ? kNone : num::formatFixed(static_cast<double>(wins) / n * 100.0, 2) + u'%';
    values[metricrow::Net] = num::money(net);
    values[metricrow::ProfitFactor] = ratio(winSum, std::abs(lossSum));
    values[metricrow::Expectancy] = moneyPer(net, n);
    values[metricrow::AverageWin] = moneyPer(winSum, wins);
    values[metricrow::AverageLoss] = moneyPer(lossSum, losses);
    values[metricrow::WinLossRatio] =
        wins == 0 || losses == 0 ? kNone : ratio(winSum / wins, std::abs(lossSum / losses));
    values[metricrow::LargestWin] = largestWin ? num::money(*largestWin) : kNone;
    values[metricrow::LargestLoss] = largestLoss ? num::money(*largestLoss) : kNone;
    values[metricrow::WinningStreak] = QString::number(longestWinRun);
    values[metricrow::LosingStreak] = QString::number(longestLossRun);
    values[metricrow::Drawdown] = num::money(curve.maxDrawdown);
    values[metricrow::DrawdownPercent] =
        curve.maxDrawdown > 0 && curve.peakAtDrawdown > 0
            ? num::formatFixed(curve.maxDrawdown / curve.peakAtDrawdown * 100.0, 2) + u'%'
            : kNone;
    if (curve.maxDrawdown > 0) {
        const int peakDayRow = curve.peakRow >= 0 ? curve.peakRow : rows.front();
        values[metricrow::DrawdownDates] = dayText(trades, peakDayRow) + QStringLiteral(" – ")
                                           + dayText(trades, curve.troughRow);
    } else {
        values[metricrow::DrawdownDates] = kNone;
    }
    values[metricrow::RecoveryFactor] = ratio(net, curve.maxDrawdown);

    const RStats r = computeRStats(rs);
    const auto rText = [](const std::optional<double>& v) { return v ? num::formatFixed(*v, 2) : kNone; };
    values[metricrow::TradesWithR] = QString::number(r.count);
    values[metricrow::AverageR] = rText(r.average);
    values[metricrow::ExpectancyR] = rText(r.expectancy);
    values[metricrow::Sqn] = rText(r.sqn);
    values[metricrow::LargestR] = rText(r.largest);
    values[metricrow::SmallestR] = rText(r.smallest);
    writeFigures(m, values);

    auto& v = m.values;
    v[metricrow::Trades] = n;
    if (n > 0)
        v[metricrow::WinPercent] = static_cast<double>(wins) / n * 100.0;
    v[metricrow::Net] = net;
    v[metricrow::ProfitFactor] = ratioValue(winSum, std::abs(lossSum));
    if (n > 0)
        v[metricrow::Expectancy] = net / n;
    if (wins > 0)
        v[metricrow::AverageWin] = winSum / wins;
    if (losses > 0)
        v[metricrow::AverageLoss] = lossSum / losses;
    if (wins > 0 && losses > 0)
        v[metricrow::WinLossRatio] = ratioValue(winSum / wins, std::abs(lossSum / losses));
    v[metricrow::LargestWin] = largestWin;
    v[metricrow::LargestLoss] = largestLoss;
    v[metricrow::WinningStreak] = longestWinRun;
    v[metricrow::LosingStreak] = longestLossRun;
    v[metricrow::Drawdown] = curve.maxDrawdown;
    if (curve.maxDrawdown > 0 && curve.peakAtDrawdown > 0)
        v[metricrow::DrawdownPercent] = curve.maxDrawdown / curve.peakAtDrawdown * 100.0;
    v[metricrow::RecoveryFactor] = ratioValue(net, curve.maxDrawdown);
    v[metricrow::TradesWithR] = r.count;
    v[metricrow::AverageR] = r.average;
    v[metricrow::ExpectancyR] = r.expectancy;
    v[metricrow::Sqn] = r.sqn;
    v[metricrow::LargestR] = r.largest;
    v[metricrow::SmallestR] = r.smallest;
    m.months = monthsOf(byMonth);
    if (unreadable > 0)
        m.stop(unreadableTradesText(firstBad, unreadable));
    return m;
}

TradingMetrics buildTradingMetrics(TSQLiteDatabase& db, const QString& account, const QString& initialBalance)
{
    const ReportTrades trades(db, account);
    return buildTradingMetrics(trades, initialBalance, CashStore(db).list(account));
}

const std::array<const char*, metricrow::Count>& metricKeys() { return kKeys; }

TextTable compareTradingMetrics(const TradingMetrics& all, const TradingMetrics& filtered)
{
    TextTable t(5, {QStringLiteral("Показатель"), QStringLiteral("Все сделки"), QStringLiteral("С фильтром"),
                    QStringLiteral("Разница"), QStringLiteral("Пояснение")});
    for (int i = 0; i < metricrow::Count; ++i) {
        t.append(QString::fromUtf16(kFigures[i].name));
        t.append(i < all.texts.rowCount() ? all.texts.cellText(i, 1) : QString());
        t.append(i < filtered.texts.rowCount() ? filtered.texts.cellText(i, 1) : QString());
        const auto& a = all.values[static_cast<size_t>(i)];
        const auto& f = filtered.values[static_cast<size_t>(i)];
        QString difference;
        if (a && f) {
            const bool whole = i == metricrow::Trades || i == metricrow::WinningStreak
                               || i == metricrow::LosingStreak || i == metricrow::TradesWithR;
            double d = *f - *a;
            if (std::abs(d) < 0.005)
                d = 0;
            difference = whole ? QString::number(static_cast<qint64>(std::llround(d)))
                               : num::formatFixed(d, 2);
            if (d > 0)
                difference.prepend(u'+');
            if (i == metricrow::WinPercent || i == metricrow::DrawdownPercent)
                difference += QStringLiteral(" п.п.");
        }
        t.append(difference);
        t.append(QString::fromUtf16(kFigures[i].explanation));
        t.endRow();
    }
    return t;
}
