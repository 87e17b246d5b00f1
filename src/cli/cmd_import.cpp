// tradejournal-cli import --account ID [--data DIR] FILE: copies the closed
// trades of a statement into an account, as "2. Скопировать сделки на счет".
#include "accounts/core/account_store.h"
#include "app/core/journal.h"
#include "cli/cli_support.h"
#include "import/core/report_file.h"
#include "import/core/trade_copy.h"
#include "import/core/trade_extraction.h"

#include <QStringList>

#include <cstdio>

namespace {

int usage()
{
    std::fprintf(stderr, "Usage: tradejournal-cli import --account ID [--data DIR] FILE\n"
                         "Copies the closed trades of a MetaTrader statement into the account ID of\n"
                         "datamoney.db in DIR (the current folder by default): known tickets are\n"
                         "updated and keep their annotations, new ones are added.\n");
    return 2;
}

int fail(const QString& message)
{
    cli::err(message);
    return 1;
}

} // namespace

int runImport(const QStringList& arguments)
{
    QStringList args = arguments;
    const QString account = cli::takeOption(args, QStringLiteral("--account")).value_or(QString());
    auto opened = cli::openJournal(args);
    if (!opened)
        return 1;
    if (account.isEmpty() || args.size() != 1 || args[0].startsWith(QLatin1String("--")))
        return usage();
    const QString file = args[0];
    Journal& journal = *opened;

    QByteArray text;
    try {
        // Only the id's own spelling counts: "01" would find account 1 but
        // store its trades under a different chet text.
        AccountStore accounts(journal.db(), journal.path(QStringLiteral("img")));
        if (QString::number(account.toLongLong()) != account || !accounts.findAccount(account))
            return fail(QStringLiteral("Нет счета с id %1").arg(account));
        text = readTextFile(file);
    } catch (const ESQLiteException& e) {
        return fail(e.message());
    } catch (const ReportReadError& e) {
        return fail(e.message());
    }
    const ReportKind kind = recognizeReport(text);
    if (kind == ReportKind::None)
        return fail(notAReportMessage());
    const Extraction extraction = extractTrades(text, kind);
    if (!extraction.complete())
        return fail(extraction.problem + QStringLiteral("\nНичего не скопировано."));

    const CopyOutcome outcome =
        copyTrades(journal.db(), account, extraction.rows, journal.path(QStringLiteral("img")));
    std::printf("Добавлено сделок: %d, обновлено: %d\n", outcome.inserted, outcome.updated);
    for (const QString& picture : outcome.pictureProblems)
        std::fprintf(stderr, "Не удалось перенести картинку %s\n", picture.toUtf8().constData());
    if (!outcome.complete())
        return fail(QStringLiteral("Ошибка - Во время добавление данных: %1").arg(outcome.problem));
    return 0;
}
