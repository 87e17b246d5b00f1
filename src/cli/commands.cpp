#include "cli/commands.h"

int runTreeCommand(const QStringList& args);
int runPictureCommand(const QStringList& args);
int runExtract(const QStringList& args);
int runImport(const QStringList& args);
int runTrades(const QStringList& args);
int runChart(const QStringList& args);
int runAnalysisCommand(const QStringList& args);
int runDays(const QStringList& args);
int runWeeks(const QStringList& args);
int runBackup(const QStringList& args);
int runRestore(const QStringList& args);
int runReports(const QStringList& args);
int runPicturesCommand(const QStringList& args);
int runNotebook(const QStringList& args);
int runNote(const QStringList& args);
int runAccounts(const QStringList& args);
int runStatement(const QStringList& args);
int runBreakdown(const QStringList& args);
int runCalendar(const QStringList& args);
int runRStats(const QStringList& args);
int runStats(const QStringList& args);

const std::vector<CliCommand>& cliCommands()
{
    static const std::vector<CliCommand> commands = {
        {"tree", "записи дерева из файла состояния (txt/TreeView1.txt и др.)", runTreeCommand, "FILE",
         "Печатает записи дерева по одной в строке с отступом по глубине и номером\n"
         "значка в скобках."},
        {"picture", "размеры рисунка из файла .pat или .paz; --png OUT сохраняет его", runPictureCommand,
         "FILE [--png OUT]",
         "Печатает границы и размер рисунка из файла FILE (.pat или .paz), с --png\n"
         "записывает его в OUT в формате PNG."},
        {"accounts", "счета с валютой и балансом; accounts add NAME создает счет", runAccounts,
         "[--ids] [--data DIR]\nadd NAME [--capital N] [--currency C] [--data DIR]",
         "Без add печатает счета в TSV: id, название, тип, брокер, состояние, валюта,\n"
         "капитал, пополнения, сделки, баланс (суммы с точкой). --ids: только id и\n"
         "название, без подсчета баланса.\n"
         "add создает счет, как диалог счета (капитал: целое число, по умолчанию 0;\n"
         "валюта: код из трех латинских букв или пусто), и печатает его id."},
        {"extract", "закрытые сделки отчета или таблицы CSV в TSV", runExtract, "FILE\n[--map FIELD=COLUMN,...] FILE.csv",
         "Печатает закрытые сделки отчета MetaTrader, как их показывает предпросмотр\n"
         "импорта: строку из 16 заголовков и по строке на сделку (UTF-8; табуляция,\n"
         "CR, LF и обратная косая черта в ячейке записаны как \\t, \\r, \\n и \\\\).\n"
         "Таблица CSV (*.csv, *.txt) читается по столбцам, угаданным по заголовкам\n"
         "или запомненным окном; --map задает столбец поля (по имени или номеру с 1)."},
        {"statement", "сведения отчета и его сверка с собственными итогами", runStatement, "FILE",
         "Печатает сведения отчета MetaTrader и его сверку с собственными итогами\n"
         "строками ключ<TAB>значение: account, name, currency, trades, deposits,\n"
         "closed_pl_statement, closed_pl_trades, balance_statement, opening_balance,\n"
         "reconciled (yes/no). Суммы с точкой; ненайденное значение пусто."},
        {"import", "скопировать закрытые сделки и движения средств отчета на счет", runImport,
         "--account ID [--force] [--data DIR] FILE\n--account ID [--force] [--map FIELD=COLUMN,...] [--data DIR] FILE.csv",
         "Копирует закрытые сделки, пополнения и снятия отчета MetaTrader на счет ID:\n"
         "известные тикеты обновляются и сохраняют свои пометки, новые добавляются.\n"
         "Отчет, сделки которого не сходятся с его итогами, не копируется без --force.\n"
         "Таблица CSV копируется так же; строка без тикета получает тикет из символа,\n"
         "времени открытия, типа и объема. Таблица со строками с ошибками не\n"
         "копируется без --force (тогда копируются остальные строки)."},
        {"trades", "таблица сделок счета и ее итог", runTrades, "--account ID [--order profit|date] [--data DIR]",
         "Печатает таблицу сделок счета, как страница \"База данных\", в TSV и строку\n"
         "итога; --order date упорядочивает по дате, profit (по умолчанию) по прибыли."},
        {"chart", "кривая баланса счета и ее итоги", runChart, "--account ID [--balance N] [--data DIR]",
         "Печатает точки кривой баланса и итоги графика. Начальный баланс: --balance\n"
         "или капитал счета."},
        {"analysis", "сделки периода с пометками и итогами", runAnalysisCommand,
         "--account ID --from YYYY-MM-DD --to YYYY-MM-DD [--data DIR]",
         "Печатает анализ периода, как страница \"Анализ\": сделки с пометками и итоги."},
        {"days", "результаты по дням с балансом и заметками дня", runDays,
         "--account ID --from YYYY-MM-DD --to YYYY-MM-DD [--balance N] [--data DIR]",
         "Печатает таблицу по дням страницы \"По дням\" в TSV. Начальный баланс:\n"
         "--balance или капитал счета."},
        {"weeks", "результаты по неделям с балансом", runWeeks,
         "--account ID --from YYYY-MM-DD --to YYYY-MM-DD [--balance N] [--data DIR]",
         "Печатает таблицу по неделям страницы \"По дням\" в TSV. Начальный баланс:\n"
         "--balance или капитал счета."},
        {"backup", "проверенная копия базы журнала; печатает ее путь", runBackup, "[--data DIR] [FILE]",
         "Копирует datamoney.db в FILE или в backup/datamoney-YYYY-MM-DD-hhmmss.db\n"
         "папки данных, проверяет копию и печатает ее путь. Программа может быть открыта."},
        {"restore", "вернуть копию базы на место (программа должна быть закрыта)", runRestore,
         "FILE [--data DIR]",
         "Проверяет копию FILE и ставит ее на место datamoney.db папки данных; прежняя\n"
         "база сохраняется в backup/. Пока журнал открыт в окне, ничего не делает."},
        {"reports", "отчеты по категориям, показатели счета и результаты по месяцам", runReports,
         "--account ID [--data DIR]",
         "Печатает восемь отчетов страницы \"Отчеты\", показатели счета и результат по\n"
         "месяцам: каждая таблица под своим заголовком, между таблицами пустая строка."},
        {"pictures", "рисунки сделки; --png NAME OUT сохраняет один в PNG", runPicturesCommand,
         "--account ID --trade ID [--png NAME OUT] [--data DIR]",
         "Печатает рисунки сделки: название, файл и размер; с --png записывает\n"
         "рисунок NAME в файл OUT в формате PNG."},
        {"notebook", "дерево блокнота, по записи в строке с отступом по глубине", runNotebook, "[--data DIR]",
         "Печатает дерево блокнота, как его показывает страница."},
        {"note", "документ блокнота простым текстом; --rtf в хранимом RTF", runNote, "NAME [--rtf] [--data DIR]",
         "Печатает документ блокнота NAME простым текстом, с --rtf в виде хранимого RTF."},
        {"breakdown", "итоги сделок по часу, дню недели, символу или полю анализа, TSV", runBreakdown,
         "--by hour|weekday|symbol|timeframe|market|entry|exit|errors|rating --account ID [--from YYYY-MM-DD] "
         "[--to YYYY-MM-DD] [--data DIR]",
         "Печатает TSV с заголовком key, trades, wins, losses, net, average: по строке на\n"
         "ключ, у которого есть сделки, по порядку ключей. net - сумма прибыли, комиссии,\n"
         "налогов и свопа; выигрыш - сделка с net > 0, проигрыш - с net < 0. Час и день\n"
         "недели (1 - понедельник) - по времени открытия сервера. Период: с --from\n"
         "до --to, не включая --to, как во всех периодах журнала."},
        {"calendar", "дни месяца со сделками: число сделок и результат, TSV", runCalendar,
         "--month YYYY-MM --account ID [--data DIR]",
         "Печатает TSV с заголовком date, trades, net для каждого дня месяца, в котором\n"
         "открыты сделки."},
        {"rstats", "R-мультипликаторы сделок со стоп-лоссом: число, среднее, SQN, наибольший и наименьший",
         runRStats, "--account ID [--from YYYY-MM-DD] [--to YYYY-MM-DD] [--data DIR]",
         "Печатает строки ключ<TAB>значение: trades_with_r, average_r, sqn, max_r, min_r\n"
         "(четыре знака после точки). R = пройденное ценой расстояние в единицах риска\n"
         "(цена открытия - S/L) для сделок со стоп-лоссом на убыточной стороне; SQN\n"
         "считается при двух сделках с R и больше."},
        {"stats", "показатели сделок, отобранных фильтром", runStats,
         "--account ID [--from YYYY-MM-DD] [--to YYYY-MM-DD] [--symbol S[,S...]] [--type buy|sell] "
         "[--weekday N[,N...]] [--hour H[,H...]] [--timeframe T] [--market M] [--entry E] [--exit X] "
         "[--errors E] [--rating R] [--data DIR]",
         "Печатает показатели отобранных сделок строками ключ<TAB>значение, как вкладка\n"
         "\"Показатели\" с фильтром. День недели: 1 - понедельник ... 7 - воскресенье;\n"
         "час - час времени открытия сервера (0-23)."},
    };
    return commands;
}

const CliCommand* findCliCommand(const QString& name)
{
    for (const CliCommand& c : cliCommands())
        if (name == QLatin1String(c.name))
            return &c;
    return nullptr;
}
