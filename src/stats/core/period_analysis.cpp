#include "stats/core/period_analysis.h"

#include "db/core/columns.h"
#include "db/core/numbers.h"
#include "db/core/reasons.h"
#include "db/core/sqlite_database.h"
#include "pictures/core/trade_pictures.h"
#include "stats/core/r_multiples.h"
#include "state/core/snapshot_stream.h"

#include <iterator>

QString weekdayName(const QDate& date)
{
    static const char16_t* const names[7] = {u"Понедельник", u"Вторник", u"Среда", u"Четверг",
                                             u"Пятница", u"Суббота", u"Воскресенье"};
    return date.isValid() ? QString::fromUtf16(names[date.dayOfWeek() - 1]) : QString();
}

QString longDateText(const QDate& date)
{
    // The month name in the genitive, as Russian dates read: "05 июля 2013".
    static const char16_t* const months[12] = {u"января", u"февраля", u"марта",    u"апреля",  u"мая",     u"июня",
                                               u"июля",   u"августа", u"сентября", u"октября", u"ноября", u"декабря"};
    if (!date.isValid())
        return QString();
    return QStringLiteral("%1 %2 %3")
        .arg(date.day(), 2, 10, QLatin1Char('0'))
        .arg(QString::fromUtf16(months[date.month() - 1]))
        .arg(date.year(), 4, 10, QLatin1Char('0'));
}

QString analysisDateLabel(const QDate& start)
{
    return longDateText(start) + QStringLiteral(" - ") + weekdayName(start);
}

const QStringList& analysisHeaders()
{
    static const QStringList headers = {
        QStringLiteral("№"),     QStringLiteral("id"),        QStringLiteral("Ticket"), QStringLiteral("OpenTime"),
        QStringLiteral("Type"),  QStringLiteral("Size"),      QStringLiteral("Item"),   QStringLiteral("Profit"),
        QStringLiteral("Таймфрэйм"), QStringLiteral("Тренд"), QStringLiteral("Вошел"),  QStringLiteral("Вышел"),
        QStringLiteral("НЛ"),    QStringLiteral("Ошибка"),    QStringLiteral("Оценка"), QStringLiteral("Рис"),
        QStringLiteral("R")};
    return headers;
}

namespace {

// The trade's columns shown in the grid from analysiscol::Id on, in order.
constexpr t_sdelki::Column kShown[] = {
    t_sdelki::Id,     t_sdelki::Ticket,    t_sdelki::OpenTime, t_sdelki::Type,    t_sdelki::Size,
    t_sdelki::Item,   t_sdelki::Profit,    t_sdelki::Strategia, t_sdelki::Verno,  t_sdelki::Taktika,
    t_sdelki::Pravilo2, t_sdelki::Nedobral, t_sdelki::Pravilo,  t_sdelki::Ocenka};
static_assert(std::size(kShown) == analysiscol::Rating - analysiscol::Id + 1);
static_assert(kShown[analysiscol::Profit - analysiscol::Id] == t_sdelki::Profit);

// A trade has pictures when its list names at least one, or when a
// picture position is stored for it (the mark of the program's first
// versions, which read only the position).
bool hasPictures(const QByteArray& list, const QString& storedTop)
{
    if (num::parseInteger(storedTop).value_or(0) != 0)
        return true;
    if (list.isEmpty())
        return false;
    try {
        return !pictureListNames(list).isEmpty();
    } catch (const SnapshotError&) {
        return false; // the picture tab reports it when it is shown
    }
}

QString rText(const QString& type, const QString& open, const QString& close, const QString& stopLoss)
{
    const auto o = parsePrice(open), c = parsePrice(close), sl = parsePrice(stopLoss);
    if (!o || !c || !sl)
        return QString();
    const std::optional<double> r = rMultiple(tradeSide(type), *o, *c, *sl);
    return r ? num::formatFixed(*r, 2) : QString();
}

} // namespace

QString pictureMark(bool hasPicture) { return hasPicture ? QStringLiteral("+") : QString(); }

