#include "pictures/core/png_file.h"

#include "db/core/safe_file.h"

void writePngFile(const QString& path, const QImage& image)
{
    writeFileAtomically(path, [&](QIODevice& out) {
        if (!image.save(&out, "PNG"))
            throw FileWriteError(QStringLiteral("Не удалось записать файл %1").arg(path));
    });
}
