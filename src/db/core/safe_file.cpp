#include "db/core/safe_file.h"

#include <QSaveFile>

void writeFileAtomically(const QString& path, const std::function<void(QIODevice&)>& writer)
{
    QSaveFile file(path);
    if (!file.open(QIODevice::WriteOnly))
        throw FileWriteError(QStringLiteral("Не удалось записать файл %1: %2").arg(path, file.errorString()));
    writer(file);
    if (file.error() != QFileDevice::NoError || !file.commit())
        throw FileWriteError(QStringLiteral("Не удалось записать файл %1: %2").arg(path, file.errorString()));
}

void writeFileAtomically(const QString& path, const QByteArray& content)
{
    writeFileAtomically(path, [&](QIODevice& out) {
        if (out.write(content) != content.size())
            throw FileWriteError(QStringLiteral("Не удалось записать файл %1: %2").arg(path, out.errorString()));
    });
}
