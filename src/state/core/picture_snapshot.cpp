#include "state/core/picture_snapshot.h"

#include "db/core/safe_file.h"

#include <QFile>

void applyPictureSnapshot(QByteArrayView stream, QImage& image, QRect& bounds)
{
    PictureSnapshotState state{bounds, image};
    try {
        ::applyPictureSnapshot(stream, state);
    } catch (...) {
        image = state.image;
        bounds = state.bounds;
        throw;
    }
    image = state.image;
    bounds = state.bounds;
}

bool readPictureFile(const QString& path, QImage& image, QRect& bounds)
{
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly))
        return false;
    applyPictureSnapshot(file.readAll(), image, bounds);
    return true;
}

void writePictureFile(const QString& path, const QString& objectName, const QImage& image, const QRect& bounds)
{
    QByteArray bytes;
    try {
        bytes = writePictureSnapshot(objectName.toLatin1(), {bounds, image});
    } catch (const SnapshotError& e) {
        throw FileWriteError(QStringLiteral("Не удалось записать файл %1: %2").arg(path, e.message()));
    }
    writeFileAtomically(path, bytes);
}
