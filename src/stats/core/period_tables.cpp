#include "stats/core/period_tables.h"

#include "db/core/numbers.h"
#include "db/core/sqlite_database.h"
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
std::optional<Running> startingBalance(const QString& text, PeriodTable& result)
{
    if (text.trimmed().isEmpty())
        return Running{};
    const std::optional<double> value = num::parseComma(text);
    if (!value) {
        result.stop(QStringLiteral("Начальный баланс не читается как число: \"%1\"").arg(text));
        return std::nullopt;
    }
    return Running{*value, *value};
}

QString percent(double part, double whole, int decimals)
{
    return num::formatFixed(part / whole * 100.0, decimals) + u'%';
}

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
// for a day is the one shown.
QHash<QString, DayNote> notesByDay(TSQLiteDatabase& db, const QString& account)
{
    QHash<QString, DayNote> notes;
    for (DayNote& note : DayNoteStore(db).list(account))
        if (!notes.contains(note.day))
            notes.insert(note.day, std::move(note));
    return notes;
}

// The days or weeks of the range and their trades: every period with at
// least one trade, in date order, gets a row from writeRow(period, totals,
// balance before, balance after). A number that does not read stops the
// table there; the rows before it stay.
template <class WriteRow>
void fillPeriods(PeriodTable& result, TSQLiteDatabase& db, const QString& account, const std::vector<QDate>& bounds,
                 Running running, WriteRow writeRow)
{
    try {
        const PeriodTrades trades(db, account, bounds);
        for (int p = 0; p < trades.periodCount(); ++p) {
            if (trades.isEmpty(p))
                continue;
            PeriodTotals totals;
            QString reason;
            if (!trades.totals(p, totals, reason)) {
                result.stop(reason);
                break;
            }
            const Running before = running;
            running.balance += totals.total();
            running.withoutCommission += totals.sumPos + totals.sumNeg;
            writeRow(bounds[p], totals, before, running);
        }
    } catch (const ESQLiteException& e) {
        result.stop(e.message());
    }
}

} // namespace

PeriodTable buildDayTable(TSQLiteDatabase& db, const QString& account, const QDateTime& from, const QDateTime& to,
                          const QString& initialBalance)
{
    PeriodTable result;
    result.texts = TextTable(daycol::Count, dayTableHeaders());
    const std::optional<Running> start = startingBalance(initialBalance, result);
    if (!start)
        return result;
    // The days from the start picker's date on, as many as whole days lie
    // between the pickers (also when the end is before the start); the end
    // day itself is never one of them. Each day is bounded by the next.
    const int days = wholeDaysBetween(from, to);
    if (days == 0)
        return result;
    std::vector<QDate> bounds;
    for (int i = 0; i <= days; ++i)
        bounds.push_back(from.date().addDays(i));

    QHash<QString, DayNote> notes;
    try {
        notes = notesByDay(db, account);
    } catch (const ESQLiteException& e) {
        result.stop(e.message()); // the days are still shown, without notes
    }
    fillPeriods(result, db, account, bounds, *start,
                [&](const QDate& day, const PeriodTotals& t, const Running&, const Running& after) {
                    const QString key = shortDate(day);
                    const DayNote note = notes.value(key);
                    // A balance of exactly 0 leaves the share empty: there is nothing to divide by.
                    const QString share = after.balance != 0 ? num::money(t.total() / after.balance * 100.0) : QString();
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
    return result;
}

PeriodTable buildWeekTable(TSQLiteDatabase& db, const QString& account, const QDateTime& from, const QDateTime& to,
                           const QString& initialBalance)
{
    PeriodTable result;
    result.texts = TextTable(weekcol::Count, weekTableHeaders());
    const std::optional<Running> start = startingBalance(initialBalance, result);
    if (!start)
        return result;
    // Weeks run from Monday 00:00 through Sunday. The first is the week of
    // the start picker's date; one more than the whole weeks between the
    // pickers follow it.
    const QDate firstMonday = from.date().addDays(1 - from.date().dayOfWeek());
    const int weeks = wholeDaysBetween(from, to) / 7 + 2;
    std::vector<QDate> bounds;
    for (int i = 0; i <= weeks; ++i)
        bounds.push_back(firstMonday.addDays(7 * i));

    // A week's trades are taken in time order, which the runs of wins and
    // losses need. Which trade comes last no longer matters otherwise:
    // every commission of the week is summed, so no order changes a value.
    fillPeriods(result, db, account, bounds, *start,
                [&](const QDate& monday, const PeriodTotals& t, const Running& before, const Running& after) {
                    const QString total = num::money(t.total());
                    result.rows.push_back({monday, num::parseComma(total)});
                    const bool won = t.wins > 0, lost = t.losses > 0;
                    appendAll(result.texts,
                              {QString::number(result.rows.size()), longDateText(monday),
                               moneyIf(before.balance != 0, t.total() / before.balance * 100.0), QString::number(t.n),
                               percent(t.wins, t.n, 2), total, num::money(after.balance),
                               num::money(after.withoutCommission), moneyIf(t.sumPos > 0, t.sumPos / t.wins),
                               QString::number(t.wins), num::money(t.sumPos), QString::number(t.losses),
                               num::money(t.sumNeg), moneyIf(t.sumPos > 0 && t.sumNeg < 0, t.sumPos / t.sumNeg),
                               moneyIf(won, t.maxPos), moneyIf(lost, t.minNeg), moneyIf(won, t.sumPos / t.wins),
                               moneyIf(lost, t.sumNeg / t.losses), countIf(t.longestLosingRun),
                               countIf(t.longestWinningRun), shortDate(monday)});
                });
    return result;
}
