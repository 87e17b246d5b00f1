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
        {"tree", "print the entries of a tree snapshot file", runTreeCommand},
        {"picture", "print the bounds of a picture file (.pat, .paz); --png OUT saves it", runPictureCommand},
        {"accounts", "list the accounts with currency and balance; accounts add NAME creates one", runAccounts},
        {"extract", "print the closed trades of a statement as TSV", runExtract},
        {"statement", "the facts of a statement and its reconciliation with its own totals", runStatement},
        {"import", "copy the closed trades and cash movements of a statement into an account", runImport},
        {"trades", "the trade table of an account and its summary", runTrades},
        {"chart", "the balance curve of an account and its totals", runChart},
        {"analysis", "the trades of a period with their annotations and totals", runAnalysisCommand},
        {"days", "the results of a range by day, with running balances and day notes", runDays},
        {"weeks", "the results of a range by week, with running balances", runWeeks},
        {"backup", "a checked copy of the journal database; prints its path", runBackup},
        {"restore", "put a copy of the database back in place (the program must be closed)", runRestore},
        {"reports", "the category reports of an account, its trading metrics and monthly results", runReports},
        {"pictures", "the pictures of a trade; --png NAME OUT saves one as PNG", runPicturesCommand},
        {"notebook", "print the notebook tree, one entry a line, indented by depth", runNotebook},
        {"note", "print a notebook document as plain text; --rtf as the stored RTF", runNote},
        {"breakdown", "итоги сделок по часу, дню недели, символу или полю анализа (--by), TSV", runBreakdown},
        {"calendar", "дни месяца (--month YYYY-MM) со сделками: число сделок и результат, TSV", runCalendar},
        {"rstats", "R-мультипликаторы сделок со стоп-лоссом: число, среднее, SQN, наибольший и наименьший", runRStats},
        {"stats", "показатели сделок, отобранных фильтром (символ, тип, день недели, час, поля анализа)", runStats},
    };
    return commands;
}
