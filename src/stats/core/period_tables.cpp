#include "stats/core/period_tables.h"

#include "db/core/cash_store.h"
#include "db/core/numbers.h"
#include "db/core/sqlite_database.h"
#include "stats/core/day_notes.h"
#include "stats/core/period_analysis.h"
#include "stats/core/period_totals.h"

#include <QHash>

PeriodBand periodBand(double value)
{
    if (value > 5)
        return PeriodBand::LargeGain;
    if (value > 0 && value < 5)
        return PeriodBand::Gain;
    if (value < 0 && value > -5)
        return PeriodBand::Loss;
    if (value < -5)
        return PeriodBand::LargeLoss;
    return PeriodBand::None;
}

const QStringList& dayTableHeaders()
{
    static const QStringList headers = {
        QStringLiteral("№"),       QStringLiteral("Дата"),      QStringLiteral("День недели"),
        QStringLiteral("Сделок"),  QStringLiteral("Итого"),     QStringLiteral("Итого %"),
        QStringLiteral("Баланс"),  QStringLiteral("Баланс БК"), QStringLiteral("Вы"),
        QStringLiteral("Плюс"),    QStringLiteral("Пр"),        QStringLiteral("Минус"),
        QStringLiteral("Вы/Пр"),   QStringLiteral("Макс +"),    QStringLiteral("Макс -"),
        QStringLiteral("НЛ"),      QStringLiteral("Оценка"),    QStringLiteral("Комментарий к дню"),
        QStringLiteral("Оптимизация"), QStringLiteral("Дата")};
    return headers;
}

const QStringList& weekTableHeaders()
{
    static const QStringList headers = {
        QStringLiteral("№"),           QStringLiteral("Неделя"),      QStringLiteral("Рост"),
        QStringLiteral("Сделок"),      QStringLiteral("Процент"),     QStringLiteral("Итого"),
        QStringLiteral("Баланс"),      QStringLiteral("Баланс БК"),   QStringLiteral("СПС"),
        QStringLiteral("Вы"),          QStringLiteral("Плюс"),        QStringLiteral("Пр"),
        QStringLiteral("Минус"),       QStringLiteral("Вы/Пр"),       QStringLiteral("Макс. плюс"),
        QStringLiteral("Макс. минус"), QStringLiteral("Сред. плюс"),  QStringLiteral("Сред. минус"),
        QStringLiteral("Лоси подряд"), QStringLiteral("Профи подряд"), QStringLiteral("Дата")};
    return headers;
}

