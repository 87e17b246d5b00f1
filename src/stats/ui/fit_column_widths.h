#pragma once

class QTableView;

// Sets every column of a grid as wide as its widest text, header included,
// in the grid's font, plus 17 pixels, plus the grid line width and 1. A
// model that is a ColumnWidthSource measures its own texts; any other model
// is read through its display texts.
void fitColumnWidths(QTableView* grid);
