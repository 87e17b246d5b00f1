// tradejournal-cli notebook: the notebook tree as the page shows it, and
// tradejournal-cli note NAME: one document's text, plain or as stored RTF.
#include "cli/cli_support.h"
#include "cli/commands.h"

#include "notebook/core/notebook_search.h"
#include "notebook/core/notebook_store.h"
#include "state/core/control_snapshots.h"

#include <QFile>

#include <cstdio>

namespace {

void printEntries(const TreeEntries& entries, int depth)
{
    for (const TreeEntry& e : entries) {
        cli::out(QString(2 * depth, u' ') + e.text + u'\n');
        printEntries(e.children, depth + 1);
    }
}

} // namespace

int runNotebook(const QStringList& arguments)
{
    QStringList args = arguments;
    auto journal = cli::openJournal(args);
    if (!journal)
        return 1;
    if (!args.isEmpty())
        return cli::usageError(QStringLiteral("notebook"));
    const QString path = journal->path(QStringLiteral("txt/TreeView1.txt"));
    TreeSnapshotState tree;
    int rc = 0;
    QFile file(path);
    if (file.exists()) {
        if (!file.open(QIODevice::ReadOnly)) {
            cli::err(QStringLiteral("notebook: %1: %2").arg(path, file.errorString()));
            return 1;
        }
        try {
            applyTreeSnapshot(file.readAll(), tree);
        } catch (const SnapshotError& e) {
            cli::err(QStringLiteral("notebook: %1: %2").arg(path, e.message()));
            rc = 1;
        }
    }
    // As the page shows it: a notebook without nodes has its root folder.
    if (tree.entries.empty() && rc == 0)
        tree.entries.push_back(TreeEntry{QStringLiteral("Главная"), 1, 2, 1, -1, {}});
    printEntries(tree.entries, 0);
    return rc;
}

int runNote(const QStringList& arguments)
{
    QStringList args = arguments;
    const bool rtf = cli::takeFlag(args, QStringLiteral("--rtf"));
    auto journal = cli::openJournal(args);
    if (!journal)
        return 1;
    if (args.size() != 1)
        return cli::usageError(QStringLiteral("note"));
    std::optional<QByteArray> text;
    try {
        text = NotebookStore(journal->db()).text(args[0]);
    } catch (const std::exception& e) {
        cli::err(QString::fromUtf8(e.what()));
        return 1;
    }
    if (!text) {
        cli::err(QStringLiteral("Нет документа \"%1\"").arg(args[0]));
        return 1;
    }
    if (rtf) {
        cli::beforeOutput();
        std::fwrite(text->constData(), 1, size_t(text->size()), stdout);
        return 0;
    }
    const QString plain = storedPlainText(*text);
    cli::out(plain.isEmpty() ? plain : plain + u'\n');
    return 0;
}
