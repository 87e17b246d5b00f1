#include "cli/commands.h"

int runExtract(const QStringList& args);
int runImport(const QStringList& args);

const std::vector<CliCommand>& cliCommands()
{
    static const std::vector<CliCommand> commands = {
        {"extract", "print the closed trades of a statement as TSV", runExtract},
        {"import", "copy the closed trades of a statement into an account", runImport},
    };
    return commands;
}
