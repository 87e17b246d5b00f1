#include "app/core/version_file.h"

#include "db/core/cp1251.h"
#include "db/core/numbers.h"

QStringList versionFileLines(const QByteArray& bytes)
{
    const QString text = cp1251::decode(bytes);
    QStringList lines;
    qsizetype start = 0;
    for (qsizetype i = 0; i < text.size(); ++i) {
        const QChar c = text[i];
        if (c == u'\r' || c == u'\n') {
            lines.append(text.mid(start, i - start));
            if (c == u'\r' && i + 1 < text.size() && text[i + 1] == u'\n')
                ++i;
            start = i + 1;
        }
    }
    if (start < text.size())
        lines.append(text.mid(start));
    return lines;
}

std::optional<VersionFile> readVersionFile(const QByteArray& bytes)
{
    const QStringList lines = versionFileLines(bytes);
    const auto number = num::parseInteger(lines.value(0));
    if (!number)
        return std::nullopt;
    return VersionFile{*number, lines.value(1), lines.value(2)};
}

qint64 versionFileNumber(const QString& programVersion)
{
    const auto major = num::parseInteger(programVersion.section(u'.', 0, 0));
    return major.value_or(0) + 1;
}

bool announcesNewerVersion(const VersionFile& file, const QString& programVersion)
{
    return file.number > versionFileNumber(programVersion);
}