namespace {

QString shortDate(const QDate& date) { return date.toString(QStringLiteral("dd.MM.yyyy")); }

// The two running balances of a table, both from the initial balance.
struct Running {
    double balance = 0;
    double withoutCommission = 0;
};

// The initial balance as typed; empty is 0. Nothing, with the reason in
// the result, when it is not a number.
std::optional<double> initialValue(const QString& text, PeriodTable& result)
{
    if (text.trimmed().isEmpty())
        return 0.0;
    const std::optional<double> value = num::parseComma(text);
    if (!value)
        result.stop(QStringLiteral("Начальный баланс не читается как число: \"%1\"").arg(text));
    return value;
}

// The account's balance where a table begins: the initial balance, the
// cash movements and the trades before the first day of the table. A
// table that starts in the middle of an account shows the balance the
// account really had, and its percentages are taken of it. Throws
// ESQLiteException.
std::optional<Running> balanceAt(TSQLiteDatabase& db, const QString& account, double initial, const QDate& first,
                                 const std::vector<CashMovement>& cash, PeriodTable& result)
{
    MoneyBefore before;
    QString reason;
    if (!moneyBefore(db, account, first, before, reason))
        result.stop(reason); // the others still count
    const QString bound = periodBoundText(first);
    double deposits = 0;
    for (const CashMovement& m : cash)
        if (m.countsInBalance() && m.time < bound)
            deposits += m.amount;
    return Running{initial + deposits + before.net, initial + deposits + before.profit};
}

QString percent(double part, double whole, int decimals)
{
    return num::formatFixed(part / whole * 100.0, decimals) + u'%';
}

// A part of the balance before its period, "0.00"; empty when there was
// nothing (or a debt) to take a share of.
QString shareOf(double part, double before) { return before > 0 ? num::money(part / before * 100.0) : QString(); }

// A mask "0.00" when the value means something, an empty cell otherwise.
QString moneyIf(bool shown, double value) { return shown ? num::money(value) : QString(); }
QString countIf(int value) { return value != 0 ? QString::number(value) : QString(); }

void appendAll(TextTable& texts, std::initializer_list<QString> cells)
{
    for (const QString& c : cells)
        texts.append(c);
    texts.endRow();
}

// The notes of the account by day; the first one the database returns
// for a day is the one shown. A failure leaves the days without notes.
QHash<QString, DayNote> notesByDay(TSQLiteDatabase& db, const QString& account, PeriodTable& result)
{
    QHash<QString, DayNote> notes;
    try {
        for (DayNote& note : DayNoteStore(db).list(account))
            if (!notes.contains(note.day))
                notes.insert(note.day, std::move(note));
    } catch (const ESQLiteException& e) {
        result.stop(e.message());
    }
    return notes;
}

// The days from the start picker's date on, as many as whole days lie
// between the pickers (also when the end is before the start); the end
// day itself is never one of them. Each day is bounded by the next.
std::vector<QDate> dayBounds(const QDateTime& from, const QDateTime& to)
{
    const int days = wholeDaysBetween(from, to);
    std::vector<QDate> bounds;
    for (int i = 0; days > 0 && i <= days; ++i)
        bounds.push_back(from.date().addDays(i));
    return bounds;
}

// Weeks run from Monday 00:00 through Sunday. The first is the week of the
// start picker's date; one more than the whole weeks between the pickers
// follow it. They reach past the days of the same pickers.
std::vector<QDate> weekBounds(const QDateTime& from, const QDateTime& to)
{
    const QDate firstMonday = from.date().addDays(1 - from.date().dayOfWeek());
    const int weeks = wholeDaysBetween(from, to) / 7 + 2;
    std::vector<QDate> bounds;
    for (int i = 0; i <= weeks; ++i)
        bounds.push_back(firstMonday.addDays(7 * i));
    return bounds;
}

// The days or weeks with trades, in date order, each a row written by
// writeRow(period start, totals, balance before, balance after). The cash
// movements of every period, listed or not, enter the running balances.
// "Before" is what the trader had when the period's trading began: the
// movements before its first trade (a deposit made that morning) count, a
// withdrawal later in the week does not. A trade whose number does not read
// is left out of its period; the first such trade is named in the problem.
template <class WriteRow>
void fillPeriods(PeriodTable& result, const PeriodTrades& trades, const std::vector<QDate>& bounds, Running running,
                 const std::vector<CashMovement>& cash, WriteRow writeRow)
{
    auto nextCash = cash.begin();
    const auto addCashBefore = [&](const QString& time) {
        for (; nextCash != cash.end() && nextCash->time < time; ++nextCash) {
            if (nextCash->countsInBalance()) {
                running.balance += nextCash->amount;
                running.withoutCommission += nextCash->amount;
            }
        }
    };
    // Those before the table are in the starting balance already.
    const QString first = periodBoundText(bounds.front());
    while (nextCash != cash.end() && nextCash->time < first)
        ++nextCash;
    for (int p = 0; p < trades.periodCount(); ++p) {
        if (trades.isEmpty(p))
            continue;
        PeriodTotals totals;
        QString reason;
        if (!trades.totals(p, totals, reason) && result.complete())
            result.stop(reason); // the first trade left out is named; the table goes on
        if (totals.n == 0)
            continue;
        addCashBefore(trades.firstOpenTime(p));
        const Running before = running;
        addCashBefore(periodBoundText(bounds[p + 1]));
        running.balance += totals.total();
        running.withoutCommission += totals.sumPos + totals.sumNeg;
        writeRow(bounds[p], totals, before, running);
    }
}

void fillDays(PeriodTable& result, const PeriodTrades& trades, const std::vector<QDate>& bounds, Running start,
              const std::vector<CashMovement>& cash, const QHash<QString, DayNote>& notes)
{
    fillPeriods(result, trades, bounds, start, cash,
                [&](const QDate& day, const PeriodTotals& t, const Running& before, const Running& after) {
                    const QString key = shortDate(day);
                    const DayNote note = notes.value(key);
                    const QString share = shareOf(t.total(), before.balance);
                    result.rows.push_back({day, num::parseComma(share)});
                    appendAll(result.texts,
                              {QString::number(result.rows.size()), longDateText(day), weekdayName(day),
                               QString::number(t.n), num::money(t.total()), share, num::money(after.balance),
                               num::money(after.withoutCommission), QString::number(t.wins), num::money(t.sumPos),
                               QString::number(t.losses), num::money(t.sumNeg), percent(t.wins, t.n, 1),
                               num::money(t.maxPos), num::money(t.minNeg), QString::number(t.nedobralSum),
                               num::money(static_cast<double>(t.ratingPoints) / t.n), note.comment, note.analize,
                               key});
                });
}

// A week's trades are taken in time order, which the runs of wins and
// losses need. Which trade comes last no longer matters otherwise: every
// commission of the week is summed, so no order changes a value.
void fillWeeks(PeriodTable& result, const PeriodTrades& trades, const std::vector<QDate>& bounds, Running start,
               const std::vector<CashMovement>& cash)
{
    fillPeriods(result, trades, bounds, start, cash,
                [&](const QDate& monday, const PeriodTotals& t, const Running& before, const Running& after) {
                    const QString total = num::money(t.total());
                    result.rows.push_back({monday, num::parseComma(total)});
                    const bool won = t.wins > 0, lost = t.losses > 0;
                    appendAll(result.texts,
                              {QString::number(result.rows.size()), longDateText(monday),
                               shareOf(t.total(), before.balance), QString::number(t.n),
                               percent(t.wins, t.n, 2), total, num::money(after.balance),
                               num::money(after.withoutCommission), moneyIf(t.sumPos > 0, t.sumPos / t.wins),
                               QString::number(t.wins), num::money(t.sumPos), QString::number(t.losses),
                               num::money(t.sumNeg), moneyIf(t.sumPos > 0 && t.sumNeg < 0, t.sumPos / t.sumNeg),
                               moneyIf(won, t.maxPos), moneyIf(lost, t.minNeg), moneyIf(won, t.sumPos / t.wins),
                               moneyIf(lost, t.sumNeg / t.losses), countIf(t.longestLosingRun),
                               countIf(t.longestWinningRun), shortDate(monday)});
                });
}

} // namespace

