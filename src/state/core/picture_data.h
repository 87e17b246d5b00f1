#pragma once

// The payload of a picture's "Picture.Data": a short string naming the kind
// of picture ("TBitmap"; empty for none), then that kind's data. A bitmap is
// a 4-byte length followed by a whole Windows BMP file.

#include <QByteArray>
#include <QByteArrayView>
#include <QImage>

#include <optional>

// The BMP file of an image: 24 bits per pixel with the plain information
// header (BITMAPINFOHEADER) that every Windows version reads. Alpha is
// dropped: Windows draws such bitmaps opaque anyway. Throws SnapshotError
// when Qt cannot write it.
QByteArray encodeBmp(const QImage& image);

// Decodes a BMP file (1, 4, 8, 16, 24, 32 bits, RLE, bit fields, bottom-up
// or top-down) through Qt's reader. Returns a null image when it cannot.
QImage decodeBmp(QByteArrayView bmp);

// "TBitmap", the length, the BMP file; a null image gives the empty kind.
QByteArray encodePictureData(const QImage& image);

// The image of a payload: a null image for the empty kind (no picture),
// nothing for a kind this reader does not know (a metafile, an icon), which
// a reader skips. Bitmaps are read, and so are the JPEG and PNG kinds that
// Delphi programs write ("TJPEGImage"; "TPngImage", "TPNGObject",
// "TPNGGraphic"). Throws SnapshotError for a broken payload or a picture
// that does not decode.
std::optional<QImage> decodePictureData(QByteArrayView payload);
