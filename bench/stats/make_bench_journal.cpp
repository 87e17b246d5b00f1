// tj-bench-journal [TRADES]: makes the benchmarks' journal of that many
// trades (100 000 by default) unless it is there, and prints its folder.
#include "bench_journal.h"

#include <QCoreApplication>
#include <QTextStream>

#include <cstdio>

int main(int argc, char** argv)
{
    QCoreApplication app(argc, argv);
    const QStringList args = app.arguments();
    bool ok = true;
    const int trades = args.size() > 1 ? args[1].toInt(&ok) : kBenchTrades;
    if (!ok || trades <= 0) {
        std::fputs("usage: tj-bench-journal [TRADES]\n", stderr);
        return 2;
    }
    QTextStream(stdout) << benchJournalFolder(trades) << '\n';
    return 0;
}