PeriodTable buildDayTable(TSQLiteDatabase& db, const QString& account, const QDateTime& from, const QDateTime& to,
                          const QString& initialBalance)
{
    PeriodTable result;
    result.texts = TextTable(daycol::Count, dayTableHeaders());
    const std::optional<double> initial = initialValue(initialBalance, result);
    const std::vector<QDate> bounds = dayBounds(from, to);
    if (!initial || bounds.empty())
        return result;
    try {
        const std::vector<CashMovement> cash = CashStore(db).list(account);
        if (const auto start = balanceAt(db, account, *initial, bounds.front(), cash, result)) {
            const PeriodTrades trades(db, account, bounds);
            fillDays(result, trades, bounds, *start, cash, notesByDay(db, account, result));
        }
    } catch (const ESQLiteException& e) {
        result.stop(e.message());
    }
    return result;
}

PeriodTable buildWeekTable(TSQLiteDatabase& db, const QString& account, const QDateTime& from, const QDateTime& to,
                           const QString& initialBalance)
{
    PeriodTable result;
    result.texts = TextTable(weekcol::Count, weekTableHeaders());
    const std::optional<double> initial = initialValue(initialBalance, result);
    if (!initial)
        return result;
    const std::vector<QDate> bounds = weekBounds(from, to);
    try {
        const std::vector<CashMovement> cash = CashStore(db).list(account);
        if (const auto start = balanceAt(db, account, *initial, bounds.front(), cash, result))
            fillWeeks(result, PeriodTrades(db, account, bounds), bounds, *start, cash);
    } catch (const ESQLiteException& e) {
        result.stop(e.message());
    }
    return result;
}

PeriodTables buildPeriodTables(TSQLiteDatabase& db, const QString& account, const QDateTime& from,
                               const QDateTime& to, const QString& initialBalance)
{
    PeriodTables tables;
    tables.weeks.texts = TextTable(weekcol::Count, weekTableHeaders());
    tables.days.texts = TextTable(daycol::Count, dayTableHeaders());
    const std::optional<double> initial = initialValue(initialBalance, tables.weeks);
    if (!initial) {
        tables.days.stop(tables.weeks.problem);
        return tables;
    }
    const std::vector<QDate> weeks = weekBounds(from, to);
    const std::vector<QDate> days = dayBounds(from, to);
    try {
        const std::vector<CashMovement> cash = CashStore(db).list(account);
        // The weeks' range holds the days': one reading serves both.
        const PeriodTrades byWeek(db, account, weeks);
        if (const auto start = balanceAt(db, account, *initial, weeks.front(), cash, tables.weeks))
            fillWeeks(tables.weeks, byWeek, weeks, *start, cash);
        if (!days.empty()) {
            if (const auto start = balanceAt(db, account, *initial, days.front(), cash, tables.days))
                fillDays(tables.days, PeriodTrades(byWeek, days), days, *start, cash,
                         notesByDay(db, account, tables.days));
        }
    } catch (const ESQLiteException& e) {
        tables.weeks.stop(e.message());
        tables.days.stop(e.message());
    }
    return tables;
}
