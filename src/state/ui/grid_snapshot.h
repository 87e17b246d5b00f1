#pragma once

// The layout of a grid view (QTableView) and its snapshot, written the way
// the Windows string grid writes it ("TStringGrid": ColCount, the default
// sizes, "ColWidths" with one width per column).
//
// The view's model may be reset or replaced at any time (each analysis
// refills it), and Qt then forgets the column widths. Applying a layout
// therefore keeps it with the view and applies the widths again whenever the
// number of columns changes; a column the trader resizes updates the kept
// layout, so the widths survive refills and reach the file at exit.

#include "state/core/control_snapshots.h"

class QTableView;

// Applies the layout: the default row height and column width, and the
// width of every column the view has. The bounds are the page layout's and
// are not applied; they, the row count and the fixed counts are kept and
// written back as they came.
void applyGridLayout(QTableView* view, const GridLayout& layout);

// The layout of the view: the kept layout (or the grid defaults) with the
// view's bounds (once it has been laid out), column count and current
// column widths.
GridLayout takeGridLayout(const QTableView* view);

// A snapshot of the layout (class "TStringGrid", the view's objectName).
QByteArray takeGridSnapshot(const QTableView* view);
// Applies a snapshot to the view's layout. Throws SnapshotError; the
// properties read before a fault are applied all the same.
void applyGridSnapshot(QTableView* view, QByteArrayView stream);
