#pragma once

#include <QString>

// The shell completion of tradejournal-cli, made from the commands' table
// (commands.cpp): the commands, each command's options and the values they
// take. The build writes both scripts and the package installs them; a new
// command needs only its line in the table.
//
// An account id after --account is read from the journal the command line
// names with --data (or the default one) by `accounts --ids`, which does not
// compute balances.
QString bashCompletion();
QString zshCompletion();
