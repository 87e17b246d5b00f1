#include "cli/commands.h"

int runTrades(const QStringList& args);
int runChart(const QStringList& args);

const std::vector<CliCommand>& cliCommands()
{
    static const std::vector<CliCommand> commands = {
        {"trades", "the trade table of an account and its summary", runTrades},
        {"chart", "the balance curve of an account and its totals", runChart},
    };
    return commands;
}
