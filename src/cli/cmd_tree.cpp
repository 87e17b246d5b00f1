// tradejournal-cli tree FILE: the entries of a tree snapshot (the notebook
// tree txt/TreeView1.txt, or a picture or chart list saved from the database).
#include "cli/cli_support.h"
#include "state/core/control_snapshots.h"

#include <QFile>
#include <QStringList>

#include <cstdio>

namespace {

void printEntries(const TreeEntries& entries, int depth)
{
    for (const TreeEntry& e : entries) {
        std::printf("%s%s\t[%d]\n", QByteArray(2 * depth, ' ').constData(), qPrintable(e.text), e.imageIndex);
        printEntries(e.children, depth + 1);
    }
}

} // namespace

int runTreeCommand(const QStringList& args)
{
    if (args.size() != 1)
        return cli::usageError(QStringLiteral("tree"));
    QFile file(args[0]);
    if (!file.open(QIODevice::ReadOnly)) {
        cli::err(QStringLiteral("Не удалось открыть %1: %2").arg(args[0], file.errorString()));
        return 1;
    }
    TreeSnapshotState state;
    int rc = 0;
    try {
        applyTreeSnapshot(stripResourceHeader(file.readAll()), state);
    } catch (const SnapshotError& e) {
        cli::err(QStringLiteral("%1: %2").arg(args[0], e.message()));
        rc = 1;
    }
    // What was read before a fault is still worth seeing.
    printEntries(state.entries, 0);
    return rc;
}