PeriodAnalysis buildPeriodAnalysis(TSQLiteDatabase& db, const QString& account, const QDate& start, const QDate& end)
{
    PeriodAnalysis result;
    const QString format = QStringLiteral("yyyy.MM.dd");
    try {
        using namespace t_sdelki;
        auto t = db.openResultTable(QStringLiteral("SELECT * FROM %1 WHERE %2>? and %2<? and %3=? ORDER BY %2 ASC")
                                        .arg(table, name(OpenTime), name(Chet)),
                                    {start.toString(format), end.toString(format), account});
        // Every column by name once per query, not per row.
        int cols[std::size(kShown)];
        for (size_t i = 0; i < std::size(kShown); ++i)
            cols[i] = t->columnIndex(name(kShown[i]));
        const int imgTop = t->columnIndex(name(ImgTop));
        const int listCol = t->columnIndex(name(TTree));
        const int openCol = t->columnIndex(name(PriceOpen)), closeCol = t->columnIndex(name(PriceClose)),
                  slCol = t->columnIndex(name(Sl));
        const int commissionCol = t->columnIndex(name(Commission)), taxesCol = t->columnIndex(name(Taxes)),
                  swapCol = t->columnIndex(name(Swap)), idCol = t->columnIndex(name(Id));
        result.rows.reserve(t->rowCount());
        int unreadable = 0;
        QString firstBad;
        for (int i = 1; !t->atEnd(); t->moveNext(), ++i) {
            PeriodAnalysis::Row row;
            row[analysiscol::Number] = QString::number(i);
            for (size_t c = 0; c < std::size(kShown); ++c)
                row[analysiscol::Id + c] = t->fieldTextOf(cols[c]);
            row[analysiscol::Picture] = pictureMark(hasPictures(t->fieldBlob(listCol), t->fieldTextOf(imgTop)));
            row[analysiscol::R] = rText(row[analysiscol::Type], t->fieldTextOf(openCol), t->fieldTextOf(closeCol),
                                        t->fieldTextOf(slCol));
            result.rows.push_back(row);
            // The day's result is what its trades added to the balance: each
            // trade's profit with its commission, taxes and swap. A trade whose
            // money does not read is listed but left out of the sums.
            const QString& profitText = row[analysiscol::Profit];
            const auto profit = num::parseComma(profitText);
            const QString taxesText = t->fieldTextOf(taxesCol), swapText = t->fieldTextOf(swapCol);
            const auto taxes = num::parseTaxes(taxesText);
            const auto swap = num::parseSwap(swapText);
            if (!profit || !taxes || !swap) {
                if (unreadable++ == 0)
                    firstBad = unreadableTradeText(t->fieldTextOf(idCol),
                                                   !profit ? QStringLiteral("Прибыль") : !taxes ? QStringLiteral("Налог") : QStringLiteral("Своп"),
                                                   !profit ? profitText : !taxes ? taxesText : swapText);
                continue;
            }
            const double net = *profit + t->fieldNumber(commissionCol) + *taxes + *swap;
            ++result.count;
            if (net > 0) {
                ++result.wins;
                result.sumPos += net;
            } else if (net < 0) {
                ++result.losses;
                result.sumNeg += net;
            }
        }
        if (unreadable > 0)
            result.stop(unreadableTradesText(firstBad, unreadable));
    } catch (const ESQLiteException& e) {
        result.stop(e.message());
    }
    return result;
}

QString PeriodAnalysis::dayLabel() const
{
    if (count == 0)
        return QStringLiteral("Нет сделок");
    const QString total = num::money(sumPos + sumNeg);
    const QString percent = num::money(static_cast<double>(wins) / count * 100.0);
    const QString tail = QStringLiteral(" , всего сделок: %1, процент выйгрышных: %2%, Выйграл: %3, Проиграл %4")
                             .arg(count)
                             .arg(percent)
                             .arg(wins)
                             .arg(losses);
    if (wins == 0)
        return QStringLiteral("Итго дня: ") + total + tail;
    return QStringLiteral("Итог дня: ") + total + tail + QStringLiteral(", средняя прибыльная сделка: ")
        + num::money(sumPos / wins);
}

QColor PeriodAnalysis::dayColour() const
{
    if (count == 0)
        return QColor(0, 0, 0);
    return wins == 0 ? QColor(255, 0, 0) : QColor(0, 128, 0);
}
