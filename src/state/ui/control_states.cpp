#include "state/ui/control_states.h"

#include "context/core/journal.h"
#include "context/core/prompts.h"
#include "db/core/safe_file.h"
#include "state/ui/grid_snapshot.h"
#include "state/ui/tree_snapshot.h"

#include <QFile>
#include <QTableView>
#include <QTreeWidget>

#include <functional>

namespace {

void loadState(const Journal& journal, Prompts& prompts, const QWidget* control,
               const std::function<void(QByteArrayView)>& apply)
{
    const QString path = controlStateFile(journal, control->objectName());
    QFile file(path);
    if (!file.exists() || !file.open(QIODevice::ReadOnly))
        return;
    const QByteArray data = file.readAll();
    try {
        apply(data);
    } catch (const SnapshotError& e) {
        reportError(prompts, QStringLiteral("Файл %1 повреждён: %2").arg(path, e.message()));
    }
}

void saveState(const Journal& journal, Prompts& prompts, const QWidget* control,
               const std::function<QByteArray()>& take)
{
    try {
        writeFileAtomically(controlStateFile(journal, control->objectName()), take());
    } catch (const FileWriteError& e) {
        reportError(prompts, e.message());
    } catch (const SnapshotError& e) {
        reportError(prompts, e.message());
    }
}

} // namespace

QString controlStateFile(const Journal& journal, const QString& controlName)
{
    return journal.path(QStringLiteral("txt/") + controlName + QStringLiteral(".txt"));
}

void loadControlState(const Journal& journal, Prompts& prompts, QTreeWidget* tree)
{
    loadState(journal, prompts, tree, [&](QByteArrayView data) { applyTreeSnapshot(tree, data); });
}

void loadControlState(const Journal& journal, Prompts& prompts, QTableView* grid)
{
    loadState(journal, prompts, grid, [&](QByteArrayView data) { applyGridSnapshot(grid, data); });
}

void saveControlState(const Journal& journal, Prompts& prompts, const QTreeWidget* tree)
{
    saveState(journal, prompts, tree, [&] { return takeTreeSnapshot(tree); });
}

void saveControlState(const Journal& journal, Prompts& prompts, const QTableView* grid)
{
    saveState(journal, prompts, grid, [&] { return takeGridSnapshot(grid); });
}

void loadControlStates(const Journal& journal, Prompts& prompts, QTreeWidget* tree, QTableView* grid)
{
    loadControlState(journal, prompts, tree);
    loadControlState(journal, prompts, grid);
}

void saveControlStates(const Journal& journal, Prompts& prompts, const QTreeWidget* tree, const QTableView* grid)
{
    saveControlState(journal, prompts, tree);
    saveControlState(journal, prompts, grid);
}
