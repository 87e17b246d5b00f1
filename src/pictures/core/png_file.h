#pragma once

#include <QImage>
#include <QString>

// Writes the image to a PNG file, replacing the file whole. Throws FileWriteError.
void writePngFile(const QString& path, const QImage& image);
