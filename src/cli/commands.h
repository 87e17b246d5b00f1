#pragma once

#include <QStringList>

#include <vector>

// One command of tradejournal-cli. Each command lives in its own file
// (cmd_<name>.cpp) and is listed in commands.cpp.
struct CliCommand {
    const char* name;
    const char* summary;
    int (*run)(const QStringList& args);
};

const std::vector<CliCommand>& cliCommands();
