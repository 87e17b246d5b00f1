#pragma once

#include "context/core/data_folder.h"
#include "context/core/journal.h"

#include <QString>
#include <QStringList>

#include <memory>
#include <optional>

class TextTable;

// Shared pieces of the command-line tools: options, the journal of the
// current folder, UTF-8 output.
namespace cli {

// Takes "--name VALUE" out of the arguments; nothing when absent. Sets
// *missing when the option is given without a value.
std::optional<QString> takeOption(QStringList& args, const QString& name, bool* missing = nullptr);
bool takeFlag(QStringList& args, const QString& name);

// The data folder of the window beside this tool (see data_folder.h).
DataFolder toolDataFolder();
// The folder the commands use without --data: the current folder when it
// holds a datamoney.db, otherwise the window's data folder, laid out first
// when the program is installed. Throws FileWriteError.
QString defaultDataFolder();

// The journal of the program folder: --data DIR, or defaultDataFolder(). Its
// datamoney.db must exist. Prints the reason and returns nothing on failure.
std::unique_ptr<Journal> openJournal(QStringList& args);
// The message about a damaged database that the look at every page found
// while a command ran (see openJournal), unless err() already said it; empty
// when the file is whole. Waits for the look.
QString damageFoundWhileRunning();
// Called before anything read from the journal is printed (out() calls it;
// a command writing stdout itself calls it first): waits for the look at
// every page and throws DamagedJournal when it found the file damaged.
void beforeOutput();
// Whether beforeOutput() would wait now: a writer that buffers may go on
// buffering meanwhile.
bool outputWaitsForCheck();
// Thrown by out() instead of printing what was read from a journal the look
// found damaged; main() says why and ends the command in failure.
struct DamagedJournal {
    QString message;
};

// Whether the account exists, by the id's own spelling ("01" is not account
// 1: its trades would be stored under another text). Prints "Нет счета с id
// N" (or the database's reason) when it does not. Every command that takes
// --account asks this once the journal is open.
bool requireAccount(Journal& journal, const QString& account);

// A wrong command line: the form `form` of the command's synopsis and where
// its help is, on stderr. Returns 2, the exit code of a wrong command line.
int usageError(const QString& command, int form = 0);
// The whole `COMMAND --help`: its synopsis, what it does and, when it
// takes --data, the folder it uses without it.
QString commandHelp(const QString& command);
// The lines of --help that say which folder the commands use without
// --data, as it is on this machine now.
QString defaultFolderHelp();

// The initial balance the account page would show: the account's capital,
// "0" for an unknown account. Throws ESQLiteException.
QString accountCapital(Journal& journal, const QString& account);

void out(const QString& text);  // to stdout, UTF-8
void err(const QString& text);  // to stderr, UTF-8, with a line break; English reasons put into Russian
// One line of tab-separated cells; tabs and line breaks inside cells become blanks.
void tsvLine(const QStringList& cells);
// The headers of a grid, then its rows, each a tsvLine.
void tsvTable(const TextTable& table);

} // namespace cli
