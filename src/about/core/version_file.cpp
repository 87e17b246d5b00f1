#include "about/core/version_file.h"

#include "context/core/settings.h"
#include "db/core/cp1251.h"
#include "db/core/numbers.h"

QStringList versionFileLines(const QByteArray& bytes)
{
    return splitLines(cp1251::decode(bytes));
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
