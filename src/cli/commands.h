#pragma once

#include <QStringList>

#include <vector>

// One command of tradejournal-cli. Each command lives in its own file
// (cmd_<name>.cpp) and is listed in commands.cpp with its Russian texts:
//
//   {"name", "what it does, one line", runName,
//    "--account ID [--data DIR]",            // the synopsis, one line per form
//    "What it prints, how it fails."},       // the rest of its --help
//
// From the synopsis come `name --help` (answered by main before the command
// runs), the line a wrong command line prints (cli::usageError) and the shell
// completion (`--completion bash|zsh`): its --options, ID after --account
// (the journal's accounts), DIR and FILE, and the words of a choice
// (profit|date). A command whose synopsis names --data gets the lines that
// say which folder that is.
struct CliCommand {
    const char* name;
    const char* summary;
    int (*run)(const QStringList& args);
    const char* synopsis = "";
    const char* details = "";
};

const std::vector<CliCommand>& cliCommands();
// The command of that name; nullptr when there is none.
const CliCommand* findCliCommand(const QString& name);
