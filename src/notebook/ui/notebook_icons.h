#pragma once

#include <QIcon>

class QTreeWidgetItem;

// The notebook's icon list: 0 document, 1 folder, 2 open folder, 3 red,
// 4 green and 5 black document.
QIcon notebookIcon(int index);

// Shows the icons of the item's indexes: the image index normally, the
// selected index while the item is selected.
void showNotebookIcon(QTreeWidgetItem* item);
