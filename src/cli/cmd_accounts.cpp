// tradejournal-cli accounts [--ids] [--data DIR]: the accounts as TSV with their
// currency, cash movements and balance.
// tradejournal-cli accounts add NAME [--capital N] [--currency C] [--data DIR]:
// a new account, as the account dialog makes one; prints its id.
#include "accounts/core/account_fields.h"
#include "accounts/core/account_store.h"
#include "cli/cli_support.h"
#include "db/core/cash_store.h"
#include "db/core/sqlite_database.h"
#include "stats/core/balance_chart.h"

#include <QRegularExpression>

namespace {

// Money for a machine to read: a point, two decimals, no separators.
QString plain(double value) { return QString::number(value, 'f', 2); }

int listAccounts(Journal& journal)
{
    AccountStore store(journal.db(), journal.path(QStringLiteral("img")));
    const std::vector<AccountRecord> accounts = store.listAccounts();
    cli::tsvLine({QStringLiteral("id"), QStringLiteral("name"), QStringLiteral("type"), QStringLiteral("broker"),
                  QStringLiteral("state"), QStringLiteral("currency"), QStringLiteral("capital"),
                  QStringLiteral("deposits"), QStringLiteral("trades"), QStringLiteral("balance")});
    QStringList problems;
    for (const AccountRecord& a : accounts) {
        const BalanceChart chart = buildBalanceChartData(journal.db(), a.id, a.capital);
        if (!chart.complete())
            problems << QStringLiteral("Счет %1: %2").arg(a.id, chart.problem);
        cli::tsvLine({a.id, a.name, a.type, a.broker, a.state, a.currency, a.capital,
                      plain(CashStore(journal.db()).balanceBefore(a.id)), QString::number(chart.tradeCount.value_or(0)),
                      chart.complete() ? plain(chart.withCommission) : QString()});
    }
    for (const QString& p : problems)
        cli::err(QStringLiteral("Ошибка - Во время обновление данных: ") + p);
    return problems.isEmpty() ? 0 : 1;
}

// Only what names an account: quick on any journal (the shell's completion
// of --account asks it at every Tab).
int listAccountIds(Journal& journal)
{
    AccountStore store(journal.db(), journal.path(QStringLiteral("img")));
    cli::tsvLine({QStringLiteral("id"), QStringLiteral("name")});
    for (const AccountRecord& a : store.listAccounts())
        cli::tsvLine({a.id, a.name});
    return 0;
}

int addAccount(Journal& journal, QStringList args)
{
    const QString capital = cli::takeOption(args, QStringLiteral("--capital")).value_or(QStringLiteral("0"));
    const QString typed = cli::takeOption(args, QStringLiteral("--currency")).value_or(QString());
    if (args.size() != 1 || args[0].startsWith(QLatin1String("--")))
        return cli::usageError(QStringLiteral("accounts"), 1);
    AccountRecord account;
    account.name = args[0].trimmed();
    if (account.name.isEmpty()) {
        cli::err(QStringLiteral("Укажите название счета"));
        return 1;
    }
    // The capital is a whole number of the account's money, as the dialog takes it.
    static const QRegularExpression digits(QStringLiteral("^[0-9]{1,12}$"));
    if (!digits.match(capital).hasMatch()) {
        cli::err(QStringLiteral("Капитал «%1» не принят: укажите целое число без знаков и пробелов").arg(capital));
        return 1;
    }
    const std::optional<QString> currency = currencyCode(typed);
    if (!currency) {
        cli::err(currencyRefusal(typed));
        return 1;
    }
    account.capital = capital;
    account.currency = *currency;
    AccountStore store(journal.db(), journal.path(QStringLiteral("img")));
    cli::out(store.addAccount(account) + u'\n');
    return 0;
}

} // namespace

int runAccounts(const QStringList& arguments)
{
    QStringList args = arguments;
    const bool add = !args.isEmpty() && args.front() == QLatin1String("add");
    if (add)
        args.removeFirst();
    auto journal = cli::openJournal(args);
    if (!journal)
        return 1;
    try {
        if (add)
            return addAccount(*journal, args);
        const bool idsOnly = cli::takeFlag(args, QStringLiteral("--ids"));
        if (!args.isEmpty())
            return cli::usageError(QStringLiteral("accounts"));
        return idsOnly ? listAccountIds(*journal) : listAccounts(*journal);
    } catch (const ESQLiteException& e) {
        cli::err(e.message());
        return 1;
    }
}
