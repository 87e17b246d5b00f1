#include "pictures/ui/clipboard_picture.h"

#include <QClipboard>
#include <QGuiApplication>
#include <QImageReader>
#include <QMimeData>
#include <QPainter>
#include <QUrl>

namespace {

QImage opaque(const QImage& image)
{
    // Pictures are kept as opaque bitmaps, as the files store them;
    // transparent parts of a pasted picture become white.
    if (image.isNull() || image.format() == QImage::Format_RGB32)
        return image;
    if (!image.hasAlphaChannel())
        return image.convertToFormat(QImage::Format_RGB32);
    QImage out(image.size(), QImage::Format_RGB32);
    out.fill(Qt::white);
    QPainter painter(&out);
    QImage source = image;
    source.setDevicePixelRatio(1);
    painter.drawImage(0, 0, source);
    return out;
}

} // namespace

bool mimeDataOffersImage(const QMimeData* data)
{
    if (!data)
        return false;
    if (data->hasImage())
        return true;
    for (const QUrl& url : data->urls()) {
        if (url.isLocalFile() && !QImageReader::imageFormat(url.toLocalFile()).isEmpty())
            return true;
    }
    return false;
}

QImage imageFromMimeData(const QMimeData* data)
{
    if (!data)
        return QImage();
    if (data->hasImage()) {
        const QImage image = qvariant_cast<QImage>(data->imageData());
        if (!image.isNull())
            return opaque(image);
    }
    for (const QUrl& url : data->urls()) {
        if (!url.isLocalFile())
            continue;
        QImageReader reader(url.toLocalFile());
        reader.setAutoTransform(true);
        const QImage image = reader.read();
        if (!image.isNull())
            return opaque(image);
    }
    return QImage();
}

QImage clipboardImage() { return imageFromMimeData(QGuiApplication::clipboard()->mimeData()); }

void putImageOnClipboard(const QImage& image) { QGuiApplication::clipboard()->setImage(image); }
