// tradejournal-cli: the journal's tables and tools from the command line.
#include "context/core/version.h"
#include "cli/cli_support.h"
#include "cli/commands.h"
#include "cli/completion.h"

#include <QCoreApplication>
#include <QLocale>

#include <cstdio>

namespace {

QString help()
{
    QString text = QStringLiteral(
        "Использование: tradejournal-cli COMMAND [ARGS]\n\n"
        "Данные журнала сделок из командной строки.\n\n"
        "Параметры:\n"
        "  --help                 показать эту справку; COMMAND --help: справку команды\n"
        "  --version              показать версию\n"
        "  --completion bash|zsh  напечатать дополнение команд для оболочки\n\n"
        "Команды, которые читают журнал, принимают --data DIR.\n");
    text += cli::defaultFolderHelp();
    text += QStringLiteral("\nКоманды:\n");
    for (const CliCommand& c : cliCommands())
        text += QStringLiteral("  %1 %2\n").arg(QString::fromUtf8(c.name), -10).arg(QString::fromUtf8(c.summary));
    return text;
}

bool asksForHelp(const QStringList& args)
{
    return args.contains(QLatin1String("--help")) || args.contains(QLatin1String("-h"));
}

} // namespace

int main(int argc, char** argv)
{
    QCoreApplication app(argc, argv);
    QLocale::setDefault(QLocale(QLocale::Russian, QLocale::Russia));
    QStringList args = app.arguments();
    args.removeFirst();
    if (args.isEmpty() || args[0] == QLatin1String("--help") || args[0] == QLatin1String("-h")) {
        cli::out(help());
        return args.isEmpty() ? 1 : 0;
    }
    if (args[0] == QLatin1String("--version")) {
        std::printf("tradejournal-cli %s\n", qPrintable(applicationVersion()));
        return 0;
    }
    if (args[0] == QLatin1String("--completion")) {
        const QString shell = args.value(1);
        if (args.size() != 2 || (shell != QLatin1String("bash") && shell != QLatin1String("zsh"))) {
            cli::err(QStringLiteral("Использование: tradejournal-cli --completion bash|zsh"));
            return 2;
        }
        cli::out(shell == QLatin1String("bash") ? bashCompletion() : zshCompletion());
        return 0;
    }
    const CliCommand* command = findCliCommand(args[0]);
    if (!command) {
        cli::err(QStringLiteral("tradejournal-cli: нет команды «%1» (см. --help)").arg(args[0]));
        return 2;
    }
    args.removeFirst();
    // Every command's help, whatever else is on the line.
    if (asksForHelp(args)) {
        cli::out(cli::commandHelp(QString::fromUtf8(command->name)));
        return 0;
    }
    int code = 0;
    try {
        code = command->run(args);
    } catch (const cli::DamagedJournal& damaged) {
        cli::err(damaged.message);
        return 1;
    }
    if (const QString damage = cli::damageFoundWhileRunning(); !damage.isEmpty()) {
        cli::err(damage);
        return code == 0 ? 1 : code;
    }
    return code;
}
