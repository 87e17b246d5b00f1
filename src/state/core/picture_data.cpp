#include "state/core/picture_data.h"

#include "state/core/snapshot_stream.h"

#include <QBuffer>
#include <QImageReader>
#include <QImageWriter>
#include <QtEndian>

namespace {

// Larger pictures than this are not screenshots; refusing them keeps a
// broken header from asking for gigabytes.
constexpr int kMaxImagePixels = 100'000'000;

QImage readImage(QByteArrayView data, const char* format)
{
    QByteArray bytes = QByteArray::fromRawData(data.data(), data.size());
    QBuffer buffer(&bytes);
    buffer.open(QIODevice::ReadOnly);
    QImageReader reader(&buffer, format);
    reader.setDecideFormatFromContent(format == nullptr);
    reader.setAllocationLimit(kMaxImagePixels / (1024 * 1024) * 4);
    const QSize size = reader.size();
    if (size.isValid() && qint64(size.width()) * size.height() > kMaxImagePixels)
        return QImage();
    return reader.read();
}

qint32 length32(QByteArrayView data)
{
    return data.size() < 4 ? -1 : qFromLittleEndian<qint32>(data.data());
}

} // namespace

QByteArray encodeBmp(const QImage& image)
{
    const QImage source = image.convertToFormat(QImage::Format_RGB32);
    QByteArray out;
    QBuffer buffer(&out);
    buffer.open(QIODevice::WriteOnly);
    QImageWriter writer(&buffer, "bmp");
    if (!writer.write(source))
        throw SnapshotError(QStringLiteral("Не удалось записать рисунок: %1").arg(writer.errorString()));
    return out;
}

QImage decodeBmp(QByteArrayView bmp)
{
    return readImage(bmp, "bmp");
}

QByteArray encodePictureData(const QImage& image)
{
    QByteArray out;
    if (image.isNull()) {
        out.append('\0');
        return out;
    }
    const QByteArray bmp = encodeBmp(image);
    out.append(char(7));
    out.append("TBitmap");
    char len[4];
    qToLittleEndian<qint32>(qint32(bmp.size()), len);
    out.append(len, 4);
    out.append(bmp);
    return out;
}

std::optional<QImage> decodePictureData(QByteArrayView payload)
{
    if (payload.isEmpty())
        throw SnapshotError(QStringLiteral("Данные рисунка пусты"));
    const int nameLength = static_cast<unsigned char>(payload[0]);
    if (payload.size() < 1 + nameLength)
        throw SnapshotError(QStringLiteral("Данные рисунка обрываются раньше времени"));
    const QByteArrayView kind = payload.sliced(1, nameLength);
    const QByteArrayView data = payload.sliced(1 + nameLength);
    if (kind.isEmpty())
        return QImage();

    if (kind == "TBitmap" || kind == "TJPEGImage") {
        const qint32 size = length32(data);
        if (size < 0 || size > data.size() - 4)
            throw SnapshotError(QStringLiteral("Данные рисунка обрываются раньше времени"));
        if (size == 0) // an empty bitmap: no picture
            return QImage();
        const QImage image = readImage(data.sliced(4, size), kind == "TBitmap" ? "bmp" : "jpeg");
        if (image.isNull())
            throw SnapshotError(QStringLiteral("Рисунок в потоке снимка повреждён"));
        return image;
    }
    if (kind == "TPngImage" || kind == "TPNGObject" || kind == "TPNGGraphic") {
        const QImage image = readImage(data, "png");
        if (image.isNull())
            throw SnapshotError(QStringLiteral("Рисунок в потоке снимка повреждён"));
        return image;
    }
    return std::nullopt;
}
