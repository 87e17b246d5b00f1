#pragma once

// Tree controls (QTreeWidget) and their snapshots. Each item keeps the icon
// indexes of the Windows tree in data roles of column 0, so that the trees
// of the journal (the notebook tree, the picture list, the chart list) can
// read a node's kind from them and write them back unchanged:
//
//   TreeRoles::ImageIndex     int, the icon shown (default 0)
//   TreeRoles::SelectedIndex  int, the icon shown while selected (default 0)
//   TreeRoles::StateIndex     int, the state icon, -1 for none (default -1)
//   TreeRoles::OverlayIndex   int, the overlay icon, -1 for none (default -1)
//
// An item without a role has the default. Showing icons for the indexes is
// up to the page that owns the tree.

#include "state/core/control_snapshots.h"

#include <Qt>

class QTreeWidget;
class QTreeWidgetItem;

namespace TreeRoles {
inline constexpr int ImageIndex = Qt::UserRole + 101;
inline constexpr int SelectedIndex = Qt::UserRole + 102;
inline constexpr int StateIndex = Qt::UserRole + 103;
inline constexpr int OverlayIndex = Qt::UserRole + 104;
} // namespace TreeRoles

// The indexes and text of one item (column 0), and setting them.
TreeEntry treeEntryOf(const QTreeWidgetItem* item); // without children
void setTreeEntryFields(QTreeWidgetItem* item, const TreeEntry& entry);

// A new item with the entry's text, indexes and, below it, its children.
QTreeWidgetItem* makeTreeItem(const TreeEntry& entry);

// All entries of the tree, depth first.
TreeEntries takeTreeEntries(const QTreeWidget* tree);
// Replaces every item of the tree by the entries.
void setTreeEntries(QTreeWidget* tree, const TreeEntries& entries);

// A snapshot of the tree (class "TTreeView", the tree's objectName).
QByteArray takeTreeSnapshot(const QTreeWidget* tree);
// Applies a snapshot: "Items.Data" replaces every item; a snapshot without
// it leaves the tree as it is. Throws SnapshotError; entries read before a
// fault are applied all the same.
void applyTreeSnapshot(QTreeWidget* tree, QByteArrayView stream);
