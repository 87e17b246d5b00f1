// tradejournal-cli import --account ID [--data DIR] [--map FIELD=COLUMN,...]
// [--force] FILE.csv and extract [--map ...] FILE.csv: a table of trades from
// another platform or a spreadsheet, its columns guessed from the header (or
// the mapping remembered in the window for this header), --map correcting
// them.
#include "cli/cmd_csv.h"

#include "accounts/core/account_store.h"
#include "cli/cli_support.h"
#include "context/core/journal.h"
#include "db/core/reasons.h"
#include "import/core/csv_mapping_memory.h"
#include "import/core/csv_table.h"
#include "import/core/csv_trades.h"
#include "import/core/report_file.h"
#include "import/core/trade_copy.h"

#include <QFileInfo>

#include <cstdio>
#include <string>

namespace {

int usage(bool import)
{
    if (import)
        std::fprintf(stderr,
                     "Использование: tradejournal-cli import --account ID [--data ПАПКА] [--map ПОЛЕ=СТОЛБЕЦ,...] "
                     "[--force] ФАЙЛ.csv\n"
                     "Копирует сделки таблицы CSV (разделитель запятая, точка с запятой или табуляция) на счет ID.\n"
                     "Столбцы угадываются по заголовку (или берутся запомненные окном для такого заголовка);\n"
                     "--map их уточняет: СТОЛБЕЦ - имя из заголовка или номер с 1, пустой или \"-\" убирает поле.\n"
                     "Поля: ticket, opentime, type, size, symbol, openprice, sl, tp, closetime, closeprice,\n"
                     "commission, taxes, swap, profit (обязательны opentime, type, size, symbol, profit).\n"
                     "Строка без тикета получает тикет из символа, времени открытия, типа и объема, так что\n"
                     "повторный импорт обновляет сделки. Строки с ошибками не копируются; без --force при них\n"
                     "не копируется ничего.\n");
    else
        std::fprintf(stderr, "Использование: tradejournal-cli extract [--map ПОЛЕ=СТОЛБЕЦ,...] ФАЙЛ.csv\n"
                             "Печатает сделки таблицы CSV так, как их покажет просмотр импорта (TSV).\n");
    return 2;
}

void line(const QString& text) { cli::out(text + u'\n'); }

int fail(const QString& message)
{
    cli::err(message);
    return 1;
}

QString noTableMessage(const QString& file)
{
    return QStringLiteral("В файле «%1» нет таблицы сделок: нужна строка заголовков и под ней строки сделок, "
                          "ячейки через запятую, точку с запятой или табуляцию.")
        .arg(QFileInfo(file).fileName());
}

QString fieldKeys()
{
    QStringList keys;
    for (const CsvFieldInfo& info : csvFields())
        keys << QLatin1String(info.key);
    return keys.join(QStringLiteral(", "));
}

// "Время открытия=«Open Time», ..." for the fields with a column.
QString mappingLine(const CsvMapping& mapping, const QStringList& header)
{
    QStringList parts;
    for (const CsvFieldInfo& info : csvFields())
        if (mapping[info.field] >= 0)
            parts << QStringLiteral("%1=«%2»").arg(QString::fromUtf16(info.label), header.value(mapping[info.field]));
    return QStringLiteral("Столбцы: ") + parts.join(QStringLiteral(", "));
}

// The mapping of a table: `initial`, then --map. An error is printed.
std::optional<CsvMapping> mappingFor(const CsvTable& table, CsvMapping initial, const std::optional<QString>& map)
{
    if (map) {
        if (const std::optional<QString> problem = applyMapOption(initial, *map, table.header)) {
            cli::err(QStringLiteral("--map: ") + *problem);
            return std::nullopt;
        }
    }
    const QStringList missing = initial.missingRequired();
    if (!missing.isEmpty()) {
        cli::err(QStringLiteral("Не найдены столбцы для полей: %1. Укажите их: --map ПОЛЕ=СТОЛБЕЦ (поля: %2).\n"
                                "Заголовок файла: %3")
                     .arg(missing.join(QStringLiteral(", ")), fieldKeys(), table.header.join(QStringLiteral(" | "))));
        return std::nullopt;
    }
    return initial;
}

// A TSV cell: tab, CR, LF and backslash written as \t, \r, \n and \\.
QString tsvCell(QString text)
{
    text.replace(u'\\', QStringLiteral("\\\\"));
    text.replace(u'\t', QStringLiteral("\\t"));
    text.replace(u'\r', QStringLiteral("\\r"));
    text.replace(u'\n', QStringLiteral("\\n"));
    return text;
}

} // namespace

bool namesCsvFile(const QStringList& args)
{
    if (args.contains(QStringLiteral("--map")))
        return true;
    for (const QString& arg : args) {
        if (isCsvFileName(arg))
            return true;
        if (!isTxtFileName(arg))
            continue;
        try {
            return recognizeReport(readTextFile(arg)) == ReportKind::None;
        } catch (const ReportReadError&) {
            return false; // the statement path reports it
        }
    }
    return false;
}

