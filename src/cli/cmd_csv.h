#pragma once

#include <QStringList>

// Tables of trades (CSV) in the import and extract commands: the arguments
// name a .csv file, a .txt file that is no MetaTrader statement, or give
// --map.
bool namesCsvFile(const QStringList& args);
int runImportCsv(const QStringList& args);
int runExtractCsv(const QStringList& args);
