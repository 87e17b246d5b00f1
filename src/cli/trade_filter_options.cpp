#include "cli/trade_filter_options.h"

#include "accounts/core/account_store.h"
#include "cli/cli_support.h"
#include "db/core/numbers.h"
#include "db/core/sqlite_database.h"

#include <QDate>

namespace cli {

namespace {

// "a,b" and repeated options alike; false when an option has no value.
bool takeList(QStringList& args, const QString& name, QStringList& out)
{
    for (;;) {
        bool missing = false;
        const std::optional<QString> value = takeOption(args, name, &missing);
        if (missing)
            return false;
        if (!value)
            return true;
        for (const QString& part : value->split(u','))
            out.append(part.trimmed());
    }
}

// Whole numbers in [low, high] into a bit mask; nothing when one is not.
std::optional<quint32> maskOf(const QStringList& values, int low, int high)
{
    quint32 mask = 0;
    for (const QString& v : values) {
        bool ok = false;
        const int n = v.toInt(&ok);
        if (!ok || n < low || n > high)
            return std::nullopt;
        mask |= 1u << (n - low);
    }
    return mask;
}

} // namespace

QString pointNumber(double value, int decimals)
{
    return num::formatFixed(value, decimals).replace(u',', u'.');
}

int takeFilteredRequest(QStringList& args, bool bar, FilteredRequest& request)
{
    const std::optional<QString> account = takeOption(args, QStringLiteral("--account"));
    const std::optional<QString> from = takeOption(args, QStringLiteral("--from"));
    const std::optional<QString> to = takeOption(args, QStringLiteral("--to"));
    TradeFilter& f = request.filter;
    if (from) {
        f.from = QDate::fromString(*from, Qt::ISODate);
        if (!f.from.isValid())
            return 2;
    }
    if (to) {
        f.to = QDate::fromString(*to, Qt::ISODate);
        if (!f.to.isValid())
            return 2;
    }
    if (bar) {
        QStringList weekdays, hours, types;
        if (!takeList(args, QStringLiteral("--symbol"), f.symbols) || !takeList(args, QStringLiteral("--type"), types)
            || !takeList(args, QStringLiteral("--weekday"), weekdays) || !takeList(args, QStringLiteral("--hour"), hours))
            return 2;
        static const char* const fields[kAnnotationFieldCount] = {"--timeframe", "--market", "--entry",
                                                                  "--exit",      "--errors", "--rating"};
        for (int i = 0; i < kAnnotationFieldCount; ++i) {
            if (!takeList(args, QLatin1String(fields[i]), f.annotations[static_cast<size_t>(i)]))
                return 2;
        }
        if (types.size() > 1)
            return 2;
        if (!types.isEmpty()) {
            if (types[0] == QLatin1String("buy"))
                f.direction = TradeFilter::Direction::Buy;
            else if (types[0] == QLatin1String("sell"))
                f.direction = TradeFilter::Direction::Sell;
            else
                return 2;
        }
        if (!weekdays.isEmpty()) {
            const auto mask = maskOf(weekdays, 1, 7);
            if (!mask)
                return 2;
            f.weekdays = *mask;
        }
        if (!hours.isEmpty()) {
            const auto mask = maskOf(hours, 0, 23);
            if (!mask)
                return 2;
            f.hours = *mask;
        }
    }
    if (!account)
        return 2;
    request.account = *account;
    request.journal = openJournal(args);
    if (!request.journal)
        return 1;
    if (!args.isEmpty())
        return 2;
    try {
        // Only the id's own spelling counts, as for an import.
        AccountStore accounts(request.journal->db(), request.journal->path(QStringLiteral("img")));
        if (QString::number(account->toLongLong()) != *account || !accounts.findAccount(*account)) {
            err(QStringLiteral("Нет счета с id %1").arg(*account));
            return 1;
        }
    } catch (const ESQLiteException& e) {
        err(e.message());
        return 1;
    }
    return 0;
}

} // namespace cli
