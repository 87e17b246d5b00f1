// Lays out the program folder at build time: the database made from the
// schema, the reference lists in Windows-1251 with CRLF, and the txt and img
// folders. Nothing that exists is overwritten, so a rebuild keeps the
// trader's data.
#include "db/core/cp1251.h"
#include "db/core/schema_setup.h"
#include "db/core/sqlite_database.h"

#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <QSaveFile>
#include <QTextStream>

#include <cstdio>

namespace {

int failWith(const QString& text)
{
    std::fprintf(stderr, "tj-appdir: %s\n", qPrintable(text));
    return 1;
}

QString readUtf8(const QString& path, bool* ok)
{
    QFile f(path);
    *ok = f.open(QIODevice::ReadOnly);
    return *ok ? QString::fromUtf8(f.readAll()) : QString();
}

} // namespace

int main(int argc, char** argv)
{
    QCoreApplication app(argc, argv);
    const QStringList args = app.arguments();
    if (args.size() != 4)
        return failWith(QStringLiteral("usage: tj-appdir APP_DIR SCHEMA_SQL LIST_SOURCE_DIR"));
    const QString appDir = args[1];
    QDir dir(appDir);
    for (const char* sub : {"txt", "img", "sprav"}) {
        if (!dir.mkpath(QString::fromLatin1(sub)))
            return failWith(QStringLiteral("cannot create %1/%2").arg(appDir, QString::fromLatin1(sub)));
    }

    const QString dbPath = dir.filePath(QStringLiteral("datamoney.db"));
    if (!QFile::exists(dbPath)) {
        bool ok = false;
        const QString schema = readUtf8(args[2], &ok);
        if (!ok)
            return failWith(QStringLiteral("cannot read %1").arg(args[2]));
        const QString temp = dbPath + QStringLiteral(".new");
        QFile::remove(temp);
        try {
            createDatabaseFromSchema(temp, schema);
        } catch (const ESQLiteException& e) {
            QFile::remove(temp);
            return failWith(e.message());
        }
        if (!QFile::rename(temp, dbPath))
            return failWith(QStringLiteral("cannot create %1").arg(dbPath));
    }

    const QDir sources(args[3]);
    for (const QString& name : sources.entryList({QStringLiteral("*.txt")}, QDir::Files)) {
        const QString target = dir.filePath(QStringLiteral("sprav/") + name);
        if (QFile::exists(target))
            continue;
        bool ok = false;
        const QString text = readUtf8(sources.filePath(name), &ok);
        if (!ok)
            return failWith(QStringLiteral("cannot read %1").arg(sources.filePath(name)));
        QByteArray bytes;
        for (const QString& line : text.split(QLatin1Char('\n'), Qt::SkipEmptyParts)) {
            const QString entry = line.trimmed();
            if (!entry.isEmpty())
                bytes += cp1251::encode(entry) + "\r\n";
        }
        QSaveFile out(target);
        if (!out.open(QIODevice::WriteOnly) || out.write(bytes) != bytes.size() || !out.commit())
            return failWith(QStringLiteral("cannot write %1").arg(target));
    }
    return 0;
}
