#include "cli/commands.h"

int runTreeCommand(const QStringList& args);
int runPictureCommand(const QStringList& args);

const std::vector<CliCommand>& cliCommands()
{
    static const std::vector<CliCommand> commands = {
        {"tree", "print the entries of a tree snapshot file", runTreeCommand},
        {"picture", "print the bounds of a picture file (.pat, .paz); --png OUT saves it", runPictureCommand},
    };
    return commands;
}
