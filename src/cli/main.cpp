// tradejournal-cli: the journal's tables and tools from the command line.
#include "context/core/version.h"
#include "cli/cli_support.h"
#include "cli/commands.h"

#include <QCoreApplication>
#include <QLocale>

#include <cstdio>

namespace {

void printHelp()
{
    std::printf("Usage: tradejournal-cli COMMAND [ARGS]\n\n"
                "The trade journal's data from the command line.\n\n"
                "Options:\n"
                "  --help       show this help\n"
                "  --version    show the version\n\n"
                "Commands that read the journal take --data DIR. Without it they use the\n"
                "current folder when it holds a datamoney.db, otherwise the window's:\n%s",
                dataFolderHelp(cli::toolDataFolder()).toLocal8Bit().constData());
    if (!cliCommands().empty())
        std::printf("\nCommands:\n");
    for (const CliCommand& c : cliCommands())
        std::printf("  %-10s %s\n", c.name, c.summary);
}

} // namespace

int main(int argc, char** argv)
{
    QCoreApplication app(argc, argv);
    QLocale::setDefault(QLocale(QLocale::Russian, QLocale::Russia));
    QStringList args = app.arguments();
    args.removeFirst();
    if (args.isEmpty() || args[0] == QLatin1String("--help") || args[0] == QLatin1String("-h")) {
        printHelp();
        return args.isEmpty() ? 1 : 0;
    }
    if (args[0] == QLatin1String("--version")) {
        std::printf("tradejournal-cli %s\n", qPrintable(applicationVersion()));
        return 0;
    }
    for (const CliCommand& c : cliCommands()) {
        if (args[0] == QLatin1String(c.name)) {
            args.removeFirst();
            return c.run(args);
        }
    }
    std::fprintf(stderr, "tradejournal-cli: unknown command '%s' (see --help)\n", qPrintable(args[0]));
    return 2;
}
