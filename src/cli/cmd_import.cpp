// tradejournal-cli import --account ID [--force] [--data DIR] FILE: copies the
// closed trades and the cash movements of a statement into an account, as
// "2. Скопировать сделки на счет". A statement that does not add up to its own
// totals (one cut short, say) is refused unless --force is given.
#include "accounts/core/account_store.h"
#include "context/core/journal.h"
#include "cli/cli_support.h"
#include "cli/cmd_csv.h"
#include "import/core/report_file.h"
#include "import/core/row_check.h"
#include "import/core/statement_facts.h"
#include "import/core/trade_copy.h"
#include "import/core/trade_extraction.h"
#include "db/core/reasons.h"

#include <QStringList>

#include <cstdio>

namespace {

int usage() { return cli::usageError(QStringLiteral("import")); }

int fail(const QString& message)
{
    cli::err(message);
    return 1;
}

} // namespace

int runImport(const QStringList& arguments)
{
    if (namesCsvFile(arguments))
        return runImportCsv(arguments);
    QStringList args = arguments;
    const QString account = cli::takeOption(args, QStringLiteral("--account")).value_or(QString());
    const bool force = cli::takeFlag(args, QStringLiteral("--force"));
    auto opened = cli::openJournal(args);
    if (!opened)
        return 1;
    if (account.isEmpty() || args.size() != 1 || args[0].startsWith(QLatin1String("--")))
        return usage();
    const QString file = args[0];
    Journal& journal = *opened;

    QByteArray text;
    try {
        if (!cli::requireAccount(journal, account))
            return 1;
        text = readTextFile(file);
    } catch (const ESQLiteException& e) {
        return fail(withRussianReasons(e.message()));
    } catch (const ReportReadError& e) {
        return fail(e.message());
    }
    const ReportKind kind = recognizeReport(text);
    if (kind == ReportKind::None)
        return fail(notAReportMessage());
    const Extraction extraction = extractTrades(text, kind);
    if (!extraction.complete())
        return fail(extraction.problem + QStringLiteral("\nНичего не скопировано."));

    // A trade with a cell that does not read is never stored: it would make
    // every view of the account stumble over it.
    const std::vector<RowProblem> problems = checkStatementRows(extraction.rows);
    for (const RowProblem& p : problems)
        cli::err(p.describe());
    const StatementFacts facts = readStatementFacts(text, kind);
    const Reconciliation reconciliation = reconcile(facts, extraction.rows);
    // Without problems every row is copied as it is, without a second list.
    std::vector<StatementRow> goodRows;
    if (!problems.empty())
        goodRows = rowsWithoutProblems(extraction.rows, problems);
    const std::vector<StatementRow>& rows = problems.empty() ? extraction.rows : goodRows;
    if (!force && !problems.empty())
        return fail(QStringLiteral("Сделок с ошибками: %1. Ничего не скопировано; --force копирует остальные сделки.")
                        .arg(static_cast<int>(extraction.rows.size() - rows.size())));
    if (!reconciliation.reconciled) {
        if (!force)
            return fail(QStringLiteral("Отчет не сверяется со своими итогами: %1\nНичего не скопировано; "
                                       "--force копирует его всё равно.")
                            .arg(reconciliation.reason()));
        cli::err(QStringLiteral("Отчет не сверяется со своими итогами: %1\nКопируется по --force.")
                     .arg(reconciliation.reason()));
    }

    const CopyOutcome outcome = copyTrades(journal.db(), account, rows,
                                           journal.path(QStringLiteral("img")), {}, statementMoney(facts));
    if (!outcome.complete())
        return fail(QStringLiteral("Ошибка - Во время добавление данных: %1 (до ошибки добавлено сделок: %2, обновлено: %3)")
                        .arg(withRussianReasons(outcome.problem))
                        .arg(outcome.inserted)
                        .arg(outcome.updated));
    std::printf("Добавлено сделок: %d, обновлено: %d\n", outcome.inserted, outcome.updated);
    if (!outcome.movedFrom.empty()) {
        AccountStore accounts(journal.db(), journal.path(QStringLiteral("img")));
        const QString moved = otherAccountsText(outcome.movedFrom, [&](const QString& id) {
            const std::optional<AccountRecord> a = accounts.findAccount(id);
            return a ? a->name : QString();
        });
        std::printf("Перенесено %s\n", moved.toUtf8().constData());
    }
    if (outcome.cashAdded > 0)
        std::printf("Пополнений и снятий добавлено: %d\n", outcome.cashAdded);
    if (!outcome.currencySet.isEmpty())
        std::printf("Валюта счета: %s\n", outcome.currencySet.toUtf8().constData());
    for (const QString& picture : outcome.pictureProblems)
        std::fprintf(stderr, "Не удалось перенести картинку %s\n", picture.toUtf8().constData());
    return 0;
}
