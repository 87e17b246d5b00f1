#include "stats/core/period_analysis.h"

#include "db/core/numbers.h"
#include "db/core/sqlite_database.h"

QString weekdayName(const QDate& date)
{
    static const char16_t* const names[7] = {u"Понедельник", u"Вторник", u"Среда", u"Четверг",
                                             u"Пятница", u"Суббота", u"Воскресенье"};
    return date.isValid() ? QString::fromUtf16(names[date.dayOfWeek() - 1]) : QString();
}

QString analysisDateLabel(const QDate& start)
{
    // The month name in the genitive, as Russian dates read: "05 июля 2013".
    static const char16_t* const months[12] = {u"января", u"февраля", u"марта",    u"апреля",  u"мая",     u"июня",
                                               u"июля",   u"августа", u"сентября", u"октября", u"ноября", u"декабря"};
    return QStringLiteral("%1 %2 %3 - %4")
        .arg(start.day(), 2, 10, QLatin1Char('0'))
        .arg(QString::fromUtf16(months[start.month() - 1]))
        .arg(start.year(), 4, 10, QLatin1Char('0'))
        .arg(weekdayName(start));
}

const QStringList& analysisHeaders()
{
    static const QStringList headers = {
        QStringLiteral("№"),     QStringLiteral("id"),        QStringLiteral("Ticket"), QStringLiteral("OpenTime"),
        QStringLiteral("Type"),  QStringLiteral("Size"),      QStringLiteral("Item"),   QStringLiteral("Profit"),
        QStringLiteral("Таймфрэйм"), QStringLiteral("Тренд"), QStringLiteral("Вошел"),  QStringLiteral("Вышел"),
        QStringLiteral("НЛ"),    QStringLiteral("Ошибка"),    QStringLiteral("Оценка"), QStringLiteral("Рис")};
    return headers;
}

PeriodAnalysis buildPeriodAnalysis(TSQLiteDatabase& db, const QString& account, const QDate& start, const QDate& end)
{
    PeriodAnalysis result;
    const QString format = QStringLiteral("yyyy.MM.dd");
    try {
        auto t = db.openResultTable(
            QStringLiteral("SELECT * FROM t_sdelki WHERE OpenTime>? and OpenTime<? and chet=? ORDER BY OpenTime ASC"),
            {start.toString(format), end.toString(format), account});
        static const char* const fields[] = {"id",        "Ticket", "OpenTime", "Type",     "Size",   "Item",   "Profit",
                                             "strategia", "verno",  "taktika",  "pravilo2", "nedobral", "pravilo", "ocenka"};
        int cols[14];
        for (int i = 0; i < 14; ++i)
            cols[i] = t->columnIndex(QLatin1String(fields[i]));
        const int imgTop = t->columnIndex(QStringLiteral("img_top"));
        result.rows.reserve(t->rowCount());
        for (int i = 1; !t->atEnd(); t->moveNext(), ++i) {
            PeriodAnalysis::Row row;
            row[0] = QString::number(i);
            for (int c = 0; c < 14; ++c)
                row[c + 1] = t->fieldTextOf(cols[c]);
            const auto picture = num::parseInteger(t->fieldTextOf(imgTop));
            row[15] = picture.value_or(0) != 0 ? QStringLiteral("+") : QString();
            result.rows.push_back(row);
            const auto profit = num::parseComma(row[7]);
            if (!profit) {
                result.failed = true;
                result.failure = QStringLiteral("'%1' is not a valid floating point value").arg(row[7]);
                break;
            }
            ++result.count;
            if (*profit > 0) {
                ++result.wins;
                result.sumPos += *profit;
            } else if (*profit < 0) {
                ++result.losses;
                result.sumNeg += *profit;
            }
        }
    } catch (const ESQLiteException& e) {
        result.failed = true;
        result.failure = e.message();
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
