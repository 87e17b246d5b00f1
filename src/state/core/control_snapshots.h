#pragma once

// Snapshots of the controls whose state the journal keeps: trees (the
// notebook tree, the picture and chart lists), pictures (the trade picture
// and the notebook chart) and the analysis grid's layout.
//
// Reading applies a stream to a state held by the caller, property by
// property: what the stream carries replaces the state's value, what it
// lacks leaves it as it was, and properties this reader does not know are
// skipped. On a fault the properties read before it stay applied and
// SnapshotError is thrown.

#include "state/core/snapshot_stream.h"
#include "state/core/tree_items.h"

#include <QImage>
#include <QList>
#include <QRect>

// A tree control: "TTreeView". Applies "Items.Data" (every entry replaced);
// the bounds are kept in `bounds` when a caller wants them.
struct TreeSnapshotState {
    QRect bounds;
    TreeEntries entries;
};
SnapshotHeader applyTreeSnapshot(QByteArrayView stream, TreeSnapshotState& state);
// Left, Top, Width, Height and, when the tree has entries, Items.Data.
QByteArray writeTreeSnapshot(const QByteArray& objectName, const TreeSnapshotState& state);

// A picture control: "TImage". Applies Left, Top, Width, Height and
// "Picture.Data" (a null image when the stream says "no picture").
struct PictureSnapshotState {
    QRect bounds;
    QImage image;
};
SnapshotHeader applyPictureSnapshot(QByteArrayView stream, PictureSnapshotState& state);
// Left, Top, Width, Height and, when there is a picture, Picture.Data.
QByteArray writePictureSnapshot(const QByteArray& objectName, const PictureSnapshotState& state);

// The layout of a string grid ("TStringGrid") as the Windows grid streams
// it. Members start at that grid's defaults, which are not written.
struct GridLayout {
    QRect bounds;
    int colCount = 5;
    int rowCount = 5;
    int fixedCols = 1;
    int fixedRows = 1;
    int defaultColWidth = 64;
    int defaultRowHeight = 24;
    // The width of each column from the first; columns past the list have
    // the default width. Written as the list "ColWidths", one integer per
    // column, only when a width differs from the default.
    QList<int> colWidths;

    // The width of column `column` under this layout.
    int columnWidth(int column) const;
    bool operator==(const GridLayout&) const = default;
};
SnapshotHeader applyGridSnapshot(QByteArrayView stream, GridLayout& layout);
QByteArray writeGridSnapshot(const QByteArray& objectName, const GridLayout& layout);
