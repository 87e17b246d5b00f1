// tradejournal-cli import --account ID [--data DIR] FILE: copies the closed
// trades of a statement into an account, as "2. Скопировать сделки на счет".
#include "app/core/journal.h"
#include "import/core/report_file.h"
#include "import/core/trade_copy.h"
#include "import/core/trade_extraction.h"

#include <QDir>
#include <QFile>
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
    std::fprintf(stderr, "%s\n", message.toUtf8().constData());
    return 1;
}

} // namespace

int runImport(const QStringList& args)
{
    QString account, dataDir = QDir::currentPath(), file;
    for (int i = 0; i < args.size(); ++i) {
        if (args[i] == QLatin1String("--account") && i + 1 < args.size())
            account = args[++i];
        else if (args[i] == QLatin1String("--data") && i + 1 < args.size())
            dataDir = args[++i];
        else if (!args[i].startsWith(QLatin1String("--")) && file.isEmpty())
            file = args[i];
        else
            return usage();
    }
    if (account.isEmpty() || file.isEmpty())
        return usage();

    Journal journal(dataDir);
    try {
        journal.openDatabase();
    } catch (const ESQLiteException& e) {
        return fail(e.message());
    }
    if (!journal.hasDatabase())
        return fail(QStringLiteral("Нет базы данных %1").arg(journal.path(QStringLiteral("datamoney.db"))));

    QByteArray text;
    try {
        const auto found = journal.db().openResultTable(QStringLiteral("SELECT id FROM t_chet WHERE id=?"),
                                                        {account.toLongLong()});
        if (found->rowCount() == 0 || QString::number(account.toLongLong()) != account)
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
    if (!outcome.ok())
        return fail(QStringLiteral("Ошибка - Во время добавление данных: %1").arg(outcome.failure));
    return 0;
}
