#pragma once

#include <QByteArrayView>
#include <QDateTime>
#include <QStringView>

#include <array>
#include <optional>

// A trade time as the journal stores it: "2013.05.21 10:15", with or
// without seconds, or the date alone. The short form dd.mm.yyyy is read
// too. Nothing for any other text.
std::optional<QDateTime> parseTradeTime(QStringView text);

// The day the stored bytes of a trade time begin with ("2013.07.05 ...") as
// year, month and day; nothing when the first ten bytes are not a valid
// date of that form. Reads the bytes in place, for loops over every trade.
inline std::optional<std::array<int, 3>> tradeDayParts(QByteArrayView t)
{
    if (t.size() < 10 || t[4] != '.' || t[7] != '.')
        return std::nullopt;
    std::array<int, 3> parts = {0, 0, 0};
    const int starts[3] = {0, 5, 8}, lengths[3] = {4, 2, 2};
    for (int p = 0; p < 3; ++p) {
        for (int i = starts[p]; i < starts[p] + lengths[p]; ++i) {
            if (t[i] < '0' || t[i] > '9')
                return std::nullopt;
            parts[p] = parts[p] * 10 + (t[i] - '0');
        }
    }
    return QDate::isValid(parts[0], parts[1], parts[2]) ? std::optional(parts) : std::nullopt;
}
