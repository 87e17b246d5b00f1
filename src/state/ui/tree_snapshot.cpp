#include "state/ui/tree_snapshot.h"

#include <QTreeWidget>

namespace {

int roleInt(const QTreeWidgetItem* item, int role, int fallback)
{
    const QVariant v = item->data(0, role);
    return v.isValid() ? v.toInt() : fallback;
}

void appendEntries(const QTreeWidgetItem* item, TreeEntries& out)
{
    TreeEntry e = treeEntryOf(item);
    for (int i = 0; i < item->childCount(); ++i)
        appendEntries(item->child(i), e.children);
    out.push_back(std::move(e));
}

} // namespace

TreeEntry treeEntryOf(const QTreeWidgetItem* item)
{
    const TreeEntry defaults;
    TreeEntry e;
    e.text = item->text(0);
    e.imageIndex = roleInt(item, TreeRoles::ImageIndex, defaults.imageIndex);
    e.selectedIndex = roleInt(item, TreeRoles::SelectedIndex, defaults.selectedIndex);
    e.stateIndex = roleInt(item, TreeRoles::StateIndex, defaults.stateIndex);
    e.overlayIndex = roleInt(item, TreeRoles::OverlayIndex, defaults.overlayIndex);
    return e;
}

void setTreeEntryFields(QTreeWidgetItem* item, const TreeEntry& entry)
{
    item->setText(0, entry.text);
    item->setData(0, TreeRoles::ImageIndex, entry.imageIndex);
    item->setData(0, TreeRoles::SelectedIndex, entry.selectedIndex);
    item->setData(0, TreeRoles::StateIndex, entry.stateIndex);
    item->setData(0, TreeRoles::OverlayIndex, entry.overlayIndex);
}

QTreeWidgetItem* makeTreeItem(const TreeEntry& entry)
{
    auto* item = new QTreeWidgetItem;
    setTreeEntryFields(item, entry);
    for (const TreeEntry& child : entry.children)
        item->addChild(makeTreeItem(child));
    return item;
}

TreeEntries takeTreeEntries(const QTreeWidget* tree)
{
    TreeEntries out;
    for (int i = 0; i < tree->topLevelItemCount(); ++i)
        appendEntries(tree->topLevelItem(i), out);
    return out;
}

void setTreeEntries(QTreeWidget* tree, const TreeEntries& entries)
{
    tree->clear();
    QList<QTreeWidgetItem*> items;
    items.reserve(qsizetype(entries.size()));
    for (const TreeEntry& e : entries)
        items.append(makeTreeItem(e));
    tree->addTopLevelItems(items);
}

QByteArray takeTreeSnapshot(const QTreeWidget* tree)
{
    return writeTreeSnapshot(tree->objectName().toLatin1(), {tree->geometry(), takeTreeEntries(tree)});
}

void applyTreeSnapshot(QTreeWidget* tree, QByteArrayView stream)
{
    // The tree's place is the page layout's; only its entries are applied.
    TreeSnapshotState state{tree->geometry(), takeTreeEntries(tree)};
    const TreeEntries before = state.entries;
    auto commit = [&] {
        if (state.entries != before)
            setTreeEntries(tree, state.entries);
    };
    try {
        ::applyTreeSnapshot(stream, state);
    } catch (...) {
        commit();
        throw;
    }
    commit();
}
