#include "db/core/safe_file.h"

#include <QFile>
#include <QSaveFile>

namespace {

FileWriteError writeError(const QString& path, const QString& reason)
{
    return FileWriteError(QStringLiteral("Не удалось записать файл %1: %2").arg(path, reason));
}

} // namespace

void writeFileAtomically(const QString& path, const std::function<void(QIODevice&)>& writer)
{
    QSaveFile file(path);
    if (!file.open(QIODevice::WriteOnly))
        throw writeError(path, file.errorString());
    writer(file);
    // QSaveFile keeps up to 16 KB in its buffer and writes it only while
    // committing; a failure of that last write (a full disk) does not stop
    // commit() from putting the short temporary file in place of the old
    // one. Flushing here first catches it while the old file is untouched.
    if (file.error() != QFileDevice::NoError || !file.flush() || file.error() != QFileDevice::NoError) {
        const QString reason = file.errorString();
        file.cancelWriting();
        throw writeError(path, reason);
    }
    if (!file.commit())
        throw writeError(path, file.errorString());
}

void writeFileAtomically(const QString& path, const QByteArray& content)
{
    writeFileAtomically(path, [&](QIODevice& out) {
        if (out.write(content) != content.size())
            throw writeError(path, out.errorString());
    });
}

QString keepDamagedCopy(const QString& path, const std::function<void(QByteArrayView)>& read)
{
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly))
        return QString();
    const QByteArray bytes = file.readAll();
    file.close();
    try {
        read(bytes);
        return QString();
    } catch (const JournalError&) {
    }
    return keepDamagedCopy(path);
}

QString keepDamagedCopy(const QString& path)
{
    QString copy = path + QStringLiteral(".damaged");
    for (int n = 2; QFile::exists(copy); ++n)
        copy = path + QStringLiteral(".damaged.%1").arg(n);
    return QFile::copy(path, copy) ? copy : QString();
}
