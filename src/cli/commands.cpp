#include "cli/commands.h"

const std::vector<CliCommand>& cliCommands()
{
    static const std::vector<CliCommand> commands = {
    };
    return commands;
}
