#pragma once

// Picture files (.pat trade pictures, .paz notebook charts): the snapshot of
// a picture surface, its bitmap and its bounds in its panel (left and top
// are negative when the picture is panned). The surfaces themselves keep a
// QImage and a QRect; these helpers move them to and from the files.

#include "state/core/control_snapshots.h"

#include <QImage>
#include <QRect>
#include <QString>

// Applies a snapshot: the bounds it carries and its picture (a null image
// when it says "no picture"). Throws SnapshotError; what was read before a
// fault stays applied.
void applyPictureSnapshot(QByteArrayView stream, QImage& image, QRect& bounds);

// Reads a picture file. Returns false, changing nothing, when the file
// cannot be opened; throws SnapshotError when it is broken.
bool readPictureFile(const QString& path, QImage& image, QRect& bounds);

// Writes the surface as a snapshot ("TImage" named `objectName`, for example
// "ImPict" or "ImgPic2"), replacing the file whole. Throws FileWriteError.
void writePictureFile(const QString& path, const QString& objectName, const QImage& image, const QRect& bounds);
