#include "stats/core/trade_time.h"

#include "db/core/numbers.h"

#include <QList>

namespace {

std::optional<int> part(QStringView text, int minDigits, int maxDigits)
{
    if (text.size() < minDigits || text.size() > maxDigits)
        return std::nullopt;
    for (const QChar c : text) {
        if (c < u'0' || c > u'9')
            return std::nullopt;
    }
    return static_cast<int>(*num::parseInteger(text));
}

std::optional<QDate> parseDate(QStringView text)
{
    const QList<QStringView> parts = text.split(u'.');
    if (parts.size() != 3)
        return std::nullopt;
    const bool yearFirst = parts[0].size() == 4;
    const auto year = part(parts[yearFirst ? 0 : 2], 4, 4);
    const auto month = part(parts[1], 1, 2);
    const auto day = part(parts[yearFirst ? 2 : 0], 1, 2);
    if (!year || !month || !day)
        return std::nullopt;
    const QDate date(*year, *month, *day);
    return date.isValid() ? std::optional<QDate>(date) : std::nullopt;
}

std::optional<QTime> parseTime(QStringView text)
{
    const QList<QStringView> parts = text.split(u':');
    if (parts.size() < 2 || parts.size() > 3)
        return std::nullopt;
    const auto hour = part(parts[0], 1, 2);
    const auto minute = part(parts[1], 1, 2);
    const auto second = parts.size() == 3 ? part(parts[2], 1, 2) : std::optional<int>(0);
    if (!hour || !minute || !second)
        return std::nullopt;
    const QTime time(*hour, *minute, *second);
    return time.isValid() ? std::optional<QTime>(time) : std::nullopt;
}

} // namespace

std::optional<QDateTime> parseTradeTime(QStringView text)
{
    text = text.trimmed();
    const qsizetype space = text.indexOf(u' ');
    const std::optional<QDate> date = parseDate(space < 0 ? text : text.left(space));
    if (!date)
        return std::nullopt;
    if (space < 0)
        return QDateTime(*date, QTime(0, 0));
    const std::optional<QTime> time = parseTime(text.mid(space + 1).trimmed());
    if (!time)
        return std::nullopt;
    return QDateTime(*date, *time);
}
