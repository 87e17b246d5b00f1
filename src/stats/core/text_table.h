#pragma once

#include <QString>
#include <QStringList>
#include <QStringView>

#include <vector>

// The texts of a grid, row by row, kept in one character buffer with one end
// offset per cell. A table of a hundred thousand trades is then a few large
// blocks instead of millions of small strings, and a view reads a cell as a
// slice without copying.
class TextTable {
public:
    explicit TextTable(int columnCount = 0, QStringList headers = {});

    int columnCount() const { return m_columnCount; }
    int rowCount() const { return m_rowCount; }
    const QStringList& headers() const { return m_headers; }

    QStringView cell(int row, int column) const;
    QString cellText(int row, int column) const { return cell(row, column).toString(); }

    void reserve(int rows, qsizetype characters);
    // Appends one cell to the row being written; endRow() closes it. A row
    // closed before all its cells were written is padded with empty cells.
    void append(QStringView text);
    void endRow();
    // For builders that write a cell's text straight into the buffer:
    // append to the string openCell() gives, then closeCell().
    QString& openCell() { return m_chars; }
    void closeCell();

private:
    int m_columnCount;
    int m_rowCount = 0;
    int m_cellsInRow = 0;
    QStringList m_headers;
    QString m_chars;
    std::vector<quint32> m_ends; // end offset in m_chars of every cell, row-major
};
