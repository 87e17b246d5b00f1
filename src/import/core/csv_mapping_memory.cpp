#include "import/core/csv_mapping_memory.h"

#include "db/core/cp1251.h"
#include "db/core/safe_file.h"

#include <QFile>

QString CsvMappingMemory::shapeKey(const QStringList& header)
{
    QStringList names;
    for (const QString& name : header)
        names << normalizedHeaderName(name);
    // The key as the file keeps it, so that a name Windows-1251 lacks
    // matches after a round trip.
    return cp1251::decode(cp1251::encode(names.join(u';')));
}

QStringList CsvMappingMemory::lines() const
{
    QFile file(m_path);
    if (!file.open(QIODevice::ReadOnly))
        return {};
    return cp1251::decode(file.read(4 * 1024 * 1024)).split(QStringLiteral("\r\n"), Qt::SkipEmptyParts);
}

std::optional<CsvMapping> CsvMappingMemory::find(const QStringList& header) const
{
    const QString key = shapeKey(header);
    for (const QString& line : lines()) {
        const qsizetype tab = line.lastIndexOf(u'\t');
        if (tab < 0 || line.left(tab) != key)
            continue;
        return CsvMapping::fromText(line.mid(tab + 1), static_cast<int>(header.size()));
    }
    return std::nullopt;
}

void CsvMappingMemory::remember(const QStringList& header, const CsvMapping& mapping) const
{
    const QString key = shapeKey(header);
    QStringList kept{key + u'\t' + mapping.toText()};
    for (const QString& line : lines()) {
        const qsizetype tab = line.lastIndexOf(u'\t');
        if (tab >= 0 && line.left(tab) != key && kept.size() < kMaxShapes)
            kept << line;
    }
    writeFileAtomically(m_path, cp1251::encode(kept.join(QStringLiteral("\r\n")) + QStringLiteral("\r\n")));
}

CsvMapping initialCsvMapping(const CsvTable& table, const CsvMappingMemory& memory)
{
    if (const std::optional<CsvMapping> remembered = memory.find(table.header))
        return *remembered;
    return guessCsvMapping(table.header);
}
