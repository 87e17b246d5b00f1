// tj-make-statement: writes a generated MetaTrader statement to a file.
//   tj-make-statement mt4|mt5|mt5-13|mt5-deals TRADES FILE [SEED] [--currency CUR]
#include "statement_generator.h"

#include <QCoreApplication>
#include <QFile>

#include <cstdio>

int main(int argc, char** argv)
{
    QCoreApplication app(argc, argv);
    QStringList args = app.arguments();
    QString currency = QStringLiteral("USD");
    if (const qsizetype at = args.indexOf(QStringLiteral("--currency")); at >= 0 && at + 1 < args.size()) {
        currency = args[at + 1];
        args.remove(at, 2);
    }
    if (args.size() < 4 || args.size() > 5) {
        std::fprintf(stderr, "Usage: tj-make-statement mt4|mt5|mt5-13|mt5-deals TRADES FILE [SEED] [--currency CUR]\n");
        return 2;
    }
    const int trades = args[2].toInt();
    const unsigned seed = args.size() == 5 ? args[4].toUInt() : 1;
    statementgen::Generated g;
    if (args[1] == QLatin1String("mt4"))
        g = statementgen::mt4Statement(trades, seed, currency);
    else if (args[1] == QLatin1String("mt5"))
        g = statementgen::mt5Report(trades, seed, statementgen::Mt5Layout::Current, currency);
    else if (args[1] == QLatin1String("mt5-13"))
        g = statementgen::mt5Report(trades, seed, statementgen::Mt5Layout::Older, currency);
    else if (args[1] == QLatin1String("mt5-deals"))
        g = statementgen::mt5Report(trades, seed, statementgen::Mt5Layout::DealsOnly, currency);
    else
        return 2;
    QFile file(args[3]);
    if (!file.open(QIODevice::WriteOnly) || file.write(g.bytes) != g.bytes.size()) {
        std::fprintf(stderr, "cannot write %s\n", qPrintable(args[3]));
        return 1;
    }
    std::printf("%lld closed trades, %lld bytes\n", static_cast<long long>(g.closedTickets.size()),
                static_cast<long long>(g.bytes.size()));
    return 0;
}
