#include "cli/completion.h"
#include "cli/commands.h"

#include <QRegularExpression>
#include <QStringList>

namespace {

// What a command's synopsis offers: the options, the value each takes and
// whether plain arguments are files.
struct CommandWords {
    QString name;
    QString summary;
    QStringList words;                       // options and sub-commands
    QList<std::pair<QString, QString>> values; // option, its value's kind: ID, DIR, FILE, a|b words
    bool files = false;                      // FILE or OUT as a plain argument
};

CommandWords commandWords(const CliCommand& command)
{
    CommandWords c{QString::fromUtf8(command.name), QString::fromUtf8(command.summary), {}, {}, false};
    static const QRegularExpression token(QStringLiteral("[\\[\\]]"));
    for (const QString& form : QString::fromUtf8(command.synopsis).split(u'\n')) {
        const QStringList tokens = QString(form).replace(token, QStringLiteral(" ")).split(u' ', Qt::SkipEmptyParts);
        for (qsizetype i = 0; i < tokens.size(); ++i) {
            const QString& t = tokens[i];
            if (t.startsWith(QLatin1String("--"))) {
                if (!c.words.contains(t))
                    c.words << t;
                const QString value = tokens.value(i + 1);
                if (!value.isEmpty() && !value.startsWith(QLatin1String("--"))) {
                    // --png NAME OUT: the value to complete is the last of the option's words.
                    qsizetype last = i + 1;
                    while (last + 1 < tokens.size() && !tokens[last + 1].startsWith(QLatin1String("--"))
                           && tokens[last + 1] == tokens[last + 1].toUpper() && tokens[last + 1] != QLatin1String("FILE"))
                        ++last;
                    c.values.append({t, tokens[last]});
                    i = last;
                }
            } else if (i == 0 && t == t.toLower()) {
                c.words.prepend(t); // a sub-command such as "accounts add", offered first
            } else if (t == QLatin1String("FILE")) {
                c.files = true;
            }
        }
    }
    c.words << QStringLiteral("--help");
    return c;
}

QList<CommandWords> allCommands()
{
    QList<CommandWords> list;
    for (const CliCommand& command : cliCommands())
        list << commandWords(command);
    return list;
}

QString bashValue(const QString& kind)
{
    if (kind == QLatin1String("DIR"))
        return QStringLiteral("COMPREPLY=($(compgen -d -- \"$cur\"))");
    if (kind == QLatin1String("FILE") || kind == QLatin1String("OUT"))
        return QStringLiteral("COMPREPLY=($(compgen -f -- \"$cur\"))");
    if (kind.contains(u'|'))
        return QStringLiteral("COMPREPLY=($(compgen -W \"%1\" -- \"$cur\"))").arg(QString(kind).replace(u'|', u' '));
    return QStringLiteral("COMPREPLY=()");
}

QString zshValue(const QString& kind)
{
    if (kind == QLatin1String("DIR"))
        return QStringLiteral("_directories");
    if (kind == QLatin1String("FILE") || kind == QLatin1String("OUT"))
        return QStringLiteral("_files");
    if (kind.contains(u'|'))
        return QStringLiteral("compadd -- %1").arg(QString(kind).replace(u'|', u' '));
    return QStringLiteral("_message '%1'").arg(kind);
}

} // namespace

