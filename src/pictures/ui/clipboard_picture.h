#pragma once

// Pictures that come from other programs: a bitmap on the clipboard (a
// screenshot), or an image file copied in a file manager or dragged in
// (any format Qt's image readers know: PNG, JPEG, BMP, ...).

#include <QImage>

class QMimeData;

// The picture of the data: its bitmap, else the first local file that reads
// as an image. A null image when there is none.
QImage imageFromMimeData(const QMimeData* data);
// True when the data offers a picture, without reading files.
bool mimeDataOffersImage(const QMimeData* data);

// The picture on the system clipboard, null when there is none.
QImage clipboardImage();
// Puts the picture on the system clipboard as a bitmap.
void putImageOnClipboard(const QImage& image);
