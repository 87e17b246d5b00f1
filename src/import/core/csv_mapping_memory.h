#pragma once

#include "import/core/csv_trades.h"

#include <QString>
#include <QStringList>

#include <optional>

// The column mappings the trader confirmed, remembered by the names of the
// header's columns, so that the next file of the same shape opens with them.
// Kept in the data folder in "csv_columns.txt" (Windows-1251, one line per
// header: its normalised names joined by ';', a tab, the mapping as
// CsvMapping::toText writes it), newest first, at most kMaxShapes lines.
class CsvMappingMemory {
public:
    static constexpr int kMaxShapes = 100;
    static QString fileName() { return QStringLiteral("csv_columns.txt"); }

    explicit CsvMappingMemory(QString path)
        : m_path(std::move(path))
    {
    }

    // The remembered mapping for this header; nothing when there is none or
    // the file does not read.
    std::optional<CsvMapping> find(const QStringList& header) const;
    // Remembers the mapping for this header. Throws FileWriteError.
    void remember(const QStringList& header, const CsvMapping& mapping) const;

    static QString shapeKey(const QStringList& header);

private:
    QStringList lines() const;
    QString m_path;
};

// The mapping a file opens with: the remembered one for its header, else the
// guessed one.
CsvMapping initialCsvMapping(const CsvTable& table, const CsvMappingMemory& memory);
