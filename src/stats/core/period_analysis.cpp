#include "stats/core/period_analysis.h"

#include "db/core/columns.h"
#include "db/core/cp1251.h"
#include "db/core/numbers.h"
#include "db/core/reasons.h"
#include "db/core/sqlite_database.h"
#include "pictures/core/trade_pictures.h"
#include "stats/core/r_multiples.h"
#include "state/core/snapshot_stream.h"

#include <algorithm>
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

namespace {

// The columns read, in the order of the select list: the shown ones first.
constexpr int kImgTop = std::size(kShown), kList = kImgTop + 1, kCommission = kImgTop + 2, kTaxes = kImgTop + 3,
              kSwap = kImgTop + 4, kPriceOpen = kImgTop + 5, kPriceClose = kImgTop + 6, kSl = kImgTop + 7,
              kReadCount = kImgTop + 8;
constexpr int kIdAt = 0; // t_sdelki::Id is the first shown column

QString selectList()
{
    QStringList names;
    for (const t_sdelki::Column c : kShown)
        names.append(t_sdelki::name(c));
    for (const t_sdelki::Column c : {t_sdelki::ImgTop, t_sdelki::TTree, t_sdelki::Commission, t_sdelki::Taxes, t_sdelki::Swap,
                                    t_sdelki::PriceOpen, t_sdelki::PriceClose, t_sdelki::Sl})
        names.append(t_sdelki::name(c));
    return names.join(QStringLiteral(", "));
}

// A cell as the trade's text: a whole number's digits, a REAL's number, a
// stored text; NULL reads "0" in a number column and empty in a text one.
QString cellText(const SqlRow& row, int column, std::optional<SqlRow::Kind> kind)
{
    if (!kind)
        return QString(); // NULL in the first row of a column without a type
    switch (*kind) {
    case SqlRow::Kind::Integer: return QString::number(row.isNull(column) ? 0 : row.integer(column));
    case SqlRow::Kind::Number: return row.isNull(column) ? QStringLiteral("0") : num::formatGeneral(row.number(column));
    case SqlRow::Kind::Text:
    case SqlRow::Kind::Blob: break;
    }
    const QByteArrayView bytes = row.bytes(column);
    return bytes.isNull() ? QString() : cp1251::decode(bytes.data(), bytes.size());
}

} // namespace

PeriodAnalysis buildPeriodAnalysis(TSQLiteDatabase& db, const QString& account, const QDate& start, const QDate& end)
{
    PeriodAnalysis result;
    const QString format = QStringLiteral("yyyy.MM.dd");
    try {
        using namespace t_sdelki;
        // Read row by row in time order (the index of the account's trades
        // by open time gives that order without a sort); only the rows'
        // texts are kept.
        // The count first (from the index alone): the rows are laid out once.
        const SqlParams params = {start.toString(format), end.toString(format), account};
        db.readRows(QStringLiteral("SELECT count(*) FROM %1 WHERE %2>? and %2<? and %3=?").arg(table, name(OpenTime), name(Chet)),
                    params, [&](const SqlRow& row) { result.rows.reserve(static_cast<size_t>(std::max<qint64>(0, row.integer(0)))); });
        std::optional<SqlRow::Kind> kinds[kReadCount];
        bool first = true;
        int unreadable = 0;
        QString firstBad;
        int i = 0;
        db.readRows(QStringLiteral("SELECT %1 FROM %2 WHERE %3>? and %3<? and %4=? ORDER BY %3 ASC")
                        .arg(selectList(), table, name(OpenTime), name(Chet)),
                    params, [&](const SqlRow& t) {
                        if (first) {
                            first = false;
                            for (int c = 0; c < kReadCount; ++c)
                                kinds[c] = t.kind(c);
                        }
                        PeriodAnalysis::Row row;
                        row[analysiscol::Number] = QString::number(++i);
                        for (size_t c = 0; c < std::size(kShown); ++c)
                            row[analysiscol::Id + c] = cellText(t, static_cast<int>(c), kinds[c]);
                        const QByteArrayView list = kinds[kList] ? t.blob(kList) : QByteArrayView();
                        row[analysiscol::Picture] = pictureMark(
                            hasPictures(list.isEmpty() ? QByteArray() : list.toByteArray(), cellText(t, kImgTop, kinds[kImgTop])));
                        row[analysiscol::R] = rText(row[analysiscol::Type], cellText(t, kPriceOpen, kinds[kPriceOpen]),
                                                    cellText(t, kPriceClose, kinds[kPriceClose]), cellText(t, kSl, kinds[kSl]));
                        result.rows.push_back(std::move(row));
                        // The day's result is what its trades added to the balance: each
                        // trade's profit with its commission, taxes and swap. A trade whose
                        // money does not read is listed but left out of the sums.
                        const QString& profitText = result.rows.back()[analysiscol::Profit];
                        const auto profit = num::parseComma(profitText);
                        const QString taxesText = cellText(t, kTaxes, kinds[kTaxes]);
                        const QString swapText = cellText(t, kSwap, kinds[kSwap]);
                        const auto taxes = num::parseTaxes(taxesText);
                        const auto swap = num::parseSwap(swapText);
                        if (!profit || !taxes || !swap) {
                            if (unreadable++ == 0)
                                firstBad = unreadableTradeText(result.rows.back()[analysiscol::Id + kIdAt],
                                                               !profit ? QStringLiteral("Прибыль") : !taxes ? QStringLiteral("Налог") : QStringLiteral("Своп"),
                                                               !profit ? profitText : !taxes ? taxesText : swapText);
                            return;
                        }
                        const double commission = t.isNull(kCommission) ? 0.0 : t.number(kCommission);
                        const double net = *profit + commission + *taxes + *swap;
                        ++result.count;
                        if (net > 0) {
                            ++result.wins;
                            result.sumPos += net;
                        } else if (net < 0) {
                            ++result.losses;
                            result.sumNeg += net;
                        }
                    });
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