int runImportCsv(const QStringList& arguments)
{
    QStringList args = arguments;
    const QString account = cli::takeOption(args, QStringLiteral("--account")).value_or(QString());
    bool mapMissing = false;
    const std::optional<QString> map = cli::takeOption(args, QStringLiteral("--map"), &mapMissing);
    const bool force = cli::takeFlag(args, QStringLiteral("--force"));
    if (mapMissing)
        return usage(true);
    auto opened = cli::openJournal(args);
    if (!opened)
        return 1;
    if (account.isEmpty() || args.size() != 1 || args[0].startsWith(QLatin1String("--")))
        return usage(true);
    const QString file = args[0];
    Journal& journal = *opened;

    CsvTable table;
    try {
        AccountStore accounts(journal.db(), journal.path(QStringLiteral("img")));
        if (QString::number(account.toLongLong()) != account || !accounts.findAccount(account))
            return fail(QStringLiteral("Нет счета с id %1").arg(account));
        table = readCsvFile(file);
    } catch (const ESQLiteException& e) {
        return fail(withRussianReasons(e.message()));
    } catch (const ReportReadError& e) {
        return fail(e.message());
    }
    if (table.isEmpty() || table.rows.empty())
        return fail(noTableMessage(file));
    const CsvMappingMemory memory(journal.path(CsvMappingMemory::fileName()));
    const std::optional<CsvMapping> mapping = mappingFor(table, initialCsvMapping(table, memory), map);
    if (!mapping)
        return 1;
    line(mappingLine(*mapping, table.header));

    const CsvTrades trades = readCsvTrades(table, *mapping);
    for (const CsvProblem& p : trades.problems)
        cli::err(p.describe());
    if (!force && !trades.problems.empty())
        return fail(QStringLiteral("Строк с ошибками: %1. Ничего не скопировано; --force копирует остальные сделки.")
                        .arg(trades.badRowCount()));
    // A table has no totals of the account to hold its trades against.
    line(csvReconciliationLine());

    const CopyOutcome outcome =
        copyTrades(journal.db(), account, trades.goodRows(), journal.path(QStringLiteral("img")));
    if (!outcome.complete())
        return fail(QStringLiteral("Ошибка - Во время добавление данных: %1 (до ошибки добавлено сделок: %2, обновлено: %3)")
                        .arg(withRussianReasons(outcome.problem))
                        .arg(outcome.inserted)
                        .arg(outcome.updated));
    line(QStringLiteral("Добавлено сделок: %1, обновлено: %2").arg(outcome.inserted).arg(outcome.updated));
    if (!trades.problems.empty())
        line(QStringLiteral("Не скопировано строк с ошибками: %1").arg(trades.badRowCount()));
    if (!outcome.movedFrom.empty()) {
        AccountStore accounts(journal.db(), journal.path(QStringLiteral("img")));
        line(QStringLiteral("Перенесено ") + otherAccountsText(outcome.movedFrom, [&](const QString& id) {
                     const std::optional<AccountRecord> a = accounts.findAccount(id);
                     return a ? a->name : QString();
                 }));
    }
    for (const QString& picture : outcome.pictureProblems)
        cli::err(QStringLiteral("Не удалось перенести картинку %1").arg(picture));
    return 0;
}

int runExtractCsv(const QStringList& arguments)
{
    QStringList args = arguments;
    bool mapMissing = false;
    const std::optional<QString> map = cli::takeOption(args, QStringLiteral("--map"), &mapMissing);
    if (mapMissing || args.size() != 1 || args[0].startsWith(QLatin1String("--")))
        return usage(false);
    CsvTable table;
    try {
        table = readCsvFile(args[0]);
    } catch (const ReportReadError& e) {
        return fail(e.message());
    }
    if (table.isEmpty() || table.rows.empty())
        return fail(noTableMessage(args[0]));
    const std::optional<CsvMapping> mapping = mappingFor(table, guessCsvMapping(table.header), map);
    if (!mapping)
        return 1;
    const CsvTrades trades = readCsvTrades(table, *mapping);
    std::string out = previewHeaderTexts().join(u'\t').toStdString() + '\n';
    for (const StatementRow& row : trades.goodRows()) {
        QStringList cells;
        for (const QString& cell : row.cells)
            cells << tsvCell(cell);
        out += cells.join(u'\t').toStdString() + '\n';
    }
    std::fwrite(out.data(), 1, out.size(), stdout);
    std::fflush(stdout);
    for (const CsvProblem& p : trades.problems)
        cli::err(p.describe());
    if (!trades.problems.empty())
        return fail(QStringLiteral("Строк с ошибками: %1, они не напечатаны.").arg(trades.badRowCount()));
    return 0;
}
