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
