#pragma once

#include "import/core/report_file.h"

#include <QByteArray>
#include <QString>
#include <QStringList>

#include <vector>

// A table of trades saved as delimited text by another platform, a broker's
// web cabinet or a spreadsheet: its header and its rows as texts.
struct CsvTable {
    enum class Encoding { Utf8, Utf8Bom, Utf16, Windows1251 };
    struct Row {
        int line = 0; // the file's line the row begins on, from 1
        QStringList cells;
    };

    QChar delimiter;   // ',', ';' or '\t'
    Encoding encoding = Encoding::Utf8;
    int headerLine = 0; // the file's line of the header, from 1
    QStringList header; // trimmed
    std::vector<Row> rows; // blank lines left out

    bool isEmpty() const { return header.size() < 2; }
};

// The text of a delimited file: a byte order mark decides (UTF-8, UTF-16);
// without one, bytes that are valid UTF-8 are read as UTF-8, anything else
// as Windows-1251.
QString decodeCsvBytes(const QByteArray& bytes, CsvTable::Encoding* encoding = nullptr);

// Splits a delimited text: the delimiter (comma, semicolon or tab) is the
// one that cuts the header and the first rows into the same number of
// cells; quoted cells may hold the delimiter, line breaks and doubled
// quotes. The first non-blank line is the header.
CsvTable parseCsvText(const QString& text);
CsvTable parseCsvBytes(const QByteArray& bytes);

// Reads a file with the size limit and the messages of statement files.
// Throws ReportReadError.
CsvTable readCsvFile(const QString& path);

// The file is taken for a table of trades rather than a statement: its name
// ends in .csv, or in .txt and its text is no MetaTrader statement.
bool isCsvFileName(const QString& path);
bool isTxtFileName(const QString& path);
