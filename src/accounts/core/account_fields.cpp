#include "accounts/core/account_fields.h"

#include "db/core/numbers.h"

#include <algorithm>

QString stepCapital(const QString& capital, int direction)
{
    const qint64 value = std::max<qint64>(0, num::parseInteger(capital.trimmed()).value_or(0));
    if (direction > 0) {
        if (value >= kCapitalStepperMax)
            return capital;
        return QString::number(std::min<qint64>(value + kCapitalStep, kCapitalStepperMax));
    }
    if (direction < 0)
        return QString::number(std::clamp<qint64>(value - kCapitalStep, 0, kCapitalStepperMax));
    return capital;
}

QString toStoredLineBreaks(QString text)
{
    text.replace(QStringLiteral("\r\n"), QStringLiteral("\n"));
    return text.replace(QLatin1Char('\n'), QStringLiteral("\r\n"));
}

QString fromStoredLineBreaks(QString text)
{
    return text.replace(QStringLiteral("\r\n"), QStringLiteral("\n")).replace(QLatin1Char('\r'), QLatin1Char('\n'));
}