QString bashCompletion()
{
    const QList<CommandWords> commands = allCommands();
    QStringList names;
    for (const CommandWords& c : commands)
        names << c.name;
    QString s = QStringLiteral(
        "# bash completion for tradejournal-cli (written by tradejournal-cli --completion bash)\n"
        "\n"
        "# The ids of the accounts of the journal the command line names.\n"
        "_tradejournal_cli_accounts()\n"
        "{\n"
        "    local i data=()\n"
        "    for ((i = 2; i < COMP_CWORD; i++)); do\n"
        "        [[ ${COMP_WORDS[i]} == --data ]] && data=(--data \"${COMP_WORDS[i + 1]}\")\n"
        "    done\n"
        "    \"${COMP_WORDS[0]}\" accounts --ids \"${data[@]}\" 2>/dev/null | while IFS=$'\\t' read -r id _; do\n"
        "        [[ $id == id ]] || printf '%s\\n' \"$id\"\n"
        "    done\n"
        "}\n"
        "\n"
        "_tradejournal_cli()\n"
        "{\n"
        "    local cur=${COMP_WORDS[COMP_CWORD]} prev=${COMP_WORDS[COMP_CWORD - 1]} words files=0\n"
        "    COMPREPLY=()\n"
        "    if ((COMP_CWORD == 1)); then\n"
        "        COMPREPLY=($(compgen -W \"%1 --help --version --completion\" -- \"$cur\"))\n"
        "        return\n"
        "    fi\n"
        "    case ${COMP_WORDS[1]} in\n")
                    .arg(names.join(u' '));
    for (const CommandWords& c : commands) {
        s += QStringLiteral("    %1)\n        case $prev in\n").arg(c.name);
        for (const auto& [option, kind] : c.values) {
            const QString reply = option == QLatin1String("--account")
                                      ? QStringLiteral("COMPREPLY=($(compgen -W \"$(_tradejournal_cli_accounts)\" -- \"$cur\"))")
                                      : bashValue(kind);
            s += QStringLiteral("        %1) %2; return ;;\n").arg(option, reply);
        }
        s += QStringLiteral("        esac\n        words=\"%1\" files=%2 ;;\n").arg(c.words.join(u' ')).arg(c.files ? 1 : 0);
    }
    s += QStringLiteral(
        "    --completion) COMPREPLY=($(compgen -W \"bash zsh\" -- \"$cur\")); return ;;\n"
        "    *) return ;;\n"
        "    esac\n"
        "    if [[ $cur == -* || $files == 0 ]]; then\n"
        "        COMPREPLY=($(compgen -W \"$words\" -- \"$cur\"))\n"
        "    else\n"
        "        COMPREPLY=($(compgen -f -- \"$cur\"))\n"
        "    fi\n"
        "}\n"
        "complete -o filenames -o bashdefault -F _tradejournal_cli tradejournal-cli\n");
    return s;
}

QString zshCompletion()
{
    const QList<CommandWords> commands = allCommands();
    QString s = QStringLiteral(
        "#compdef tradejournal-cli\n"
        "# zsh completion for tradejournal-cli (written by tradejournal-cli --completion zsh)\n"
        "\n"
        "# The accounts of the journal the command line names, id:name.\n"
        "_tradejournal_cli_accounts() {\n"
        "    local -a data accounts\n"
        "    local i=${words[(I)--data]}\n"
        "    (( i > 2 )) && data=(--data \"${words[i + 1]}\")\n"
        "    accounts=(${${(f)\"$(${words[1]} accounts --ids $data 2>/dev/null)\"}/$'\\t'/:})\n"
        "    accounts=(${accounts:#id:name})\n"
        "    _describe 'счет' accounts\n"
        "}\n"
        "\n"
        "_tradejournal-cli() {\n"
        "    local prev=${words[CURRENT - 1]}\n"
        "    if (( CURRENT == 2 )); then\n"
        "        local -a commands\n"
        "        commands=(\n");
    for (const CommandWords& c : commands)
        s += QStringLiteral("            '%1:%2'\n").arg(c.name, QString(c.summary).replace(u':', QLatin1String("\\:")).replace(u'\'', QLatin1String("'\\''")));
    s += QStringLiteral(
        "        )\n"
        "        _describe 'команда' commands\n"
        "        compadd -- --help --version --completion\n"
        "        return\n"
        "    fi\n"
        "    case ${words[2]} in\n");
    for (const CommandWords& c : commands) {
        s += QStringLiteral("    %1)\n        case $prev in\n").arg(c.name);
        for (const auto& [option, kind] : c.values) {
            const QString reply =
                option == QLatin1String("--account") ? QStringLiteral("_tradejournal_cli_accounts") : zshValue(kind);
            s += QStringLiteral("        %1) %2; return ;;\n").arg(option, reply);
        }
        s += QStringLiteral("        esac\n        compadd -- %1\n").arg(c.words.join(u' '));
        if (c.files)
            s += QStringLiteral("        [[ $PREFIX == -* ]] || _files\n");
        s += QStringLiteral("        ;;\n");
    }
    s += QStringLiteral(
        "    --completion) compadd bash zsh ;;\n"
        "    esac\n"
        "}\n"
        "\n"
        "_tradejournal-cli \"$@\"\n");
    return s;
}
