#include "cli/commands.h"

int runAnalysisCommand(const QStringList& args);

const std::vector<CliCommand>& cliCommands()
{
    static const std::vector<CliCommand> commands = {
        {"analysis", "the trades of a period with their annotations and totals", runAnalysisCommand},
    };
    return commands;
}
