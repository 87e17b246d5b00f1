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

QString currencyMark(const QString& currency)
{
    if (currency.isEmpty() || currency == QLatin1String("USD"))
        return QStringLiteral("$");
    return u' ' + currency;
}

std::optional<QString> currencyCode(const QString& typed)
{
    const QString code = typed.trimmed().toUpper();
    if (code.isEmpty())
        return code;
    if (code.size() != 3)
        return std::nullopt;
    for (const QChar c : code)
        if (c < u'A' || c > u'Z')
            return std::nullopt;
    return code;
}

QString currencyRefusal(const QString& typed)
{
    return QStringLiteral("Валюта счета «%1» не принята: укажите код из трех латинских букв (USD, EUR, JPY) "
                          "или оставьте поле пустым.")
        .arg(typed);
}

QString accountCaption(const QString& id, const QString& name)
{
    if (!name.trimmed().isEmpty())
        return name;
    return QStringLiteral("Счет №%1 без названия").arg(id);
}
